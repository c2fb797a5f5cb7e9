#pragma once

#include "TCommandLine.h"

namespace Lumerix {

/// The scanner commands: scanners and scan.
QList<TCommandLine::TCommand> ScanCommands();

} // namespace Lumerix
