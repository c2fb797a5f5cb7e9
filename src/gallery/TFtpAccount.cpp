#include "TFtpAccount.h"

#include "TGallerySettings.h"
#include "shell/TIniFile.h"

namespace Lumerix {

namespace {

const QString FtpSection = QString::fromLatin1(TFtpAccount::Section);

} // namespace

TFtpAccount TFtpAccount::Read(const QString& settingsFile, const QString& defaultsFile) {
    const TIniFile ini(settingsFile, defaultsFile);
    TFtpAccount account;
    account.Host = ini.ReadString(FtpSection, QStringLiteral("host"), QString());
    // A port never stored yet is the standard one rather than an empty field.
    account.Port = ini.ReadString(FtpSection, QStringLiteral("port"), account.Port);
    account.UserId = ini.ReadString(FtpSection, QStringLiteral("user-ID"), QString());
    account.Password = ini.ReadString(FtpSection, QStringLiteral("password"), QString());
    account.ServerDir = ini.ReadString(FtpSection, QStringLiteral("ServerDir"), QString());
    account.Tls = FtpTlsFromName(ini.ReadString(FtpSection, QStringLiteral("tls"), QString()))
                      .value_or(TFtpTls::Try);
    account.Certificate = ini.ReadString(FtpSection, QStringLiteral("certificate"), QString());
    account.Protocol =
        FtpProtocolFromName(ini.ReadString(FtpSection, QStringLiteral("protocol"), QString()))
            .value_or(TFtpProtocol::Ftp);
    account.KeyFile = ini.ReadString(FtpSection, QStringLiteral("keyfile"), QString());
    account.SendEverything =
        ini.ReadString(FtpSection, QStringLiteral("send"), QString()).trimmed().toLower() ==
        u"everything";
    return account;
}

bool TFtpAccount::Write(const QString& settingsFile, const QString& defaultsFile,
                        QString* error) const {
    if (!PrepareSettingsFile(settingsFile, defaultsFile, error))
        return false;
    TIniFile ini(settingsFile);
    const bool written = ini.WriteStrings(
        FtpSection, {{QStringLiteral("ServerDir"), ServerDir},
                     {QStringLiteral("host"), Host},
                     {QStringLiteral("port"), Port},
                     {QStringLiteral("user-ID"), UserId},
                     {QStringLiteral("password"), Password},
                     {QStringLiteral("tls"), FtpTlsName(Tls)},
                     {QStringLiteral("certificate"), Certificate},
                     {QStringLiteral("protocol"), FtpProtocolName(Protocol)},
                     {QStringLiteral("keyfile"), KeyFile},
                     {QStringLiteral("send"),
                      SendEverything ? QStringLiteral("everything") : QStringLiteral("changes")}});
    if (!written && error)
        *error = ini.LastError();
    return written;
}

TFtpLogin TFtpAccount::LoginFor(int port) const {
    TFtpLogin login;
    login.Host = Host.trimmed();
    login.Port = port;
    login.User = UserId;
    login.Password = Password;
    login.Tls = Tls;
    login.TrustedCertificate = Certificate;
    login.Protocol = Protocol;
    login.KeyFile = KeyFile.trimmed();
    return login;
}

} // namespace Lumerix
