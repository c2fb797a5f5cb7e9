#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>

namespace Lumerix {

/// The eight EXIF orientations, each naming the turn or mirror that makes the stored pixels
/// upright: 1 as stored, 2 left-right mirror, 3 half turn, 4 top-bottom mirror, 5 transpose,
/// 6 quarter turn clockwise, 7 transverse, 8 quarter turn anticlockwise.
enum class TOrientation {
    Upright = 1,
    MirrorLeftRight = 2,
    Turn180 = 3,
    MirrorTopBottom = 4,
    Transpose = 5,
    TurnRight = 6,
    Transverse = 7,
    TurnLeft = 8,
};

namespace JpegMarkers {

/// The orientation in the EXIF block of JPEG bytes; `Upright` when there is none or it is not
/// one of the eight values.
TOrientation Orientation(const QByteArray& jpeg);
/// Sets the orientation tag of the EXIF block in place, touching no other byte. False when
/// the bytes have no orientation tag (nothing to reset then).
bool SetOrientation(QByteArray& jpeg, TOrientation orientation);
/// Orientation of a bare TIFF-structured EXIF block ("II*\0…" or "MM\0*…").
TOrientation TiffOrientation(const QByteArray& tiff);
bool SetTiffOrientation(QByteArray& tiff, TOrientation orientation);

/// When the picture was taken, from EXIF (DateTimeOriginal, else DateTime) as
/// "YYYY:MM:DD HH:MM:SS"; empty without one.
QString DateTaken(const QByteArray& jpeg);
/// The camera from EXIF: maker and model ("Canon EOS 80D"), the model alone when it already
/// names the maker; empty without either.
QString Camera(const QByteArray& jpeg);

/// The metadata segments of JPEG bytes as stored (marker, length and data): every APP1..APP15
/// and comment segment before the frame, except Adobe's APP14, which describes the colour
/// transform of the old encoding rather than the picture. The EXIF orientation in the result
/// is reset to upright.
QByteArray MetadataSegments(const QByteArray& jpeg);
/// `encoded` (a fresh encoding) with `segments` placed after its start marker. Its JFIF
/// marker gives way when the segments bring EXIF, which must then come first.
QByteArray WithMetadata(const QByteArray& encoded, const QByteArray& segments);
/// An EXIF APP1 segment around a TIFF-structured block; empty when `tiff` is empty or too
/// large for one segment.
QByteArray ExifSegment(const QByteArray& tiff);

/// `image` turned or mirrored from `stored` orientation to upright.
QImage Upright(const QImage& image, TOrientation stored);
/// The size of a picture of `stored` size once upright.
QSize UprightSize(QSize stored, TOrientation orientation);
/// The single turn or mirror that does `first` and then `second`.
TOrientation Then(TOrientation first, TOrientation second);

} // namespace JpegMarkers

} // namespace Lumerix
