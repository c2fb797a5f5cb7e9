#include "TPackageWriter.h"

#include "document/TSlideshowStore.h"
#include "shell/Execute.h"
#include "shell/TIniFile.h"
#include "shell/TRunState.h"
#include "shell/TextCodec.h"

#include <QDir>
#include <QFileInfo>

namespace Lumerix::PackageWriter {

namespace {

// The package folders are rebuilt by deleting them; anything but our own folder is refused.
bool ResetFolder(const QString& folder, const QString& expectedName, QString* error) {
    const QString path = QDir::cleanPath(folder);
    const QFileInfo info(path);
    if (info.fileName() != expectedName || info.isSymLink() || (info.exists() && !info.isDir())) {
        if (error)
            *error = QStringLiteral("%1: not a package folder of ours").arg(folder);
        return false;
    }
    if (info.exists() && !QDir(path).removeRecursively()) {
        if (error)
            *error = QStringLiteral("%1: the old package could not be deleted").arg(folder);
        return false;
    }
    if (!QDir().mkpath(path)) {
        if (error)
            *error = QStringLiteral("%1: the folder cannot be created").arg(folder);
        return false;
    }
    return true;
}

void CopyShows(const TRunState& state, const QStringList& shows, const QString& target) {
    const TSlideshowStore store(state);
    for (const QString& show : shows) {
        QDir().mkpath(target + show);
        Execute::CopyFiles(store.ShowDir(show) + u'*', target + show);
    }
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

int CopyRootFiles(const TRunState& state, const QString& target) {
    const QDir root(state.WorkspaceDir);
    int copied = 0;
    for (const QString& name : root.entryList(QDir::Files | QDir::Hidden)) {
        if (Execute::CopyFile(root.filePath(name), target + name))
            ++copied;
    }
    return copied;
}

bool WriteCdRom(const TRunState& state, const QStringList& shows, QString* error) {
    const QString target = state.CdRomDir;
    const QString name =
        state.Language().Pick(QStringLiteral("CDROM-Diashow"), QStringLiteral("CDROM-Slideshow"));
    if (!CheckShows(state, shows, error) || !ResetFolder(target, name, error))
        return false;
    CopyRootFiles(state, target);
    CopyShows(state, shows, target);
    return true;
}

QString ScreensaverCommand(const TRunState& state) {
    return ShellQuoted(state.ScreensaverDir + state.PlayerName()) +
           QStringLiteral(" --screensaver -root");
}

bool WriteScreensaver(const TRunState& state, const QStringList& shows,
                      const QString& xscreensaverFile, QString* error) {
    const QString target = state.ScreensaverDir;
    const QString name = state.Language().Pick(QStringLiteral("Diashow_Screensaver"),
                                               QStringLiteral("Slideshow_Screensaver"));
    if (!CheckShows(state, shows, error) || !ResetFolder(target, name, error))
        return false;
    CopyRootFiles(state, target);
    CopyShows(state, shows, target);
    TIniFile settings(target + QStringLiteral("Settings.ini"));
    if (!settings.WriteString(QStringLiteral("SETTINGS"), QStringLiteral("Fullscreen"),
                              QStringLiteral("TRUE"))) {
        if (error)
            *error = settings.LastError();
        return false;
    }
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
