#include "editing/EffectFilters.h"

#include "editing/EffectFiltersSupport.h"
#include "shell/Jobs.h"

#include <QFuture>
#include <QList>
#include <QThread>
#include <QtConcurrent/QtConcurrentRun>

#include <atomic>
#include <cstring>
#include <numbers>

namespace Lumerix::EffectFilters {

namespace Detail {

bool Prepare(QImage& bitmap) {
    if (bitmap.isNull())
        return false;
    if (bitmap.format() != QImage::Format_BGR888)
        bitmap.convertTo(QImage::Format_BGR888);
    return !bitmap.isNull();
}

QImage Source(const QImage& source) {
    if (source.isNull() || source.format() == QImage::Format_BGR888)
        return source;
    return source.convertToFormat(QImage::Format_BGR888);
}

QImage WhiteBitmap(QSize size) {
    QImage image(size, QImage::Format_BGR888);
    image.fill(Qt::white);
    return image;
}

void PrepareDestination(QImage& destination, QSize size) {
    if (destination.isNull())
        destination = WhiteBitmap(size);
    else if (destination.format() != QImage::Format_BGR888)
        destination.convertTo(QImage::Format_BGR888);
}

void ParallelFor(int count, qint64 costPerItem, const std::function<void(int, int)>& body) {
    if (count <= 0)
        return;
    // Below this many pixel visits, handing work to other threads costs more than it saves
    // (the dialog's 199-pixel preview stays on the calling thread).
    constexpr qint64 minimumParallelWork = 1 << 17;
    const int threads = std::min(QThread::idealThreadCount(), count);
    if (threads <= 1 || qint64(count) * std::max<qint64>(costPerItem, 1) < minimumParallelWork) {
        body(0, count);
        return;
    }
    // A few slices per thread even out rows of unequal cost; slices are taken in turn.
    const int slices = std::min(count, threads * 4);
    std::atomic<int> next{0};
    auto work = [&] {
        for (int slice = next.fetch_add(1); slice < slices; slice = next.fetch_add(1))
            body(int(qint64(count) * slice / slices), int(qint64(count) * (slice + 1) / slices));
    };
    QList<QFuture<void>> helpers;
    for (int t = 1; t < threads; ++t)
        helpers.append(QtConcurrent::run(Jobs::Pool(), work));
    work();
    for (QFuture<void>& helper : helpers)
        helper.waitForFinished();
}

void StretchRow(const uchar* source, int count, uchar* row, int width, qint64 left, qint64 right) {
    const qint64 span = right - left;
    if (span <= 0 || count <= 0)
        return;
    const qint64 first = std::max<qint64>(0, -left);
    const qint64 last = std::min<qint64>(span, qint64(width) - left);
    // Each target pixel takes the source pixel under its centre.
    for (qint64 i = first; i < last; ++i) {
        const qint64 from = ((2 * i + 1) * count) / (2 * span);
        std::memcpy(row + 3 * (left + i), source + 3 * from, 3);
    }
}

TRandom TRandom::Skipped(quint64 count) const {
    // Composes the affine step x → a·x + c with itself by squaring.
    quint32 totalMultiplier = 1, totalIncrement = 0;
    quint32 stepMultiplier = Multiplier, stepIncrement = Increment;
    while (count != 0) {
        if (count & 1) {
            totalMultiplier *= stepMultiplier;
            totalIncrement = totalIncrement * stepMultiplier + stepIncrement;
        }
        stepIncrement = (stepMultiplier + 1) * stepIncrement;
        stepMultiplier *= stepMultiplier;
        count >>= 1;
    }
    return TRandom(totalMultiplier * State + totalIncrement);
}

namespace {

std::mutex RandomMutex;
quint32 RandomState = 0;

} // namespace

TSharedRandom::TSharedRandom() : Lock(RandomMutex) {}

TSharedRandom::~TSharedRandom() = default;

TRandom TSharedRandom::Load() const {
    return TRandom(RandomState);
}

void TSharedRandom::Store(TRandom random) {
    RandomState = random.Seed();
}

} // namespace Detail

using namespace Detail;

void SeedRandom(quint32 seed) {
    TSharedRandom shared;
    shared.Store(TRandom(seed));
}

const std::array<quint8, 256>& LightTable() {
    static const std::array<quint8, 256> table = [] {
        std::array<quint8, 256> t{};
        for (int i = 0; i < 256; ++i)
            t[i] = quint8(Nearest(255.0 * std::sin(std::numbers::pi / 2.0 * i / 255.0)));
        return t;
    }();
    return table;
}

QRgb PaletteColor(int index) {
    static constexpr QRgb palette[16] = {
        qRgb(0, 0, 0),       qRgb(0, 0, 128),   qRgb(0, 128, 0),   qRgb(0, 255, 255),
        qRgb(255, 0, 0),     qRgb(128, 0, 128), qRgb(128, 0, 0),   qRgb(192, 192, 192),
        qRgb(128, 128, 128), qRgb(0, 0, 255),   qRgb(0, 255, 0),   qRgb(128, 128, 0),
        qRgb(255, 0, 255),   qRgb(0, 128, 128), qRgb(255, 255, 0), qRgb(255, 255, 255),
    };
    return palette[std::clamp(index, 0, 15)];
}

void Fractal(QImage& bitmap, int factor, double xl, double yl, double xr, double yr,
             bool mandelbrot) {
    if (!Prepare(bitmap))
        return;
    // Points inside the set iterate `factor` times; the ceiling keeps absurd factors from
    // running for hours.
    const int limit = std::clamp(factor, 16, 4096);
    const TPixels out = Pixels(bitmap);
    const double dx = (xr - xl) / out.Width;
    const double dy = (yr - yl) / out.Height;
    const double perColour = limit / 16.0;
    ParallelFor(out.Height, qint64(out.Width) * 8, [&](int begin, int end) {
        for (int y = begin; y < end; ++y) {
            uchar* p = out.Row(y);
            for (int x = 0; x < out.Width; ++x, p += 3) {
                double zr = xl + x * dx, zi = yl + y * dy;
                double cr = 0.0, ci = 1.0; // the Julia constant
                if (mandelbrot) {
                    cr = zr;
                    ci = zi;
                    zr = zi = 0.0;
                }
                int n = 0;
                double s = 0.0;
                while (n <= limit && s < 4.0) {
                    s = zr * zr + zi * zi;
                    const double nextR = zr * zr - zi * zi + cr;
                    zi = 2.0 * zr * zi + ci;
                    zr = nextR;
                    ++n;
                }
                --n;
                // Limits that are no multiple of 16 can round up to 16; the last colour
                // stands in for it.
                const int index =
                    n == limit ? 0 : int(std::min<qint64>(Nearest(n / perColour), 15));
                const QRgb colour = PaletteColor(index);
                p[0] = uchar(qBlue(colour));
                p[1] = uchar(qGreen(colour));
                p[2] = uchar(qRed(colour));
            }
        }
    });
}

} // namespace Lumerix::EffectFilters
