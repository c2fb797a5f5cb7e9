#pragma once

#include "TFtpClient.h"

#include <QString>

namespace Lumerix {

/// The FTP login the upload window keeps: section "FTP" of the gallery settings file.
struct TFtpAccount {
    static constexpr const char* Section = "FTP";

    QString Host;
    QString Port = QStringLiteral("21"); ///< as typed; a decimal number when used
    QString UserId;
    QString Password;           ///< stored as typed, in a file readable by its owner only
    QString ServerDir;          ///< "/"-separated; empty means the login folder
    TFtpTls Tls = TFtpTls::Try; ///< "tls": "off", "try" or "require"
    QString Certificate;        ///< "certificate": fingerprint of an accepted certificate
                                ///< (with SFTP: of the server's host key)
    TFtpProtocol Protocol = TFtpProtocol::Ftp; ///< "protocol": "ftp" or "sftp"
    QString KeyFile;                           ///< "keyfile": SFTP private key, or empty
    /// "send": "everything" sends every file as uploads always did; "changes" (the default)
    /// sends only new and changed files and removes those the gallery no longer has.
    bool SendEverything = false;

    /// Reads `settingsFile`, or `defaultsFile` while the former does not exist. Missing keys
    /// are empty, the port "21", encryption "try" (also for an unknown word).
    static TFtpAccount Read(const QString& settingsFile, const QString& defaultsFile);
    /// Writes "ServerDir", "host", "port", "user-ID" and "password", in that order, then
    /// "tls", "certificate", "protocol", "keyfile" and "send".
    bool Write(const QString& settingsFile, const QString& defaultsFile,
               QString* error = nullptr) const;

    /// The login for `port` (the field as a number).
    TFtpLogin LoginFor(int port) const;
};

} // namespace Lumerix
