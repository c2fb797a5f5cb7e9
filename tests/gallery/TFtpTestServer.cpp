#include "TFtpTestServer.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QThread>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace Lumerix {

namespace {

constexpr const char* Python = "/usr/bin/python3";

constexpr const char* Script = R"(
import os, sys
from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import DTPHandler, FTPHandler, ThrottledDTPHandler
from pyftpdlib.servers import FTPServer

port_file, root, mode, certificate = sys.argv[1], sys.argv[2], sys.argv[3], sys.argv[4]
authorizer = DummyAuthorizer()
authorizer.add_user('anna', 'secret', root, perm='elradfmwMT')

if certificate:
    from pyftpdlib.handlers import TLS_FTPHandler
    class Handler(TLS_FTPHandler):
        pass
    Handler.certfile = certificate
else:
    class Handler(FTPHandler):
        pass

Handler.authorizer = authorizer
Handler.banner = 'test server ready'
Handler.auth_failed_timeout = 0.05
if mode == 'refuseport':
    def refuse(self, line):
        self.respond('500 Active data connections are not allowed here.')
    Handler.ftp_PORT = refuse
    Handler.ftp_EPRT = refuse
elif mode == 'neverconnects':
    def accept(self, line):
        self.never = True
        self.respond('200 Active data connection established.')
    Handler.ftp_PORT = accept
    Handler.ftp_EPRT = accept
    store = Handler.ftp_STOR
    def stor(self, file, mode='w'):
        if getattr(self, 'never', False):
            self.never = False
            self.respond('150 File status okay. About to open data connection.')
            return
        return store(self, file, mode)
    Handler.ftp_STOR = stor
elif mode == 'droplarge':
    class Drop(DTPHandler):
        def handle_read(self):
            DTPHandler.handle_read(self)
            if self.tot_bytes_received > 200000:
                self.cmd_channel.close()
        handle_read_event = handle_read
    Handler.dtp_handler = Drop
elif mode == 'slow':
    class Slow(ThrottledDTPHandler):
        read_limit = 256 * 1024
    Handler.dtp_handler = Slow

server = FTPServer(('127.0.0.1', 0), Handler)
with open(port_file + '.part', 'w') as f:
    f.write(str(server.address[1]))
os.rename(port_file + '.part', port_file)
server.serve_forever()
)";

// True when something accepts TCP connections on 127.0.0.1:`port`.
bool Accepts(int port) {
    const int socket = ::socket(AF_INET, SOCK_STREAM, 0);
    if (socket < 0)
        return false;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(quint16(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool connected =
        ::connect(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    ::close(socket);
    return connected;
}

} // namespace

bool TFtpTestServer::Available() {
    QProcess probe;
    probe.start(QString::fromLatin1(Python), {"-c", "import pyftpdlib"});
    return probe.waitForFinished(10000) && probe.exitStatus() == QProcess::NormalExit &&
           probe.exitCode() == 0;
}

QString TFtpTestServer::PrepareTls(const QString& folder, QString* fingerprint) {
    if (!Available())
        return QStringLiteral("/usr/bin/python3 has no pyftpdlib");
    if (!MakeCertificates(folder, fingerprint))
        return QStringLiteral("/usr/bin/python3 has no cryptography module");
    return {};
}

bool TFtpTestServer::MakeCertificates(const QString& folder, QString* fingerprint) {
    // A certificate authority and a server certificate for 127.0.0.1 that it signs; the
    // server's file holds its key too. Prints the server certificate's SHA-256 fingerprint.
    static const char* script = R"(
import datetime, sys
from cryptography import x509
from cryptography.hazmat.primitives import hashes, serialization
from cryptography.hazmat.primitives.asymmetric import ec
from cryptography.x509.oid import NameOID
import ipaddress
folder = sys.argv[1]
now = datetime.datetime.utcnow()
def name(text):
    return x509.Name([x509.NameAttribute(NameOID.COMMON_NAME, text)])
def make(subject, key, issuer, issuer_key, ca):
    builder = (x509.CertificateBuilder().subject_name(name(subject)).issuer_name(name(issuer))
               .public_key(key.public_key()).serial_number(x509.random_serial_number())
               .not_valid_before(now - datetime.timedelta(days=1))
               .not_valid_after(now + datetime.timedelta(days=30))
               .add_extension(x509.BasicConstraints(ca=ca, path_length=None), critical=True))
    if not ca:
        builder = builder.add_extension(x509.SubjectAlternativeName(
            [x509.IPAddress(ipaddress.ip_address('127.0.0.1'))]), critical=False)
    return builder.sign(issuer_key, hashes.SHA256())
ca_key = ec.generate_private_key(ec.SECP256R1())
ca = make('Test CA', ca_key, 'Test CA', ca_key, True)
key = ec.generate_private_key(ec.SECP256R1())
server = make('127.0.0.1', key, 'Test CA', ca_key, False)
open(folder + '/ca.pem', 'wb').write(ca.public_bytes(serialization.Encoding.PEM))
open(folder + '/server.pem', 'wb').write(
    server.public_bytes(serialization.Encoding.PEM) +
    key.private_bytes(serialization.Encoding.PEM, serialization.PrivateFormat.PKCS8,
                      serialization.NoEncryption()))
print(server.fingerprint(hashes.SHA256()).hex(':').upper())
)";
    QProcess process;
    process.start(QString::fromLatin1(Python), {"-c", QString::fromLatin1(script), folder});
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return false;
    if (fingerprint)
        *fingerprint = QString::fromLatin1(process.readAllStandardOutput().trimmed());
    return true;
}

QString TFtpTestServer::Log() const {
    QFile file(Folder.path() + QStringLiteral("/server.log"));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

TFtpTestServer::TFtpTestServer(TMode mode, const QString& certificate) {
    RootPath = Folder.path() + QStringLiteral("/root/");
    QDir().mkpath(RootPath);
    const QString script = Folder.path() + QStringLiteral("/server.py");
    const QString portFile = Folder.path() + QStringLiteral("/port");
    QFile file(script);
    if (!file.open(QIODevice::WriteOnly))
        return;
    file.write(Script);
    file.close();
    const char* modeName = mode == TMode::RefusePort      ? "refuseport"
                           : mode == TMode::NeverConnects ? "neverconnects"
                           : mode == TMode::DropLarge     ? "droplarge"
                           : mode == TMode::Slow          ? "slow"
                                                          : "normal";
    // The server's log stays beside its folder; the test output shows only the tests.
    Process.setStandardOutputFile(QProcess::nullDevice());
    Process.setStandardErrorFile(Folder.path() + QStringLiteral("/server.log"));
    Process.start(QString::fromLatin1(Python),
                  {script, portFile, RootPath, QString::fromLatin1(modeName), certificate});
    if (!Process.waitForStarted(5000))
        return;
    // The server names its port once it listens; then a connection proves it accepts.
    const QDeadlineTimer deadline(10000);
    while (!deadline.hasExpired() && Process.state() == QProcess::Running) {
        QFile port(portFile);
        if (port.open(QIODevice::ReadOnly)) {
            const int number = port.readAll().trimmed().toInt();
            if (number > 0 && Accepts(number)) {
                Port_ = number;
                return;
            }
        }
        QThread::msleep(20);
    }
}

TFtpTestServer::~TFtpTestServer() {
    Kill();
}

void TFtpTestServer::Kill() {
    if (Process.state() != QProcess::NotRunning) {
        Process.kill();
        Process.waitForFinished(5000);
    }
}

} // namespace Lumerix
