#include "YuvFrames.h"

#include <algorithm>

// Every frame of a video passes through here, so the loops are written for the vectoriser
// (this file is built with -O3) and, on x86-64, cloned for AVX2 beside the baseline.
// swscale takes a general scaling path for 32-bit input at equal size, about ten times slower.
#if defined(__x86_64__) && defined(__GNUC__)
#define LUMERIX_CLONED __attribute__((target_clones("avx2", "default")))
#else
#define LUMERIX_CLONED
#endif

namespace Lumerix::YuvFrames {

namespace {

static_assert(Q_BYTE_ORDER == Q_LITTLE_ENDIAN, "32-bit pixels are read as B, G, R, X bytes");

constexpr int Shift = 16;
constexpr double Luma = 219.0 / 255 * (1 << Shift);
constexpr double Chroma = 224.0 / 255 * (1 << Shift);
constexpr int YR = int(0.2126 * Luma + 0.5), YG = int(0.7152 * Luma + 0.5),
              YB = int(0.0722 * Luma + 0.5);
constexpr int UR = -int(0.1146 * Chroma + 0.5), UG = -int(0.3854 * Chroma + 0.5),
              UB = int(0.5 * Chroma + 0.5);
constexpr int VR = int(0.5 * Chroma + 0.5), VG = -int(0.4542 * Chroma + 0.5),
              VB = -int(0.0458 * Chroma + 0.5);
constexpr int YOffset = (16 << Shift) + (1 << (Shift - 1));
// Chroma sums four pixels: the offset and the rounding are four times as large.
constexpr int COffset = (4 * 128 << Shift) + (1 << (Shift + 1));

inline uint8_t Y(int r, int g, int b) {
    return uint8_t((YR * r + YG * g + YB * b + YOffset) >> Shift);
}
inline uint8_t U(int rs, int gs, int bs) {
    return uint8_t((UR * rs + UG * gs + UB * bs + COffset) >> (Shift + 2));
}
inline uint8_t V(int rs, int gs, int bs) {
    return uint8_t((VR * rs + VG * gs + VB * bs + COffset) >> (Shift + 2));
}

// One pair of rows of 0xXXRRGGBB pixels; `width` is even.
LUMERIX_CLONED void Rows32(const uint32_t* a, const uint32_t* b, int width, uint8_t* ya,
                           uint8_t* yb, uint8_t* u, uint8_t* v) {
    for (int x = 0; x < width; ++x) {
        const uint32_t p = a[x];
        const uint32_t q = b[x];
        ya[x] = Y(int((p >> 16) & 255), int((p >> 8) & 255), int(p & 255));
        yb[x] = Y(int((q >> 16) & 255), int((q >> 8) & 255), int(q & 255));
    }
    for (int x = 0; x < width / 2; ++x) {
        const uint32_t p0 = a[2 * x], p1 = a[2 * x + 1], q0 = b[2 * x], q1 = b[2 * x + 1];
        const int bs = int(p0 & 255) + int(p1 & 255) + int(q0 & 255) + int(q1 & 255);
        const int gs = int((p0 >> 8) & 255) + int((p1 >> 8) & 255) + int((q0 >> 8) & 255) +
                       int((q1 >> 8) & 255);
        const int rs = int((p0 >> 16) & 255) + int((p1 >> 16) & 255) + int((q0 >> 16) & 255) +
                       int((q1 >> 16) & 255);
        u[x] = U(rs, gs, bs);
        v[x] = V(rs, gs, bs);
    }
}

// One pair of rows of B, G, R bytes; `width` is even.
LUMERIX_CLONED void Rows24(const uint8_t* a, const uint8_t* b, int width, uint8_t* ya, uint8_t* yb,
                           uint8_t* u, uint8_t* v) {
    for (int x = 0; x < width; ++x) {
        ya[x] = Y(a[3 * x + 2], a[3 * x + 1], a[3 * x]);
        yb[x] = Y(b[3 * x + 2], b[3 * x + 1], b[3 * x]);
    }
    for (int x = 0; x < width / 2; ++x) {
        const uint8_t* p = a + 6 * x;
        const uint8_t* q = b + 6 * x;
        const int bs = p[0] + p[3] + q[0] + q[3];
        const int gs = p[1] + p[4] + q[1] + q[4];
        const int rs = p[2] + p[5] + q[2] + q[5];
        u[x] = U(rs, gs, bs);
        v[x] = V(rs, gs, bs);
    }
}

} // namespace

void FromImage(const QImage& source, uint8_t* const planes[3], const int strides[3]) {
    QImage image = source;
    const bool packed = image.format() == QImage::Format_BGR888;
    if (!packed && image.format() != QImage::Format_RGB32 &&
        image.format() != QImage::Format_ARGB32)
        image = image.convertToFormat(QImage::Format_RGB32);
    // 4:2:0 frames have even sizes; H.264 refuses others.
    Q_ASSERT(image.width() % 2 == 0 && image.height() % 2 == 0);
    const int width = image.width();
    for (int row = 0; row + 1 < image.height(); row += 2) {
        uint8_t* ya = planes[0] + qsizetype(row) * strides[0];
        uint8_t* yb = ya + strides[0];
        uint8_t* u = planes[1] + qsizetype(row / 2) * strides[1];
        uint8_t* v = planes[2] + qsizetype(row / 2) * strides[2];
        if (packed)
            Rows24(image.constScanLine(row), image.constScanLine(row + 1), width, ya, yb, u, v);
        else
            Rows32(reinterpret_cast<const uint32_t*>(image.constScanLine(row)),
                   reinterpret_cast<const uint32_t*>(image.constScanLine(row + 1)), width, ya, yb,
                   u, v);
    }
}

} // namespace Lumerix::YuvFrames
