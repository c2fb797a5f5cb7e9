#pragma once

#include <QtGlobal>

class QWidget;

namespace Lumerix {

/// Puts `window` into the screensaver host's window `id` and shows it there, filling it.
/// Only on X11, and only when the host window exists; false otherwise, so the caller shows
/// the player full screen instead.
bool ShowInHostWindow(QWidget& window, quint64 id);

} // namespace Lumerix
