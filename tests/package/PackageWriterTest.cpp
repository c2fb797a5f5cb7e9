#include "package/TPackageWriter.h"
#include "shell/TIniFile.h"
#include "shell/TProgress.h"
#include "shell/TRunState.h"
#include "shell/TWorkspace.h"
#include "support/TTestKit.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Lumerix;

namespace {

QStringList Entries(const QString& folder, QDir::Filters filters) {
    return QDir(folder).entryList(filters | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
}

class Packages : public testing::Test {
protected:
    void Prepare(const QString& language) {
        State = Kit.State(language);
        ASSERT_TRUE(TWorkspace::Prepare(*State).Ok);
        // A third slideshow, so that choosing two leaves one out.
        QDir(State->WorkspaceDir).mkpath("Diashow_0003");
        TTestKit::WriteFile(State->WorkspaceDir + "Diashow_0003/Diashow.ini",
                            "[DIASHOW]\nTitel=Drei\nTime=3\n");
    }

    TTestKit Kit;
    std::unique_ptr<TRunState> State;
};

TEST_F(Packages, CdRomHoldsTheRootFilesAndExactlyTheChosenShows) {
    Prepare("GERMAN");
    QDir().mkpath(State->CdRomDir + "Diashow_0007");
    TTestKit::WriteFile(State->CdRomDir + "old.txt", "from an earlier run");

    QString error;
    ASSERT_TRUE(PackageWriter::WriteCdRom(*State, {"Diashow_0001", "Diashow_0003"}, &error))
        << error.toStdString();
    EXPECT_EQ(Entries(State->CdRomDir, QDir::Dirs), (QStringList{"Diashow_0001", "Diashow_0003"}));
    // The root's files plus the browser player and its data.
    QStringList files = Entries(State->WorkspaceDir, QDir::Files);
    for (const char* web :
         {"index.html", "lumerix-player.js", "lumerix-player.css", "lumerix-shows.js"})
        if (!files.contains(web))
            files.append(web);
    files.sort();
    EXPECT_EQ(Entries(State->CdRomDir, QDir::Files), files);
    for (const char* file : {"Autorun.inf", "autorun", "Settings.ini", "Language.ini",
                             "Effects.ini", "play.ply", "intro.ply"})
        EXPECT_TRUE(QFileInfo::exists(State->CdRomDir + file)) << file;
    EXPECT_TRUE(QFileInfo(State->CdRomDir + "autorun").isExecutable());
    EXPECT_EQ(Entries(State->CdRomDir + "Diashow_0001", QDir::Files),
              Entries(State->WorkspaceDir + "Diashow_0001", QDir::Files));
    EXPECT_TRUE(State->CdRomDir.endsWith("/CDROM-Diashow/"));
}

// A cancelled write keeps the earlier package and registers nothing.
TEST_F(Packages, CancelKeepsTheEarlierPackage) {
    Prepare("ENGLISH");
    const QString xscreensaver = Kit.Root() + "xscreensaver";
    TSilentProgress progress;
    progress.Cancel();
    for (const bool screensaver : {false, true}) {
        SCOPED_TRACE(screensaver);
        const QString folder = screensaver ? State->ScreensaverDir : State->CdRomDir;
        TTestKit::WriteFile(folder + "earlier.txt", "earlier");
        QString error;
        EXPECT_FALSE(screensaver
                         ? PackageWriter::WriteScreensaver(*State, {"Diashow_0001"}, xscreensaver,
                                                           &error, &progress)
                         : PackageWriter::WriteCdRom(*State, {"Diashow_0001"}, &error, &progress));
        EXPECT_EQ(error, PackageWriter::CancelledText(*State));
        EXPECT_EQ(Entries(folder, QDir::AllEntries), QStringList{"earlier.txt"});
        EXPECT_EQ(
            Entries(QFileInfo(QDir::cleanPath(folder)).path(), QDir::AllEntries).filter(".new"),
            QStringList());
    }
    EXPECT_FALSE(QFileInfo::exists(xscreensaver));
}

TEST_F(Packages, NothingIsDeletedForAnUnknownShowOrAForeignFolder) {
    Prepare("GERMAN");
    TTestKit::WriteFile(State->CdRomDir + "keep.txt", "kept");
    QString error;
    EXPECT_FALSE(PackageWriter::WriteCdRom(*State, {"Diashow_0099"}, &error));
    EXPECT_TRUE(error.contains("Diashow_0099"));
    EXPECT_FALSE(PackageWriter::WriteCdRom(*State, {"../Diashow_0001"}, &error));
    EXPECT_TRUE(QFileInfo::exists(State->CdRomDir + "keep.txt"));

    // A package folder that is not ours by name is never emptied.
    State->CdRomDir = Kit.Root() + "home/Documents/";
    TTestKit::WriteFile(State->CdRomDir + "letter.txt", "mine");
    EXPECT_FALSE(PackageWriter::WriteCdRom(*State, {}, &error));
    EXPECT_TRUE(error.contains("not a package folder")) << error.toStdString();
    EXPECT_TRUE(QFileInfo::exists(State->CdRomDir + "letter.txt"));
}

TEST_F(Packages, ScreensaverInEnglishForcesFullScreenOnlyInItsCopy) {
    Prepare("ENGLISH");
    TIniFile(State->WorkspaceDir + "Settings.ini").WriteString("SETTINGS", "Fullscreen", "FALSE");
    const QString xscreensaver = Kit.Root() + "home/.xscreensaver";
    QString error;
    ASSERT_TRUE(PackageWriter::WriteScreensaver(*State, {"Diashow_0002"}, xscreensaver, &error))
        << error.toStdString();
    EXPECT_EQ(State->PlayerName(), "Slideshow-Player");
    EXPECT_TRUE(State->ScreensaverDir.endsWith("/Slideshow_Screensaver/"));
    EXPECT_EQ(
        TIniFile(State->ScreensaverDir + "Settings.ini").ReadString("SETTINGS", "Fullscreen", ""),
        "TRUE");
    EXPECT_EQ(
        TIniFile(State->WorkspaceDir + "Settings.ini").ReadString("SETTINGS", "Fullscreen", ""),
        "FALSE");
    EXPECT_EQ(Entries(State->ScreensaverDir, QDir::Dirs), QStringList{"Diashow_0002"});
    // The browser player's data is made from the copy: full screen, the one show.
    const QByteArray data = TTestKit::ReadFile(State->ScreensaverDir + "lumerix-shows.js");
    EXPECT_TRUE(data.contains("\"fullscreen\":true"));
    EXPECT_TRUE(data.contains("Diashow_0002") && !data.contains("Diashow_0001"));
    EXPECT_TRUE(QFileInfo::exists(State->ScreensaverDir + "index.html"));

    const QString config = QString::fromUtf8(TTestKit::ReadFile(xscreensaver));
    EXPECT_TRUE(config.contains(PackageWriter::ScreensaverCommand(*State)));
    EXPECT_TRUE(config.contains("Slideshow_Screensaver/Slideshow-Player' --screensaver -root"));
    // A second run keeps one entry.
    ASSERT_TRUE(PackageWriter::WriteScreensaver(*State, {"Diashow_0002"}, xscreensaver, &error));
    EXPECT_EQ(QString::fromUtf8(TTestKit::ReadFile(xscreensaver))
                  .count(PackageWriter::ScreensaverCommand(*State)),
              1);
}

struct TConfig {
    const char* Name;
    const char* Before;
    const char* After;
};

class XScreenSaverFile : public testing::TestWithParam<TConfig> {};

TEST_P(XScreenSaverFile, OurEntryComesFirstAndEverythingElseStays) {
    TTestKit kit;
    const QString file = kit.Root() + "xscreensaver";
    if (GetParam().Before)
        TTestKit::WriteFile(file, GetParam().Before);
    QString error;
    ASSERT_TRUE(PackageWriter::RegisterXScreenSaver(
        file, "Lumerix Slideshow", "'/s/Slideshow-Player' --screensaver -root", &error))
        << error.toStdString();
    EXPECT_EQ(QString::fromUtf8(TTestKit::ReadFile(file)).toStdString(), GetParam().After);
}

INSTANTIATE_TEST_SUITE_P(
    Files, XScreenSaverFile,
    testing::Values(
        TConfig{"Missing", nullptr,
                "# XScreenSaver Preferences File\nmode:\t\tone\nselected:\t0\n"
                "programs:\t\t\t\t\t\t\t      \\\n"
                "  \"Lumerix Slideshow\" '/s/Slideshow-Player' --screensaver -root \\n\n"},
        TConfig{"WithoutPrograms", "timeout:\t0:10:00\nlock:\t\tFalse\n",
                "timeout:\t0:10:00\nlock:\t\tFalse\nprograms:\t\t\t\t\t\t\t      \\\n"
                "  \"Lumerix Slideshow\" '/s/Slideshow-Player' --screensaver -root \\n\n"},
        TConfig{"WithPrograms",
                "mode:\t\trandom\nprograms:\t\t\t\t\t\t\t      \\\n"
                "\t\t\t\tmaze -root\t\t\t\t    \\n\\\n"
                "  - \"Qix\" \tqix -root\t\t\t\t    \\n\n"
                "pointerHysteresis: 10\n",
                "mode:\t\trandom\nprograms:\t\t\t\t\t\t\t      \\\n"
                "  \"Lumerix Slideshow\" '/s/Slideshow-Player' --screensaver -root \\n\\\n"
                "  maze -root \\n\\\n"
                "  - \"Qix\" \tqix -root \\n\n"
                "pointerHysteresis: 10\n"},
        TConfig{"OurOldEntryIsReplaced",
                "programs:\t\t\t\t\t\t\t      \\\n"
                "  \"Lumerix Slideshow\" '/old/Slideshow-Player' --screensaver -root \\n\\\n"
                "  maze -root \\n\n",
                "programs:\t\t\t\t\t\t\t      \\\n"
                "  \"Lumerix Slideshow\" '/s/Slideshow-Player' --screensaver -root \\n\\\n"
                "  maze -root \\n\n"},
        // "selected:" counts programs: the user's choice keeps naming its program.
        TConfig{"SelectionFollowsItsProgram",
                "selected:\t1\nprograms:\t\\\n  maze -root \\n\\\n  qix -root \\n\n",
                "selected:\t2\nprograms:\t\t\t\t\t\t\t      \\\n"
                "  \"Lumerix Slideshow\" '/s/Slideshow-Player' --screensaver -root \\n\\\n"
                "  maze -root \\n\\\n"
                "  qix -root \\n\n"},
        TConfig{"OurChosenOldEntryStaysChosen",
                "selected:\t1\nprograms:\t\\\n  maze -root \\n\\\n"
                "  \"Lumerix Slideshow\" '/old/Slideshow-Player' --screensaver -root \\n\n",
                "selected:\t0\nprograms:\t\t\t\t\t\t\t      \\\n"
                "  \"Lumerix Slideshow\" '/s/Slideshow-Player' --screensaver -root \\n\\\n"
                "  maze -root \\n\n"},
        TConfig{"ALongCommandIsOneProgram",
                "selected:\t1\nprograms:\t\\\n  maze -root -a -b\t\\\n\t\t-c -d \\n\\\n"
                "  qix -root \\n\n",
                "selected:\t2\nprograms:\t\t\t\t\t\t\t      \\\n"
                "  \"Lumerix Slideshow\" '/s/Slideshow-Player' --screensaver -root \\n\\\n"
                "  maze -root -a -b\t\\\n"
                "  -c -d \\n\\\n"
                "  qix -root \\n\n"}),
    [](const testing::TestParamInfo<TConfig>& info) { return std::string(info.param.Name); });

TEST(PackageCli, CdRomAndScreensaverCommands) {
    TTestKit kit;
    const TTestKit::TCliRun cdrom = kit.RunCli({"cdrom", "Diashow_0002"});
    ASSERT_EQ(cdrom.ExitCode, 0) << cdrom.Err.toStdString();
    const QString folder = cdrom.Out.trimmed();
    EXPECT_TRUE(folder.endsWith("/CDROM-Diashow/"));
    EXPECT_EQ(Entries(folder, QDir::Dirs), QStringList{"Diashow_0002"});
    EXPECT_EQ(kit.RunCli({"cdrom", "Diashow_0042"}).ExitCode, 1);

    const TTestKit::TCliRun saver =
        kit.RunCli({"--language", "ENGLISH", "screensaver", "Diashow_0001"});
    ASSERT_EQ(saver.ExitCode, 0) << saver.Err.toStdString();
    EXPECT_TRUE(saver.Out.trimmed().endsWith("/Slideshow_Screensaver/"));
    EXPECT_TRUE(QString::fromUtf8(TTestKit::ReadFile(kit.Root() + "home/.xscreensaver"))
                    .contains("--screensaver -root"));
}

QString RunProgram(const QString& program, const QStringList& arguments,
                   const QStringList& extra = {}, int* code = nullptr) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const QString& entry : extra)
        environment.insert(entry.section(u'=', 0, 0), entry.section(u'=', 1));
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    process.waitForFinished(60000);
    if (code)
        *code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return QString::fromUtf8(process.readAllStandardOutput());
}

// Every file below `folder`, as relative paths.
QStringList Tree(const QString& folder) {
    QStringList files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        files.append(QDir(folder).relativeFilePath(it.next()));
    files.sort();
    return files;
}

// The disc image holds exactly the folder's files, byte for byte, under their long names,
// and carries the first slideshow's title.
TEST(DiscImage, ListsAndHoldsExactlyTheFolder) {
    TTestKit kit;
    const QString iso = kit.Root() + "disc.iso";
    const TTestKit::TCliRun run = kit.RunCli({"cdrom", "Diashow_0002", "--iso", iso});
    ASSERT_EQ(run.ExitCode, 0) << run.Err.toStdString();
    const QString folder = run.Out.section(u'\n', 0, 0).trimmed();
    EXPECT_EQ(run.Out.section(u'\n', 1, 1).trimmed(), iso);

    // isoinfo's Rock Ridge listing: "/Diashow_0002/Pictures.ini" and so on, folders included.
    QStringList listed;
    for (const QString& line :
         RunProgram("isoinfo", {"-i", iso, "-R", "-f"}).split(u'\n', Qt::SkipEmptyParts)) {
        if (!QFileInfo(folder + line).isDir())
            listed.append(line.mid(1));
    }
    listed.sort();
    EXPECT_EQ(listed, Tree(folder));
    const QString descriptor = RunProgram("isoinfo", {"-d", "-i", iso});
    EXPECT_TRUE(descriptor.contains("Joliet")) << descriptor.toStdString();
    EXPECT_TRUE(descriptor.contains("Rock Ridge")) << descriptor.toStdString();
    EXPECT_TRUE(descriptor.contains("Volume id: Farben und Formen")) << descriptor.toStdString();

    QTemporaryDir out;
    RunProgram("xorriso", {"-osirrox", "on", "-indev", iso, "-extract", "/", out.path()});
    ASSERT_EQ(Tree(out.path()), Tree(folder));
    for (const QString& file : Tree(folder))
        EXPECT_EQ(TTestKit::ReadFile(out.filePath(file)), TTestKit::ReadFile(folder + file))
            << file.toStdString();
    EXPECT_TRUE(QFileInfo(out.filePath("autorun")).isExecutable());
    EXPECT_FALSE(QFileInfo::exists(iso + ".part"));
}

TEST(DiscImage, LabelsArePlainAndShort) {
    const struct {
        const char* Title;
        const char* Label;
    } cases[] = {
        {"Urlaub 2024", "Urlaub 2024"},
        {"Größe & Wärme", "Grosse _ Warme"},
        {"", "Lumerix"},
        {"   ", "Lumerix"},
        {"Eine sehr lange Diashow über den ganzen Sommer", "Eine sehr lange Diashow uber den"},
        {"a/b\\c:d", "a_b_c_d"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PackageWriter::DiscLabel(QString::fromUtf8(c.Title)), QString::fromUtf8(c.Label))
            << c.Title;
}

// The disc's Linux autostart: the native player where it starts, the browser otherwise.
TEST(DiscAutorun, FallsBackToTheBrowser) {
    TTestKit kit;
    auto state = kit.State("GERMAN");
    ASSERT_TRUE(TWorkspace::Prepare(*state).Ok);
    const QString bin = kit.Root() + "bin/";
    QDir().mkpath(bin);
    // A stand-in for the desktop's opener that notes what it was asked to open.
    TTestKit::WriteFile(bin + "xdg-open",
                        "#!/bin/sh\necho \"$1\" > \"$(dirname \"$0\")/opened\"\n");
    QFile::setPermissions(bin + "xdg-open",
                          QFile::permissions(bin + "xdg-open") | QFileDevice::ExeOwner);
    const struct {
        const char* Name;
        const char* Player; // copied as the disc's player; empty: none
        bool Browser;
    } cases[] = {
        {"a player that runs", "/bin/true", false},
        {"a player that fails to start", "/bin/false", true},
        {"a player that is no program", "/etc/hostname", true},
        {"no player", "", true},
    };
    const QString disc = state->WorkspaceDir;
    for (const auto& c : cases) {
        QFile::remove(disc + "Diashow-Player");
        QFile::remove(bin + "opened");
        if (*c.Player) {
            ASSERT_TRUE(QFile::copy(c.Player, disc + "Diashow-Player"));
            QFile::setPermissions(disc + "Diashow-Player", QFileDevice::ReadOwner |
                                                               QFileDevice::WriteOwner |
                                                               QFileDevice::ExeOwner);
        }
        RunProgram("/bin/sh", {disc + "autorun"}, {"PATH=" + bin + ":/usr/bin:/bin"});
        EXPECT_EQ(QString::fromUtf8(TTestKit::ReadFile(bin + "opened")).trimmed(),
                  c.Browser ? disc + "index.html" : QString())
            << c.Name;
    }
}

} // namespace
