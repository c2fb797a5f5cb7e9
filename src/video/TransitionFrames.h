#pragma once

#include <QImage>

#include <functional>

namespace Lumerix {

class TTransitionPainter;

/// The in-between frames a video takes from a transition: one frame after every fifth state
/// whose percentage is below 94, so about 11 of a transition's 60 states.
namespace TransitionFrames {

/// Reports of a transition per video frame (60 reports planned / 12 frames).
inline constexpr int Step = 5;
/// States at or above this percentage end the sampling (100 − Round(Step × 1.2)).
inline constexpr int StopPercent = 94;

/// Frames are stored as JPEG quality 85 (`JpegQuality(18)`).
inline constexpr int QualityFactor = 18;

/// Hands each sampled frame (numbered from 1) to `frame`; returns the number of frames.
int Sample(const TTransitionPainter& painter,
           const std::function<void(int number, const QImage& picture)>& frame);

} // namespace TransitionFrames

} // namespace Lumerix
