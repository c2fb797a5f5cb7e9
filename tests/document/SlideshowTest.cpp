#include "TDocumentFixture.h"

#include "document/TSlideshow.h"
#include "document/TThumbnailMaker.h"
#include "imaging/TRasterImage.h"
#include "shell/Convert.h"
#include "shell/TIniFile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>

#include <gtest/gtest.h>

using namespace Lumerix;
using namespace Lumerix::DocumentTesting;

namespace {

using TKind = TScriptedPrompter::TKind;

QImage Decoded(const QString& path) {
    TRasterImage image;
    image.Load(path);
    return image.Bitmap();
}

QSize SizeOf(const QString& path) {
    return TRasterImage::ReadSize(path);
}

QStringList Jpegs(const QString& folder) {
    return QDir(folder).entryList({"*.jpg"}, QDir::Files | QDir::Hidden, QDir::Name);
}

// ---------------------------------------------------------------------------------------------
// Opening, new, template and delete.

class SlideshowOpen : public TDocumentTest {};

TEST_F(SlideshowOpen, SampleOpensWithTitleSecondsAndCaptions) {
    Show->OpenShow("Diashow_0001", Progress);
    EXPECT_EQ(State->CurrentShow, "Diashow_0001");
    EXPECT_EQ(State->ShowTitle, "Beispiel Diashow");
    EXPECT_EQ(State->SecondsPerPicture, "4");
    ASSERT_EQ(Show->Pictures().Count(), 7);
    EXPECT_EQ(EntryNames().first(), "Sonnenuntergang.jpg");
    EXPECT_EQ(Captions()[2], "Sommerwiese mit Sch\u00e4fchenwolken");
    const TPictureEntry first = Show->Pictures().Parsed(0);
    EXPECT_EQ(first.ThumbnailPath, Workspace + "Diashow_0001/_THUMB_Sonnenuntergang.jpg");
    EXPECT_TRUE(first.HasCaption);
    EXPECT_EQ(Show->PicturePath(0), Workspace + "Diashow_0001/Sonnenuntergang.jpg");
    EXPECT_EQ(Show->PicturePath(7), "");
    EXPECT_TRUE(Prompter.Messages.isEmpty());
}

TEST_F(SlideshowOpen, MissingThumbnailsAreMadeOnOpen) {
    const QString folder = Workspace + "Diashow_0002/";
    QFile::remove(folder + "_THUMB_Wellen.jpg");
    Show->OpenShow("Diashow_0002", Progress);
    EXPECT_EQ(SizeOf(folder + "_THUMB_Wellen.jpg").height(), 70);

    QFile::remove(folder + "_THUMB_Dreiecke.jpg");
    TSlideshow::MakeMissingThumbnails(*State, "Diashow_0002", Progress);
    EXPECT_EQ(SizeOf(folder + "_THUMB_Dreiecke.jpg").height(), 70);
}

TEST_F(SlideshowOpen, TemplateTitleOpensEmptyAndUntitledUnderTheNextName) {
    Show->OpenShow("Diashow_0001", Progress);
    const QString templ = MakeShowFolder("Vorlage", {"t.jpg"}, "", "specialdummy ");
    const QStringList templateFiles = Files(templ);

    Show->OpenShow("Vorlage", Progress);
    EXPECT_EQ(State->ShowTitle, "");
    EXPECT_EQ(State->SecondsPerPicture, "5");
    EXPECT_TRUE(Show->Pictures().IsEmpty());
    EXPECT_EQ(State->CurrentShow, "Diashow_0003");
    EXPECT_FALSE(QFileInfo::exists(Workspace + "Diashow_0003"));

    ASSERT_TRUE(Show->AddPictures({Source("Neu.jpg")}, -1, Progress));
    EXPECT_TRUE(QFileInfo::exists(Workspace + "Diashow_0003/Neu.jpg"));
    EXPECT_TRUE(QFileInfo::exists(Workspace + "Diashow_0003/Diashow.ini"));
    EXPECT_EQ(Files(templ), templateFiles);
    EXPECT_EQ(TTestKit::ReadFile(templ + "Pictures.ini"), "");
}

TEST_F(SlideshowOpen, TemplateListsNoPictures) {
    // Even a template naming pictures opens empty: they are not in the new folder.
    MakeShowFolder("Vorlage", {"t.jpg"}, "t.jpg | x\r\n", "SPECIALDUMMY");
    Show->OpenShow("Vorlage", Progress);
    EXPECT_TRUE(Show->Pictures().IsEmpty());
    EXPECT_EQ(State->CurrentShow, "Diashow_0003");
}

TEST_F(SlideshowOpen, WithoutDescriptionTheWindowTurnsUntitledAndKeepsTheList) {
    Show->OpenShow("Diashow_0001", Progress);
    State->SecondsPerPicture = "7";
    QDir().mkpath(Workspace + "Leer");
    Show->OpenShow("Leer", Progress);
    EXPECT_EQ(State->ShowTitle, "");
    EXPECT_EQ(State->SecondsPerPicture, "3");
    EXPECT_EQ(Show->Pictures().Count(), 7);
    EXPECT_EQ(State->CurrentShow, "Diashow_0001");
}

TEST_F(SlideshowOpen, NewShowWritesNothingUntilTheFirstPicture) {
    const QStringList before = QDir(Workspace).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    Show->OpenShow("Diashow_0001", Progress);
    State->SecondsPerPicture = "6";
    Show->NewShow("Urlaub");
    EXPECT_EQ(State->CurrentShow, "Diashow_0003");
    EXPECT_EQ(State->ShowTitle, "Urlaub");
    EXPECT_TRUE(Show->Pictures().IsEmpty());
    Show->NewShow("Noch eine"); // the first is abandoned
    EXPECT_EQ(State->CurrentShow, "Diashow_0003");
    EXPECT_EQ(QDir(Workspace).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);

    ASSERT_TRUE(Show->AddPictures({Source("a.jpg")}, -1, Progress));
    const TIniFile description(Workspace + "Diashow_0003/Diashow.ini");
    EXPECT_EQ(description.ReadString("DIASHOW", "Titel", ""), "Noch eine");
    EXPECT_EQ(description.ReadString("DIASHOW", "Time", ""), "6");
    EXPECT_EQ(TTestKit::ReadFile(Workspace + "Diashow_0003/Pictures.ini"), "a.jpg\r\n");
}

TEST_F(SlideshowOpen, DeleteAsksThenRemovesTheFolderAndResetsThroughTheTemplate) {
    Show->OpenShow("Diashow_0001", Progress);
    Prompter.Answers.enqueue(false);
    EXPECT_FALSE(Show->DeleteShow("Diashow_0002"));
    EXPECT_EQ(Texts(TKind::Confirm), (QStringList{State->Text(10008)}));
    EXPECT_TRUE(QFileInfo::exists(Workspace + "Diashow_0002/Pictures.ini"));
    EXPECT_EQ(Show->Pictures().Count(), 7);

    Prompter.Answers.enqueue(true);
    EXPECT_TRUE(Show->DeleteShow("Diashow_0002"));
    EXPECT_FALSE(QFileInfo::exists(Workspace + "Diashow_0002"));
    EXPECT_TRUE(Show->Pictures().IsEmpty());
    EXPECT_EQ(State->ShowTitle, "");
    EXPECT_TRUE(TSlideshowStore::IsShowFolderName(State->CurrentShow))
        << State->CurrentShow.toStdString();
    EXPECT_FALSE(QFileInfo::exists(Workspace + State->CurrentShow));
    EXPECT_EQ(Files(Workspace + "del"), (QStringList{"Diashow.ini", "Pictures.ini"}));
    EXPECT_EQ(Jpegs(Workspace + "Diashow_0001").size(), 14);
}

TEST_F(SlideshowOpen, DeleteRefusesAnythingButASlideshowFolder) {
    // Pictures without a `Diashow.ini`: no slideshow.
    WriteJpeg(Workspace + "Backup_0001/b.jpg", 8, 8);
    TTestKit::WriteFile(Kit.Root() + "x/keep.txt", "outside");
    TTestKit::WriteFile(Workspace + "Root.jpg", "root");
    const QStringList rootEntries =
        QDir(Workspace).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    for (const char* name :
         {"", "del", "../x", "..", "Backup_0001", "Diashow_0001/..", "Diashow_0077"}) {
        Prompter.Messages.clear();
        Prompter.Answers.enqueue(true);
        EXPECT_FALSE(Show->DeleteShow(name)) << name;
        EXPECT_EQ(Texts(TKind::Information), (QStringList{State->Text(10009)})) << name;
    }
    EXPECT_EQ(QDir(Workspace).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), rootEntries);
    EXPECT_EQ(Files(Workspace + "del"), (QStringList{"Diashow.ini", "Pictures.ini"}));
    EXPECT_TRUE(QFileInfo::exists(Workspace + "Backup_0001/b.jpg"));
    EXPECT_TRUE(QFileInfo::exists(Workspace + "Diashow_0001/Bergsee.jpg"));
    EXPECT_TRUE(QFileInfo::exists(Kit.Root() + "x/keep.txt"));
}

TEST_F(SlideshowOpen, SaveRefusesAnEmptyTitleOrListAndWritesNothing) {
    Show->OpenShow("Diashow_0001", Progress);
    const QString folder = Workspace + "Diashow_0001/";
    const QByteArray description = TTestKit::ReadFile(folder + "Diashow.ini");
    const QByteArray pictures = TTestKit::ReadFile(folder + "Pictures.ini");
    Show->SetCaption(0, "neu");

    State->ShowTitle = "  ";
    EXPECT_FALSE(Show->SaveShow(false));
    EXPECT_EQ(Texts(TKind::Information), (QStringList{State->Text(10001)}));

    Prompter.Messages.clear();
    State->ShowTitle = "Neuer Titel";
    const QStringList entries = Show->Pictures().Entries();
    Show->Pictures().Clear();
    EXPECT_FALSE(Show->SaveShow(false));
    EXPECT_EQ(Texts(TKind::Information), (QStringList{State->Text(10002)}));
    EXPECT_EQ(TTestKit::ReadFile(folder + "Diashow.ini"), description);
    EXPECT_EQ(TTestKit::ReadFile(folder + "Pictures.ini"), pictures);

    Show->Pictures().SetEntries(entries);
    State->SecondsPerPicture = "9";
    EXPECT_TRUE(Show->SaveShow(false));
    const auto saved = Show->Store().ReadDescription("Diashow_0001");
    EXPECT_EQ(saved.Title, "Neuer Titel");
    EXPECT_EQ(saved.Seconds, "9");
    EXPECT_TRUE(
        TTestKit::ReadFile(folder + "Pictures.ini").startsWith("Sonnenuntergang.jpg | neu\r\n"));
}

// ---------------------------------------------------------------------------------------------
// Pictures.ini as it is read and written.

class PicturesFile : public TDocumentTest {};

TEST_F(PicturesFile, LinesAreParsedAndForeignOnesDropped) {
    TTestKit::WriteFile(Workspace + "Diashow_0005/sub/x.jpg", "x");
    const QString folder =
        MakeShowFolder("Diashow_0005", {"a.jpg", "b.jpg", "Sch\u00e4fchen.jpg", "c.jpg"},
                       "a.jpg\r\n"
                       "b.jpg | x > y\r\n"
                       "Sch\xE4"
                       "fchen.jpg |   Wolke  \r\n"
                       "missing.jpg | weg\r\n"
                       "../Diashow_0002/Wellen.jpg | fremd\r\n"
                       "/etc/passwd\r\n"
                       "sub/x.jpg\r\n"
                       "..\r\n"
                       "\r\n"
                       "c.jpg | a | b\r\n");
    Show->OpenShow("Diashow_0002", Progress); // makes its thumbnails
    const QStringList otherFiles = Files(Workspace + "Diashow_0002");

    Show->OpenShow("Diashow_0005", Progress);
    EXPECT_EQ(EntryNames(), (QStringList{"a.jpg", "b.jpg", "Sch\u00e4fchen.jpg", "c.jpg"}));
    EXPECT_EQ(Captions(), (QStringList{"", "x > y", "Wolke", "a | b"}));
    EXPECT_EQ(Files(Workspace + "Diashow_0002"), otherFiles);
    EXPECT_FALSE(QFileInfo::exists(folder + "sub/_THUMB_x.jpg"));

    Show->SetCaption(0, "Neu");
    ASSERT_TRUE(Show->SavePictureList());
    EXPECT_EQ(TTestKit::ReadFile(folder + "Pictures.ini"), "a.jpg | Neu\r\n"
                                                           "b.jpg | x > y\r\n"
                                                           "Sch\xE4"
                                                           "fchen.jpg | Wolke\r\n"
                                                           "c.jpg | a | b\r\n");

    // The round trip keeps every caption whole.
    Show->OpenShow("Diashow_0002", Progress);
    Show->OpenShow("Diashow_0005", Progress);
    EXPECT_EQ(Captions(), (QStringList{"Neu", "x > y", "Wolke", "a | b"}));

    // Removing everything touches only the slideshow's own pictures.
    Show->RemoveSelected({0, 1, 2, 3});
    EXPECT_TRUE(Show->Pictures().IsEmpty());
    Show->RemoveSelected({});
    EXPECT_EQ(Files(Workspace + "Diashow_0002"), otherFiles);
    EXPECT_TRUE(QFileInfo::exists(folder + "sub/x.jpg"));
    EXPECT_TRUE(QFileInfo::exists("/etc/passwd"));
    EXPECT_TRUE(Jpegs(folder).isEmpty());
}

TEST_F(PicturesFile, OpeningAndSavingDropsMissingPictures) {
    const QString folder = MakeShowFolder("Diashow_0005", {"a.jpg", "c.jpg"},
                                          "a.jpg | A\r\nb.jpg | B\r\nc.jpg | C\r\n");
    Show->OpenShow("Diashow_0005", Progress);
    EXPECT_EQ(EntryNames(), (QStringList{"a.jpg", "c.jpg"}));
    EXPECT_TRUE(Prompter.Messages.isEmpty());
    // A line with no caption reads as an entry with an empty one.
    ASSERT_TRUE(Show->SavePictureList());
    EXPECT_EQ(TTestKit::ReadFile(folder + "Pictures.ini"), "a.jpg | A\r\nc.jpg | C\r\n");
}

TEST_F(PicturesFile, RemovingAfterAForeignLineLeavesTheOtherSlideshowAlone) {
    const QString folder =
        MakeShowFolder("Diashow_0005", {"a.jpg"}, "../Diashow_0002/Wellen.jpg\r\na.jpg\r\n");
    Show->OpenShow("Diashow_0002", Progress); // makes its thumbnails
    Show->OpenShow("Diashow_0005", Progress);
    ASSERT_EQ(EntryNames(), (QStringList{"a.jpg"}));
    Show->RemovePicture(0);
    EXPECT_TRUE(QFileInfo::exists(Workspace + "Diashow_0002/Wellen.jpg"));
    EXPECT_TRUE(QFileInfo::exists(Workspace + "Diashow_0002/_THUMB_Wellen.jpg"));
    EXPECT_FALSE(QFileInfo::exists(folder + "a.jpg"));
}

TEST_F(PicturesFile, CaptionIsCutAndKeptOnOneLine) {
    Show->OpenShow("Diashow_0001", Progress);
    const QString longCaption = QString(60, u'x') + "yz";
    Show->SetCaption(0, longCaption);
    EXPECT_EQ(Captions()[0], QString(MaxCaptionLength, u'x'));
    EXPECT_EQ(Captions()[0].size(), 58);
    Show->SetCaption(1, "zwei\nZeilen\r\nhier");
    EXPECT_EQ(Captions()[1], "zwei Zeilen  hier");
    Show->SetCaption(7, "nichts");
    Show->SetCaption(-1, "nichts");
    ASSERT_TRUE(Show->SavePictureList());
    const QByteArray bytes = TTestKit::ReadFile(Workspace + "Diashow_0001/Pictures.ini");
    EXPECT_EQ(bytes.count("\r\n"), 7);
    EXPECT_EQ(bytes.count('\n'), 7);
    EXPECT_TRUE(bytes.contains("Bergsee.jpg | zwei Zeilen  hier\r\n"));
}

// ---------------------------------------------------------------------------------------------
// Adding pictures.

class AddPictures : public TDocumentTest {
protected:
    void SetUp() override {
        TDocumentTest::SetUp();
        Show->NewShow("Neu");
        Folder = Workspace + State->CurrentShow + "/";
    }
    QString Folder;
};

TEST_F(AddPictures, EqualNamesNumberUpOneByOne) {
    const QString foto = Source("Foto.jpg");
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(Show->AddPictures({foto}, -1, Progress));
    EXPECT_EQ(EntryNames(), (QStringList{"Foto.jpg", "Foto_1.jpg", "Foto_2.jpg"}));
    for (const QString& name : EntryNames())
        EXPECT_TRUE(QFileInfo::exists(Folder + name)) << name.toStdString();
    EXPECT_EQ(TTestKit::ReadFile(Folder + "Pictures.ini"),
              "Foto.jpg\r\nFoto_1.jpg\r\nFoto_2.jpg\r\n");
}

TEST_F(AddPictures, EqualNamesInOneCallKeepTheirOrder) {
    const QStringList sources = {WriteJpeg(SourceDir + "a/Foto.jpg", 64, 32, 10),
                                 WriteJpeg(SourceDir + "b/Foto.jpg", 64, 32, 120),
                                 WriteJpeg(SourceDir + "c/Foto.jpg", 64, 32, 240)};
    ASSERT_TRUE(Show->AddPictures(sources, -1, Progress));
    EXPECT_EQ(EntryNames(), (QStringList{"Foto.jpg", "Foto_1.jpg", "Foto_2.jpg"}));
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(TTestKit::ReadFile(Folder + EntryNames()[i]), TTestKit::ReadFile(sources[i]));
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(Show->Pictures().Parsed(i).ThumbnailPath, Folder + "_THUMB_" + EntryNames()[i]);
}

TEST_F(AddPictures, NamesThePictureFileCannotHoldAreReplaced) {
    ASSERT_TRUE(
        Show->AddPictures({Source("Strand | Abend <1>.jpg"), Source("  Blank.jpg")}, -1, Progress));
    EXPECT_EQ(EntryNames(), (QStringList{"Strand _ Abend _1_.jpg", "Blank.jpg"}));
    Show->OpenShow("Diashow_0001", Progress);
    Show->OpenShow(Folder.section('/', -2, -2), Progress);
    EXPECT_EQ(EntryNames(), (QStringList{"Strand _ Abend _1_.jpg", "Blank.jpg"}));
    EXPECT_EQ(Captions(), (QStringList{"", ""}));
}

TEST_F(AddPictures, CopiesAreWritableAndHaveThumbnails) {
    const QString wide = Source("Breit.jpg", 1400, 700);
    const QString tall = Source("Hoch.jpg", 700, 1400);
    QFile::setPermissions(wide, QFile::ReadOwner | QFile::ReadGroup);
    ASSERT_TRUE(Show->AddPictures({wide, tall}, -1, Progress));
    // Permission bits, not access(): the tests may run as root.
    EXPECT_TRUE(QFileInfo(Folder + "Breit.jpg").permissions() & QFile::WriteOwner);
    EXPECT_FALSE(QFileInfo(wide).permissions() & QFile::WriteOwner);
    EXPECT_EQ(SizeOf(Folder + "_THUMB_Breit.jpg"), QSize(140, 70));
    EXPECT_EQ(SizeOf(Folder + "_THUMB_Hoch.jpg"), QSize(35, 70));

    // The frame leaves the two corners beside the shadow white.
    const QImage thumbnail = Decoded(Folder + "_THUMB_Breit.jpg");
    for (const QPoint corner : {QPoint(0, 69), QPoint(139, 0)}) {
        const QRgb pixel = thumbnail.pixel(corner);
        EXPECT_GT(qRed(pixel) + qGreen(pixel) + qBlue(pixel), 3 * 225) << corner.x();
    }
    QFile::setPermissions(wide, QFile::ReadOwner | QFile::WriteOwner);
}

TEST_F(AddPictures, FirstPictureCreatesFolderAndDescription) {
    ASSERT_FALSE(QFileInfo::exists(Folder));
    State->SecondsPerPicture = "5";
    ASSERT_TRUE(Show->AddPictures({Source("a.jpg")}, -1, Progress));
    const auto description = Show->Store().ReadDescription(State->CurrentShow);
    EXPECT_TRUE(description.Exists);
    EXPECT_EQ(description.Title, "Neu");
    EXPECT_EQ(description.Seconds, "5");
}

TEST_F(AddPictures, NoShowOpenPicksTheNextName) {
    State->CurrentShow.clear();
    ASSERT_TRUE(Show->AddPictures({Source("a.jpg")}, -1, Progress));
    EXPECT_EQ(State->CurrentShow, "Diashow_0003");
    EXPECT_TRUE(QFileInfo::exists(Workspace + "Diashow_0003/a.jpg"));
}

TEST_F(AddPictures, MissingSourceIsReportedAndTheListStays) {
    ASSERT_TRUE(Show->AddPictures({Source("a.jpg")}, -1, Progress));
    const QByteArray lines = TTestKit::ReadFile(Folder + "Pictures.ini");
    EXPECT_FALSE(Show->AddPictures({SourceDir + "fehlt.jpg"}, -1, Progress));
    const QString missing = State->Text(10000) + "\n\n" + SourceDir + "fehlt.jpg: ";
    ASSERT_EQ(Texts(TKind::Error).size(), 1);
    EXPECT_TRUE(Texts(TKind::Error).first().startsWith(missing))
        << Texts(TKind::Error).first().toStdString();
    EXPECT_EQ(EntryNames(), (QStringList{"a.jpg"}));
    EXPECT_EQ(TTestKit::ReadFile(Folder + "Pictures.ini"), lines);

    // The pictures that did arrive are kept.
    Prompter.Messages.clear();
    EXPECT_FALSE(Show->AddPictures({SourceDir + "fehlt.jpg", Source("b.jpg")}, -1, Progress));
    ASSERT_EQ(Texts(TKind::Error).size(), 1);
    EXPECT_TRUE(Texts(TKind::Error).first().startsWith(missing));
    EXPECT_EQ(EntryNames(), (QStringList{"a.jpg", "b.jpg"}));
}

TEST_F(AddPictures, InsertedAtAnIndexInTheirOrder) {
    ASSERT_TRUE(Show->AddPictures(
        {Source("p0.jpg"), Source("p1.jpg"), Source("p2.jpg"), Source("p3.jpg")}, -1, Progress));
    ASSERT_TRUE(
        Show->AddPictures({Source("x.jpg"), Source("y.jpg"), Source("z.jpg")}, 2, Progress));
    const QStringList expected = {"p0.jpg", "p1.jpg", "x.jpg", "y.jpg",
                                  "z.jpg",  "p2.jpg", "p3.jpg"};
    EXPECT_EQ(EntryNames(), expected);
    EXPECT_EQ(TTestKit::ReadFile(Folder + "Pictures.ini"), expected.join("\r\n").toUtf8() + "\r\n");
    ASSERT_TRUE(Show->AddPictures({Source("w.jpg")}, 0, Progress));
    EXPECT_EQ(EntryNames().first(), "w.jpg");
}

TEST_F(AddPictures, CancelledProgressAddsNothing) {
    ASSERT_TRUE(Show->AddPictures({Source("a.jpg")}, -1, Progress));
    TSilentProgress cancelled;
    cancelled.Cancel();
    EXPECT_FALSE(Show->AddPictures({Source("b.jpg"), Source("c.jpg")}, -1, cancelled));
    EXPECT_EQ(EntryNames(), (QStringList{"a.jpg"}));
    EXPECT_EQ(Jpegs(Folder), (QStringList{"_THUMB_a.jpg", "a.jpg"}));
    EXPECT_EQ(TTestKit::ReadFile(Folder + "Pictures.ini"), "a.jpg\r\n");
    EXPECT_TRUE(Prompter.OfKind(TScriptedPrompter::TKind::Error).isEmpty())
        << "a cancel is no failed copy";
}

// ---------------------------------------------------------------------------------------------
// The source list.

class SourceList : public TDocumentTest {};

TEST_F(SourceList, ListsNamesHoldingJpgWithThumbnailsKeptBetweenRuns) {
    Source("d.jpg");
    Source("a.JPG", 1400, 700);
    Source("b.jpeg");
    TTestKit::WriteFile(SourceDir + "c.jpg.txt", "no picture");
    QDir().mkpath(SourceDir + "e.jpg");
    EXPECT_EQ(SourceFolder::PictureNames(SourceDir), (QStringList{"a.JPG", "c.jpg.txt", "d.jpg"}));

    const QStringList entries = SourceFolder::List(*State, SourceDir, Progress);
    ASSERT_EQ(entries.size(), 3);
    QStringList sorted = entries;
    sorted.sort();
    EXPECT_EQ(entries, sorted);
    QStringList names;
    for (const QString& entry : entries) {
        const TPictureEntry parsed = TPictureEntry::Parse(entry);
        names.append(parsed.FileName);
        EXPECT_FALSE(parsed.HasCaption);
        EXPECT_EQ(parsed.ThumbnailPath, State->ProgramDir + "thumbs/" +
                                            Convert::SafeFileName(SourceDir + parsed.FileName) +
                                            ".jpg");
        EXPECT_EQ(parsed.ThumbnailPath,
                  Thumbnails::SourceThumbnailPath(*State, SourceDir + parsed.FileName));
    }
    names.sort();
    EXPECT_EQ(names, (QStringList{"a.JPG", "c.jpg.txt", "d.jpg"}));
    const QString thumbnail = Thumbnails::SourceThumbnailPath(*State, SourceDir + "a.JPG");
    EXPECT_EQ(SizeOf(thumbnail), QSize(140, 70));
    EXPECT_FALSE(
        QFileInfo::exists(Thumbnails::SourceThumbnailPath(*State, SourceDir + "c.jpg.txt")));

    // A second listing keeps the thumbnails as they are.
    const QDateTime past = QDateTime(QDate(2001, 2, 3), QTime(4, 5, 6));
    {
        QFile file(thumbnail);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(past, QFileDevice::FileModificationTime));
    }
    EXPECT_EQ(SourceFolder::List(*State, SourceDir + ".", Progress), entries);
    EXPECT_EQ(QFileInfo(thumbnail).lastModified(), past);

    TSilentProgress cancelled;
    cancelled.Cancel();
    EXPECT_TRUE(SourceFolder::List(*State, SourceDir, cancelled).isEmpty());
}

// ---------------------------------------------------------------------------------------------
// Removing pictures.

class RemovePictures : public TDocumentTest {
protected:
    void SetUp() override {
        TDocumentTest::SetUp();
        Show->NewShow("Neu");
        ASSERT_TRUE(Show->AddPictures(
            {Source("a.jpg"), Source("b.jpg"), Source("c.jpg"), Source("d.jpg")}, -1, Progress));
        Folder = ShowFolder();
    }
    QString ShowFolder() const { return Workspace + State->CurrentShow + "/"; }
    QString Folder;
};

TEST_F(RemovePictures, RemoveDeletesThePictureAndLeavesTheThumbnailForTheCleanup) {
    Show->RemovePicture(1);
    EXPECT_EQ(EntryNames(), (QStringList{"a.jpg", "c.jpg", "d.jpg"}));
    EXPECT_FALSE(QFileInfo::exists(Folder + "b.jpg"));
    EXPECT_TRUE(QFileInfo::exists(Folder + "_THUMB_b.jpg"));
    EXPECT_EQ(TTestKit::ReadFile(Folder + "Pictures.ini"), "a.jpg\r\nc.jpg\r\nd.jpg\r\n");
    Show->CleanStrayThumbnails();
    EXPECT_FALSE(QFileInfo::exists(Folder + "_THUMB_b.jpg"));
    EXPECT_TRUE(QFileInfo::exists(Folder + "_THUMB_a.jpg"));
    Show->RemovePicture(3);
    Show->RemovePicture(-1);
    EXPECT_EQ(EntryNames().size(), 3);
}

TEST_F(RemovePictures, RemoveSelectedTakesEveryRowNamed) {
    Show->RemoveSelected({0, 2, 2, 9});
    EXPECT_EQ(EntryNames(), (QStringList{"b.jpg", "d.jpg"}));
    EXPECT_EQ(Jpegs(Folder), (QStringList{"_THUMB_b.jpg", "_THUMB_d.jpg", "b.jpg", "d.jpg"}));
    EXPECT_TRUE(Prompter.Messages.isEmpty());
}

TEST_F(RemovePictures, NothingSelectedIsSaid) {
    for (const QList<int>& rows : {QList<int>{}, QList<int>{4, -1}}) {
        Prompter.Messages.clear();
        Show->RemoveSelected(rows);
        EXPECT_EQ(Texts(TKind::Information), (QStringList{State->Text(10006)}));
        EXPECT_EQ(EntryNames().size(), 4);
    }
}

TEST_F(RemovePictures, EmptyListClearsTheFolderPictures) {
    TTestKit::WriteFile(Folder + "Musik.mp3", "x");
    TTestKit::WriteFile(Folder + "stray.jpg", "x");
    Show->Pictures().Clear();
    Show->RemoveSelected({});
    EXPECT_TRUE(Jpegs(Folder).isEmpty());
    EXPECT_EQ(Files(Folder), (QStringList{"Diashow.ini", "Musik.mp3", "Pictures.ini"}));
}

TEST_F(RemovePictures, EmptyListNeverClearsTheWorkspaceOrTheTemplate) {
    TTestKit::WriteFile(Workspace + "Root.jpg", "x");
    TTestKit::WriteFile(Workspace + "del/t.jpg", "x");
    TTestKit::WriteFile(Kit.Root() + "Above.jpg", "x");
    for (const char* current : {"", "del", "..", "Diashow_0001/.."}) {
        Show->Pictures().Clear();
        State->CurrentShow = current;
        Show->RemoveSelected({});
        EXPECT_TRUE(QFileInfo::exists(Workspace + "Root.jpg")) << current;
        EXPECT_TRUE(QFileInfo::exists(Workspace + "del/t.jpg")) << current;
        EXPECT_TRUE(QFileInfo::exists(Kit.Root() + "Above.jpg")) << current;
    }
    EXPECT_EQ(Jpegs(Folder).size(), 8);
}

TEST_F(RemovePictures, RemoveAllAsksFirst) {
    const QByteArray lines = TTestKit::ReadFile(Folder + "Pictures.ini");
    Prompter.Answers.enqueue(false);
    EXPECT_FALSE(Show->RemoveAll());
    EXPECT_EQ(Texts(TKind::Confirm), (QStringList{State->Text(10007)}));
    EXPECT_EQ(EntryNames().size(), 4);
    EXPECT_EQ(Jpegs(Folder).size(), 8);
    EXPECT_EQ(TTestKit::ReadFile(Folder + "Pictures.ini"), lines);

    Prompter.Answers.enqueue(true);
    EXPECT_TRUE(Show->RemoveAll());
    EXPECT_TRUE(Show->Pictures().IsEmpty());
    EXPECT_TRUE(Jpegs(Folder).isEmpty());
    EXPECT_EQ(TTestKit::ReadFile(Folder + "Pictures.ini"), "");
}

TEST_F(RemovePictures, MoveChangesTheOrderSavedNext) {
    Show->MovePicture(0, 3);
    EXPECT_EQ(EntryNames(), (QStringList{"b.jpg", "c.jpg", "d.jpg", "a.jpg"}));
    EXPECT_EQ(TTestKit::ReadFile(Folder + "Pictures.ini"), "a.jpg\r\nb.jpg\r\nc.jpg\r\nd.jpg\r\n");
    ASSERT_TRUE(Show->SavePictureList());
    EXPECT_EQ(TTestKit::ReadFile(Folder + "Pictures.ini"), "b.jpg\r\nc.jpg\r\nd.jpg\r\na.jpg\r\n");
}

// ---------------------------------------------------------------------------------------------
// Editing pictures and undo.

class EditPictures : public TDocumentTest {
protected:
    void SetUp() override {
        TDocumentTest::SetUp();
        Show->NewShow("Neu");
        ASSERT_TRUE(Show->AddPictures({Source("Foto.jpg", 64, 32)}, -1, Progress));
        Folder = Workspace + State->CurrentShow + "/";
        Picture = Folder + "Foto.jpg";
    }
    QString Folder;
    QString Picture;
};

TEST_F(EditPictures, UndoGivesBackEveryEarlierStateByteForByte) {
    const QByteArray first = TTestKit::ReadFile(Picture);
    ASSERT_TRUE(Show->Transform(0, TTransform::RotateRight));
    const QByteArray second = TTestKit::ReadFile(Picture);
    ASSERT_TRUE(Show->Transform(0, TTransform::RotateRight));
    EXPECT_NE(TTestKit::ReadFile(Picture), second);
    EXPECT_EQ(State->UndoCount, 2);

    ASSERT_TRUE(Show->Undo(0));
    EXPECT_EQ(TTestKit::ReadFile(Picture), second);
    EXPECT_EQ(State->UndoCount, 1);
    ASSERT_TRUE(Show->Undo(0));
    EXPECT_EQ(TTestKit::ReadFile(Picture), first);
    EXPECT_EQ(State->UndoCount, 0);
    EXPECT_FALSE(Show->Undo(0));
    EXPECT_EQ(TTestKit::ReadFile(Picture), first);
    EXPECT_TRUE(Prompter.Messages.isEmpty());
}

TEST_F(EditPictures, FourTurnsRightGiveTheOriginalBack) {
    const QImage original = Decoded(Picture);
    const QSize sizes[] = {{32, 64}, {64, 32}, {32, 64}, {64, 32}};
    for (const QSize size : sizes) {
        ASSERT_TRUE(Show->Transform(0, TTransform::RotateRight));
        EXPECT_EQ(SizeOf(Picture), size);
    }
    EXPECT_LT(MeanDifference(Decoded(Picture), original), 4.0);
}

struct TEdit {
    const char* Command;
    QImage (*Expected)(const QImage&);
};

class EditCommands : public EditPictures, public testing::WithParamInterface<TEdit> {};

TEST_P(EditCommands, TransformMatchesTheImageOperation) {
    const auto transform = TransformOfCommand(GetParam().Command);
    ASSERT_TRUE(transform.has_value());
    const QImage expected = GetParam().Expected(Decoded(Picture));
    ASSERT_TRUE(Show->Transform(0, *transform));
    EXPECT_LT(MeanDifference(Decoded(Picture), expected), 3.0);
    EXPECT_EQ(State->UndoCount, 1);
}

INSTANTIATE_TEST_SUITE_P(Commands, EditCommands,
                         testing::Values(TEdit{"90",
                                               [](const QImage& i) {
                                                   return i.transformed(QTransform().rotate(90));
                                               }},
                                         TEdit{"-90",
                                               [](const QImage& i) {
                                                   return i.transformed(QTransform().rotate(-90));
                                               }},
                                         TEdit{"180",
                                               [](const QImage& i) {
                                                   return i.transformed(QTransform().rotate(180));
                                               }},
                                         TEdit{"flipv",
                                               [](const QImage& i) {
                                                   return i.mirrored(true, false);
                                               }},
                                         TEdit{"FlipH", [](const QImage& i) {
                                                   return i.mirrored(false, true);
                                               }}));

TEST(TransformCommands, UnknownWordsAreNoEdit) {
    for (const char* word : {"", "45", "270", "Flip", "rotate"})
        EXPECT_FALSE(TransformOfCommand(word).has_value()) << word;
}

TEST_F(EditPictures, EditRenewsTheThumbnailUnderANumberedName) {
    Show->SetCaption(0, "Abend");
    ASSERT_TRUE(Show->Transform(0, TTransform::RotateLeft));
    TPictureEntry entry = Show->Pictures().Parsed(0);
    EXPECT_EQ(entry.ThumbnailPath, Folder + "_THUMB_1Foto.jpg");
    EXPECT_EQ(entry.Caption, "Abend");
    EXPECT_TRUE(entry.HasCaption);
    EXPECT_EQ(SizeOf(Folder + "_THUMB_Foto.jpg"), QSize(35, 70));
    EXPECT_EQ(SizeOf(Folder + "_THUMB_1Foto.jpg"), QSize(35, 70));

    ASSERT_TRUE(Show->Transform(0, TTransform::RotateLeft));
    EXPECT_EQ(Show->Pictures().Parsed(0).ThumbnailPath, Folder + "_THUMB_2Foto.jpg");
    EXPECT_EQ(SizeOf(Folder + "_THUMB_Foto.jpg"), QSize(140, 70));

    Show->CleanStrayThumbnails();
    EXPECT_FALSE(QFileInfo::exists(Folder + "_THUMB_1Foto.jpg"));
    EXPECT_FALSE(QFileInfo::exists(Folder + "_THUMB_2Foto.jpg"));
    EXPECT_TRUE(QFileInfo::exists(Folder + "_THUMB_Foto.jpg"));

    // A picture added without caption turns into an entry with one.
    ASSERT_TRUE(Show->AddPictures({Source("b.jpg")}, -1, Progress));
    EXPECT_FALSE(Show->Pictures().Parsed(1).HasCaption);
    ASSERT_TRUE(Show->Transform(1, TTransform::Rotate180));
    EXPECT_TRUE(Show->Pictures().Parsed(1).HasCaption);
}

TEST_F(EditPictures, DeletingUndoCopiesEmptiesTheHistory) {
    TTestKit::WriteFile(State->ProgramDir + "Keep.jpg", "x");
    ASSERT_TRUE(Show->Transform(0, TTransform::MirrorLeftRight));
    ASSERT_TRUE(Show->Transform(0, TTransform::MirrorTopBottom));
    EXPECT_TRUE(QFileInfo::exists(State->ProgramDir + "UNDO_1.jpg"));
    EXPECT_TRUE(QFileInfo::exists(State->ProgramDir + "UNDO_2.jpg"));
    const QByteArray edited = TTestKit::ReadFile(Picture);

    Show->DeleteUndoCopies();
    EXPECT_EQ(State->UndoCount, 0);
    EXPECT_TRUE(QDir(State->ProgramDir).entryList({"UNDO_*"}, QDir::Files).isEmpty());
    EXPECT_TRUE(QFileInfo::exists(State->ProgramDir + "Keep.jpg"));
    EXPECT_FALSE(Show->Undo(0));
    EXPECT_EQ(TTestKit::ReadFile(Picture), edited);
}

TEST_F(EditPictures, OpeningAnotherSlideshowEndsTheHistory) {
    ASSERT_TRUE(Show->Transform(0, TTransform::RotateRight));
    Show->OpenShow("Diashow_0001", Progress);
    EXPECT_EQ(State->UndoCount, 0);
    EXPECT_TRUE(QDir(State->ProgramDir).entryList({"UNDO_*"}, QDir::Files).isEmpty());
}

// An edit that does not reach the picture leaves it, the undo history and the entry as they
// were: a cancel before the write, and a write that fails after the undo copy.
TEST_F(EditPictures, EditsThatDoNotArriveLeaveEverythingAsItWas) {
    const QByteArray original = TTestKit::ReadFile(Picture);
    const QString thumbnail = Show->Pictures().Parsed(0).ThumbnailPath;
    const TEditTarget target = Show->EditTarget(0);
    TSilentProgress cancelled;
    cancelled.Cancel();
    const TPictureEdit outcomes[] = {
        TSlideshow::TransformFile(target, TTransform::RotateRight, cancelled),
        TSlideshow::EditFile(target, [] { throw TImagingError("Save", "Anna.jpg", "disk full"); }),
    };
    for (const TPictureEdit& edit : outcomes) {
        EXPECT_FALSE(Show->FinishEdit(0, edit));
        EXPECT_EQ(TTestKit::ReadFile(Picture), original);
        EXPECT_EQ(State->UndoCount, 0);
        EXPECT_TRUE(QDir(State->ProgramDir).entryList({"UNDO_*"}, QDir::Files).isEmpty());
        EXPECT_EQ(Show->Pictures().Parsed(0).ThumbnailPath, thumbnail);
    }
    EXPECT_TRUE(outcomes[0].Cancelled);
    EXPECT_TRUE(Texts(TKind::PlainError).value(0).contains("disk full"));
}

TEST_F(EditPictures, CorruptPictureIsReportedAndLeftAsItWas) {
    TTestKit::WriteFile(Picture, "not a picture at all");
    EXPECT_FALSE(Show->Transform(0, TTransform::RotateRight));
    const QStringList errors = Texts(TKind::PlainError);
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].startsWith("An error occured in your application, \n"))
        << errors[0].toStdString();
    EXPECT_GT(errors[0].size(), 40);
    EXPECT_EQ(TTestKit::ReadFile(Picture), "not a picture at all");
    EXPECT_EQ(State->UndoCount, 0);
    EXPECT_TRUE(QDir(State->ProgramDir).entryList({"UNDO_*"}, QDir::Files).isEmpty());
    EXPECT_FALSE(Show->Transform(5, TTransform::RotateRight));
}

} // namespace

namespace {

TEST(SourceThumbnails, DeepFoldersGetShortStableUniqueNames) {
    TTestKit kit;
    const auto state = kit.State();
    const auto name = [&](const QString& path) {
        return QFileInfo(Thumbnails::SourceThumbnailPath(*state, path)).fileName();
    };
    const QString deep = "/home/anna/" + QString("Ordner mit Überlänge/").repeated(14);
    const struct {
        const char* Trap;
        QString Path;
    } cases[] = {
        {"ascii", deep + "Strand.jpg"},
        {"umlauts spelled out", deep + "Über_Größe.jpg"},
        {"characters kept as they are", "/" + QString("фото/").repeated(60) + "кот.jpg"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Trap);
        const QString thumbnail = name(c.Path);
        EXPECT_LE(thumbnail.toUtf8().size(), 255);
        EXPECT_EQ(thumbnail, name(c.Path)) << "stable";
        EXPECT_TRUE(thumbnail.endsWith(".jpg"));
        EXPECT_NE(thumbnail, name("/x" + c.Path)) << "unique though the ends agree";
    }
    EXPECT_TRUE(name(deep + "Strand.jpg").endsWith(Convert::SafeFileName("/Strand.jpg") + ".jpg"));
    EXPECT_EQ(name("/home/anna/Bilder/Strand.jpg"),
              Convert::SafeFileName("/home/anna/Bilder/Strand.jpg") + ".jpg")
        << "short names stay as they were";

    // The thumbnail of a deep folder's picture is made.
    const QString folder = kit.Root() + QString("tief-verschachtelt/").repeated(14);
    ASSERT_TRUE(QDir().mkpath(folder));
    QImage picture(40, 30, QImage::Format_RGB32);
    picture.fill(Qt::red);
    ASSERT_TRUE(picture.save(folder + "a.jpg"));
    const QString thumbnail = Thumbnails::SourceThumbnailPath(*state, folder + "a.jpg");
    QDir().mkpath(QFileInfo(thumbnail).path());
    EXPECT_TRUE(Thumbnails::Make(folder + "a.jpg", thumbnail));
    EXPECT_TRUE(QFileInfo::exists(thumbnail));
}

} // namespace
