#pragma once

#include "TCommandLine.h"

namespace Lumerix {

/// The slideshow commands: list, create, add-pictures, remove-picture, move-picture, caption,
/// rotate, show, delete and thumbnails.
QList<TCommandLine::TCommand> DocumentCommands();

} // namespace Lumerix
