// Every filter on odd sizes with ordinary and absurd arguments, and with destinations that
// are missing, shared, smaller or larger. Run under AddressSanitizer this catches reads and
// writes outside the bitmaps; here it checks that every filter returns a whole 24-bit bitmap.

#include "editing/EffectFilters.h"

#include "EffectFiltersPictures.h"

#include <QImage>

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <string>
#include <vector>

using namespace Lumerix;
using namespace Lumerix::EffectFilterTests;
namespace Fx = Lumerix::EffectFilters;

namespace {

struct TFilter {
    const char* Name;
    /// Reads `source` and writes `target`; in-place filters work on `target` alone, which
    /// then starts as a copy of `source`.
    std::function<void(const QImage& source, QImage& target, int v)> Run;
    bool SourceToDestination = false;
};

TFilter InPlace(const char* name, std::function<void(QImage&, int)> run) {
    return {name, [run](const QImage&, QImage& target, int v) { run(target, v); }, false};
}

TFilter ToDestination(const char* name, std::function<void(const QImage&, QImage&, int)> run) {
    return {name, std::move(run), true};
}

using TWings = void (*)(const QImage&, QImage&, int, double);

TFilter Wings(const char* name, TWings wings) {
    return ToDestination(name, [wings](const QImage& s, QImage& d, int v) {
        wings(s, d, v, 9.0);
        wings(s, d, 40, double(v));
        wings(s, d, 3, 0.0);
    });
}

const std::vector<TFilter>& Filters() {
    static const std::vector<TFilter> filters = {
        InPlace("Contrast", [](QImage& b, int v) { Fx::Contrast(b, v); }),
        InPlace("Saturation", [](QImage& b, int v) { Fx::Saturation(b, v); }),
        InPlace("Lightness", [](QImage& b, int v) { Fx::Lightness(b, v); }),
        InPlace("ColorNoise", [](QImage& b, int v) { Fx::ColorNoise(b, v); }),
        InPlace("MonoNoise", [](QImage& b, int v) { Fx::MonoNoise(b, v); }),
        InPlace("Channels",
                [](QImage& b, int v) {
                    Fx::ChannelRed(b, v, 200);
                    Fx::ChannelGreen(b, -5, v);
                    Fx::ChannelBlue(b, v, v);
                    Fx::ChannelXRed(b, v, 255);
                    Fx::ChannelXGreen(b, 0, v);
                    Fx::ChannelXBlue(b, v, INT_MAX);
                }),
        ToDestination("Solarize", [](const QImage& s, QImage& d, int v) { Fx::Solarize(s, d, v); }),
        ToDestination("Posterize",
                      [](const QImage& s, QImage& d, int v) { Fx::Posterize(s, d, v); }),
        ToDestination("Blend",
                      [](const QImage& s, QImage& d, int v) {
                          Fx::Blend(s, s.mirrored(true, false), d, v / 100.0);
                          Fx::Blend(s, QImage(), d, 0.5);
                          Fx::Blend(s, Photo(3, 2), d, v);
                      }),
        InPlace("SplitLight", [](QImage& b, int v) { Fx::SplitLight(b, v); }),
        InPlace("Smooth", [](QImage& b, int v) { Fx::Smooth(b, v); }),
        InPlace("SplitBlur", [](QImage& b, int v) { Fx::SplitBlur(b, v); }),
        InPlace("GaussianBlur", [](QImage& b, int v) { Fx::GaussianBlur(b, v); }),
        InPlace("Emboss", [](QImage& b, int) { Fx::Emboss(b); }),
        InPlace("Mosaic", [](QImage& b, int v) { Fx::Mosaic(b, v); }),
        InPlace("Triangles", [](QImage& b, int v) { Fx::Triangles(b, v); }),
        InPlace("Seamless", [](QImage& b, int v) { Fx::Seamless(b, v); }),
        ToDestination("FishEye",
                      [](const QImage& s, QImage& d, int v) {
                          Fx::FishEye(s, d, v / 100.0);
                          Fx::FishEye(s, d, double(v));
                      }),
        ToDestination("Twist", [](const QImage& s, QImage& d, int v) { Fx::Twist(s, d, v); }),
        ToDestination("RotateBilinear",
                      [](const QImage& s, QImage& d, int v) {
                          Fx::RotateBilinear(s, d, s.width() / 2.0, s.height() / 2.0, v);
                          Fx::RotateBilinear(s, d, v, v / 2, 30);
                          Fx::RotateBilinear(s, d, 1e300, -1e300, 1e300);
                      }),
        InPlace("Wave",
                [](QImage& b, int v) {
                    for (int style : {0, 1, 2, v})
                        Fx::Wave(b, v, 3, style);
                    Fx::Wave(b, 15, v, 2);
                }),
        Wings("WingsDeep", Fx::WingsDeep),
        Wings("WingsDown", Fx::WingsDown),
        Wings("WingsUp", Fx::WingsUp),
        Wings("WingsFold", Fx::WingsFold),
        Wings("WingsTouche", Fx::WingsTouche),
        Wings("WingsFlyer", Fx::WingsFlyer),
        Wings("WingsFlipover", Fx::WingsFlipover),
        Wings("WingsWavy", Fx::WingsWavy),
        ToDestination("Squeeze",
                      [](const QImage& s, QImage& d, int v) {
                          for (int style = 7; style <= 13; ++style)
                              Fx::Squeeze(s, d, v, style);
                          Fx::Squeeze(s, d, 5, v);
                      }),
        ToDestination("Split",
                      [](const QImage& s, QImage& d, int v) {
                          Fx::Split(s, d, v, Fx::SplitRound);
                          Fx::Split(s, d, v, Fx::SplitWaste);
                          Fx::Split(s, d, 5, v);
                      }),
        InPlace("Shear", [](QImage& b, int v) { Fx::Shear(b, v); }),
        ToDestination("Plasma",
                      [](const QImage& s, QImage& d, int v) {
                          Fx::Plasma(s, s.mirrored(), d, v, v);
                          Fx::Plasma(s, Photo(2, 2), d, 1e300, 0.0);
                          Fx::Plasma(s, QImage(), d, 50, 20);
                      }),
        InPlace("Fractal",
                [](QImage& b, int v) {
                    Fx::Fractal(b, v, v * 0.028 - 2.25, v * 0.009 - 1.5, 0.75, 1.5, true);
                    Fx::Fractal(b, v, -2.25, -1.5, 0.75, 1.5, false);
                    Fx::Fractal(b, 16, 0.0, 0.0, 0.0, 0.0, true);
                }),
        InPlace("RippleTooth", [](QImage& b, int v) { Fx::RippleTooth(b, v); }),
        InPlace("RippleRandom", [](QImage& b, int v) { Fx::RippleRandom(b, v); }),
        InPlace("TexturizeTile", [](QImage& b, int v) { Fx::TexturizeTile(b, v); }),
        InPlace("TexturizeOverlap", [](QImage& b, int v) { Fx::TexturizeOverlap(b, v); }),
        InPlace("HeightMap", [](QImage& b, int v) { Fx::HeightMap(b, v); }),
    };
    return filters;
}

const int Values[] = {INT_MIN, -1000, -1, 0, 1, 2, 3, 15, 100, 255, 1000, INT_MAX};

// Rows 4 or 200 pixels wide have no padding at their ends, so a read past the last pixel
// of the last row leaves the allocation.
const QSize Sizes[] = {QSize(0, 0), QSize(1, 1), QSize(1, 7),     QSize(7, 1),
                       QSize(2, 3), QSize(4, 3), QSize(199, 100), QSize(200, 99)};

enum class TDestination { Copy, Same, Null, Smaller, Larger };

class EveryFilter : public ::testing::TestWithParam<TFilter> {};

TEST_P(EveryFilter, ReturnsAWholeBitmapForAnyArgument) {
    const TFilter& filter = GetParam();
    for (QSize size : Sizes) {
        const QImage source = size.isEmpty() ? QImage() : Photo(size.width(), size.height());
        for (int v : Values) {
            SCOPED_TRACE(testing::Message()
                         << size.width() << " x " << size.height() << ", argument " << v);
            if (!filter.SourceToDestination) {
                QImage target = source.copy();
                filter.Run(source, target, v);
                EXPECT_EQ(target.size(), source.size());
                if (!source.isNull()) {
                    EXPECT_EQ(target.format(), QImage::Format_BGR888);
                }
                continue;
            }
            for (TDestination mode : {TDestination::Copy, TDestination::Same, TDestination::Null,
                                      TDestination::Smaller, TDestination::Larger}) {
                SCOPED_TRACE(testing::Message() << "destination kind " << int(mode));
                QImage target;
                switch (mode) {
                case TDestination::Copy:
                case TDestination::Same:
                    target = source.copy();
                    break;
                case TDestination::Null:
                    break;
                case TDestination::Smaller:
                    target = Photo(std::max(1, size.width() / 2), std::max(1, size.height() / 3));
                    break;
                case TDestination::Larger:
                    target = Photo(size.width() + 5, size.height() + 3);
                    break;
                }
                if (mode == TDestination::Same)
                    filter.Run(target, target, v);
                else
                    filter.Run(source, target, v);
                if (source.isNull())
                    continue;
                EXPECT_FALSE(target.isNull());
                EXPECT_EQ(target.format(), QImage::Format_BGR888);
                if (mode == TDestination::Null || mode == TDestination::Copy ||
                    mode == TDestination::Same) {
                    EXPECT_EQ(target.size(), source.size());
                }
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(EffectFilters, EveryFilter, ::testing::ValuesIn(Filters()),
                         [](const auto& info) { return std::string(info.param.Name); });

} // namespace
