#pragma once

#include <QImage>
#include <QString>
#include <QStringList>

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

/// The frame files of a video with transitions in showing order: for each picture its key
/// frame ("inp0001_Key.jpg"), then its in-between frames ("inp0001001.jpg" …) by number; the
/// closing key frame comes last. Names are compared ignoring letter case, "_" before digits.
QStringList SequenceOrder(QStringList names);

/// "Test_" + `index` in four digits + ".jpg".
QString SequenceName(int index);

/// The quantity list line of a key frame: its name, "*", and the video frames it is held.
QString QuantityLine(const QString& name, int frames);

} // namespace TransitionFrames

} // namespace Lumerix
