#include "TDocumentFixture.h"

#include "imaging/TRasterImage.h"
#include "shell/TIniFile.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

using namespace Lumerix;
using namespace Lumerix::DocumentTesting;

namespace {

// Runs the real command-line tool for a fresh user whose home is inside the test's folder.
class DocumentCli : public testing::Test {
protected:
    using TRun = TTestKit::TCliRun;

    void SetUp() override {
        Workspace = Kit.Root() + "home/Diashow/";
        ProgramDir = Kit.Root() + "home/.local/share/lumerix/";
        Pictures = Kit.Root() + "pictures/";
    }

    TRun Run(const QStringList& arguments) { return Kit.RunCli(arguments); }

    QString Picture(const QString& name, int width = 40, int height = 20) {
        return WriteJpeg(Pictures + name, width, height);
    }

    // Makes a slideshow through the tool and returns its folder name.
    QString Create(const QStringList& arguments) {
        const TRun run = Run(QStringList{"create"} + arguments);
        EXPECT_EQ(run.ExitCode, 0) << run.Err.toStdString();
        return run.Out.trimmed();
    }

    QStringList ShowLines(const QString& show) {
        const TRun run = Run({"show", show});
        EXPECT_EQ(run.ExitCode, 0) << run.Err.toStdString();
        return run.Out.split('\n', Qt::SkipEmptyParts);
    }

    TTestKit Kit;
    QString Workspace;
    QString ProgramDir;
    QString Pictures;
};

TEST_F(DocumentCli, CreateThenShow) {
    const QString show =
        Create({"Ferien am See", "--seconds", "5", Picture("See.jpg"), Picture("Ufer.jpg")});
    EXPECT_EQ(show, "Diashow_0003");
    EXPECT_EQ(ShowLines(show),
              (QStringList{"Title: Ferien am See", "Seconds: 5", "1\tSee.jpg\t", "2\tUfer.jpg\t"}));
    EXPECT_TRUE(QFileInfo::exists(Workspace + show + "/_THUMB_See.jpg"));

    // Without pictures the slideshow is written anyway.
    const QString empty = Create({"Leer"});
    EXPECT_EQ(empty, "Diashow_0004");
    const QStringList lines = ShowLines(empty);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0], "Title: Leer");
    EXPECT_TRUE(lines[1].startsWith("Seconds: "));
}

TEST_F(DocumentCli, EditsChangeWhatShowPrints) {
    const QString show =
        Create({"Bearbeiten", Picture("a.jpg"), Picture("b.jpg"), Picture("c.jpg")});

    TRun run = Run({"caption", show, "2", "Am Ufer | x > y"});
    ASSERT_EQ(run.ExitCode, 0) << run.Err.toStdString();
    EXPECT_EQ(ShowLines(show).mid(2),
              (QStringList{"1\ta.jpg\t", "2\tb.jpg\tAm Ufer | x > y", "3\tc.jpg\t"}));

    run = Run({"move-picture", show, "3", "1"});
    ASSERT_EQ(run.ExitCode, 0) << run.Err.toStdString();
    EXPECT_EQ(ShowLines(show).mid(2),
              (QStringList{"1\tc.jpg\t", "2\ta.jpg\t", "3\tb.jpg\tAm Ufer | x > y"}));

    run = Run({"remove-picture", show, "2"});
    ASSERT_EQ(run.ExitCode, 0) << run.Err.toStdString();
    EXPECT_EQ(ShowLines(show).mid(2), (QStringList{"1\tc.jpg\t", "2\tb.jpg\tAm Ufer | x > y"}));
    EXPECT_FALSE(QFileInfo::exists(Workspace + show + "/a.jpg"));
    EXPECT_FALSE(QFileInfo::exists(Workspace + show + "/_THUMB_a.jpg"));

    run = Run({"add-pictures", show, Picture("a.jpg")});
    ASSERT_EQ(run.ExitCode, 0) << run.Err.toStdString();
    EXPECT_EQ(ShowLines(show).last(), "3\ta.jpg\t");
}

TEST_F(DocumentCli, RotateTurnsThePicture) {
    const QString show = Create({"Drehen", Picture("quer.jpg", 40, 20)});
    const QString picture = Workspace + show + "/quer.jpg";
    TRun run = Run({"rotate", show, "1", "90"});
    ASSERT_EQ(run.ExitCode, 0) << run.Err.toStdString();
    EXPECT_EQ(TRasterImage::ReadSize(picture), QSize(20, 40));
    run = Run({"rotate", show, "1", "-90"});
    ASSERT_EQ(run.ExitCode, 0) << run.Err.toStdString();
    EXPECT_EQ(TRasterImage::ReadSize(picture), QSize(40, 20));
    EXPECT_TRUE(QDir(ProgramDir).entryList({"UNDO_*"}, QDir::Files).isEmpty());
    EXPECT_EQ(ShowLines(show).mid(2), (QStringList{"1\tquer.jpg\t"}));
}

TEST_F(DocumentCli, ListPrintsChooserLines) {
    Create({"Ferien am See", Picture("a.jpg")});
    const TRun run = Run({"list"});
    ASSERT_EQ(run.ExitCode, 0) << run.Err.toStdString();
    EXPECT_EQ(run.Out, "Diashow_0001 Beispiel Diashow\n"
                       "Diashow_0002 Farben und Formen\n"
                       "Diashow_0003 Ferien am See\n");
}

TEST_F(DocumentCli, DeleteNeedsYesWithoutATerminal) {
    const QString show = Create({"Weg damit", Picture("a.jpg")});
    TRun run = Run({"delete", show});
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_TRUE(QFileInfo::exists(Workspace + show + "/a.jpg"));
    EXPECT_TRUE(run.Err.contains("--yes")) << run.Err.toStdString();

    run = Run({"--yes", "delete", show});
    EXPECT_EQ(run.ExitCode, 0) << run.Err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(Workspace + show));
    EXPECT_TRUE(QFileInfo::exists(Workspace + "Diashow_0001/Pictures.ini"));

    run = Run({"--yes", "delete", "del"});
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_TRUE(QFileInfo::exists(Workspace + "del/Diashow.ini"));
}

struct TBadCall {
    QStringList Arguments;
    const char* Named; ///< what the message must name
};

void PrintTo(const TBadCall& call, std::ostream* out) {
    *out << call.Arguments.join(' ').toStdString();
}

class DocumentCliRefuses : public DocumentCli, public testing::WithParamInterface<TBadCall> {};

TEST_P(DocumentCliRefuses, WithOneLineNamingTheCulprit) {
    ASSERT_EQ(Run({"list"}).ExitCode, 0); // prepares the workspace
    const QStringList before = QDir(Workspace).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    const TRun run = Run(GetParam().Arguments);
    EXPECT_EQ(run.ExitCode, 1) << run.Err.toStdString();
    // The message is the last line; a progress line may come before it.
    const QStringList lines = run.Err.split('\n', Qt::SkipEmptyParts);
    const QString message = lines.isEmpty() ? QString() : lines.last();
    EXPECT_TRUE(message.startsWith("lumerix-cli: ")) << run.Err.toStdString();
    EXPECT_TRUE(message.contains(QString::fromUtf8(GetParam().Named))) << run.Err.toStdString();
    EXPECT_EQ(QDir(Workspace).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
    EXPECT_EQ(ShowLines("Diashow_0001").size(), 9);
}

INSTANTIATE_TEST_SUITE_P(
    Calls, DocumentCliRefuses,
    testing::Values(TBadCall{{"show", "Diashow_0099"}, "Diashow_0099"},
                    TBadCall{{"show", "del"}, "\"del\""},
                    TBadCall{{"show", "../Diashow/Diashow_0001"}, "../Diashow/Diashow_0001"},
                    TBadCall{{"caption", "Diashow_0001", "8", "x"}, "\"8\""},
                    TBadCall{{"caption", "Diashow_0001", "0", "x"}, "\"0\""},
                    TBadCall{{"remove-picture", "Diashow_0001", "zwei"}, "\"zwei\""},
                    TBadCall{{"move-picture", "Diashow_0001", "1", "99"}, "\"99\""},
                    TBadCall{{"rotate", "Diashow_0001", "1", "45"}, "\"45\""},
                    TBadCall{{"rotate", "Diashow_0007", "1", "90"}, "Diashow_0007"},
                    TBadCall{{"add-pictures", "Diashow_0001", "/nowhere/x.jpg"}, "/nowhere/x.jpg"},
                    TBadCall{{"create", "Neu", "/nowhere/x.jpg"}, "/nowhere/x.jpg"},
                    TBadCall{{"create", "Neu", "--seconds", "0"}, "--seconds"},
                    TBadCall{{"create", "Neu", "--seconds", "3601"}, "--seconds"},
                    TBadCall{{"settings", "DefaultTime=-5"}, "DefaultTime=-5"},
                    TBadCall{{"--yes", "delete", "Diashow_0042"}, "Diashow_0042"},
                    TBadCall{{"thumbnails", "/nowhere"}, "/nowhere"}));

TEST_F(DocumentCli, RunOptionsAndPackagesKeepTheUsersChoices) {
    ASSERT_EQ(Run({"settings", "EffectMode=ON", "Effect=4"}).ExitCode, 0);
    const QString stored = Run({"prefs", "Drive"}).Out;
    const QString other = Kit.Root() + "stick";

    // Another start lays out the shipped file again, with the user's choices over it.
    ASSERT_EQ(Run({"list"}).ExitCode, 0);
    const TIniFile settings(Workspace + "Settings.ini");
    EXPECT_EQ(settings.ReadString("SETTINGS", "EffectMode", ""), "ON");
    EXPECT_EQ(settings.ReadString("SETTINGS", "Effect", ""), "4");

    // A run on another base leaves the stored base alone, even when it saves preferences.
    const TRun elsewhere = Run({"--base", other, "show", "Diashow_0001"});
    ASSERT_EQ(elsewhere.ExitCode, 0) << elsewhere.Err.toStdString();
    EXPECT_EQ(Run({"prefs", "Drive"}).Out, stored);

    const TRun cdrom = Run({"--base", other, "cdrom", "Diashow_0002"});
    ASSERT_EQ(cdrom.ExitCode, 0) << cdrom.Err.toStdString();
    const TIniFile onDisc(other + "/CDROM-Diashow/Settings.ini");
    EXPECT_EQ(onDisc.ReadString("SETTINGS", "EffectMode", ""), "ON");
    EXPECT_EQ(onDisc.ReadString("SETTINGS", "Effect", ""), "4");
}

TEST_F(DocumentCli, MusicStaysWithItsSlideshow) {
    const QString track = "Bumble Bee - KAVORA.mp3";
    TRun run = Run({"order-music", "Diashow_0001", track});
    ASSERT_EQ(run.ExitCode, 0) << run.Err.toStdString();
    EXPECT_EQ(run.Out, "Audio001.mp3\n");
    run = Run({"order-music", "Diashow_0002", track});
    ASSERT_EQ(run.ExitCode, 0) << run.Err.toStdString();
    for (const char* show : {"Diashow_0001", "Diashow_0002"})
        EXPECT_EQ(Run({"music", show}).Out, "Audio001.mp3\n") << show;
}

TEST_F(DocumentCli, EverySlideshowListedOpensAndDeletes) {
    ASSERT_EQ(Run({"list"}).ExitCode, 0);
    TTestKit::WriteFile(Workspace + "Urlaub_2005/Diashow.ini",
                        "[DIASHOW]\r\nTitel=Alt\r\nTime=-5\r\n");
    QDir().mkpath(Workspace + "Archiv_9223372036854775807");
    QDir().mkpath(Workspace + "Mein Ordner");
    TTestKit::WriteFile(Workspace + "Mein Ordner/Diashow.ini", "[DIASHOW]\r\nTitel=Blank\r\n");

    TRun run = Run({"list"});
    EXPECT_EQ(run.Out.split('\n', Qt::SkipEmptyParts).last(), "Urlaub_2005 Alt");
    EXPECT_FALSE(run.Out.contains("Blank")) << "a name the chooser line cannot hold";
    // Seconds out of range from an older file read as the default.
    EXPECT_EQ(ShowLines("Urlaub_2005").value(1), "Seconds: 3");
    EXPECT_EQ(Create({"Neu"}), "Diashow_2006") << "numbering never overflows";

    run = Run({"--yes", "delete", "Urlaub_2005"});
    EXPECT_EQ(run.ExitCode, 0) << run.Err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(Workspace + "Urlaub_2005"));
}

TEST_F(DocumentCli, ThumbnailsPrintsOneEntryPerJpeg) {
    Picture("a.jpg");
    Picture("B.JPG");
    Picture("c.jpeg");
    const TRun run = Run({"thumbnails", Pictures});
    ASSERT_EQ(run.ExitCode, 0) << run.Err.toStdString();
    const QStringList lines = run.Out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2) << run.Out.toStdString();
    QStringList names;
    for (const QString& line : lines) {
        const TPictureEntry entry = TPictureEntry::Parse(line);
        EXPECT_TRUE(line.startsWith("<IMG src=\"file://" + ProgramDir + "thumbs/"));
        EXPECT_TRUE(QFileInfo::exists(entry.ThumbnailPath)) << entry.ThumbnailPath.toStdString();
        names.append(entry.FileName);
    }
    names.sort();
    EXPECT_EQ(names, (QStringList{"B.JPG", "a.jpg"}));
}

} // namespace
