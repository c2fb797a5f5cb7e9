#include "gallery/TGalleryGenerator.h"
#include "gallery/TGallerySettings.h"
#include "imaging/TRasterImage.h"
#include "shell/TProgress.h"
#include "support/QtPrinters.h"
#include "support/TTestKit.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Lumerix;

namespace {

class TRecordingProgress final : public TProgress {
public:
    void SetStatus(const QString&) override {}
    void SetPercent(int percent) override {
        const QMutexLocker locker(&Lock);
        Percents.append(percent);
    }
    bool Cancelled() const override { return false; }

    QMutex Lock;
    QList<int> Percents;
};

class Gallery : public testing::Test {
protected:
    void SetUp() override {
        Root = Temporary.path() + '/';
        Request.ProgramDir = Root + "program/";
        Request.KitDir = QStringLiteral(LUMERIX_STAGED_KIT "/");
        Request.LanguageCode = "GERMAN";
        Request.Title = "Urlaub";
        Request.SettingsFile = Request.ProgramDir + "Gallery_Diashow_0001.ini";
        QDir().mkpath(Request.ProgramDir);
        Settings.ShapeVisible = false;
    }

    QString Picture(const QString& relative, int width, int height, QColor colour = Qt::red) {
        const QString path = Root + "pictures/" + relative;
        QDir().mkpath(QFileInfo(path).absolutePath());
        QImage image(width, height, QImage::Format_RGB888);
        image.fill(colour);
        TRasterImage(image).Save(path, 2);
        return path;
    }

    TGalleryResult Generate() {
        TRecordingProgress progress;
        TGalleryGenerator generator(Request, Settings);
        TGalleryResult result = generator.Generate(progress);
        Made = generator.Pictures();
        Percents = progress.Percents;
        return result;
    }

    QString Out(const QString& name) const { return Request.OutputDir() + name; }
    QString Page(const QString& name) const {
        return QString::fromLatin1(TTestKit::ReadFile(Out(name)));
    }
    QStringList PageLines(const QString& name) const { return Page(name).split('\n'); }
    // The overview's lines between the table's opening and closing.
    QStringList TableBody() const {
        const QStringList lines = PageLines("gallery.html");
        const qsizetype open = lines.indexOf(
            "<table width=\"100%\" border=\"0\" cellspacing=\"15\" cellpadding=\"0\">");
        const qsizetype close = lines.indexOf("</table>");
        return lines.mid(open + 1, close - open - 1);
    }
    QColor PixelOf(const QString& name, int x, int y) const {
        TRasterImage image;
        image.Load(Out(name));
        return image.Bitmap().pixelColor(x, y);
    }

    QTemporaryDir Temporary;
    QString Root;
    TGalleryRequest Request;
    TGallerySettings Settings;
    QList<TGalleryGenerator::TPicture> Made;
    QList<int> Percents;
};

::testing::AssertionResult Near(QColor actual, QColor expected, int tolerance = 12) {
    const int difference = std::max({std::abs(actual.red() - expected.red()),
                                     std::abs(actual.green() - expected.green()),
                                     std::abs(actual.blue() - expected.blue())});
    if (difference <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << actual.name().toStdString() << " is not near " << expected.name().toStdString();
}

TEST_F(Gallery, EmptyListGivesOneRowWithOneEmptyCellAndNoPicturePages) {
    const TGalleryResult result = Generate();
    ASSERT_TRUE(result.Ok) << result.Error.toStdString();
    EXPECT_EQ(result.OverviewPage, Out("gallery.html"));
    EXPECT_EQ(TableBody(), (QStringList{"<tr>", "<td align=\"center\">&nbsp;</td>", "</tr>"}));
    EXPECT_EQ(QDir(Request.OutputDir()).entryList({"*.html"}, QDir::Files),
              QStringList{"gallery.html"});
    for (const char* name : {"layout.css", "next.gif", "home.gif", "previous.gif"})
        EXPECT_TRUE(QFileInfo::exists(Out(name))) << name;
    // The templates live only while a gallery is made.
    EXPECT_TRUE(QDir(Request.ProgramDir).entryList({"*.ht1", "*.ht2"}, QDir::Files).isEmpty());
}

TEST_F(Gallery, PortraitAndLandscapeSizes) {
    Request.Pictures = {{Picture("Hoch.jpg", 600, 800), "hoch"},
                        {Picture("Quer.jpg", 800, 600), "quer"}};
    ASSERT_TRUE(Generate().Ok);
    EXPECT_EQ(TRasterImage::ReadSize(Out("hoch_thumb.jpg")), QSize(80, 107));
    EXPECT_EQ(TRasterImage::ReadSize(Out("quer_thumb.jpg")), QSize(107, 80));
    EXPECT_EQ(TRasterImage::ReadSize(Out("hoch.jpg")), QSize(250, 333));
    EXPECT_EQ(TRasterImage::ReadSize(Out("quer.jpg")), QSize(333, 250));
    // The overview states the thumbnails' own sizes.
    EXPECT_TRUE(
        Page("gallery.html").contains("src=\"hoch_thumb.jpg\" width=\"80\" height=\"107\""));
    EXPECT_TRUE(
        Page("gallery.html").contains("src=\"quer_thumb.jpg\" width=\"107\" height=\"80\""));
}

TEST(GallerySizes, RoundHalfToEven) {
    // 3 × 2 at 81: the width is 121.5, which goes to the even 122; the height then follows.
    EXPECT_EQ(TGalleryGenerator::TargetSize(QSize(3, 2), 81), QSize(122, 81));
    EXPECT_EQ(TGalleryGenerator::TargetSize(QSize(500, 500), 80), QSize(80, 80));
    // 250 × 5 / 2 = 625 exactly; 80 × 5 / 2 = 200.
    EXPECT_EQ(TGalleryGenerator::TargetSize(QSize(2, 5), 250), QSize(250, 625));
    EXPECT_EQ(TGalleryGenerator::TargetSize(QSize(4000, 10), 0), QSize(1, 1));
}

TEST_F(Gallery, FileNamesShownUnderThePictures) {
    Settings.FilenameVisible = true;
    Settings.TextVisible = true;
    Request.Pictures = {{Picture("Strand.jpg", 90, 60), "Abends"}};
    ASSERT_TRUE(Generate().Ok);
    EXPECT_TRUE(Page("gallery.html").contains("<br>strand.html<br></a>Abends\n"));
    EXPECT_TRUE(PageLines("strand.html").contains("<br>strand.jpg<br>Abends<br>"));
}

TEST_F(Gallery, NavigationWrapsAround) {
    Settings.PicProRow = 2;
    Request.Pictures = {
        {Picture("a.jpg", 40, 30)}, {Picture("b.jpg", 40, 30)}, {Picture("c.jpg", 40, 30)}};
    ASSERT_TRUE(Generate().Ok);
    auto links = [&](const QString& page) {
        const QStringList lines = PageLines(page);
        const qsizetype at = lines.indexOf(QRegularExpression("^<A HREF=.*previous\\.gif.*"));
        return std::pair{lines.value(at).section('"', 1, 1),
                         lines.value(at + 2).section('"', 1, 1)};
    };
    EXPECT_EQ(links("a.html"), (std::pair<QString, QString>{"c.html", "b.html"}));
    EXPECT_EQ(links("b.html"), (std::pair<QString, QString>{"a.html", "c.html"}));
    EXPECT_EQ(links("c.html"), (std::pair<QString, QString>{"b.html", "a.html"}));

    Request.Pictures = {{Picture("solo.jpg", 40, 30)}};
    ASSERT_TRUE(Generate().Ok);
    EXPECT_EQ(links("solo.html"), (std::pair<QString, QString>{"solo.html", "solo.html"}));
    // A new generation empties the folder first.
    EXPECT_FALSE(QFileInfo::exists(Out("a.html")));
}

TEST_F(Gallery, TableCellsInRowOrder) {
    Settings.PicProRow = 4;
    for (int i = 0; i < 8; ++i)
        Request.Pictures.append({Picture(QString("p%1.jpg").arg(i), 40, 30)});
    ASSERT_TRUE(Generate().Ok);
    // 8 pictures: 3 rows of 3, the last row with two pictures and one empty cell.
    const QStringList body = TableBody();
    EXPECT_EQ(body.count("<tr>"), 3);
    EXPECT_EQ(body.count("<td align=\"center\" width=\"33%\">"), 8);
    EXPECT_EQ(body.count("<td align=\"center\">&nbsp;</td>"), 1);
    QStringList order;
    for (const QString& line : body) {
        if (line.startsWith("<a href="))
            order.append(line.section('"', 1, 1));
    }
    EXPECT_EQ(order, (QStringList{"p0.html", "p1.html", "p2.html", "p3.html", "p4.html", "p5.html",
                                  "p6.html", "p7.html"}));
}

TEST_F(Gallery, CaptionsAndTitleAreEscapedAndPagesAreAscii) {
    Settings.TextVisible = true;
    Request.Title = "Ferien <2024> & mehr 😀";
    Request.Pictures = {{Picture("x.jpg", 40, 30), "<i>Grüße</i> & \"Küsse\""}};
    ASSERT_TRUE(Generate().Ok);
    const QString overview = Page("gallery.html");
    EXPECT_TRUE(overview.contains(
        "</a><br>&lt;i&gt;Gr&#252;&#223;e&lt;/i&gt; &amp; &quot;K&#252;sse&quot;\n"));
    EXPECT_TRUE(overview.contains("Ferien &lt;2024&gt; &amp; mehr &#128512;</div>"));
    EXPECT_TRUE(PageLines("x.html").contains("Ferien &lt;2024&gt; &amp; mehr &#128512;"));
    EXPECT_TRUE(Page("x.html").contains("ALT=\"N&#228;chstes Bild\""));
    for (const QString& name : QDir(Request.OutputDir()).entryList({"*.html", "*.css"})) {
        const QByteArray bytes = TTestKit::ReadFile(Out(name));
        EXPECT_TRUE(std::all_of(bytes.begin(), bytes.end(), [](char c) { return c > 0; }))
            << name.toStdString();
    }

    Settings.TextVisible = false;
    ASSERT_TRUE(Generate().Ok);
    EXPECT_FALSE(Page("gallery.html").contains("K&#252;sse"));
    EXPECT_FALSE(Page("x.html").contains("K&#252;sse"));
}

TEST_F(Gallery, EqualBasesKeepTheirOwnFiles) {
    Request.Pictures = {{Picture("a/Strand.jpg", 40, 30, Qt::red)},
                        {Picture("b/strand.JPG", 40, 30, Qt::green)},
                        {Picture("c/STRAND.jpg", 40, 30, Qt::blue)},
                        {Picture("Gallery.jpg", 40, 30, Qt::yellow)}};
    ASSERT_TRUE(Generate().Ok);
    QStringList bases;
    for (const auto& picture : Made)
        bases.append(picture.Base);
    EXPECT_EQ(bases, (QStringList{"strand", "strand_1", "strand_2", "gallery_1"}));
    EXPECT_TRUE(Near(PixelOf("strand.jpg", 100, 100), Qt::red));
    EXPECT_TRUE(Near(PixelOf("strand_1.jpg", 100, 100), Qt::green));
    EXPECT_TRUE(Near(PixelOf("strand_2_thumb.jpg", 50, 40), Qt::blue));
    // A picture named like the overview does not replace it.
    EXPECT_TRUE(Page("gallery.html").contains("<table width="));
    EXPECT_TRUE(Page("gallery.html").contains("href=\"gallery_1.html\""));
}

TEST(GalleryBases, NumberedOnlyWhereFilesWouldCollide) {
    EXPECT_EQ(TGalleryGenerator::UniqueBases({"/x/a.jpg", "/y/A.jpg", "/z/a_1.jpg", "/w/a.JPG"}),
              (QStringList{"a", "a_1", "a_1_1", "a_2"}));
    // "x_thumb.jpg" would be the thumbnail of "x".
    EXPECT_EQ(TGalleryGenerator::UniqueBases({"/p/x.jpg", "/p/x_thumb.jpg"}),
              (QStringList{"x", "x_thumb_1"}));
    EXPECT_EQ(TGalleryGenerator::UniqueBases({"/p/Übersicht 2.jpg", "/p/.jpg"}),
              (QStringList{"uebersicht_2", "picture"}));
}

TEST_F(Gallery, FramedPicturesShowTheBackgroundInTheBareCorners) {
    Settings.ShapeVisible = true;
    Settings.BKGColor = 0x00FF00; // green as a Windows colour value
    Request.Pictures = {{Picture("rot.jpg", 400, 300, Qt::red)}};
    ASSERT_TRUE(Generate().Ok);
    const QSize size = TRasterImage::ReadSize(Out("rot.jpg"));
    ASSERT_EQ(size, QSize(333, 250));
    const int w = size.width();
    const int h = size.height();
    EXPECT_TRUE(Near(PixelOf("rot.jpg", 1, h - 2), QColor(0, 255, 0)));
    EXPECT_TRUE(Near(PixelOf("rot.jpg", w - 2, 1), QColor(0, 255, 0)));
    // The shadow is the background darkened by a tenth.
    EXPECT_TRUE(Near(PixelOf("rot.jpg", w - 2, h - 2), QColor(0, 230, 0)));
    EXPECT_TRUE(Near(PixelOf("rot.jpg", w / 2, h / 2), Qt::red));
    EXPECT_FALSE(Near(PixelOf("rot.jpg", 1, 1), Qt::red, 40));

    Settings.ShapeVisible = false;
    ASSERT_TRUE(Generate().Ok);
    EXPECT_TRUE(Near(PixelOf("rot.jpg", 1, 1), Qt::red));
    EXPECT_TRUE(Near(PixelOf("rot_thumb.jpg", 1, 78), Qt::red));
}

TEST_F(Gallery, SettingsWrittenFirstForTheOwnerOnly) {
    Settings.PicProRow = 3;
    Settings.FilenameVisible = true;
    Settings.SmallPicX = "90";
    Settings.TextColor = 255;
    TTestKit::WriteFile(Out("stale.txt"), "old");
    ASSERT_TRUE(Generate().Ok);
    EXPECT_FALSE(QFileInfo::exists(Out("stale.txt")));
    EXPECT_EQ(QFile::permissions(Request.SettingsFile) &
                  (QFile::ReadGroup | QFile::ReadOther | QFile::WriteGroup | QFile::WriteOther),
              QFile::Permissions());
    const TGallerySettings read = TGallerySettings::Read(Request.SettingsFile, {});
    EXPECT_EQ(read.PicProRow, 3);
    EXPECT_TRUE(read.FilenameVisible);
    EXPECT_FALSE(read.TextVisible);
    EXPECT_EQ(read.SmallPicX, "90");
    EXPECT_EQ(read.Compression, 80);
    EXPECT_TRUE(Page("layout.css").contains(" color:#FF0000;"));
}

TEST_F(Gallery, ProgressRisesToHundredThenRestsAtZeroForThePages) {
    for (int i = 0; i < 4; ++i)
        Request.Pictures.append({Picture(QString("p%1.jpg").arg(i), 40, 30)});
    ASSERT_TRUE(Generate().Ok);
    ASSERT_EQ(Percents.size(), 5);
    EXPECT_EQ(Percents.mid(0, 4), (QList<int>{25, 50, 75, 100}));
    EXPECT_EQ(Percents.last(), 0);
}

TEST_F(Gallery, PictureThatCannotBeLoadedStopsTheGeneration) {
    Request.Pictures = {{Picture("gut.jpg", 40, 30)}, {Root + "pictures/fehlt.jpg", "weg"}};
    const TGalleryResult result = Generate();
    EXPECT_FALSE(result.Ok);
    EXPECT_TRUE(result.ImagingFailed);
    EXPECT_TRUE(result.Error.contains("fehlt.jpg")) << result.Error.toStdString();
    EXPECT_FALSE(QFileInfo::exists(Out("gallery.html")));
}

TEST_F(Gallery, BrokenSizeFieldOrCancelEndsWithoutPages) {
    Request.Pictures = {{Picture("a.jpg", 40, 30)}};
    Settings.SmallPicX = "abc";
    TGalleryResult result = Generate();
    EXPECT_FALSE(result.Ok);
    EXPECT_FALSE(result.ImagingFailed);
    EXPECT_TRUE(result.Error.contains("abc"));

    Settings.SmallPicX = "80";
    TSilentProgress cancelled;
    cancelled.Cancel();
    result = TGalleryGenerator(Request, Settings).Generate(cancelled);
    EXPECT_TRUE(result.Cancelled);
    EXPECT_FALSE(QFileInfo::exists(Out("a.html")));
}

TEST(GallerySettings, ReadFromDefaultsUntilTheSettingsFileExists) {
    QTemporaryDir folder;
    const QString defaults = folder.filePath("Gallery.ini");
    const QString own = folder.filePath("Gallery_Diashow_0001.ini");
    TTestKit::WriteFile(defaults, "[SETTINGS]\nSmallPicX=70\nTextVisible=true\n"
                                  "FilenameVisible=ja\nPicProRow=0\nBKGColor=255\n");
    TGallerySettings read = TGallerySettings::Read(own, defaults);
    EXPECT_EQ(read.SmallPicX, "70");
    EXPECT_EQ(read.LargePicX, "250");
    EXPECT_TRUE(read.TextVisible);      // any letter case
    EXPECT_FALSE(read.FilenameVisible); // anything but TRUE is off
    EXPECT_TRUE(read.ShapeVisible);     // on when absent
    EXPECT_EQ(read.PicProRow, 1);
    EXPECT_EQ(read.BKGColor, 255);

    read.SmallPicX = "95";
    ASSERT_TRUE(read.Write(own, defaults));
    EXPECT_EQ(TGallerySettings::Read(own, defaults).SmallPicX, "95");
    EXPECT_EQ(TGallerySettings::Read(defaults, {}).SmallPicX, "70");
}

TEST(GallerySettings, SetChecksLikeTheFields) {
    struct TCase {
        const char* Key;
        const char* Value;
        bool Accepted;
    };
    const TCase cases[] = {
        {"SmallPicX", "120", true},       {"smallpicx", "12345", false},
        {"LargePicX", "x", false},        {"PicProRow", "0", true},
        {"PicProRow", "100", false},      {"BKGColor", "16777215", true},
        {"TextColor", "16777216", false}, {"ShapeVisible", "false", true},
        {"TextVisible", "yes", false},    {"Compression", "75", true},
        {"Nonsense", "1", false},         {"Style", "modern", true},
        {"Style", "Fancy", false},        {"DetailsVisible", "TRUE", true},
    };
    for (const TCase& c : cases) {
        TGallerySettings settings;
        QString error;
        EXPECT_EQ(settings.Set(c.Key, c.Value, &error), c.Accepted) << c.Key << "=" << c.Value;
        EXPECT_EQ(error.isEmpty(), c.Accepted) << c.Key;
    }
    TGallerySettings settings;
    settings.Set("PicProRow", "0");
    EXPECT_EQ(settings.PicProRow, 1);
    settings.Set("ShapeVisible", "false");
    EXPECT_FALSE(settings.ShapeVisible);
}

} // namespace
