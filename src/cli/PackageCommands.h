#pragma once

#include "TCommandLine.h"

namespace Lumerix {

/// The package commands: cdrom, screensaver and play.
QList<TCommandLine::TCommand> PackageCommands();

} // namespace Lumerix
