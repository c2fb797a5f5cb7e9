#include "imaging/TRasterImage.h"

#include "imaging/JpegMarkers.h"
#include "shell/TextCodec.h"

#include <QFile>
#include <QSaveFile>

#include <turbojpeg.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

namespace Lumerix {

namespace {

QString ErrorText(const QString& operation, const QString& file, const QString& cause) {
    if (file.isEmpty())
        return operation + QStringLiteral(": ") + cause;
    return operation + QStringLiteral(": ") + file + QStringLiteral(": ") + cause;
}

} // namespace

TImagingError::TImagingError(QString operation, QString file, QString cause)
    : std::runtime_error(ErrorText(operation, file, cause).toStdString()),
      OperationName(std::move(operation)), FileName(std::move(file)), CauseText(std::move(cause)) {}

QString TImagingError::Text() const {
    return ErrorText(OperationName, FileName, CauseText);
}

int JpegQuality(int qualityFactor) {
    const int factor = std::clamp(qualityFactor, 2, 255);
    if (factor <= 4)
        return 95 - (5 * (factor - 2) + 1) / 2; // 2 → 95, 3 → 92, 4 → 90
    // Linear from 90 at factor 4 down to 1 at factor 255.
    return int(std::lround(90.0 - (factor - 4) * 89.0 / 251.0));
}

namespace {

const QString NoPicture = QStringLiteral("no picture");

QString TooLarge(qint64 width, qint64 height) {
    return QStringLiteral("too large: %1 × %2").arg(width).arg(height);
}

void RequirePicture(const QImage& image, const char* operation) {
    if (image.isNull())
        throw TImagingError(QString::fromLatin1(operation), QString(), NoPicture);
}

// One TurboJPEG instance per thread and kind, made on first use. Thumbnails are made on all
// cores at once, and a fresh instance per picture would cost an allocation round each time.
// After a failure the instance is thrown away: libjpeg may be left inside a half-read header.
class TTurboHandle {
public:
    enum TKind { Decompress, Compress, Transform };
    explicit TTurboHandle(TKind kind) : Kind(kind) {}
    ~TTurboHandle() { Reset(); }
    TTurboHandle(const TTurboHandle&) = delete;
    TTurboHandle& operator=(const TTurboHandle&) = delete;

    tjhandle Get(const QString& operation, const QString& file) {
        if (!Handle)
            Handle = Kind == Compress    ? tjInitCompress()
                     : Kind == Transform ? tjInitTransform()
                                         : tjInitDecompress();
        if (!Handle)
            throw TImagingError(operation, file,
                                QStringLiteral("cannot start the JPEG codec: ") +
                                    QString::fromLocal8Bit(tjGetErrorStr2(nullptr)));
        return Handle;
    }
    void Reset() {
        if (Handle)
            tjDestroy(Handle);
        Handle = nullptr;
    }

private:
    TKind Kind;
    tjhandle Handle = nullptr;
};

TTurboHandle& Decompressor() {
    thread_local TTurboHandle handle(TTurboHandle::Decompress);
    return handle;
}

TTurboHandle& Compressor() {
    thread_local TTurboHandle handle(TTurboHandle::Compress);
    return handle;
}

TTurboHandle& Transformer() {
    thread_local TTurboHandle handle(TTurboHandle::Transform);
    return handle;
}

// The frame size from the first SOF marker, read without libjpeg; used to name the size of
// pictures that libjpeg itself refuses as too big. Invalid when there is no readable SOF.
QSize ScanFrameSize(const QByteArray& bytes) {
    const auto* b = reinterpret_cast<const unsigned char*>(bytes.constData());
    const qsizetype n = bytes.size();
    qsizetype i = 2;
    while (i + 4 <= n) {
        if (b[i] != 0xFF)
            return {};
        const unsigned char marker = b[i + 1];
        if (marker == 0xFF) {
            ++i; // fill byte
            continue;
        }
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8)) {
            i += 2;
            continue;
        }
        if (marker == 0xDA || marker == 0xD9)
            return {};
        const int length = (b[i + 2] << 8) | b[i + 3];
        const bool frame =
            marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame) {
            if (i + 9 > n)
                return {};
            return QSize((b[i + 7] << 8) | b[i + 8], (b[i + 5] << 8) | b[i + 6]);
        }
        if (length < 2)
            return {};
        i += 2 + length;
    }
    return {};
}

QString DecoderCause(tjhandle handle, const QByteArray& bytes) {
    const QString message = QString::fromLocal8Bit(tjGetErrorStr2(handle));
    // The data ends before the picture does: at the end of the bytes or before any scan at
    // all. "Premature end of data segment" is something else: damaged bytes that look like a
    // marker inside the scan.
    if (message.contains(QLatin1String("premature end of JPEG file"), Qt::CaseInsensitive) ||
        message.contains(QLatin1String("missing SOS marker")) ||
        message.contains(QLatin1String("contains no image")))
        return QStringLiteral("truncated");
    if (message.contains(QLatin1String("Maximum supported image dimension"))) {
        const QSize frame = ScanFrameSize(bytes);
        if (frame.isValid())
            return TooLarge(frame.width(), frame.height());
        return QStringLiteral("too large");
    }
    return QStringLiteral("damaged: ") + message;
}

bool LooksLikeJpeg(const QByteArray& bytes) {
    return bytes.size() >= 2 && uchar(bytes[0]) == 0xFF && uchar(bytes[1]) == 0xD8;
}

struct THeader {
    int Width = 0;
    int Height = 0;
    int Colorspace = TJCS_YCbCr;
};

THeader ReadHeader(const QByteArray& bytes, const QString& operation, const QString& name) {
    if (bytes.isEmpty())
        throw TImagingError(operation, name, QStringLiteral("not a JPEG file (empty file)"));
    if (!LooksLikeJpeg(bytes))
        throw TImagingError(operation, name, QStringLiteral("not a JPEG file"));
    TTurboHandle& decompressor = Decompressor();
    tjhandle handle = decompressor.Get(operation, name);
    THeader header;
    int subsampling = 0;
    if (tjDecompressHeader3(handle, reinterpret_cast<const unsigned char*>(bytes.constData()),
                            static_cast<unsigned long>(bytes.size()), &header.Width, &header.Height,
                            &subsampling, &header.Colorspace) != 0) {
        const QString cause = DecoderCause(handle, bytes);
        decompressor.Reset();
        throw TImagingError(operation, name, cause);
    }
    // A tables-only stream (nothing after the header) reports success without a size.
    if (header.Width < 1 || header.Height < 1)
        throw TImagingError(operation, name, QStringLiteral("truncated"));
    return header;
}

// Adobe-style CMYK as TurboJPEG hands it out: the components are stored inverted.
void CmykToBgr(const std::vector<unsigned char>& cmyk, QImage& image) {
    const int width = image.width();
    for (int y = 0; y < image.height(); ++y) {
        const unsigned char* in = cmyk.data() + std::size_t(y) * width * 4;
        uchar* out = image.scanLine(y);
        for (int x = 0; x < width; ++x, in += 4, out += 3) {
            const int k = in[3];
            out[0] = uchar((in[2] * k + 127) / 255);
            out[1] = uchar((in[1] * k + 127) / 255);
            out[2] = uchar((in[0] * k + 127) / 255);
        }
    }
}

// Decodes JPEG bytes into a BGR bitmap. With a valid `minimum` the largest DCT reduction whose
// result still covers `minimum` is used.
// The picture comes out upright: `minimum` and `stored` are upright sizes too. `warning` gets
// what the decoder complained about in a picture it could still decode.
QImage DecodeJpeg(const QByteArray& bytes, const QString& operation, const QString& name,
                  QSize minimum, QSize* stored = nullptr, QString* warning = nullptr) {
    const THeader header = ReadHeader(bytes, operation, name);
    const TOrientation orientation = JpegMarkers::Orientation(bytes);
    if (stored)
        *stored = JpegMarkers::UprightSize(QSize(header.Width, header.Height), orientation);
    if (minimum.isValid())
        minimum = JpegMarkers::UprightSize(minimum, orientation);
    // Checked on the stored size even for reduced decodes: a picture that cannot be loaded
    // whole gets no thumbnail either.
    if (qint64(header.Width) * header.Height > TRasterImage::MaxPixels)
        throw TImagingError(operation, name, TooLarge(header.Width, header.Height));
    tjscalingfactor factor{1, 1};
    if (minimum.isValid()) {
        const int wantWidth = std::max(minimum.width(), 1);
        const int wantHeight = std::max(minimum.height(), 1);
        int count = 0;
        const tjscalingfactor* factors = tjGetScalingFactors(&count);
        for (int i = 0; factors && i < count; ++i) {
            const tjscalingfactor f = factors[i];
            const bool wanted = f.num == 1 && (f.denom == 2 || f.denom == 4 || f.denom == 8);
            if (wanted && f.denom > factor.denom && TJSCALED(header.Width, f) >= wantWidth &&
                TJSCALED(header.Height, f) >= wantHeight)
                factor = f;
        }
    }
    const int width = TJSCALED(header.Width, factor);
    const int height = TJSCALED(header.Height, factor);

    QImage image(width, height, QImage::Format_BGR888);
    if (image.isNull())
        throw TImagingError(operation, name, QStringLiteral("out of memory"));

    const bool cmyk = header.Colorspace == TJCS_CMYK || header.Colorspace == TJCS_YCCK;
    std::vector<unsigned char> cmykPixels;
    if (cmyk)
        cmykPixels.resize(std::size_t(width) * height * 4);

    TTurboHandle& decompressor = Decompressor();
    tjhandle handle = decompressor.Get(operation, name);
    // Thumbnail decodes may use the fast IDCT: its error is invisible at that size. Reduced
    // decodes spend their time in entropy decoding, so it pays only for small pictures decoded
    // whole.
    const int flags = TJFLAG_LIMITSCANS | (minimum.isValid() ? TJFLAG_FASTDCT : 0);
    auto decode = [&](int extraFlags) {
        unsigned char* target = cmyk ? cmykPixels.data() : image.bits();
        const int pitch = cmyk ? width * 4 : int(image.bytesPerLine());
        return tjDecompress2(handle, reinterpret_cast<const unsigned char*>(bytes.constData()),
                             static_cast<unsigned long>(bytes.size()), target, width, pitch, height,
                             cmyk ? TJPF_CMYK : TJPF_BGR, flags | extraFlags);
    };
    // Stop at the first warning so a cut-off file is caught whichever warning comes first.
    // Other warnings (stray bytes between markers as some cameras write, a few damaged bytes
    // in the scan) are tolerated as other viewers do: the picture is decoded again without
    // stopping, and the warning is handed back.
    if (decode(TJFLAG_STOPONWARNING) != 0) {
        const bool warned = tjGetErrorCode(handle) == TJERR_WARNING;
        QString cause = DecoderCause(handle, bytes);
        QString message = QString::fromLocal8Bit(tjGetErrorStr2(handle));
        bool failed = !warned || cause == QLatin1String("truncated");
        if (!failed && decode(0) != 0) {
            // The last warning of the whole decode: a cut-off end shows only here.
            cause = DecoderCause(handle, bytes);
            failed = tjGetErrorCode(handle) != TJERR_WARNING || cause == QLatin1String("truncated");
            if (!failed)
                message = QString::fromLocal8Bit(tjGetErrorStr2(handle));
        }
        if (failed) {
            decompressor.Reset();
            throw TImagingError(operation, name, cause);
        }
        if (warning)
            *warning = message;
    }
    if (cmyk)
        CmykToBgr(cmykPixels, image);
    return JpegMarkers::Upright(image, orientation);
}

QByteArray ReadWhole(const QString& path, const QString& operation, qint64 limit = -1) {
    QFile file(path);
    if (!file.exists())
        throw TImagingError(operation, path, QStringLiteral("file not found"));
    if (!file.open(QIODevice::ReadOnly))
        throw TImagingError(operation, path, QStringLiteral("cannot read: ") + file.errorString());
    // A file that does not begin like a JPEG (a film renamed ".jpg") is refused from its first
    // bytes rather than read into memory whole.
    if (const QByteArray start = file.peek(2); limit < 0 && !LooksLikeJpeg(start))
        return start;
    QByteArray bytes = limit < 0 ? file.readAll() : file.read(limit);
    if (file.error() != QFileDevice::NoError)
        throw TImagingError(operation, path, QStringLiteral("cannot read: ") + file.errorString());
    return bytes;
}

// ---- pixel access -------------------------------------------------------------------------

struct TBgr {
    int B = 0;
    int G = 0;
    int R = 0;
};

TBgr ToBgr(const QColor& color) {
    const QColor rgb = color.toRgb();
    return {rgb.blue(), rgb.green(), rgb.red()};
}

// `a` moved towards `b` by `t` (0..1).
TBgr Mix(TBgr a, TBgr b, double t) {
    auto one = [t](int x, int y) {
        return std::clamp(int(std::lround(x + (y - x) * t)), 0, 255);
    };
    return {one(a.B, b.B), one(a.G, b.G), one(a.R, b.R)};
}

inline void Put(uchar* row, int x, TBgr c) {
    uchar* p = row + 3 * x;
    p[0] = uchar(c.B);
    p[1] = uchar(c.G);
    p[2] = uchar(c.R);
}

inline uchar ClampByte(int v) {
    return uchar(std::clamp(v, 0, 255));
}

void FillRect(QImage& image, const QRect& area, TBgr color) {
    const QRect r = area & image.rect();
    if (r.isEmpty())
        return;
    for (int y = r.top(); y <= r.bottom(); ++y) {
        uchar* row = image.scanLine(y);
        for (int x = r.left(); x <= r.right(); ++x)
            Put(row, x, color);
    }
}

QImage NewBitmap(int width, int height, const char* operation) {
    QImage image(width, height, QImage::Format_BGR888);
    if (image.isNull())
        throw TImagingError(QString::fromLatin1(operation), QString(),
                            QStringLiteral("out of memory"));
    return image;
}

// ---- resampling ---------------------------------------------------------------------------

constexpr int WeightBits = 14;
constexpr int WeightOne = 1 << WeightBits;

// Per output position: the first source index and the fixed-point weights of the taps.
struct TWeights {
    std::vector<int> Start;
    std::vector<int> Count;
    std::vector<std::int32_t> Values; // Stride per output position
    int Stride = 0;
};

double CubicKernel(double x) { // Keys, a = -0.5 (Catmull-Rom)
    constexpr double a = -0.5;
    x = std::abs(x);
    if (x < 1.0)
        return ((a + 2.0) * x - (a + 3.0)) * x * x + 1.0;
    if (x < 2.0)
        return (((x - 5.0) * x + 8.0) * x - 4.0) * a;
    return 0.0;
}

double TriangleKernel(double x) {
    x = std::abs(x);
    return x < 1.0 ? 1.0 - x : 0.0;
}

TWeights MakeWeights(int source, int target, TResize kind) {
    TWeights w;
    w.Start.resize(target);
    w.Count.resize(target);
    const double scale = double(source) / target;
    if (kind == TResize::Nearest) {
        w.Stride = 1;
        w.Values.assign(target, WeightOne);
        for (int i = 0; i < target; ++i) {
            w.Start[i] = std::clamp(int(std::floor((i + 0.5) * scale)), 0, source - 1);
            w.Count[i] = 1;
        }
        return w;
    }
    const bool cubic = kind == TResize::Bicubic;
    // When shrinking, the kernel is stretched over the source so every source pixel counts.
    const double filterScale = std::max(scale, 1.0);
    const double support = (cubic ? 2.0 : 1.0) * filterScale;
    w.Stride = int(std::ceil(support)) * 2 + 2;
    w.Values.assign(std::size_t(target) * w.Stride, 0);
    std::vector<double> taps(w.Stride);
    for (int i = 0; i < target; ++i) {
        const double center = (i + 0.5) * scale;
        int lo = std::max(0, int(std::floor(center - support)));
        int hi = std::min(source, int(std::ceil(center + support)));
        hi = std::min(hi, lo + w.Stride);
        double sum = 0.0;
        for (int s = lo; s < hi; ++s) {
            const double d = (s + 0.5 - center) / filterScale;
            taps[s - lo] = cubic ? CubicKernel(d) : TriangleKernel(d);
            sum += taps[s - lo];
        }
        // Drop zero taps at both ends, then normalise so a flat area stays flat.
        int first = 0;
        int last = hi - lo - 1;
        while (first < last && taps[first] == 0.0)
            ++first;
        while (last > first && taps[last] == 0.0)
            --last;
        if (sum == 0.0) { // cannot happen with these kernels; keep a valid tap anyway
            taps[first] = 1.0;
            sum = 1.0;
            last = first;
        }
        std::int32_t* out = w.Values.data() + std::size_t(i) * w.Stride;
        int total = 0;
        int largest = 0;
        for (int s = 0; s <= last - first; ++s) {
            out[s] = std::int32_t(std::lround(taps[first + s] / sum * WeightOne));
            total += out[s];
            if (out[s] > out[largest])
                largest = s;
        }
        out[largest] += WeightOne - total;
        w.Start[i] = lo + first;
        w.Count[i] = last - first + 1;
    }
    return w;
}

// acc[i] += a[i] * wa + b[i] * wb over a row of bytes. This loop carries most of the work of
// shrinking a decoded photo to a thumbnail, so x86-64 gets it four lanes at a time.
void AddRowPair(std::int32_t* acc, const uchar* a, const uchar* b, std::int32_t wa, std::int32_t wb,
                int count) {
    int i = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    const __m128i weights = _mm_set1_epi32(
        int((std::uint32_t(std::uint16_t(wb)) << 16) | std::uint32_t(std::uint16_t(wa))));
    for (; i + 8 <= count; i += 8) {
        const __m128i x = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(a + i));
        const __m128i y = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(b + i));
        const __m128i xy = _mm_unpacklo_epi8(x, y); // a0 b0 a1 b1 …
        __m128i* out = reinterpret_cast<__m128i*>(acc + i);
        const __m128i low = _mm_madd_epi16(_mm_unpacklo_epi8(xy, zero), weights);
        const __m128i high = _mm_madd_epi16(_mm_unpackhi_epi8(xy, zero), weights);
        _mm_storeu_si128(out, _mm_add_epi32(_mm_loadu_si128(out), low));
        _mm_storeu_si128(out + 1, _mm_add_epi32(_mm_loadu_si128(out + 1), high));
    }
#endif
    for (; i < count; ++i)
        acc[i] += a[i] * wa + b[i] * wb;
}

// Rows of `source` combined into each output row, a whole row at a time.
QImage ResampleRows(const QImage& source, int height, TResize kind) {
    const TWeights w = MakeWeights(source.height(), height, kind);
    QImage out = NewBitmap(source.width(), height, "Size");
    const int rowBytes = source.width() * 3;
    std::vector<std::int32_t> sum(rowBytes);
    for (int y = 0; y < height; ++y) {
        const std::int32_t* weights = w.Values.data() + std::size_t(y) * w.Stride;
        std::fill(sum.begin(), sum.end(), WeightOne / 2);
        // Two source rows per step; an odd last row pairs with itself at weight 0.
        for (int k = 0; k < w.Count[y]; k += 2) {
            const bool pair = k + 1 < w.Count[y];
            const uchar* a = source.constScanLine(w.Start[y] + k);
            const uchar* b = pair ? source.constScanLine(w.Start[y] + k + 1) : a;
            AddRowPair(sum.data(), a, b, weights[k], pair ? weights[k + 1] : 0, rowBytes);
        }
        uchar* row = out.scanLine(y);
        for (int i = 0; i < rowBytes; ++i)
            row[i] = ClampByte(sum[i] >> WeightBits);
    }
    return out;
}

QImage ResampleColumns(const QImage& source, int width, TResize kind) {
    const TWeights w = MakeWeights(source.width(), width, kind);
    QImage out = NewBitmap(width, source.height(), "Size");
    for (int y = 0; y < source.height(); ++y) {
        const uchar* in = source.constScanLine(y);
        uchar* row = out.scanLine(y);
        for (int x = 0; x < width; ++x) {
            const std::int32_t* weights = w.Values.data() + std::size_t(x) * w.Stride;
            const uchar* p = in + 3 * w.Start[x];
            std::int32_t b = WeightOne / 2;
            std::int32_t g = WeightOne / 2;
            std::int32_t r = WeightOne / 2;
            for (int k = 0; k < w.Count[x]; ++k, p += 3) {
                b += weights[k] * p[0];
                g += weights[k] * p[1];
                r += weights[k] * p[2];
            }
            row[3 * x] = ClampByte(b >> WeightBits);
            row[3 * x + 1] = ClampByte(g >> WeightBits);
            row[3 * x + 2] = ClampByte(r >> WeightBits);
        }
    }
    return out;
}

QImage Resample(const QImage& source, int width, int height, TResize kind) {
    if (source.size() == QSize(width, height))
        return source;
    if (kind == TResize::Nearest) {
        QImage out = NewBitmap(width, height, "Size");
        const TWeights columns = MakeWeights(source.width(), width, kind);
        const TWeights rows = MakeWeights(source.height(), height, kind);
        for (int y = 0; y < height; ++y) {
            const uchar* in = source.constScanLine(rows.Start[y]);
            uchar* row = out.scanLine(y);
            for (int x = 0; x < width; ++x) {
                const uchar* p = in + 3 * columns.Start[x];
                row[3 * x] = p[0];
                row[3 * x + 1] = p[1];
                row[3 * x + 2] = p[2];
            }
        }
        return out;
    }
    // Two passes; the order that touches fewer pixel taps goes first. The row pass runs over
    // contiguous memory and is counted at a quarter of its taps.
    const double support = kind == TResize::Bicubic ? 4.0 : 2.0;
    const double tapsX = support * std::max(1.0, double(source.width()) / width);
    const double tapsY = support * std::max(1.0, double(source.height()) / height);
    const double rowsFirst =
        double(source.width()) * height * tapsY / 4 + double(width) * height * tapsX;
    const double columnsFirst =
        double(width) * source.height() * tapsX + double(width) * height * tapsY / 4;
    if (rowsFirst <= columnsFirst) {
        const QImage half = source.height() == height ? source : ResampleRows(source, height, kind);
        return half.width() == width ? half : ResampleColumns(half, width, kind);
    }
    const QImage half = source.width() == width ? source : ResampleColumns(source, width, kind);
    return half.height() == height ? half : ResampleRows(half, height, kind);
}

// ---- turning ------------------------------------------------------------------------------

QImage QuarterTurn(const QImage& source, bool clockwise) {
    const int w = source.width();
    const int h = source.height();
    QImage out = NewBitmap(h, w, "Rotate");
    for (int y = 0; y < w; ++y) {
        uchar* row = out.scanLine(y);
        for (int x = 0; x < h; ++x) {
            // Clockwise: the left column, read bottom to top, becomes the top row.
            const uchar* p = clockwise ? source.constScanLine(h - 1 - x) + 3 * y
                                       : source.constScanLine(x) + 3 * (w - 1 - y);
            row[3 * x] = p[0];
            row[3 * x + 1] = p[1];
            row[3 * x + 2] = p[2];
        }
    }
    return out;
}

QImage FreeTurn(const QImage& source, double degrees, bool enlarge, TBgr fill) {
    const double radians = degrees * std::numbers::pi / 180.0;
    const double c = std::cos(radians);
    const double s = std::sin(radians);
    const int w = source.width();
    const int h = source.height();
    int outW = w;
    int outH = h;
    if (enlarge) {
        outW = std::max(1, int(std::ceil(std::abs(w * c) + std::abs(h * s) - 1e-6)));
        outH = std::max(1, int(std::ceil(std::abs(w * s) + std::abs(h * c) - 1e-6)));
        if (qint64(outW) * outH > TRasterImage::MaxPixels)
            throw TImagingError(QStringLiteral("Rotate"), QString(), TooLarge(outW, outH));
    }
    QImage out = NewBitmap(outW, outH, "Rotate");
    const double inCx = w / 2.0;
    const double inCy = h / 2.0;
    const double outCx = outW / 2.0;
    const double outCy = outH / 2.0;
    auto sample = [&](int x, int y, int channel) {
        if (x < 0 || y < 0 || x >= w || y >= h)
            return channel == 0 ? fill.B : channel == 1 ? fill.G : fill.R;
        return int(source.constScanLine(y)[3 * x + channel]);
    };
    for (int y = 0; y < outH; ++y) {
        uchar* row = out.scanLine(y);
        const double dy = y + 0.5 - outCy;
        for (int x = 0; x < outW; ++x) {
            const double dx = x + 0.5 - outCx;
            // Inverse of the clockwise turn (y points down), in pixel-centre coordinates.
            const double sx = dx * c + dy * s + inCx - 0.5;
            const double sy = -dx * s + dy * c + inCy - 0.5;
            if (sx <= -1.0 || sy <= -1.0 || sx >= w || sy >= h) {
                Put(row, x, fill);
                continue;
            }
            const int x0 = int(std::floor(sx));
            const int y0 = int(std::floor(sy));
            const double fx = sx - x0;
            const double fy = sy - y0;
            for (int ch = 0; ch < 3; ++ch) {
                const double top = sample(x0, y0, ch) * (1 - fx) + sample(x0 + 1, y0, ch) * fx;
                const double bottom =
                    sample(x0, y0 + 1, ch) * (1 - fx) + sample(x0 + 1, y0 + 1, ch) * fx;
                row[3 * x + ch] = ClampByte(int(std::lround(top * (1 - fy) + bottom * fy)));
            }
        }
    }
    return out;
}

// ---- framed shape -------------------------------------------------------------------------

// Which side of a rectangular ring a pixel belongs to, mitred along the diagonals, and how far
// in from the ring's outer edge it lies.
struct TRingPlace {
    bool Lit = false; // top or left side
    int Depth = 0;
};

TRingPlace PlaceInRing(const QRect& outer, int x, int y) {
    const int left = x - outer.left();
    const int top = y - outer.top();
    const int right = outer.right() - x;
    const int bottom = outer.bottom() - y;
    const int nearLit = std::min(left, top);
    const int nearDark = std::min(right, bottom);
    // At the top-right and bottom-left corners the diagonal divides light from shade.
    if (nearLit <= nearDark)
        return {true, nearLit};
    return {false, nearDark};
}

// Paints the ring between `outer` and `outer` shrunk by `thickness`, pixel colours from `paint`;
// returns the inner rectangle (empty when nothing is left inside).
template <typename TPaint>
QRect PaintRing(QImage& image, const QRect& outer, int thickness, TPaint paint) {
    if (outer.isEmpty() || thickness <= 0)
        return outer;
    const QRect inner = outer.adjusted(thickness, thickness, -thickness, -thickness);
    for (int y = outer.top(); y <= outer.bottom(); ++y) {
        uchar* row = image.scanLine(y);
        for (int x = outer.left(); x <= outer.right(); ++x) {
            if (inner.isValid() && inner.contains(x, y)) {
                x = inner.right();
                continue;
            }
            Put(row, x, paint(PlaceInRing(outer, x, y)));
        }
    }
    return inner.isValid() ? inner : QRect();
}

// Records the picture's resolution in the JFIF header the encoder wrote (which says "no
// unit, aspect 1:1") when the picture carries one of its own, such as a scan's; a picture
// at the default resolution keeps the header as it is.
void WriteJfifDensity(QByteArray& jpeg, const QImage& picture) {
    static const int defaultDpm = QImage(1, 1, QImage::Format_RGB32).dotsPerMeterX();
    if (picture.dotsPerMeterX() == defaultDpm && picture.dotsPerMeterY() == defaultDpm)
        return;
    // SOI, APP0 marker, length, "JFIF\0", version, then units and the two densities.
    if (jpeg.size() < 18 || uchar(jpeg[2]) != 0xFF || uchar(jpeg[3]) != 0xE0 ||
        jpeg.mid(6, 5) != QByteArray("JFIF", 5))
        return;
    const auto dpi = [](int dpm) {
        return std::clamp(qRound(dpm * 0.0254), 1, 65535);
    };
    const int x = dpi(picture.dotsPerMeterX());
    const int y = dpi(picture.dotsPerMeterY());
    jpeg[13] = 1; // dots per inch
    jpeg[14] = char(x >> 8);
    jpeg[15] = char(x & 0xFF);
    jpeg[16] = char(y >> 8);
    jpeg[17] = char(y & 0xFF);
}

} // namespace

// ---- TRasterImage -------------------------------------------------------------------------

TRasterImage::TRasterImage(const QImage& bitmap) {
    SetBitmap(bitmap);
}

void TRasterImage::SetBitmap(const QImage& bitmap) {
    if (bitmap.isNull())
        Image = QImage();
    else if (bitmap.format() == QImage::Format_BGR888)
        Image = bitmap;
    else
        Image = bitmap.convertToFormat(QImage::Format_BGR888);
}

QSize TRasterImage::ReadSize(const QString& path) {
    const QString operation = QStringLiteral("ReadSize");
    // The header nearly always sits in the first few kilobytes; a large metadata block ahead
    // of it needs the rest of the file.
    constexpr qint64 Prefix = 256 * 1024;
    QByteArray bytes = ReadWhole(path, operation, Prefix);
    if (bytes.size() == Prefix) {
        try {
            const THeader header = ReadHeader(bytes, operation, path);
            return JpegMarkers::UprightSize(QSize(header.Width, header.Height),
                                            JpegMarkers::Orientation(bytes));
        } catch (const TImagingError&) {
            bytes = ReadWhole(path, operation);
        }
    }
    const THeader header = ReadHeader(bytes, operation, path);
    return JpegMarkers::UprightSize(QSize(header.Width, header.Height),
                                    JpegMarkers::Orientation(bytes));
}

void TRasterImage::Load(const QString& path) {
    const QString operation = QStringLiteral("Load");
    QString warning;
    Image = DecodeJpeg(ReadWhole(path, operation), operation, path, QSize(), nullptr, &warning);
    Warning = warning;
}

void TRasterImage::LoadScaled(const QString& path, QSize minimum, QSize* storedSize) {
    const QString operation = QStringLiteral("LoadScaled");
    QSize stored;
    QString warning;
    Image = DecodeJpeg(ReadWhole(path, operation), operation, path,
                       QSize(std::max(minimum.width(), 1), std::max(minimum.height(), 1)), &stored,
                       &warning);
    Warning = warning;
    if (storedSize)
        *storedSize = stored;
}

void TRasterImage::LoadFromData(const QByteArray& bytes, const QString& name) {
    QString warning;
    Image = DecodeJpeg(bytes, QStringLiteral("LoadFromData"), name, QSize(), nullptr, &warning);
    Warning = warning;
}

QByteArray TRasterImage::EncodeJpeg(int qualityFactor) const {
    RequirePicture(Image, "EncodeJpeg");
    const QString operation = QStringLiteral("EncodeJpeg");
    TTurboHandle& compressor = Compressor();
    tjhandle handle = compressor.Get(operation, QString());
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    if (tjCompress2(handle, Image.constBits(), Image.width(), int(Image.bytesPerLine()),
                    Image.height(), TJPF_BGR, &buffer, &size, TJSAMP_420,
                    JpegQuality(qualityFactor), 0) != 0) {
        const QString message = QString::fromLocal8Bit(tjGetErrorStr2(handle));
        tjFree(buffer);
        compressor.Reset();
        throw TImagingError(operation, QString(), QStringLiteral("cannot encode: ") + message);
    }
    QByteArray bytes(reinterpret_cast<const char*>(buffer), qsizetype(size));
    tjFree(buffer);
    WriteJfifDensity(bytes, Image);
    return bytes;
}

void TRasterImage::Save(const QString& path, int qualityFactor) const {
    const QString operation = QStringLiteral("Save");
    if (Image.isNull())
        throw TImagingError(operation, path, NoPicture);
    QByteArray bytes;
    try {
        bytes = EncodeJpeg(qualityFactor);
    } catch (const TImagingError& error) {
        throw TImagingError(operation, path, error.Cause());
    }
    WriteFile(path, bytes, operation);
}

void TRasterImage::WriteFile(const QString& path, const QByteArray& bytes,
                             const QString& operation) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw TImagingError(operation, path, QStringLiteral("cannot write: ") + file.errorString());
    QString cause;
    if (file.write(bytes) != bytes.size()) {
        cause = TextCodec::WriteErrorText(file);
        file.cancelWriting();
    }
    if (!cause.isEmpty() || !TextCodec::Commit(file, &cause))
        throw TImagingError(operation, path, QStringLiteral("cannot write: ") + cause);
}

void TRasterImage::Replace(const QString& path, int qualityFactor) const {
    WriteFile(path, Replacement(path, qualityFactor), QStringLiteral("Save"));
}

QByteArray TRasterImage::Replacement(const QString& path, int qualityFactor) const {
    const QString operation = QStringLiteral("Save");
    if (Image.isNull())
        throw TImagingError(operation, path, NoPicture);
    QByteArray metadata;
    QFile old(path);
    if (old.open(QIODevice::ReadOnly))
        metadata = JpegMarkers::MetadataSegments(old.readAll());
    old.close();
    try {
        return JpegMarkers::WithMetadata(EncodeJpeg(qualityFactor), metadata);
    } catch (const TImagingError& error) {
        throw TImagingError(operation, path, error.Cause());
    }
}

QByteArray TRasterImage::TurnLossless(const QByteArray& jpeg, TOrientation turn,
                                      const QString& name) {
    const QString operation = QStringLiteral("Rotate");
    ReadHeader(jpeg, operation, name);
    // The turn is applied to the picture as seen, which is the stored picture already turned
    // by its orientation: both together are one turn of the stored blocks.
    const TOrientation total = JpegMarkers::Then(JpegMarkers::Orientation(jpeg), turn);
    if (total == TOrientation::Upright) {
        QByteArray same = jpeg;
        JpegMarkers::SetOrientation(same, TOrientation::Upright);
        return same;
    }
    static const std::pair<TOrientation, int> operations[] = {
        {TOrientation::MirrorLeftRight, TJXOP_HFLIP}, {TOrientation::Turn180, TJXOP_ROT180},
        {TOrientation::MirrorTopBottom, TJXOP_VFLIP}, {TOrientation::Transpose, TJXOP_TRANSPOSE},
        {TOrientation::TurnRight, TJXOP_ROT90},       {TOrientation::Transverse, TJXOP_TRANSVERSE},
        {TOrientation::TurnLeft, TJXOP_ROT270},
    };
    tjtransform transform{};
    for (const auto& [orientation, op] : operations) {
        if (orientation == total)
            transform.op = op;
    }
    // Blocks are moved, not decoded: the pictures stays as sharp as it was. A partial block at
    // an edge that would become a top or left edge cannot be moved that way (libjpeg can only
    // drop it), so such pictures are refused here and re-encoded by the caller instead.
    transform.options = TJXOPT_PERFECT;
    TTurboHandle& transformer = Transformer();
    tjhandle handle = transformer.Get(operation, name);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    if (tjTransform(handle, reinterpret_cast<const unsigned char*>(jpeg.constData()),
                    static_cast<unsigned long>(jpeg.size()), 1, &buffer, &size, &transform,
                    0) != 0) {
        tjFree(buffer);
        transformer.Reset();
        return {};
    }
    QByteArray turned(reinterpret_cast<const char*>(buffer), qsizetype(size));
    tjFree(buffer);
    JpegMarkers::SetOrientation(turned, TOrientation::Upright);
    return turned;
}

void TRasterImage::Size(int width, int height, TResize kind) {
    RequirePicture(Image, "Size");
    if (width < 1 || height < 1)
        throw TImagingError(QStringLiteral("Size"), QString(),
                            QStringLiteral("invalid size: %1 × %2").arg(width).arg(height));
    if (qint64(width) * height > MaxPixels)
        throw TImagingError(QStringLiteral("Size"), QString(), TooLarge(width, height));
    Image = Resample(Image, width, height, kind);
}

void TRasterImage::Rotate(int hundredths, bool enlarge, QColor fill) {
    RequirePicture(Image, "Rotate");
    const int angle = ((hundredths % 36000) + 36000) % 36000;
    if (angle == 0)
        return;
    if (angle == 18000) {
        Image = Image.mirrored(true, true);
    } else if (angle == 9000 || angle == 27000) {
        QImage turned = QuarterTurn(Image, angle == 9000);
        if (!enlarge && turned.size() != Image.size()) {
            // The size stays: the turned picture is centred on a canvas of the old size.
            QImage canvas = NewBitmap(Image.width(), Image.height(), "Rotate");
            FillRect(canvas, canvas.rect(), ToBgr(fill));
            const QPoint offset((canvas.width() - turned.width()) / 2,
                                (canvas.height() - turned.height()) / 2);
            const QRect target = QRect(offset, turned.size()) & canvas.rect();
            for (int y = target.top(); y <= target.bottom(); ++y)
                std::copy_n(turned.constScanLine(y - offset.y()) + 3 * (target.left() - offset.x()),
                            3 * target.width(), canvas.scanLine(y) + 3 * target.left());
            turned = canvas;
        }
        Image = turned;
    } else {
        Image = FreeTurn(Image, angle / 100.0, enlarge, ToBgr(fill));
    }
}

void TRasterImage::Reverse() {
    RequirePicture(Image, "Reverse");
    Image = Image.mirrored(true, false);
}

void TRasterImage::Flip() {
    RequirePicture(Image, "Flip");
    Image = Image.mirrored(false, true);
}

void TRasterImage::SetRgnRect(const QRect& rectangle) {
    RequirePicture(Image, "SetRgnRect");
    Region = rectangle.normalized() & Image.rect();
    RegionSet = true;
}

void TRasterImage::FreeRgn() {
    Region = QRect();
    RegionSet = false;
}

void TRasterImage::Fill(QColor color) {
    RequirePicture(Image, "Fill");
    FillRect(Image, RegionSet ? Region : Image.rect(), ToBgr(color));
}

void TRasterImage::Combine(const QRect& destination, const TRasterImage& source,
                           QPoint sourceTopLeft) {
    RequirePicture(Image, "Combine");
    if (source.IsNull())
        throw TImagingError(QStringLiteral("Combine"), QString(),
                            QStringLiteral("no source picture"));
    // A shared copy keeps the source readable when it is this very picture.
    const QImage from = source.Image;
    QRect area = destination.normalized() & Image.rect();
    if (RegionSet)
        area &= Region;
    const QPoint shift = sourceTopLeft - destination.normalized().topLeft();
    area &= from.rect().translated(-shift);
    if (area.isEmpty())
        return;
    for (int y = area.top(); y <= area.bottom(); ++y)
        std::copy_n(from.constScanLine(y + shift.y()) + 3 * (area.left() + shift.x()),
                    3 * area.width(), Image.scanLine(y) + 3 * area.left());
}

void TRasterImage::Sharpen(int amount) {
    RequirePicture(Image, "Sharpen");
    amount = std::clamp(amount, -1000, 1000);
    if (amount == 0)
        return;
    const int w = Image.width();
    const int h = Image.height();
    const int rowBytes = 3 * w;
    // A 3 × 3 binomial blur (1 2 1 in each direction, edges repeated), kept at 16 × scale.
    std::vector<std::uint16_t> across(std::size_t(rowBytes) * h);
    for (int y = 0; y < h; ++y) {
        const uchar* in = Image.constScanLine(y);
        std::uint16_t* out = across.data() + std::size_t(y) * rowBytes;
        for (int x = 0; x < w; ++x) {
            const int l = std::max(x - 1, 0);
            const int r = std::min(x + 1, w - 1);
            for (int c = 0; c < 3; ++c)
                out[3 * x + c] = std::uint16_t(in[3 * l + c] + 2 * in[3 * x + c] + in[3 * r + c]);
        }
    }
    QImage result = NewBitmap(w, h, "Sharpen");
    // Sharpening adds up to twice the detail the blur removes; blurring blends towards it.
    const int strength = amount > 0 ? amount * 2 : -amount; // in thousandths
    for (int y = 0; y < h; ++y) {
        const std::uint16_t* up = across.data() + std::size_t(std::max(y - 1, 0)) * rowBytes;
        const std::uint16_t* mid = across.data() + std::size_t(y) * rowBytes;
        const std::uint16_t* down = across.data() + std::size_t(std::min(y + 1, h - 1)) * rowBytes;
        const uchar* in = Image.constScanLine(y);
        uchar* out = result.scanLine(y);
        for (int i = 0; i < rowBytes; ++i) {
            const int blur16 = up[i] + 2 * mid[i] + down[i]; // 16 × blurred value
            const int detail16 = 16 * in[i] - blur16;
            const int change = amount > 0 ? detail16 * strength : -detail16 * strength;
            // change is in 16000ths of a level; round half away from zero.
            const int step = change >= 0 ? (change + 8000) / 16000 : -((-change + 8000) / 16000);
            out[i] = ClampByte(in[i] + step);
        }
    }
    Image = result;
}

void TRasterImage::BalanceColors(double red, double green, double blue) {
    RequirePicture(Image, "BalanceColors");
    auto table = [](double factor) {
        std::array<uchar, 256> t{};
        factor = std::max(factor, 0.0);
        for (int v = 0; v < 256; ++v)
            t[v] = uchar(std::clamp(std::lround(v * factor), 0L, 255L));
        return t;
    };
    const std::array<uchar, 256> b = table(blue);
    const std::array<uchar, 256> g = table(green);
    const std::array<uchar, 256> r = table(red);
    QImage result = Image.copy();
    if (result.isNull())
        throw TImagingError(QStringLiteral("BalanceColors"), QString(),
                            QStringLiteral("out of memory"));
    for (int y = 0; y < result.height(); ++y) {
        uchar* p = result.scanLine(y);
        for (int x = 0; x < result.width(); ++x, p += 3) {
            p[0] = b[p[0]];
            p[1] = g[p[1]];
            p[2] = r[p[2]];
        }
    }
    Image = result;
}

void TRasterImage::DrawShape(const TShapeStyle& style) {
    RequirePicture(Image, "DrawShape");
    const QImage picture = Image;
    QImage canvas = Image.copy();
    if (canvas.isNull())
        throw TImagingError(QStringLiteral("DrawShape"), QString(),
                            QStringLiteral("out of memory"));
    const int w = canvas.width();
    const int h = canvas.height();
    const int shadowX = std::clamp(style.ShadowXDepth, 0, w);
    const int shadowY = std::clamp(style.ShadowYDepth, 0, h);
    const QRect shape(0, 0, w - shadowX, h - shadowY);

    // The shadow: only its strips right of and below the shape show.
    const TBgr shadow = ToBgr(style.ShadowColor);
    FillRect(canvas, QRect(shape.right() + 1, shadowY, shadowX, h - shadowY), shadow);
    FillRect(canvas, QRect(shadowX, shape.bottom() + 1, w - shadowX, shadowY), shadow);
    if (shape.isEmpty()) {
        Image = canvas;
        return;
    }

    const TBgr white{255, 255, 255};
    const TBgr black{0, 0, 0};
    const TBgr border = ToBgr(style.BorderColor);
    QRect inside =
        PaintRing(canvas, shape, style.BorderThickness, [&](TRingPlace) { return border; });

    // The moulding: a rounded profile across the band, lit from the top left; the shaded
    // sides keep the band's own colour at the crest and darken towards the edges.
    // A saturated band colour is toned towards grey, so the frame does not outshine the picture.
    const TBgr moulding = Mix(ToBgr(style.OuterBandShadowColor), TBgr{150, 150, 150}, 0.45);
    const int outer = std::max(style.OuterBandThickness, 0);
    const TBgr lit = Mix(moulding, white, 0.45);
    inside = PaintRing(canvas, inside, outer, [&](TRingPlace place) {
        const int depth = std::min(place.Depth, outer - 1);
        const double crest = std::sin(std::numbers::pi * (depth + 0.5) / outer);
        return place.Lit ? Mix(lit, white, 0.3 * crest) : Mix(moulding, black, 0.3 * (1 - crest));
    });

    // The raised mat: highlight on the top left, its own colour on the bottom right.
    const TBgr mat = ToBgr(style.InnerBandShadowColor);
    const TBgr matLit = Mix(mat, white, 0.6);
    inside = PaintRing(canvas, inside, std::max(style.InnerBandThickness, 0),
                       [&](TRingPlace place) { return place.Lit ? matLit : mat; });

    if (!inside.isEmpty()) {
        // Fitted with its proportions kept; a slack of more than a pixel widens the mat.
        const double scale = std::min(double(inside.width()) / picture.width(),
                                      double(inside.height()) / picture.height());
        int fitW = std::clamp(int(std::lround(picture.width() * scale)), 1, inside.width());
        int fitH = std::clamp(int(std::lround(picture.height() * scale)), 1, inside.height());
        if (inside.width() - fitW <= 1)
            fitW = inside.width();
        if (inside.height() - fitH <= 1)
            fitH = inside.height();
        FillRect(canvas, inside, Mix(mat, matLit, 0.5));
        const QImage fitted = Resample(picture, fitW, fitH, TResize::Bicubic);
        const QPoint at(inside.left() + (inside.width() - fitW) / 2,
                        inside.top() + (inside.height() - fitH) / 2);
        for (int y = 0; y < fitH; ++y)
            std::copy_n(fitted.constScanLine(y), 3 * fitW,
                        canvas.scanLine(at.y() + y) + 3 * at.x());
        // The raised mat casts a faint shadow onto the picture's top and left edges.
        if (fitW >= 8 && fitH >= 8) {
            auto shade = [&](int x, int y) {
                uchar* p = canvas.scanLine(y) + 3 * x;
                for (int c = 0; c < 3; ++c)
                    p[c] = uchar(p[c] * 3 / 4);
            };
            for (int x = at.x(); x < at.x() + fitW; ++x)
                shade(x, at.y());
            for (int y = at.y() + 1; y < at.y() + fitH; ++y)
                shade(at.x(), y);
        }
    }
    Image = canvas;
}

} // namespace Lumerix
