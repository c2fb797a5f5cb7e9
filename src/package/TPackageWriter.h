#pragma once

#include <QString>
#include <QStringList>

namespace Lumerix {

class TProgress;
class TRunState;

/// The CD-ROM and screensaver packages of slideshows. The workspace root is a complete player
/// installation (player, Settings.ini, Language.ini, Effects.ini, play.ply, intro.ply,
/// autostart files), so a package is that root's files plus the chosen slideshow folders.
namespace PackageWriter {

/// Rebuilds `CdRomDir` from scratch: the root files and the folders of `shows`, ready to be
/// burnt to the root of a disc. The new package is built beside and replaces the old one only
/// when complete. False with `error` when a name in `shows` is not a slideshow of the
/// workspace, when the drive has less room than the package needs (both sizes named), or when
/// a file cannot be written (the file and the cause named); the old package then stays.
/// `progress` (optional) sees the share copied; a cancel before the swap also keeps the old
/// package and fails with "cancelled".
bool WriteCdRom(const TRunState& state, const QStringList& shows, QString* error = nullptr,
                TProgress* progress = nullptr);

/// Rebuilds `ScreensaverDir` the same way, with full screen forced in its `Settings.ini`, and
/// registers its player with XScreenSaver in `xscreensaverFile` (the user's ~/.xscreensaver).
bool WriteScreensaver(const TRunState& state, const QStringList& shows,
                      const QString& xscreensaverFile, QString* error = nullptr,
                      TProgress* progress = nullptr);

/// Writes the browser player into `folder` (a package or the workspace root): the kit's page
/// and the data of the folder's slideshows.
bool WriteWebPlayer(const TRunState& state, const QString& folder, QString* error = nullptr);

/// Writes an ISO 9660 image of `folder` with Joliet and Rock Ridge names to `isoFile` (with
/// xorriso), labelled with `label` made plain. Built beside and renamed; a cancel through
/// `progress` kills xorriso and fails with the cancel text.
bool WriteDiscImage(const TRunState& state, const QString& folder, const QString& isoFile,
                    const QString& label, QString* error = nullptr, TProgress* progress = nullptr);

/// A volume label from a slideshow title: at most 32 plain characters, the product name when
/// nothing is left.
QString DiscLabel(const QString& title);

/// The text a cancelled package write fails with.
QString CancelledText(const TRunState& state);

/// The XScreenSaver entry's command: the player in `ScreensaverDir` drawing on the root window.
QString ScreensaverCommand(const TRunState& state);

/// Puts one entry for `command` (named `name`) at the top of the "programs:" list of an
/// XScreenSaver file, replacing an earlier entry of ours and keeping everything else. A missing
/// file is created with the screensaver selected. Written atomically.
bool RegisterXScreenSaver(const QString& file, const QString& name, const QString& command,
                          QString* error = nullptr);

} // namespace PackageWriter

} // namespace Lumerix
