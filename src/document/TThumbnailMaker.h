#pragma once

#include <QImage>
#include <QString>
#include <QStringList>

namespace Lumerix {

class TProgress;
class TRunState;

/// Framed thumbnails of pictures: 70 pixels high, as wide as the picture's proportions give,
/// with a frame and a light drop shadow, saved as JPEG.
namespace Thumbnails {

inline constexpr int Height = 70;

/// A picture decoded no larger than a thumbnail of `height` needs, upright.
struct TReduced {
    QImage Image;
    QSize Stored;    ///< the whole picture's upright size, which gives the thumbnail's shape
    QString Warning; ///< what the decoder tolerated
};
/// Throws `TImagingError`.
TReduced Reduced(const QString& picturePath, int height = Height);
/// The framed thumbnail bitmap made from a reduced decode.
QImage Framed(const TReduced& reduced, int height = Height);
/// The framed thumbnail bitmap of a picture (JPEG, or any format `PictureFile` decodes),
/// upright; throws `TImagingError`. `warning` gets what the decoder tolerated.
QImage Framed(const QString& picturePath, int height = Height, QString* warning = nullptr);
/// Writes a framed thumbnail; false, with the file and the cause in `writeError`, when it
/// cannot be written.
bool Save(const QImage& framed, const QString& target, QString* writeError = nullptr);
/// Makes the thumbnail file `target` anew; throws `TImagingError`. Returns the decoder's
/// warning, empty for a whole picture.
QString MakeChecked(const QString& picturePath, const QString& target);
/// Makes the thumbnail file `target` unless it exists and `force` is off. Errors are swallowed:
/// false means there is no fresh thumbnail, and the entry shows no image. A picture that
/// cannot be read only costs its thumbnail; a thumbnail that cannot be written (a full disk)
/// is also told through `writeError`, naming the file and the cause.
bool Make(const QString& picturePath, const QString& target, bool force = false,
          int height = Height, QString* writeError = nullptr);

/// A picture's thumbnail in its slideshow folder: "_THUMB_" + its file name beside it.
QString ShowThumbnailPath(const QString& picturePath);
/// A source picture's thumbnail, kept between runs: `ProgramDir` + "thumbs/" +
/// `SafeFileName`(path) + ".jpg"; a name over 200 bytes becomes a digest of the path and
/// the name's end.
QString SourceThumbnailPath(const TRunState& state, const QString& picturePath);

/// done / total in per cent, rounded half to even; 0 when total is 0.
int Percent(int done, int total);
/// The status text while thumbnails are made: "Vorschaubilder werden erstellt: 40 %" and the
/// like, from message texts 14000 and 14001.
QString ProgressText(const TRunState& state, int percent);

} // namespace Thumbnails

/// The source list of step 1: one entry per JPEG of a folder, with its thumbnail.
namespace SourceFolder {

/// Names of the folder's picture files: upper-cased names containing ".JPG", and the other
/// formats' names (`PictureFile::IsPictureName`).
QStringList PictureNames(const QString& folder);

/// How the source list is ordered: by the entries' text (the file names), or by the time the
/// pictures were taken (EXIF, else the file's modification time; equal times by name).
enum class TOrder { Name, DateTaken };

/// When the picture at `path` was taken, as "YYYY:MM:DD HH:MM:SS".
QString DateTaken(const QString& path);

/// The source entries of `folder` in `order`. Missing thumbnails are made in parallel on all
/// cores; progress reports the share done. A cancel stops making thumbnails and returns the
/// entries made so far.
QStringList List(const TRunState& state, const QString& folder, TProgress& progress,
                 TOrder order = TOrder::Name);

} // namespace SourceFolder

} // namespace Lumerix
