#include "TCdRipper.h"

#include "shell/Strings.h"
#include "shell/TIniFile.h"
#include "shell/TProgress.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

namespace Lumerix::CdRipper {

namespace {

const QString Program = QStringLiteral("cdparanoia");
const QString Section = QStringLiteral("SETTINGS");

} // namespace

TMissing Check(const QString& deviceRoot) {
    if (QStandardPaths::findExecutable(Program).isEmpty())
        return TMissing::Program;
    const QDir devices(deviceRoot);
    if (devices.exists(QStringLiteral("cdrom")) ||
        !devices.entryList({QStringLiteral("sr[0-9]*")}, QDir::System | QDir::Files).isEmpty())
        return TMissing::Nothing;
    return TMissing::Drive;
}

bool WriteHandOver(const QString& programDir, const QString& workspaceDir, const QString& showName,
                   QString* error) {
    TIniFile ini(programDir + QStringLiteral("Ripper.ini"));
    if (ini.WriteStrings(Section, {{QStringLiteral("DiskPath"), workspaceDir},
                                   {QStringLiteral("DiashowDir"), showName}}))
        return true;
    if (error)
        *error = ini.LastError();
    return false;
}

QString TargetFolder(const QString& programDir) {
    const TIniFile ini(programDir + QStringLiteral("Ripper.ini"));
    const QString disk = ini.ReadString(Section, QStringLiteral("DiskPath"), QString());
    const QString show = ini.ReadString(Section, QStringLiteral("DiashowDir"), QString());
    // The slideshow is one folder inside the workspace, never a path of its own.
    if (disk.isEmpty() || show.isEmpty() || show.contains(u'/') || show == u"." || show == u"..")
        return {};
    return Strings::AddBackslash(disk) + show + u'/';
}

QList<TTrack> ParseTableOfContents(const QString& output) {
    static const QRegularExpression line(
        QStringLiteral(R"(^\s*(\d+)\.\s+(\d+)\s+\[(\d+:\d+\.\d+)\])"),
        QRegularExpression::MultilineOption);
    QList<TTrack> tracks;
    for (auto match = line.globalMatch(output); match.hasNext();) {
        const QRegularExpressionMatch found = match.next();
        tracks.append({found.captured(1).toInt(), found.captured(2).toInt(), found.captured(3)});
    }
    return tracks;
}

QList<TTrack> ReadTracks(QString* error) {
    QProcess process;
    process.start(Program, {QStringLiteral("-Q")});
    if (!process.waitForFinished(60000)) {
        process.kill();
        if (error)
            *error = QStringLiteral("%1 -Q did not answer").arg(Program);
        return {};
    }
    const QList<TTrack> tracks = ParseTableOfContents(
        QString::fromLocal8Bit(process.readAllStandardError() + process.readAllStandardOutput()));
    if (tracks.isEmpty() && error)
        *error = QStringLiteral("no audio disc in the drive");
    return tracks;
}

QString TrackFileName(const QString& folder, int track) {
    const QString base =
        QStringLiteral("CD-Track") + Strings::PadLeft(QString::number(track), u'0', 2);
    QString name = base + QStringLiteral(".wav");
    for (int n = 2; QFileInfo::exists(folder + name); ++n)
        name = base + u'_' + QString::number(n) + QStringLiteral(".wav");
    return name;
}

QStringList Rip(const QList<int>& tracks, const QString& folder, TProgress& progress,
                QString* error) {
    QStringList written;
    if (!QDir().mkpath(folder)) {
        if (error)
            *error = QStringLiteral("%1: the folder cannot be created").arg(folder);
        return written;
    }
    for (int i = 0; i < tracks.size(); ++i) {
        if (progress.Cancelled())
            break;
        progress.SetPercent(100 * i / int(tracks.size()));
        progress.SetStatus(
            QStringLiteral("Track %1 (%2 / %3)").arg(tracks[i]).arg(i + 1).arg(tracks.size()));
        const QString target = folder + TrackFileName(folder, tracks[i]);
        // Written beside the target first, so a broken rip never looks like a track.
        const QString partial = target + QStringLiteral(".part");
        QProcess process;
        process.start(Program, {QStringLiteral("-w"), QString::number(tracks[i]), partial});
        bool cancelled = false;
        while (!process.waitForFinished(100)) {
            if (process.state() == QProcess::NotRunning)
                break;
            if (progress.Cancelled()) {
                process.kill();
                process.waitForFinished();
                cancelled = true;
                break;
            }
        }
        if (cancelled) {
            QFile::remove(partial);
            break;
        }
        if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0 ||
            !QFileInfo(partial).isFile() || !QFile::rename(partial, target)) {
            QFile::remove(partial);
            if (error)
                *error = QStringLiteral("track %1 could not be read: %2")
                             .arg(tracks[i])
                             .arg(process.error() == QProcess::FailedToStart
                                      ? QStringLiteral("%1 did not start").arg(Program)
                                      : QString::fromLocal8Bit(process.readAllStandardError())
                                            .trimmed()
                                            .section(u'\n', -1));
            return written;
        }
        written.append(target);
    }
    progress.SetPercent(100);
    return written;
}

} // namespace Lumerix::CdRipper
