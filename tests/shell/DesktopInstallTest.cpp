#include "shell/TDesktopLink.h"
#include "support/TTestKit.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Lumerix;

namespace {

// Runs `program` with `arguments`; its exit code and what it printed.
std::pair<int, QString> RunTool(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(120000))
        return {-1, QStringLiteral("did not finish")};
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromLocal8Bit(process.readAll())};
}

class DesktopInstall : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Prefix.isValid());
        const auto [code, output] =
            RunTool(QStringLiteral("cmake"), {"--install", LUMERIX_BINARY_DIR, "--prefix",
                                              Prefix.path(), "--component", "desktop"});
        ASSERT_EQ(code, 0) << output.toStdString();
    }

    QString Installed(const QString& path) const { return Prefix.filePath("share/" + path); }

    QTemporaryDir Prefix;
};

TEST_F(DesktopInstall, LauncherIconsAndDescriptionGoWhereTheDesktopLooks) {
    const QByteArray launcher = TTestKit::ReadFile(Installed("applications/lumerix.desktop"));
    EXPECT_TRUE(launcher.contains("\nExec=lumerix\n"));
    EXPECT_TRUE(launcher.contains("\nIcon=lumerix\n"));
    EXPECT_TRUE(QFileInfo::exists(Installed("metainfo/org.lumerix.Lumerix.metainfo.xml")));
    for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
        const QImage icon(
            Installed(QStringLiteral("icons/hicolor/%1x%1/apps/lumerix.png").arg(size)));
        EXPECT_EQ(icon.size(), QSize(size, size)) << size;
        EXPECT_TRUE(icon.hasAlphaChannel()) << size;
    }
    EXPECT_TRUE(QFileInfo::exists(Installed("icons/hicolor/scalable/apps/lumerix.svg")));
}

// The desktop's own checkers, where they are installed (desktop-file-utils, appstream).
TEST_F(DesktopInstall, CheckersAcceptTheLaunchersAndTheDescription) {
    const QString desktopCheck = QStandardPaths::findExecutable("desktop-file-validate");
    const QString appstreamCheck = QStandardPaths::findExecutable("appstreamcli");
    if (desktopCheck.isEmpty() && appstreamCheck.isEmpty())
        GTEST_SKIP() << "neither desktop-file-validate nor appstreamcli is installed";

    // The player's launcher as the workspace preparation writes it, odd characters included.
    const QString player = Prefix.filePath("Diashow $Player \"1\".desktop");
    ASSERT_TRUE(TDesktopLink::Create(player, Prefix.filePath("work/Diashow-Player"),
                                     "Diashow-Player", Prefix.filePath("work"),
                                     Prefix.filePath("icons/lumerix-256.png")));
    EXPECT_TRUE(TTestKit::ReadFile(player).contains(
        "\nIcon=" + Prefix.filePath("icons/lumerix-256.png").toUtf8() + "\n"));
    if (!desktopCheck.isEmpty()) {
        for (const QString& launcher : {Installed("applications/lumerix.desktop"), player}) {
            const auto [code, output] = RunTool(desktopCheck, {launcher});
            EXPECT_EQ(code, 0) << launcher.toStdString() << "\n" << output.toStdString();
            EXPECT_TRUE(output.trimmed().isEmpty()) << output.toStdString();
        }
    }
    if (!appstreamCheck.isEmpty()) {
        const auto [code, output] =
            RunTool(appstreamCheck, {"validate", "--no-net", "--pedantic",
                                     Installed("metainfo/org.lumerix.Lumerix.metainfo.xml")});
        EXPECT_EQ(code, 0) << output.toStdString();
    }
}

} // namespace
