#pragma once

#include "TCommandLine.h"

namespace Lumerix {

/// The video commands that need no encoder: video-estimate (needed and free disk space) and
/// video-frames (the frame bitmaps of a video without transitions).
QList<TCommandLine::TCommand> VideoFrameCommands();

} // namespace Lumerix
