#include "TFtpUpload.h"

#include "TUploadManifest.h"
#include "shell/Strings.h"
#include "shell/TProgress.h"

#include <QDir>
#include <QLockFile>
#include <QThread>

#include <algorithm>
#include <cmath>

namespace Lumerix {

namespace {

const QLatin1String FileScheme("file://");

// ASCII letters in lower case; others as they are, as the command language always had it.
QString AsciiLower(QString text) {
    for (QChar& c : text) {
        if (c >= u'A' && c <= u'Z')
            c = QChar(c.unicode() + 32);
    }
    return text;
}

// A remote file: its folders as above; the name keeps its case, so "Åre.html" stays what the
// pages link.
QString RemoteFile(const QString& argument) {
    const QString path = QString(argument).replace(u'\\', u'/');
    const qsizetype slash = path.lastIndexOf(u'/');
    return AsciiLower(path.left(slash + 1)) + path.mid(slash + 1);
}

// The local file an argument names: "file://" taken off; the case stays, as local file names
// are case-sensitive here.
QString LocalFile(const QString& argument) {
    return argument.startsWith(FileScheme, Qt::CaseInsensitive) ? argument.mid(FileScheme.size())
                                                                : argument;
}

} // namespace

TFtpUpload::TFtpUpload(TFtpClient& client, TProgress& progress, TListener listener)
    : Client(client), Progress(progress), Listener(std::move(listener)) {
    Client.SetListener({
        [this](const QString& text) { Progress.SetStatus(text); },
        [this](const QString& note) {
            if (Listener.Log)
                Listener.Log(CommandText + u' ' + note);
        },
        [this] { return Progress.Cancelled(); },
    });
}

TFtpUpload::~TFtpUpload() {
    Client.SetListener({});
}

QString TFtpUpload::LocalPath(const QString& absolutePath) {
    return FileScheme + absolutePath;
}

QString TFtpUpload::LockPath(const QString& outputFolder) {
    return QDir::cleanPath(QDir(outputFolder).absolutePath()) + QStringLiteral(".upload.lock");
}

bool TFtpUpload::TryLockOutput(QLockFile& lock) {
    if (lock.tryLock(0))
        return true;
    if (lock.error() != QLockFile::LockFailedError)
        return false;
    qint64 pid = 0;
    QString host;
    QString application;
    if (lock.getLockInfo(&pid, &host, &application))
        return false;
    // A live run writes its number right after creating the file; give it that moment.
    QThread::msleep(50);
    if (lock.getLockInfo(&pid, &host, &application))
        return false;
    lock.removeStaleLockFile();
    return lock.tryLock(0);
}

QString TFtpUpload::CopyLine(const QString& folder, const QString& name, const QString& target) {
    return QStringLiteral("copy |") + LocalPath(folder + u'/' + name) + QStringLiteral(" | ") +
           target + name;
}

QString TFtpUpload::DeleteLine(const QString& name, const QString& target) {
    return QStringLiteral("del |") + target + name;
}

QString TFtpUpload::TargetPrefix(const QString& serverDir) {
    const QString trimmed = serverDir.trimmed();
    return trimmed.isEmpty() ? QString() : trimmed + u'/';
}

QString TFtpUpload::RemoteFolder(const QString& argument) {
    return AsciiLower(QString(argument).replace(u'\\', u'/'));
}

QStringList TFtpUpload::CommandList(const QString& outputFolder, const QString& serverDir) {
    const QString folder = QDir(outputFolder).absolutePath();
    const QString target = TargetPrefix(serverDir);
    QStringList lines;
    const QDir::Filters filter =
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;
    for (const QString& name : QDir(folder).entryList(filter, QDir::Name)) {
        if (name.startsWith(u'.'))
            continue;
        lines.append(CopyLine(folder, name, target));
    }
    return lines;
}

bool TFtpUpload::Connect(const TFtpLogin& login, const QString& failureText) {
    Disconnect();
    AbortSeen = false;
    Accepted.clear();
    bool connected = Client.Connect(login);
    if (!connected && Client.Failure() == TFtpConnectFailure::UnknownCertificate &&
        Listener.Trust) {
        const QString fingerprint = Client.PeerFingerprint();
        if (Listener.Trust(login.Host, fingerprint)) {
            TFtpLogin trusting = login;
            trusting.TrustedCertificate = fingerprint;
            connected = Client.Connect(trusting);
            if (connected)
                Accepted = fingerprint;
        }
    }
    if (connected) {
        ConnectedFlag = true;
        return true;
    }
    auto say = [this](TMessage::TKind kind, const QString& text) {
        if (Listener.Message)
            Listener.Message({kind, text});
    };
    switch (Client.Failure()) {
    case TFtpConnectFailure::TlsRefused:
        say(TMessage::TKind::Plain,
            QStringLiteral("The server offers no encryption (TLS), which this login requires; "
                           "the password was not sent"));
        break;
    case TFtpConnectFailure::UnknownCertificate:
        if (login.Protocol == TFtpProtocol::Sftp) {
            say(TMessage::TKind::Plain,
                QStringLiteral("The server's SSH host key is not known yet, and it was not "
                               "accepted; the password was not sent. SHA-256 fingerprint: %1")
                    .arg(Client.PeerFingerprint()));
            break;
        }
        say(TMessage::TKind::Plain,
            QStringLiteral("The server's certificate is not one this system trusts, and it was "
                           "not accepted; the password was not sent. SHA-256 fingerprint: %1")
                .arg(Client.PeerFingerprint()));
        break;
    case TFtpConnectFailure::ChangedCertificate:
        say(TMessage::TKind::Plain,
            QStringLiteral("The server's %1 has changed since it was accepted; the password was "
                           "not sent. Someone may be posing as the server. SHA-256 fingerprint "
                           "now: %2, accepted: %3")
                .arg(login.Protocol == TFtpProtocol::Sftp ? QStringLiteral("SSH host key")
                                                          : QStringLiteral("certificate"),
                     Client.PeerFingerprint(),
                     TFtpClient::NormalisedFingerprint(login.TrustedCertificate)));
        break;
    case TFtpConnectFailure::InvalidHost:
        say(TMessage::TKind::Plain, QStringLiteral("Invalid Host"));
        break;
    case TFtpConnectFailure::ConnectionFailed:
        say(TMessage::TKind::Plain, QStringLiteral("Connection Failed"));
        break;
    default:
        say(TMessage::TKind::Plain,
            QStringLiteral("Error %1: %2").arg(Client.ErrorNumber()).arg(Client.ErrorText()));
        break;
    }
    say(TMessage::TKind::Error, failureText);
    return false;
}

void TFtpUpload::Disconnect() {
    ConnectedFlag = false;
    Client.Disconnect();
}

void TFtpUpload::CheckAbort() {
    if (ConnectedFlag && Progress.Cancelled()) {
        AbortSeen = true;
        Disconnect();
    }
}

TFtpUpload::TResult TFtpUpload::Run(const QStringList& lines) {
    TResult result;
    result.Lines = int(lines.size());
    for (int k = 0; k < lines.size(); ++k) {
        CheckAbort();
        LineDone = false;
        if (!RunLine(lines[k]))
            ++result.Failed;
        result.Done.append(LineDone);
        Progress.SetPercent(int(std::nearbyint(100.0 * (k + 1) / lines.size())));
    }
    CheckAbort();
    result.Aborted = AbortSeen;
    return result;
}

TFtpUpload::TResult TFtpUpload::Sync(const QString& outputFolder, const TFtpLogin& login,
                                     const QString& serverDir, bool everything) {
    auto log = [this](const QString& line) {
        if (Listener.Log)
            Listener.Log(line);
    };
    const QString target =
        TUploadManifest::TargetOf(FtpProtocolName(login.Protocol), login.Host, login.Port,
                                  login.User, Client.Resolve(serverDir.trimmed()));
    const QString recordPath = TUploadManifest::PathFor(outputFolder, target);
    TUploadManifest sent = TUploadManifest::Read(recordPath);
    // Another target whose name hashes alike, or a damaged record: nothing is known there.
    if (sent.Target != target)
        sent = TUploadManifest{target, {}};
    const QMap<QString, TSentFile> local = TUploadManifest::Scan(outputFolder);
    const TUploadPlan plan = TUploadPlan::Make(local, sent, everything);
    const bool connected = ConnectedFlag;
    for (const QString& name : plan.Keep)
        log(QStringLiteral("keep %1 unchanged").arg(name));
    TResult result = Run(plan.Lines(outputFolder, serverDir));
    if (!connected)
        return result;
    const qsizetype sendCount = plan.Send.size();
    const int sentCount =
        int(std::count(result.Done.begin(), result.Done.begin() + sendCount, true));
    const int removed = int(std::count(result.Done.begin() + sendCount, result.Done.end(), true));
    QString error;
    if (!plan.Outcome(sent, local, result.Done).Write(recordPath, &error))
        log(error);
    log(QStringLiteral("%1 sent, %2 kept, %3 removed")
            .arg(sentCount)
            .arg(plan.Keep.size())
            .arg(removed));
    return result;
}

bool TFtpUpload::Log(const QString& commandText, TFtpKind kind, TFtpOutcome outcome) {
    const QString text = FtpOutcomeText(kind, outcome);
    Progress.SetStatus(text);
    if (Listener.Log)
        Listener.Log(commandText + u' ' + text);
    return outcome == TFtpOutcome::Success;
}

bool TFtpUpload::Send(const QString& commandText, TFtpKind kind,
                      const std::function<TFtpOutcome()>& operation) {
    // Without a connection a command is read but nothing goes to the server.
    if (!ConnectedFlag)
        return true;
    CommandText = commandText;
    const TFtpOutcome outcome = operation();
    CheckAbort();
    LineDone = outcome == TFtpOutcome::Success;
    return Log(commandText, kind, outcome);
}

bool TFtpUpload::RunLine(const QString& rawLine) {
    const QString line = rawLine.trimmed();
    if (line.isEmpty())
        return true;
    const QString command = Strings::ExtractWord(1, line, QStringLiteral(" ")).trimmed().toLower();
    const QString first = Strings::ExtractWord(2, line, QStringLiteral("|")).trimmed();
    const QString second = Strings::ExtractWord(3, line, QStringLiteral("|")).trimmed();
    auto text = [&](const QString& a, const QString& b) {
        return command + u' ' + a + u' ' + b;
    };

    if (command == u"copy") {
        bool ok = true;
        // A local path is the one with a colon: the "file://" of this system, a drive letter
        // elsewhere. Both directions may apply to one line.
        if (first.contains(u':')) {
            const QString remote = RemoteFile(second);
            ok =
                Send(text(first, remote), TFtpKind::Upload,
                     [&] {
                         TFtpOutcome outcome = Client.Upload(LocalFile(first), remote);
                         // A target folder that does not exist yet is made, and the file
                         // goes once more.
                         const qsizetype slash = remote.lastIndexOf(u'/');
                         if (outcome == TFtpOutcome::Failure && slash > 0 && Client.IsConnected() &&
                             !Progress.Cancelled() && Client.MakePath(remote.left(slash)))
                             outcome = Client.Upload(LocalFile(first), remote);
                         return outcome;
                     }) &&
                ok;
        }
        if (second.contains(u':')) {
            const QString remote = RemoteFile(first);
            ok = Send(text(remote, second), TFtpKind::Download,
                      [&] { return Client.Download(remote, LocalFile(second)); }) &&
                 ok;
        }
        return ok;
    }
    const QString a = RemoteFolder(first);
    const QString b = RemoteFolder(second);
    if (command == u"del") {
        const QString file = RemoteFile(first);
        return Send(text(file, b), TFtpKind::Delete, [&] { return Client.Delete(file); });
    }
    if (command == u"md")
        return Send(text(a, b), TFtpKind::MakeDir, [&] { return Client.MakeDir(a); });
    if (command == u"rmdir")
        return Send(text(a, b), TFtpKind::RemoveDir, [&] { return Client.RemoveDir(a); });
    if (command == u"cd")
        return Send(text(a, b), TFtpKind::ChangeDir, [&] { return Client.ChangeDir(a); });
    if (command == u"cd..")
        return Send(text(a, b), TFtpKind::ChangeDir,
                    [&] { return Client.ChangeDir(QStringLiteral("../")); });
    if (command == u"cd\\") {
        bool ok = true;
        // Up one folder at a time until the root; a step that fails or goes nowhere ends it.
        for (int step = 0; ConnectedFlag && Client.CurrentDir() != u"/" && step < 256; ++step) {
            const QString before = Client.CurrentDir();
            ok = Send(text(a, b), TFtpKind::ChangeDir,
                      [&] { return Client.ChangeDir(QStringLiteral("../")); });
            if (!ok || Client.CurrentDir() == before)
                break;
        }
        return ok;
    }
    if (Listener.Message)
        Listener.Message({TMessage::TKind::Error, QStringLiteral("Command unknown!")});
    return false;
}

} // namespace Lumerix
