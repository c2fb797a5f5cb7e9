#pragma once

#include "TCommandLine.h"

namespace Lumerix {

/// The audio commands: audio-info.
QList<TCommandLine::TCommand> AudioCommands();

} // namespace Lumerix
