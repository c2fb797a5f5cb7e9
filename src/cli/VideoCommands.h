#pragma once

#include "TCommandLine.h"

namespace Lumerix {

/// The video commands: wave-join, mpeg-encode.
QList<TCommandLine::TCommand> VideoCommands();

} // namespace Lumerix
