#include "TPackageWriter.h"

#include "document/TSlideshowStore.h"
#include "player/web/WebPlayer.h"
#include "shell/Execute.h"
#include "shell/TIniFile.h"
#include "shell/TProgress.h"
#include "shell/TRunState.h"
#include "shell/TextCodec.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QLocale>
#include <QProcess>
#include <QStorageInfo>

#include <functional>

namespace Lumerix::PackageWriter {

namespace {

// The package folders are rebuilt from scratch; anything but our own folder is refused.
bool CheckFolder(const QString& folder, const QString& expectedName, QString* error) {
    const QFileInfo info(QDir::cleanPath(folder));
    if (info.fileName() != expectedName || info.isSymLink() || (info.exists() && !info.isDir())) {
        if (error)
            *error = QStringLiteral("%1: not a package folder of ours").arg(folder);
        return false;
    }
    return true;
}

// One file of a package: where it comes from, where it goes in the package, its size.
struct TPackageFile {
    QString Source;
    QString Target;
    qint64 Size;
};

// The workspace root's files and every file of the chosen slideshow folders.
QList<TPackageFile> PackageFiles(const TRunState& state, const QStringList& shows) {
    QList<TPackageFile> files;
    const QDir root(state.WorkspaceDir);
    // The browser player comes from the kit, so an old copy in the root does not travel.
    const QStringList web = WebPlayer::KitFiles();
    for (const QFileInfo& info : root.entryInfoList(QDir::Files | QDir::Hidden)) {
        if (!web.contains(info.fileName()))
            files.append({info.filePath(), info.fileName(), info.size()});
    }
    for (const QString& name : web) {
        const QFileInfo info(state.KitFile(QStringLiteral("web/")) + name);
        if (info.isFile())
            files.append({info.filePath(), name, info.size()});
    }
    const TSlideshowStore store(state);
    for (const QString& show : shows) {
        const QDir folder(store.ShowDir(show));
        QDirIterator it(folder.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QFileInfo info(it.next());
            files.append({info.filePath(), show + u'/' + folder.relativeFilePath(info.filePath()),
                          info.size()});
        }
    }
    return files;
}

// The blocks a file takes on disk.
qint64 OnDisk(qint64 size) {
    constexpr qint64 block = 4096;
    return (size + block - 1) / block * block;
}

QString Megabytes(const TRunState& state, qint64 bytes) {
    const QLocale locale(state.Language().Pick(QStringLiteral("de"), QStringLiteral("en")));
    return locale.toString(double(bytes) / (1024.0 * 1024.0), 'f', 1) + QStringLiteral(" MB");
}

// Builds the package in a folder beside `folder` and swaps it in only when complete, so a
// full disk or a failed copy leaves the earlier package as it was. `finish` runs on the
// complete new folder before the swap.
bool BuildPackage(const TRunState& state, const QStringList& shows, const QString& folder,
                  const std::function<bool(const QString&, QString*)>& finish, QString* error,
                  TProgress* progress) {
    const auto fail = [error](const QString& text) {
        if (error)
            *error = text;
        return false;
    };
    const QString path = QDir::cleanPath(folder);
    const QFileInfo info(path);
    const QString parent = info.absolutePath();
    if (!QDir().mkpath(parent))
        return fail(QStringLiteral("%1: the folder cannot be created").arg(parent));

    // The old package stays until the new one is complete, so all of it must fit beside.
    const QList<TPackageFile> files = PackageFiles(state, shows);
    // The browser player's data script is written last; room is kept for it.
    qint64 needed = OnDisk(WebPlayer::DataReserve);
    for (const TPackageFile& file : files)
        needed += OnDisk(file.Size);
    const QStorageInfo storage(parent);
    if (storage.isValid() && storage.bytesAvailable() < needed) {
        return fail(
            state.Language()
                .Pick(QStringLiteral("%1: Das Paket braucht %2, auf dem Laufwerk sind "
                                     "nur %3 frei."),
                      QStringLiteral("%1: the package needs %2, only %3 are free on the "
                                     "drive."))
                .arg(path, Megabytes(state, needed), Megabytes(state, storage.bytesAvailable())));
    }

    const QString building =
        parent + QStringLiteral("/.") + info.fileName() + QStringLiteral(".new");
    const QString previous =
        parent + QStringLiteral("/.") + info.fileName() + QStringLiteral(".old");
    QDir(building).removeRecursively();
    QDir(previous).removeRecursively();
    const auto abandon = [&](QString text) {
        QDir(building).removeRecursively();
        return fail(text.replace(building, path));
    };
    if (!QDir().mkpath(building))
        return abandon(QStringLiteral("%1: the folder cannot be created").arg(building));
    for (const QString& show : shows) {
        if (!QDir().mkpath(building + u'/' + show))
            return abandon(
                QStringLiteral("%1: the folder cannot be created").arg(building + u'/' + show));
    }
    const auto cancelled = [progress] {
        return progress && progress->Cancelled();
    };
    qint64 copied = 0;
    for (const TPackageFile& file : files) {
        if (cancelled())
            return abandon(CancelledText(state));
        if (progress && needed > 0)
            progress->SetPercent(int(copied * 100 / needed));
        copied += OnDisk(file.Size);
        const QString target = building + u'/' + file.Target;
        if (!QDir().mkpath(QFileInfo(target).absolutePath()))
            return abandon(QStringLiteral("%1: the folder cannot be created").arg(target));
        QString cause;
        if (!Execute::CopyFileAtomic(file.Source, target, &cause))
            return abandon(cause);
    }
    QString cause;
    if (finish && !finish(building, &cause))
        return abandon(cause);
    if (cancelled())
        return abandon(CancelledText(state));
    if (progress)
        progress->SetPercent(100);

    // The swap: the old package steps aside, the new one takes its name, the old one goes.
    if (info.exists() && !QDir().rename(path, previous))
        return abandon(QStringLiteral("%1: the old package cannot be replaced").arg(path));
    if (!QDir().rename(building, path)) {
        QDir().rename(previous, path);
        return abandon(QStringLiteral("%1: the new package cannot be put in place").arg(path));
    }
    QDir(previous).removeRecursively();
    return true;
}

bool CheckShows(const TRunState& state, const QStringList& shows, QString* error) {
    const TSlideshowStore store(state);
    for (const QString& show : shows) {
        if (!store.IsShow(show)) {
            if (error)
                *error = QStringLiteral("no slideshow \"%1\" in %2").arg(show, state.WorkspaceDir);
            return false;
        }
    }
    return true;
}

QString ShellQuoted(const QString& text) {
    QString quoted = text;
    quoted.replace(u'\'', QStringLiteral("'\\''"));
    return u'\'' + quoted + u'\'';
}

} // namespace

QString CancelledText(const TRunState& state) {
    return state.Language().Pick(
        QStringLiteral("Abgebrochen: Das bisherige Paket bleibt, wie es war."),
        QStringLiteral("Cancelled: the earlier package is left as it was."));
}

bool WriteCdRom(const TRunState& state, const QStringList& shows, QString* error,
                TProgress* progress) {
    const QString target = state.CdRomDir;
    const QString name =
        state.Language().Pick(QStringLiteral("CDROM-Diashow"), QStringLiteral("CDROM-Slideshow"));
    if (!CheckShows(state, shows, error) || !CheckFolder(target, name, error))
        return false;
    const auto webPlayer = [](const QString& building, QString* cause) {
        return WebPlayer::WriteData(building, cause);
    };
    return BuildPackage(state, shows, target, webPlayer, error, progress);
}

bool WriteWebPlayer(const TRunState& state, const QString& folder, QString* error) {
    return WebPlayer::Write(state.KitFile(QStringLiteral("web/")), folder, error);
}

QString DiscLabel(const QString& title) {
    // ISO 9660 labels are short and plain: accents go, anything else odd becomes "_".
    QString label;
    QString plain = title;
    plain.replace(u'ß', QStringLiteral("ss"));
    for (const QChar c : plain.normalized(QString::NormalizationForm_KD)) {
        if (c.unicode() >= 0x80 && c.isMark())
            continue;
        const bool plain = c.unicode() < 0x80 && (c.isLetterOrNumber() || c == u' ' || c == u'-');
        label += plain ? c : u'_';
    }
    label = label.simplified().left(32).trimmed();
    return label.isEmpty() ? QString::fromUtf16(ProductName) : label;
}

bool WriteDiscImage(const TRunState& state, const QString& folder, const QString& isoFile,
                    const QString& label, QString* error, TProgress* progress) {
    const auto fail = [error](const QString& text) {
        if (error)
            *error = text;
        return false;
    };
    if (!QFileInfo(folder).isDir())
        return fail(QStringLiteral("%1: no such folder").arg(folder));
    const QFileInfo target(isoFile);
    // Built beside and renamed, so a failed or cancelled run leaves no half image.
    const QString part = target.absoluteFilePath() + QStringLiteral(".part");
    QFile::remove(part);
    QProcess xorriso;
    xorriso.setProcessChannelMode(QProcess::SeparateChannels);
    xorriso.start(QStringLiteral("xorriso"),
                  {QStringLiteral("-as"), QStringLiteral("mkisofs"), QStringLiteral("-r"),
                   QStringLiteral("-J"), QStringLiteral("-joliet-long"), QStringLiteral("-V"),
                   DiscLabel(label), QStringLiteral("-o"), part, QDir(folder).absolutePath()});
    if (!xorriso.waitForStarted())
        return fail(QStringLiteral("xorriso cannot be started: %1").arg(xorriso.errorString()));
    while (!xorriso.waitForFinished(100)) {
        if (progress && progress->Cancelled()) {
            xorriso.kill();
            xorriso.waitForFinished();
            QFile::remove(part);
            return fail(CancelledText(state));
        }
    }
    if (xorriso.exitStatus() != QProcess::NormalExit || xorriso.exitCode() != 0) {
        const QStringList lines =
            QString::fromLocal8Bit(xorriso.readAllStandardError()).trimmed().split(u'\n');
        QFile::remove(part);
        return fail(QStringLiteral("%1: the disc image cannot be written: %2")
                        .arg(isoFile, lines.isEmpty() ? QString() : lines.last()));
    }
    QFile::remove(isoFile);
    if (!QFile::rename(part, isoFile)) {
        QFile::remove(part);
        return fail(QStringLiteral("%1: the disc image cannot be put in place").arg(isoFile));
    }
    if (progress)
        progress->SetPercent(100);
    return true;
}

QString ScreensaverCommand(const TRunState& state) {
    return ShellQuoted(state.ScreensaverDir + state.PlayerName()) +
           QStringLiteral(" --screensaver -root");
}

bool WriteScreensaver(const TRunState& state, const QStringList& shows,
                      const QString& xscreensaverFile, QString* error, TProgress* progress) {
    const QString target = state.ScreensaverDir;
    const QString name = state.Language().Pick(QStringLiteral("Diashow_Screensaver"),
                                               QStringLiteral("Slideshow_Screensaver"));
    if (!CheckShows(state, shows, error) || !CheckFolder(target, name, error))
        return false;
    const auto fullScreen = [](const QString& building, QString* cause) {
        TIniFile settings(building + QStringLiteral("/Settings.ini"));
        if (!settings.WriteString(QStringLiteral("SETTINGS"), QStringLiteral("Fullscreen"),
                                  QStringLiteral("TRUE"))) {
            *cause = settings.LastError();
            return false;
        }
        return WebPlayer::WriteData(building, cause);
    };
    if (!BuildPackage(state, shows, target, fullScreen, error, progress))
        return false;
    return RegisterXScreenSaver(
        xscreensaverFile,
        QString::fromUtf16(ProductName) + u' ' +
            state.Language().Pick(QStringLiteral("Diashow"), QStringLiteral("Slideshow")),
        ScreensaverCommand(state), error);
}

bool RegisterXScreenSaver(const QString& file, const QString& name, const QString& command,
                          QString* error) {
    QStringList lines = TextCodec::ReadLines(file);
    if (!QFileInfo::exists(file)) {
        lines = {QStringLiteral("# XScreenSaver Preferences File"), QStringLiteral("mode:\t\tone"),
                 QStringLiteral("selected:\t0")};
    }

    // The "programs:" resource: its first line, then every line the previous one continues
    // with a trailing backslash.
    qsizetype start = -1;
    for (qsizetype i = 0; i < lines.size() && start < 0; ++i) {
        if (lines[i].trimmed().startsWith(QLatin1String("programs:")))
            start = i;
    }
    QStringList entries;
    if (start >= 0) {
        const QString head = lines[start].mid(lines[start].indexOf(u':') + 1);
        qsizetype end = start + 1;
        if (head.trimmed() != u"\\") {
            // Entries may begin on the resource's own line.
            const QString first = head.trimmed();
            if (!first.isEmpty())
                entries.append(QStringLiteral("  ") + first);
        }
        bool continues = lines[start].endsWith(u'\\');
        while (continues && end < lines.size()) {
            continues = lines[end].endsWith(u'\\');
            entries.append(lines[end]);
            ++end;
        }
        lines.remove(start, end - start);
    } else {
        start = lines.size();
    }

    // One program per entry: its lines up to the one ending in "\n" (a long command goes on
    // over several lines).
    auto chopped = [](QString line) {
        line = line.trimmed();
        while (line.endsWith(u'\\'))
            line.chop(1);
        return line.trimmed();
    };
    QList<QStringList> programs;
    QStringList current;
    for (const QString& entry : std::as_const(entries)) {
        if (entry.trimmed().isEmpty())
            continue;
        current.append(entry);
        if (chopped(entry).endsWith(QLatin1String("\\n"))) {
            programs.append(current);
            current.clear();
        }
    }
    if (!current.isEmpty())
        programs.append(current);

    // "selected:" counts the programs; ours goes first, so the user's choice moves with its
    // program (our earlier entry, when chosen, becomes the new one).
    qsizetype selectedLine = -1;
    int selected = -1;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (lines[i].trimmed().startsWith(QLatin1String("selected:"))) {
            selectedLine = i;
            bool ok = false;
            selected = lines[i].mid(lines[i].indexOf(u':') + 1).trimmed().toInt(&ok);
            if (!ok)
                selected = -1;
        }
    }

    // Our earlier entry goes; every other entry stays as it was.
    const QString quotedName = u'"' + name + u'"';
    QList<QStringList> kept;
    int newSelected = selected < 0 || selected >= programs.size() ? selected : 0;
    for (qsizetype i = 0; i < programs.size(); ++i) {
        const QString joined = programs[i].join(u'\n');
        if (joined.contains(quotedName) || joined.contains(command))
            continue;
        if (i == selected)
            newSelected = int(kept.size()) + 1;
        kept.append(programs[i]);
    }
    if (selectedLine >= 0 && newSelected != selected)
        lines[selectedLine] = QStringLiteral("selected:\t%1").arg(newSelected);

    // Each entry ends in "\n" and continues with a backslash, except the last.
    auto body = [&chopped](const QString& entry) {
        QString text = chopped(entry);
        if (text.endsWith(QLatin1String("\\n")))
            text.chop(2);
        return QStringLiteral("  ") + text.trimmed() + QStringLiteral(" \\n");
    };
    QStringList resource = {QStringLiteral("programs:\t\t\t\t\t\t\t      \\")};
    resource.append(body(QStringLiteral("\"%1\" %2").arg(name, command)));
    for (const QStringList& program : std::as_const(kept)) {
        // The lines a long command goes on with keep their own backslash.
        for (qsizetype i = 0; i + 1 < program.size(); ++i)
            resource.append(QStringLiteral("  ") + program[i].trimmed());
        resource.append(body(program.last()));
    }
    for (qsizetype i = 1; i + 1 < resource.size(); ++i) {
        if (!resource[i].endsWith(u'\\'))
            resource[i] += u'\\';
    }
    for (qsizetype i = 0; i < resource.size(); ++i)
        lines.insert(start + i, resource[i]);

    QByteArray bytes;
    for (const QString& line : std::as_const(lines))
        bytes += line.toUtf8() + '\n';
    return TextCodec::WriteFileAtomic(file, bytes, error);
}

} // namespace Lumerix::PackageWriter
