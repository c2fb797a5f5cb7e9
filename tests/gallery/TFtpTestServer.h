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
        RefusePort, ///< PORT and EPRT answered with 500: only passive data connections work
        DropLarge,  ///< closes the connection once an upload passes 200 000 bytes
        Slow,       ///< takes uploads at 256 KiB per second
    };

    /// False (skip the test) when /usr/bin/python3 has no pyftpdlib.
    static bool Available();

    explicit TFtpTestServer(TMode mode = TMode::Normal);
    ~TFtpTestServer();

    /// True once the server accepts connections.
    bool Started() const { return Port_ > 0; }
    int Port() const { return Port_; }
    /// The login folder, ending in "/".
    QString Root() const { return RootPath; }
    /// Ends the server process at once.
    void Kill();

private:
    QTemporaryDir Folder;
    QString RootPath;
    QProcess Process;
    int Port_ = 0;
};

} // namespace Lumerix
