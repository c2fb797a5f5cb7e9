#pragma once

#include "TCommandLine.h"

namespace Lumerix {

/// print: the album of a slideshow as a PDF file.
QList<TCommandLine::TCommand> PrintCommands();

} // namespace Lumerix
