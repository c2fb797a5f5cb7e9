#pragma once

#include <QString>

namespace Lumerix {

/// The FTP login the upload window keeps: section "FTP" of the gallery settings file.
struct TFtpAccount {
    static constexpr const char* Section = "FTP";

    QString Host;
    QString Port = QStringLiteral("21"); ///< as typed; a decimal number when used
    QString UserId;
    QString Password;  ///< stored as typed, in a file readable by its owner only
    QString ServerDir; ///< "/"-separated; empty means the login folder

    /// Reads `settingsFile`, or `defaultsFile` while the former does not exist. Missing keys
    /// are empty, the port "21".
    static TFtpAccount Read(const QString& settingsFile, const QString& defaultsFile);
    /// Writes "ServerDir", "host", "port", "user-ID" and "password", in that order.
    bool Write(const QString& settingsFile, const QString& defaultsFile,
               QString* error = nullptr) const;
};

} // namespace Lumerix
