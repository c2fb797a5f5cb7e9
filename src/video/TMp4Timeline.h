#pragma once

#include <QSize>
#include <QSizeF>
#include <QTransform>

#include <QtGlobal>

namespace Lumerix {

/// Where each output frame of an MP4 falls: picture i is held `HeldFrames` alone, then (when
/// there is a next picture and transitions are on) `TransitionFrames` lead into picture i + 1.
/// A picture moves during all of its visible time, its transitions included.
class TMp4Timeline {
public:
    TMp4Timeline(int pictureCount, qint64 heldFrames, qint64 transitionFrames);

    /// What one frame shows.
    struct TFrame {
        int Picture = 0;       ///< the picture shown, or leaving in a transition
        int Next = -1;         ///< the picture arriving, or -1 outside transitions
        double Progress = 0;   ///< 0 … 1 through the transition (mid-frame sampled)
        double Motion = 0;     ///< 0 … 1 through `Picture`'s visible time
        double NextMotion = 0; ///< the same for `Next`
    };

    qint64 TotalFrames() const;
    /// The first frame of picture `index` (its hold starts there); `index` == count: the end.
    qint64 PictureStart(int index) const;
    TFrame At(qint64 frame) const;

private:
    double MotionOf(int picture, qint64 frame) const;

    int Count;
    qint64 Held;
    qint64 Between;
};

/// The slow zoom and pan of one picture: deterministic per picture index, so the same show
/// always gives the same video. `t` runs 0 … 1 over the picture's visible time and the
/// movement is linear in it, so equal steps of time move the picture by equal amounts.
namespace Mp4Motion {

/// How far the picture is zoomed at the most (1.0 = none).
inline constexpr double MaxZoom = 1.12;
/// How far the picture's centre moves from the middle at the most, as a share of the frame's
/// height.
inline constexpr double MaxPan = 0.1;

/// Zoom (1 … MaxZoom) and the shift of the picture's centre, as a share of the room that the
/// zoom leaves on each side (-1 … 1), for picture `index` at `t`.
struct TView {
    double Zoom = 1.0;
    double ShiftX = 0.0;
    double ShiftY = 0.0;
};
TView At(int index, double t);

/// The picture's scale at zoom 1: the whole picture inside the frame (`fill` false) or the
/// frame covered (`fill` true).
double BaseScale(QSizeF picture, QSizeF frame, bool fill);

/// Maps the pixels of a picture of `picture` size (the original or a reduced copy, the same
/// shape) to frame pixels for `view`. Pans only where the zoomed picture overhangs the frame,
/// so an edge covered at zoom 1 is never uncovered.
QTransform Transform(QSizeF picture, QSizeF frame, bool fill, const TView& view);

/// The size a picture of `picture` pixels needs to be reduced to (never enlarged) so that it
/// still has a pixel for every frame pixel at the largest zoom.
QSize WorkingSize(QSize picture, QSize frame, bool fill, bool motion);

} // namespace Mp4Motion

} // namespace Lumerix
