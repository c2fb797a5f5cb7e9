#pragma once

#include "TCommandLine.h"

namespace Lumerix {

/// The playback settings and transition commands: settings, effects and transition.
QList<TCommandLine::TCommand> SettingsCommands();

} // namespace Lumerix
