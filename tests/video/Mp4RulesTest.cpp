#include "video/TMp4Sound.h"
#include "video/TMp4Timeline.h"
#include "video/TVideoFormat.h"
#include "video/YuvFrames.h"

#include <QRectF>

#include <gtest/gtest.h>

#include <cmath>

using namespace Lumerix;

namespace {

struct TTimelineCase {
    const char* Trap;
    int Pictures;
    qint64 Held;
    qint64 Between;
    qint64 Frame;
    qint64 Total;
    int Picture;
    int Next;
    double Progress;
};

} // namespace

TEST(Mp4Rules, TimelinePlacesEveryFrame) {
    const TTimelineCase cases[] = {
        {"first frame of the hold", 3, 150, 30, 0, 510, 0, -1, 0},
        {"last frame of the hold", 3, 150, 30, 149, 510, 0, -1, 0},
        {"first transition frame", 3, 150, 30, 150, 510, 0, 1, 0.5 / 30},
        {"middle of the transition", 3, 150, 30, 165, 510, 0, 1, 15.5 / 30},
        {"next picture's hold", 3, 150, 30, 180, 510, 1, -1, 0},
        {"last picture has no transition out", 3, 150, 30, 509, 510, 2, -1, 0},
        {"cuts when transitions are off", 3, 150, 0, 300, 450, 2, -1, 0},
        {"one picture never transitions", 1, 150, 30, 149, 150, 0, -1, 0},
        {"past the end stays on the last picture", 2, 10, 5, 99, 25, 1, -1, 0},
    };
    for (const TTimelineCase& c : cases) {
        SCOPED_TRACE(c.Trap);
        const TMp4Timeline timeline(c.Pictures, c.Held, c.Between);
        EXPECT_EQ(timeline.TotalFrames(), c.Total);
        const TMp4Timeline::TFrame at = timeline.At(c.Frame);
        EXPECT_EQ(at.Picture, c.Picture);
        EXPECT_EQ(at.Next, c.Next);
        EXPECT_NEAR(at.Progress, c.Progress, 1e-9);
        EXPECT_GE(at.Motion, 0.0);
        EXPECT_LE(at.Motion, 1.0);
    }
}

TEST(Mp4Rules, MotionIsSmoothDeterministicAndNeverUncoversTheFrame) {
    const QSizeF frame(1920, 1080);
    for (const QSizeF picture : {QSizeF(4000, 3000), QSizeF(3000, 4000), QSizeF(1000, 500)}) {
        for (int index = 0; index < 8; ++index) {
            SCOPED_TRACE(index);
            QPointF lastCentre;
            double lastStep = -1;
            for (int i = 0; i <= 300; ++i) {
                const double t = i / 300.0;
                const Mp4Motion::TView view = Mp4Motion::At(index, t);
                const Mp4Motion::TView again = Mp4Motion::At(index, t);
                EXPECT_EQ(view.Zoom, again.Zoom);
                EXPECT_EQ(view.ShiftX, again.ShiftX);
                const QTransform filled = Mp4Motion::Transform(picture, frame, true, view);
                // Filled: the frame's corners always come from inside the picture.
                const QRectF covered = filled.mapRect(QRectF(QPointF(0, 0), picture));
                EXPECT_LE(covered.left(), 1e-6);
                EXPECT_LE(covered.top(), 1e-6);
                EXPECT_GE(covered.right(), frame.width() - 1e-6);
                EXPECT_GE(covered.bottom(), frame.height() - 1e-6);
                // Sub-pixel, even steps: the centre never jumps between frames.
                const QPointF centre =
                    filled.map(QPointF(picture.width() / 2, picture.height() / 2));
                if (i > 0) {
                    const double step =
                        std::hypot(centre.x() - lastCentre.x(), centre.y() - lastCentre.y());
                    EXPECT_LT(step, 1.5);
                    if (lastStep >= 0) {
                        EXPECT_NEAR(step, lastStep, 0.02);
                    }
                    lastStep = step;
                }
                lastCentre = centre;
            }
        }
    }
    // Pictures differ in their movement.
    EXPECT_NE(Mp4Motion::At(0, 1).ShiftX, Mp4Motion::At(1, 1).ShiftX);
}

TEST(Mp4Rules, WorkingSizeCoversTheFrameAndNeverEnlarges) {
    const QSize frame(1920, 1080);
    EXPECT_EQ(Mp4Motion::WorkingSize({640, 480}, frame, false, true), QSize(640, 480));
    const QSize fitted = Mp4Motion::WorkingSize({4000, 3000}, frame, false, true);
    EXPECT_GE(fitted.height(), int(1080 * Mp4Motion::MaxZoom));
    EXPECT_LT(fitted.height(), 3000);
    const QSize filled = Mp4Motion::WorkingSize({4000, 3000}, frame, true, false);
    EXPECT_GE(filled.width(), 1920);
    EXPECT_LT(filled.width(), 1925);
}

TEST(Mp4Rules, OptionNamesSizesAndLength) {
    EXPECT_EQ(VideoFormat::KindFromName("MP4"), TVideoKind::Mp4);
    EXPECT_EQ(VideoFormat::Mp4HeightFromName("720p"), 720);
    EXPECT_EQ(VideoFormat::Mp4HeightFromName("4k"), 2160);
    EXPECT_EQ(VideoFormat::Mp4HeightFromName("1081p"), std::nullopt);
    EXPECT_EQ(VideoFormat::Mp4ShapeFromName("4:3"), false);
    EXPECT_EQ(VideoFormat::Mp4ShapeFromName("3:2"), std::nullopt);
    EXPECT_EQ(VideoFormat::Mp4RateFromName("60"), 60);
    EXPECT_EQ(VideoFormat::Mp4RateFromName("24"), std::nullopt);
    const struct {
        int Height;
        bool Wide;
        QSize Size;
    } sizes[] = {{720, true, {1280, 720}},    {1080, true, {1920, 1080}},
                 {2160, true, {3840, 2160}},  {720, false, {960, 720}},
                 {1080, false, {1440, 1080}}, {2160, false, {2880, 2160}}};
    for (const auto& s : sizes) {
        TMp4Options options;
        options.Height = s.Height;
        options.Wide = s.Wide;
        EXPECT_EQ(options.FrameSize(), s.Size);
    }
    TMp4Options options; // 30 fps, 1 s transitions
    EXPECT_EQ(VideoFormat::Mp4Frames(options, 20, 5, true), 20 * 150 + 19 * 30);
    EXPECT_EQ(VideoFormat::Mp4Frames(options, 20, 5, false), 20 * 150);
    EXPECT_EQ(VideoFormat::Mp4Frames(options, 0, 5, true), 0);
    EXPECT_GT(VideoFormat::Mp4Estimate(options, 20, 5, true, "/").NeededMegabytes, 0);
}

namespace {

// A track of `seconds` holding `value` in every sample.
std::vector<float> Constant(double seconds, float value) {
    return std::vector<float>(std::size_t(seconds * TMp4Sound::Rate) * 2, value);
}

float At(const std::vector<float>& mix, double seconds) {
    return mix[std::size_t(seconds * TMp4Sound::Rate) * 2];
}

} // namespace

TEST(Mp4Rules, MusicIsRepeatedCrossfadedCutAndFadedOut) {
    const qint64 tenSeconds = 10 * TMp4Sound::Rate;
    const struct {
        const char* Trap;
        std::vector<std::vector<float>> Tracks;
        double Crossfade;
        double Second;
        float Expected;
    } cases[] = {
        {"no music is silence", {}, 2, 1, 0.0f},
        {"empty tracks are silence", {{}, {}}, 2, 1, 0.0f},
        {"a short track repeats", {Constant(3, 0.5f)}, 0, 7, 0.5f},
        {"end to end without crossfade", {Constant(4, 0.25f), Constant(4, 0.75f)}, 0, 5, 0.75f},
        {"crossfade mixes both halfway", {Constant(4, 0.0f), Constant(8, 1.0f)}, 2, 3, 0.5f},
        {"crossfade keeps the level", {Constant(4, 0.5f), Constant(8, 0.5f)}, 2, 3.3, 0.5f},
        {"fade-out halfway", {Constant(20, 1.0f)}, 2, 8.5, 0.5f},
        {"silent at the very end", {Constant(20, 1.0f)}, 2, 10 - 1.0 / TMp4Sound::Rate, 0.0f},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Trap);
        const std::vector<float> mix = TMp4Sound::MixDecoded(c.Tracks, tenSeconds, c.Crossfade);
        ASSERT_EQ(mix.size(), std::size_t(tenSeconds) * 2);
        EXPECT_NEAR(At(mix, c.Second), c.Expected, 0.01);
    }
}

TEST(Mp4Rules, MusicIsMixedBlockByBlockHoldingFewTracks) {
    // Tracks of 3 s with crossfades over a show of 60 s, a different level each, the way the
    // encoder reads it: blocks of 1024, the last one short.
    const int trackCount = 7;
    const qint64 total = 60 * TMp4Sound::Rate + 5;
    std::vector<std::vector<float>> tracks;
    for (int k = 0; k < trackCount; ++k)
        tracks.push_back(Constant(3 + 0.5 * k, 0.1f * float(k + 1)));
    const std::vector<float> whole = TMp4Sound::MixDecoded(tracks, total, 2);

    int alive = 0;
    int mostAlive = 0;
    TSoundMix mix(
        trackCount,
        [&](int k) {
            mostAlive = std::max(mostAlive, ++alive);
            return TSoundMix::TTrack(new std::vector<float>(tracks[std::size_t(k)]),
                                     [&alive](const std::vector<float>* track) {
                                         --alive;
                                         delete track;
                                     });
        },
        total, 2);
    std::vector<float> blocks(std::size_t(total) * 2);
    for (qint64 at = 0; at < total; at += 1024)
        mix.Read(blocks.data() + at * 2, std::min<qint64>(1024, total - at));
    EXPECT_EQ(blocks, whole);
    // Decoded sound is let go once played: never the whole show in memory.
    EXPECT_LE(mostAlive, 3);
}

TEST(Mp4Rules, FramesBecomeBt709LimitedRangeWithBlockChroma) {
    // Reference values of limited-range BT.709; the left half of each 4 × 2 picture has the
    // colour, the right half is its 2 × 2 mix with black, so chroma is the block's mean.
    const struct {
        const char* Trap;
        QRgb Colour;
        int Y, Cb, Cr;
    } cases[] = {
        {"black", qRgb(0, 0, 0), 16, 128, 128},  {"white", qRgb(255, 255, 255), 235, 128, 128},
        {"red", qRgb(255, 0, 0), 63, 102, 240},  {"green", qRgb(0, 255, 0), 173, 42, 26},
        {"blue", qRgb(0, 0, 255), 32, 240, 118},
    };
    for (const auto format : {QImage::Format_RGB32, QImage::Format_BGR888}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(testing::Message() << c.Trap << " in format " << int(format));
            QImage picture(4, 2, format);
            picture.fill(Qt::black);
            for (int y = 0; y < 2; ++y) {
                picture.setPixel(0, y, c.Colour);
                picture.setPixel(1, y, c.Colour);
                picture.setPixel(2, y, c.Colour);
            }
            uint8_t y[2][4] = {}, cb[2] = {}, cr[2] = {};
            uint8_t* const planes[3] = {&y[0][0], cb, cr};
            const int strides[3] = {4, 2, 2};
            YuvFrames::FromImage(picture, planes, strides);
            EXPECT_NEAR(y[0][0], c.Y, 1);
            EXPECT_NEAR(y[1][2], c.Y, 1);
            EXPECT_EQ(y[1][3], 16);
            EXPECT_NEAR(cb[0], c.Cb, 1);
            EXPECT_NEAR(cr[0], c.Cr, 1);
            EXPECT_NEAR(cb[1], (c.Cb + 128) / 2, 1);
            EXPECT_NEAR(cr[1], (c.Cr + 128) / 2, 1);
        }
    }
}
