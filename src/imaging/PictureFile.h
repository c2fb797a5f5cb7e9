#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

namespace Lumerix {

/// Picture files of the kinds phones, cameras and other programs make, and their way into a
/// slideshow, which holds JPEG only.
namespace PictureFile {

enum class TFormat { Unknown, Jpeg, Png, WebP, Tiff, Heif, Bmp };

/// The format the first bytes of a file show (the name is not trusted).
TFormat FormatOf(const QByteArray& head);
/// The format of the file at `path`; `Unknown` when it cannot be read.
TFormat FormatOfFile(const QString& path);
/// True for names the source list offers: those containing ".JPG" (any case) as ever, and
/// those ending in ".png", ".webp", ".tif", ".tiff", ".heic", ".heif" or ".bmp".
bool IsPictureName(const QString& name);

/// A picture decoded upright, with its EXIF block (TIFF structure, orientation already reset
/// to upright) when the format carries one.
struct TDecoded {
    QImage Bitmap; ///< Format_BGR888; transparent parts laid on white
    QByteArray Exif;
};

/// Decodes a picture of any of the formats but JPEG; throws `TImagingError` naming `path` and
/// the cause ("not a picture file", "cannot decode: …").
TDecoded Decode(const QString& path);

/// The quality factor of converted copies: 2, JPEG quality 95, where a viewer sees no loss.
inline constexpr int ConvertedQualityFactor = 2;

/// Puts the picture at `source` into `target` as JPEG: a JPEG is copied byte for byte (its
/// orientation is honoured when it is loaded); the other formats are decoded, stored upright
/// at `ConvertedQualityFactor` with their EXIF. Throws `TImagingError` naming the source and
/// the cause; `target` is then not written.
void Bring(const QString& source, const QString& target);

} // namespace PictureFile

} // namespace Lumerix
