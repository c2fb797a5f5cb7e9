#pragma once

#include "TCommandLine.h"

namespace Lumerix {

/// effect, adjust, rgb, sharpen: the picture edits of the effects and colour windows.
QList<TCommandLine::TCommand> EditCommands();

} // namespace Lumerix
