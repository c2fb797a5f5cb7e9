#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

namespace Lumerix {

/// One file as an upload saw it.
struct TSentFile {
    qint64 Size = 0;
    QString Hash; ///< SHA-256, lower-case hexadecimal
    bool operator==(const TSentFile&) const = default;
};

/// What earlier uploads put into one folder of one server: name, size and content hash of
/// every file, so the next upload sends only what changed. Kept as a small text file per
/// server and folder in a folder beside the gallery's ("gallery.sent/"):
///   # target sftp://anna@example.org:22/www/fotos
///   <sha256> <size> <name>
/// A missing or unreadable record is empty: everything goes again.
class TUploadManifest {
public:
    QString Target;
    QMap<QString, TSentFile> Files;

    /// "scheme://user@host:port/folder", the folder as the upload uses it ("/" separators,
    /// no leading or trailing ones, ASCII letters in lower case); the host in lower case.
    static QString TargetOf(const QString& scheme, const QString& host, int port,
                            const QString& user, const QString& folder);
    /// The record of `target` for the gallery in `outputFolder`: beside that folder in
    /// "<folder>.sent/", named by a hash of the target.
    static QString PathFor(const QString& outputFolder, const QString& target);

    static TUploadManifest Read(const QString& path);
    /// Replaces the record atomically; false with the cause.
    bool Write(const QString& path, QString* error = nullptr) const;

    /// The files an upload of `outputFolder` sends (names not beginning with "."), each
    /// read once for its hash.
    static QMap<QString, TSentFile> Scan(const QString& outputFolder);
};

/// What one upload does: files to send, to leave as they are, and to delete from the server.
struct TUploadPlan {
    QStringList Send;
    QStringList Keep;
    QStringList Remove;

    /// New and changed files go, unchanged ones stay, and files of earlier uploads that the
    /// gallery no longer has are removed. With `everything` every file goes and nothing is
    /// removed, as uploads always did.
    static TUploadPlan Make(const QMap<QString, TSentFile>& local, const TUploadManifest& sent,
                            bool everything);

    /// The upload's command lines: the files to send with pictures and other files first and
    /// pages last, the overview page at the very end, so a page is never up before what it
    /// shows; then the deletions, once the new pages no longer point at those files.
    QStringList Lines(const QString& outputFolder, const QString& serverDir) const;

    /// `sent` after an upload of this plan, given which of `Lines()` went through (`done`, in
    /// the same order): sent files take their new state, a file that failed is forgotten (so
    /// it goes again), a removal that failed is remembered (so it is tried again).
    TUploadManifest Outcome(const TUploadManifest& sent, const QMap<QString, TSentFile>& local,
                            const QList<bool>& done) const;
};

} // namespace Lumerix
