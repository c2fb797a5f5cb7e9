#include "TFtpTestServer.h"
#include "gallery/TFtpClient.h"
#include "gallery/TFtpUpload.h"
#include "shell/TProgress.h"
#include "support/QtPrinters.h"
#include "support/TTestKit.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>

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

    void Start(TFtpTestServer::TMode mode = TFtpTestServer::TMode::Normal) {
        Server = std::make_unique<TFtpTestServer>(mode);
        ASSERT_TRUE(Server->Started());
        Upload = std::make_unique<TFtpUpload>(
            Client, Progress,
            TFtpUpload::TListener{[this](const QString& line) { Log.append(line); },
                                  [this](const TFtpUpload::TMessage& message) {
                                      Messages.append(message.Text);
                                  }});
    }

    TFtpLogin Login(const QString& password = "secret") const {
        return {"127.0.0.1", Server->Port(), "anna", password, 10000};
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
    EXPECT_FALSE(Upload->Connect({"127.0.0.1", port, "anna", "secret", 2000}, FailureText));
    EXPECT_EQ(Messages, (QStringList{"Connection Failed", FailureText}));
}

TEST_F(FtpUpload, MissingTargetFolderFailsEveryCopy) {
    Start();
    LocalFile("a.jpg", 100);
    LocalFile("b.jpg", 100);
    ASSERT_TRUE(Upload->Connect(Login(), FailureText));
    const TFtpUpload::TResult result = Upload->Run(TFtpUpload::CommandList(Local, "fehlt"));
    EXPECT_EQ(result.Failed, 2);
    EXPECT_EQ(Log, (QStringList{CopyText("a.jpg", "fehlt/a.jpg") + " ERROR: Upload failure",
                                CopyText("b.jpg", "fehlt/b.jpg") + " ERROR: Upload failure"}));
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
        {Copy("bild.jpg", "Bild.jpg"), CopyText("bild.jpg", "bild.jpg") + " Upload success",
         "/web/alben"},
        {"cd..", "cd..   ChangeDir success", "/web"},
        {"copy |alben\\bild.jpg | " + TFtpUpload::LocalPath(back),
         "copy alben/bild.jpg " + TFtpUpload::LocalPath(back) + " Download success", "/web"},
        {"cd |alben", "cd alben  ChangeDir success", "/web/alben"},
        {"cd..", "cd..   ChangeDir success", "/web"},
        {"cd\\", "cd\\   ChangeDir success", "/"},
        {"cd |gibtsnicht", "cd gibtsnicht  ERROR: ChangeDir failure", "/"},
        {"del |web/alben/bild.jpg", "del web/alben/bild.jpg  Delete success", "/"},
        {"del |web/alben/bild.jpg", "del web/alben/bild.jpg  ERROR: Delete failure", "/"},
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

TEST(FtpOutcomes, TextsOfEveryKind) {
    EXPECT_EQ(FtpOutcomeText(TFtpKind::ChangeDir, TFtpOutcome::Success), "ChangeDir success");
    EXPECT_EQ(FtpOutcomeText(TFtpKind::Upload, TFtpOutcome::Failure), "ERROR: Upload failure");
    EXPECT_EQ(FtpOutcomeText(TFtpKind::DoCommand, TFtpOutcome::Unsupported),
              "ERROR: DoCommand unsupported");
    EXPECT_EQ(FtpOutcomeText(TFtpKind::UploadRestore, TFtpOutcome::Success),
              "UploadRestore success");
}

} // namespace
