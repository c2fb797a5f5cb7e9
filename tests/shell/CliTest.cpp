#include "shell/TIniFile.h"
#include "support/TTestKit.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <gtest/gtest.h>

#include <filesystem>

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
    EXPECT_EQ(run.Out, "Fullscreen=FALSE\n");
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

// An unknown key is wrong use (2), a value the key cannot take a failure (1); nothing is
// stored either way, not even the good values given with the bad one.
TEST_F(Cli, PrefsRefuseUnknownKeysAndBadValues) {
    const struct {
        QStringList Arguments;
        int ExitCode;
        const char* Message;
    } cases[] = {
        {{"Foo=1"}, 2, "lumerix-cli: not a preference key: \"Foo\""},
        {{"Foo"}, 2, "lumerix-cli: not a preference key: \"Foo\""},
        {{"TextOffset=5", "Effect=abc"}, 1, "lumerix-cli: Effect=abc: "},
        {{"Fullscreen=perhaps"}, 1, "lumerix-cli: Fullscreen=perhaps: TRUE or FALSE"},
        {{"TextOffset=751"}, 1, "lumerix-cli: TextOffset=751: "},
        {{"BKGColor=-1"}, 1, "lumerix-cli: BKGColor=-1: "},
    };
    const QString generator = Kit.Root() + "home/.local/share/lumerix/Generator.ini";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Arguments.join(' ').toStdString());
        const TRun run = Run(QStringList{"prefs"} + c.Arguments);
        EXPECT_EQ(run.ExitCode, c.ExitCode);
        EXPECT_TRUE(run.Err.startsWith(c.Message)) << run.Err.toStdString();
        EXPECT_EQ(run.Err.count('\n'), 1);
        const TIniFile ini(generator);
        EXPECT_EQ(ini.ReadString("SETTINGS", "Foo", "none"), "none");
        EXPECT_NE(ini.ReadString("SETTINGS", "TextOffset", ""), "5");
    }
    EXPECT_EQ(Run({"prefs", "effect=2"}).ExitCode, 0) << "keys in any case";

    const TRun play = Run({"play", "Diashow_0009"});
    EXPECT_EQ(play.ExitCode, 1);
    EXPECT_TRUE(play.Err.startsWith("lumerix-cli: no slideshow \"Diashow_0009\""))
        << play.Err.toStdString();
}

// A command lumerix-cli hands on to lumerix-cli-full fails and says why, not silently, when
// that program is missing beside it; the commands it runs itself still work.
TEST_F(Cli, HandOverWithoutTheFullProgramFailsAndSaysWhy) {
    const QString alone = Kit.Root() + "alone/bin/lumerix-cli";
    ASSERT_TRUE(QDir().mkpath(Kit.Root() + "alone/bin"));
    std::error_code error;
    std::filesystem::create_hard_link(LUMERIX_CLI, alone.toStdString(), error);
    if (error) {
        ASSERT_TRUE(QFile::copy(LUMERIX_CLI, alone));
    }
    auto run = [&](const QStringList& arguments) {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("HOME", Kit.Root() + "home");
        environment.insert("LUMERIX_KIT_DIR", LUMERIX_STAGED_KIT);
        process.setProcessEnvironment(environment);
        process.start(alone, arguments);
        EXPECT_TRUE(process.waitForFinished(30000));
        return std::pair(process.exitCode(), QString::fromUtf8(process.readAllStandardError()));
    };
    for (const QStringList& arguments : {QStringList{"--help"}, QStringList{"video"}}) {
        const auto [code, err] = run(arguments);
        EXPECT_EQ(code, 1);
        EXPECT_TRUE(err.endsWith("lumerix-cli: cannot start " + Kit.Root() +
                                 "alone/bin/lumerix-cli-full: No such file or directory\n"))
            << err.toStdString();
    }
    EXPECT_EQ(run({"paths"}).first, 0);
}

} // namespace
