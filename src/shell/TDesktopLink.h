#pragma once

#include <QString>

/// Desktop launchers: freedesktop ".desktop" files that start a program.
namespace Lumerix::TDesktopLink {

/// Writes an executable launcher at `linkPath` that starts `target` in `workingFolder`, shown
/// with `icon` (a path or a theme name; none when empty). False when it cannot be written;
/// the caller decides whether that matters.
bool Create(const QString& linkPath, const QString& target, const QString& description,
            const QString& workingFolder, const QString& icon = QString());

} // namespace Lumerix::TDesktopLink
