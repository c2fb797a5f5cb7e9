// Point filters: every pixel depends on itself only, so rows run in parallel. The channel
// arithmetic is integer and goes through 256-entry tables built once per call.

#include "editing/EffectFilters.h"

#include "editing/EffectFiltersSupport.h"

#include <array>
#include <cstring>

namespace Lumerix::EffectFilters {

using namespace Detail;

namespace {

using TTable = std::array<uchar, 256>;

// Maps blue, green and red through their own tables.
void MapChannels(QImage& bitmap, const TTable& blue, const TTable& green, const TTable& red) {
    if (!Prepare(bitmap))
        return;
    const TPixels pixels = Pixels(bitmap);
    ParallelFor(pixels.Height, pixels.Width, [&](int begin, int end) {
        for (int y = begin; y < end; ++y) {
            uchar* p = pixels.Row(y);
            for (int x = 0; x < pixels.Width; ++x, p += 3) {
                p[0] = blue[p[0]];
                p[1] = green[p[1]];
                p[2] = red[p[2]];
            }
        }
    });
}

void MapChannels(QImage& bitmap, const TTable& table) {
    MapChannels(bitmap, table, table, table);
}

template <typename TRule> TTable MakeTable(TRule rule) {
    TTable table{};
    for (int v = 0; v < 256; ++v)
        table[v] = uchar(ClampByte(rule(qint64(v))));
    return table;
}

const TTable& Identity() {
    static const TTable table = MakeTable([](qint64 v) { return v; });
    return table;
}

const TTable& Zero() {
    static const TTable table{};
    return table;
}

TTable Kept(int low, int high) {
    return MakeTable([=](qint64 v) { return low < v && v < high ? 255 : 0; });
}

// Fits a destination to the source's size for a filter that writes every pixel.
void FitDestination(QImage& destination, QSize size) {
    if (destination.size() != size)
        destination = WhiteBitmap(size);
    else
        PrepareDestination(destination, size);
}

void Solarize(const TConstPixels& source, const TPixels& destination, int threshold) {
    ParallelFor(source.Height, source.Width, [&](int begin, int end) {
        for (int y = begin; y < end; ++y) {
            const uchar* s = source.Row(y);
            uchar* d = destination.Row(y);
            for (int x = 0; x < source.Width; ++x, s += 3, d += 3) {
                const int mean = (s[0] + s[1] + s[2]) / 3;
                const uchar flip = mean > threshold ? 255 : 0;
                d[0] = s[0] ^ flip;
                d[1] = s[1] ^ flip;
                d[2] = s[2] ^ flip;
            }
        }
    });
}

TTable PosterizeTable(int step) {
    const qint64 s = std::max(step, 1);
    // A product above 255 does not fit the channel; it is stored as full brightness rather
    // than wrapping round to a dark value.
    return MakeTable([=](qint64 v) { return std::min<qint64>(s * Nearest(double(v) / s), 255); });
}

// Draws three numbers per pixel (blue, green, red) or one, each row continuing the shared
// sequence exactly where the row before it ends.
void Noise(QImage& bitmap, int spread, bool perChannel) {
    if (!Prepare(bitmap))
        return;
    const TPixels pixels = Pixels(bitmap);
    const int drawsPerPixel = perChannel ? 3 : 1;
    const qint64 half = spread / 2;
    TSharedRandom shared;
    const TRandom start = shared.Load();
    ParallelFor(pixels.Height, pixels.Width * 2, [&](int begin, int end) {
        TRandom random = start.Skipped(quint64(begin) * pixels.Width * drawsPerPixel);
        for (int y = begin; y < end; ++y) {
            uchar* p = pixels.Row(y);
            for (int x = 0; x < pixels.Width; ++x, p += 3) {
                if (perChannel) {
                    for (int c = 0; c < 3; ++c)
                        p[c] = uchar(ClampByte(p[c] + random.Next(spread) - half));
                } else {
                    const qint64 n = random.Next(spread) - half;
                    for (int c = 0; c < 3; ++c)
                        p[c] = uchar(ClampByte(p[c] + n));
                }
            }
        }
    });
    shared.Store(start.Skipped(quint64(pixels.Width) * pixels.Height * drawsPerPixel));
}

} // namespace

void Contrast(QImage& bitmap, int amount) {
    MapChannels(bitmap, MakeTable([=](qint64 v) {
                    const qint64 d = ((v > 127 ? v - 127 : 127 - v) * amount) / 255;
                    return v > 127 ? v + d : v - d;
                }));
}

void Lightness(QImage& bitmap, int amount) {
    MapChannels(bitmap, MakeTable([=](qint64 v) { return v + (amount * (255 - v)) / 255; }));
}

void Saturation(QImage& bitmap, int amount) {
    if (!Prepare(bitmap))
        return;
    // The shift of a channel depends only on its distance from the grey level g.
    std::array<qint64, 511> shift{};
    for (int d = -255; d <= 255; ++d)
        shift[d + 255] = (qint64(amount) * d) / 255;
    const TPixels pixels = Pixels(bitmap);
    ParallelFor(pixels.Height, pixels.Width, [&](int begin, int end) {
        for (int y = begin; y < end; ++y) {
            uchar* p = pixels.Row(y);
            for (int x = 0; x < pixels.Width; ++x, p += 3) {
                const int grey = (p[0] + p[1] + p[2]) / 3;
                for (int c = 0; c < 3; ++c)
                    p[c] = uchar(ClampByte(grey + shift[p[c] - grey + 255]));
            }
        }
    });
}

void ColorNoise(QImage& bitmap, int spread) {
    Noise(bitmap, spread, true);
}

void MonoNoise(QImage& bitmap, int spread) {
    Noise(bitmap, spread, false);
}

void ChannelRed(QImage& bitmap, int low, int high) {
    MapChannels(bitmap, Zero(), Zero(), Kept(low, high));
}

void ChannelGreen(QImage& bitmap, int low, int high) {
    MapChannels(bitmap, Zero(), Kept(low, high), Zero());
}

void ChannelBlue(QImage& bitmap, int low, int high) {
    MapChannels(bitmap, Kept(low, high), Zero(), Zero());
}

void ChannelXRed(QImage& bitmap, int low, int high) {
    MapChannels(bitmap, Identity(), Identity(), Kept(low, high));
}

void ChannelXGreen(QImage& bitmap, int low, int high) {
    MapChannels(bitmap, Identity(), Kept(low, high), Identity());
}

void ChannelXBlue(QImage& bitmap, int low, int high) {
    MapChannels(bitmap, Kept(low, high), Identity(), Identity());
}

void Solarize(const QImage& source, QImage& destination, int threshold) {
    const QImage s = Source(source);
    if (s.isNull())
        return;
    FitDestination(destination, s.size());
    Solarize(ConstPixels(s), Pixels(destination), threshold);
}

void Solarize(QImage& bitmap, int threshold) {
    if (!Prepare(bitmap))
        return;
    const TPixels pixels = Pixels(bitmap);
    Solarize(TConstPixels{pixels.Bits, pixels.Stride, pixels.Width, pixels.Height}, pixels,
             threshold);
}

void Posterize(const QImage& source, QImage& destination, int step) {
    const QImage s = Source(source);
    if (s.isNull())
        return;
    destination = s; // detaches on the first write
    Posterize(destination, step);
}

void Posterize(QImage& bitmap, int step) {
    MapChannels(bitmap, PosterizeTable(step));
}

void Blend(const QImage& source1, const QImage& source2, QImage& destination, double weight) {
    const QImage first = Source(source1);
    const QImage second = Source(source2);
    if (first.isNull())
        return;
    FitDestination(destination, first.size());
    // (1 − w)·v1 and w·v2 are the same products whether tabled or not.
    std::array<double, 256> firstShare{}, secondShare{};
    for (int v = 0; v < 256; ++v) {
        firstShare[v] = (1.0 - weight) * v;
        secondShare[v] = weight * v;
    }
    const TConstPixels a = ConstPixels(first);
    const TConstPixels b = ConstPixels(second);
    const TPixels out = Pixels(destination);
    ParallelFor(a.Height, a.Width, [&](int begin, int end) {
        for (int y = begin; y < end; ++y) {
            const uchar* p = a.Row(y);
            uchar* o = out.Row(y);
            const int blended = y < b.Height ? std::min(a.Width, b.Width) : 0;
            const uchar* q = blended > 0 ? b.Row(y) : nullptr;
            for (int i = 0; i < 3 * blended; ++i)
                o[i] = uchar(ClampByte(Nearest(firstShare[p[i]] + secondShare[q[i]])));
            std::memmove(o + 3 * blended, p + 3 * blended, size_t(3) * (a.Width - blended));
        }
    });
}

void SplitLight(QImage& bitmap, int passes) {
    // The passes compose into one table; it stops changing once every entry but 0 is 255.
    TTable table = Identity();
    const std::array<quint8, 256>& light = LightTable();
    for (int pass = 0; pass < passes; ++pass) {
        TTable next{};
        for (int v = 0; v < 256; ++v)
            next[v] = light[table[v]];
        if (next == table)
            break;
        table = next;
    }
    MapChannels(bitmap, table);
}

} // namespace Lumerix::EffectFilters
