#include "editing/EffectFilters.h"

#include "EffectFiltersPictures.h"

#include <QImage>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

using namespace Lumerix;
using namespace Lumerix::EffectFilterTests;
namespace Fx = Lumerix::EffectFilters;

namespace {

using TInPlace = std::function<void(QImage&)>;

// Runs a source → destination filter the way the dialog does: from a copy onto a picture.
TInPlace FromCopy(const std::function<void(const QImage&, QImage&)>& filter) {
    return [filter](QImage& picture) {
        const QImage copy = picture.copy();
        QImage destination = QImage(picture.size(), QImage::Format_BGR888);
        destination.fill(Qt::white);
        filter(copy, destination);
        picture = destination;
    };
}

// A picture whose pixels say where they came from: blue = row, green = column.
QImage Positions(int w, int h) {
    return Bitmap(w, h, [](int x, int y) { return TBgr{y, x, 7}; });
}

// --- Arguments that leave the picture as it was --------------------------------------------

struct TUnchangedCase {
    const char* Name;
    int Width, Height;
    TInPlace Filter;
};

class Unchanged : public ::testing::TestWithParam<TUnchangedCase> {};

TEST_P(Unchanged, LeavesThePictureAsItWas) {
    const TUnchangedCase& c = GetParam();
    const QImage before = Photo(c.Width, c.Height);
    QImage picture = before.copy();
    c.Filter(picture);
    EXPECT_TRUE(SameBitmap(picture, before));
}

INSTANTIATE_TEST_SUITE_P(
    EffectFilters, Unchanged,
    ::testing::Values(
        TUnchangedCase{"Contrast0", 37, 29,
                       [](QImage& b) {
                           Fx::Contrast(b, 0);
                       }},
        TUnchangedCase{"Lightness0", 37, 29,
                       [](QImage& b) {
                           Fx::Lightness(b, 0);
                       }},
        TUnchangedCase{"Saturation255", 37, 29,
                       [](QImage& b) {
                           Fx::Saturation(b, 255);
                       }},
        TUnchangedCase{"ColorNoise0", 37, 29,
                       [](QImage& b) {
                           Fx::ColorNoise(b, 0);
                       }},
        TUnchangedCase{"ColorNoise1", 37, 29,
                       [](QImage& b) {
                           Fx::ColorNoise(b, 1);
                       }},
        TUnchangedCase{"MonoNoise1", 37, 29,
                       [](QImage& b) {
                           Fx::MonoNoise(b, 1);
                       }},
        TUnchangedCase{"SplitBlur0", 37, 29,
                       [](QImage& b) {
                           Fx::SplitBlur(b, 0);
                       }},
        TUnchangedCase{"GaussianBlurNegative", 37, 29,
                       [](QImage& b) {
                           Fx::GaussianBlur(b, -1);
                       }},
        TUnchangedCase{"Smooth0", 37, 29,
                       [](QImage& b) {
                           Fx::Smooth(b, 0);
                       }},
        TUnchangedCase{"Mosaic1", 37, 29,
                       [](QImage& b) {
                           Fx::Mosaic(b, 1);
                       }},
        TUnchangedCase{"Posterize1", 37, 29,
                       [](QImage& b) {
                           Fx::Posterize(b, 1);
                       }},
        TUnchangedCase{"Posterize0ActsAs1", 37, 29,
                       [](QImage& b) {
                           Fx::Posterize(b, 0);
                       }},
        TUnchangedCase{"Solarize255", 37, 29,
                       [](QImage& b) {
                           Fx::Solarize(b, 255);
                       }},
        TUnchangedCase{"SplitLight0", 37, 29,
                       [](QImage& b) {
                           Fx::SplitLight(b, 0);
                       }},
        TUnchangedCase{"RippleTooth0", 37, 29,
                       [](QImage& b) {
                           Fx::RippleTooth(b, 0);
                       }},
        TUnchangedCase{"RippleRandom0", 37, 29,
                       [](QImage& b) {
                           Fx::RippleRandom(b, 0);
                       }},
        TUnchangedCase{"HeightMap0", 37, 29,
                       [](QImage& b) {
                           Fx::HeightMap(b, 0);
                       }},
        TUnchangedCase{"Shear0", 37, 29,
                       [](QImage& b) {
                           Fx::Shear(b, 0);
                       }},
        TUnchangedCase{"Seamless0", 37, 29,
                       [](QImage& b) {
                           Fx::Seamless(b, 0);
                       }},
        TUnchangedCase{"TexturizeTile0", 37, 29,
                       [](QImage& b) {
                           Fx::TexturizeTile(b, 0);
                       }},
        TUnchangedCase{"TexturizeOverlap0", 37, 29,
                       [](QImage& b) {
                           Fx::TexturizeOverlap(b, 0);
                       }},
        TUnchangedCase{"TexturizeTileOnePixelWide", 1, 29,
                       [](QImage& b) {
                           Fx::TexturizeTile(b, 5);
                       }},
        TUnchangedCase{"TexturizeOverlapOneRow", 37, 1,
                       [](QImage& b) {
                           Fx::TexturizeOverlap(b, 5);
                       }},
        TUnchangedCase{"Wave40On100Rows", 30, 100,
                       [](QImage& b) {
                           Fx::Wave(b, 40, 0, 0);
                       }},
        TUnchangedCase{"Wave0", 30, 100,
                       [](QImage& b) {
                           Fx::Wave(b, 0, 0, 0);
                       }},
        TUnchangedCase{"Split0CopiesTheSource", 37, 29,
                       FromCopy([](const QImage& s, QImage& d) { Fx::Split(s, d, 0, 14); })},
        TUnchangedCase{"FishEye0", 37, 29,
                       FromCopy([](const QImage& s, QImage& d) { Fx::FishEye(s, d, 0.0); })},
        TUnchangedCase{"SqueezeHorizontal0", 37, 29, FromCopy([](const QImage& s, QImage& d) {
                           Fx::Squeeze(s, d, 0, Fx::SqueezeHorizontal);
                       })},
        TUnchangedCase{"RotateBilinear0", 37, 29, FromCopy([](const QImage& s, QImage& d) {
                           Fx::RotateBilinear(s, d, 12.7, 3.0, 0.0);
                       })},
        TUnchangedCase{"Blend0", 37, 29, FromCopy([](const QImage& s, QImage& d) {
                           Fx::Blend(s, Photo(37, 29, 5), d, 0.0);
                       })}),
    [](const auto& info) { return std::string(info.param.Name); });

// --- Point filters on one colour ---------------------------------------------------------

struct TColourCase {
    const char* Name;
    TBgr Before;
    TBgr After;
    TInPlace Filter;
};

class OneColour : public ::testing::TestWithParam<TColourCase> {};

TEST_P(OneColour, MapsTheColour) {
    const TColourCase& c = GetParam();
    QImage picture = Filled(3, 2, c.Before);
    c.Filter(picture);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(At(picture, x, y), c.After) << "at " << x << ", " << y;
}

INSTANTIATE_TEST_SUITE_P(EffectFilters, OneColour,
                         ::testing::Values(TColourCase{"Saturation0Greys",
                                                       {30, 60, 90},
                                                       {60, 60, 60},
                                                       [](QImage& b) {
                                                           Fx::Saturation(b, 0);
                                                       }},
                                           // (500 × −10) div 255 is −19: the division truncates
                                           // toward zero.
                                           TColourCase{"Saturation500",
                                                       {100, 110, 120},
                                                       {91, 110, 129},
                                                       [](QImage& b) {
                                                           Fx::Saturation(b, 500);
                                                       }},
                                           TColourCase{"Lightness255White",
                                                       {30, 60, 90},
                                                       {255, 255, 255},
                                                       [](QImage& b) {
                                                           Fx::Lightness(b, 255);
                                                       }},
                                           TColourCase{"LightnessMinus255",
                                                       {200, 100, 128},
                                                       {145, 0, 1},
                                                       [](QImage& b) {
                                                           Fx::Lightness(b, -255);
                                                       }},
                                           TColourCase{"Contrast255",
                                                       {128, 127, 0},
                                                       {129, 127, 0},
                                                       [](QImage& b) {
                                                           Fx::Contrast(b, 255);
                                                       }},
                                           TColourCase{"ContrastMinus255",
                                                       {0, 255, 128},
                                                       {127, 127, 127},
                                                       [](QImage& b) {
                                                           Fx::Contrast(b, -255);
                                                       }},
                                           // 32 / 64 is one half, which goes to the even neighbour
                                           // 0.
                                           TColourCase{"Posterize64",
                                                       {100, 95, 32},
                                                       {128, 64, 0},
                                                       [](QImage& b) {
                                                           Fx::Posterize(b, 64);
                                                       }},
                                           TColourCase{"Posterize100ClampsAbove255",
                                                       {251, 150, 149},
                                                       {255, 200, 100},
                                                       [](QImage& b) {
                                                           Fx::Posterize(b, 100);
                                                       }},
                                           TColourCase{"Posterize100HalfGoesEven",
                                                       {250, 50, 0},
                                                       {200, 0, 0},
                                                       [](QImage& b) {
                                                           Fx::Posterize(b, 100);
                                                       }},
                                           TColourCase{"PosterizeIntoItself",
                                                       {100, 95, 32},
                                                       {128, 64, 0},
                                                       [](QImage& b) {
                                                           Fx::Posterize(b, b, 64);
                                                       }},
                                           TColourCase{"SplitLight1",
                                                       {128, 0, 255},
                                                       {181, 0, 255},
                                                       [](QImage& b) {
                                                           Fx::SplitLight(b, 1);
                                                       }},
                                           TColourCase{"SplitLightManyPasses",
                                                       {1, 0, 254},
                                                       {255, 0, 255},
                                                       [](QImage& b) {
                                                           Fx::SplitLight(b, 1000000);
                                                       }},
                                           TColourCase{"ChannelRedKeeps1",
                                                       {10, 20, 1},
                                                       {0, 0, 255},
                                                       [](QImage& b) {
                                                           Fx::ChannelRed(b, 0, 255);
                                                       }},
                                           TColourCase{"ChannelRedKeeps254",
                                                       {10, 20, 254},
                                                       {0, 0, 255},
                                                       [](QImage& b) {
                                                           Fx::ChannelRed(b, 0, 255);
                                                       }},
                                           TColourCase{"ChannelRedDrops0",
                                                       {10, 20, 0},
                                                       {0, 0, 0},
                                                       [](QImage& b) {
                                                           Fx::ChannelRed(b, 0, 255);
                                                       }},
                                           TColourCase{"ChannelRedDrops255",
                                                       {10, 20, 255},
                                                       {0, 0, 0},
                                                       [](QImage& b) {
                                                           Fx::ChannelRed(b, 0, 255);
                                                       }},
                                           TColourCase{"ChannelGreen",
                                                       {150, 150, 150},
                                                       {0, 255, 0},
                                                       [](QImage& b) {
                                                           Fx::ChannelGreen(b, 100, 200);
                                                       }},
                                           TColourCase{"ChannelBlue",
                                                       {150, 150, 150},
                                                       {255, 0, 0},
                                                       [](QImage& b) {
                                                           Fx::ChannelBlue(b, 100, 200);
                                                       }},
                                           TColourCase{"ChannelXRed",
                                                       {15, 7, 10},
                                                       {15, 7, 0},
                                                       [](QImage& b) {
                                                           Fx::ChannelXRed(b, 10, 20);
                                                       }},
                                           TColourCase{"ChannelXGreen",
                                                       {15, 11, 9},
                                                       {15, 255, 9},
                                                       [](QImage& b) {
                                                           Fx::ChannelXGreen(b, 10, 20);
                                                       }},
                                           TColourCase{"ChannelXBlue",
                                                       {19, 7, 9},
                                                       {255, 7, 9},
                                                       [](QImage& b) {
                                                           Fx::ChannelXBlue(b, 10, 20);
                                                       }},
                                           // (1 + 1 + 0) div 3 is 0, which is not above 0.
                                           TColourCase{"Solarize0KeepsMean0",
                                                       {1, 1, 0},
                                                       {1, 1, 0},
                                                       [](QImage& b) {
                                                           Fx::Solarize(b, 0);
                                                       }},
                                           TColourCase{"Solarize0InvertsMean1",
                                                       {1, 1, 1},
                                                       {254, 254, 254},
                                                       [](QImage& b) {
                                                           Fx::Solarize(b, 0);
                                                       }},
                                           TColourCase{"Solarize100Inverts101",
                                                       {90, 100, 113},
                                                       {165, 155, 142},
                                                       [](QImage& b) {
                                                           Fx::Solarize(b, 100);
                                                       }},
                                           TColourCase{"Solarize100Keeps100",
                                                       {90, 100, 112},
                                                       {90, 100, 112},
                                                       [](QImage& b) {
                                                           Fx::Solarize(b, 100);
                                                       }},
                                           TColourCase{"SolarizeIntoAnother",
                                                       {1, 1, 1},
                                                       {254, 254, 254},
                                                       FromCopy([](const QImage& s, QImage& d) {
                                                           Fx::Solarize(s, d, 0);
                                                       })}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(EffectFilters, LightTableRisesFrom0To255) {
    const std::array<quint8, 256>& table = Fx::LightTable();
    EXPECT_EQ(table[0], 0);
    EXPECT_EQ(table[128], 181);
    EXPECT_EQ(table[255], 255);
    for (int i = 0; i < 256; ++i)
        EXPECT_GE(table[i], i);
}

TEST(EffectFilters, BlendGivesEitherInputAtTheEndsAndRoundsHalvesToEven) {
    const QImage first = Photo(31, 17, 1), second = Photo(31, 17, 2);
    QImage out;
    Fx::Blend(first, second, out, 0.0);
    EXPECT_TRUE(SameBitmap(out, first));
    Fx::Blend(first, second, out, 1.0);
    EXPECT_TRUE(SameBitmap(out, second));
    // As the dialog calls it: the first source is also the destination.
    QImage picture = Filled(2, 2, {10, 10, 0});
    Fx::Blend(picture, Filled(2, 2, {13, 11, 1}), picture, 0.5);
    EXPECT_EQ(At(picture, 1, 1), (TBgr{12, 10, 0})); // 11.5 → 12, 10.5 → 10, 0.5 → 0
    // Where the second source ends, the first one shows.
    Fx::Blend(first, Filled(10, 5, {0, 0, 0}), out, 1.0);
    EXPECT_EQ(At(out, 9, 4), (TBgr{0, 0, 0}));
    EXPECT_EQ(At(out, 10, 4), At(first, 10, 4));
    EXPECT_EQ(At(out, 3, 5), At(first, 3, 5));
}

TEST(EffectFilters, NoiseStaysInItsSpreadAndRepeatsFromOneSeed) {
    const QImage grey = Filled(40, 30, {128, 128, 128});
    QImage a = grey, b = grey;
    Fx::SeedRandom(5);
    Fx::ColorNoise(a, 20);
    Fx::SeedRandom(5);
    Fx::ColorNoise(b, 20);
    EXPECT_TRUE(SameBitmap(a, b));
    std::set<int> seen;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            for (int v : {At(a, x, y).B, At(a, x, y).G, At(a, x, y).R}) {
                EXPECT_GE(v, 118);
                EXPECT_LE(v, 137);
                seen.insert(v);
            }
    EXPECT_EQ(seen.size(), 20u);

    QImage mono = grey;
    Fx::MonoNoise(mono, 50);
    bool varied = false;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) {
            const TBgr p = At(mono, x, y);
            EXPECT_TRUE(p.B == p.G && p.G == p.R) << x << ", " << y;
            varied = varied || p.B != 128;
        }
    EXPECT_TRUE(varied);
}

TEST(EffectFilters, NoiseContinuesTheSequenceRowByRowAndCallByCall) {
    // The whole picture is split among threads; its halves are small enough to run on one.
    const QImage picture = Photo(600, 400);
    for (bool perChannel : {true, false}) {
        QImage whole = picture.copy();
        QImage top = picture.copy(0, 0, 600, 200), bottom = picture.copy(0, 200, 600, 200);
        auto noise = [&](QImage& b) {
            perChannel ? Fx::ColorNoise(b, 60) : Fx::MonoNoise(b, 60);
        };
        Fx::SeedRandom(9);
        noise(whole);
        Fx::SeedRandom(9);
        noise(top);
        noise(bottom);
        EXPECT_TRUE(SameBitmap(whole.copy(0, 0, 600, 200), top));
        EXPECT_TRUE(SameBitmap(whole.copy(0, 200, 600, 200), bottom));
    }
}

// --- Neighbourhood filters ----------------------------------------------------------------

// The split blur written plainly, one pixel at a time in visiting order, far edges clamped.
void PlainSplitBlur(QImage& b, int d) {
    const int w = b.width(), h = b.height();
    for (int y = 0; y < h; ++y) {
        const int up = y - d < 0 ? y : y - d;
        const int down = y + d >= h ? std::min(h - y, h - 1) : y + d;
        for (int x = 0; x < w; ++x) {
            const int left = x - d < 0 ? x : x - d;
            const int right = x + d >= w ? std::min(w - x, w - 1) : x + d;
            const TBgr a = At(b, left, up), c = At(b, left, down), e = At(b, right, up),
                       f = At(b, right, down);
            Set(b, x, y,
                {(a.B + c.B + e.B + f.B) / 4, (a.G + c.G + e.G + f.G) / 4,
                 (a.R + c.R + e.R + f.R) / 4});
        }
    }
}

TEST(EffectFilters, SplitBlurFollowsItsVisitingOrderAtEveryDistance) {
    for (QSize size : {QSize(500, 300), QSize(300, 500), QSize(7, 5)}) {
        for (int d : {1, 2, 3, 7, 40, 149, 150, 151, 299, 300, 301, 499, 500, 5000}) {
            QImage expected = Photo(size.width(), size.height());
            QImage actual = expected.copy();
            PlainSplitBlur(expected, d);
            Fx::SplitBlur(actual, d);
            EXPECT_TRUE(SameBitmap(actual, expected))
                << size.width() << " x " << size.height() << ", distance " << d;
        }
    }
}

TEST(EffectFilters, SplitBlurClampsItsFarEdgeIntoThePicture) {
    // Distance 5 on a 2 × 1 picture: pixel 0 mixes itself with pixel 1 (column W − 0 = 2 is
    // clamped to 1); pixel 1 only sees itself.
    QImage picture = Bitmap(2, 1, [](int x, int) {
        return x == 0 ? TBgr{10, 10, 10} : TBgr{21, 21, 21};
    });
    Fx::SplitBlur(picture, 5);
    EXPECT_EQ(At(picture, 0, 0), (TBgr{15, 15, 15}));
    EXPECT_EQ(At(picture, 1, 0), (TBgr{21, 21, 21}));
    QImage dot = Filled(1, 1, {1, 2, 3});
    Fx::SplitBlur(dot, 1000);
    EXPECT_EQ(At(dot, 0, 0), (TBgr{1, 2, 3}));
}

TEST(EffectFilters, GaussianBlurIsRepeatedSplitBlur3) {
    const QImage picture = Photo(60, 45);
    QImage once = picture.copy(), blurred = picture.copy();
    Fx::SplitBlur(once, 3);
    Fx::GaussianBlur(blurred, 0);
    EXPECT_TRUE(SameBitmap(blurred, once));
    Fx::SplitBlur(once, 3);
    Fx::SplitBlur(once, 3);
    blurred = picture.copy();
    Fx::GaussianBlur(blurred, 2);
    EXPECT_TRUE(SameBitmap(blurred, once));
}

TEST(EffectFilters, SmoothTakesThe3By3Mean) {
    QImage dot = Filled(5, 5, {0, 0, 0});
    Set(dot, 2, 2, {90, 45, 9});
    Fx::Smooth(dot, 1);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x) {
            const bool near = std::abs(x - 2) <= 1 && std::abs(y - 2) <= 1;
            EXPECT_EQ(At(dot, x, y), (near ? TBgr{10, 5, 1} : TBgr{0, 0, 0})) << x << ", " << y;
        }
    QImage flat = Filled(9, 4, {3, 100, 250});
    Fx::Smooth(flat, 20);
    EXPECT_TRUE(SameBitmap(flat, Filled(9, 4, {3, 100, 250})));
    // More passes, smoother: the spread between neighbours keeps shrinking.
    const QImage photo = Photo(500, 300);
    auto roughness = [](const QImage& b) {
        qint64 sum = 0;
        for (int y = 0; y < b.height(); ++y)
            for (int x = 1; x < b.width(); ++x)
                sum += std::abs(At(b, x, y).G - At(b, x - 1, y).G);
        return sum;
    };
    QImage one = photo.copy(), three = photo.copy();
    Fx::Smooth(one, 1);
    Fx::Smooth(three, 3);
    EXPECT_LT(roughness(one), roughness(photo));
    EXPECT_LT(roughness(three), roughness(one));
}

// One 3 × 3 mean as plainly as it can be written, edge pixels repeated outward.
QImage PlainSmooth(const QImage& b) {
    QImage out = b.copy();
    const int w = b.width(), h = b.height();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            int sum[3] = {0, 0, 0};
            for (int j = -1; j <= 1; ++j)
                for (int i = -1; i <= 1; ++i) {
                    const TBgr p = At(b, std::clamp(x + i, 0, w - 1), std::clamp(y + j, 0, h - 1));
                    sum[0] += p.B;
                    sum[1] += p.G;
                    sum[2] += p.R;
                }
            Set(out, x, y, {(sum[0] + 4) / 9, (sum[1] + 4) / 9, (sum[2] + 4) / 9});
        }
    return out;
}

TEST(EffectFilters, SmoothMatchesThePlainMeanOnLargePictures) {
    for (QSize size : {QSize(500, 300), QSize(37, 2), QSize(1, 40)}) {
        const QImage photo = Photo(size.width(), size.height());
        QImage smoothed = photo.copy();
        Fx::Smooth(smoothed, 2);
        EXPECT_TRUE(SameBitmap(smoothed, PlainSmooth(PlainSmooth(photo))))
            << size.width() << " x " << size.height();
    }
}

TEST(EffectFilters, EmbossReadsTheRowBelowBeforeItChanges) {
    QImage flat = Filled(6, 3, {40, 200, 0});
    Fx::Emboss(flat);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 6; ++x)
            EXPECT_EQ(At(flat, x, y), (x <= 2 && y <= 1 ? TBgr{127, 127, 127} : TBgr{40, 200, 0}))
                << x << ", " << y;
    // Large enough to run in bands on several threads.
    const QImage photo = Photo(500, 400);
    QImage embossed = photo.copy();
    Fx::Emboss(embossed);
    for (int y = 0; y < 400; ++y)
        for (int x = 0; x < 500; ++x) {
            if (x > 496 || y == 399) {
                ASSERT_EQ(At(embossed, x, y), At(photo, x, y));
                continue;
            }
            const TBgr v = At(photo, x, y), n = At(photo, x + 3, y + 1);
            ASSERT_EQ(At(embossed, x, y),
                      (TBgr{(v.B + 255 - n.B) / 2, (v.G + 255 - n.G) / 2, (v.R + 255 - n.R) / 2}))
                << x << ", " << y;
        }
}

TEST(EffectFilters, MosaicCutsBlocksFromTheTopLeftCorner) {
    const QImage picture = Positions(20, 20);
    QImage mosaic = picture.copy();
    Fx::Mosaic(mosaic, 15);
    std::map<std::pair<int, int>, int> blocks; // top-left corner → pixel count
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) {
            const TBgr p = At(mosaic, x, y);
            EXPECT_EQ(p, At(picture, x < 15 ? 0 : 15, y < 15 ? 0 : 15)) << x << ", " << y;
            ++blocks[{p.G, p.B}];
        }
    const std::map<std::pair<int, int>, int> expected = {
        {{0, 0}, 225}, {{15, 0}, 75}, {{0, 15}, 75}, {{15, 15}, 25}};
    EXPECT_EQ(blocks, expected);
}

TEST(EffectFilters, TrianglesRoundsItsSizeUpToOddAndAtLeast5) {
    const QImage picture = Photo(60, 40);
    auto triangles = [&](int size) {
        QImage b = picture.copy();
        Fx::Triangles(b, size);
        return b;
    };
    EXPECT_TRUE(SameBitmap(triangles(2), triangles(5)));
    EXPECT_TRUE(SameBitmap(triangles(6), triangles(7)));
    EXPECT_TRUE(SameBitmap(triangles(-9), triangles(5)));
    EXPECT_FALSE(SameBitmap(triangles(5), triangles(7)));
    // Every pixel repeats one of the pixels before it in its row.
    const QImage smeared = triangles(19);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 60; ++x) {
            bool found = false;
            for (int from = 0; from <= x && !found; ++from)
                found = At(smeared, x, y) == At(picture, from, y);
            EXPECT_TRUE(found) << x << ", " << y;
        }
}

TEST(EffectFilters, SeamlessJoinsOppositeEdges) {
    const QImage picture = Photo(40, 30);
    QImage tiled = picture.copy();
    Fx::Seamless(tiled, 5); // blends over 6 rows and 8 columns
    for (int x = 0; x < 40; ++x)
        EXPECT_EQ(At(tiled, x, 0), At(tiled, x, 29)) << x;
    for (int y = 0; y < 30; ++y)
        EXPECT_EQ(At(tiled, 0, y), At(tiled, 39, y)) << y;
    // Inside the blend rows each channel lies between the top row and row 6.
    for (int x = 0; x < 32; ++x) {
        const int a = At(tiled, x, 0).G, b = At(tiled, x, 6).G, m = At(tiled, x, 3).G;
        EXPECT_GE(m, std::min(a, b)) << x;
        EXPECT_LE(m, std::max(a, b)) << x;
    }
    // Away from the blended edges nothing changes.
    for (int y = 6; y < 30; ++y)
        for (int x = 0; x < 32; ++x)
            EXPECT_EQ(At(tiled, x, y), At(picture, x, y)) << x << ", " << y;
}

// --- Geometric filters --------------------------------------------------------------------

TEST(EffectFilters, RotateBilinearQuarterTurnsAreExact) {
    for (int n : {40, 41}) {
        const QImage picture = Photo(n, n);
        const double centre = n / 2.0;
        QImage turned;
        Fx::RotateBilinear(picture, turned, centre, centre, 90.0);
        for (int y = 0; y < n; ++y)
            for (int x = 0; x < n; ++x)
                ASSERT_EQ(At(turned, x, y), At(picture, y, n - 1 - x)) << x << ", " << y;
        QImage back = picture.copy();
        for (int i = 0; i < 4; ++i) {
            QImage next = back.copy();
            Fx::RotateBilinear(back, next, centre, centre, 90.0);
            back = next;
        }
        EXPECT_LE(LargestDifference(back, picture), 1);
    }
}

TEST(EffectFilters, RotateBilinearKeepsWhatLiesOutsideTheSource) {
    const QImage picture = Photo(30, 20);
    QImage turned = Filled(30, 20, {1, 2, 3});
    Fx::RotateBilinear(picture, turned, 15, 10, 45);
    EXPECT_EQ(At(turned, 0, 0), (TBgr{1, 2, 3}));
    EXPECT_EQ(At(turned, 29, 19), (TBgr{1, 2, 3}));
    EXPECT_NE(At(turned, 15, 10), (TBgr{1, 2, 3}));
}

TEST(EffectFilters, TwistWithAHugeAmountTurnsAQuarter) {
    for (int n : {9, 10}) {
        const QImage picture = Photo(n, n);
        QImage turned;
        Fx::Twist(picture, turned, 1 << 30);
        // Source (cx − dy, cy + dx) for the pixel (cx + dx, cy + dy). Single precision leaves
        // some source coordinates that should be 0 a hair below it, where the sampling
        // mirrors the fraction and takes the neighbour at 1 instead.
        for (int y = 0; y < n; ++y)
            for (int x = 0; x < n; ++x) {
                const int sx = n - 1 - y, sy = x;
                const TBgr p = At(turned, x, y);
                const bool exact = p == At(picture, sx, sy);
                const bool mirrored = (sx == 0 && p == At(picture, 1, sy)) ||
                                      (sy == 0 && p == At(picture, sx, 1)) ||
                                      (sx == 0 && sy == 0 && p == At(picture, 1, 1));
                EXPECT_TRUE(exact || mirrored) << x << ", " << y;
            }
    }
}

TEST(EffectFilters, FishEyeLeavesItsCentreAndRimInPlace) {
    const QImage picture = Photo(4, 4);
    QImage lens;
    Fx::FishEye(picture, lens, 0.5); // rim radius 0.5 × 4 = 2 around (2, 2)
    EXPECT_EQ(At(lens, 2, 2), At(picture, 2, 2));
    EXPECT_EQ(At(lens, 0, 2), At(picture, 0, 2));
    EXPECT_EQ(At(lens, 2, 0), At(picture, 2, 0));
    // A real lens changes the picture.
    const QImage photo = Photo(80, 60);
    QImage magnified = photo.copy();
    Fx::FishEye(photo, magnified, 0.7);
    EXPECT_GT(LargestDifference(magnified, photo), 20);
}

TEST(EffectFilters, WaveMovesRowsAmountTo2AmountAboveTheBottom) {
    const QImage picture = Positions(30, 100);
    QImage waved = picture.copy();
    Fx::Wave(waved, 15, 0, Fx::WaveNormal);
    for (int x = 0; x < 30; ++x) {
        for (int y = 0; y < 15; ++y)
            EXPECT_EQ(At(waved, x, y), At(picture, x, y));
        // Each column moves rows 15 .. 69 down by one distance between 0 and 30.
        int shift = -1;
        for (int s = 0; s <= 30 && shift < 0; ++s) {
            bool moved = true;
            for (int y = 15; y <= 69 && moved; ++y)
                moved = At(waved, x, y + s) == At(picture, x, y);
            if (moved)
                shift = s;
        }
        ASSERT_GE(shift, 0) << "column " << x;
        if (x == 0) {
            EXPECT_EQ(shift, 15); // the first column has no sine offset yet
        }
    }
}

TEST(EffectFilters, RippleToothShiftsColumnsByASawtooth) {
    const QImage picture = Positions(10, 12);
    QImage rippled = picture.copy();
    Fx::RippleTooth(rippled, 3);
    for (int x = 0; x < 10; ++x) {
        const int k = x % 4;
        for (int y = 0; y < 12; ++y) {
            const TBgr expected = y < k                 ? At(picture, x, y)
                                  : y - k <= 12 - 1 - 3 ? At(picture, x, y - k)
                                                        : At(picture, x, y);
            EXPECT_EQ(At(rippled, x, y), expected) << x << ", " << y;
        }
    }
}

TEST(EffectFilters, RippleRandomTakesEachPixelFromJustAboveInItsColumn) {
    const QImage picture = Positions(50, 40);
    QImage rippled = picture.copy();
    Fx::RippleRandom(rippled, 4);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 50; ++x) {
            const TBgr p = At(rippled, x, y);
            EXPECT_EQ(p.G, x);
            EXPECT_GE(p.B, y - 3);
            EXPECT_LE(p.B, y);
        }
    EXPECT_FALSE(SameBitmap(rippled, picture));
}

TEST(EffectFilters, HeightMapLiftsBrightPixels) {
    QImage map = Filled(8, 20, {0, 0, 0});
    Set(map, 3, 15, {255, 255, 255});
    Set(map, 5, 15, {128, 128, 128}); // (128 / 255) × 10 rounds to 5
    Fx::HeightMap(map, 10);
    EXPECT_EQ(At(map, 3, 5), (TBgr{255, 255, 255}));
    EXPECT_EQ(At(map, 3, 15), (TBgr{255, 255, 255}));
    EXPECT_EQ(At(map, 5, 10), (TBgr{128, 128, 128}));
    EXPECT_EQ(At(map, 3, 6), (TBgr{0, 0, 0}));
    // A pixel too bright to rise inside the picture vanishes without a trace.
    QImage top = Filled(4, 4, {0, 0, 0});
    Set(top, 1, 1, {255, 255, 255});
    Fx::HeightMap(top, 100);
    EXPECT_EQ(At(top, 1, 0), (TBgr{0, 0, 0}));
}

TEST(EffectFilters, SqueezeStretchesEachRowIntoItsSpan) {
    const QImage picture = Positions(20, 7);
    const TBgr grey{9, 99, 9};
    QImage squeezed = Filled(20, 7, grey);
    Fx::Squeeze(picture, squeezed, 5, Fx::SqueezeHorizontal);
    for (int y = 0; y < 7; ++y) {
        int previous = -1;
        for (int x = 0; x < 20; ++x) {
            const TBgr p = At(squeezed, x, y);
            if (x < 5 || x >= 15) {
                EXPECT_EQ(p, grey) << x << ", " << y;
                continue;
            }
            EXPECT_EQ(p.B, y);
            EXPECT_GT(p.G, previous) << "columns in order, every other one dropped";
            previous = p.G;
        }
        EXPECT_GE(previous, 18);
    }
    // "Round": no span on the first and last rows, the whole amount in the middle one.
    QImage round = Filled(20, 7, grey);
    Fx::Squeeze(picture, round, 5, Fx::SqueezeRound);
    for (int x = 0; x < 20; ++x) {
        EXPECT_EQ(At(round, x, 0), grey);
        EXPECT_EQ(At(round, x, 6), grey);
        EXPECT_EQ(At(round, x, 3) == grey, x < 5 || x >= 15) << x;
    }
    // An amount beyond half the width is lowered to it.
    QImage wide = Filled(20, 7, grey), half = Filled(20, 7, grey);
    Fx::Squeeze(picture, wide, 1000, Fx::SqueezeRound);
    Fx::Squeeze(picture, half, 10, Fx::SqueezeRound);
    EXPECT_TRUE(SameBitmap(wide, half));
}

TEST(EffectFilters, SplitStretchesTheHalvesToTheEdges) {
    const QImage picture = Positions(20, 5);
    const TBgr grey{9, 99, 9};
    QImage split = Filled(20, 5, grey);
    Fx::Split(picture, split, 4, Fx::SplitWaste); // cos: the first row spans 4 columns
    for (int x = 0; x < 20; ++x) {
        const TBgr p = At(split, x, 0);
        if (x < 4)
            EXPECT_LT(p.G, 10) << x;
        else if (x >= 15 && x < 19)
            EXPECT_GE(p.G, 10) << x;
        else
            EXPECT_EQ(p, grey) << x;
    }
}

TEST(EffectFilters, ShearSlantsAndScalesBackIntoTheWidth) {
    const QImage picture = Photo(40, 20);
    QImage sheared = picture.copy();
    Fx::Shear(sheared, 100); // k = 40 / 60
    EXPECT_EQ(At(sheared, 0, 0), At(picture, 0, 0));
    EXPECT_EQ(At(sheared, 39, 19), At(picture, 39, 19));
    // The bottom row starts 19 pixels in, scaled to column 12.67 → 13, where pixel 1
    // (20 × 2/3 = 13.33) lands after it and wins; left of it stays white.
    for (int x = 0; x < 13; ++x)
        EXPECT_EQ(At(sheared, x, 19), (TBgr{255, 255, 255})) << x;
    EXPECT_EQ(At(sheared, 13, 19), At(picture, 1, 19));
    EXPECT_EQ(At(sheared, 14, 19), At(picture, 2, 19));
}

TEST(EffectFilters, PlasmaDisplacesBySource2sBlueChannel) {
    // Blue 0 selects the offset (−7 sin 0, 7 cos 0) = (0, 7).
    const QImage picture = Photo(12, 20);
    const QImage steer = Filled(12, 20, {0, 200, 200});
    QImage plasma = picture.copy();
    Fx::Plasma(picture, steer, plasma, 7.0, 1.0);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 12; ++x)
            EXPECT_EQ(At(plasma, x, y), At(picture, x, y + 7 < 20 ? y + 7 : y)) << x << ", " << y;
}

TEST(EffectFilters, TexturizeRepeatsTheShrunkPicture) {
    const QImage picture = Photo(16, 12);
    QImage tiled = picture.copy(), overlapped = picture.copy();
    Fx::TexturizeTile(tiled, 5);         // tile 5 × 5
    Fx::TexturizeOverlap(overlapped, 5); // tiles 3 apart
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 16; ++x) {
            EXPECT_EQ(At(tiled, x, y), At(tiled, x % 5, y % 5)) << x << ", " << y;
            EXPECT_EQ(At(overlapped, x, y), At(tiled, x % 3, y % 3)) << x << ", " << y;
        }
    // The tile samples the whole picture, corner to corner.
    EXPECT_EQ(At(tiled, 0, 0), At(picture, 1, 1));
    EXPECT_EQ(At(tiled, 4, 4), At(picture, 14, 10));
    // The tile size is lowered to half the shorter side.
    QImage big = picture.copy(), six = picture.copy();
    Fx::TexturizeTile(big, 1000);
    Fx::TexturizeTile(six, 6);
    EXPECT_TRUE(SameBitmap(big, six));
}

TEST(EffectFilters, WingsWithPeriod1ShiftByTheScale) {
    // Period 1 makes t = u = 0: WingsDeep moves every pixel by x · cos 0 = scale.
    const QImage picture = Positions(12, 10);
    QImage wings;
    Fx::WingsDeep(picture, wings, 1, 3.0);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 12; ++x) {
            const TBgr expected = x >= 3 && y >= 3 ? At(picture, x - 3, y - 3) : At(picture, x, y);
            EXPECT_EQ(At(wings, x, y), expected) << x << ", " << y;
        }
    // WingsDown moves rows by Y − X and columns by X − Y: with X = 0, down but to the left,
    // reflected at column 0 by the absolute value.
    QImage down;
    Fx::WingsDown(picture, down, 1, 3.0);
    EXPECT_EQ(At(down, 0, 3), At(picture, 3, 0));
    EXPECT_EQ(At(down, 8, 9), At(picture, 11, 6));
}

// --- Generator ---------------------------------------------------------------------------------

TEST(EffectFilters, FractalColoursByEscapeCount) {
    auto colour = [](double x, double y, bool mandelbrot) {
        QImage b = Filled(1, 1, {1, 2, 3});
        Fx::Fractal(b, 16, x, y, x + 1.0, y + 1.0, mandelbrot);
        return At(b, 0, 0);
    };
    EXPECT_EQ(colour(0.0, 0.0, true), (TBgr{0, 0, 0})); // never escapes
    // From 0.5 the Julia orbit of (0, 1) escapes after 3 steps (palette 3, cyan) and the
    // Mandelbrot orbit of 0.5 after 5 (palette 5, purple).
    EXPECT_EQ(colour(0.5, 0.0, false), (TBgr{255, 255, 0}));
    EXPECT_EQ(colour(0.5, 0.0, true), (TBgr{128, 0, 128}));
    // Row 0 lies at yl and the imaginary axis points down.
    QImage set(3, 2, QImage::Format_BGR888);
    Fx::Fractal(set, 16, -1.5, -0.5, 1.5, 1.5, true);
    EXPECT_EQ(At(set, 1, 0), colour(-0.5, -0.5, true));
    EXPECT_EQ(At(set, 2, 1), colour(0.5, 0.5, true));
}

TEST(EffectFilters, PaletteIsRedGreenBlue) {
    EXPECT_EQ(Fx::PaletteColor(1), qRgb(0, 0, 128));
    EXPECT_EQ(Fx::PaletteColor(4), qRgb(255, 0, 0));
    EXPECT_EQ(Fx::PaletteColor(14), qRgb(255, 255, 0));
}

// --- Bitmaps in other formats, and sources that are destinations --------------------------

TEST(EffectFilters, OtherFormatsAreConvertedFirst) {
    const QImage photo = Photo(33, 21);
    QImage rgb = photo.convertToFormat(QImage::Format_RGB32);
    QImage bgr = photo.copy();
    Fx::Contrast(rgb, 90);
    Fx::Contrast(bgr, 90);
    EXPECT_TRUE(SameBitmap(rgb, bgr));
    QImage twisted, reference;
    Fx::Twist(photo.convertToFormat(QImage::Format_ARGB32), twisted, 7);
    Fx::Twist(photo, reference, 7);
    EXPECT_TRUE(SameBitmap(twisted, reference));
}

TEST(EffectFilters, ASourceMayBeItsOwnDestination) {
    const QImage photo = Photo(45, 31);
    const std::vector<std::pair<const char*, std::function<void(const QImage&, QImage&)>>> filters =
        {
            {"Twist",
             [](const QImage& s, QImage& d) {
                 Fx::Twist(s, d, 9);
             }},
            {"FishEye",
             [](const QImage& s, QImage& d) {
                 Fx::FishEye(s, d, 0.6);
             }},
            {"RotateBilinear",
             [](const QImage& s, QImage& d) {
                 Fx::RotateBilinear(s, d, 20, 11, 33);
             }},
            {"WingsWavy",
             [](const QImage& s, QImage& d) {
                 Fx::WingsWavy(s, d, 40, 9.0);
             }},
            {"Squeeze",
             [](const QImage& s, QImage& d) {
                 Fx::Squeeze(s, d, 9, 13);
             }},
            {"Split",
             [](const QImage& s, QImage& d) {
                 Fx::Split(s, d, 9, 14);
             }},
            {"Plasma",
             [](const QImage& s, QImage& d) {
                 Fx::Plasma(s, s, d, 20, 15);
             }},
            {"Blend",
             [](const QImage& s, QImage& d) {
                 Fx::Blend(s, s.mirrored(), d, 0.3);
             }},
        };
    for (const auto& [name, filter] : filters) {
        QImage expected = photo.copy();
        filter(photo.copy(), expected);
        QImage same = photo.copy();
        filter(same, same);
        EXPECT_TRUE(SameBitmap(same, expected)) << name;
        QImage shared = photo.copy();
        QImage view = shared; // shares the data until written
        filter(view, shared);
        EXPECT_TRUE(SameBitmap(shared, expected)) << name;
        EXPECT_TRUE(SameBitmap(view, photo)) << name;
    }
}

} // namespace
