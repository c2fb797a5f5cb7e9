#include "TransitionFrames.h"

#include "imaging/TTransition.h"

namespace Lumerix::TransitionFrames {

int Sample(const TTransitionPainter& painter,
           const std::function<void(int number, const QImage& picture)>& frame) {
    int reports = 0;
    int frames = 0;
    painter.Run([&](int percent, const QImage& state) {
        if (percent >= StopPercent)
            return false;
        if (++reports == Step) {
            frame(++frames, state);
            reports = 0;
        }
        return true;
    });
    return frames;
}

} // namespace Lumerix::TransitionFrames
