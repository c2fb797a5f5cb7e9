#pragma once

#include "imaging/TFloater.h"
#include "imaging/TRasterImage.h"

#include <QImage>
#include <QPointF>
#include <QRect>

#include <optional>

namespace Lumerix {

/// The full-size editor's marking: a rectangle drawn on the picture with the left mouse button,
/// held as the picture's region, and the floating copy lifted from it and moved with the mouse.
/// Points are in picture pixels (pixel x covers x .. x + 1), converted by the view.
///
/// A press inside the marking lifts the copy and starts following the pointer: from then on
/// every movement, with or without a button, moves it. A press outside the marking drops the
/// copy where it is, into the picture, and removes the marking. Without a copy, a press outside
/// the marking starts a new rectangle that replaces the marking when the button is released.
class TMarking {
public:
    TMarking() = default;

    /// The picture the view shows. Replacing it ends the marking and the floating copy: both
    /// belonged to the earlier picture. The follow flag stays.
    void SetPicture(const QImage& picture);
    const TRasterImage& Picture() const { return View; }
    bool HasPicture() const { return !View.IsNull(); }

    bool HasMarking() const { return View.HasRegion() && !View.RegionRect().isEmpty(); }
    QRect MarkingRect() const { return HasMarking() ? View.RegionRect() : QRect(); }
    bool HasFloater() const { return !Copy.IsNull(); }
    const TFloater& Floater() const { return Copy; }
    /// The marking's outline; off while a copy floats.
    TRegionFrame Frame() const { return FrameType; }
    /// Whether a drag draws a rectangle; off while a copy floats.
    bool MarkingTool() const { return Tool; }
    bool Following() const { return Follow; }
    /// The rectangle being drawn, while the button is held.
    bool Drawing() const { return DrawingBand; }
    QRect RubberBand() const;

    /// A left-button press; false when it changed nothing.
    bool Press(QPointF point);
    /// A mouse movement; false when it changed nothing.
    bool Move(QPointF point);
    /// A left-button release; false when it changed nothing.
    bool Release(QPointF point);

    /// The cursor at `point`: a pointing hand inside the marking, the cross elsewhere; none
    /// (leave it as it is) while following.
    std::optional<Qt::CursorShape> CursorAt(QPointF point) const;

    /// Combines the floating copy into the picture at its place, removes it and the marking,
    /// and brings back the outline and marking tool of before the pick-up. Without a copy
    /// nothing happens.
    void Drop();
    /// Back to the start: no copy, no marking, animated outline, rectangle tool, not following.
    void Reset();

    /// The picture cropped to the marking (a copy is lifted first when none floats): the
    /// marked pixels, white wherever the marking's shape does not reach. None without a marking.
    std::optional<TRasterImage> Crop();

private:
    /// Turns `point` into a pixel edge inside the picture.
    QPoint EdgeAt(QPointF point) const;
    void EndFloater();

    TRasterImage View;
    TFloater Copy;
    TRegionFrame FrameType = TRegionFrame::Animated;
    TRegionFrame SavedFrame = TRegionFrame::Animated;
    bool Tool = true;
    bool SavedTool = true;
    bool Follow = false;
    bool DrawingBand = false;
    QPoint BandStart;
    QPoint BandEnd;
    QPointF Anchor;     ///< the pointer when the copy was last picked up
    QPoint CopyAtPress; ///< the copy's top-left corner then
};

} // namespace Lumerix
