// Neighbourhood filters, in place. Where a filter reads values it has already written, the
// visiting order is kept: rows run in parallel only where no row reads a result that another
// thread may not have written yet.

#include "editing/EffectFilters.h"

#include "editing/EffectFiltersSupport.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <atomic>
#include <cstring>
#include <vector>

namespace Lumerix::EffectFilters {

using namespace Detail;

namespace {

// Bounds the running time of absurd pass counts; far beyond anything visible.
constexpr int MaximumPasses = 256;

// One split-blur pass over row y: each channel becomes the mean of the samples at
// (x ± d, y ± d), near edges the pixel itself or the mirrored far side.
void SplitBlurRow(const TPixels& p, int d, int y) {
    const int w = p.Width, h = p.Height;
    const int up = y - d < 0 ? y : y - d;
    // The far edge mirrors to H − y and W − x; a distance as large as the picture would name
    // row H or column W there, so those indices are clamped into the picture.
    const int down = y + d >= h ? int(ClampRange(h - y, 0, h - 1)) : y + d;
    uchar* out = p.Row(y);
    const uchar* above = p.Row(up);
    const uchar* below = p.Row(down);
    auto pixel = [&](int x) {
        const int l = 3 * (x - d < 0 ? x : x - d);
        const int r = 3 * (x + d >= w ? int(ClampRange(w - x, 0, w - 1)) : x + d);
        for (int c = 0; c < 3; ++c)
            out[3 * x + c] = uchar((above[l + c] + below[l + c] + above[r + c] + below[r + c]) / 4);
    };
    const int fastBegin = d, fastEnd = w - d;
    if (up == y || down == y || fastBegin >= fastEnd) {
        // This row reads itself: left to right, so samples on the left are already blurred.
        for (int x = 0; x < w; ++x)
            pixel(x);
        return;
    }
    for (int x = 0; x < fastBegin; ++x)
        pixel(x);
    // Between the edges the four samples lie on two other rows, at ±3d bytes.
    uchar* __restrict o = out;
    const uchar* __restrict a = above;
    const uchar* __restrict b = below;
    const int shift = 3 * d;
    int i = 3 * fastBegin;
#if defined(__SSE2__)
    // Sixteen channel bytes at a time, summed in 16 bits.
    const __m128i zero = _mm_setzero_si128();
    for (; i + 16 <= 3 * fastEnd; i += 16) {
        auto load = [&](const uchar* p) {
            return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        };
        const __m128i p = load(a + i - shift), q = load(b + i - shift);
        const __m128i r = load(a + i + shift), t = load(b + i + shift);
        const __m128i low =
            _mm_add_epi16(_mm_add_epi16(_mm_unpacklo_epi8(p, zero), _mm_unpacklo_epi8(q, zero)),
                          _mm_add_epi16(_mm_unpacklo_epi8(r, zero), _mm_unpacklo_epi8(t, zero)));
        const __m128i high =
            _mm_add_epi16(_mm_add_epi16(_mm_unpackhi_epi8(p, zero), _mm_unpackhi_epi8(q, zero)),
                          _mm_add_epi16(_mm_unpackhi_epi8(r, zero), _mm_unpackhi_epi8(t, zero)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(o + i),
                         _mm_packus_epi16(_mm_srli_epi16(low, 2), _mm_srli_epi16(high, 2)));
    }
#endif
    for (; i < 3 * fastEnd; ++i)
        o[i] = uchar((a[i - shift] + b[i - shift] + a[i + shift] + b[i + shift]) >> 2);
    for (int x = fastEnd; x < w; ++x)
        pixel(x);
}

// Rows visit top to bottom and read the row d above (already blurred) and the row d below
// (not yet). Apart from the first and last d rows, which also read themselves or the mirrored
// top rows, row y therefore depends only on rows y ± d: the rows d apart form independent
// chains, which run in parallel, each top to bottom.
void SplitBlurPass(const TPixels& p, int d) {
    const int h = p.Height;
    if (h <= 2 * d) {
        for (int y = 0; y < h; ++y)
            SplitBlurRow(p, d, y);
        return;
    }
    for (int y = 0; y < d; ++y)
        SplitBlurRow(p, d, y);
    ParallelFor(d, qint64(h / d) * p.Width, [&](int begin, int end) {
        for (int chain = begin; chain < end; ++chain)
            for (int y = d + chain; y < h - d; y += d)
                SplitBlurRow(p, d, y);
    });
    for (int y = h - d; y < h; ++y)
        SplitBlurRow(p, d, y);
}

// Sums of three horizontal neighbours per channel, the edge pixels repeated outward.
void HorizontalSums(const uchar* row, int w, quint16* sums) {
    if (w == 1) {
        for (int c = 0; c < 3; ++c)
            sums[c] = quint16(3 * row[c]);
        return;
    }
    for (int c = 0; c < 3; ++c) {
        sums[c] = quint16(2 * row[c] + row[3 + c]);
        sums[3 * (w - 1) + c] = quint16(row[3 * (w - 2) + c] + 2 * row[3 * (w - 1) + c]);
    }
    int i = 3;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    for (; i + 16 <= 3 * (w - 1); i += 16) {
        const __m128i left = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + i - 3));
        const __m128i here = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + i));
        const __m128i right = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + i + 3));
        const __m128i low = _mm_add_epi16(
            _mm_add_epi16(_mm_unpacklo_epi8(left, zero), _mm_unpacklo_epi8(here, zero)),
            _mm_unpacklo_epi8(right, zero));
        const __m128i high = _mm_add_epi16(
            _mm_add_epi16(_mm_unpackhi_epi8(left, zero), _mm_unpackhi_epi8(here, zero)),
            _mm_unpackhi_epi8(right, zero));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(sums + i), low);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(sums + i + 8), high);
    }
#endif
    for (; i < 3 * (w - 1); ++i)
        sums[i] = quint16(row[i - 3] + row[i] + row[i + 3]);
}

// out = (above + here + below + 4) div 9 per channel byte; (s + 4) div 9 is computed as a
// multiply and shift, exact for every sum of nine bytes.
void VerticalMeans(const quint16* above, const quint16* here, const quint16* below, size_t count,
                   uchar* out) {
    size_t i = 0;
#if defined(__SSE2__)
    const __m128i four = _mm_set1_epi16(4), ninth = _mm_set1_epi16(7282);
    for (; i + 16 <= count; i += 16) {
        auto mean = [&](size_t at) {
            auto load = [&](const quint16* p) {
                return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + at));
            };
            const __m128i sum = _mm_add_epi16(_mm_add_epi16(load(above), load(here)),
                                              _mm_add_epi16(load(below), four));
            return _mm_mulhi_epu16(sum, ninth);
        };
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i),
                         _mm_packus_epi16(mean(i), mean(i + 8)));
    }
#endif
    for (; i < count; ++i)
        out[i] = uchar((quint32(above[i] + here[i] + below[i] + 4) * 7282u) >> 16);
}

// One 3 × 3 mean from `from` into `to`; true when some byte changed.
bool SmoothPass(const TConstPixels& from, const TPixels& to) {
    const int w = from.Width, h = from.Height;
    std::atomic<bool> changed{false};
    ParallelFor(h, qint64(w) * 4, [&](int begin, int end) {
        const size_t bytes = size_t(3) * w;
        std::vector<quint16> buffers(3 * bytes);
        quint16* above = buffers.data();
        quint16* here = above + bytes;
        quint16* below = here + bytes;
        HorizontalSums(from.Row(std::max(begin - 1, 0)), w, above);
        HorizontalSums(from.Row(begin), w, here);
        HorizontalSums(from.Row(std::min(begin + 1, h - 1)), w, below);
        bool any = false;
        for (int y = begin; y < end; ++y) {
            uchar* out = to.Row(y);
            VerticalMeans(above, here, below, bytes, out);
            any = any || std::memcmp(out, from.Row(y), bytes) != 0;
            std::swap(above, here);
            std::swap(here, below);
            HorizontalSums(from.Row(std::min(y + 2, h - 1)), w, below);
        }
        if (any)
            changed = true;
    });
    return changed;
}

} // namespace

void SplitBlur(QImage& bitmap, int distance) {
    if (distance <= 0 || !Prepare(bitmap))
        return;
    // Every distance from the larger side on reaches past all edges and acts the same.
    const int d = std::min(distance, std::max(bitmap.width(), bitmap.height()));
    SplitBlurPass(Pixels(bitmap), d);
}

void GaussianBlur(QImage& bitmap, int passes) {
    if (passes < 0 || !Prepare(bitmap))
        return;
    const TPixels pixels = Pixels(bitmap);
    const int d = std::min(3, std::max(pixels.Width, pixels.Height));
    const int count = std::min(passes, MaximumPasses - 1) + 1;
    for (int pass = 0; pass < count; ++pass)
        SplitBlurPass(pixels, d);
}

void Smooth(QImage& bitmap, int amount) {
    if (amount <= 0 || !Prepare(bitmap))
        return;
    QImage front = std::move(bitmap);
    QImage back(front.size(), QImage::Format_BGR888);
    for (int pass = 0; pass < std::min(amount, MaximumPasses); ++pass) {
        const TPixels out = Pixels(back);
        const bool changed = SmoothPass(ConstPixels(front), out);
        std::swap(front, back);
        // A pass that changes nothing has reached a picture every further pass keeps.
        if (!changed)
            break;
    }
    bitmap = std::move(front);
}

void Emboss(QImage& bitmap) {
    if (!Prepare(bitmap))
        return;
    const TPixels p = Pixels(bitmap);
    const int rows = p.Height - 1; // the last row keeps its values
    const int bytes = 3 * (p.Width - 3);
    if (rows <= 0 || bytes <= 0)
        return;
    // Row y reads row y + 1 before that row changes. Rows run in bands; the first row of
    // every band is saved first, for the band above it.
    const int bands = std::min(rows, 16);
    std::vector<int> first(bands + 1);
    for (int b = 0; b <= bands; ++b)
        first[b] = int(qint64(rows) * b / bands);
    std::vector<uchar> saved(size_t(bands) * 3 * p.Width);
    for (int b = 1; b < bands; ++b)
        std::memcpy(&saved[size_t(b) * 3 * p.Width], p.Row(first[b]), size_t(3) * p.Width);
    ParallelFor(bands, qint64(rows / bands) * p.Width, [&](int begin, int end) {
        for (int b = begin; b < end; ++b) {
            for (int y = first[b]; y < first[b + 1]; ++y) {
                const bool nextIsSaved = y + 1 == first[b + 1] && b + 1 < bands;
                const uchar* next =
                    nextIsSaved ? &saved[size_t(b + 1) * 3 * p.Width] : p.Row(y + 1);
                uchar* out = p.Row(y);
                for (int i = 0; i < bytes; ++i)
                    out[i] = uchar((out[i] + 255 - next[i + 9]) / 2);
            }
        }
    });
}

void Mosaic(QImage& bitmap, int size) {
    if (size <= 1 || !Prepare(bitmap))
        return;
    const TPixels p = Pixels(bitmap);
    const int s = std::min(size, std::max(p.Width, p.Height));
    // Every pixel reads only the top-left pixels of the blocks, which never change.
    ParallelFor(p.Height, p.Width, [&](int begin, int end) {
        for (int y = begin; y < end; ++y) {
            const int top = y - y % s;
            const uchar* corners = p.Row(top);
            uchar* out = p.Row(y);
            for (int left = 0; left < p.Width; left += s) {
                const uchar* colour = corners + 3 * left;
                const int last = std::min(left + s, p.Width);
                for (int x = y == top ? left + 1 : left; x < last; ++x)
                    std::memcpy(out + 3 * x, colour, 3);
            }
        }
    });
}

void Triangles(QImage& bitmap, int size) {
    if (!Prepare(bitmap))
        return;
    const TPixels p = Pixels(bitmap);
    qint64 s = std::max(size, 5);
    s = 2 * (s / 2) + 1; // odd
    const qint64 half = s / 2;
    ParallelFor(p.Height, p.Width, [&](int begin, int end) {
        for (int y = begin; y < end; ++y) {
            qint64 t = y % (s - 1);
            if (t > half)
                t = 2 * half - t;
            if (t == 0)
                t = s;
            const qint64 u = std::abs(half - y % s) + half;
            uchar* row = p.Row(y);
            uchar colour[3];
            std::memcpy(colour, row, 3);
            // x mod t and x mod u, counted along.
            qint64 byT = 0, byU = 0;
            for (int x = 0; x < p.Width; ++x) {
                if (byT == 0 || byU == 1)
                    std::memcpy(colour, row + 3 * x, 3);
                std::memcpy(row + 3 * x, colour, 3);
                if (++byT == t)
                    byT = 0;
                if (++byU == u)
                    byU = 0;
            }
        }
    });
}

void Seamless(QImage& bitmap, int parts) {
    if (parts < 1 || !Prepare(bitmap))
        return;
    const TPixels p = Pixels(bitmap);
    const int w = p.Width, h = p.Height;
    const size_t bytes = size_t(3) * w;
    // One part would blend toward row H, below the picture; the bottom row stands in for it.
    const int yr = std::min(h / parts, h - 1);
    const int xr = w / parts;
    if (h > 1)
        std::memcpy(p.Row(0), p.Row(h - 1), bytes);
    // Rows 1 .. yr − 1 fade from the top row into row yr.
    const uchar* top = p.Row(0);
    const uchar* target = p.Row(std::max(yr, 0));
    ParallelFor(std::max(yr - 1, 0), w, [&](int begin, int end) {
        for (int y = begin + 1; y < end + 1; ++y) {
            uchar* out = p.Row(y);
            for (size_t i = 0; i < bytes; ++i) {
                const int a = top[i], b = target[i];
                out[i] = uchar(Nearest(a + double(qint64(y) * (b - a)) / yr));
            }
        }
    });
    // In every row the right end fades from the left edge into column W − xr.
    ParallelFor(h, xr, [&](int begin, int end) {
        for (int y = begin; y < end; ++y) {
            uchar* row = p.Row(y);
            std::memcpy(row + 3 * (w - 1), row, 3);
            if (xr < 2)
                continue;
            uchar e[3], m[3];
            std::memcpy(e, row + 3 * (w - 1), 3);
            std::memcpy(m, row + 3 * (w - xr), 3);
            for (int f = 1; f < xr; ++f)
                for (int c = 0; c < 3; ++c)
                    row[3 * (w - 1 - f) + c] =
                        uchar(Nearest(e[c] + double(qint64(f) * (m[c] - e[c])) / xr));
        }
    });
}

} // namespace Lumerix::EffectFilters
