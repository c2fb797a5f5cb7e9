// The effect filters on fuzzed bitmap sizes, contents and arguments within their ranges.
#include "FuzzInput.h"

#include "editing/EffectFilters.h"

#include <QImage>

#include <cstring>
#include <functional>

namespace {

namespace F = Lumerix::EffectFilters;
using Lumerix::Fuzz::TByteReader;

using TFilter = std::function<void(TByteReader&, QImage&)>;

// Source → destination filters get a destination of their own size or, picked by the input,
// a null one or the bitmap itself.
QImage Destination(TByteReader& in, const QImage& source) {
    switch (in.Take(1) % 3) {
    case 0:
        return QImage();
    case 1:
        return QImage(source);
    default: {
        QImage other(source.size(), QImage::Format_BGR888);
        other.fill(Qt::black);
        return other;
    }
    }
}

template <typename Call> TFilter Mapped(Call call) {
    return [call](TByteReader& in, QImage& bitmap) {
        QImage destination = Destination(in, bitmap);
        call(in, bitmap, destination);
    };
}

double Fraction(TByteReader& in, double low, double high) {
    return low + (high - low) * in.Take(2) / 65535.0;
}

const std::vector<TFilter>& Filters() {
    static const std::vector<TFilter> filters{
        [](TByteReader& in, QImage& b) { F::Contrast(b, in.Range(-255, 255)); },
        [](TByteReader& in, QImage& b) { F::Saturation(b, in.Range(0, 500)); },
        [](TByteReader& in, QImage& b) { F::Lightness(b, in.Range(-255, 255)); },
        [](TByteReader& in, QImage& b) { F::ColorNoise(b, in.Range(0, 200)); },
        [](TByteReader& in, QImage& b) { F::MonoNoise(b, in.Range(0, 200)); },
        [](TByteReader& in, QImage& b) { F::ChannelRed(b, in.Range(0, 255), in.Range(0, 255)); },
        [](TByteReader& in, QImage& b) { F::ChannelXBlue(b, in.Range(0, 255), in.Range(0, 255)); },
        Mapped([](TByteReader& in, const QImage& s, QImage& d) {
            F::Solarize(s, d, in.Range(0, 255));
        }),
        Mapped([](TByteReader& in, const QImage& s, QImage& d) {
            F::Posterize(s, d, in.Range(0, 255));
        }),
        [](TByteReader& in, QImage& b) {
            // The second picture may be smaller than the first.
            QImage other = b.copy(0, 0, in.Range(1, b.width()), in.Range(1, b.height()));
            QImage d;
            F::Blend(b, other, d, Fraction(in, 0, 1));
        },
        [](TByteReader& in, QImage& b) { F::SplitLight(b, in.Range(1, 10)); },
        [](TByteReader& in, QImage& b) { F::Smooth(b, in.Range(0, 20)); },
        [](TByteReader& in, QImage& b) { F::SplitBlur(b, in.Range(0, 30)); },
        [](TByteReader& in, QImage& b) { F::GaussianBlur(b, in.Range(0, 20)); },
        [](TByteReader&, QImage& b) { F::Emboss(b); },
        [](TByteReader& in, QImage& b) { F::Mosaic(b, in.Range(2, 30)); },
        [](TByteReader& in, QImage& b) { F::Triangles(b, in.Range(5, 127)); },
        [](TByteReader& in, QImage& b) { F::Seamless(b, in.Range(3, 15)); },
        Mapped([](TByteReader& in, const QImage& s, QImage& d) {
            F::FishEye(s, d, Fraction(in, -3, 3));
        }),
        Mapped(
            [](TByteReader& in, const QImage& s, QImage& d) { F::Twist(s, d, in.Range(1, 50)); }),
        Mapped([](TByteReader& in, const QImage& s, QImage& d) {
            F::RotateBilinear(s, d, in.Range(-s.width(), 2 * s.width()),
                              in.Range(-s.height(), 2 * s.height()), Fraction(in, 0, 360));
        }),
        [](TByteReader& in, QImage& b) {
            const int style = int(in.Take(1) % 3);
            if (style == F::WaveInference)
                F::Wave(b, in.Range(1, 300), in.Range(1, 10), style);
            else
                F::Wave(b, in.Range(1, 200), 0, style);
        },
        Mapped([](TByteReader& in, const QImage& s, QImage& d) {
            using TWings = void (*)(const QImage&, QImage&, int, double);
            static constexpr TWings wings[] = {F::WingsDeep,     F::WingsDown,   F::WingsUp,
                                               F::WingsFold,     F::WingsTouche, F::WingsFlyer,
                                               F::WingsFlipover, F::WingsWavy};
            wings[in.Take(1) % 8](s, d, in.Range(1, 400), in.Range(1, 300));
        }),
        Mapped([](TByteReader& in, const QImage& s, QImage& d) {
            F::Squeeze(s, d, in.Range(0, 255), F::SqueezeHorizontal + int(in.Take(1) % 7));
        }),
        Mapped([](TByteReader& in, const QImage& s, QImage& d) {
            F::Split(s, d, in.Range(0, 255), F::SplitRound + int(in.Take(1) % 2));
        }),
        [](TByteReader& in, QImage& b) { F::Shear(b, in.Range(0, 100)); },
        [](TByteReader& in, QImage& b) {
            QImage d;
            F::Plasma(b, b, d, in.Range(1, 100), in.Range(10, 300));
        },
        [](TByteReader& in, QImage& b) { F::RippleTooth(b, in.Range(3, 100)); },
        [](TByteReader& in, QImage& b) { F::RippleRandom(b, in.Range(3, 100)); },
        [](TByteReader& in, QImage& b) { F::HeightMap(b, in.Range(1, 100)); },
        [](TByteReader& in, QImage& b) { F::TexturizeTile(b, in.Range(3, 100)); },
        [](TByteReader& in, QImage& b) { F::TexturizeOverlap(b, in.Range(3, 100)); },
        [](TByteReader& in, QImage& b) {
            F::Fractal(b, 16, in.Range(0, 100) * 0.028 - 2.25, in.Range(1, 300) * 0.009 - 1.5, 0.75,
                       1.5, in.Take(1) & 1);
        },
    };
    return filters;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TByteReader in(data, size);
    const auto& filters = Filters();
    const TFilter& filter = filters[in.Take(1) % filters.size()];
    const int width = in.Range(1, 97);
    const int height = in.Range(1, 97);
    F::SeedRandom(in.Take(4));
    const QImage::Format format = (in.Take(1) & 1) ? QImage::Format_BGR888 : QImage::Format_RGB32;
    QImage bitmap(width, height, format);
    // The picture's pixels repeat the rest of the input (grey when there is none).
    const uint8_t* rest = in.Rest();
    const size_t restSize = in.RestSize();
    for (int y = 0; y < height; ++y) {
        uchar* line = bitmap.scanLine(y);
        const qsizetype bytes = bitmap.bytesPerLine();
        for (qsizetype i = 0; i < bytes; ++i)
            line[i] = restSize ? rest[(size_t(y) * size_t(bytes) + size_t(i)) % restSize] : 128;
    }
    // The arguments come from the end of the input, so that the pixels and the arguments can
    // change independently.
    TByteReader tail(restSize > 16 ? rest + restSize - 16 : rest, restSize > 16 ? 16 : restSize);
    filter(tail, bitmap);
    return 0;
}
