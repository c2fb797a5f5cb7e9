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

    /// Reads `settingsFile`, or `defaultsFile` while the former does not exist. Missing keys
    /// are empty, the port "21", encryption "try" (also for an unknown word).
    static TFtpAccount Read(const QString& settingsFile, const QString& defaultsFile);
    /// Writes "ServerDir", "host", "port", "user-ID" and "password", in that order, then
    /// "tls" and "certificate".
    bool Write(const QString& settingsFile, const QString& defaultsFile,
               QString* error = nullptr) const;
};

} // namespace Lumerix
