#include "TCommandLine.h"
#include "shell/Jobs.h"
#ifdef LUMERIX_CLI_FULL
#include "acquire/TScanner.h"
#endif

#include <QFile>
#include <QGuiApplication>
#include <QTextStream>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <unistd.h>

int main(int argc, char* argv[]) {
    // The arguments as given, before the application takes out its own options, for the
    // program that holds the whole command table.
    std::vector<char*> given(argv, argv + argc + 1);
    // Commands draw text into pictures (captions of video frames), which needs a GUI
    // application; the offscreen platform needs no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    int code = 0;
    {
        const Lumerix::Jobs::TDrainOnExit drainJobs;
        QGuiApplication::setApplicationName(QStringLiteral("lumerix"));
        QStringList arguments = QGuiApplication::arguments();
        arguments.removeFirst();
        Lumerix::TCommandLine commandLine;
#ifdef LUMERIX_CLI_FULL
        // SANE ends before main returns, while its backends' static objects still exist.
        const Lumerix::SaneSession::TScope sane;
#else
        // The same process goes on as lumerix-cli-full: same process id, terminal and exit
        // code.
        commandLine.Elsewhere = [&given] {
            const QByteArray full =
                QFile::encodeName(QGuiApplication::applicationDirPath() + "/lumerix-cli-full");
            execv(full.constData(), given.data());
            const int error = errno;
            QTextStream(stderr) << "lumerix-cli: cannot start " << QFile::decodeName(full) << ": "
                                << std::strerror(error) << '\n';
            return 1;
        };
#endif
        code = commandLine.Run(arguments);
    }
    // The command's files are written and its jobs are done. Taking the application down
    // would read the whole font configuration only to free it (the platform's font database
    // does so), a good part of a short command's time: the process ends here.
    std::fflush(nullptr);
    std::_Exit(code);
}
