#include "imaging/PictureFile.h"

#include "imaging/HeifDecoder.h"
#include "imaging/JpegMarkers.h"
#include "imaging/TRasterImage.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QLibrary>
#include <QtEndian>

#include <algorithm>
#include <utility>

namespace Lumerix::PictureFile {

namespace {

const QString Operation = QStringLiteral("Load");

bool StartsWith(const QByteArray& bytes, qsizetype at, const char* text) {
    return bytes.mid(at, qsizetype(qstrlen(text))) == text;
}

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    if (!file.exists())
        throw TImagingError(Operation, path, QStringLiteral("file not found"));
    if (!file.open(QIODevice::ReadOnly))
        throw TImagingError(Operation, path, QStringLiteral("cannot read: ") + file.errorString());
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw TImagingError(Operation, path, QStringLiteral("cannot read: ") + file.errorString());
    return bytes;
}

// The EXIF block inside PNG ("eXIf" chunk) or WebP ("EXIF" chunk) bytes; empty without one.
QByteArray ChunkExif(const QByteArray& bytes, TFormat format) {
    QByteArray exif;
    if (format == TFormat::Png) {
        qsizetype at = 8;
        while (at + 12 <= bytes.size()) {
            const quint32 length = qFromBigEndian<quint32>(bytes.constData() + at);
            if (length > quint32(bytes.size() - at - 12))
                break;
            if (StartsWith(bytes, at + 4, "eXIf"))
                exif = bytes.mid(at + 8, length);
            if (StartsWith(bytes, at + 4, "IDAT") || !exif.isEmpty())
                break;
            at += 12 + length;
        }
    } else if (format == TFormat::WebP) {
        qsizetype at = 12;
        while (at + 8 <= bytes.size()) {
            const quint32 length = qFromLittleEndian<quint32>(bytes.constData() + at + 4);
            if (length > quint32(bytes.size() - at - 8))
                break;
            if (StartsWith(bytes, at, "EXIF")) {
                exif = bytes.mid(at + 8, length);
                break;
            }
            at += 8 + length + (length & 1);
        }
    }
    // Some writers keep the JPEG segment's "Exif\0\0" in front of the TIFF structure.
    if (exif.startsWith(QByteArray("Exif\0\0", 6)))
        exif.remove(0, 6);
    return exif;
}

// Transparent parts laid on white, the colour a page shows behind such a picture.
QImage OnWhite(const QImage& image) {
    if (!image.hasAlphaChannel())
        return image.convertToFormat(QImage::Format_BGR888);
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    QImage out(argb.size(), QImage::Format_BGR888);
    if (out.isNull())
        return out;
    for (int y = 0; y < argb.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        uchar* row = out.scanLine(y);
        for (int x = 0; x < argb.width(); ++x) {
            const int a = qAlpha(in[x]);
            auto mix = [a](int c) {
                return uchar((c * a + 255 * (255 - a) + 127) / 255);
            };
            row[3 * x] = mix(qBlue(in[x]));
            row[3 * x + 1] = mix(qGreen(in[x]));
            row[3 * x + 2] = mix(qRed(in[x]));
        }
    }
    return out;
}

TDecoded DecodeWithQt(const QString& path, TFormat format) {
    const QByteArray bytes = ReadAll(path);
    QByteArray exif = ChunkExif(bytes, format);
    QImageReader reader(path);
    reader.setAutoTransform(false);
    QImage image = reader.read();
    if (image.isNull())
        throw TImagingError(Operation, path,
                            QStringLiteral("cannot decode: ") + reader.errorString());
    // TIFF names its own orientation, which Qt reads; PNG and WebP carry it in their EXIF.
    TOrientation orientation = TOrientation::Upright;
    if (reader.supportsOption(QImageIOHandler::ImageTransformation)) {
        static const std::pair<QImageIOHandler::Transformations, TOrientation> known[] = {
            {QImageIOHandler::TransformationMirror, TOrientation::MirrorLeftRight},
            {QImageIOHandler::TransformationRotate180, TOrientation::Turn180},
            {QImageIOHandler::TransformationFlip, TOrientation::MirrorTopBottom},
            {QImageIOHandler::TransformationFlipAndRotate90, TOrientation::Transverse},
            {QImageIOHandler::TransformationRotate90, TOrientation::TurnRight},
            {QImageIOHandler::TransformationMirrorAndRotate90, TOrientation::Transpose},
            {QImageIOHandler::TransformationRotate270, TOrientation::TurnLeft},
        };
        for (const auto& [transformation, value] : known) {
            if (reader.transformation() == transformation)
                orientation = value;
        }
    } else {
        orientation = JpegMarkers::TiffOrientation(exif);
    }
    JpegMarkers::SetTiffOrientation(exif, TOrientation::Upright);
    QImage upright = JpegMarkers::Upright(OnWhite(image), orientation);
    if (upright.isNull())
        throw TImagingError(Operation, path, QStringLiteral("out of memory"));
    return {upright, exif};
}

// libheif and its codecs are loaded with the module on the first HEIF picture, not at start.
HeifDecoder::TDecode HeifModule(QString* error) {
    static QString loadError;
    static const HeifDecoder::TDecode decode = [] {
        QLibrary module(QCoreApplication::applicationDirPath() +
                        QStringLiteral("/" LUMERIX_MODULE_DIR_FROM_BIN "/") +
                        QLatin1String(HeifDecoder::ModuleName));
        const auto entry =
            reinterpret_cast<HeifDecoder::TDecode>(module.resolve(HeifDecoder::EntryName));
        if (!entry)
            loadError = module.errorString();
        return entry;
    }();
    *error = loadError;
    return decode;
}

TDecoded DecodeHeif(const QString& path) {
    const QByteArray bytes = ReadAll(path);
    QString moduleError;
    const HeifDecoder::TDecode decode = HeifModule(&moduleError);
    if (!decode)
        throw TImagingError(Operation, path,
                            QStringLiteral("cannot decode HEIF pictures: ") + moduleError);
    HeifDecoder::TResult result;
    decode(bytes, TRasterImage::MaxPixels, result);
    if (result.Bitmap.isNull())
        throw TImagingError(Operation, path, result.Error);
    // The decoder applied the container's turn and mirror; the EXIF orientation (informative
    // only in this format) is reset.
    JpegMarkers::SetTiffOrientation(result.Exif, TOrientation::Upright);
    return {result.Bitmap, result.Exif};
}

} // namespace

TFormat FormatOf(const QByteArray& head) {
    if (head.size() >= 3 && uchar(head[0]) == 0xFF && uchar(head[1]) == 0xD8 &&
        uchar(head[2]) == 0xFF)
        return TFormat::Jpeg;
    if (head.startsWith("\x89PNG\r\n\x1A\n"))
        return TFormat::Png;
    if (head.startsWith("RIFF") && StartsWith(head, 8, "WEBP"))
        return TFormat::WebP;
    if (head.startsWith(QByteArray("II*\0", 4)) || head.startsWith(QByteArray("MM\0*", 4)))
        return TFormat::Tiff;
    if (head.startsWith("BM") && head.size() >= 14)
        return TFormat::Bmp;
    if (StartsWith(head, 4, "ftyp")) {
        // The major brand, then the compatible ones: any still-picture HEIF brand will do.
        static const char* const brands[] = {"heic", "heix", "heim", "heis",
                                             "hevc", "hevx", "mif1", "msf1"};
        const quint32 boxSize = head.size() >= 4 ? qFromBigEndian<quint32>(head.constData()) : 0;
        for (qsizetype at = 8; at + 4 <= std::min<qsizetype>(head.size(), boxSize); at += 4) {
            for (const char* brand : brands) {
                if (StartsWith(head, at, brand))
                    return TFormat::Heif;
            }
        }
    }
    return TFormat::Unknown;
}

TFormat FormatOfFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return TFormat::Unknown;
    return FormatOf(file.read(64));
}

bool IsPictureName(const QString& name) {
    if (name.contains(QLatin1String(".JPG"), Qt::CaseInsensitive))
        return true;
    static const char* const endings[] = {".png",  ".webp", ".tif", ".tiff",
                                          ".heic", ".heif", ".bmp"};
    for (const char* ending : endings) {
        if (name.endsWith(QLatin1String(ending), Qt::CaseInsensitive))
            return true;
    }
    return false;
}

TDecoded Decode(const QString& path) {
    switch (FormatOfFile(path)) {
    case TFormat::Png:
        return DecodeWithQt(path, TFormat::Png);
    case TFormat::WebP:
        return DecodeWithQt(path, TFormat::WebP);
    case TFormat::Tiff:
        return DecodeWithQt(path, TFormat::Tiff);
    case TFormat::Bmp:
        return DecodeWithQt(path, TFormat::Bmp);
    case TFormat::Heif:
        return DecodeHeif(path);
    case TFormat::Jpeg:
    case TFormat::Unknown:
        break;
    }
    if (!QFileInfo::exists(path))
        throw TImagingError(Operation, path, QStringLiteral("file not found"));
    throw TImagingError(Operation, path, QStringLiteral("not a picture file"));
}

void Bring(const QString& source, const QString& target) {
    if (FormatOfFile(source) == TFormat::Jpeg) {
        TRasterImage::WriteFile(target, ReadAll(source), QStringLiteral("Copy"));
        return;
    }
    const TDecoded decoded = Decode(source);
    const QByteArray exif = JpegMarkers::ExifSegment(decoded.Exif);
    const QByteArray bytes = JpegMarkers::WithMetadata(
        TRasterImage(decoded.Bitmap).EncodeJpeg(ConvertedQualityFactor), exif);
    TRasterImage::WriteFile(target, bytes, QStringLiteral("Save"));
}

} // namespace Lumerix::PictureFile
