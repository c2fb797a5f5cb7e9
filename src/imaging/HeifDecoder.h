#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

namespace Lumerix::HeifDecoder {

/// What the module makes of a HEIF file's bytes: the primary picture upright as the container
/// shows it (turn and mirror applied), and its EXIF block (TIFF structure, orientation as
/// stored), or the cause of the failure.
struct TResult {
    QImage Bitmap; ///< Format_BGR888; null on failure
    QByteArray Exif;
    QString Error; ///< "cannot decode: …", "too large: W × H", "out of memory"
};

/// The module's one entry point, looked up by `EntryName`. A picture of more than `maxPixels`
/// pixels is refused before it is decoded.
using TDecode = void (*)(const QByteArray& bytes, qint64 maxPixels, TResult& result);
inline constexpr char EntryName[] = "LumerixDecodeHeif";
/// The module's file name in the module folder.
inline constexpr char ModuleName[] = "lumerix-heif.so";

} // namespace Lumerix::HeifDecoder
