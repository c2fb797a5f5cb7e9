#pragma once

#include "TVideoFormat.h"

#include <QImage>
#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

#include <functional>

namespace Lumerix {

class TProgress;
class TRunState;

/// How a frame looks: colours (0x00BBGGRR), caption font size and band position.
struct TFrameLook {
    qint64 BackgroundColor = 0;
    qint64 TextColor = 0xFFFFFF;
    int TextOffset = 0;           ///< distance of the caption band from the bottom edge
    bool CaptionsVisible = false; ///< draw the captions at all
    int CaptionPoints = 12;

    /// The look of the settings in `state` for a video of `kind`.
    static TFrameLook FromState(const TRunState& state, TVideoKind kind);
    /// The same look at `frameHeight` lines: caption size and offset grow from a VCD's 288.
    static TFrameLook ScaledFromState(const TRunState& state, int frameHeight);
};

/// One picture of the stage: its file and its caption.
struct TFramePicture {
    QString Source;
    QString Caption;
    QString Warning = {}; ///< set by the picture stage: damaged data the decoder skipped
};

namespace FramePreparation {

/// Where a picture of `picture` size lands in a frame of `frame` size: larger pictures are
/// fitted by their proportion (a landscape picture narrower than the frame's proportion is
/// cut at top and bottom, a negative top), smaller ones keep their size and are centred.
QRect Place(QSize picture, QSize frame);

/// The frame: background, the already fitted picture at `topLeft`, and the caption band.
QImage Compose(const QImage& fitted, QPoint topLeft, const QString& caption, QSize frame,
               const TFrameLook& look);

/// Draws the caption band onto `frame` (nothing when captions are off or the caption empty).
void DrawCaption(QImage& frame, const QString& caption, const TFrameLook& look);

/// Makes one frame from a JPEG picture. The picture is decoded once, at the smallest DCT
/// scale that still covers its place in the frame. Throws `TImagingError`. `warning` gets
/// what the decoder skipped in a damaged picture.
QImage ConvertPicture(const QString& source, const QString& caption, QSize frame,
                      const TFrameLook& look, QString* warning = nullptr);

/// Writes a frame as an uncompressed 24-bit Windows bitmap; throws `TImagingError`.
void WriteBitmap(const QImage& frame, const QString& path);

/// "inp" + the number in four digits + ".bmp".
QString BitmapName(int number);

/// How the picture stage stores its frames: bitmaps for the AVI, JPEG key frames (quality 85)
/// for the MPEG encoder.
enum class TFrameFile { Bitmap, KeyFrame };

/// "inp0001.bmp" or "inp0001_Key.jpg".
QString FrameName(int number, TFrameFile file);

/// Told after each frame file is written: its number (from 1), the picture and the file.
using TFrameWritten =
    std::function<void(int number, const TFramePicture& picture, const QString& file)>;

/// The pictures of a slideshow as its picture list opens them: full path and caption.
QList<TFramePicture> PicturesOfShow(const TRunState& state, const QString& showName);

/// The shipped closing picture for the run's language (German or English).
QString ClosingPicture(const TRunState& state);

/// The picture stage: writes "inp0001.bmp" … (or "inp0001_Key.jpg" …) into `folder` (which
/// must exist), one per picture and the closing picture (no caption) last. Conversions run
/// on every core; files are written in order. Returns the files written, or an empty list
/// when cancelled (checked between pictures; files already written stay). Throws
/// `TImagingError` for a picture that cannot be read or a frame that cannot be written.
QStringList PictureStage(const QList<TFramePicture>& pictures, const QString& closingPicture,
                         QSize frame, const TFrameLook& look, const QString& folder,
                         TProgress& progress, TFrameFile file = TFrameFile::Bitmap,
                         const TFrameWritten& written = {});

} // namespace FramePreparation

} // namespace Lumerix
