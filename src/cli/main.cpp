#include "TCommandLine.h"
#include "acquire/TScanner.h"
#include "shell/Jobs.h"

#include <QGuiApplication>

int main(int argc, char* argv[]) {
    // Commands draw text into pictures (captions of video frames), which needs a GUI
    // application; the offscreen platform needs no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    const Lumerix::Jobs::TDrainOnExit drainJobs;
    QGuiApplication::setApplicationName(QStringLiteral("lumerix"));
    QStringList arguments = QGuiApplication::arguments();
    arguments.removeFirst();
    // SANE ends before main returns, while its backends' static objects still exist.
    const Lumerix::SaneSession::TScope sane;
    return Lumerix::TCommandLine().Run(arguments);
}
