#pragma once

#include "TRasterImage.h"

#include <QPoint>
#include <QRect>

namespace Lumerix {

/// How a picture's region outline is drawn on screen.
enum class TRegionFrame {
    None = 0,     ///< no outline
    Static = 1,   ///< a still dashed line
    Animated = 2, ///< dashes that march once a second
};

/// A movable copy of the pixels inside a picture's region: lifted off the picture (which keeps
/// its pixels), moved about in picture pixels, and combined back into a picture at its place.
/// The copy remembers the region's shape relative to its own top-left corner.
class TFloater {
public:
    TFloater() = default;

    /// Copies the pixels inside `image`'s region. Throws `TImagingError` when `image` has no
    /// picture, no region, or a region that lies outside it.
    static TFloater Lift(const TRasterImage& image);

    bool IsNull() const { return Pixels.IsNull(); }
    const TRasterImage& Picture() const { return Pixels; }
    /// The copy's place in picture pixels (left, top, width, height).
    QRect Rect() const { return QRect(Place, Pixels.SizeOf()); }
    /// The lifted region relative to `Rect().topLeft()`.
    QRect Shape() const { return ShapeRect; }

    void MoveTo(QPoint topLeft) { Place = topLeft; }

    /// Copies the pixels into `target` at the copy's place, in copy mode, inside the copy's
    /// shape and inside `target`'s region when it has one; parts outside `target` are left out.
    void CombineInto(TRasterImage& target) const;

    /// A new picture the size of the copy, white, with the copy's pixels inside its shape:
    /// what is left of the picture after cropping it to the lifted region.
    TRasterImage Cropped() const;

private:
    TRasterImage Pixels;
    QPoint Place;
    QRect ShapeRect;
};

} // namespace Lumerix
