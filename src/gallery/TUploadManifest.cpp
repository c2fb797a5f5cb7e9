#include "TUploadManifest.h"

#include "TFtpUpload.h"
#include "shell/TextCodec.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>

#include <algorithm>

namespace Lumerix {

namespace {

const QLatin1String TargetKey("# target ");

// Pictures and other files first, then the picture pages, the overview last.
int Rank(const QString& name) {
    if (name == u"gallery.html")
        return 2;
    return name.endsWith(QStringLiteral(".html"), Qt::CaseInsensitive) ? 1 : 0;
}

QStringList Ordered(QStringList names) {
    std::stable_sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        return Rank(a) != Rank(b) ? Rank(a) < Rank(b) : a < b;
    });
    return names;
}

} // namespace

QString TUploadManifest::TargetOf(const QString& scheme, const QString& host, int port,
                                  const QString& user, const QString& folder) {
    const QStringList parts =
        TFtpUpload::RemoteFolder(folder.trimmed()).split(u'/', Qt::SkipEmptyParts);
    return scheme + QStringLiteral("://") + user + u'@' + host.trimmed().toLower() + u':' +
           QString::number(port) + u'/' + parts.join(u'/');
}

QString TUploadManifest::PathFor(const QString& outputFolder, const QString& target) {
    const QString hash = QString::fromLatin1(
        QCryptographicHash::hash(target.toUtf8(), QCryptographicHash::Sha256).toHex().left(24));
    return QDir::cleanPath(QDir(outputFolder).absolutePath()) + QStringLiteral(".sent/") + hash +
           QStringLiteral(".txt");
}

TUploadManifest TUploadManifest::Read(const QString& path) {
    TUploadManifest manifest;
    for (const QString& line : TextCodec::ReadLines(path)) {
        if (line.startsWith(TargetKey)) {
            manifest.Target = line.mid(TargetKey.size());
            continue;
        }
        // "<hash> <size> <name>"; the name may hold blanks, so it comes last.
        const qsizetype first = line.indexOf(u' ');
        const qsizetype second = first < 0 ? -1 : line.indexOf(u' ', first + 1);
        if (second < 0)
            continue;
        const QString hash = line.left(first);
        bool ok = false;
        const qint64 size = line.mid(first + 1, second - first - 1).toLongLong(&ok);
        const QString name = line.mid(second + 1);
        // The names become delete commands on the server: one that could reach past the
        // target folder or split the command line is not taken from the file.
        if (!ok || size < 0 || hash.size() != 64 || name.isEmpty() || name.startsWith(u'.') ||
            name.contains(u'/') || name.contains(u'\\') || name.contains(u'|'))
            continue;
        manifest.Files.insert(name, {size, hash});
    }
    return manifest;
}

bool TUploadManifest::Write(const QString& path, QString* error) const {
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        if (error)
            *error = QStringLiteral("%1: cannot create the folder").arg(QFileInfo(path).path());
        return false;
    }
    QByteArray bytes = (TargetKey + Target).toUtf8() + '\n';
    for (auto it = Files.cbegin(); it != Files.cend(); ++it) {
        // A name with a line break could not be read back; such a file is simply sent again.
        if (it.key().contains(u'\n') || it.key().contains(u'\r'))
            continue;
        bytes += (it->Hash + u' ' + QString::number(it->Size) + u' ' + it.key()).toUtf8() + '\n';
    }
    QString cause;
    if (!TextCodec::WriteFileAtomic(path, bytes, &cause)) {
        if (error)
            *error = QStringLiteral("%1: cannot write: %2").arg(path, cause);
        return false;
    }
    return true;
}

QMap<QString, TSentFile> TUploadManifest::Scan(const QString& outputFolder) {
    QMap<QString, TSentFile> files;
    const QDir folder(outputFolder);
    for (const QString& name : folder.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (name.startsWith(u'.'))
            continue;
        QFile file(folder.filePath(name));
        QCryptographicHash hash(QCryptographicHash::Sha256);
        // An unreadable file gets no hash: it never matches, so it is sent (and fails there).
        if (file.open(QIODevice::ReadOnly) && hash.addData(&file))
            files.insert(name, {file.size(), QString::fromLatin1(hash.result().toHex())});
        else
            files.insert(name, {file.size(), {}});
    }
    return files;
}

TUploadPlan TUploadPlan::Make(const QMap<QString, TSentFile>& local, const TUploadManifest& sent,
                              bool everything) {
    TUploadPlan plan;
    for (auto it = local.cbegin(); it != local.cend(); ++it) {
        const auto before = sent.Files.constFind(it.key());
        const bool same = before != sent.Files.cend() && !it->Hash.isEmpty() && *before == *it;
        (same && !everything ? plan.Keep : plan.Send).append(it.key());
    }
    if (!everything) {
        for (auto it = sent.Files.cbegin(); it != sent.Files.cend(); ++it) {
            if (!local.contains(it.key()))
                plan.Remove.append(it.key());
        }
    }
    return plan;
}

QStringList TUploadPlan::Lines(const QString& outputFolder, const QString& serverDir) const {
    const QString folder = QDir(outputFolder).absolutePath();
    const QString target = TFtpUpload::TargetPrefix(serverDir);
    QStringList lines;
    for (const QString& name : Ordered(Send))
        lines.append(TFtpUpload::CopyLine(folder, name, target));
    for (const QString& name : Remove)
        lines.append(TFtpUpload::DeleteLine(name, target));
    return lines;
}

TUploadManifest TUploadPlan::Outcome(const TUploadManifest& sent,
                                     const QMap<QString, TSentFile>& local,
                                     const QList<bool>& done) const {
    TUploadManifest next;
    next.Target = sent.Target;
    for (const QString& name : Keep)
        next.Files.insert(name, sent.Files.value(name));
    const QStringList order = Ordered(Send);
    for (qsizetype i = 0; i < order.size(); ++i) {
        if (done.value(i))
            next.Files.insert(order[i], local.value(order[i]));
    }
    for (qsizetype i = 0; i < Remove.size(); ++i) {
        if (!done.value(order.size() + i))
            next.Files.insert(Remove[i], sent.Files.value(Remove[i]));
    }
    // Sending everything removes nothing; what it left on the server is still to be removed.
    for (auto it = sent.Files.cbegin(); it != sent.Files.cend(); ++it) {
        if (!local.contains(it.key()) && !Remove.contains(it.key()) &&
            !next.Files.contains(it.key()))
            next.Files.insert(it.key(), *it);
    }
    return next;
}

} // namespace Lumerix
