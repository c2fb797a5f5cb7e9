#include "document/TSlideshowStore.h"
#include "document/TThumbnailMaker.h"
#include "shell/TRunState.h"
#include "support/TTestKit.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <memory>

using namespace Lumerix;

namespace {

// A workspace of hand-made folders, without the samples.
class SlideshowStore : public testing::Test {
protected:
    void SetUp() override {
        State = Kit.State();
        Workspace = Kit.Root() + "ws/";
        State->WorkspaceDir = Workspace;
        QDir().mkpath(Workspace);
    }

    void Folder(const QString& name, const QByteArray& description = {}) {
        QDir().mkpath(Workspace + name);
        if (!description.isNull())
            TTestKit::WriteFile(Workspace + name + "/Diashow.ini", description);
    }
    static QByteArray Titled(const QByteArray& title) {
        return "[DIASHOW]\r\nTitel=" + title + "\r\nTime=4\r\n";
    }
    TSlideshowStore Store() const { return TSlideshowStore(*State); }

    TTestKit Kit;
    std::unique_ptr<TRunState> State;
    QString Workspace;
};

struct TNumbering {
    QStringList Folders;
    QStringList Files;
    const char* Expected;
};

void PrintTo(const TNumbering& c, std::ostream* out) {
    *out << c.Folders.join(' ').toStdString() << " / files " << c.Files.join(' ').toStdString();
}

class SlideshowNumbering : public SlideshowStore, public testing::WithParamInterface<TNumbering> {};

TEST_P(SlideshowNumbering, NextNameIsOneAboveTheLargestFolderNumber) {
    for (const QString& folder : GetParam().Folders)
        Folder(folder, Titled("x"));
    for (const QString& file : GetParam().Files)
        TTestKit::WriteFile(Workspace + file, "x");
    EXPECT_EQ(Store().NextShowName(), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Workspaces, SlideshowNumbering,
    testing::Values(
        TNumbering{{"Diashow_0002", "Diashow_0010", "Backup_x", "del"}, {}, "Diashow_0011"},
        TNumbering{{}, {}, "Diashow_0001"}, TNumbering{{"del"}, {}, "Diashow_0001"},
        TNumbering{{"Diashow_12345", "Diashow_0007"}, {}, "Diashow_12346"},
        // Any "word_number" counts, chooser or not; names with a "." never do.
        TNumbering{{"Model_0005"}, {}, "Diashow_0006"},
        TNumbering{{"Diashow_0003", "My.Show", "Old_0009.bak", "x_abc", "_"}, {}, "Diashow_0004"},
        // Files are not folders.
        TNumbering{{"Diashow_0001"}, {"Diashow_0050", "Music_0070"}, "Diashow_0002"},
        // Gaps are not reused.
        TNumbering{{"Diashow_0001", "Diashow_0009"}, {}, "Diashow_0010"},
        // Numbers that would overflow are no numbers; at the very end gaps are reused.
        TNumbering{{"Archiv_9223372036854775807", "Diashow_0004"}, {}, "Diashow_0005"},
        TNumbering{{"Archiv_99999999999999999999"}, {}, "Diashow_0001"},
        TNumbering{{"Diashow_0001", "Diashow_999999999"}, {}, "Diashow_0002"}));

TEST_F(SlideshowStore, NextNameOfAMissingWorkspaceIsTheFirst) {
    State->WorkspaceDir = Kit.Root() + "nowhere/";
    EXPECT_EQ(Store().NextShowName(), "Diashow_0001");
}

TEST_F(SlideshowStore, ChooserListsTitledSlideshowsInNumberOrder) {
    Folder("Diashow_0010", Titled("Zehn"));
    Folder("Diashow_0003", Titled("Urlaub 2005"));
    Folder("Diashow_0004");                         // no Diashow.ini
    Folder("Model_0005", Titled("Modell"));         // "DEL" inside the name
    Folder("Delft_0011", Titled("Delft"));          // the same
    Folder("My.Show", Titled("Punkt"));             // "." in the name
    Folder("del", Titled("SPECIALDUMMY"));          // the template
    Folder("Diashow_0020", Titled("specialdummy")); // a template title reads as untitled
    TTestKit::WriteFile(Workspace + "Diashow_0030", "a file");
    Folder("Diashow_0040");
    QDir().mkpath(Workspace + "Diashow_0040/Diashow.ini"); // a folder, not the file

    const QStringList entries = Store().ChooserEntries();
    EXPECT_EQ(entries,
              (QStringList{"Diashow_0003 Urlaub 2005", "Diashow_0010 Zehn", "Diashow_0020 "}));
    EXPECT_EQ(TSlideshowStore::FolderOfEntry("Diashow_0003 Urlaub 2005"), "Diashow_0003");
    EXPECT_EQ(TSlideshowStore::FolderOfEntry("Diashow_0020 "), "Diashow_0020");
    EXPECT_EQ(Store().NextShowName(), "Diashow_0041");
}

TEST(SlideshowNames, OneRuleForListingOpeningAndDeleting) {
    for (const char* name :
         {"Diashow_0001", "Diashow_12345", "Diashow_0", "Urlaub_2005", "Backup", "diashow_0001"})
        EXPECT_TRUE(TSlideshowStore::IsShowFolderName(name)) << name;
    for (const char* name :
         {"", "del", "Model_0005", "Delft", "../x", "..", "Diashow_0001/..", "Diashow_0001/",
          "Diashow_0001 ", " Diashow_0001", "Mein Ordner", "Diashow_0001.bak"})
        EXPECT_FALSE(TSlideshowStore::IsShowFolderName(name)) << name;
}

TEST(SlideshowNames, BareFileNames) {
    for (const char* name : {"a.jpg", "..a.jpg", "a..", ".hidden.jpg", "a b | c.jpg"})
        EXPECT_TRUE(TSlideshowStore::IsBareFileName(name)) << name;
    for (const char* name :
         {"", ".", "..", "sub/x.jpg", "/etc/passwd", "../Diashow_0002/a.jpg", "a\\b.jpg", "x/"})
        EXPECT_FALSE(TSlideshowStore::IsBareFileName(name)) << name;
    EXPECT_FALSE(TSlideshowStore::IsBareFileName(QString("a") + QChar(0) + "b"));
}

TEST(SlideshowNames, TemplateTitle) {
    for (const char* title : {"SPECIALDUMMY", "specialdummy ", "  SpecialDummy\t"})
        EXPECT_TRUE(TSlideshowStore::IsTemplateTitle(title)) << title;
    for (const char* title : {"", "special dummy", "SPECIALDUMMY2", "Urlaub"})
        EXPECT_FALSE(TSlideshowStore::IsTemplateTitle(title)) << title;
}

TEST_F(SlideshowStore, DescriptionIsTrimmedAndKnowsTheTemplate) {
    Folder("Diashow_0001", "[DIASHOW]\r\nTitel=  Urlaub 2005  \r\nTime= 6 \r\n");
    Folder("Vorlage", "[DIASHOW]\nTitel=specialdummy \nTime=3\n");
    Folder("Leer");

    const auto description = Store().ReadDescription("Diashow_0001");
    EXPECT_TRUE(description.Exists);
    EXPECT_EQ(description.Title, "Urlaub 2005");
    EXPECT_EQ(description.Seconds, "6");
    EXPECT_FALSE(description.Template);

    const auto templateDescription = Store().ReadDescription("Vorlage");
    EXPECT_TRUE(templateDescription.Template);
    EXPECT_EQ(templateDescription.Title, "");
    EXPECT_EQ(templateDescription.Seconds, "3");

    EXPECT_FALSE(Store().ReadDescription("Leer").Exists);
    EXPECT_FALSE(Store().ReadDescription("Fehlt").Exists);

    ASSERT_TRUE(Store().WriteDescription("Leer", "Ferien am See", "8"));
    const auto written = Store().ReadDescription("Leer");
    EXPECT_EQ(written.Title, "Ferien am See");
    EXPECT_EQ(written.Seconds, "8");

    TTestKit::WriteFile(Workspace + "blocked", "x");
    QString error;
    EXPECT_FALSE(Store().WriteDescription("blocked", "t", "3", &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST_F(SlideshowStore, PictureLinesAreWindows1252WithCrLf) {
    Folder("Diashow_0001", Titled("x"));
    ASSERT_TRUE(Store().WritePictureLines(
        "Diashow_0001",
        {"Sch\u00e4fchen.jpg | Wolke \u00fcber M\u00fcnster", "b.jpg", "c.jpg | zwei\nZeilen"}));
    EXPECT_EQ(TTestKit::ReadFile(Workspace + "Diashow_0001/Pictures.ini"),
              "Sch\xE4"
              "fchen.jpg | Wolke \xFC"
              "ber M\xFC"
              "nster\r\nb.jpg\r\nc.jpg | zwei Zeilen\r\n");
    EXPECT_EQ(Store().ReadPictureLines("Diashow_0001"),
              (QStringList{"Sch\u00e4fchen.jpg | Wolke \u00fcber M\u00fcnster", "b.jpg",
                           "c.jpg | zwei Zeilen"}));

    // Files of other writers: LF or CR ends, blank lines, UTF-8.
    TTestKit::WriteFile(Workspace + "Diashow_0001/Pictures.ini",
                        "a.jpg\n\n  \nb.jpg | B\xC3\xA4r\rc.jpg\r\n");
    EXPECT_EQ(Store().ReadPictureLines("Diashow_0001"),
              (QStringList{"a.jpg", "b.jpg | B\u00e4r", "c.jpg"}));
    EXPECT_TRUE(Store().ReadPictureLines("Fehlt").isEmpty());
}

TEST_F(SlideshowStore, DeleteTouchesOnlySlideshowFolders) {
    Folder("Diashow_0001", Titled("eins"));
    TTestKit::WriteFile(Workspace + "Diashow_0001/sub/a.jpg", "x");
    Folder("Backup_0001", Titled("backup"));
    Folder("del", Titled("SPECIALDUMMY"));
    TTestKit::WriteFile(Workspace + "Root.jpg", "root");
    TTestKit::WriteFile(Kit.Root() + "x/keep.txt", "outside");
    Folder("Elsewhere_0001", Titled("else"));
    ASSERT_TRUE(QFile::link(Workspace + "Elsewhere_0001", Workspace + "Diashow_0099"));

    QDir().mkpath(Workspace + "Backup_0002"); // no Diashow.ini: no slideshow
    for (const char* name : {"", "del", "../x", "Backup_0002", "Diashow_0001/..", "..",
                             "Diashow_0002", "Diashow_0099"}) {
        QString error;
        EXPECT_FALSE(Store().DeleteShow(name, &error)) << name;
        EXPECT_FALSE(error.isEmpty()) << name;
    }
    for (const char* path : {"Root.jpg", "del/Diashow.ini", "Backup_0002",
                             "Elsewhere_0001/Diashow.ini", "Diashow_0001/sub/a.jpg"})
        EXPECT_TRUE(QFileInfo::exists(Workspace + path)) << path;
    EXPECT_TRUE(QFileInfo::exists(Kit.Root() + "x/keep.txt"));

    EXPECT_TRUE(Store().DeleteShow("Diashow_0001"));
    EXPECT_FALSE(QFileInfo::exists(Workspace + "Diashow_0001"));
    EXPECT_TRUE(QFileInfo::exists(Workspace + "Root.jpg"));
    // What the chooser lists, a delete takes.
    EXPECT_TRUE(Store().DeleteShow("Backup_0001"));
}

TEST_F(SlideshowStore, DeletingPicturesKeepsTheRestAndRefusesOtherFolders) {
    Folder("Diashow_0001", Titled("eins"));
    const QString show = Workspace + "Diashow_0001/";
    for (const char* name : {"a.jpg", "B.JPG", "_THUMB_a.jpg", "Diashow.ini", "Pictures.ini",
                             "Musik.mp3", "sub/c.jpg"})
        TTestKit::WriteFile(show + name, "x");
    for (const char* name : {"Root.jpg", "del/d.jpg", "Elsewhere/e.jpg"})
        TTestKit::WriteFile(Workspace + name, "x");
    ASSERT_TRUE(QFile::link(Workspace + "Elsewhere", Workspace + "Diashow_0098"));

    for (const char* name : {"", "del", "..", "Diashow_0001/sub", "Diashow_0098"})
        EXPECT_FALSE(Store().DeleteShowPictures(name)) << name;
    EXPECT_TRUE(QFileInfo::exists(Workspace + "Root.jpg"));
    EXPECT_TRUE(QFileInfo::exists(Workspace + "del/d.jpg"));
    EXPECT_TRUE(QFileInfo::exists(Workspace + "Elsewhere/e.jpg"));
    EXPECT_TRUE(QFileInfo::exists(show + "sub/c.jpg"));

    EXPECT_TRUE(Store().DeleteShowPictures("Diashow_0001"));
    EXPECT_EQ(QDir(show).entryList(QDir::Files, QDir::Name),
              (QStringList{"Diashow.ini", "Musik.mp3", "Pictures.ini"}));
    EXPECT_TRUE(QFileInfo::exists(show + "sub/c.jpg"));
}

TEST_F(SlideshowStore, StrayThumbnailsAreThoseWithoutTheirPicture) {
    Folder("Diashow_0001", Titled("eins"));
    const QString show = Workspace + "Diashow_0001/";
    for (const char* name :
         {"a.jpg", "my_pic.jpg", "_THUMB_a.jpg", "_THUMB_my_pic.jpg", "_THUMB_b.jpg",
          "_THUMB_1a.jpg", "_THUMB_2my_pic.jpg", "b.png", "_THUMB_keep.jpg", "_THUMB_notes.txt"})
        TTestKit::WriteFile(show + name, "x");
    TTestKit::WriteFile(Workspace + "_THUMB_x.jpg", "root");
    // A picture of the list is a picture, whatever its name.
    TTestKit::WriteFile(show + "Pictures.ini", "a.jpg\r\n_THUMB_keep.jpg | alt\r\n");

    EXPECT_EQ(Store().CleanStrayThumbnails(""), 0);
    EXPECT_TRUE(QFileInfo::exists(Workspace + "_THUMB_x.jpg"));

    EXPECT_EQ(Store().CleanStrayThumbnails("Diashow_0001"), 3);
    EXPECT_EQ(
        QDir(show).entryList(QDir::Files, QDir::Name),
        (QStringList{"Diashow.ini", "Pictures.ini", "_THUMB_a.jpg", "_THUMB_keep.jpg",
                     "_THUMB_my_pic.jpg", "_THUMB_notes.txt", "a.jpg", "b.png", "my_pic.jpg"}));
}

struct TUnique {
    QStringList Existing;
    const char* Name;
    QStringList AlsoTaken;
    const char* Expected;
};

void PrintTo(const TUnique& c, std::ostream* out) {
    *out << c.Name << " beside " << c.Existing.join(' ').toStdString();
}

class UniqueFileName : public SlideshowStore, public testing::WithParamInterface<TUnique> {};

TEST_P(UniqueFileName, SmallestFreeNumberAfterTheBase) {
    for (const QString& name : GetParam().Existing)
        TTestKit::WriteFile(Workspace + name, "x");
    EXPECT_EQ(TSlideshowStore::UniqueFileName(Workspace + GetParam().Name, GetParam().AlsoTaken),
              Workspace + GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Names, UniqueFileName,
    testing::Values(TUnique{{"Foto.jpg"}, "Foto.jpg", {}, "Foto_1.jpg"},
                    TUnique{{"Foto.jpg", "Foto_1.jpg", "Foto_3.jpg"}, "Foto.jpg", {}, "Foto_2.jpg"},
                    TUnique{{}, "Foto.jpg", {"FOTO_1.JPG", "Foto_2.jpg"}, "Foto_3.jpg"},
                    TUnique{{"a..b.jpg"}, "a..b.jpg", {}, "a.b_1.jpg"},
                    TUnique{{}, "archive.tar.gz", {}, "archive.tar_1.gz"},
                    TUnique{{}, "README", {}, "README_1"},
                    TUnique{{}, "Sch\u00e4fchen.jpg", {}, "Sch\u00e4fchen_1.jpg"}));

TEST(UniqueFileNameInShortFolders, KeepsTheFolderSeparator) {
    // Folders of one or two characters ("/a") must still be separated from the name.
    EXPECT_EQ(TSlideshowStore::UniqueFileName("/q/Foto.jpg"), "/q/Foto_1.jpg");
    EXPECT_EQ(TSlideshowStore::UniqueFileName("/Foto.jpg"), "/Foto_1.jpg");
}

struct TPercent {
    int Done;
    int Total;
    int Expected;
};

class ThumbnailPercent : public testing::TestWithParam<TPercent> {};

TEST_P(ThumbnailPercent, RoundsHalfToEven) {
    EXPECT_EQ(Thumbnails::Percent(GetParam().Done, GetParam().Total), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(Shares, ThumbnailPercent,
                         testing::Values(TPercent{0, 0, 0}, TPercent{3, 0, 0}, TPercent{0, 7, 0},
                                         TPercent{1, 8, 12}, TPercent{3, 8, 38}, TPercent{5, 8, 62},
                                         TPercent{1, 3, 33}, TPercent{2, 3, 67},
                                         TPercent{7, 7, 100}));

} // namespace
