#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace Lumerix {

class TProgress;

/// Audio CD import: the hand-over file `Ripper.ini`, the check for what ripping needs, and the
/// ripping itself with the `cdparanoia` program, which writes 44.1 kHz stereo WAV files.
namespace CdRipper {

/// What stands in the way of ripping.
enum class TMissing { Nothing, Program, Drive };

/// `cdparanoia` on the PATH and an optical drive (/dev/cdrom or /dev/sr*); `deviceRoot`
/// replaces "/dev" for tests.
TMissing Check(const QString& deviceRoot = QStringLiteral("/dev"));

/// `Ripper.ini` ([SETTINGS] DiskPath, DiashowDir) in `programDir`; false with `error`.
bool WriteHandOver(const QString& programDir, const QString& workspaceDir, const QString& showName,
                   QString* error = nullptr);
/// The folder the ripper writes to: DiskPath + DiashowDir, or empty when the file is missing
/// or names no folder inside DiskPath.
QString TargetFolder(const QString& programDir);

struct TTrack {
    int Number = 0;
    int Sectors = 0; ///< 75 per second
    QString Length;  ///< "03:40.03"
};

/// The audio tracks of `cdparanoia -Q` output (it reports on standard error).
QList<TTrack> ParseTableOfContents(const QString& output);
/// Asks the drive for its tracks; empty with `error` when there is no audio disc.
QList<TTrack> ReadTracks(QString* error = nullptr);

/// The file a track is ripped into: "CD-Track" + two digits + ".wav", numbered on when the
/// name is taken.
QString TrackFileName(const QString& folder, int track);

/// Rips `tracks` into `folder`, one `cdparanoia` run each; progress per track. Returns the
/// files written; stops at a cancel (killing the running rip) or at the first failure, with
/// `error` saying why.
QStringList Rip(const QList<int>& tracks, const QString& folder, TProgress& progress,
                QString* error = nullptr);

} // namespace CdRipper

} // namespace Lumerix
