#pragma once

// Shared helpers of the effect filter sources; not part of the filter interface.

#include <QImage>
#include <QSize>
#include <QtGlobal>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <mutex>

namespace Lumerix::EffectFilters::Detail {

inline int ClampByte(qint64 v) {
    return v < 0 ? 0 : v > 255 ? 255 : int(v);
}

inline qint64 ClampRange(qint64 v, qint64 lo, qint64 hi) {
    return v > hi ? hi : v < lo ? lo : v;
}

/// Rounds to the nearest integer, halves to the even neighbour (the default rounding mode),
/// with one conversion instruction: std::nearbyint saves and restores the floating-point
/// environment on every call, which costs more than the rest of a lens pixel. `v` must lie
/// within the 64-bit range.
inline qint64 RoundEven(double v) {
#if defined(__SSE2__)
    return _mm_cvtsd_si64(_mm_set_sd(v));
#else
    return std::llrint(v);
#endif
}

inline int RoundEven(float v) {
#if defined(__SSE2__)
    return _mm_cvtss_si32(_mm_set_ss(v));
#else
    return int(std::lrint(v));
#endif
}

/// Nearest integer, halves to the even neighbour, as an integer that cannot overflow: NaN
/// gives 0 and huge values saturate far outside any bitmap.
inline qint64 Nearest(double v) {
    constexpr double limit = 4.0e18;
    if (!(v == v))
        return 0;
    if (v > limit)
        return qint64(limit);
    if (v < -limit)
        return -qint64(limit);
    return RoundEven(v);
}

/// Row access to a 24-bit bitmap: one pointer per scan line, pixels as byte triples.
struct TPixels {
    uchar* Bits = nullptr;
    qsizetype Stride = 0;
    int Width = 0;
    int Height = 0;
    uchar* Row(int y) const { return Bits + y * Stride; }
    uchar* At(int x, int y) const { return Bits + y * Stride + 3 * x; }
};

struct TConstPixels {
    const uchar* Bits = nullptr;
    qsizetype Stride = 0;
    int Width = 0;
    int Height = 0;
    const uchar* Row(int y) const { return Bits + y * Stride; }
    const uchar* At(int x, int y) const { return Bits + y * Stride + 3 * x; }
};

/// Detaches `image` once here, so that worker threads only touch raw rows.
inline TPixels Pixels(QImage& image) {
    return {image.bits(), image.bytesPerLine(), image.width(), image.height()};
}

inline TConstPixels ConstPixels(const QImage& image) {
    return {image.constBits(), image.bytesPerLine(), image.width(), image.height()};
}

/// Copies one pixel; `to` may be `from`.
inline void CopyPixel(uchar* to, const uchar* from) {
    to[0] = from[0];
    to[1] = from[1];
    to[2] = from[2];
}

/// Puts an in-place bitmap into the 24-bit format; false for a null bitmap.
bool Prepare(QImage& bitmap);
/// The source in the 24-bit format: a shallow copy when it already is, so that writing a
/// destination that shares its data detaches the destination and leaves this copy intact.
QImage Source(const QImage& source);
/// Gives a null destination `size`, filled white, and puts any other into the 24-bit format.
void PrepareDestination(QImage& destination, QSize size);
/// A new white 24-bit bitmap.
QImage WhiteBitmap(QSize size);

/// Runs body(begin, end) over slices of [0, count), on the global thread pool when the work
/// (count × costPerItem, in pixel visits) is large enough to pay for it; the slices are
/// disjoint and together cover the range.
void ParallelFor(int count, qint64 costPerItem, const std::function<void(int, int)>& body);

/// Nearest-neighbour stretch of `count` pixels into the span [left, right) of a row that is
/// `width` pixels wide; the span may reach beyond the row and is clipped to it.
void StretchRow(const uchar* source, int count, uchar* row, int width, qint64 left, qint64 right);

/// The process-wide pseudo-random generator: a 32-bit linear congruential sequence whose
/// draws can be skipped ahead, so rows can draw in parallel yet see the numbers they would
/// have seen one after another.
class TRandom {
public:
    explicit TRandom(quint32 seed) : State(seed) {}
    /// 0 ≤ r < n; 0 when n ≤ 0.
    int Next(int n) {
        State = State * Multiplier + Increment;
        return n <= 0 ? 0 : int((quint64(State) * quint32(n)) >> 32);
    }
    /// The generator `count` draws further on.
    TRandom Skipped(quint64 count) const;
    quint32 Seed() const { return State; }

    static constexpr quint32 Multiplier = 134775813u;
    static constexpr quint32 Increment = 1u;

private:
    quint32 State;
};

/// Locks the shared generator for one filter call and gives its state; the state written
/// back through `Store` is what the next caller finds.
class TSharedRandom {
public:
    TSharedRandom();
    ~TSharedRandom();
    TSharedRandom(const TSharedRandom&) = delete;
    TSharedRandom& operator=(const TSharedRandom&) = delete;
    TRandom Load() const;
    void Store(TRandom random);

private:
    std::unique_lock<std::mutex> Lock;
};

} // namespace Lumerix::EffectFilters::Detail
