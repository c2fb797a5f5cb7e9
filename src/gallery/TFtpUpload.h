#pragma once

#include "TFtpAccount.h"
#include "TFtpClient.h"

class QLockFile;

#include <QString>
#include <QStringList>

#include <functional>

namespace Lumerix {

class TProgress;

/// The upload's command language, run line by line against an FTP client:
/// "copy |A | B", "del |F", "md |F", "rmdir |F", "cd |F", "cd..", "cd\". A line is a command
/// word, then "|"-separated arguments. Remote paths take "/" separators and their folders in
/// lower case (ASCII letters only); a remote file name keeps its case, as the gallery's pages
/// link it. Local paths are written as "file://" + absolute path and keep their case.
/// Every outcome becomes a log line: the command text, a blank and the outcome text.
class TFtpUpload {
public:
    /// A message box the run asks for.
    struct TMessage {
        enum class TKind { Plain, Error } Kind;
        QString Text;
    };
    /// Where the run reports; called on the thread that runs it.
    struct TListener {
        std::function<void(const QString&)> Log;
        std::function<void(const TMessage&)> Message;
        /// Asked once when the server (host) shows a certificate nobody vouches for, with its
        /// SHA-256 fingerprint; true accepts it. Unset: refused.
        std::function<bool(const QString& host, const QString& fingerprint)> Trust;
    };
    /// How a run went.
    struct TResult {
        int Lines = 0;
        int Failed = 0; ///< failed, unsupported or unknown commands
        bool ConnectFailed = false;
        bool Aborted = false;
        /// Per line: its command reached the server and succeeded.
        QList<bool> Done;
    };

    /// Label texts and percentages go to `progress`, whose cancel aborts the transfer under way
    /// and clears the connected flag, so the remaining lines send nothing.
    TFtpUpload(TFtpClient& client, TProgress& progress, TListener listener);
    ~TFtpUpload();
    TFtpUpload(const TFtpUpload&) = delete;
    TFtpUpload& operator=(const TFtpUpload&) = delete;

    /// The line of a local file, as the command language writes it.
    static QString LocalPath(const QString& absolutePath);
    /// A remote folder as the upload uses it: "/" separators, ASCII letters in lower case.
    static QString RemoteFolder(const QString& argument);
    /// The lock file an upload of `outputFolder` holds (beside it), so that the gallery is not
    /// made anew under a transfer, by this program or another one.
    static QString LockPath(const QString& outputFolder);
    /// Takes `lock` (made on LockPath()) at once, or says that another run holds it. A lock
    /// file without its owner's number is left by a run killed while it took the lock: it is
    /// taken over rather than blocking every run for Qt's stale time.
    static bool TryLockOutput(QLockFile& lock);
    /// The command lines, written here only: "copy |LOCAL | REMOTE" sends a file (`folder` the
    /// absolute local folder, `target` the server folder with its trailing "/" or empty),
    /// "del |REMOTE" deletes one.
    static QString CopyLine(const QString& folder, const QString& name, const QString& target);
    static QString DeleteLine(const QString& name, const QString& target);
    /// The server folder as the lines write it: trimmed, with a trailing "/" unless empty.
    static QString TargetPrefix(const QString& serverDir);
    /// One "copy" line for every entry of `outputFolder` whose name does not begin with ".",
    /// into the trimmed `serverDir` (nothing but the name when it is empty).
    static QStringList CommandList(const QString& outputFolder, const QString& serverDir);

    /// Connects and logs in; on success sets the connected flag. A failure shows the client's
    /// message ("Invalid Host", "Connection Failed" or "Error N: text") and then
    /// `failureText` (the "could not connect" message).
    /// An unknown certificate is offered to `TListener::Trust`; accepted, the connection is
    /// made again trusting it, and `AcceptedCertificate()` names it for the settings.
    bool Connect(const TFtpLogin& login, const QString& failureText);
    bool Connected() const { return ConnectedFlag; }
    /// The fingerprint the user accepted in the last `Connect`; empty when none.
    const QString& AcceptedCertificate() const { return Accepted; }
    /// Clears the connected flag and closes the connection.
    void Disconnect();

    /// Runs the lines in order; after line k of n the progress shows k / n × 100. Blank lines
    /// are skipped but still count.
    TResult Run(const QStringList& lines);
    /// One line; false when its command failed or is unknown.
    bool RunLine(const QString& line);

    /// The upload of a gallery folder into `serverDir` of the connected server, `login`
    /// naming it for the record of what was sent (see TUploadManifest): new and changed files
    /// go, unchanged ones are logged as kept, files of earlier uploads that the gallery no
    /// longer has are deleted after the new ones are up; with `everything` every file goes
    /// and nothing is deleted. The record is updated with what went through. Ends with a log
    /// line counting what was sent, kept and removed.
    TResult Sync(const QString& outputFolder, const TFtpLogin& login, const QString& serverDir,
                 bool everything);

private:
    bool Log(const QString& commandText, TFtpKind kind, TFtpOutcome outcome);
    bool Send(const QString& commandText, TFtpKind kind,
              const std::function<TFtpOutcome()>& operation);
    void CheckAbort();

    TFtpClient& Client;
    TProgress& Progress;
    TListener Listener;
    bool ConnectedFlag = false;
    bool AbortSeen = false;
    QString Accepted;
    QString CommandText; ///< of the command running, for notes of the client
    bool LineDone = false;
};

} // namespace Lumerix
