#pragma once

#include <QString>

#include <functional>
#include <memory>
#include <optional>

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

/// Encryption of the session: never, when the server offers it, or required (a server without
/// it is refused before the password is sent).
enum class TFtpTls { Off, Try, Require };

/// "off", "try", "require".
QString FtpTlsName(TFtpTls tls);
/// The setting a name stands for; none for any other text.
std::optional<TFtpTls> FtpTlsFromName(const QString& name);

/// The file transfer protocol: FTP (with or without TLS), or SFTP over SSH.
enum class TFtpProtocol { Ftp, Sftp };

/// "ftp", "sftp".
QString FtpProtocolName(TFtpProtocol protocol);
std::optional<TFtpProtocol> FtpProtocolFromName(const QString& name);

/// Where to log in.
struct TFtpLogin {
    QString Host;
    int Port = 21;
    QString User;
    QString Password;
    int TimeoutMs = 10000;
    TFtpTls Tls = TFtpTls::Try;
    /// SHA-256 fingerprint of a certificate the user accepted for this server, which is then
    /// trusted besides those the system's store vouches for; empty for none. With SFTP the
    /// fingerprint of the server's host key, which is then the only one accepted.
    QString TrustedCertificate;
    TFtpProtocol Protocol = TFtpProtocol::Ftp;
    /// SFTP: a private key file to log in with (the password then unlocks it, when it is
    /// protected); empty to log in with the password.
    QString KeyFile;
};

/// Why a connection was not made.
enum class TFtpConnectFailure {
    None,
    InvalidHost,
    ConnectionFailed,
    TlsRefused,         ///< encryption required, and the server offers none
    UnknownCertificate, ///< neither the system nor the user vouches for the certificate
    ChangedCertificate, ///< not the certificate the user accepted earlier
    Other,
};

/// An FTP client on libcurl that keeps one control connection and its own working folder.
/// Transfers go in image (binary) mode over active data connections (PORT); when an active
/// data connection fails the transfer is retried once passively, and later transfers of the
/// session stay passive.
///
/// With TLS the control connection (login and commands) is encrypted and checked against the
/// system's certificates or the one the user accepted; encrypted sessions use passive data
/// connections from the start (a firewall cannot read an encrypted PORT) and send the files
/// in the clear (PROT C): the libcurl of Debian 12 cannot carry protected data connections,
/// neither active (the data goes unencrypted and the server stores an empty file) nor
/// passive (the data connection's handshake is reset). The files are a public web gallery.
///
/// Folder commands are sent as quote commands with absolute paths, and every transfer names
/// its absolute path, so the server's own idea of the current folder never matters. Not
/// thread-safe: one thread at a time.
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
    /// True while the connection is encrypted.
    bool Encrypted() const;
    /// The SHA-256 fingerprint of the server's certificate of the last connection attempt
    /// ("AB:CD:…", 32 pairs); empty without TLS.
    QString PeerFingerprint() const;
    /// `text` as a fingerprint in the form above (colons, blanks and letter case as typed do
    /// not matter); empty when it is not 32 bytes of hexadecimal digits.
    static QString NormalisedFingerprint(const QString& text);
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
    /// Makes `folder` and every missing folder above it; true when at least one was made
    /// (each made one is reported as a note).
    bool MakePath(const QString& folder);
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
