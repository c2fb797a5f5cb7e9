#pragma once

#include <QString>

#include <functional>
#include <memory>

namespace Lumerix {

/// Transaction kinds of the upload log, in their customary numbering.
enum class TFtpKind {
    ChangeDir = 0,
    MakeDir = 1,
    Delete = 2,
    RemoveDir = 3,
    List = 4,
    Rename = 5,
    UploadRestore = 6,
    DownloadRestore = 7,
    Download = 8,
    Upload = 9,
    UploadAppend = 10,
    ReInit = 11,
    Allocate = 12,
    NList = 13,
    DoCommand = 14,
};

enum class TFtpOutcome { Success, Failure, Unsupported };

/// "ChangeDir success", "ERROR: Upload failure", "ERROR: Delete unsupported", ...
QString FtpOutcomeText(TFtpKind kind, TFtpOutcome outcome);

/// Where to log in.
struct TFtpLogin {
    QString Host;
    int Port = 21;
    QString User;
    QString Password;
    int TimeoutMs = 10000;
};

/// Why a connection was not made.
enum class TFtpConnectFailure { None, InvalidHost, ConnectionFailed, Other };

/// An FTP client on libcurl that keeps one control connection and its own working folder.
/// Transfers go in image (binary) mode over active data connections (PORT); when an active
/// connection cannot be made the transfer is retried once passively, and later transfers of
/// the session stay passive. TLS is used when the server offers it. Folder commands are sent
/// as quote commands with absolute paths, and every transfer names its absolute path, so the
/// server's own idea of the current folder never matters. Not thread-safe: one thread at a
/// time.
class TFtpClient {
public:
    /// What the client reports while it works, on the thread that runs the operation.
    struct TListener {
        std::function<void(const QString&)> Status; ///< progress label texts
        std::function<void(const QString&)> Note;   ///< worth a log line (passive fallback)
        std::function<bool()> AbortRequested;       ///< polled during every operation
    };

    TFtpClient();
    ~TFtpClient();
    TFtpClient(const TFtpClient&) = delete;
    TFtpClient& operator=(const TFtpClient&) = delete;

    void SetListener(TListener listener);

    /// Connects and logs in; the working folder becomes the login folder. Reports
    /// "Host resolved" and "Connected". False with `Failure()`, `ErrorNumber()`, `ErrorText()`.
    bool Connect(const TFtpLogin& login);
    bool IsConnected() const;
    /// Sends QUIT and closes; reports "Disconnected" when a connection was open.
    void Disconnect();

    TFtpConnectFailure Failure() const;
    /// The server's reply code when it refused, else the library's error number.
    int ErrorNumber() const;
    QString ErrorText() const;

    /// The working folder, absolute ("/" at the root).
    QString CurrentDir() const;
    /// `path` as an absolute server path: "/"-rooted paths as they are, others below the
    /// working folder; "." and ".." resolved.
    QString Resolve(const QString& path) const;

    /// The folder a "257" reply names between double quotes (a doubled quote inside stands for
    /// one); empty unless it is absolute and free of line breaks.
    static QString ReportedFolder(const QString& reply);
    /// CWD, then PWD for the folder the server settled on.
    TFtpOutcome ChangeDir(const QString& folder);
    TFtpOutcome MakeDir(const QString& name);
    TFtpOutcome Delete(const QString& name);
    TFtpOutcome RemoveDir(const QString& name);
    /// STOR of a local file. Reports "Beginning Data Transfer", "n of m bytes sent" and
    /// "Data Transfer Complete"; an abort request stops it mid-file.
    TFtpOutcome Upload(const QString& localFile, const QString& remote);
    /// RETR into a local file, which is replaced only when the whole file arrived.
    TFtpOutcome Download(const QString& remote, const QString& localFile);

private:
    struct TState;
    std::unique_ptr<TState> D;
};

} // namespace Lumerix
