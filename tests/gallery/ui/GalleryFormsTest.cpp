#include "gallery/TFtpTestServer.h"
#include "gallery/TGalleryRequest.h"
#include "gallery/ui/TFTPForm.h"
#include "gallery/ui/THTMLForm.h"
#include "imaging/TRasterImage.h"
#include "shell/TRunState.h"
#include "support/TScriptedPrompter.h"
#include "support/TTestKit.h"
#include "support/Widgets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace Lumerix;

namespace {

class GalleryForms : public testing::Test {
protected:
    void SetUp() override {
        State = Kit.State();
        Request.ProgramDir = State->ProgramDir;
        Request.KitDir = State->KitDir;
        Request.LanguageCode = State->Language().Code();
        Request.Title = "Sommer";
        Request.SidePicture = State->KitFile("recom/wizard.jpg");
        Request.SettingsFile = TGalleryRequest::SettingsFileOf(*State, "Diashow_0003");
        for (const char* name : {"Eins.jpg", "Zwei.jpg"}) {
            const QString path = Kit.Root() + "pictures/" + name;
            QDir().mkpath(Kit.Root() + "pictures");
            QImage image(120, 90, QImage::Format_RGB888);
            image.fill(Qt::darkCyan);
            TRasterImage(image).Save(path, 2);
            Request.Pictures.append({path, QStringLiteral("Bild ") + QLatin1String(name)});
        }
    }

    // Types `text` into `edit` as the user would, replacing what is there.
    static void Type(QLineEdit* edit, const QString& text) {
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClicks(edit, text);
    }

    TTestKit Kit;
    std::unique_ptr<TRunState> State;
    TScriptedPrompter Prompter;
    TGalleryRequest Request;
};

TEST_F(GalleryForms, GenerateFromTheWindowThenClose) {
    THTMLForm form(*State, Prompter, nullptr);
    QStringList opened;
    form.SetPageOpener([&](const QString& page) { opened.append(page); });
    bool generated = false;
    QTimer::singleShot(0, [&] {
        auto* perRow = Find<QLineEdit>(form, "PicProRowEdit");
        EXPECT_EQ(perRow->text(), "4"); // the kit's defaults
        Type(perRow, "0");
        EXPECT_EQ(perRow->text(), "1");
        Type(Find<QLineEdit>(form, "SmallPicXEdit"), "60");
        Find<QCheckBox>(form, "FilenameVisibleCheckBox")->setChecked(true);
        QSignalSpy finished(&form, &THTMLForm::GenerationFinished);
        Find<QPushButton>(form, "GenerateButton")->click();
        generated = finished.wait(10000) && finished.first().first().toBool();
        Find<QPushButton>(form, "CloseButton")->click();
    });
    form.Start(Request);

    EXPECT_TRUE(generated);
    EXPECT_EQ(opened, QStringList{Request.OutputDir() + "gallery.html"});
    ASSERT_EQ(Prompter.Messages.size(), 1);
    EXPECT_EQ(Prompter.Messages[0].Text, "Erstellen der Galerie wurde erfolgreich abgeschlossen!");
    EXPECT_EQ(TRasterImage::ReadSize(Request.OutputDir() + "eins_thumb.jpg"), QSize(80, 60));
    const TGallerySettings stored = TGallerySettings::Read(Request.SettingsFile, {});
    EXPECT_EQ(stored.PicProRow, 1);
    EXPECT_EQ(stored.SmallPicX, "60");
    EXPECT_TRUE(stored.FilenameVisible);
    EXPECT_TRUE(stored.TextVisible);
    EXPECT_TRUE(QString::fromLatin1(TTestKit::ReadFile(Request.OutputDir() + "gallery.html"))
                    .contains("<br>eins.html<br></a>Bild Eins.jpg"));
}

TEST_F(GalleryForms, UploadWindowKeepsTheLoginAndLogsEveryFile) {
    if (!TFtpTestServer::Available())
        GTEST_SKIP() << "/usr/bin/python3 has no pyftpdlib";
    TFtpTestServer server;
    ASSERT_TRUE(server.Started());
    QDir().mkpath(server.Root() + "galerie");
    const QString output = Kit.Root() + "out/";
    TTestKit::WriteFile(output + "gallery.html", "<HTML></HTML>\n");
    TTestKit::WriteFile(output + "a.jpg", QByteArray(40'000, 'x'));

    TFTPForm form(*State, Prompter);
    form.Open(Request.SidePicture, Request.SettingsFile, output);
    EXPECT_EQ(Find<QLineEdit>(form, "PortEdit")->text(), "21");
    Find<QLineEdit>(form, "HostEdit")->setText("127.0.0.1");
    Find<QLineEdit>(form, "PortEdit")->setText(QString::number(server.Port()));
    Find<QLineEdit>(form, "UserEdit")->setText("anna");
    Find<QLineEdit>(form, "PasswordEdit")->setText("secret");
    Find<QLineEdit>(form, "DirEdit")->setText("Galerie");
    auto* upload = Find<QPushButton>(form, "UploadButton");

    QSignalSpy finished(&form, &TFTPForm::RunFinished);
    upload->click();
    ASSERT_TRUE(finished.wait(10000));
    QCoreApplication::processEvents();
    ASSERT_EQ(form.LogLines().size(), 3);
    for (const QString& line : form.LogLines().mid(0, 2))
        EXPECT_TRUE(line.endsWith(" Upload success")) << line.toStdString();
    EXPECT_EQ(form.LogLines()[2], "2 sent, 0 kept, 0 removed");
    EXPECT_EQ(TTestKit::ReadFile(server.Root() + "galerie/a.jpg"), QByteArray(40'000, 'x'));
    EXPECT_TRUE(form.Connected());

    // The next press closes the kept connection; the login is in the settings file.
    upload->click();
    EXPECT_FALSE(form.Connected());
    const TFtpAccount stored = TFtpAccount::Read(Request.SettingsFile, {});
    EXPECT_EQ(stored.Host, "127.0.0.1");
    EXPECT_EQ(stored.Port, QString::number(server.Port()));
    EXPECT_EQ(stored.UserId, "anna");
    EXPECT_EQ(stored.Password, "secret");
    EXPECT_EQ(stored.ServerDir, "Galerie");
    EXPECT_EQ(QFile::permissions(Request.SettingsFile) & (QFile::ReadGroup | QFile::ReadOther),
              QFile::Permissions());

    // A port that is no number stops before connecting.
    Find<QLineEdit>(form, "PortEdit")->setText("einundzwanzig");
    upload->click();
    EXPECT_FALSE(form.Running());
    ASSERT_FALSE(Prompter.Messages.isEmpty());
    EXPECT_EQ(Prompter.Messages.last().Text, "'einundzwanzig' is not a valid integer value");
}

TEST_F(GalleryForms, AnUnknownCertificateIsAskedAboutOnceAndKept) {
    QString fingerprint;
    if (const QString missing = TFtpTestServer::PrepareTls(Kit.Root(), &fingerprint);
        !missing.isEmpty())
        GTEST_SKIP() << missing.toStdString();
    TFtpTestServer server(TFtpTestServer::TMode::Normal, Kit.Root() + "server.pem");
    ASSERT_TRUE(server.Started());
    const QString output = Kit.Root() + "out/";
    TTestKit::WriteFile(output + "a.jpg", QByteArray(1000, 'x'));

    TFTPForm form(*State, Prompter);
    form.Open(Request.SidePicture, Request.SettingsFile, output);
    auto* tls = Find<QComboBox>(form, "TlsBox");
    EXPECT_EQ(tls->currentText(), "Wenn angeboten");
    tls->setCurrentIndex(tls->findText("Immer"));
    Find<QLineEdit>(form, "HostEdit")->setText("127.0.0.1");
    Find<QLineEdit>(form, "PortEdit")->setText(QString::number(server.Port()));
    Find<QLineEdit>(form, "UserEdit")->setText("anna");
    Find<QLineEdit>(form, "PasswordEdit")->setText("secret");
    auto* upload = Find<QPushButton>(form, "UploadButton");
    QSignalSpy finished(&form, &TFTPForm::RunFinished);
    for (int run = 0; run < 2; ++run) {
        Prompter.Answers.enqueue(true);
        upload->click();
        ASSERT_TRUE(finished.wait(10000));
        QCoreApplication::processEvents();
        // Sent, then kept; each run ends with its count.
        EXPECT_EQ(form.LogLines().size(), 2);
        upload->click(); // closes the kept connection
    }
    ASSERT_EQ(Prompter.Messages.size(), 1) << "asked once, then kept";
    EXPECT_EQ(Prompter.Messages[0].Kind, TScriptedPrompter::TKind::Confirm);
    EXPECT_TRUE(Prompter.Messages[0].Text.contains(fingerprint));
    const TFtpAccount stored = TFtpAccount::Read(Request.SettingsFile, {});
    EXPECT_EQ(stored.Certificate, fingerprint);
    EXPECT_EQ(stored.Tls, TFtpTls::Require);
    EXPECT_EQ(TTestKit::ReadFile(server.Root() + "a.jpg"), QByteArray(1000, 'x'));
}

// Making the gallery anew would empty the folder the upload is sending.
TEST_F(GalleryForms, GeneratingIsRefusedWhileTheUploadRuns) {
    if (!TFtpTestServer::Available())
        GTEST_SKIP() << "/usr/bin/python3 has no pyftpdlib";
    TFtpTestServer server(TFtpTestServer::TMode::Slow);
    ASSERT_TRUE(server.Started());
    const QByteArray large(600'000, 'x');
    TTestKit::WriteFile(Request.OutputDir() + "large.jpg", large);
    THTMLForm form(*State, Prompter, nullptr);
    bool refused = false;
    QTimer::singleShot(0, [&] {
        auto* ftp = form.findChild<TFTPForm*>();
        ASSERT_NE(ftp, nullptr);
        ftp->Open(Request.SidePicture, Request.SettingsFile, Request.OutputDir());
        Find<QLineEdit>(*ftp, "HostEdit")->setText("127.0.0.1");
        Find<QLineEdit>(*ftp, "PortEdit")->setText(QString::number(server.Port()));
        Find<QLineEdit>(*ftp, "UserEdit")->setText("anna");
        Find<QLineEdit>(*ftp, "PasswordEdit")->setText("secret");
        Find<QPushButton>(*ftp, "UploadButton")->click();
        ASSERT_TRUE(ftp->Running());
        QSignalSpy generated(&form, &THTMLForm::GenerationFinished);
        form.findChild<QPushButton*>("GenerateButton")->click();
        refused = generated.isEmpty() && !Prompter.Messages.isEmpty() &&
                  Prompter.Messages.last().Text.contains("hochgeladen");
        QSignalSpy finished(ftp, &TFTPForm::RunFinished);
        EXPECT_TRUE(finished.wait(20000));
        form.findChild<QPushButton*>("CloseButton")->click();
    });
    form.Start(Request);
    EXPECT_TRUE(refused);
    EXPECT_EQ(TTestKit::ReadFile(server.Root() + "large.jpg"), large);
}

} // namespace
