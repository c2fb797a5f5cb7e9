#include "TMarking.h"

#include <QtMath>

#include <algorithm>

namespace Lumerix {

void TMarking::SetPicture(const QImage& picture) {
    EndFloater();
    View.SetBitmap(picture);
    View.FreeRgn();
    DrawingBand = false;
}

QRect TMarking::RubberBand() const {
    if (!DrawingBand)
        return QRect();
    const int left = std::min(BandStart.x(), BandEnd.x());
    const int top = std::min(BandStart.y(), BandEnd.y());
    const int right = std::max(BandStart.x(), BandEnd.x());
    const int bottom = std::max(BandStart.y(), BandEnd.y());
    return QRect(left, top, right - left, bottom - top);
}

QPoint TMarking::EdgeAt(QPointF point) const {
    return QPoint(std::clamp(qRound(point.x()), 0, View.Width()),
                  std::clamp(qRound(point.y()), 0, View.Height()));
}

bool TMarking::Press(QPointF point) {
    if (!HasPicture())
        return false;
    const QPoint pixel(qFloor(point.x()), qFloor(point.y()));
    if (HasMarking() && MarkingRect().contains(pixel)) {
        if (!HasFloater()) {
            // Saved only at the pick-up: a second press while the copy floats would otherwise
            // save the switched-off state and the tool would never come back.
            SavedFrame = FrameType;
            FrameType = TRegionFrame::None;
            SavedTool = Tool;
            Tool = false;
            Copy = TFloater::Lift(View);
        }
        Anchor = point;
        CopyAtPress = Copy.Rect().topLeft();
        Follow = true;
        return true;
    }
    if (HasFloater()) {
        Drop();
        return true;
    }
    if (!Tool)
        return false;
    DrawingBand = true;
    BandStart = BandEnd = EdgeAt(point);
    return true;
}

bool TMarking::Move(QPointF point) {
    if (Follow && HasFloater()) {
        const QPointF moved = point - Anchor;
        const QPoint place = CopyAtPress + QPoint(qRound(moved.x()), qRound(moved.y()));
        if (place == Copy.Rect().topLeft())
            return false;
        Copy.MoveTo(place);
        return true;
    }
    if (DrawingBand) {
        const QPoint end = EdgeAt(point);
        if (end == BandEnd)
            return false;
        BandEnd = end;
        return true;
    }
    return false;
}

bool TMarking::Release(QPointF point) {
    if (!DrawingBand)
        return false;
    BandEnd = EdgeAt(point);
    const QRect band = RubberBand();
    DrawingBand = false;
    if (band.isEmpty())
        View.FreeRgn();
    else
        View.SetRgnRect(band);
    return true;
}

std::optional<Qt::CursorShape> TMarking::CursorAt(QPointF point) const {
    if (Follow)
        return std::nullopt;
    const QPoint pixel(qFloor(point.x()), qFloor(point.y()));
    return HasMarking() && MarkingRect().contains(pixel) ? Qt::PointingHandCursor : Qt::CrossCursor;
}

void TMarking::Drop() {
    if (!HasFloater())
        return;
    // The copy lands where it was moved to, not only where the marking was.
    View.FreeRgn();
    Copy.CombineInto(View);
    EndFloater();
}

void TMarking::EndFloater() {
    if (HasFloater()) {
        Copy = TFloater();
        FrameType = SavedFrame;
        Tool = SavedTool;
    }
    View.FreeRgn();
}

void TMarking::Reset() {
    Copy = TFloater();
    View.FreeRgn();
    FrameType = SavedFrame = TRegionFrame::Animated;
    Tool = SavedTool = true;
    Follow = false;
    DrawingBand = false;
}

std::optional<TRasterImage> TMarking::Crop() {
    if (!HasMarking())
        return std::nullopt;
    if (!HasFloater()) {
        SavedFrame = FrameType;
        SavedTool = Tool;
        Copy = TFloater::Lift(View);
    }
    return Copy.Cropped();
}

} // namespace Lumerix
