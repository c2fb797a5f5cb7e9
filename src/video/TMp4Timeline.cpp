#include "TMp4Timeline.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace Lumerix {

TMp4Timeline::TMp4Timeline(int pictureCount, qint64 heldFrames, qint64 transitionFrames)
    : Count(std::max(0, pictureCount)), Held(std::max<qint64>(1, heldFrames)),
      Between(pictureCount > 1 ? std::max<qint64>(0, transitionFrames) : 0) {}

qint64 TMp4Timeline::TotalFrames() const {
    return PictureStart(Count);
}

qint64 TMp4Timeline::PictureStart(int index) const {
    const qint64 i = std::clamp(index, 0, Count);
    if (i == Count)
        return Count == 0 ? 0 : Count * Held + (Count - 1) * Between;
    return i * (Held + Between);
}

double TMp4Timeline::MotionOf(int picture, qint64 frame) const {
    // Visible from the start of the transition into it to the end of the one out of it.
    const qint64 first = picture == 0 ? 0 : PictureStart(picture) - Between;
    const qint64 last = picture + 1 >= Count ? PictureStart(Count) : PictureStart(picture + 1);
    const qint64 length = std::max<qint64>(1, last - first);
    return std::clamp((double(frame - first) + 0.5) / double(length), 0.0, 1.0);
}

TMp4Timeline::TFrame TMp4Timeline::At(qint64 frame) const {
    TFrame result;
    if (Count == 0)
        return result;
    const qint64 period = Held + Between;
    const int picture = int(std::min<qint64>(Count - 1, std::max<qint64>(0, frame) / period));
    const qint64 offset = frame - PictureStart(picture);
    result.Picture = picture;
    result.Motion = MotionOf(picture, frame);
    if (offset >= Held && picture + 1 < Count && Between > 0) {
        result.Next = picture + 1;
        result.Progress = (double(offset - Held) + 0.5) / double(Between);
        result.NextMotion = MotionOf(picture + 1, frame);
    }
    return result;
}

namespace Mp4Motion {

namespace {

quint64 Mix(quint64 x) {
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

} // namespace

TView At(int index, double t) {
    const quint64 h = Mix(quint64(index) * 2654435761u + 17);
    const bool zoomIn = (h & 1) == 0;
    // Eight directions, never the same as the picture before.
    const int direction = int((h >> 8) % 8);
    const double angle = direction * std::numbers::pi / 4.0 + (index % 2) * std::numbers::pi / 8;
    const double u = std::clamp(t, 0.0, 1.0);
    TView view;
    view.Zoom = zoomIn ? 1.0 + (MaxZoom - 1.0) * u : MaxZoom - (MaxZoom - 1.0) * u;
    const double reach = 0.8 * (2.0 * u - 1.0);
    view.ShiftX = reach * std::cos(angle);
    view.ShiftY = reach * std::sin(angle);
    return view;
}

double BaseScale(QSizeF picture, QSizeF frame, bool fill) {
    if (picture.width() <= 0 || picture.height() <= 0)
        return 1.0;
    const double x = frame.width() / picture.width();
    const double y = frame.height() / picture.height();
    return fill ? std::max(x, y) : std::min(x, y);
}

QTransform Transform(QSizeF picture, QSizeF frame, bool fill, const TView& view) {
    const double base = BaseScale(picture, frame, fill);
    const double scale = base * view.Zoom;
    // The room to pan is what the picture overhangs at zoom 1, so it stays the same while the
    // zoom changes and the centre moves at an even speed. Capped for a slow glide: a tall
    // picture filling a wide frame would otherwise race across its whole height.
    const double reach = MaxPan * frame.height();
    const double roomX = std::clamp((picture.width() * base - frame.width()) / 2.0, 0.0, reach);
    const double roomY = std::clamp((picture.height() * base - frame.height()) / 2.0, 0.0, reach);
    QTransform transform;
    transform.translate(frame.width() / 2.0 + view.ShiftX * roomX,
                        frame.height() / 2.0 + view.ShiftY * roomY);
    transform.scale(scale, scale);
    transform.translate(-picture.width() / 2.0, -picture.height() / 2.0);
    return transform;
}

QSize WorkingSize(QSize picture, QSize frame, bool fill, bool motion) {
    const double scale = BaseScale(QSizeF(picture), QSizeF(frame), fill) * (motion ? MaxZoom : 1.0);
    if (scale >= 1.0)
        return picture;
    return {std::max(1, int(std::ceil(picture.width() * scale))),
            std::max(1, int(std::ceil(picture.height() * scale)))};
}

} // namespace Mp4Motion

} // namespace Lumerix
