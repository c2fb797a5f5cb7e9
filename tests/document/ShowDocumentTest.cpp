#include "TDocumentFixture.h"

#include "gallery/GalleryPages.h"
#include "gallery/TGalleryGenerator.h"
#include "gallery/TGalleryRequest.h"
#include "gallery/TGallerySettings.h"
#include "player/TPlayerShow.h"
#include "printing/TAlbumReport.h"
#include "shell/TextCodec.h"
#include "video/TFramePreparation.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>

#include <gtest/gtest.h>

using namespace Lumerix;
using namespace Lumerix::DocumentTesting;

namespace {

// One picture as an output sees it.
struct TSeen {
    QString FileName;
    QString Caption;
    bool operator==(const TSeen&) const = default;
};

void PrintTo(const TSeen& seen, std::ostream* out) {
    *out << seen.FileName.toStdString() << " | " << seen.Caption.toStdString();
}

const QString Emoji =
    QString::fromUtf8("Krak\u00f3w \u2013 \u017b\u00f3\u0142\u0107 \u65e5\u672c \xF0\x9F\x98\x80");

// A slideshow whose list sets every trap at once: captions holding the list's own markup, a
// line naming a path out of the folder, a line naming a missing picture, letters of other
// scripts in a caption and a file name, and a picture named like a thumbnail.
class ShowDocument : public TDocumentTest {
protected:
    void SetUp() override {
        TDocumentTest::SetUp();
        WriteJpeg(Workspace + "Diashow_0003/Port.jpg", 40, 30);
        const QByteArray lines = "Strand.jpg | Abends | am Meer\r\n"
                                 "Berg.jpg | x > y <b>\r\n"
                                 "../Diashow_0003/Port.jpg | fremd\r\n"
                                 "Fehlt.jpg | weg\r\n" +
                                 QString::fromUtf8("\u65e5\u672c.jpg | ").toUtf8() +
                                 Emoji.toUtf8() +
                                 "\r\n"
                                 "_THUMB_keep.jpg | reserviert\r\n";
        Name = "Diashow_0004";
        MakeShowFolder(
            Name,
            {"Strand.jpg", "Berg.jpg", QString::fromUtf8("\u65e5\u672c.jpg"), "_THUMB_keep.jpg"},
            lines, "Fallen");
        Expected = {{"Strand.jpg", "Abends | am Meer"},
                    {"Berg.jpg", "x > y <b>"},
                    {QString::fromUtf8("\u65e5\u672c.jpg"), Emoji},
                    {"_THUMB_keep.jpg", "reserviert"}};
    }

    QList<TSeen> List() const {
        QList<TSeen> seen;
        for (int i = 0; i < Show->Pictures().Count(); ++i)
            seen.append({Show->Pictures().Parsed(i).FileName, Show->Pictures().Parsed(i).Caption});
        return seen;
    }

    QString Name;
    QList<TSeen> Expected;
};

TEST_F(ShowDocument, EveryOutputSeesTheListAsItOpens) {
    Show->OpenShow(Name, Progress);
    ASSERT_EQ(List(), Expected);
    const QString folder = Show->ShowDir();
    EXPECT_TRUE(QFileInfo::exists(folder + "_THUMB_keep.jpg")) << "a listed picture is no stray";

    // Video frames.
    QList<TSeen> frames;
    for (const TFramePicture& picture : FramePreparation::PicturesOfShow(*State, Name))
        frames.append({QFileInfo(picture.Source).fileName(), picture.Caption});
    EXPECT_EQ(frames, Expected);

    // The player, reading the folder on its own (a CD-ROM's, say).
    const TPlayerShow played = TPlayerShow::Load(folder);
    QList<TSeen> player;
    for (const TPlayerPicture& picture : played.Pictures())
        player.append({picture.FileName, picture.Caption});
    EXPECT_EQ(player, Expected);
    EXPECT_EQ(played.SkippedLines(), 2);
    EXPECT_EQ(played.Title(), "Fallen");

    // The album.
    QStringList names;
    for (const TSeen& seen : Expected)
        names.append(seen.FileName);
    const std::optional<TAlbumReport> album =
        TAlbumReport::Prepare(folder, State->ShowTitle, Show->Pictures().Entries(), names,
                              TAlbumOptions{495, true}, Progress);
    ASSERT_TRUE(album.has_value());
    QList<TSeen> printed;
    for (const TAlbumEntry& entry : album->Entries())
        printed.append({entry.FileName, entry.Caption});
    EXPECT_EQ(printed, Expected);
    const QString pdf = Kit.Root() + "album.pdf";
    ASSERT_TRUE(album->WritePdf(pdf));
    TAlbumReport::DeletePrintCopies(folder, names);
    QProcess text;
    text.start("pdftotext", {"-layout", pdf, "-"});
    ASSERT_TRUE(text.waitForFinished(30000));
    const QString words = QString::fromUtf8(text.readAllStandardOutput());
    EXPECT_LT(words.indexOf("Abends | am Meer"), words.indexOf("x > y <b>")) << words.toStdString();
    EXPECT_GE(words.indexOf("Abends | am Meer"), 0) << words.toStdString();

    // The gallery pages, every caption escaped and in order.
    const TGalleryRequest request = TGalleryRequest::ForSlideshow(*State, *Show);
    TGalleryGenerator generator(
        request, TGallerySettings::Read(request.SettingsFile, request.DefaultsFile()));
    ASSERT_TRUE(generator.Generate(Progress).Ok);
    const QString overview =
        QString::fromLatin1(TTestKit::ReadFile(request.OutputDir() + "gallery.html"));
    qsizetype last = -1;
    for (const TSeen& seen : Expected) {
        const qsizetype at = overview.indexOf(
            GalleryPages::AsciiReferences(GalleryPages::Escape(seen.Caption)), last + 1);
        EXPECT_GT(at, last) << seen.Caption.toStdString();
        last = at;
    }
    EXPECT_EQ(QDir(request.OutputDir()).entryList({"*.html"}, QDir::Files).size(), 5);
}

TEST_F(ShowDocument, TextSurvivesEveryRoundTrip) {
    Show->OpenShow(Name, Progress);
    Show->SetCaption(0, Emoji + " | \t" + QString(60, u'x'));
    ASSERT_TRUE(Show->SavePictureList());
    const QByteArray bytes = TTestKit::ReadFile(Show->ShowDir() + "Pictures.ini");
    EXPECT_FALSE(bytes.startsWith("\xEF\xBB\xBF"));
    EXPECT_TRUE(bytes.endsWith("\r\n"));
    const QString stored = Show->Pictures().Parsed(0).Caption;
    EXPECT_TRUE(stored.startsWith(Emoji + " | ")) << stored.toStdString();
    EXPECT_LE(stored.size(), MaxCaptionLength);

    // Lines that named nothing are gone; the rest reads back as the list held it.
    TSlideshow again(*State, Prompter);
    again.OpenShow(Name, Progress);
    EXPECT_EQ(again.Pictures().Entries().size(), 4);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(again.Pictures().Parsed(i).PicturesLine(),
                  Show->Pictures().Parsed(i).PicturesLine());

    // A list that fits the old code page stays in it.
    again.RemovePicture(2);
    again.SetCaption(0, QString::fromUtf8("Gr\u00fc\u00dfe \u20ac"));
    ASSERT_TRUE(again.SavePictureList());
    EXPECT_EQ(TTestKit::ReadFile(again.ShowDir() + "Pictures.ini"),
              "Strand.jpg | Gr\xFC\xDF"
              "e \x80\r\nBerg.jpg | x > y <b>\r\n_THUMB_keep.jpg | reserviert\r\n");
}

struct TEncodingCase {
    const char* Name;
    const char* Text;
    bool Legacy; ///< written in the old code page
};

class LosslessEncoding : public testing::TestWithParam<TEncodingCase> {};

TEST_P(LosslessEncoding, ReadsBackTheSameText) {
    const QString text = QString::fromUtf8(GetParam().Text);
    const QByteArray bytes = TextCodec::EncodeLossless(text);
    EXPECT_EQ(TextCodec::Decode(bytes), text);
    EXPECT_EQ(bytes == TextCodec::ToWindows1252(text), GetParam().Legacy);
}

INSTANTIATE_TEST_SUITE_P(Texts, LosslessEncoding,
                         testing::Values(TEncodingCase{"Ascii", "a.jpg | Abends", true},
                                         TEncodingCase{"Umlauts", "Sch\u00e4fchen \u20ac", true},
                                         TEncodingCase{"Polish", "\u017b\u00f3\u0142\u0107", false},
                                         TEncodingCase{"Emoji", "\xF0\x9F\x98\x80", false},
                                         // These code-page bytes would read as UTF-8 "é".
                                         TEncodingCase{"LooksLikeUtf8", "\u00c3\u00a9", false}),
                         [](const auto& info) { return std::string(info.param.Name); });

struct TImportCase {
    const char* Source;
    const char* Stored;
};

class ImportedNames : public TDocumentTest, public testing::WithParamInterface<TImportCase> {};

TEST_P(ImportedNames, KeepEveryLetterAndReadBackAsThemselves) {
    const QString source = Source(QString::fromUtf8(GetParam().Source));
    Show->NewShow("Namen");
    ASSERT_TRUE(Show->AddPictures({source}, -1, Progress));
    ASSERT_EQ(EntryNames(), QStringList{QString::fromUtf8(GetParam().Stored)});
    TSlideshow again(*State, Prompter);
    again.OpenShow(State->CurrentShow, Progress);
    EXPECT_EQ(again.Pictures().Count(), 1) << "the name survives the list file";
    // Opening cleans stray thumbnails; the picture is none.
    EXPECT_TRUE(QFileInfo::exists(again.PicturePath(0)));
}

INSTANTIATE_TEST_SUITE_P(Sources, ImportedNames,
                         testing::Values(TImportCase{"\u65e5\u672c.jpg", "\u65e5\u672c.jpg"},
                                         TImportCase{"Krak\u00f3w \xF0\x9F\x98\x80.jpg",
                                                     "Krak\u00f3w \xF0\x9F\x98\x80.jpg"},
                                         TImportCase{"_THUMB_keep.jpg", "THUMB_keep.jpg"},
                                         TImportCase{"_thumb_klein.jpg", "thumb_klein.jpg"},
                                         TImportCase{"a|b<c>.jpg", "a_b_c_.jpg"},
                                         TImportCase{"back\\slash.jpg", "back_slash.jpg"},
                                         TImportCase{"tab\there.jpg", "tab_here.jpg"}));

} // namespace
