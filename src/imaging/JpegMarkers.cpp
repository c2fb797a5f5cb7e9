#include "imaging/JpegMarkers.h"

#include <QTransform>

#include <algorithm>
#include <array>

namespace Lumerix::JpegMarkers {

namespace {

constexpr char ExifHeader[] = {'E', 'x', 'i', 'f', 0, 0};
constexpr int ExifHeaderSize = 6;
constexpr int OrientationTag = 0x0112;

struct TSegment {
    qsizetype Start = 0; ///< the 0xFF of the marker
    qsizetype Size = 0;  ///< marker, length and data
    unsigned char Marker = 0;
};

// Walks the segments between the start marker and the first scan, calling `visit` for each;
// stops early when `visit` returns false. Malformed lengths end the walk.
template <typename TVisit> void WalkSegments(const QByteArray& jpeg, TVisit visit) {
    const auto* b = reinterpret_cast<const unsigned char*>(jpeg.constData());
    const qsizetype n = jpeg.size();
    if (n < 4 || b[0] != 0xFF || b[1] != 0xD8)
        return;
    qsizetype i = 2;
    while (i + 4 <= n) {
        if (b[i] != 0xFF)
            return;
        const unsigned char marker = b[i + 1];
        if (marker == 0xFF) {
            ++i;
            continue;
        }
        if (marker == 0xDA || marker == 0xD9)
            return;
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {
            i += 2;
            continue;
        }
        const qsizetype length = (b[i + 2] << 8) | b[i + 3];
        if (length < 2 || i + 2 + length > n)
            return;
        if (!visit(TSegment{i, 2 + length, marker}))
            return;
        i += 2 + length;
    }
}

bool IsExif(const QByteArray& jpeg, const TSegment& segment) {
    return segment.Marker == 0xE1 && segment.Size >= 4 + ExifHeaderSize + 8 &&
           jpeg.mid(segment.Start + 4, ExifHeaderSize) == QByteArray(ExifHeader, ExifHeaderSize);
}

// The position of the orientation value inside a TIFF block, or -1.
qsizetype OrientationValueAt(const unsigned char* t, qsizetype n) {
    if (n < 8)
        return -1;
    const bool little = t[0] == 'I' && t[1] == 'I';
    if (!little && !(t[0] == 'M' && t[1] == 'M'))
        return -1;
    auto u16 = [&](qsizetype at) {
        return little ? t[at] | (t[at + 1] << 8) : (t[at] << 8) | t[at + 1];
    };
    auto u32 = [&](qsizetype at) {
        return little ? quint32(t[at]) | quint32(t[at + 1]) << 8 | quint32(t[at + 2]) << 16 |
                            quint32(t[at + 3]) << 24
                      : quint32(t[at]) << 24 | quint32(t[at + 1]) << 16 | quint32(t[at + 2]) << 8 |
                            quint32(t[at + 3]);
    };
    if (u16(2) != 42)
        return -1;
    const quint32 ifd = u32(4);
    if (ifd < 8 || qsizetype(ifd) + 2 > n)
        return -1;
    const int count = u16(ifd);
    for (int k = 0; k < count; ++k) {
        const qsizetype entry = qsizetype(ifd) + 2 + 12 * qsizetype(k);
        if (entry + 12 > n)
            return -1;
        // SHORT, one value: stored in the first two bytes of the value field.
        if (u16(entry) == OrientationTag && u16(entry + 2) == 3 && u32(entry + 4) == 1)
            return entry + 8;
    }
    return -1;
}

bool LittleEndian(const unsigned char* t) {
    return t[0] == 'I';
}

TOrientation ReadValue(const unsigned char* t, qsizetype at) {
    const int value = LittleEndian(t) ? t[at] | (t[at + 1] << 8) : (t[at] << 8) | t[at + 1];
    return value >= 1 && value <= 8 ? TOrientation(value) : TOrientation::Upright;
}

void WriteValue(unsigned char* t, qsizetype at, TOrientation orientation) {
    const int value = int(orientation);
    t[at] = uchar(LittleEndian(t) ? value : 0);
    t[at + 1] = uchar(LittleEndian(t) ? 0 : value);
}

// Where the TIFF block of the first EXIF segment starts, and its length; {-1, 0} without one.
std::pair<qsizetype, qsizetype> ExifTiff(const QByteArray& jpeg) {
    std::pair<qsizetype, qsizetype> found{-1, 0};
    WalkSegments(jpeg, [&](const TSegment& segment) {
        if (!IsExif(jpeg, segment))
            return true;
        found = {segment.Start + 4 + ExifHeaderSize, segment.Size - 4 - ExifHeaderSize};
        return false;
    });
    return found;
}

// Orientations as 2 × 2 matrices acting on coordinates about the picture's centre: each maps
// a stored pixel's (x, y) to its upright place.
using TMatrix = std::array<int, 4>;
constexpr std::array<TMatrix, 9> Matrices{{
    {0, 0, 0, 0},
    {1, 0, 0, 1},   // 1
    {-1, 0, 0, 1},  // 2
    {-1, 0, 0, -1}, // 3
    {1, 0, 0, -1},  // 4
    {0, 1, 1, 0},   // 5
    {0, -1, 1, 0},  // 6
    {0, -1, -1, 0}, // 7
    {0, 1, -1, 0},  // 8
}};

// The ASCII value of `tag` in the IFD at `ifd` of a TIFF block; empty when absent.
QString AsciiTag(const unsigned char* t, qsizetype n, quint32 ifd, int tag) {
    const bool little = LittleEndian(t);
    auto u16 = [&](qsizetype at) {
        return little ? t[at] | (t[at + 1] << 8) : (t[at] << 8) | t[at + 1];
    };
    auto u32 = [&](qsizetype at) {
        return little ? quint32(u16(at)) | quint32(u16(at + 2)) << 16
                      : quint32(u16(at)) << 16 | quint32(u16(at + 2));
    };
    if (ifd < 8 || qsizetype(ifd) + 2 > n)
        return {};
    const int count = u16(ifd);
    for (int k = 0; k < count; ++k) {
        const qsizetype entry = qsizetype(ifd) + 2 + 12 * qsizetype(k);
        if (entry + 12 > n)
            return {};
        if (u16(entry) != tag)
            continue;
        const quint32 length = u32(entry + 4);
        const qsizetype at = length <= 4 ? entry + 8 : qsizetype(u32(entry + 8));
        if (u16(entry + 2) == 2 && at >= 0 && at + qsizetype(length) <= n)
            return QString::fromLatin1(reinterpret_cast<const char*>(t + at), length)
                .section(QChar(0), 0, 0)
                .trimmed();
        // A pointer to another IFD, as a number in the text.
        if (u16(entry + 2) == 4 && length == 1)
            return QString::number(u32(entry + 8));
        return {};
    }
    return {};
}

// The EXIF block of a JPEG and the offset of its first IFD; null when there is none.
struct TExifBlock {
    const unsigned char* Tiff = nullptr;
    qsizetype Size = 0;
    quint32 Ifd0 = 0;
};

TExifBlock ExifBlock(const QByteArray& jpeg) {
    const auto [start, size] = ExifTiff(jpeg);
    if (start < 0 || size < 8)
        return {};
    const auto* t = reinterpret_cast<const unsigned char*>(jpeg.constData()) + start;
    if (!(t[0] == 'I' && t[1] == 'I') && !(t[0] == 'M' && t[1] == 'M'))
        return {};
    const bool little = LittleEndian(t);
    const quint32 ifd0 =
        little ? quint32(t[4]) | quint32(t[5]) << 8 | quint32(t[6]) << 16 | quint32(t[7]) << 24
               : quint32(t[4]) << 24 | quint32(t[5]) << 16 | quint32(t[6]) << 8 | quint32(t[7]);
    return {t, size, ifd0};
}

} // namespace

QString DateTaken(const QByteArray& jpeg) {
    const auto [t, size, ifd0] = ExifBlock(jpeg);
    if (!t)
        return {};
    bool ok = false;
    const quint32 exifIfd = AsciiTag(t, size, ifd0, 0x8769).toUInt(&ok);
    if (ok) {
        const QString original = AsciiTag(t, size, exifIfd, 0x9003);
        if (!original.isEmpty())
            return original;
    }
    return AsciiTag(t, size, ifd0, 0x0132);
}

QString Camera(const QByteArray& jpeg) {
    const auto [t, size, ifd0] = ExifBlock(jpeg);
    if (!t)
        return {};
    const QString make = AsciiTag(t, size, ifd0, 0x010F);
    const QString model = AsciiTag(t, size, ifd0, 0x0110);
    if (make.isEmpty() || model.startsWith(make.section(u' ', 0, 0), Qt::CaseInsensitive))
        return model;
    return model.isEmpty() ? make : make + u' ' + model;
}

TOrientation TiffOrientation(const QByteArray& tiff) {
    const auto* t = reinterpret_cast<const unsigned char*>(tiff.constData());
    const qsizetype at = OrientationValueAt(t, tiff.size());
    return at < 0 ? TOrientation::Upright : ReadValue(t, at);
}

bool SetTiffOrientation(QByteArray& tiff, TOrientation orientation) {
    auto* t = reinterpret_cast<unsigned char*>(tiff.data());
    const qsizetype at = OrientationValueAt(t, tiff.size());
    if (at < 0)
        return false;
    WriteValue(t, at, orientation);
    return true;
}

TOrientation Orientation(const QByteArray& jpeg) {
    const auto [start, size] = ExifTiff(jpeg);
    if (start < 0)
        return TOrientation::Upright;
    const auto* t = reinterpret_cast<const unsigned char*>(jpeg.constData()) + start;
    const qsizetype at = OrientationValueAt(t, size);
    return at < 0 ? TOrientation::Upright : ReadValue(t, at);
}

bool SetOrientation(QByteArray& jpeg, TOrientation orientation) {
    const auto [start, size] = ExifTiff(jpeg);
    if (start < 0)
        return false;
    auto* t = reinterpret_cast<unsigned char*>(jpeg.data()) + start;
    const qsizetype at = OrientationValueAt(t, size);
    if (at < 0)
        return false;
    WriteValue(t, at, orientation);
    return true;
}

QByteArray MetadataSegments(const QByteArray& jpeg) {
    QByteArray segments;
    WalkSegments(jpeg, [&](const TSegment& segment) {
        const bool app = segment.Marker >= 0xE1 && segment.Marker <= 0xEF;
        if ((app && segment.Marker != 0xEE) || segment.Marker == 0xFE)
            segments += jpeg.mid(segment.Start, segment.Size);
        return true;
    });
    // The segments form a marker stream of their own once a start marker is put in front.
    QByteArray stream = QByteArray("\xFF\xD8", 2) + segments;
    SetOrientation(stream, TOrientation::Upright);
    return stream.mid(2);
}

QByteArray WithMetadata(const QByteArray& encoded, const QByteArray& segments) {
    if (segments.isEmpty() || encoded.size() < 4)
        return encoded;
    // Skip a JFIF segment directly after the start marker when EXIF arrives.
    qsizetype rest = 2;
    const bool exif =
        !segments.isEmpty() && ExifTiff(QByteArray("\xFF\xD8", 2) + segments).first >= 0;
    const auto* b = reinterpret_cast<const unsigned char*>(encoded.constData());
    if (b[2] == 0xFF && b[3] == 0xE0 && encoded.size() >= 6) {
        const qsizetype length = (b[4] << 8) | b[5];
        if (exif)
            rest = 4 + length;
        else
            return encoded.left(4 + length) + segments + encoded.mid(4 + length);
    }
    return encoded.left(2) + segments + encoded.mid(rest);
}

QByteArray ExifSegment(const QByteArray& tiff) {
    const qsizetype length = 2 + ExifHeaderSize + tiff.size();
    if (tiff.isEmpty() || length > 0xFFFF)
        return {};
    QByteArray segment("\xFF\xE1", 2);
    segment.append(char(length >> 8)).append(char(length & 0xFF));
    segment.append(ExifHeader, ExifHeaderSize);
    return segment + tiff;
}

namespace {

// The four orientations that swap width and height, pixel by pixel. Tiles keep the reads of
// the turned direction within a few cached rows, so a phone photo turns in a few tens of
// milliseconds.
template <int Bytes> void TransposeInto(const QImage& image, QImage& out, bool flipX, bool flipY) {
    const int w = image.width();
    const int h = image.height();
    const uchar* source = image.constBits();
    const qsizetype stride = image.bytesPerLine();
    constexpr int Tile = 32;
    for (int ty = 0; ty < w; ty += Tile) {
        for (int tx = 0; tx < h; tx += Tile) {
            const int yEnd = std::min(ty + Tile, w);
            const int xEnd = std::min(tx + Tile, h);
            for (int oy = ty; oy < yEnd; ++oy) {
                uchar* row = out.scanLine(oy) + Bytes * tx;
                const uchar* column = source + Bytes * (flipX ? w - 1 - oy : oy);
                for (int ox = tx; ox < xEnd; ++ox, row += Bytes) {
                    const uchar* p = column + stride * (flipY ? h - 1 - ox : ox);
                    for (int b = 0; b < Bytes; ++b)
                        row[b] = p[b];
                }
            }
        }
    }
}

QImage Transposed(const QImage& image, TOrientation stored) {
    QImage out(image.height(), image.width(), image.format());
    if (out.isNull())
        return out;
    const bool flipX = stored == TOrientation::Transverse || stored == TOrientation::TurnLeft;
    const bool flipY = stored == TOrientation::Transverse || stored == TOrientation::TurnRight;
    if (image.depth() == 24)
        TransposeInto<3>(image, out, flipX, flipY);
    else
        TransposeInto<4>(image, out, flipX, flipY);
    return out;
}

} // namespace

QImage Upright(const QImage& image, TOrientation stored) {
    if (int(stored) >= 5 && (image.depth() == 24 || image.depth() == 32))
        return Transposed(image, stored);
    switch (stored) {
    case TOrientation::Upright:
        return image;
    case TOrientation::MirrorLeftRight:
        return image.mirrored(true, false);
    case TOrientation::Turn180:
        return image.mirrored(true, true);
    case TOrientation::MirrorTopBottom:
        return image.mirrored(false, true);
    case TOrientation::Transpose:
        return image.transformed(QTransform().rotate(90)).mirrored(true, false);
    case TOrientation::TurnRight:
        return image.transformed(QTransform().rotate(90));
    case TOrientation::Transverse:
        return image.transformed(QTransform().rotate(90)).mirrored(false, true);
    case TOrientation::TurnLeft:
        return image.transformed(QTransform().rotate(270));
    }
    return image;
}

QSize UprightSize(QSize stored, TOrientation orientation) {
    return int(orientation) >= 5 ? stored.transposed() : stored;
}

TOrientation Then(TOrientation first, TOrientation second) {
    const TMatrix& a = Matrices[std::size_t(first)];
    const TMatrix& b = Matrices[std::size_t(second)];
    const TMatrix product{b[0] * a[0] + b[1] * a[2], b[0] * a[1] + b[1] * a[3],
                          b[2] * a[0] + b[3] * a[2], b[2] * a[1] + b[3] * a[3]};
    for (int k = 1; k <= 8; ++k) {
        if (Matrices[std::size_t(k)] == product)
            return TOrientation(k);
    }
    return TOrientation::Upright;
}

} // namespace Lumerix::JpegMarkers
