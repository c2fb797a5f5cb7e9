#include "GalleryCommands.h"

#include "TTerminalPrompter.h"
#include "document/TSlideshow.h"
#include "document/TSlideshowStore.h"
#include "gallery/TFtpAccount.h"
#include "gallery/TFtpClient.h"
#include "gallery/TFtpUpload.h"
#include "gallery/TGalleryGenerator.h"
#include "gallery/TGalleryRequest.h"
#include "gallery/TGallerySettings.h"
#include "shell/TRunState.h"

#include <QFile>
#include <QLockFile>
#include <QTextStream>

#include <optional>

namespace Lumerix {

namespace {

void PrintLine(const QString& line) {
    QTextStream(stdout) << line << Qt::endl;
}

// The slideshow named by the command's first argument; anything else is refused.
QString ShowName(const TCliContext& context) {
    const QString name = context.Arguments.value(0);
    if (!TSlideshowStore(context.State).IsShow(name))
        throw TCliError{
            QStringLiteral("no slideshow \"%1\" in %2").arg(name, context.State.WorkspaceDir)};
    return name;
}

// "--name VALUE" pairs after the slideshow; every name must be one of `known`.
QList<std::pair<QString, QString>> Options(const TCliContext& context, const QStringList& known,
                                           const char* usage) {
    QList<std::pair<QString, QString>> options;
    const QStringList& arguments = context.Arguments;
    for (qsizetype i = 1; i < arguments.size(); i += 2) {
        if (!known.contains(arguments[i]) || i + 1 >= arguments.size())
            throw TCliError{QStringLiteral("usage: lumerix-cli %1").arg(QLatin1String(usage))};
        options.append({arguments[i], arguments[i + 1]});
    }
    return options;
}

void Gallery(TCliContext& context) {
    const char* usage = "gallery SHOW [--set KEY=VALUE ...]";
    if (context.Arguments.isEmpty())
        throw TCliError{QStringLiteral("usage: lumerix-cli %1").arg(QLatin1String(usage))};
    const QString name = ShowName(context);
    const auto options = Options(context, {QStringLiteral("--set")}, usage);

    TSlideshow show(context.State, context.Prompter);
    TTerminalProgress opening;
    show.OpenShow(name, opening);
    const TGalleryRequest request = TGalleryRequest::ForSlideshow(context.State, show);
    TGallerySettings settings =
        TGallerySettings::Read(request.SettingsFile, request.DefaultsFile());
    for (const auto& [option, assignment] : options) {
        const qsizetype equals = assignment.indexOf(u'=');
        QString error;
        if (equals <= 0 ||
            !settings.Set(assignment.left(equals).trimmed(), assignment.mid(equals + 1), &error))
            throw TCliError{equals <= 0 ? QStringLiteral("--set needs KEY=VALUE") : error};
    }

    // An upload under way sends the output folder file by file: it stays as it is.
    QLockFile upload(TFtpUpload::LockPath(request.OutputDir()));
    if (!TFtpUpload::TryLockOutput(upload))
        throw TCliError{QStringLiteral("%1 is being uploaded: the gallery is made when the upload "
                                       "has finished")
                            .arg(request.OutputDir())};
    TTerminalProgress progress;
    TGalleryGenerator generator(request, settings);
    const TGalleryResult result = generator.Generate(progress);
    if (!result.Ok)
        throw TCliError{result.Error};
    PrintLine(request.OutputDir());
}

void Upload(TCliContext& context) {
    const char* usage =
        "upload SHOW [--host H] [--port P] [--user U] [--password-file F] [--dir D] "
        "[--tls off|try|require] [--trust SHA256] [--protocol ftp|sftp] [--key-file F] "
        "[--send changes|everything]";
    if (context.Arguments.isEmpty())
        throw TCliError{QStringLiteral("usage: lumerix-cli %1").arg(QLatin1String(usage))};
    const TRunState& state = context.State;
    const QString settingsFile = TGalleryRequest::SettingsFileOf(state, ShowName(context));
    const QString defaults = state.KitFile(QStringLiteral("Gallery.ini"));
    TFtpAccount account = TFtpAccount::Read(settingsFile, defaults);
    for (const auto& [option, value] :
         Options(context,
                 {QStringLiteral("--host"), QStringLiteral("--port"), QStringLiteral("--user"),
                  QStringLiteral("--password-file"), QStringLiteral("--dir"),
                  QStringLiteral("--tls"), QStringLiteral("--trust"), QStringLiteral("--protocol"),
                  QStringLiteral("--key-file"), QStringLiteral("--send")},
                 usage)) {
        if (option == u"--protocol") {
            const std::optional<TFtpProtocol> protocol = FtpProtocolFromName(value);
            if (!protocol)
                throw TCliError{QStringLiteral("--protocol is ftp or sftp")};
            account.Protocol = *protocol;
        } else if (option == u"--key-file") {
            account.KeyFile = value;
        } else if (option == u"--send") {
            if (value != u"changes" && value != u"everything")
                throw TCliError{QStringLiteral("--send is changes or everything")};
            account.SendEverything = value == u"everything";
        } else if (option == u"--tls") {
            const std::optional<TFtpTls> tls = FtpTlsFromName(value);
            if (!tls)
                throw TCliError{QStringLiteral("--tls is off, try or require")};
            account.Tls = *tls;
        } else if (option == u"--trust") {
            account.Certificate = TFtpClient::NormalisedFingerprint(value);
            if (account.Certificate.isEmpty())
                throw TCliError{QStringLiteral("--trust needs a SHA-256 fingerprint: 64 "
                                               "hexadecimal digits, colons allowed")};
        } else if (option == u"--host") {
            account.Host = value;
        } else if (option == u"--port") {
            account.Port = value;
        } else if (option == u"--user") {
            account.UserId = value;
        } else if (option == u"--dir") {
            account.ServerDir = value;
        } else {
            // The password comes from a file, so it never shows in the process list.
            QFile file(value);
            if (!file.open(QIODevice::ReadOnly))
                throw TCliError{QStringLiteral("%1: %2").arg(value, file.errorString())};
            QString password = QString::fromUtf8(file.readAll());
            password = password.left(password.indexOf(u'\n'));
            if (password.endsWith(u'\r'))
                password.chop(1);
            account.Password = password;
        }
    }
    // As the upload button does: the login is stored first.
    QString error;
    if (!account.Write(settingsFile, defaults, &error))
        throw TCliError{error};
    bool ok = false;
    const int port = account.Port.trimmed().toInt(&ok);
    if (!ok)
        throw TCliError{QStringLiteral("'%1' is not a valid integer value").arg(account.Port)};

    const QString outputDir = state.ProgramDir + QStringLiteral("gallery/");
    const QStringList lines = TFtpUpload::CommandList(outputDir, account.ServerDir);
    if (lines.isEmpty())
        throw TCliError{QStringLiteral("%1 is empty: make the gallery first (lumerix-cli gallery "
                                       "SHOW)")
                            .arg(outputDir)};

    QLockFile sending(TFtpUpload::LockPath(outputDir));
    TFtpUpload::TryLockOutput(sending);
    TTerminalPrompter& prompter = context.Prompter;
    TTerminalProgress progress;
    TFtpClient client;
    TFtpUpload upload(client, progress,
                      {PrintLine,
                       [&prompter](const TFtpUpload::TMessage& message) {
                           if (message.Kind == TFtpUpload::TMessage::TKind::Plain)
                               prompter.PlainError(message.Text);
                           else
                               prompter.Error(message.Text);
                       },
                       // Nobody is asked here: an unknown certificate is named, --trust takes it.
                       nullptr});
    const TFtpLogin login = account.LoginFor(port);
    const bool connected = upload.Connect(login, state.Text(10028));
    const TFtpUpload::TResult result =
        upload.Sync(outputDir, login, account.ServerDir, account.SendEverything);
    upload.Disconnect();
    if (!connected && client.Failure() == TFtpConnectFailure::UnknownCertificate)
        throw TCliError{QStringLiteral("nothing was uploaded to %1:%2; if the fingerprint is the "
                                       "server's, accept it with --trust %3")
                            .arg(account.Host.trimmed())
                            .arg(port)
                            .arg(client.PeerFingerprint())};
    if (!connected)
        throw TCliError{
            QStringLiteral("nothing was uploaded to %1:%2").arg(account.Host.trimmed()).arg(port)};
    if (result.Failed > 0)
        throw TCliError{
            QStringLiteral("%1 of %2 commands failed").arg(result.Failed).arg(result.Lines)};
}

} // namespace

QList<TCommandLine::TCommand> GalleryCommands() {
    return {
        {QStringLiteral("gallery"), QStringLiteral("SHOW [--set KEY=VALUE ...]"),
         QStringLiteral("write the slideshow's web gallery (settings changed first and kept in "
                        "Gallery_SHOW.ini); prints the output folder"),
         Gallery},
        {QStringLiteral("upload"),
         QStringLiteral("SHOW [--host H] [--port P] [--user U] [--password-file F] [--dir D] "
                        "[--tls off|try|require] [--trust SHA256] [--protocol ftp|sftp] "
                        "[--key-file F] [--send changes|everything]"),
         QStringLiteral("upload the gallery folder by FTP or SFTP with the slideshow's login "
                        "(changes kept): only new and changed files unless --send everything; "
                        "prints the log lines"),
         Upload},
    };
}

} // namespace Lumerix
