#include "TFtpClient.h"

#include <QElapsedTimer>
#include <QFile>
#include <QSaveFile>
#include <QStringList>
#include <QUrl>

#include <curl/curl.h>
#include <openssl/evp.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>
#include <openssl/x509_vfy.h>

#include <mutex>

namespace Lumerix {

namespace {

constexpr const char* KindNames[] = {
    "ChangeDir",    "MakeDir",       "Delete",          "RemoveDir", "List",
    "Rename",       "UploadRestore", "DownloadRestore", "Download",  "Upload",
    "UploadAppend", "ReInit",        "Allocate",        "NList",     "DoCommand",
};

// Server replies that mean "this command is not implemented here".
bool IsUnsupportedReply(long code) {
    return code == 500 || code == 502 || code == 504;
}

// An active data connection that could not be made, whatever the server or the library said
// about it: worth a passive retry. Failures after data flowed (a dropped connection) are not.
bool IsActiveFailure(CURLcode code, long reply) {
    switch (code) {
    case CURLE_FTP_PORT_FAILED:
    case CURLE_FTP_ACCEPT_FAILED:
    case CURLE_FTP_ACCEPT_TIMEOUT:
    case CURLE_SSL_CONNECT_ERROR:
        return true;
    case CURLE_UPLOAD_FAILED:
    case CURLE_FTP_COULDNT_RETR_FILE:
        // 425 cannot open, 426 closed, 521/522 the data connection must be protected.
        return reply == 425 || reply == 426 || reply == 521 || reply == 522;
    default:
        return false;
    }
}

QString Fingerprint(X509* certificate) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (!certificate || X509_digest(certificate, EVP_sha256(), digest, &length) != 1)
        return {};
    return QString::fromLatin1(
        QByteArray(reinterpret_cast<const char*>(digest), int(length)).toHex(':').toUpper());
}

// How the certificate of the last handshake was judged.
enum class TVerdict { None, Trusted, Accepted, Unknown, Changed };

QString Sha256Fingerprint(const char* data, size_t length) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int size = 0;
    if (EVP_Digest(data, length, digest, &size, EVP_sha256(), nullptr) != 1)
        return {};
    return QString::fromLatin1(
        QByteArray(reinterpret_cast<const char*>(digest), int(size)).toHex(':').toUpper());
}

// A path as one argument of an SFTP quote command: quoted, with quotes and backslashes escaped.
QString SftpArgument(const QString& path) {
    QString escaped = path;
    escaped.replace(u'\\', QStringLiteral("\\\\")).replace(u'"', QStringLiteral("\\\""));
    return u'"' + escaped + u'"';
}

// A path that a quote command can carry: no line break could smuggle in another command.
bool IsSafePath(const QString& path) {
    return !path.contains(u'\r') && !path.contains(u'\n') && !path.contains(QChar(0));
}

} // namespace

QString FtpTlsName(TFtpTls tls) {
    switch (tls) {
    case TFtpTls::Off:
        return QStringLiteral("off");
    case TFtpTls::Require:
        return QStringLiteral("require");
    case TFtpTls::Try:
        break;
    }
    return QStringLiteral("try");
}

std::optional<TFtpTls> FtpTlsFromName(const QString& name) {
    for (TFtpTls tls : {TFtpTls::Off, TFtpTls::Try, TFtpTls::Require}) {
        if (name.trimmed().compare(FtpTlsName(tls), Qt::CaseInsensitive) == 0)
            return tls;
    }
    return std::nullopt;
}

QString FtpProtocolName(TFtpProtocol protocol) {
    return protocol == TFtpProtocol::Sftp ? QStringLiteral("sftp") : QStringLiteral("ftp");
}

std::optional<TFtpProtocol> FtpProtocolFromName(const QString& name) {
    for (TFtpProtocol protocol : {TFtpProtocol::Ftp, TFtpProtocol::Sftp}) {
        if (name.trimmed().compare(FtpProtocolName(protocol), Qt::CaseInsensitive) == 0)
            return protocol;
    }
    return std::nullopt;
}

QString FtpOutcomeText(TFtpKind kind, TFtpOutcome outcome) {
    const QString name = QString::fromLatin1(KindNames[int(kind)]);
    switch (outcome) {
    case TFtpOutcome::Success:
        return name + QStringLiteral(" success");
    case TFtpOutcome::Failure:
        return QStringLiteral("ERROR: ") + name + QStringLiteral(" failure");
    case TFtpOutcome::Unsupported:
        break;
    }
    return QStringLiteral("ERROR: ") + name + QStringLiteral(" unsupported");
}

struct TFtpClient::TState {
    CURL* Handle = nullptr;
    TFtpLogin Login;
    bool Connected = false;
    bool Encrypted = false;
    bool Passive = false; ///< encrypted, or an active data connection failed in this session
    QString PeerFingerprint;
    TVerdict Verdict = TVerdict::None;
    bool InConnect = false;
    bool Greeted = false;
    QString Dir = QStringLiteral("/");
    QStringList Replies; ///< server reply lines of the current operation
    char ErrorBuffer[CURL_ERROR_SIZE] = {};
    TFtpConnectFailure Failure = TFtpConnectFailure::None;
    int ErrorNumber = 0;
    QString ErrorText;
    TListener Listener;

    // The running transfer.
    QFile* Source = nullptr;
    QSaveFile* Target = nullptr;
    bool Uploading = false;
    QElapsedTimer ReportTimer;
    curl_off_t LastReported = -1;

    void Status(const QString& text) const {
        if (Listener.Status)
            Listener.Status(text);
    }
    bool AbortRequested() const { return Listener.AbortRequested && Listener.AbortRequested(); }

    bool Sftp() const { return Login.Protocol == TFtpProtocol::Sftp; }

    QString BaseUrl() const {
        const QString host = Login.Host.contains(u':') ? u'[' + Login.Host + u']' : Login.Host;
        return (Sftp() ? QStringLiteral("sftp://") : QStringLiteral("ftp://")) + host + u':' +
               QString::number(Login.Port) + u'/';
    }

    // An absolute server path as the address of a transfer: "%2F" keeps it absolute (an SFTP
    // address's path is absolute as it stands).
    QString Url(const QString& absolute) const {
        QStringList segments;
        for (const QString& segment : absolute.split(u'/', Qt::SkipEmptyParts))
            segments.append(QString::fromLatin1(QUrl::toPercentEncoding(segment)));
        return BaseUrl() + (Sftp() ? QString() : QStringLiteral("%2F")) + segments.join(u'/');
    }

    // A folder command: the FTP command word, or its SFTP counterpart.
    TFtpOutcome FolderCommand(const char* ftp, const char* sftp, const QString& path) {
        return Sftp() ? Quote({QLatin1String(sftp) + u' ' + SftpArgument(path)})
                      : Quote({QLatin1String(ftp) + u' ' + path});
    }

    void SetUrl(const QString& url) const {
        curl_easy_setopt(Handle, CURLOPT_URL, url.toUtf8().constData());
    }

    long ResponseCode() const {
        long code = 0;
        curl_easy_getinfo(Handle, CURLINFO_RESPONSE_CODE, &code);
        return code;
    }

    CURLcode Perform() {
        Replies.clear();
        ErrorBuffer[0] = '\0';
        const CURLcode result = curl_easy_perform(Handle);
        if (result != CURLE_OK) {
            const long code = ResponseCode();
            ErrorNumber = code >= 400 ? int(code) : int(result);
            ErrorText = code >= 400 && !Replies.isEmpty() ? Replies.last().mid(4).trimmed()
                        : ErrorBuffer[0]                  ? QString::fromUtf8(ErrorBuffer)
                                         : QString::fromUtf8(curl_easy_strerror(result));
        }
        return result;
    }

    TFtpOutcome Outcome(CURLcode result) const {
        if (result == CURLE_OK)
            return TFtpOutcome::Success;
        return IsUnsupportedReply(ResponseCode()) ? TFtpOutcome::Unsupported : TFtpOutcome::Failure;
    }

    // One transfer, retried once passively when the active data connection cannot be made.
    CURLcode Transfer(const std::function<void()>& rewind) {
        for (;;) {
            curl_easy_setopt(Handle, CURLOPT_FTPPORT, Passive ? nullptr : "-");
            LastReported = -1;
            ReportTimer.start();
            const CURLcode result = Perform();
            if (Passive || !IsActiveFailure(result, ResponseCode()))
                return result;
            Passive = true;
            if (Listener.Note)
                Listener.Note(QStringLiteral("active data connection failed (%1), retrying in "
                                             "passive mode")
                                  .arg(ErrorText));
            rewind();
        }
    }

    TFtpOutcome Quote(const QStringList& commands) {
        if (!Handle)
            return TFtpOutcome::Failure;
        curl_slist* list = nullptr;
        for (const QString& command : commands)
            list = curl_slist_append(list, command.toUtf8().constData());
        SetUrl(BaseUrl());
        curl_easy_setopt(Handle, CURLOPT_NOBODY, 1L);
        curl_easy_setopt(Handle, CURLOPT_QUOTE, list);
        const CURLcode result = Perform();
        curl_easy_setopt(Handle, CURLOPT_QUOTE, nullptr);
        curl_easy_setopt(Handle, CURLOPT_NOBODY, 0L);
        curl_slist_free_all(list);
        return Outcome(result);
    }

    // The certificate is judged during the handshake, so a refused one never sees the login.
    static CURLcode OnSslContext(CURL*, void* context, void* data) {
        auto* ssl = static_cast<SSL_CTX*>(context);
        // Besides the system's store, the file OpenSSL's own variable names, as other
        // programs here trust it.
        if (const QByteArray extra = qgetenv("SSL_CERT_FILE"); !extra.isEmpty())
            SSL_CTX_load_verify_locations(ssl, extra.constData(), nullptr);
        SSL_CTX_set_cert_verify_callback(ssl, &TState::OnVerify, data);
        return CURLE_OK;
    }

    static int OnVerify(X509_STORE_CTX* store, void* data) {
        auto* state = static_cast<TState*>(data);
        state->PeerFingerprint = Fingerprint(X509_STORE_CTX_get0_cert(store));
        // The host name is checked here with the chain (the library's own check is off), so
        // that an accepted certificate need not name the host.
        const QByteArray host = state->Login.Host.toUtf8();
        X509_VERIFY_PARAM* parameters = X509_STORE_CTX_get0_param(store);
        if (X509_VERIFY_PARAM_set1_ip_asc(parameters, host.constData()) != 1)
            X509_VERIFY_PARAM_set1_host(parameters, host.constData(), 0);
        if (X509_verify_cert(store) == 1) {
            state->Verdict = TVerdict::Trusted;
            return 1;
        }
        const QString accepted = NormalisedFingerprint(state->Login.TrustedCertificate);
        if (!accepted.isEmpty() && accepted == state->PeerFingerprint) {
            X509_STORE_CTX_set_error(store, X509_V_OK);
            state->Verdict = TVerdict::Accepted;
            return 1;
        }
        state->Verdict = accepted.isEmpty() ? TVerdict::Unknown : TVerdict::Changed;
        return 0;
    }

    // The SSH host key is judged before the login, like a certificate: only the one the user
    // accepted for this server passes, by its SHA-256 fingerprint.
    static int OnHostKey(void* data, int, const char* key, size_t length) {
        auto* state = static_cast<TState*>(data);
        state->PeerFingerprint = Sha256Fingerprint(key, length);
        const QString accepted = NormalisedFingerprint(state->Login.TrustedCertificate);
        if (!accepted.isEmpty() && accepted == state->PeerFingerprint) {
            state->Verdict = TVerdict::Accepted;
            return CURLKHMATCH_OK;
        }
        state->Verdict = accepted.isEmpty() ? TVerdict::Unknown : TVerdict::Changed;
        return CURLKHMATCH_MISMATCH;
    }

    static size_t OnHeader(char* buffer, size_t size, size_t count, void* data) {
        auto* state = static_cast<TState*>(data);
        const QString line = QString::fromUtf8(buffer, qsizetype(size * count)).trimmed();
        state->Replies.append(line);
        if (state->InConnect && !state->Greeted) {
            state->Greeted = true;
            state->Status(QStringLiteral("Connected"));
        }
        return size * count;
    }

    static int OnSocket(void* data, curl_socket_t, curlsocktype purpose) {
        auto* state = static_cast<TState*>(data);
        if (state->InConnect && purpose == CURLSOCKTYPE_IPCXN && !state->Greeted)
            state->Status(QStringLiteral("Host resolved"));
        return CURL_SOCKOPT_OK;
    }

    static int OnProgress(void* data, curl_off_t downTotal, curl_off_t downNow, curl_off_t upTotal,
                          curl_off_t upNow) {
        auto* state = static_cast<TState*>(data);
        // Called while connecting and throughout every transfer, so an abort stops a file
        // half-way; the library then closes the data connection.
        if (state->AbortRequested())
            return 1;
        const curl_off_t total = state->Uploading ? upTotal : downTotal;
        const curl_off_t now = state->Uploading ? upNow : downNow;
        if ((!state->Source && !state->Target) || total <= 0 || now == state->LastReported)
            return 0;
        // A label redrawn ten times a second is enough; the last count always shows.
        if (now != total && state->LastReported >= 0 && state->ReportTimer.elapsed() < 100)
            return 0;
        state->LastReported = now;
        state->ReportTimer.restart();
        const QString counts =
            QString::number(now) + QStringLiteral(" of ") + QString::number(total);
        state->Status(state->Uploading ? counts + QStringLiteral(" bytes sent") : counts);
        return 0;
    }

    static size_t OnRead(char* buffer, size_t size, size_t count, void* data) {
        auto* state = static_cast<TState*>(data);
        if (!state->Source)
            return 0;
        const qint64 read = state->Source->read(buffer, qint64(size * count));
        return read < 0 ? CURL_READFUNC_ABORT : size_t(read);
    }

    static size_t OnWrite(char* buffer, size_t size, size_t count, void* data) {
        auto* state = static_cast<TState*>(data);
        const qint64 bytes = qint64(size * count);
        if (!state->Target)
            return size * count; // directory replies of folder commands
        return state->Target->write(buffer, bytes) == bytes ? size * count : 0;
    }

    void Open(curl_usessl tls) {
        Handle = curl_easy_init();
        const QByteArray user = Login.User.toUtf8();
        const QByteArray password = Login.Password.toUtf8();
        curl_easy_setopt(Handle, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(Handle, CURLOPT_PROTOCOLS_STR, Sftp() ? "sftp" : "ftp");
        if (Sftp()) {
            const QByteArray keyFile = Login.KeyFile.toUtf8();
            if (keyFile.isEmpty()) {
                curl_easy_setopt(Handle, CURLOPT_SSH_AUTH_TYPES,
                                 long(CURLSSH_AUTH_PASSWORD | CURLSSH_AUTH_KEYBOARD));
            } else {
                curl_easy_setopt(Handle, CURLOPT_SSH_AUTH_TYPES, long(CURLSSH_AUTH_PUBLICKEY));
                curl_easy_setopt(Handle, CURLOPT_SSH_PRIVATE_KEYFILE, keyFile.constData());
                // Empty: the public half is derived from the private key.
                curl_easy_setopt(Handle, CURLOPT_SSH_PUBLIC_KEYFILE, "");
                curl_easy_setopt(Handle, CURLOPT_KEYPASSWD, password.constData());
            }
            curl_easy_setopt(Handle, CURLOPT_SSH_HOSTKEYFUNCTION, &TState::OnHostKey);
            curl_easy_setopt(Handle, CURLOPT_SSH_HOSTKEYDATA, this);
        }
        curl_easy_setopt(Handle, CURLOPT_USERNAME, user.constData());
        curl_easy_setopt(Handle, CURLOPT_PASSWORD, password.constData());
        curl_easy_setopt(Handle, CURLOPT_CONNECTTIMEOUT_MS, long(Login.TimeoutMs));
        curl_easy_setopt(Handle, CURLOPT_ACCEPTTIMEOUT_MS, long(Login.TimeoutMs));
        curl_easy_setopt(Handle, CURLOPT_SERVER_RESPONSE_TIMEOUT, 30L);
        // A transfer that stalls for half a minute has lost its server.
        curl_easy_setopt(Handle, CURLOPT_LOW_SPEED_LIMIT, 1L);
        curl_easy_setopt(Handle, CURLOPT_LOW_SPEED_TIME, 30L);
        curl_easy_setopt(Handle, CURLOPT_TCP_KEEPALIVE, 1L);
        // Every path is absolute, so the server's current folder is never relied on.
        curl_easy_setopt(Handle, CURLOPT_FTP_FILEMETHOD, long(CURLFTPMETHOD_NOCWD));
        curl_easy_setopt(Handle, CURLOPT_FTP_CREATE_MISSING_DIRS, long(CURLFTP_CREATE_DIR_NONE));
        // Active data connections announced with PORT. TLS for the control connection only:
        // see the class comment.
        curl_easy_setopt(Handle, CURLOPT_FTPPORT, "-");
        curl_easy_setopt(Handle, CURLOPT_FTP_USE_EPRT, 0L);
        curl_easy_setopt(Handle, CURLOPT_USE_SSL, long(tls));
        curl_easy_setopt(Handle, CURLOPT_FTP_SSL_CCC, long(CURLFTPSSL_CCC_NONE));
        curl_easy_setopt(Handle, CURLOPT_SSL_VERIFYPEER, 1L);
        curl_easy_setopt(Handle, CURLOPT_SSL_CTX_DATA, this);
        // Without the OpenSSL backend the library checks on its own; nothing can be accepted.
        const bool judged =
            curl_easy_setopt(Handle, CURLOPT_SSL_CTX_FUNCTION, &TState::OnSslContext) == CURLE_OK;
        curl_easy_setopt(Handle, CURLOPT_SSL_VERIFYHOST, judged ? 0L : 2L);
        curl_easy_setopt(Handle, CURLOPT_TRANSFERTEXT, 0L);
        curl_easy_setopt(Handle, CURLOPT_ERRORBUFFER, ErrorBuffer);
        curl_easy_setopt(Handle, CURLOPT_HEADERFUNCTION, &TState::OnHeader);
        curl_easy_setopt(Handle, CURLOPT_HEADERDATA, this);
        curl_easy_setopt(Handle, CURLOPT_SOCKOPTFUNCTION, &TState::OnSocket);
        curl_easy_setopt(Handle, CURLOPT_SOCKOPTDATA, this);
        curl_easy_setopt(Handle, CURLOPT_NOPROGRESS, 0L);
        curl_easy_setopt(Handle, CURLOPT_XFERINFOFUNCTION, &TState::OnProgress);
        curl_easy_setopt(Handle, CURLOPT_XFERINFODATA, this);
        curl_easy_setopt(Handle, CURLOPT_READFUNCTION, &TState::OnRead);
        curl_easy_setopt(Handle, CURLOPT_READDATA, this);
        curl_easy_setopt(Handle, CURLOPT_WRITEFUNCTION, &TState::OnWrite);
        curl_easy_setopt(Handle, CURLOPT_WRITEDATA, this);
    }

    void Close() {
        if (Handle)
            curl_easy_cleanup(Handle); // sends QUIT on a live connection
        Handle = nullptr;
        Connected = false;
        Encrypted = false;
    }

    // One connection and login with `tls`.
    CURLcode Attempt(curl_usessl tls) {
        Close();
        PeerFingerprint.clear();
        Verdict = TVerdict::None;
        Open(tls);
        SetUrl(BaseUrl());
        curl_easy_setopt(Handle, CURLOPT_NOBODY, 1L);
        InConnect = true;
        const CURLcode result = Perform();
        InConnect = false;
        curl_easy_setopt(Handle, CURLOPT_NOBODY, 0L);
        return result;
    }
};

TFtpClient::TFtpClient() : D(std::make_unique<TState>()) {
    static std::once_flag initialised;
    std::call_once(initialised, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

TFtpClient::~TFtpClient() {
    D->Close();
}

void TFtpClient::SetListener(TListener listener) {
    D->Listener = std::move(listener);
}

bool TFtpClient::Connect(const TFtpLogin& login) {
    Disconnect();
    D->Login = login;
    D->Failure = TFtpConnectFailure::None;
    D->ErrorNumber = 0;
    D->ErrorText.clear();
    D->Passive = false;
    D->Greeted = false;
    D->Dir = QStringLiteral("/");
    // SSH is always encrypted; the TLS setting is FTP's.
    bool encrypted = login.Protocol == TFtpProtocol::Sftp || login.Tls != TFtpTls::Off;
    CURLcode result = D->Attempt(encrypted && !D->Sftp() ? CURLUSESSL_CONTROL : CURLUSESSL_NONE);
    // The server refused AUTH before anything else was sent: plain FTP when that may do.
    if (result == CURLE_USE_SSL_FAILED && login.Tls == TFtpTls::Try) {
        encrypted = false;
        result = D->Attempt(CURLUSESSL_NONE);
    }
    if (result != CURLE_OK) {
        D->Failure =
            result == CURLE_COULDNT_RESOLVE_HOST ? TFtpConnectFailure::InvalidHost
            : !D->Greeted && (result == CURLE_COULDNT_CONNECT || result == CURLE_OPERATION_TIMEDOUT)
                ? TFtpConnectFailure::ConnectionFailed
            : result == CURLE_USE_SSL_FAILED  ? TFtpConnectFailure::TlsRefused
            : D->Verdict == TVerdict::Unknown ? TFtpConnectFailure::UnknownCertificate
            : D->Verdict == TVerdict::Changed ? TFtpConnectFailure::ChangedCertificate
                                              : TFtpConnectFailure::Other;
        D->Close();
        return false;
    }
    D->Encrypted = encrypted;
    D->Passive = encrypted;
    if (D->Sftp())
        D->Status(QStringLiteral("Connected"));
    char* entry = nullptr;
    curl_easy_getinfo(D->Handle, CURLINFO_FTP_ENTRY_PATH, &entry);
    const QString entryPath = entry ? QString::fromUtf8(entry) : QString();
    D->Dir = entryPath.startsWith(u'/') ? entryPath : QStringLiteral("/");
    D->Connected = true;
    return true;
}

bool TFtpClient::IsConnected() const {
    return D->Handle && D->Connected;
}

void TFtpClient::Disconnect() {
    if (!D->Handle)
        return;
    D->Close();
    D->Status(QStringLiteral("Disconnected"));
}

TFtpConnectFailure TFtpClient::Failure() const {
    return D->Failure;
}

bool TFtpClient::Encrypted() const {
    return IsConnected() && D->Encrypted;
}

QString TFtpClient::PeerFingerprint() const {
    return D->PeerFingerprint;
}

QString TFtpClient::NormalisedFingerprint(const QString& text) {
    QString digits;
    for (const QChar c : text) {
        if (c == u':' || c.isSpace())
            continue;
        const QChar upper = c.toUpper();
        if (!((upper >= u'0' && upper <= u'9') || (upper >= u'A' && upper <= u'F')))
            return {};
        digits += upper;
    }
    if (digits.size() != 64)
        return {};
    QStringList pairs;
    for (int i = 0; i < 64; i += 2)
        pairs.append(digits.mid(i, 2));
    return pairs.join(u':');
}

int TFtpClient::ErrorNumber() const {
    return D->ErrorNumber;
}

QString TFtpClient::ErrorText() const {
    return D->ErrorText;
}

QString TFtpClient::CurrentDir() const {
    return D->Dir;
}

QString TFtpClient::Resolve(const QString& path) const {
    const QString joined = path.startsWith(u'/') ? path : D->Dir + u'/' + path;
    QStringList segments;
    for (const QString& segment : joined.split(u'/', Qt::SkipEmptyParts)) {
        if (segment == u".")
            continue;
        if (segment == u"..") {
            if (!segments.isEmpty())
                segments.removeLast();
            continue;
        }
        segments.append(segment);
    }
    return u'/' + segments.join(u'/');
}

QString TFtpClient::ReportedFolder(const QString& reply) {
    if (!reply.startsWith(QStringLiteral("257")))
        return {};
    const qsizetype open = reply.indexOf(u'"');
    if (open < 0)
        return {};
    // The name runs to the first quote that is not doubled; a doubled quote stands for one.
    QString folder;
    for (qsizetype i = open + 1; i < reply.size(); ++i) {
        if (reply[i] != u'"') {
            folder += reply[i];
            continue;
        }
        if (i + 1 < reply.size() && reply[i + 1] == u'"') {
            folder += u'"';
            ++i;
            continue;
        }
        // Only an absolute folder that later commands can carry replaces the requested one.
        return folder.startsWith(u'/') && IsSafePath(folder) ? folder : QString();
    }
    return {};
}

TFtpOutcome TFtpClient::ChangeDir(const QString& folder) {
    const QString target = Resolve(folder);
    if (!IsSafePath(target))
        return TFtpOutcome::Failure;
    // SFTP has no working folder on the server; the client's own is all there is.
    if (D->Sftp()) {
        D->Dir = target;
        return TFtpOutcome::Success;
    }
    const TFtpOutcome outcome = D->Quote({QStringLiteral("CWD ") + target, QStringLiteral("PWD")});
    if (outcome != TFtpOutcome::Success)
        return outcome;
    QString settled = target;
    for (qsizetype i = D->Replies.size() - 1; i >= 0; --i) {
        const QString& reply = D->Replies[i];
        if (!reply.startsWith(QStringLiteral("257")))
            continue;
        const QString reported = ReportedFolder(reply);
        if (!reported.isEmpty())
            settled = reported;
        break;
    }
    D->Dir = settled;
    return outcome;
}

TFtpOutcome TFtpClient::MakeDir(const QString& name) {
    const QString target = Resolve(name);
    return IsSafePath(target) ? D->FolderCommand("MKD", "mkdir", target) : TFtpOutcome::Failure;
}

bool TFtpClient::MakePath(const QString& folder) {
    const QString target = Resolve(folder);
    if (!IsSafePath(target))
        return false;
    bool made = false;
    QString path;
    // Folders that exist refuse MKD; only the ones made count.
    for (const QString& segment : target.split(u'/', Qt::SkipEmptyParts)) {
        path += u'/' + segment;
        if (MakeDir(path) == TFtpOutcome::Success) {
            made = true;
            if (D->Listener.Note)
                D->Listener.Note(QStringLiteral("created folder ") + path);
        }
    }
    return made;
}

TFtpOutcome TFtpClient::Delete(const QString& name) {
    const QString target = Resolve(name);
    return IsSafePath(target) ? D->FolderCommand("DELE", "rm", target) : TFtpOutcome::Failure;
}

TFtpOutcome TFtpClient::RemoveDir(const QString& name) {
    const QString target = Resolve(name);
    return IsSafePath(target) ? D->FolderCommand("RMD", "rmdir", target) : TFtpOutcome::Failure;
}

TFtpOutcome TFtpClient::Upload(const QString& localFile, const QString& remote) {
    if (!D->Handle)
        return TFtpOutcome::Failure;
    QFile source(localFile);
    if (!source.open(QIODevice::ReadOnly)) {
        D->ErrorText = source.errorString();
        return TFtpOutcome::Failure;
    }
    D->Status(QStringLiteral("Beginning Data Transfer"));
    D->Source = &source;
    D->Uploading = true;
    D->SetUrl(D->Url(Resolve(remote)));
    curl_easy_setopt(D->Handle, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(D->Handle, CURLOPT_INFILESIZE_LARGE, curl_off_t(source.size()));
    const CURLcode result = D->Transfer([&source] { source.seek(0); });
    curl_easy_setopt(D->Handle, CURLOPT_UPLOAD, 0L);
    curl_easy_setopt(D->Handle, CURLOPT_INFILESIZE_LARGE, curl_off_t(-1));
    D->Source = nullptr;
    D->Uploading = false;
    if (result == CURLE_OK)
        D->Status(QStringLiteral("Data Transfer Complete"));
    return D->Outcome(result);
}

TFtpOutcome TFtpClient::Download(const QString& remote, const QString& localFile) {
    if (!D->Handle)
        return TFtpOutcome::Failure;
    QSaveFile target(localFile);
    if (!target.open(QIODevice::WriteOnly)) {
        D->ErrorText = target.errorString();
        return TFtpOutcome::Failure;
    }
    D->Status(QStringLiteral("Beginning Data Transfer"));
    D->Target = &target;
    D->SetUrl(D->Url(Resolve(remote)));
    const CURLcode result = D->Transfer([&target] {
        target.resize(0);
        target.seek(0);
    });
    D->Target = nullptr;
    if (result != CURLE_OK) {
        target.cancelWriting();
        return D->Outcome(result);
    }
    if (!target.commit()) {
        D->ErrorText = target.errorString();
        return TFtpOutcome::Failure;
    }
    D->Status(QStringLiteral("Data Transfer Complete"));
    return TFtpOutcome::Success;
}

} // namespace Lumerix
