#include "shell/TIniFile.h"
#include "support/TTestKit.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

using namespace Lumerix;

namespace {

// Runs the real command-line tool as a fresh user whose home is inside the test's folder.
class Cli : public testing::Test {
protected:
    using TRun = TTestKit::TCliRun;

    TRun Run(const QStringList& arguments) { return Kit.RunCli(arguments); }

    TTestKit Kit;
};

TEST_F(Cli, PathsPrintsEveryPathAndPreparesTheWorkspace) {
    const TRun run = Run({"paths"});
    ASSERT_EQ(run.ExitCode, 0) << run.Err.toStdString();
    const QString home = Kit.Root() + "home/";
    const QStringList expected = {
        "ProgramDir=" + home + ".local/share/lumerix/",
        "KitDir=" + QFileInfo(QStringLiteral(LUMERIX_STAGED_KIT)).absoluteFilePath() + "/",
        "WorkspaceDir=" + home + "Diashow/",
        "VideoDir=" + home + "DVD-Diashow/",
        "EncoderDir=" + home + "DVD-Diashow/encoder/",
        "CdRomDir=" + home + "CDROM-Diashow/",
    };
    const QStringList lines = run.Out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 8);
    for (int i = 0; i < expected.size(); ++i)
        EXPECT_EQ(lines[i], expected[i]);
    EXPECT_TRUE(lines[6].startsWith("PersonalDir="));
    EXPECT_TRUE(lines[7].startsWith("ScreensaverDir=") &&
                lines[7].endsWith("Diashow_Screensaver/"));
    EXPECT_TRUE(QFileInfo(home + "Diashow/Diashow_0001").isDir());
}

TEST_F(Cli, GlobalOptionsApplyToThisRunOnly) {
    const TRun run = Run({"--language", "english", "--base", Kit.Root() + "stick", "paths"});
    ASSERT_EQ(run.ExitCode, 0) << run.Err.toStdString();
    EXPECT_TRUE(run.Out.contains("WorkspaceDir=" + Kit.Root() + "stick/Slideshow/\n"));
    const TRun later = Run({"paths"});
    EXPECT_TRUE(later.Out.contains("WorkspaceDir=" + Kit.Root() + "home/Diashow/\n"));
}

TEST_F(Cli, PrefsReadsAndStoresKeys) {
    TRun run = Run({"prefs", "Fullscreen=FALSE", "Language=spain", "Drive=" + Kit.Root() + "usb"});
    ASSERT_EQ(run.ExitCode, 0) << run.Err.toStdString();
    const TIniFile ini(Kit.Root() + "home/.local/share/lumerix/Generator.ini");
    EXPECT_EQ(ini.ReadString("SETTINGS", "Fullscreen", ""), "FALSE");
    EXPECT_EQ(ini.ReadString("SETTINGS", "Language", ""), "SPAIN");

    run = Run({"prefs", "fullscreen"});
    EXPECT_EQ(run.Out, "fullscreen=FALSE\n");
    run = Run({"prefs"});
    EXPECT_TRUE(run.Out.contains("Fullscreen=FALSE\n"));
    EXPECT_TRUE(run.Out.contains("Language=SPAIN\n"));
    EXPECT_TRUE(run.Out.contains("Drive=" + Kit.Root() + "usb/\n"));
    run = Run({"paths"});
    EXPECT_TRUE(run.Out.contains("WorkspaceDir=" + Kit.Root() + "usb/Slideshow/\n"));
}

TEST_F(Cli, BadUseFailsWithOneLine) {
    TRun run = Run({"prefs", "Language=KLINGON"});
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_EQ(run.Err.count('\n'), 1);
    EXPECT_TRUE(run.Err.startsWith("lumerix-cli: unknown language"));
    run = Run({"frobnicate"});
    EXPECT_EQ(run.ExitCode, 2);
    run = Run({"--language"});
    EXPECT_EQ(run.ExitCode, 2);
    TTestKit::WriteFile(Kit.Root() + "file", "x");
    run = Run({"--base", Kit.Root() + "file", "paths"});
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_TRUE(run.Err.contains(Kit.Root() + "file/")) << run.Err.toStdString();
    run = Run({"--help"});
    EXPECT_EQ(run.ExitCode, 0);
    EXPECT_TRUE(run.Out.contains("prefs [KEY[=VALUE] ...]"));
}

} // namespace
