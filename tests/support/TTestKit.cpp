#include "TTestKit.h"

#include "TScriptedPrompter.h"
#include "shell/TStartup.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <gtest/gtest.h>

namespace Lumerix {

TTestKit::TTestKit() : RootPath(Temporary.path() + u'/') {
    Folders.ProgramDir = RootPath + QStringLiteral("program/");
    Folders.KitDir = QStringLiteral(LUMERIX_STAGED_KIT "/");
    Folders.HomeDir = RootPath + QStringLiteral("home/");
    Folders.DesktopDir = Folders.HomeDir + QStringLiteral("Desktop/");
    Folders.DocumentsDir = Folders.HomeDir + QStringLiteral("Documents/");
    for (const QString& folder : {Folders.ProgramDir, Folders.DesktopDir, Folders.DocumentsDir})
        QDir().mkpath(folder);
}

std::unique_ptr<TRunState> TTestKit::State(const QString& language) const {
    TScriptedPrompter prompter;
    return TStartup::CreateRunState(Folders, prompter, QStringLiteral("lumerix"), language);
}

TTestKit::TCliRun TTestKit::RunCli(const QStringList& arguments, const QStringList& extra) const {
    const QString runtime = RootPath + "runtime";
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("HOME", RootPath + "home");
    environment.insert("XDG_DATA_HOME", RootPath + "home/.local/share");
    environment.insert("XDG_CONFIG_HOME", RootPath + "home/.config");
    environment.insert("XDG_RUNTIME_DIR", RootPath + "runtime");
    environment.remove("LUMERIX_PROGRAM_DIR");
    environment.remove("LUMERIX_KIT_DIR");
    for (const QString& entry : extra)
        environment.insert(entry.section(u'=', 0, 0), entry.section(u'=', 1));
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(LUMERIX_CLI), arguments);
    process.closeWriteChannel();
    EXPECT_TRUE(process.waitForFinished(30000));
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

void TTestKit::WriteFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(bytes);
}

QByteArray TTestKit::ReadFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

} // namespace Lumerix
