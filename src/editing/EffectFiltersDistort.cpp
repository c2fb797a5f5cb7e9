// Geometric filters: pixels move, are resampled or are displaced by a function of their
// position or brightness.

#include "editing/EffectFilters.h"

#include "editing/EffectFiltersSupport.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <numbers>
#include <vector>

namespace Lumerix::EffectFilters {

using namespace Detail;

namespace {

// --- Wrap-around bilinear sampling, in single precision --------------------------------------

// Keeps a coordinate finite and within the range whose integer part fits 64 bits; a float that
// large has no fraction left anyway.
float SafeCoordinate(float v) {
    constexpr float limit = 4611686018427387904.0f; // 2^62
    if (!(v == v))
        return 0.0f;
    return std::clamp(v, -limit, limit);
}

// Wraps an integer coordinate into 0 .. size − 1 the way the lens and swirl expect:
// negative ones count back from the far edge.
qint64 Wrap(qint64 i, qint64 size) {
    // Most coordinates lie less than one picture outside; they need no division.
    if (i < 0)
        return size - 1 - (-i < size ? -i : (-i) % size);
    if (i > size - 1)
        return i < 2 * size ? i - size : i % size;
    return i;
}

// The weights of the two neighbours along one axis. Below zero they are taken from the
// distance to the truncated coordinate, which mirrors the fraction.
void AxisWeights(float v, qint64 i, float& w0, float& w1) {
    if (v >= 0.0f) {
        w1 = v - float(i);
        w0 = 1.0f - w1;
    } else {
        w0 = float(i) - v;
        w1 = 1.0f - w0;
    }
}

// The four source pixels of one sample and their weights.
struct TTap {
    int Columns[2];
    int Rows[2];
    float Wx[2], Wy[2];
};

TTap Locate(const TConstPixels& s, float sx, float sy) {
    sx = SafeCoordinate(sx);
    sy = SafeCoordinate(sy);
    const qint64 tx = qint64(sx), ty = qint64(sy); // truncation toward zero
    TTap tap;
    AxisWeights(sx, tx, tap.Wx[0], tap.Wx[1]);
    AxisWeights(sy, ty, tap.Wy[0], tap.Wy[1]);
    const qint64 ix = Wrap(tx, s.Width), iy = Wrap(ty, s.Height);
    for (int i = 0; i < 2; ++i) {
        // The neighbour past the last column or row is the first one.
        const qint64 column = ix + i, row = iy + i;
        tap.Columns[i] = int(column == s.Width ? s.Width - ix - i : column);
        tap.Rows[i] = int(row == s.Height ? s.Height - iy - i : row);
    }
    return tap;
}

void Blend(const TConstPixels& s, const TTap& tap, uchar* out) {
    // wx_i × wy_j is the same product for every channel.
    float weight[2][2];
    const uchar* pixel[2][2];
    for (int i = 0; i < 2; ++i)
        for (int j = 0; j < 2; ++j) {
            weight[i][j] = tap.Wx[i] * tap.Wy[j];
            pixel[i][j] = s.At(tap.Columns[i], tap.Rows[j]);
        }
    for (int c = 0; c < 3; ++c) {
        float sum = 0.0f;
        for (int i = 0; i < 2; ++i)
            for (int j = 0; j < 2; ++j)
                sum += weight[i][j] * float(pixel[i][j][c]);
        out[c] = uchar(ClampByte(RoundEven(sum))); // the sum lies within 0 .. 255
    }
}

void Prefetch(const TConstPixels& s, const TTap& tap) {
    for (int j = 0; j < 2; ++j) {
        __builtin_prefetch(s.At(tap.Columns[0], tap.Rows[j]));
        __builtin_prefetch(s.At(tap.Columns[1], tap.Rows[j]) + 2);
    }
}

// Samples a destination row from its taps. The lens and the swirl read source pixels far
// apart, so waiting for each in turn would dominate the time; the source lines are fetched
// a few pixels ahead instead.
void SampleRow(const TConstPixels& s, const TTap* taps, int count, uchar* out) {
    constexpr int ahead = 12;
    for (int i = 0; i < std::min(ahead, count); ++i)
        Prefetch(s, taps[i]);
    for (int i = 0; i < count; ++i) {
        if (i + ahead < count)
            Prefetch(s, taps[i + ahead]);
        Blend(s, taps[i], out + 3 * i);
    }
}

// Fills the destination pixels 0 ≤ x < w, 0 ≤ y < h with the samples `tapOf(x, y)` names.
// The lens and the swirl take a pixel's source from the ring about the centre whose radius
// depends only on the pixel's own radius, so a row reads all over the picture. Small blocks
// taken ring by ring, in angle order within a ring, read a narrow ring of the source at a
// time, which stays in the cache; every pixel gets the same value in any order.
template <typename TTapOf>
void SampleInRings(const TConstPixels& in, const TPixels& out, int w, int h, float cx, float cy,
                   TTapOf tapOf) {
    constexpr int block = 8;
    const int across = (w + block - 1) / block, down = (h + block - 1) / block;
    std::vector<std::pair<quint64, int>> order; // (ring, angle) → block
    order.reserve(size_t(across) * down);
    for (int by = 0; by < down; ++by)
        for (int bx = 0; bx < across; ++bx) {
            const double dx = bx * block + block / 2 - cx, dy = by * block + block / 2 - cy;
            const quint64 ring = quint64(std::hypot(dx, dy) / block);
            const quint64 turn = quint64((std::atan2(dy, dx) + std::numbers::pi) * 10000.0);
            order.emplace_back(ring << 32 | turn, by * across + bx);
        }
    std::sort(order.begin(), order.end());
    ParallelFor(int(order.size()), block * block * 16, [&](int begin, int end) {
        TTap taps[block];
        for (int k = begin; k < end; ++k) {
            const int x0 = order[k].second % across * block;
            const int y0 = order[k].second / across * block;
            const int x1 = std::min(x0 + block, w), y1 = std::min(y0 + block, h);
            for (int y = y0; y < y1; ++y) {
                for (int x = x0; x < x1; ++x)
                    taps[x - x0] = tapOf(x, y);
                SampleRow(in, taps, x1 - x0, out.At(x0, y));
            }
        }
    });
}

// --- Wings -------------------------------------------------------------------------------------

enum class TWings { Deep, Down, Up, Fold, Touche, Flyer, Flipover, Wavy };

void Wings(const QImage& source, QImage& destination, int period, double scale, TWings member) {
    const QImage s = Source(source);
    if (s.isNull())
        return;
    destination = s; // detaches on the first write
    if (period == 0)
        return;
    const int w = s.width(), h = s.height();
    // The row term depends on the row only and the column term on the column only.
    std::vector<double> rowTerm(h), columnTerm(w);
    for (int y = 0; y < h; ++y) {
        const double t = double(y % period) / scale;
        switch (member) {
        case TWings::Fold:
        case TWings::Flipover:
            rowTerm[y] = scale * std::sin(t);
            break;
        case TWings::Wavy:
            rowTerm[y] = scale * std::sin(t) * std::cos(1.5 * t);
            break;
        default:
            rowTerm[y] = scale * std::cos(t);
        }
    }
    for (int c = 0; c < w; ++c) {
        const double u = double(c % period) / scale;
        switch (member) {
        case TWings::Fold:
            columnTerm[c] = -scale * std::cos(u);
            break;
        case TWings::Flyer:
            columnTerm[c] = -std::tan(u) / scale;
            break;
        case TWings::Flipover:
            columnTerm[c] = -std::tan(u) / (scale * scale);
            break;
        case TWings::Wavy:
            columnTerm[c] = -scale * std::sin(2.0 * u) * std::cos(u);
            break;
        default:
            columnTerm[c] = -scale * std::sin(u);
        }
    }
    const TConstPixels in = ConstPixels(s);
    const TPixels out = Pixels(destination);
    auto move = [&](int c, int y) {
        const double x = columnTerm[c], yTerm = rowTerm[y];
        double row, column;
        switch (member) {
        case TWings::Down:
            row = y + yTerm - x;
            column = c + x - yTerm;
            break;
        case TWings::Up:
            row = y - yTerm + x;
            column = c - x + yTerm;
            break;
        default:
            row = y + x + yTerm;
            column = c + x + yTerm;
        }
        const double ay = std::abs(row), ax = std::abs(column);
        if (!(ay < h && ax < w)) // NaN as well
            return;
        const qint64 ty = RoundEven(ay), tx = RoundEven(ax);
        if (ty < h && tx < w)
            std::memcpy(out.At(int(tx), int(ty)), in.At(c, y), 3);
    };
    // Targets of different rows collide and the later write wins, so this runs in order.
    if (member == TWings::Touche) {
        for (int y = h - 1; y >= 0; --y)
            for (int c = w - 1; c >= 0; --c)
                move(c, y);
    } else {
        for (int y = 0; y < h; ++y)
            for (int c = 0; c < w; ++c)
                move(c, y);
    }
}

// --- Texturize ---------------------------------------------------------------------------------

void Texturize(QImage& bitmap, int size, bool overlap) {
    if (!Prepare(bitmap))
        return;
    const TPixels p = Pixels(bitmap);
    // A tile of size 0 would never advance: such calls leave the picture alone.
    const int c = std::min({p.Width / 2, size, p.Height / 2});
    if (c <= 0)
        return;
    std::vector<uchar> tile(size_t(3) * c * c);
    for (int j = 0; j < c; ++j) {
        const int y = int((qint64(2 * j + 1) * p.Height) / (2 * c));
        for (int i = 0; i < c; ++i) {
            const int x = int((qint64(2 * i + 1) * p.Width) / (2 * c));
            std::memcpy(&tile[3 * (size_t(j) * c + i)], p.At(x, y), 3);
        }
    }
    // Tiles drawn later cover earlier ones; the one drawn last at a pixel starts at the
    // largest multiple of the step not beyond it, so each pixel shows tile (x mod step,
    // y mod step). Without overlap the step is the tile size.
    const int step = overlap ? int(Nearest(2.0 * c / 3.0)) : c;
    ParallelFor(p.Height, p.Width, [&](int begin, int end) {
        for (int y = begin; y < end; ++y) {
            const uchar* tileRow = &tile[size_t(3) * c * (y % step)];
            uchar* out = p.Row(y);
            for (int x = 0, i = 0; x < p.Width; ++x) {
                std::memcpy(out + 3 * x, tileRow + 3 * i, 3);
                if (++i == step)
                    i = 0;
            }
        }
    });
}

// The angle of row y on a half turn from the top row to the bottom row.
double RowAngle(int y, int h, double turns) {
    return h > 1 ? turns * std::numbers::pi * y / (h - 1) : 0.0;
}

} // namespace

void FishEye(const QImage& source, QImage& destination, double amount) {
    const QImage s = Source(source);
    if (s.isNull())
        return;
    PrepareDestination(destination, s.size());
    const TConstPixels in = ConstPixels(s);
    const TPixels out = Pixels(destination);
    const float xm = float(in.Width) / 2.0f, ym = float(in.Height) / 2.0f;
    const float fr = float(amount) * float(out.Width);
    SampleInRings(in, out, out.Width, out.Height, xm, ym, [&](int x, int y) {
        const float dx = float(x) - xm, dy = float(y) - ym;
        const float r = std::sqrt(dx * dx + dy * dy);
        if (r == 0.0f)
            return Locate(in, xm, ym);
        // No lens (amount 0), or on its rim, where the magnification is undefined: the
        // pixel stays where it is.
        if (fr == 0.0f || r == fr)
            return Locate(in, float(x), float(y));
        const float k = 1.0f / (1.0f - r / fr) - 1.0f;
        const float nr = (fr / 2.0f) * k;
        return Locate(in, xm + dx * nr / r, ym + dy * nr / r);
    });
}

void Twist(const QImage& source, QImage& destination, int amount) {
    const QImage s = Source(source);
    if (s.isNull())
        return;
    PrepareDestination(destination, s.size());
    const TConstPixels in = ConstPixels(s);
    const TPixels out = Pixels(destination);
    const float swirl = float(std::max(amount, 1)); // the swirl divides by it
    const float cx = float(in.Width - 1) / 2.0f, cy = float(in.Height - 1) / 2.0f;
    const float quarter = float(std::numbers::pi / 2.0);
    const int w = std::min(in.Width, out.Width), h = std::min(in.Height, out.Height);
    SampleInRings(in, out, w, h, cx, cy, [&](int x, int y) {
        const float dx = float(x) - cx, dy = float(y) - cy;
        const float r = std::sqrt(dx * dx + dy * dy);
        if (r == 0.0f)
            return Locate(in, cx, cy);
        const float phi = std::atan2(dy, dx) - r / swirl + quarter;
        return Locate(in, cx + r * std::cos(phi), cy + r * std::sin(phi));
    });
}

void RotateBilinear(const QImage& source, QImage& destination, double centreX, double centreY,
                    double angle) {
    const QImage s = Source(source);
    if (s.isNull())
        return;
    PrepareDestination(destination, s.size());
    const TConstPixels in = ConstPixels(s);
    const TPixels out = Pixels(destination);
    const double theta = -angle * std::numbers::pi / 180.0;
    const double sine = std::sin(theta), cosine = std::cos(theta);
    const int ox = (out.Width - in.Width) / 2, oy = (out.Height - in.Height) / 2;
    ParallelFor(out.Height, qint64(out.Width) * 4, [&](int begin, int end) {
        for (int y = begin; y < end; ++y) {
            for (int x = 0; x < out.Width; ++x) {
                const double bx = 2.0 * (x - centreX) + 1.0, by = 2.0 * (y - centreY) + 1.0;
                const double sx = (bx * cosine - by * sine - 1.0) / 2.0 + centreX - ox;
                const double sy = (bx * sine + by * cosine - 1.0) / 2.0 + centreY - oy;
                if (!(sx > -1.0 && sx < in.Width && sy > -1.0 && sy < in.Height))
                    continue; // far outside the source (or NaN)
                const int ix = int(RoundEven(sx)), iy = int(RoundEven(sy));
                if (ix < 0 || ix >= in.Width || iy < 0 || iy >= in.Height)
                    continue; // outside the source: the pixel keeps what it holds
                const int ix1 = int(ClampRange(ix + 1, 0, in.Width - 1));
                const int iy1 = int(ClampRange(iy + 1, 0, in.Height - 1));
                const double fx = sx - ix, fy = sy - iy;
                const uchar* p00 = in.At(ix, iy);
                const uchar* p10 = in.At(ix1, iy);
                const uchar* p01 = in.At(ix, iy1);
                const uchar* p11 = in.At(ix1, iy1);
                uchar* o = out.At(x, y);
                for (int c = 0; c < 3; ++c) {
                    const double top = p00[c] + fx * (p10[c] - p00[c]);
                    const double bottom = p01[c] + fx * (p11[c] - p01[c]);
                    o[c] = uchar(ClampByte(Nearest(top + fy * (bottom - top))));
                }
            }
        }
    });
}

void Wave(QImage& bitmap, int amount, int inference, int style) {
    if (amount < 1 || style < WaveNormal || style > WaveInference || !Prepare(bitmap))
        return;
    const TPixels p = Pixels(bitmap);
    const qint64 start = qint64(p.Height) - 1 - 2 * qint64(amount);
    if (start < amount)
        return;
    // Every column moves down by one distance, amount + dy, which is never negative: rows
    // taken bottom to top are read before anything lands on them.
    const double f = (std::numbers::pi / 2.0) / amount;
    std::vector<int> shift(p.Width);
    qint64 dy = 0;
    for (int x = 0; x < p.Width; ++x) {
        shift[x] = int(amount + ClampRange(dy, -amount, amount));
        double s = std::sin(x * f);
        if (style == WaveExtra)
            s *= std::cos(x * f);
        else if (style == WaveInference)
            s *= std::sin(inference * f * x);
        dy = Nearest(amount * s);
    }
    ParallelFor(p.Width, p.Height, [&](int begin, int end) {
        for (qint64 y = start; y >= amount; --y)
            for (int x = begin; x < end; ++x)
                CopyPixel(p.At(x, int(y) + shift[x]), p.At(x, int(y)));
    });
}

void WingsDeep(const QImage& source, QImage& destination, int period, double scale) {
    Wings(source, destination, period, scale, TWings::Deep);
}

void WingsDown(const QImage& source, QImage& destination, int period, double scale) {
    Wings(source, destination, period, scale, TWings::Down);
}

void WingsUp(const QImage& source, QImage& destination, int period, double scale) {
    Wings(source, destination, period, scale, TWings::Up);
}

void WingsFold(const QImage& source, QImage& destination, int period, double scale) {
    Wings(source, destination, period, scale, TWings::Fold);
}

void WingsTouche(const QImage& source, QImage& destination, int period, double scale) {
    Wings(source, destination, period, scale, TWings::Touche);
}

void WingsFlyer(const QImage& source, QImage& destination, int period, double scale) {
    Wings(source, destination, period, scale, TWings::Flyer);
}

void WingsFlipover(const QImage& source, QImage& destination, int period, double scale) {
    Wings(source, destination, period, scale, TWings::Flipover);
}

void WingsWavy(const QImage& source, QImage& destination, int period, double scale) {
    Wings(source, destination, period, scale, TWings::Wavy);
}

void Squeeze(const QImage& source, QImage& destination, int amount, int style) {
    const QImage s = Source(source);
    if (s.isNull() || style < SqueezeHorizontal || style > SqueezeDoubleRound)
        return;
    PrepareDestination(destination, s.size());
    const TConstPixels in = ConstPixels(s);
    const TPixels out = Pixels(destination);
    const int w = in.Width, h = in.Height;
    const qint64 a = std::min(amount, w / 2), m = w / 2;
    ParallelFor(std::min(h, out.Height), out.Width, [&](int begin, int end) {
        for (int y = begin; y < end; ++y) {
            qint64 k = 0, left = 0, right = 0;
            switch (style) {
            case SqueezeHorizontal:
                k = a;
                break;
            case SqueezeTop:
                k = Nearest(double(a * (h - y - 1)) / h);
                break;
            case SqueezeBottom:
                k = Nearest(double(a * y) / h);
                break;
            case SqueezeDiamond:
                k = Nearest(a * std::abs(std::cos(RowAngle(y, h, 1.0))));
                break;
            case SqueezeWaste:
            case SqueezeRound:
                k = Nearest(a * std::abs(std::sin(RowAngle(y, h, 1.0))));
                break;
            case SqueezeDoubleRound:
                k = Nearest(a * std::abs(std::sin(RowAngle(y, h, 2.0))));
                break;
            }
            if (style >= SqueezeRound) {
                left = m - k;
                right = m + k;
            } else {
                left = k;
                right = w - k;
            }
            StretchRow(in.Row(y), w, out.Row(y), out.Width, left, right);
        }
    });
}

void Split(const QImage& source, QImage& destination, int amount, int style) {
    const QImage s = Source(source);
    if (s.isNull())
        return;
    PrepareDestination(destination, s.size());
    const TConstPixels in = ConstPixels(s);
    const TPixels out = Pixels(destination);
    const int rows = std::min(in.Height, out.Height);
    if (amount == 0) {
        const size_t bytes = size_t(3) * std::min(in.Width, out.Width);
        for (int y = 0; y < rows; ++y)
            std::memcpy(out.Row(y), in.Row(y), bytes);
        return;
    }
    if (style != SplitRound && style != SplitWaste)
        return;
    const int w = in.Width, h = in.Height, half = w / 2;
    const qint64 a = std::min(amount, half);
    ParallelFor(rows, out.Width, [&](int begin, int end) {
        for (int y = begin; y < end; ++y) {
            const double angle = RowAngle(y, h, 1.0);
            const double factor = style == SplitRound ? std::sin(angle) : std::cos(angle);
            const qint64 k = Nearest(a * std::abs(factor));
            StretchRow(in.Row(y), half, out.Row(y), out.Width, 0, k);
            StretchRow(in.Row(y) + 3 * half, half, out.Row(y), out.Width, w - k - 1, w - 1);
        }
    });
}

void Shear(QImage& bitmap, int amount) {
    if (!Prepare(bitmap))
        return;
    const TConstPixels in = ConstPixels(bitmap);
    QImage sheared = WhiteBitmap(bitmap.size());
    const TPixels out = Pixels(sheared);
    const double p = amount / 100.0;
    const double k = in.Width / (p * in.Height + in.Width);
    ParallelFor(in.Height, in.Width, [&](int begin, int end) {
        for (int y = begin; y < end; ++y) {
            const qint64 o = Nearest(p * y);
            const uchar* from = in.Row(y);
            uchar* to = out.Row(y);
            for (int x = 0; x < in.Width; ++x) {
                // A tall picture can round its last pixel onto column W; such targets, like
                // every target of a negative slant beyond the frame, are dropped.
                const qint64 column = Nearest(double(o + x) * k);
                if (column >= 0 && column < in.Width)
                    std::memcpy(to + 3 * column, from + 3 * x, 3);
            }
        }
    });
    bitmap = std::move(sheared);
}

void Plasma(const QImage& source1, const QImage& source2, QImage& destination, double turbulence,
            double scale) {
    const QImage first = Source(source1);
    const QImage second = Source(source2);
    if (first.isNull())
        return;
    PrepareDestination(destination, first.size());
    if (!(scale >= 10.0))
        scale = 10.0;
    if (!(turbulence >= 5.0))
        turbulence = 5.0;
    qint64 ox[256], oy[256];
    for (int i = 0; i < 256; ++i) {
        ox[i] = Nearest(-turbulence * std::sin(i / scale));
        oy[i] = Nearest(turbulence * std::cos(i / scale));
    }
    const TConstPixels a = ConstPixels(first);
    const TConstPixels b = ConstPixels(second);
    const TPixels out = Pixels(destination);
    // Pixels that source2 does not cover have nothing to steer them and keep their value.
    const int w = std::min({a.Width, b.Width, out.Width});
    const int h = std::min({a.Height, b.Height, out.Height});
    ParallelFor(h, w, [&](int begin, int end) {
        for (int y = begin; y < end; ++y) {
            const uchar* steer = b.Row(y);
            uchar* o = out.Row(y);
            for (int x = 0; x < w; ++x) {
                const int i = steer[3 * x];
                const qint64 nx = x + ox[i], ny = y + oy[i];
                if (nx >= 0 && nx < a.Width && ny >= 0 && ny < a.Height)
                    std::memcpy(o + 3 * x, a.At(int(nx), int(ny)), 3);
            }
        }
    });
}

void RippleTooth(QImage& bitmap, int amount) {
    if (!Prepare(bitmap))
        return;
    const TPixels p = Pixels(bitmap);
    const int a = std::min(p.Height / 2, amount);
    if (a <= 0)
        return; // every shift would be 0
    // Column x moves down by x mod (A + 1); rows taken bottom to top are read before
    // anything lands on them.
    std::vector<int> shift(p.Width);
    for (int x = 0; x < p.Width; ++x)
        shift[x] = x % (a + 1);
    ParallelFor(p.Width, p.Height, [&](int begin, int end) {
        for (int y = p.Height - 1 - a; y >= 0; --y)
            for (int x = begin; x < end; ++x)
                CopyPixel(p.At(x, y + shift[x]), p.At(x, y));
    });
}

void RippleRandom(QImage& bitmap, int amount) {
    TSharedRandom shared;
    TRandom random(quint32(std::chrono::system_clock::now().time_since_epoch().count()));
    if (Prepare(bitmap)) {
        const TPixels p = Pixels(bitmap);
        const int a = std::max(0, std::min(p.Height / 2, amount));
        // The shifts differ from pixel to pixel and the upper row wins a shared target,
        // so this runs in order, drawing after every pixel.
        for (int y = p.Height - 1 - a; y >= 0; --y) {
            int k = 0;
            for (int x = 0; x < p.Width; ++x) {
                CopyPixel(p.At(x, y + k), p.At(x, y));
                k = random.Next(a);
            }
        }
    }
    shared.Store(random);
}

void HeightMap(QImage& bitmap, int amount) {
    if (amount <= 0 || !Prepare(bitmap))
        return;
    const TPixels p = Pixels(bitmap);
    std::vector<qint64> rise(766);
    for (int sum = 0; sum < 766; ++sum)
        rise[sum] = Nearest(((sum / 3.0) / 255.0) * amount);
    // Pixels only rise, within their column: visiting rows top to bottom, a row is read
    // before anything lands on it, and the lowest pixel reaching a target wins.
    ParallelFor(p.Width, p.Height, [&](int begin, int end) {
        for (int y = 0; y < p.Height; ++y) {
            for (int x = begin; x < end; ++x) {
                const uchar* from = p.At(x, y);
                const qint64 target = y - rise[from[0] + from[1] + from[2]];
                if (target >= 0)
                    CopyPixel(p.At(x, int(target)), from);
            }
        }
    });
}

void TexturizeTile(QImage& bitmap, int size) {
    Texturize(bitmap, size, false);
}

void TexturizeOverlap(QImage& bitmap, int size) {
    Texturize(bitmap, size, true);
}

} // namespace Lumerix::EffectFilters
