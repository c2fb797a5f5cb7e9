#include "gallery/GalleryPages.h"
#include "gallery/ModernPages.h"
#include "gallery/TGalleryGenerator.h"
#include "imaging/JpegMarkers.h"
#include "imaging/TRasterImage.h"
#include "shell/TProgress.h"
#include "support/PhotoFixtures.h"
#include "support/QtPrinters.h"
#include "support/TTestKit.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

using namespace Lumerix;

namespace {

class ModernGallery : public testing::Test {
protected:
    void SetUp() override {
        Root = Temporary.path() + '/';
        Request.ProgramDir = Root + "program/";
        Request.KitDir = QStringLiteral(LUMERIX_STAGED_KIT "/");
        Request.LanguageCode = "GERMAN";
        Request.Title = "Küste & <Meer>";
        Request.SettingsFile = Request.ProgramDir + "Gallery_Diashow_0001.ini";
        QDir().mkpath(Request.ProgramDir);
        Settings.Style = TGallerySettings::TStyle::Modern;
    }

    QString Picture(const QString& name, int width, int height) {
        const QString path = Root + "pictures/" + name;
        QDir().mkpath(Root + "pictures");
        QImage image(width, height, QImage::Format_RGB888);
        image.fill(QColor(40, 90, 160));
        TRasterImage(image).Save(path, 2);
        return path;
    }

    void Generate() {
        TSilentProgress progress;
        const TGalleryResult result = TGalleryGenerator(Request, Settings).Generate(progress);
        ASSERT_TRUE(result.Ok) << result.Error.toStdString();
    }

    QString Out(const QString& name) const { return Request.OutputDir() + name; }
    QString Page(const QString& name) const {
        return QString::fromUtf8(TTestKit::ReadFile(Out(name)));
    }

    QTemporaryDir Temporary;
    QString Root;
    TGalleryRequest Request;
    TGallerySettings Settings;
};

TEST(ModernSizes, TiersNeverEnlargeAndStopAtThePicturesOwnSize) {
    struct TCase {
        QSize Upright;
        QList<QSize> Sizes;
    };
    const TCase cases[] = {
        {{4000, 3000}, {{240, 180}, {480, 360}, {960, 720}, {1920, 1440}}},
        {{3000, 4000}, {{180, 240}, {360, 480}, {720, 960}, {1440, 1920}}},
        {{1000, 500}, {{240, 120}, {480, 240}, {960, 480}, {1000, 500}}},
        {{480, 320}, {{240, 160}, {480, 320}}}, // exactly a tier: no copy above it
        {{100, 50}, {{100, 50}}},
        {{5000, 1}, {{240, 1}, {480, 1}, {960, 1}, {1920, 1}}}, // never 0 pixels
    };
    for (const TCase& c : cases) {
        QList<QSize> sizes;
        for (const ModernPages::TVariant& variant : ModernPages::Variants(c.Upright))
            sizes.append(variant.Size);
        EXPECT_EQ(sizes, c.Sizes) << c.Upright.width() << "x" << c.Upright.height();
    }
}

// A JPEG whose EXIF names a camera.
QByteArray WithCamera(const QByteArray& make, const QByteArray& model) {
    QByteArray tiff("II*\0\x08\0\0\0", 8);
    const QList<std::pair<quint16, QByteArray>> tags = {{0x010F, make + '\0'},
                                                        {0x0110, model + '\0'}};
    QByteArray entries;
    QByteArray data;
    const quint32 tagCount = (make.isEmpty() ? 0 : 1) + (model.isEmpty() ? 0 : 1);
    const quint32 dataAt = 8 + 2 + 12 * tagCount + 4;
    for (const auto& [tag, text] : tags) {
        if (text.size() < 2)
            continue; // an empty value: no tag
        char entry[12];
        qToLittleEndian<quint16>(tag, entry);
        qToLittleEndian<quint16>(2, entry + 2);
        qToLittleEndian<quint32>(quint32(text.size()), entry + 4);
        qToLittleEndian<quint32>(dataAt + quint32(data.size()), entry + 8);
        entries.append(entry, 12);
        data += text;
    }
    char count[2];
    qToLittleEndian<quint16>(quint16(entries.size() / 12), count);
    tiff += QByteArray(count, 2) + entries + QByteArray(4, '\0') + data;
    QImage image(8, 8, QImage::Format_RGB888);
    image.fill(Qt::gray);
    return JpegMarkers::WithMetadata(TRasterImage(image).EncodeJpeg(),
                                     JpegMarkers::ExifSegment(tiff));
}

TEST(ModernDetails, CameraNamesTheMakerOnce) {
    const std::array<std::array<const char*, 3>, 5> cases = {{
        {"Canon", "Canon EOS 80D", "Canon EOS 80D"},
        {"NIKON CORPORATION", "NIKON D750", "NIKON D750"},
        {"Apple", "iPhone 15", "Apple iPhone 15"},
        {"", "X100V", "X100V"},
        {"Sony", "", "Sony"},
    }};
    for (const auto& [make, model, shown] : cases)
        EXPECT_EQ(JpegMarkers::Camera(WithCamera(make, model)), QString(shown)) << make;
    EXPECT_EQ(JpegMarkers::Camera(QByteArray("\xFF\xD8\xFF\xD9", 4)), QString());
}

TEST_F(ModernGallery, PagesEscapeEveryTextAndGiveEachPictureItsOwnAltText) {
    Settings.TextVisible = true;
    Request.Pictures = {{Picture("Strand #1.jpg", 1200, 900), "Sonne & \"Meer\" <b>"},
                        {Picture("Düne \"<x>\".jpg", 600, 900), ""}};
    Generate();
    const QStringList bases =
        TGalleryGenerator::UniqueBases({Request.Pictures[0].Path, Request.Pictures[1].Path});
    const QString overview = Page("gallery.html");
    const QString first = Page(bases[0] + ".html");
    struct TCase {
        const char* Where;
        QString Text;
        QString Expected;
    };
    const TCase cases[] = {
        {"doctype first", overview.left(15), "<!DOCTYPE html>"},
        {"page title", overview, "<title>Küste &amp; &lt;Meer&gt;</title>"},
        {"alt from caption", overview, "alt=\"Sonne &amp; &quot;Meer&quot; &lt;b&gt;\""},
        {"alt from file name", overview, "alt=\"Düne &quot;&lt;x&gt;&quot;.jpg\""},
        {"thumbnail srcset", overview,
         QString("srcset=\"%1-240.jpg 240w, %1-480.jpg 480w, %1-960.jpg 960w\"")
             .arg(GalleryPages::Address(bases[0]))},
        {"thumbnail size given", overview, "width=\"480\" height=\"360\" alt="},
        {"lazy thumbnails", overview, "loading=\"lazy\""},
        {"portrait stops at its own size", overview, bases[1] + "-960.jpg 600w\""},
        {"picture page caption", first,
         "<span class=\"caption\">Sonne &amp; &quot;Meer&quot; &lt;b&gt;</span>"},
        {"picture page neighbours", first, "<a rel=\"next\" href=\"" + bases[1] + ".html\""},
        {"picture page title", first,
         "<title>Küste &amp; &lt;Meer&gt; – Sonne &amp; &quot;Meer&quot; &lt;b&gt;</title>"},
    };
    for (const TCase& c : cases)
        EXPECT_TRUE(c.Text.contains(c.Expected)) << c.Where;
    for (const QString& page : {overview, first}) {
        EXPECT_FALSE(page.contains("<b>"));
        EXPECT_FALSE(page.contains("<x>"));
        EXPECT_FALSE(page.contains("http://")); // nothing is fetched from elsewhere
    }
    EXPECT_EQ(TRasterImage::ReadSize(Out(bases[0] + "-1920.jpg")), QSize(1200, 900));
    EXPECT_EQ(TRasterImage::ReadSize(Out(bases[1] + "-240.jpg")), QSize(160, 240));
    EXPECT_FALSE(QFileInfo::exists(Out(bases[1] + "-1920.jpg"))); // never enlarged
    EXPECT_FALSE(QFileInfo::exists(Out("next.gif"))); // the classic pages' navigation images
    EXPECT_TRUE(QFileInfo::exists(Out("lightbox.js")));
}

TEST_F(ModernGallery, PhonePicturesAreUprightWithoutTheirGpsButWithTheirDate) {
    const QString photos = Root + "photos/";
    ASSERT_TRUE(PhotoFixtures::Make(photos));
    Settings.DetailsVisible = true;
    Request.Pictures = {{photos + "orientation-6.jpg", "Gedreht"}};
    Generate();
    const QString base = TGalleryGenerator::UniqueBases({Request.Pictures[0].Path})[0];
    const QByteArray made = TTestKit::ReadFile(Out(base + "-240.jpg"));
    TRasterImage image;
    image.LoadFromData(made, "made");
    QString why;
    EXPECT_TRUE(PhotoFixtures::ShowsScene(image.Bitmap(), {}, TOrientation::Upright, &why))
        << why.toStdString();
    EXPECT_TRUE(JpegMarkers::MetadataSegments(made).isEmpty()); // no EXIF, so no position
    EXPECT_FALSE(
        JpegMarkers::DateTaken(TTestKit::ReadFile(photos + "orientation-6.jpg")).isEmpty());
    EXPECT_TRUE(Page(base + ".html").contains("<time datetime=\""));
}

// What the HTML checker here says beyond the one attribute its tables predate.
QStringList TidyComplaints(const QString& page) {
    QProcess tidy;
    tidy.start("tidy", {"-errors", "-q", page});
    tidy.waitForFinished(20000);
    QStringList complaints;
    for (const QString& line : QString::fromUtf8(tidy.readAllStandardError()).split('\n')) {
        if (!line.isEmpty() && !line.contains("proprietary attribute \"loading\""))
            complaints.append(line);
    }
    return complaints;
}

TEST_F(ModernGallery, PagesPassTheHtmlChecker) {
    if (QStandardPaths::findExecutable("tidy").isEmpty())
        GTEST_SKIP() << "tidy is not installed";
    Settings.TextVisible = true;
    Settings.FilenameVisible = true;
    Request.Pictures = {{Picture("a.jpg", 800, 600), "Erstes & <Bild>"},
                        {Picture("b.jpg", 600, 800), ""}};
    Generate();
    for (const char* page : {"gallery.html", "a.html", "b.html"})
        EXPECT_EQ(TidyComplaints(Out(page)), QStringList()) << page;
}

// Loads the pages in frames of a phone's and a wide screen's size in headless Chromium and
// reports overflow, grid columns and the lightbox's response to the arrow keys.
const char* Harness = R"HTML(<!DOCTYPE html><html><head><title>check</title></head><body><script>
function frame(src, w, h) {
  return new Promise(function (done) {
    var f = document.createElement('iframe');
    f.style.width = w + 'px'; f.style.height = h + 'px'; f.style.border = '0';
    f.onload = function () { done(f); };
    f.src = src;
    document.body.appendChild(f);
  });
}
async function run() {
  var lines = [];
  for (const [w, h] of [[390, 844], [1440, 900]]) {
    for (const page of ['gallery.html', 'a.html']) {
      const f = await frame(page, w, h);
      const d = f.contentDocument;
      const columns = new Set(Array.from(d.querySelectorAll('.grid li'), li => li.offsetLeft)).size;
      lines.push(page + ' ' + w + ' overflow=' + (d.documentElement.scrollWidth > w) + ' columns=' + columns);
    }
  }
  const f = await frame('gallery.html', 1440, 900);
  const d = f.contentDocument, win = f.contentWindow;
  d.querySelector('.grid a').click();
  const box = d.getElementById('lightbox');
  const key = k => d.dispatchEvent(new win.KeyboardEvent('keydown', {key: k, bubbles: true}));
  const seen = [box.hidden ? 'closed' : box.getAttribute('data-index')];
  key('ArrowRight'); seen.push(box.getAttribute('data-index'));
  key('ArrowLeft'); key('ArrowLeft'); seen.push(box.getAttribute('data-index'));
  key('Escape'); seen.push(box.hidden ? 'closed' : 'open');
  lines.push('lightbox ' + seen.join(' '));
  const out = document.createElement('pre');
  out.id = 'report';
  out.textContent = lines.join('\n');
  document.body.appendChild(out);
}
run();
</script></body></html>)HTML";

TEST_F(ModernGallery, PhoneAndWideScreenInAHeadlessBrowser) {
    const QString chromium = QStandardPaths::findExecutable("chromium");
    if (chromium.isEmpty())
        GTEST_SKIP() << "chromium is not installed";
    for (const char* name : {"a", "b", "c", "d", "e", "f", "g", "h"})
        Request.Pictures.append({Picture(QString(name) + ".jpg", 1600, 1200), name});
    Generate();
    TTestKit::WriteFile(Out("check.html"), Harness);
    QProcess browser;
    browser.start(chromium, {"--headless=new", "--no-sandbox", "--disable-gpu",
                             "--allow-file-access-from-files", "--virtual-time-budget=10000",
                             "--dump-dom", "file://" + Out("check.html")});
    ASSERT_TRUE(browser.waitForFinished(120000));
    const QString dom = QString::fromUtf8(browser.readAllStandardOutput());
    const qsizetype start = dom.indexOf("<pre id=\"report\">");
    ASSERT_GE(start, 0) << dom.right(2000).toStdString();
    const QStringList report =
        dom.mid(start + 17, dom.indexOf("</pre>", start) - start - 17).split('\n');
    EXPECT_EQ(report,
              (QStringList{"gallery.html 390 overflow=false columns=1",
                           "a.html 390 overflow=false columns=0",
                           "gallery.html 1440 overflow=false columns=6",
                           "a.html 1440 overflow=false columns=0", "lightbox 0 1 7 closed"}));
}

} // namespace
