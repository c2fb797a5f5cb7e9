#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

namespace Lumerix {

/// A real FTP server for one test: Debian's pyftpdlib on 127.0.0.1, a free port it picks
/// itself, user "anna" with password "secret" whose login folder is `Root()`.
class TFtpTestServer {
public:
    enum class TMode {
        Normal,
        RefusePort,    ///< PORT and EPRT answered with 500: only passive data connections work
        NeverConnects, ///< PORT accepted, but the data connection never comes
        DropLarge,     ///< closes the connection once an upload passes 200 000 bytes
        Slow,          ///< takes uploads at 256 KiB per second
    };

    /// False (skip the test) when /usr/bin/python3 has no pyftpdlib.
    static bool Available();
    /// Writes "ca.pem" (a certificate authority) and "server.pem" (a certificate for
    /// 127.0.0.1 it signed, with its key) into `folder`; `fingerprint` is the server
    /// certificate's SHA-256 fingerprint. False without Python's cryptography module.
    static bool MakeCertificates(const QString& folder, QString* fingerprint);
    /// Both at once, for a test that needs a TLS server: why it cannot have one (the text to
    /// skip with), or empty once the certificates are in `folder`.
    static QString PrepareTls(const QString& folder, QString* fingerprint);

    /// With `certificate` (a PEM file holding the key too) the server offers TLS.
    explicit TFtpTestServer(TMode mode = TMode::Normal, const QString& certificate = {});
    ~TFtpTestServer();

    /// True once the server accepts connections.
    bool Started() const { return Port_ > 0; }
    int Port() const { return Port_; }
    /// The login folder, ending in "/".
    QString Root() const { return RootPath; }
    /// Ends the server process at once.
    void Kill();
    /// What the server logged: logins, transfers.
    QString Log() const;

private:
    QTemporaryDir Folder;
    QString RootPath;
    QProcess Process;
    int Port_ = 0;
};

} // namespace Lumerix
