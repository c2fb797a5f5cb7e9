#pragma once

#include "TCommandLine.h"

namespace Lumerix {

/// The video commands: wave-join.
QList<TCommandLine::TCommand> VideoCommands();

} // namespace Lumerix
