#pragma once

#include "TPlayerSettings.h"

#include <QColor>
#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

class QPainter;

namespace Lumerix {

struct TPlayerPicture;

/// One composed screen of a slideshow and what it shows.
struct TFrame {
    QImage Image;     ///< the whole screen, 24-bit
    QString Caption;  ///< the caption line drawn, empty when none
    QString FileName; ///< the file name line drawn, empty when none
    bool Ok = false;  ///< false when the picture could not be read (`Image` is then null)
    QString Error;
};

/// Lays out the screens the player shows, at one screen size: a picture fitted into the
/// picture area keeping its proportions, on the background colour, with the caption and the
/// file name below it in the text colour. The text band is kept free whenever captions or
/// file names are switched on, so every picture of a show gets the same area. A pure value:
/// copies may compose on other threads.
class TFrameComposer {
public:
    /// Pictures larger than this on disk are not read.
    static constexpr qint64 MaxPictureBytes = qint64(256) << 20;

    TFrameComposer() = default;
    TFrameComposer(const TPlayerSettings& settings, QSize frameSize);

    QSize FrameSize() const { return Size; }
    /// Where pictures are fitted: the screen above the text band.
    QRect PictureArea() const { return Area; }
    /// The bottom of the lowest text line, in screen rows.
    int TextBottom() const { return Size.height() - BottomMargin; }
    /// `picture` scaled to fit the picture area, proportions kept (small pictures grow).
    QSize FitSize(QSize picture) const;

    /// The user's text colour, always.
    QColor TextColor() const;
    /// A thin outline drawn round the texts when their colour is too close to the background
    /// to read (a much lighter or darker shade of it); invalid when none is needed.
    QColor OutlineColor() const;
    QColor Background() const { return BackColor; }

    /// Reads, fits and composes a picture of a slideshow; never throws (`Ok` false instead).
    TFrame ComposePicture(const TPlayerPicture& picture) const;
    /// Composes an already fitted (or any) picture with its texts.
    TFrame Compose(const QImage& picture, const QString& caption, const QString& fileName) const;

    /// The background alone.
    QImage Blank() const;
    /// A card of centred text: a heading and, smaller, further lines.
    QImage Message(const QString& heading, const QStringList& lines = {}) const;
    /// A picture fitted to the whole screen, without texts; a null image when it cannot be read.
    QImage Poster(const QString& path) const;

    /// Decodes a JPEG file at the size that fits `box` (keeping proportions); the DCT
    /// reduction does most of the shrinking. Throws `TImagingError`.
    static QImage Decode(const QString& path, QSize box);
    /// `picture` scaled to fit `box`, proportions kept.
    static QSize Fit(QSize picture, QSize box);

private:
    QImage Canvas() const;
    /// `text` in the text colour, with the outline when one is needed.
    void DrawText(QPainter& painter, const QRect& box, int flags, const QString& text) const;
    int CaptionPixels() const;
    int FileNamePixels() const;

    QSize Size;
    QRect Area;
    QColor BackColor = Qt::black;
    QColor ForeColor = Qt::white;
    bool CaptionShown = false;
    bool FileNameShown = false;
    int BottomMargin = 0;
};

} // namespace Lumerix
