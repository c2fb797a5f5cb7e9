#include "gallery/TFtpClient.h"
#include "gallery/TFtpUpload.h"
#include "shell/TProgress.h"
#include "support/QtPrinters.h"
#include "support/TTestKit.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QThread>

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <pwd.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace Lumerix;

namespace {

// A free port on 127.0.0.1, or 0; `connect` instead only tells whether something listens.
int LocalPort(int connect = 0) {
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(quint16(connect));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    auto* raw = reinterpret_cast<sockaddr*>(&address);
    socklen_t length = sizeof address;
    int port = 0;
    if (connect)
        port = ::connect(s, raw, length) == 0 ? connect : 0;
    else if (::bind(s, raw, length) == 0 && ::getsockname(s, raw, &length) == 0)
        port = ntohs(address.sin_port);
    ::close(s);
    return port;
}

// Debian's OpenSSH server on a free port of 127.0.0.1 with its own host key and
// configuration, letting the user running the tests in with a key made for the test. Its
// folder has no capital letters: the upload writes remote folders in lower case.
class TSshServer {
public:
    TSshServer() {
        Folder = QDir::tempPath() + "/lumerix-sftp-" +
                 QString::number(QRandomGenerator::global()->generate64(), 16) + '/';
        QDir().mkpath(Folder);
        if (!QFileInfo(Sshd).isExecutable()) {
            Why = "no /usr/sbin/sshd (openssh-server)";
            return;
        }
        for (const char* key : {"host", "client"}) {
            if (QProcess::execute("ssh-keygen",
                                  {"-q", "-t", "ed25519", "-N", "", "-f", Folder + key}) != 0) {
                Why = "ssh-keygen failed";
                return;
            }
        }
        QFile::copy(Folder + "client.pub", Folder + "authorized");
        // As root the server wants its privilege separation folder.
        if (::geteuid() == 0)
            QDir().mkpath("/run/sshd");
        Port = LocalPort();
        TTestKit::WriteFile(Folder + "config", QString("Port %1\nListenAddress 127.0.0.1\n"
                                                       "HostKey %2host\nAuthorizedKeysFile "
                                                       "%2authorized\nPasswordAuthentication no\n"
                                                       "KbdInteractiveAuthentication no\n"
                                                       "PermitRootLogin prohibit-password\n"
                                                       "StrictModes no\nUsePAM no\nPidFile none\n"
                                                       "Subsystem sftp internal-sftp\n")
                                                   .arg(Port)
                                                   .arg(Folder)
                                                   .toUtf8());
        Process.setStandardErrorFile(Folder + "server.log");
        Process.start(Sshd, {"-D", "-e", "-f", Folder + "config"});
        for (int i = 0; i < 100 && Process.state() != QProcess::NotRunning; ++i) {
            if (LocalPort(Port) == Port)
                return;
            QThread::msleep(50);
        }
        Why = "sshd did not start: " + QString::fromUtf8(TTestKit::ReadFile(Folder + "server.log"));
        Port = 0;
    }
    ~TSshServer() {
        if (Process.state() != QProcess::NotRunning) {
            Process.kill();
            Process.waitForFinished(5000);
        }
        QDir(Folder).removeRecursively();
    }

    // The host key's SHA-256 fingerprint, from its public file.
    QString Fingerprint() const {
        const QByteArray blob =
            QByteArray::fromBase64(TTestKit::ReadFile(Folder + "host.pub").split(' ').value(1));
        return QString::fromLatin1(
            QCryptographicHash::hash(blob, QCryptographicHash::Sha256).toHex(':').toUpper());
    }

    const QString Sshd = "/usr/sbin/sshd";
    QString Folder;
    QString Why; ///< empty once the server listens
    int Port = 0;
    QProcess Process;
};

TEST(SftpUpload, HostKeyIsShownPinnedAndTheGalleryGoesUpChangedOnly) {
    TSshServer server;
    if (!server.Why.isEmpty())
        GTEST_SKIP() << server.Why.toStdString();
    const QString local = server.Folder + "gallery/";
    TTestKit::WriteFile(local + "gallery.html", "<!DOCTYPE html>\n");
    TTestKit::WriteFile(local + "a-240.jpg", QByteArray(30'000, 'a'));
    TTestKit::WriteFile(local + "b-240.jpg", QByteArray(20'000, 'b'));

    TFtpClient client;
    TSilentProgress quiet;
    QStringList log, messages, asked;
    bool trust = false;
    TFtpUpload upload(client, quiet,
                      {[&](const QString& line) { log.append(line); },
                       [&](const TFtpUpload::TMessage& m) { messages.append(m.Text); },
                       [&](const QString& host, const QString& fingerprint) {
                           asked.append(host + ' ' + fingerprint);
                           return trust;
                       }});
    TFtpLogin login{"127.0.0.1",
                    server.Port,
                    QString::fromLocal8Bit(getpwuid(geteuid())->pw_name),
                    "",
                    10000,
                    TFtpTls::Off,
                    {},
                    TFtpProtocol::Sftp,
                    server.Folder + "client"};

    // First contact: the key is shown and, refused, nothing is sent.
    EXPECT_FALSE(upload.Connect(login, "no"));
    EXPECT_EQ(asked, QStringList{"127.0.0.1 " + server.Fingerprint()});
    EXPECT_EQ(client.Failure(), TFtpConnectFailure::UnknownCertificate);

    trust = true;
    ASSERT_TRUE(upload.Connect(login, "no")) << messages.join('\n').toStdString();
    EXPECT_EQ(upload.AcceptedCertificate(), server.Fingerprint());
    const QString target = server.Folder + "www/fotos";
    EXPECT_EQ(upload.Sync(local, login, target, false).Failed, 0);
    EXPECT_TRUE(log.contains("copy file://" + local + "a-240.jpg " + target +
                             "/a-240.jpg created folder " + server.Folder + "www"));
    EXPECT_EQ(log.last(), "3 sent, 0 kept, 0 removed");
    EXPECT_EQ(TTestKit::ReadFile(target + "/a-240.jpg"), QByteArray(30'000, 'a'));

    // Pinned: the next run changes one file and drops one.
    login.TrustedCertificate = upload.AcceptedCertificate();
    TTestKit::WriteFile(local + "gallery.html", "<!DOCTYPE html>\n<title>neu</title>\n");
    QFile::remove(local + "b-240.jpg");
    log.clear();
    ASSERT_TRUE(upload.Connect(login, "no"));
    EXPECT_EQ(upload.Sync(local, login, target, false).Failed, 0);
    EXPECT_EQ(log.last(), "1 sent, 1 kept, 1 removed");
    EXPECT_FALSE(QFileInfo::exists(target + "/b-240.jpg"));
    EXPECT_EQ(TTestKit::ReadFile(target + "/gallery.html"),
              TTestKit::ReadFile(local + "gallery.html"));
    upload.Disconnect();

    // Another key than the pinned one is refused without asking.
    asked.clear();
    login.TrustedCertificate = QString("AB:").repeated(31) + "AB";
    EXPECT_FALSE(upload.Connect(login, "no"));
    EXPECT_EQ(client.Failure(), TFtpConnectFailure::ChangedCertificate);
    EXPECT_TRUE(asked.isEmpty());
}

} // namespace
