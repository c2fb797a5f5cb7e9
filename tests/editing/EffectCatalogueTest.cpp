#include "editing/EffectCatalogue.h"
#include "editing/EffectFilters.h"
#include "imaging/TRasterImage.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Lumerix;

namespace {

// A picture with some structure in every channel.
QImage Pattern(int width, int height) {
    QImage image(width, height, QImage::Format_BGR888);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb((x * 37) % 256, (y * 53) % 256, ((x + y) * 11) % 256));
    return image;
}

const TEffectRow& Row(const char* path) {
    const int index = EffectCatalogue::Find(QString::fromLatin1(path));
    EXPECT_GE(index, 0) << path;
    return EffectCatalogue::Rows()[std::max(index, 0)];
}

TEST(EffectCatalogue, TreeOrderNamesAndNumbers) {
    const QList<TEffectRow>& rows = EffectCatalogue::Rows();
    ASSERT_FALSE(rows.isEmpty());
    EXPECT_EQ(rows.first().Name, "Posterize");
    EXPECT_EQ(rows.last().Name, "Solarize");
    QSet<QString> paths;
    QSet<int> numbers;
    for (const TEffectRow& row : rows) {
        EXPECT_FALSE(paths.contains(row.Path())) << row.Path().toStdString();
        paths.insert(row.Path());
        if (!row.Parent.isEmpty()) {
            EXPECT_GE(EffectCatalogue::Find(row.Parent), 0) << row.Path().toStdString();
        }
        if (row.Number > 0)
            numbers.insert(row.Number);
        if (row.SetsBar) {
            // The bar's order of setting (minimum, maximum, position) relies on these.
            EXPECT_LE(row.Minimum, 5);
            EXPECT_GE(row.Maximum, 10);
            EXPECT_GE(row.Position, row.Minimum);
            EXPECT_LE(row.Position, row.Maximum);
        }
    }
    // Every effect number from 3 to 54 has exactly one node.
    EXPECT_EQ(numbers.size(), 52);
    EXPECT_EQ(*std::min_element(numbers.begin(), numbers.end()), 3);
    EXPECT_EQ(*std::max_element(numbers.begin(), numbers.end()), 54);

    const struct {
        const char* Path;
        int Number;
        bool SetsBar;
        int Minimum, Maximum, Position;
    } cases[] = {
        {"Noise", -1, false, 0, 0, 0},        {"Wave", -1, false, 0, 0, 0},
        {"Ripple", 0, false, 0, 0, 0},        {"Texturize", 0, false, 0, 0, 0},
        {"Fisheye", 11, false, 0, 0, 0},      {"Mosaic", 9, true, 2, 30, 15},
        {"Seamless", 8, true, 3, 15, 5},      {"Wave/Inference", 14, true, 1, 10, 1},
        {"Wings/Wavy", 24, true, 1, 400, 1},  {"Colors/XBlue", 31, true, 0, 255, 128},
        {"Split/Round", 39, true, 0, 255, 0}, {"Squeeze/Round", 37, true, 0, 255, 0},
        {"Triangles", 45, true, 5, 127, 19},  {"Solarize", 53, true, 0, 255, 1},
    };
    for (const auto& c : cases) {
        const TEffectRow& row = Row(c.Path);
        EXPECT_EQ(row.Number, c.Number) << c.Path;
        EXPECT_EQ(row.SetsBar, c.SetsBar) << c.Path;
        if (c.SetsBar) {
            EXPECT_EQ(std::tuple(row.Minimum, row.Maximum, row.Position),
                      std::tuple(c.Minimum, c.Maximum, c.Position))
                << c.Path;
        }
    }
}

TEST(EffectCatalogue, FindsByNumberOrPath) {
    const QList<TEffectRow>& rows = EffectCatalogue::Rows();
    EXPECT_EQ(rows[EffectCatalogue::Find("17")].Path(), "Wings/Deep");
    EXPECT_EQ(rows[EffectCatalogue::Find("wings/deep")].Number, 17);
    EXPECT_EQ(rows[EffectCatalogue::Find("Split/Waste")].Number, 40);
    EXPECT_EQ(rows[EffectCatalogue::Find("0")].Name, "Ripple");
    EXPECT_EQ(EffectCatalogue::Find("Round"), -1) << "only children are called Round";
    EXPECT_EQ(EffectCatalogue::Find("99"), -1);
    EXPECT_EQ(EffectCatalogue::Find(""), -1);
}

TEST(EffectCatalogue, EveryRowRunsOnTinyAndPreviewSizes) {
    EffectFilters::SeedRandom(7);
    for (const QSize size : {QSize(1, 1), QSize(2, 3), QSize(199, 100)}) {
        for (const TEffectRow& row : EffectCatalogue::Rows()) {
            const int low = row.SetsBar ? row.Minimum : 0;
            const int high = row.SetsBar ? row.Maximum : 100;
            for (const int amount : {low, high}) {
                for (const int extra : {EffectCatalogue::ExtraMinimum, 40}) {
                    QImage bitmap = Pattern(size.width(), size.height());
                    const bool ran =
                        EffectCatalogue::ApplyEffect(row, bitmap, amount, 256, 231, extra);
                    EXPECT_EQ(bitmap.size(), size) << row.Path().toStdString();
                    EXPECT_EQ(bitmap.format(), QImage::Format_BGR888);
                    if (row.Number == 52)
                        continue; // depends on the clipboard
                    EXPECT_EQ(ran, row.Runs()) << row.Path().toStdString();
                }
            }
        }
    }
}

TEST(EffectCatalogue, RowsRunTheirOperations) {
    const QImage source = Pattern(40, 30);
    auto run = [&](const char* path, int amount, int extra = 1) {
        QImage bitmap = source;
        EXPECT_TRUE(EffectCatalogue::ApplyEffect(Row(path), bitmap, amount, 20, 15, extra));
        return bitmap;
    };
    // The headings "Ripple" and "Texturize" run Contrast with the amount bar.
    QImage contrast = source;
    EffectFilters::Contrast(contrast, 60);
    EXPECT_EQ(run("Ripple", 60), contrast);
    EXPECT_EQ(run("Texturize", 60), contrast);
    // "Triangle" is the same operation as "Tooth".
    EXPECT_EQ(run("Ripple/Triangle", 7), run("Ripple/Tooth", 7));
    // Heading "Noise" runs nothing.
    QImage untouched = source;
    EXPECT_FALSE(EffectCatalogue::ApplyEffect(Row("Noise"), untouched, 50, 0, 0, 1));
    EXPECT_EQ(untouched, source);
    // MandelBrot at amount 0, extra 1: the plane from -2.25 to 0.75 and -1.491 to 1.5.
    QImage fractal = source;
    EffectFilters::Fractal(fractal, 16, -2.25, -1.491, 0.75, 1.5, true);
    EXPECT_EQ(run("MandelBrot", 0, 1), fractal);
    // Channels take low from the extra bar and high from the amount bar.
    QImage channel = source;
    EffectFilters::ChannelXRed(channel, 30, 200);
    EXPECT_EQ(run("Colors/XRed", 200, 30), channel);
    // Plasma raises a scale below 10 to 10.
    EXPECT_EQ(run("Plasma", 20, 1), run("Plasma", 20, 10));
}

TEST(EffectCatalogue, BlendNeedsAClipboardPictureOfTheSameSize) {
    const QImage source = Pattern(30, 20);
    QImage overlay(30, 20, QImage::Format_RGB32);
    overlay.fill(Qt::white);
    QClipboard* clipboard = QGuiApplication::clipboard();

    clipboard->clear();
    QImage bitmap = source;
    EXPECT_FALSE(EffectCatalogue::ApplyEffect(Row("Blend"), bitmap, 50, 0, 0, 1));
    EXPECT_EQ(bitmap, source);

    clipboard->setImage(overlay.scaled(31, 20));
    EXPECT_FALSE(EffectCatalogue::ApplyEffect(Row("Blend"), bitmap, 50, 0, 0, 1));

    clipboard->setImage(overlay);
    if (EffectCatalogue::ClipboardBitmap().isNull())
        GTEST_SKIP() << "this platform keeps no clipboard picture";
    EXPECT_TRUE(EffectCatalogue::ApplyEffect(Row("Blend"), bitmap, 50, 0, 0, 1));
    QImage expected;
    EffectFilters::Blend(source, overlay.convertToFormat(QImage::Format_BGR888), expected, 0.5);
    EXPECT_EQ(bitmap, expected);
    clipboard->clear();
}

TEST(PictureEdits, BarsAtRestLeaveThePictureAlone) {
    const QImage source = Pattern(50, 40);
    QImage adjusted = source;
    PictureEdits::ApplyAdjustments(adjusted, 0, PictureEdits::ColourRest, 0);
    EXPECT_EQ(adjusted, source) << "the colour bar at rest must not pale the colours";
    PictureEdits::ApplyAdjustments(adjusted, 0, 0, 0);
    EXPECT_NE(adjusted, source);

    QImage balanced = source;
    PictureEdits::ApplyColourBalance(balanced, 100, 100, 100);
    EXPECT_EQ(balanced, source);
    PictureEdits::ApplyColourBalance(balanced, 10, 100, 100);
    for (const QPoint p : {QPoint(7, 3), QPoint(49, 39)}) {
        EXPECT_NEAR(qRed(balanced.pixel(p)), qRed(source.pixel(p)) / 10.0, 1.0);
        EXPECT_EQ(qGreen(balanced.pixel(p)), qGreen(source.pixel(p)));
    }
    QImage sharpened = source;
    PictureEdits::ApplySharpen(sharpened, 0);
    EXPECT_EQ(sharpened, source);
}

TEST(PictureEdits, PreviewCopyIs199Wide) {
    const struct {
        int Width, Height, Expected;
    } cases[] = {{1000, 500, 100}, {2, 1, 100}, {2, 3, 298},
                 {200, 1, 1},      {199, 5, 5}, {4000, 3000, 149}};
    for (const auto& c : cases)
        EXPECT_EQ(PictureEdits::PreviewHeight(c.Width, c.Height), c.Expected)
            << c.Width << " x " << c.Height;

    QTemporaryDir folder;
    const QString path = folder.filePath("wide.jpg");
    TRasterImage(Pattern(1000, 500)).Save(path);
    EXPECT_EQ(PictureEdits::LoadPreviewCopy(path).size(), QSize(199, 100));
    EXPECT_EQ(PictureEdits::LoadFullPicture(path).size(), QSize(1000, 500));
    EXPECT_THROW(PictureEdits::LoadPreviewCopy(folder.filePath("missing.jpg")), TImagingError);
}

TEST(PictureEdits, EffectsSaveWithQuality80) {
    EXPECT_EQ(JpegQuality(PictureEdits::EffectsQualityFactor()), 80);
    EXPECT_EQ(JpegQuality(PictureEdits::CorrectionQualityFactor), 90);
}

} // namespace
