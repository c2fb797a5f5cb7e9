#pragma once

#include "TCommandLine.h"

namespace Lumerix {

/// The web gallery commands: gallery (write the pages and pictures) and upload (send them by
/// FTP).
QList<TCommandLine::TCommand> GalleryCommands();

} // namespace Lumerix
