#include "video/TFramePreparation.h"

#include "imaging/TRasterImage.h"
#include "shell/TProgress.h"
#include "support/TTestKit.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Lumerix;

namespace {

// A JPEG of one colour.
QString SolidJpeg(const QString& path, int width, int height, QColor colour) {
    QImage image(width, height, QImage::Format_RGB888);
    image.fill(colour);
    TRasterImage(image).Save(path);
    return path;
}

bool Near(QColor a, QColor b) {
    return qAbs(a.red() - b.red()) < 24 && qAbs(a.green() - b.green()) < 24 &&
           qAbs(a.blue() - b.blue()) < 24;
}

struct TPlaceCase {
    QSize Picture;
    QSize Frame;
    QRect Expected;
};

TEST(FramePreparation, PlacementRules) {
    const TPlaceCase cases[] = {
        {{1600, 1200}, {352, 288}, {0, 12, 352, 264}}, // fitted by width
        {{200, 100}, {352, 288}, {76, 94, 200, 100}},  // never enlarged, centred
        {{1200, 1600}, {352, 240}, {86, 0, 180, 240}}, // portrait fitted by height
        {{1000, 900}, {352, 288}, {0, -14, 352, 317}}, // cut at top and bottom
        {{352, 288}, {352, 288}, {0, 0, 352, 288}},    {{400, 100}, {352, 288}, {0, 100, 352, 88}},
    };
    for (const TPlaceCase& c : cases)
        EXPECT_EQ(FramePreparation::Place(c.Picture, c.Frame), c.Expected) << c.Picture.width();
}

class FrameTest : public testing::Test {
protected:
    QTemporaryDir Folder;
    QString Path(const QString& name) const { return Folder.filePath(name); }
    TFrameLook Look() const {
        TFrameLook look;
        look.BackgroundColor = 0x000000;
        look.TextColor = 0xFFFFFF;
        return look;
    }
};

TEST_F(FrameTest, LargePictureFillsTheWidthBetweenBands) {
    const QString source = Path("big.jpg");
    SolidJpeg(source, 1600, 1200, Qt::red);
    const QImage frame =
        FramePreparation::ConvertPicture(source, QString(), QSize(352, 288), Look());
    ASSERT_EQ(frame.size(), QSize(352, 288));
    EXPECT_TRUE(Near(frame.pixelColor(176, 5), Qt::black));
    EXPECT_TRUE(Near(frame.pixelColor(176, 14), Qt::red));
    EXPECT_TRUE(Near(frame.pixelColor(0, 144), Qt::red));
    EXPECT_TRUE(Near(frame.pixelColor(176, 273), Qt::red));
    EXPECT_TRUE(Near(frame.pixelColor(176, 282), Qt::black));
}

TEST_F(FrameTest, CaptionBandSitsOnTheBottomEdgeAtOffsetZero) {
    QImage white(352, 288, QImage::Format_RGB888);
    white.fill(Qt::white);
    TFrameLook look = Look();
    look.CaptionsVisible = true;
    const QImage frame =
        FramePreparation::Compose(white, {0, 0}, QStringLiteral("Abend am Meer"), {352, 288}, look);
    // The band is black across the full width down to the last row; above it the picture.
    EXPECT_TRUE(Near(frame.pixelColor(1, 287), Qt::black));
    EXPECT_TRUE(Near(frame.pixelColor(350, 270), Qt::black));
    EXPECT_TRUE(Near(frame.pixelColor(1, 250), Qt::white));
    // Some caption pixels are light inside the band.
    int light = 0;
    for (int y = 265; y < 288; ++y)
        for (int x = 100; x < 252; ++x)
            light += frame.pixelColor(x, y).lightness() > 128;
    EXPECT_GT(light, 20);

    look.TextOffset = 30;
    const QImage raised =
        FramePreparation::Compose(white, {0, 0}, QStringLiteral("Abend"), {352, 288}, look);
    EXPECT_TRUE(Near(raised.pixelColor(1, 287), Qt::white));
    EXPECT_TRUE(Near(raised.pixelColor(1, 250), Qt::black));

    look.CaptionsVisible = false;
    const QImage plain =
        FramePreparation::Compose(white, {0, 0}, QStringLiteral("Abend"), {352, 288}, look);
    EXPECT_EQ(plain, white.convertToFormat(plain.format()));
}

TEST_F(FrameTest, StageWritesNumberedBitmapsWithTheClosingPictureLast) {
    QList<TFramePicture> pictures;
    for (int i = 0; i < 3; ++i)
        pictures.append({SolidJpeg(Path(QString("p%1.jpg").arg(i)), 1600, 1200, Qt::blue), ""});
    const QString closing = SolidJpeg(Path("closing.jpg"), 720, 576, Qt::green);
    const QString out = Path("out");
    QDir().mkpath(out);
    TSilentProgress progress;
    const QStringList files =
        FramePreparation::PictureStage(pictures, closing, {352, 288}, Look(), out, progress);
    ASSERT_EQ(files.size(), 4);
    EXPECT_EQ(QDir(out).entryList(QDir::Files),
              QStringList({"inp0001.bmp", "inp0002.bmp", "inp0003.bmp", "inp0004.bmp"}));
    const QByteArray header = TTestKit::ReadFile(out + "/inp0001.bmp").left(54);
    ASSERT_EQ(header.left(2), "BM");
    EXPECT_EQ(quint8(header[28]), 24); // bits per pixel
    EXPECT_EQ(QImage(out + "/inp0001.bmp").size(), QSize(352, 288));
    const QImage last(out + "/inp0004.bmp");
    EXPECT_TRUE(Near(last.pixelColor(176, 144), Qt::green));
    EXPECT_TRUE(Near(QImage(out + "/inp0003.bmp").pixelColor(176, 144), Qt::blue));
}

TEST_F(FrameTest, StageStopsWhenCancelledAndReportsUnreadablePictures) {
    const QString closing = SolidJpeg(Path("closing.jpg"), 100, 100, Qt::green);
    TSilentProgress cancelled;
    cancelled.Cancel();
    EXPECT_TRUE(FramePreparation::PictureStage({{closing, ""}}, closing, {352, 288}, Look(),
                                               Folder.path(), cancelled)
                    .isEmpty());
    EXPECT_FALSE(QFile::exists(Path("inp0001.bmp")));

    TSilentProgress progress;
    EXPECT_THROW(FramePreparation::PictureStage({{Path("missing.jpg"), ""}}, closing, {352, 288},
                                                Look(), Folder.path(), progress),
                 TImagingError);
}

TEST(FrameCli, EstimateAndFrames) {
    TTestKit kit;
    const QString pictures = kit.Root() + "pictures/";
    QDir().mkpath(pictures);
    const QString a = SolidJpeg(pictures + "a.jpg", 1600, 1200, Qt::red);
    const QString b = SolidJpeg(pictures + "b.jpg", 200, 100, Qt::blue);
    const TTestKit::TCliRun create = kit.RunCli({"create", "Urlaub", "--seconds", "3", a, b});
    ASSERT_EQ(create.ExitCode, 0) << create.Err.toStdString();
    const QString show = create.Out.trimmed();

    const TTestKit::TCliRun estimate = kit.RunCli({"video-estimate", show, "--kind", "svcd"});
    ASSERT_EQ(estimate.ExitCode, 0) << estimate.Err.toStdString();
    // n = 3: (1.62 + 3.318) × 3 = 14.814
    EXPECT_TRUE(estimate.Out.startsWith("needed=15 MB\nfree=")) << estimate.Out.toStdString();

    EXPECT_NE(kit.RunCli({"video-estimate", show, "--kind", "dvd"}).ExitCode, 0);
    EXPECT_NE(kit.RunCli({"video-estimate", "Diashow_9999", "--kind", "vcd"}).ExitCode, 0);

    const QString out = kit.Root() + "frames";
    const TTestKit::TCliRun frames =
        kit.RunCli({"video-frames", show, "--kind", "vcd", "--standard", "ntsc", out});
    ASSERT_EQ(frames.ExitCode, 0) << frames.Err.toStdString();
    EXPECT_EQ(QDir(out).entryList(QDir::Files),
              QStringList({"inp0001.bmp", "inp0002.bmp", "inp0003.bmp"}));
    EXPECT_EQ(QImage(out + "/inp0003.bmp").size(), QSize(352, 240));
}

} // namespace
