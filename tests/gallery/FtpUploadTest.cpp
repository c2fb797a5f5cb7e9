#include "TFtpTestServer.h"
#include "gallery/TFtpClient.h"
#include "gallery/TFtpUpload.h"
#include "shell/TProgress.h"
#include "support/QtPrinters.h"
#include "support/TTestKit.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

#include <functional>

using namespace Lumerix;

namespace {

const QString FailureText = QStringLiteral("could not connect");

// Records what the upload shows; `OnStatus` may cancel or kill from inside a transfer.
class TRecorder final : public TProgress {
public:
    void SetStatus(const QString& text) override {
        Statuses.append(text);
        if (OnStatus)
            OnStatus(text);
    }
    void SetPercent(int percent) override { Percents.append(percent); }
    bool Cancelled() const override { return CancelFlag; }

    QStringList Statuses;
    QList<int> Percents;
    bool CancelFlag = false;
    std::function<void(const QString&)> OnStatus;
};

class FtpUpload : public testing::Test {
protected:
    void SetUp() override {
        if (!TFtpTestServer::Available())
            GTEST_SKIP() << "/usr/bin/python3 has no pyftpdlib";
        Local = Temporary.path() + "/gallery/";
        QDir().mkpath(Local);
    }

    void Start(TFtpTestServer::TMode mode = TFtpTestServer::TMode::Normal,
               const QString& certificate = {}) {
        Upload.reset(); // it hands the client's listener back on the way out
        Server = std::make_unique<TFtpTestServer>(mode, certificate);
        ASSERT_TRUE(Server->Started());
        Upload = std::make_unique<TFtpUpload>(
            Client, Progress,
            TFtpUpload::TListener{
                [this](const QString& line) { Log.append(line); },
                [this](const TFtpUpload::TMessage& message) { Messages.append(message.Text); },
                [this](const QString& host, const QString& fingerprint) {
                    Questions.append(host + ' ' + fingerprint);
                    return TrustAnswer;
                }});
    }

    TFtpLogin Login(const QString& password = "secret") const {
        return {"127.0.0.1", Server->Port(),    "anna", password, 10000, TFtpTls::Try,
                {},          TFtpProtocol::Ftp, {}};
    }

    QByteArray LocalFile(const QString& name, qsizetype size) {
        QByteArray bytes(size, Qt::Uninitialized);
        for (char& c : bytes)
            c = char(QRandomGenerator::global()->generate());
        TTestKit::WriteFile(Local + name, bytes);
        return bytes;
    }

    QString Copy(const QString& name, const QString& remote) const {
        return "copy |" + TFtpUpload::LocalPath(Local + name) + " | " + remote;
    }
    QString CopyText(const QString& name, const QString& remote) const {
        return "copy " + TFtpUpload::LocalPath(Local + name) + " " + remote;
    }

    QTemporaryDir Temporary;
    QString Local;
    std::unique_ptr<TFtpTestServer> Server;
    TFtpClient Client;
    TRecorder Progress;
    std::unique_ptr<TFtpUpload> Upload;
    QStringList Log;
    QStringList Messages;
    QStringList Questions;
    bool TrustAnswer = false;
};

TEST_F(FtpUpload, EveryFileArrivesByteForByteInTheTargetFolderInLowerCase) {
    Start();
    QDir().mkpath(Server->Root() + "daten/galerie");
    const QByteArray page = LocalFile("gallery.html", 1200);
    const QByteArray picture = LocalFile("strand.jpg", 700'000);
    const QByteArray empty = LocalFile("leer.css", 0);
    LocalFile(".hidden", 10);

    const QStringList lines = TFtpUpload::CommandList(Local, " Daten/Galerie ");
    ASSERT_EQ(lines, (QStringList{Copy("gallery.html", "Daten/Galerie/gallery.html"),
                                  Copy("leer.css", "Daten/Galerie/leer.css"),
                                  Copy("strand.jpg", "Daten/Galerie/strand.jpg")}));
    ASSERT_TRUE(Upload->Connect(Login(), FailureText));
    const TFtpUpload::TResult result = Upload->Run(lines);
    EXPECT_EQ(result.Failed, 0);
    EXPECT_EQ(Log, (QStringList{
                       CopyText("gallery.html", "daten/galerie/gallery.html") + " Upload success",
                       CopyText("leer.css", "daten/galerie/leer.css") + " Upload success",
                       CopyText("strand.jpg", "daten/galerie/strand.jpg") + " Upload success"}));
    const QString target = Server->Root() + "daten/galerie/";
    EXPECT_EQ(TTestKit::ReadFile(target + "gallery.html"), page);
    EXPECT_EQ(TTestKit::ReadFile(target + "strand.jpg"), picture);
    EXPECT_TRUE(QFileInfo(target + "leer.css").isFile());
    EXPECT_EQ(TTestKit::ReadFile(target + "leer.css"), empty);
    EXPECT_FALSE(QFileInfo::exists(target + ".hidden"));
    EXPECT_EQ(Progress.Percents, (QList<int>{33, 67, 100}));
    for (const char* label :
         {"Host resolved", "Connected", "Beginning Data Transfer", "700000 of 700000 bytes sent",
          "Data Transfer Complete", "Upload success"})
        EXPECT_TRUE(Progress.Statuses.contains(label)) << label;
    EXPECT_TRUE(Upload->Connected()); // kept for the next press
}

TEST_F(FtpUpload, EmptyTargetFolderLandsInTheLoginFolder) {
    Start();
    const QByteArray page = LocalFile("gallery.html", 500);
    const QStringList lines = TFtpUpload::CommandList(Local, "   ");
    ASSERT_EQ(lines, QStringList{Copy("gallery.html", "gallery.html")});
    ASSERT_TRUE(Upload->Connect(Login(), FailureText));
    EXPECT_EQ(Upload->Run(lines).Failed, 0);
    EXPECT_EQ(TTestKit::ReadFile(Server->Root() + "gallery.html"), page);
}

TEST_F(FtpUpload, WrongPasswordGivesMessagesAndALogFreePass) {
    Start();
    LocalFile("gallery.html", 10);
    EXPECT_FALSE(Upload->Connect(Login("wrong"), FailureText));
    ASSERT_EQ(Messages.size(), 2);
    EXPECT_TRUE(Messages[0].startsWith("Error 530: ")) << Messages[0].toStdString();
    EXPECT_EQ(Messages[1], FailureText);
    const TFtpUpload::TResult result = Upload->Run(TFtpUpload::CommandList(Local, ""));
    EXPECT_TRUE(Log.isEmpty());
    EXPECT_EQ(result.Failed, 0);
    EXPECT_EQ(Progress.Percents, QList<int>{100});
    EXPECT_FALSE(QFileInfo::exists(Server->Root() + "gallery.html"));
}

TEST_F(FtpUpload, NoServerGivesConnectionFailed) {
    Start();
    const int port = Server->Port();
    Server->Kill();
    EXPECT_FALSE(Upload->Connect(
        {"127.0.0.1", port, "anna", "secret", 2000, TFtpTls::Try, {}, TFtpProtocol::Ftp, {}},
        FailureText));
    EXPECT_EQ(Messages, (QStringList{"Connection Failed", FailureText}));
}

TEST_F(FtpUpload, MissingTargetFolderIsMadeOnce) {
    Start();
    const QByteArray a = LocalFile("a.jpg", 100);
    LocalFile("b.jpg", 100);
    ASSERT_TRUE(Upload->Connect(Login(), FailureText));
    const TFtpUpload::TResult result = Upload->Run(TFtpUpload::CommandList(Local, "fehlt/tief"));
    EXPECT_EQ(result.Failed, 0);
    EXPECT_EQ(Log,
              (QStringList{CopyText("a.jpg", "fehlt/tief/a.jpg") + " created folder /fehlt",
                           CopyText("a.jpg", "fehlt/tief/a.jpg") + " created folder /fehlt/tief",
                           CopyText("a.jpg", "fehlt/tief/a.jpg") + " Upload success",
                           CopyText("b.jpg", "fehlt/tief/b.jpg") + " Upload success"}));
    EXPECT_EQ(TTestKit::ReadFile(Server->Root() + "fehlt/tief/a.jpg"), a);
}

TEST_F(FtpUpload, ServerClosingMidTransferFailsThatFileOnly) {
    Start(TFtpTestServer::TMode::DropLarge);
    const QByteArray small = LocalFile("a.html", 1000);
    LocalFile("b.jpg", 2'000'000);
    const QByteArray after = LocalFile("c.css", 1000);
    ASSERT_TRUE(Upload->Connect(Login(), FailureText));
    const TFtpUpload::TResult result = Upload->Run(TFtpUpload::CommandList(Local, ""));
    EXPECT_EQ(result.Failed, 1);
    ASSERT_EQ(Log.size(), 3);
    EXPECT_EQ(Log[1], CopyText("b.jpg", "b.jpg") + " ERROR: Upload failure");
    // The next transfer logs in again.
    EXPECT_EQ(Log[2], CopyText("c.css", "c.css") + " Upload success");
    EXPECT_EQ(TTestKit::ReadFile(Server->Root() + "a.html"), small);
    EXPECT_EQ(TTestKit::ReadFile(Server->Root() + "c.css"), after);
}

TEST_F(FtpUpload, ServerKilledDuringALargeFile) {
    Start(TFtpTestServer::TMode::Slow);
    LocalFile("a.jpg", 3'000'000);
    LocalFile("b.jpg", 1000);
    Progress.OnStatus = [this](const QString& text) {
        if (text.endsWith("bytes sent"))
            Server->Kill();
    };
    ASSERT_TRUE(Upload->Connect(Login(), FailureText));
    const TFtpUpload::TResult result = Upload->Run(TFtpUpload::CommandList(Local, ""));
    EXPECT_EQ(result.Failed, 2);
    EXPECT_EQ(Log, (QStringList{CopyText("a.jpg", "a.jpg") + " ERROR: Upload failure",
                                CopyText("b.jpg", "b.jpg") + " ERROR: Upload failure"}));
    EXPECT_EQ(Progress.Percents.last(), 100);
}

TEST_F(FtpUpload, AbortStopsTheFileBeingSentAndSendsNothingMore) {
    Start(TFtpTestServer::TMode::Slow);
    LocalFile("a.jpg", 3'000'000);
    LocalFile("b.jpg", 1000);
    Progress.OnStatus = [this](const QString& text) {
        if (text.endsWith("bytes sent"))
            Progress.CancelFlag = true;
    };
    ASSERT_TRUE(Upload->Connect(Login(), FailureText));
    const TFtpUpload::TResult result = Upload->Run(TFtpUpload::CommandList(Local, ""));
    EXPECT_TRUE(result.Aborted);
    EXPECT_FALSE(Upload->Connected());
    EXPECT_EQ(Log, QStringList{CopyText("a.jpg", "a.jpg") + " ERROR: Upload failure"});
    EXPECT_FALSE(QFileInfo::exists(Server->Root() + "b.jpg"));
    EXPECT_EQ(Progress.Percents, (QList<int>{50, 100}));
}

TEST_F(FtpUpload, BlankLineIsSkippedButAdvancesTheProgress) {
    Start();
    LocalFile("a.jpg", 100);
    ASSERT_TRUE(Upload->Connect(Login(), FailureText));
    const TFtpUpload::TResult result = Upload->Run({"   ", Copy("a.jpg", "a.jpg"), "", "\t"});
    EXPECT_EQ(result.Failed, 0);
    EXPECT_EQ(Log.size(), 1);
    EXPECT_EQ(Progress.Percents, (QList<int>{25, 50, 75, 100}));
}

TEST_F(FtpUpload, RefusedActiveModeFallsBackToPassive) {
    Start(TFtpTestServer::TMode::RefusePort);
    const QByteArray first = LocalFile("a.jpg", 50'000);
    const QByteArray second = LocalFile("b.jpg", 50'000);
    ASSERT_TRUE(Upload->Connect(Login(), FailureText));
    EXPECT_EQ(Upload->Run(TFtpUpload::CommandList(Local, "")).Failed, 0);
    ASSERT_EQ(Log.size(), 3);
    EXPECT_TRUE(Log[0].startsWith(CopyText("a.jpg", "a.jpg") + " active data connection failed"))
        << Log[0].toStdString();
    EXPECT_TRUE(Log[0].endsWith("retrying in passive mode"));
    EXPECT_EQ(Log[1], CopyText("a.jpg", "a.jpg") + " Upload success");
    // The session stays passive: no second retry.
    EXPECT_EQ(Log[2], CopyText("b.jpg", "b.jpg") + " Upload success");
    EXPECT_EQ(TTestKit::ReadFile(Server->Root() + "a.jpg"), first);
    EXPECT_EQ(TTestKit::ReadFile(Server->Root() + "b.jpg"), second);
}

TEST_F(FtpUpload, FolderCommandsAndDownloadKeepTheirOwnWorkingFolder) {
    Start();
    const QByteArray bytes = LocalFile("bild.jpg", 30'000);
    const QString back = Temporary.path() + "/Zurueck.jpg";
    ASSERT_TRUE(Upload->Connect(Login(), FailureText));
    EXPECT_EQ(Client.CurrentDir(), "/");
    struct TStep {
        QString Line;
        QString LogLine; // empty: no log line expected
        QString FolderAfter;
    };
    const TStep steps[] = {
        {"md |Web", "md web  MakeDir success", "/"},
        {"cd |web", "cd web  ChangeDir success", "/web"},
        {"md |Alben\\Sommer", "md alben/sommer  ERROR: MakeDir failure", "/web"},
        {"md |alben", "md alben  MakeDir success", "/web"},
        {"cd |alben", "cd alben  ChangeDir success", "/web/alben"},
        {Copy("bild.jpg", "Bild.jpg"), CopyText("bild.jpg", "Bild.jpg") + " Upload success",
         "/web/alben"},
        {"cd..", "cd..   ChangeDir success", "/web"},
        {"copy |Alben\\Bild.jpg | " + TFtpUpload::LocalPath(back),
         "copy alben/Bild.jpg " + TFtpUpload::LocalPath(back) + " Download success", "/web"},
        {"cd |alben", "cd alben  ChangeDir success", "/web/alben"},
        {"cd..", "cd..   ChangeDir success", "/web"},
        {"cd\\", "cd\\   ChangeDir success", "/"},
        {"cd |gibtsnicht", "cd gibtsnicht  ERROR: ChangeDir failure", "/"},
        {"del |Web/alben/Bild.jpg", "del web/alben/Bild.jpg  Delete success", "/"},
        {"del |web/alben/Bild.jpg", "del web/alben/Bild.jpg  ERROR: Delete failure", "/"},
        {"rmdir |web\\alben", "rmdir web/alben  RemoveDir success", "/"},
    };
    for (const TStep& step : steps) {
        Log.clear();
        Upload->RunLine(step.Line);
        EXPECT_EQ(Log, step.LogLine.isEmpty() ? QStringList() : QStringList{step.LogLine})
            << step.Line.toStdString();
        EXPECT_EQ(Client.CurrentDir(), step.FolderAfter) << step.Line.toStdString();
    }
    EXPECT_EQ(TTestKit::ReadFile(back), bytes);
    EXPECT_TRUE(QFileInfo(Server->Root() + "web").isDir());
    EXPECT_FALSE(QFileInfo::exists(Server->Root() + "web/alben"));

    // Two levels up in two steps.
    Upload->RunLine("cd |web");
    Upload->RunLine("md |a");
    Upload->RunLine("cd |a");
    Log.clear();
    Upload->RunLine("cd\\");
    EXPECT_EQ(Log, (QStringList{"cd\\   ChangeDir success", "cd\\   ChangeDir success"}));
    EXPECT_EQ(Client.CurrentDir(), "/");

    Log.clear();
    EXPECT_FALSE(Upload->RunLine("list |x"));
    EXPECT_EQ(Messages, QStringList{"Command unknown!"});
    EXPECT_TRUE(Log.isEmpty());
}

TEST_F(FtpUpload, AServerThatNeverConnectsBackFallsBackToPassive) {
    Start(TFtpTestServer::TMode::NeverConnects);
    const QByteArray bytes = LocalFile("a.jpg", 20'000);
    TFtpLogin login = Login();
    login.TimeoutMs = 1500;
    ASSERT_TRUE(Upload->Connect(login, FailureText));
    EXPECT_EQ(Upload->Run(TFtpUpload::CommandList(Local, "")).Failed, 0);
    ASSERT_EQ(Log.size(), 2);
    EXPECT_TRUE(Log[0].endsWith("retrying in passive mode")) << Log[0].toStdString();
    EXPECT_EQ(TTestKit::ReadFile(Server->Root() + "a.jpg"), bytes);
}

// Names keep their case (only the folder typed for the server is taken in lower case), so
// every link of the uploaded overview page finds its file on the server.
TEST_F(FtpUpload, LinksOfTheUploadedPagesResolveOnTheServer) {
    Start();
    QDir().mkpath(Server->Root() + "daten/galerie");
    LocalFile("\u00c5re.html", 100);
    LocalFile("\u00c5re.jpg", 100);
    LocalFile("Strand_Gro\u00df.JPG", 100);
    TTestKit::WriteFile(Local + "gallery.html",
                        "<a href=\"%C3%85re.html\"><img src=\"%C3%85re.jpg\"></a>"
                        "<img src=\"Strand_Gro%C3%9F.JPG\">");
    ASSERT_TRUE(Upload->Connect(Login(), FailureText));
    ASSERT_EQ(Upload->Run(TFtpUpload::CommandList(Local, "Daten/Galerie")).Failed, 0);
    const QString folder = Server->Root() + "daten/galerie/";
    const QString page = QString::fromUtf8(TTestKit::ReadFile(folder + "gallery.html"));
    static const QRegularExpression link(QStringLiteral("(?:href|src)=\"([^\"]+)\""));
    int links = 0;
    for (auto match = link.globalMatch(page); match.hasNext(); ++links) {
        const QString target = QUrl::fromPercentEncoding(match.next().captured(1).toUtf8());
        EXPECT_TRUE(QFileInfo::exists(folder + target)) << target.toStdString();
    }
    EXPECT_EQ(links, 3);
}

// The encrypted sessions against a real TLS server: the certificate judged before the login
// is sent, the files arriving whole.
class FtpTls : public FtpUpload {
protected:
    void SetUp() override {
        FtpUpload::SetUp();
        if (IsSkipped())
            return;
        if (!TFtpTestServer::MakeCertificates(Temporary.path(), &Fingerprint))
            GTEST_SKIP() << "/usr/bin/python3 has no cryptography module";
    }
    void TearDown() override { qunsetenv("SSL_CERT_FILE"); }

    QString Fingerprint;
};

TEST_F(FtpTls, CertificatesAreJudgedBeforeTheLogin) {
    const QString other = QStringLiteral("AB:").repeated(31) + "AB";
    struct TCase {
        const char* Trap;
        bool SystemTrusts; // the test authority in the trusted file
        QString Accepted;  // fingerprint accepted earlier
        bool Answer;       // to the question about an unknown certificate
        bool Connects;
        int Questions;
        const char* Message; // part of the message when refused
    };
    const TCase cases[] = {
        {"TrustedBySystem", true, "", false, true, 0, ""},
        {"UnknownDeclined", false, "", false, false, 1, "not one this system trusts"},
        {"UnknownAccepted", false, "", true, true, 1, ""},
        {"AcceptedEarlier", false, "*", false, true, 0, ""},
        {"ChangedSinceAccepted", false, other, true, false, 0, "has changed"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Trap);
        if (c.SystemTrusts)
            qputenv("SSL_CERT_FILE", (Temporary.path() + "/ca.pem").toUtf8());
        else
            qunsetenv("SSL_CERT_FILE");
        Start(TFtpTestServer::TMode::Normal, Temporary.path() + "/server.pem");
        Messages.clear();
        Questions.clear();
        Log.clear();
        TrustAnswer = c.Answer;
        TFtpLogin login = Login();
        login.TrustedCertificate = c.Accepted == u"*" ? Fingerprint : c.Accepted;
        const QByteArray bytes = LocalFile("a.jpg", 100'000);
        EXPECT_EQ(Upload->Connect(login, FailureText), c.Connects);
        EXPECT_EQ(Questions.size(), c.Questions);
        if (c.Questions > 0) {
            EXPECT_TRUE(Questions[0].contains(Fingerprint)) << Questions[0].toStdString();
        }
        EXPECT_EQ(Upload->AcceptedCertificate(), c.Questions > 0 && c.Answer ? Fingerprint : "");
        if (c.Connects) {
            EXPECT_TRUE(Client.Encrypted());
            EXPECT_EQ(Upload->Run(TFtpUpload::CommandList(Local, "")).Failed, 0);
            EXPECT_EQ(TTestKit::ReadFile(Server->Root() + "a.jpg"), bytes);
            Upload->Disconnect();
        } else {
            ASSERT_EQ(Messages.size(), 2);
            EXPECT_TRUE(Messages[0].contains(c.Message)) << Messages[0].toStdString();
            EXPECT_TRUE(Messages[0].contains(Fingerprint)) << Messages[0].toStdString();
            EXPECT_FALSE(Server->Log().contains("logged in")) << "the password was sent";
        }
    }
}

TEST_F(FtpTls, TheEncryptionSetting) {
    struct TCase {
        const char* Trap;
        bool ServerOffers;
        TFtpTls Setting;
        bool Connects;
        bool Encrypted;
    };
    const TCase cases[] = {
        {"OffersAndTried", true, TFtpTls::Try, true, true},
        {"OffersButOff", true, TFtpTls::Off, true, false},
        {"OffersAndRequired", true, TFtpTls::Require, true, true},
        {"PlainAndTried", false, TFtpTls::Try, true, false},
        {"PlainButRequired", false, TFtpTls::Require, false, false},
    };
    qputenv("SSL_CERT_FILE", (Temporary.path() + "/ca.pem").toUtf8());
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Trap);
        Start(TFtpTestServer::TMode::Normal,
              c.ServerOffers ? Temporary.path() + "/server.pem" : QString());
        Messages.clear();
        TFtpLogin login = Login();
        login.Tls = c.Setting;
        EXPECT_EQ(Upload->Connect(login, FailureText), c.Connects);
        EXPECT_EQ(Client.Encrypted(), c.Encrypted);
        if (!c.Connects) {
            ASSERT_FALSE(Messages.isEmpty());
            EXPECT_TRUE(Messages[0].contains("offers no encryption")) << Messages[0].toStdString();
            EXPECT_FALSE(Server->Log().contains("logged in")) << "the password was sent";
        }
        Upload->Disconnect();
    }
}

TEST(FtpFingerprints, TypedFormsAreNormalised) {
    const QString pairs = QStringLiteral("0A:").repeated(31) + "0A";
    EXPECT_EQ(TFtpClient::NormalisedFingerprint(pairs.toLower()), pairs);
    EXPECT_EQ(TFtpClient::NormalisedFingerprint(QString(pairs).remove(':')), pairs);
    EXPECT_EQ(TFtpClient::NormalisedFingerprint(pairs.left(94)), "") << "too short";
    EXPECT_EQ(TFtpClient::NormalisedFingerprint(QString(pairs).replace("0A", "0G")), "");
}

TEST(FtpOutcomes, TextsOfEveryKind) {
    EXPECT_EQ(FtpOutcomeText(TFtpKind::ChangeDir, TFtpOutcome::Success), "ChangeDir success");
    EXPECT_EQ(FtpOutcomeText(TFtpKind::Upload, TFtpOutcome::Failure), "ERROR: Upload failure");
    EXPECT_EQ(FtpOutcomeText(TFtpKind::DoCommand, TFtpOutcome::Unsupported),
              "ERROR: DoCommand unsupported");
    EXPECT_EQ(FtpOutcomeText(TFtpKind::UploadRestore, TFtpOutcome::Success),
              "UploadRestore success");
}

} // namespace
