#include "TFtpTestServer.h"
#include "imaging/TRasterImage.h"
#include "support/QtPrinters.h"
#include "support/TTestKit.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>

#include <gtest/gtest.h>

using namespace Lumerix;

namespace {

// The real command-line tool for a fresh user whose home is inside the test's folder.
class GalleryCli : public testing::Test {
protected:
    void SetUp() override {
        ProgramDir = Kit.Root() + "home/.local/share/lumerix/";
        QStringList arguments{"create", "Küste & Meer"};
        for (const char* name : {"Strand.jpg", "Düne.jpg", "Hafen.jpg"}) {
            const QString path = Kit.Root() + "pictures/" + QString::fromUtf8(name);
            QDir().mkpath(Kit.Root() + "pictures");
            QImage image(160, 120, QImage::Format_RGB888);
            image.fill(Qt::darkBlue);
            TRasterImage(image).Save(path, 2);
            arguments.append(path);
        }
        const TTestKit::TCliRun created = Kit.RunCli(arguments);
        ASSERT_EQ(created.ExitCode, 0) << created.Err.toStdString();
        Show = created.Out.trimmed();
    }

    TTestKit Kit;
    QString ProgramDir;
    QString Show;
};

TEST_F(GalleryCli, GalleryWritesTheSettingsFirstAndPrintsTheFolder) {
    const TTestKit::TCliRun run =
        Kit.RunCli({"gallery", Show, "--set", "PicProRow=2", "--set", "filenamevisible=TRUE"});
    ASSERT_EQ(run.ExitCode, 0) << run.Err.toStdString();
    EXPECT_EQ(run.Out.trimmed(), ProgramDir + "gallery/");
    const QString overview =
        QString::fromLatin1(TTestKit::ReadFile(ProgramDir + "gallery/gallery.html"));
    EXPECT_TRUE(overview.contains("K&#252;ste &amp; Meer</div>"));
    EXPECT_TRUE(overview.contains("<br>strand.html<br></a>"));
    EXPECT_TRUE(overview.contains("width=\"50%\"")); // 3 pictures, 2 per row: 2 columns
    EXPECT_TRUE(QFileInfo::exists(ProgramDir + "gallery/duene.html"));
    const QString settings =
        QString::fromUtf8(TTestKit::ReadFile(ProgramDir + "Gallery_" + Show + ".ini"));
    EXPECT_TRUE(settings.contains("PicProRow=2\n"));
    EXPECT_TRUE(settings.contains("FilenameVisible=TRUE\n"));

    // An upload under way (this process stands in for the window) holds the folder.
    QLockFile upload(ProgramDir + "gallery.upload.lock");
    ASSERT_TRUE(upload.tryLock(0));
    const TTestKit::TCliRun refused = Kit.RunCli({"gallery", Show});
    EXPECT_EQ(refused.ExitCode, 1);
    EXPECT_TRUE(refused.Err.contains("is being uploaded")) << refused.Err.toStdString();
    upload.unlock();
    // A run killed between creating the lock file and writing its number into it.
    TTestKit::WriteFile(ProgramDir + "gallery.upload.lock", "");
    const TTestKit::TCliRun afterKill = Kit.RunCli({"gallery", Show});
    EXPECT_EQ(afterKill.ExitCode, 0) << afterKill.Err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(ProgramDir + "gallery.upload.lock"));

    EXPECT_EQ(Kit.RunCli({"gallery", Show, "--set", "Farbe=1"}).ExitCode, 1);
    EXPECT_EQ(Kit.RunCli({"gallery", Show, "--set"}).ExitCode, 1);
    EXPECT_EQ(Kit.RunCli({"gallery", "Diashow_9999"}).ExitCode, 1);
}

TEST_F(GalleryCli, UploadPrintsTheLogAndFailsWhenACommandFails) {
    if (!TFtpTestServer::Available())
        GTEST_SKIP() << "/usr/bin/python3 has no pyftpdlib";
    TFtpTestServer server;
    ASSERT_TRUE(server.Started());
    ASSERT_EQ(Kit.RunCli({"gallery", Show}).ExitCode, 0);
    const QString passwordFile = Kit.Root() + "password";
    TTestKit::WriteFile(passwordFile, "secret\n");
    QDir().mkpath(server.Root() + "web");

    const QStringList login = {
        "--host", "127.0.0.1", "--port",          QString::number(server.Port()),
        "--user", "anna",      "--password-file", passwordFile};
    TTestKit::TCliRun run =
        Kit.RunCli(QStringList{"upload", Show} + login + QStringList{"--dir", "web"});
    ASSERT_EQ(run.ExitCode, 0) << run.Err.toStdString();
    const QStringList lines = run.Out.split('\n', Qt::SkipEmptyParts);
    const QStringList made = QDir(ProgramDir + "gallery").entryList(QDir::Files);
    EXPECT_EQ(lines.size(), made.size() + 1); // and the closing count
    EXPECT_EQ(lines.last(), QString("%1 sent, 0 kept, 0 removed").arg(made.size()));
    for (const QString& name : made) {
        EXPECT_TRUE(lines.contains("copy file://" + ProgramDir + "gallery/" + name + " web/" +
                                   name + " Upload success"))
            << name.toStdString();
        EXPECT_EQ(TTestKit::ReadFile(server.Root() + "web/" + name),
                  TTestKit::ReadFile(ProgramDir + "gallery/" + name));
    }

    // The login was kept: a folder that cannot be made (a file is in the way) fails every copy,
    // and the run fails.
    TTestKit::WriteFile(server.Root() + "blockiert", "x");
    run = Kit.RunCli({"upload", Show, "--dir", "blockiert/web"});
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_TRUE(run.Out.contains("ERROR: Upload failure"));

    TTestKit::WriteFile(passwordFile, "falsch\n");
    run = Kit.RunCli({"upload", Show, "--password-file", passwordFile});
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_TRUE(run.Out.isEmpty());
    EXPECT_TRUE(run.Err.contains("Error 530")) << run.Err.toStdString();
}

TEST_F(GalleryCli, UploadToATlsServerTrustsOnlyWhatItIsTold) {
    QString fingerprint;
    if (const QString missing = TFtpTestServer::PrepareTls(Kit.Root(), &fingerprint);
        !missing.isEmpty())
        GTEST_SKIP() << missing.toStdString();
    TFtpTestServer server(TFtpTestServer::TMode::Normal, Kit.Root() + "server.pem");
    ASSERT_TRUE(server.Started());
    ASSERT_EQ(Kit.RunCli({"gallery", Show}).ExitCode, 0);
    const QString passwordFile = Kit.Root() + "password";
    TTestKit::WriteFile(passwordFile, "secret\n");
    const QStringList login = {
        "upload", Show,   "--host",          "127.0.0.1",  "--port", QString::number(server.Port()),
        "--user", "anna", "--password-file", passwordFile, "--tls",  "require"};

    TTestKit::TCliRun run = Kit.RunCli(login);
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_TRUE(run.Err.contains("--trust " + fingerprint)) << run.Err.toStdString();
    EXPECT_FALSE(server.Log().contains("logged in"));

    run = Kit.RunCli(login + QStringList{"--trust", fingerprint.toLower().remove(':')});
    ASSERT_EQ(run.ExitCode, 0) << run.Err.toStdString();
    EXPECT_TRUE(QFileInfo::exists(server.Root() + "gallery.html"));
    const QString settings =
        QString::fromUtf8(TTestKit::ReadFile(ProgramDir + "Gallery_" + Show + ".ini"));
    EXPECT_TRUE(settings.contains("tls=require\n")) << settings.toStdString();
    EXPECT_TRUE(settings.contains("certificate=" + fingerprint + "\n"));

    EXPECT_EQ(Kit.RunCli({"upload", Show, "--tls", "maybe"}).ExitCode, 1);
    EXPECT_EQ(Kit.RunCli({"upload", Show, "--trust", "12:34"}).ExitCode, 1);
}

} // namespace
