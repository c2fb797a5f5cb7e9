#include "TTestKit.h"

#include "TScriptedPrompter.h"
#include "shell/TStartup.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

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
