#pragma once

// Generated pictures and pixel comparisons for the effect filter tests.

#include <QImage>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <ostream>

namespace Lumerix::EffectFilterTests {

struct TBgr {
    int B = 0, G = 0, R = 0;
    bool operator==(const TBgr&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const TBgr& p) {
    return out << "(b " << p.B << ", g " << p.G << ", r " << p.R << ")";
}

inline TBgr At(const QImage& image, int x, int y) {
    const uchar* p = image.constScanLine(y) + 3 * x;
    return {p[0], p[1], p[2]};
}

inline void Set(QImage& image, int x, int y, TBgr colour) {
    uchar* p = image.scanLine(y) + 3 * x;
    p[0] = uchar(colour.B);
    p[1] = uchar(colour.G);
    p[2] = uchar(colour.R);
}

inline QImage Bitmap(int w, int h, const std::function<TBgr(int, int)>& colour) {
    QImage image(w, h, QImage::Format_BGR888);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            Set(image, x, y, colour(x, y));
    return image;
}

inline QImage Filled(int w, int h, TBgr colour) {
    return Bitmap(w, h, [=](int, int) { return colour; });
}

/// Soft colour ramps with a little hashed grain: every channel differs from its neighbours,
/// and no two channels are alike, so swaps, shifts and stray writes show.
inline QImage Photo(int w, int h, unsigned seed = 1) {
    return Bitmap(w, h, [=](int x, int y) {
        unsigned n = unsigned(x) * 73856093u ^ unsigned(y) * 19349663u ^ seed * 83492791u;
        n = (n ^ (n >> 13)) * 1274126177u;
        const int grain = int((n >> 24) % 24);
        return TBgr{(x * 7 + y * 3 + grain + int(seed) * 40) % 256,
                    (x * 2 + y * 9 + grain * 2) % 256, (255 - (x * 5 + y * 4) % 256 + grain) % 256};
    });
}

/// Pixels equal and sizes equal (the padding at the end of each row is not compared).
inline ::testing::AssertionResult SameBitmap(const QImage& actual, const QImage& expected) {
    if (actual.size() != expected.size())
        return ::testing::AssertionFailure()
               << "size " << actual.width() << " x " << actual.height() << ", expected "
               << expected.width() << " x " << expected.height();
    if (actual.format() != QImage::Format_BGR888 || expected.format() != QImage::Format_BGR888)
        return ::testing::AssertionFailure() << "not a 24-bit bitmap";
    int wrong = 0;
    ::testing::AssertionResult result = ::testing::AssertionSuccess();
    for (int y = 0; y < actual.height(); ++y)
        for (int x = 0; x < actual.width(); ++x)
            if (At(actual, x, y) != At(expected, x, y) && wrong++ < 5) {
                if (wrong == 1)
                    result = ::testing::AssertionFailure();
                result << "(" << x << ", " << y << "): " << At(actual, x, y) << " expected "
                       << At(expected, x, y) << "; ";
            }
    if (wrong > 0)
        result << wrong << " pixels differ";
    return result;
}

/// The largest channel difference between two pictures of one size.
inline int LargestDifference(const QImage& a, const QImage& b) {
    int largest = 0;
    for (int y = 0; y < a.height(); ++y) {
        const uchar* p = a.constScanLine(y);
        const uchar* q = b.constScanLine(y);
        for (int i = 0; i < 3 * a.width(); ++i)
            largest = std::max(largest, std::abs(p[i] - q[i]));
    }
    return largest;
}

} // namespace Lumerix::EffectFilterTests
