#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace Lumerix {

struct TPlayerSetup;

/// The browser player of a package folder: the page, its script and style from the kit, and
/// `lumerix-shows.js`, the folder's slideshows as the native player reads them. Browsers do not
/// let a page opened from the disk read files by script, so the data goes in a script file the
/// page loads; pictures and music are loaded by the page as ordinary elements.
namespace WebPlayer {

/// The kit's files, copied unchanged into the package folder.
QStringList KitFiles();
/// The data script's name.
inline constexpr char DataFile[] = "lumerix-shows.js";

/// The data script for `setup`: `window.LumerixShows = {...};`. Paths are relative to the
/// setup's folder, with "/" between parts.
QByteArray ShowData(const TPlayerSetup& setup);

/// Room a package keeps for the data script: enough for thousands of captioned pictures.
inline constexpr qint64 DataReserve = qint64(256) << 10;

/// Writes the data script of the slideshows in `folder`.
bool WriteData(const QString& folder, QString* error = nullptr);

/// Copies the kit's files from `kitWebDir` into `folder` and writes the data script of the
/// folder's slideshows. False with `error` naming the file and the cause.
bool Write(const QString& kitWebDir, const QString& folder, QString* error = nullptr);

} // namespace WebPlayer

} // namespace Lumerix
