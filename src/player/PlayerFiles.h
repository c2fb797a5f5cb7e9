#pragma once

#include "shell/TIniFile.h"

#include <QString>

/// Reading the files of a slideshow folder without trusting them: whatever lies there (a
/// folder in place of a file, a huge file, binary junk) gives defaults instead of a failure.
namespace Lumerix::PlayerFiles {

/// INI files and playlists are small; anything larger is not one.
inline constexpr qint64 MaxIniBytes = qint64(1) << 20;

/// True for a regular file (links followed) of at most `limit` bytes.
bool IsFileWithin(const QString& path, qint64 limit);

/// The INI file at `path`; an absent one (every read gives its default) when the path is not
/// a file of at most `MaxIniBytes`.
TIniFile ReadIni(const QString& path);

} // namespace Lumerix::PlayerFiles
