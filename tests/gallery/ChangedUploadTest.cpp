#include "TFtpTestServer.h"
#include "gallery/TFtpClient.h"
#include "gallery/TFtpUpload.h"
#include "gallery/TGalleryGenerator.h"
#include "gallery/TUploadManifest.h"
#include "imaging/TRasterImage.h"
#include "shell/TProgress.h"
#include "support/QtPrinters.h"
#include "support/TTestKit.h"

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Lumerix;

namespace {

TSentFile File(const char* hash) {
    return {1, QString(hash).repeated(64)};
}

TEST(UploadPlan, SendsWhatChangedKeepsTheRestAndRemovesWhatIsGone) {
    struct TCase {
        const char* Name;
        QMap<QString, TSentFile> Local;
        QMap<QString, TSentFile> Sent;
        bool Everything;
        QStringList Send, Keep, Remove;
    };
    const TCase cases[] = {
        {"first upload", {{"a.jpg", File("1")}}, {}, false, {"a.jpg"}, {}, {}},
        {"unchanged", {{"a.jpg", File("1")}}, {{"a.jpg", File("1")}}, false, {}, {"a.jpg"}, {}},
        {"changed content",
         {{"a.jpg", File("2")}},
         {{"a.jpg", File("1")}},
         false,
         {"a.jpg"},
         {},
         {}},
        {"same hash, other size",
         {{"a.jpg", {2, QString("1").repeated(64)}}},
         {{"a.jpg", File("1")}},
         false,
         {"a.jpg"},
         {},
         {}},
        {"unreadable file", {{"a.jpg", {1, {}}}}, {{"a.jpg", {1, {}}}}, false, {"a.jpg"}, {}, {}},
        {"dropped",
         {{"a.jpg", File("1")}},
         {{"a.jpg", File("1")}, {"b.jpg", File("3")}},
         false,
         {},
         {"a.jpg"},
         {"b.jpg"}},
        {"everything",
         {{"a.jpg", File("1")}},
         {{"a.jpg", File("1")}, {"b.jpg", File("3")}},
         true,
         {"a.jpg"},
         {},
         {}},
    };
    for (const TCase& c : cases) {
        const TUploadPlan plan = TUploadPlan::Make(c.Local, {"t", c.Sent}, c.Everything);
        EXPECT_EQ(plan.Send, c.Send) << c.Name;
        EXPECT_EQ(plan.Keep, c.Keep) << c.Name;
        EXPECT_EQ(plan.Remove, c.Remove) << c.Name;
    }
}

TEST(UploadPlan, PagesGoAfterTheirPicturesAndTheRecordFollowsWhatWentThrough) {
    TUploadPlan plan;
    plan.Send = {"a.html", "gallery.html", "a-240.jpg", "modern.css"};
    plan.Remove = {"old.html", "old-240.jpg"};
    EXPECT_EQ(plan.Lines("/out", "web"),
              (QStringList{"copy |file:///out/a-240.jpg | web/a-240.jpg",
                           "copy |file:///out/modern.css | web/modern.css",
                           "copy |file:///out/a.html | web/a.html",
                           "copy |file:///out/gallery.html | web/gallery.html", "del |web/old.html",
                           "del |web/old-240.jpg"}));

    const TUploadManifest sent{"t",
                               {{"a.html", File("1")},
                                {"old.html", File("2")},
                                {"old-240.jpg", File("3")},
                                {"stale.jpg", File("4")}}};
    const QMap<QString, TSentFile> local = {{"a-240.jpg", File("5")},
                                            {"modern.css", File("6")},
                                            {"a.html", File("7")},
                                            {"gallery.html", File("8")}};
    // The picture and the overview went, the page and one removal failed.
    const TUploadManifest next = plan.Outcome(sent, local, {true, false, false, true, true, false});
    EXPECT_EQ(next.Files.keys(),
              (QStringList{"a-240.jpg", "gallery.html", "old-240.jpg", "stale.jpg"}));
    EXPECT_EQ(next.Files["a-240.jpg"], File("5"));
    EXPECT_EQ(next.Files["old-240.jpg"], File("3"));
}

TEST(UploadManifest, WrittenAndReadBackPerTarget) {
    QTemporaryDir folder;
    const QString target =
        TUploadManifest::TargetOf("ftp", "Example.ORG", 21, "anna", "\\Web/Fotos/");
    EXPECT_EQ(target, "ftp://anna@example.org:21/web/fotos");
    const QString path = TUploadManifest::PathFor(folder.path() + "/gallery/", target);
    EXPECT_TRUE(path.startsWith(folder.path() + "/gallery.sent/"));
    EXPECT_NE(path, TUploadManifest::PathFor(
                        folder.path() + "/gallery/",
                        TUploadManifest::TargetOf("sftp", "example.org", 22, "anna", "web/fotos")));
    const TUploadManifest written{target,
                                  {{"mit Leerzeichen.html", File("a")},
                                   {"b.jpg", {123456789012, QString("f").repeated(64)}}}};
    ASSERT_TRUE(written.Write(path));
    const TUploadManifest read = TUploadManifest::Read(path);
    EXPECT_EQ(read.Target, target);
    EXPECT_EQ(read.Files, written.Files);
    EXPECT_TRUE(TUploadManifest::Read(path + ".missing").Files.isEmpty());

    // A record edited by hand cannot make the upload delete outside its folder.
    const QString hash = QString("0").repeated(64);
    TTestKit::WriteFile(path, ("# target " + target + "\n" + hash + " 1 ../../index.html\n" + hash +
                               " 1 ..\n" + hash + " 1 a|b\n" + hash + " x c.jpg\n" + hash +
                               " 1 gut.jpg\n")
                                  .toUtf8());
    EXPECT_EQ(TUploadManifest::Read(path).Files.keys(), QStringList{"gut.jpg"});
}

// What the server did: "STOR" and "DELE" with the file name, in order.
QStringList ServerActions(const QString& log, int from) {
    QStringList actions;
    static const QRegularExpression Pattern("\\b(STOR|DELE) \\S*/web/([^\\s/]+)");
    for (const QString& line : log.mid(from).split('\n')) {
        const QRegularExpressionMatch match = Pattern.match(line);
        if (match.hasMatch())
            actions.append(match.captured(1) + ' ' + match.captured(2));
    }
    return actions;
}

TEST(ChangedUpload, SecondUploadSendsOnlyTheChangedPagesAndRemovesTheDroppedPicture) {
    if (!TFtpTestServer::Available())
        GTEST_SKIP() << "/usr/bin/python3 has no pyftpdlib";
    QTemporaryDir folder;
    const QString root = folder.path() + '/';
    TGalleryRequest request;
    request.ProgramDir = root + "program/";
    request.KitDir = QStringLiteral(LUMERIX_STAGED_KIT "/");
    request.LanguageCode = "GERMAN";
    request.Title = "Urlaub";
    request.SettingsFile = request.ProgramDir + "Gallery_Diashow_0001.ini";
    QDir().mkpath(request.ProgramDir);
    QDir().mkpath(root + "pictures");
    for (const char* name : {"a", "b", "c", "d", "e"}) {
        QImage image(600, 400, QImage::Format_RGB888);
        image.fill(QColor(name[0], 100, 200));
        const QString path = root + "pictures/" + name + ".jpg";
        TRasterImage(image).Save(path, 2);
        request.Pictures.append({path, QString("Bild ") + name});
    }
    TGallerySettings settings;
    settings.Style = TGallerySettings::TStyle::Modern;
    TSilentProgress quiet;
    ASSERT_TRUE(TGalleryGenerator(request, settings).Generate(quiet).Ok);

    TFtpTestServer server;
    ASSERT_TRUE(server.Started());
    TFtpClient client;
    QStringList log;
    TFtpUpload upload(client, quiet, {[&](const QString& line) { log.append(line); }, {}, {}});
    const TFtpLogin login{"127.0.0.1", server.Port(),     "anna", "secret", 10000, TFtpTls::Off,
                          {},          TFtpProtocol::Ftp, {}};
    const QString output = request.OutputDir();
    ASSERT_TRUE(upload.Connect(login, "no"));
    EXPECT_EQ(upload.Sync(output, login, "web", false).Failed, 0);
    const int files = int(QDir(output).entryList(QDir::Files).size());
    EXPECT_EQ(log.last(), QString("%1 sent, 0 kept, 0 removed").arg(files));
    const qsizetype firstRun = server.Log().size();

    // One caption changes and one picture leaves: that page, the dropped picture's
    // neighbours and the overview change; the dropped picture's files go.
    request.Pictures[4].Caption = "Sonnenuntergang";
    request.Pictures.removeAt(2);
    ASSERT_TRUE(TGalleryGenerator(request, settings).Generate(quiet).Ok);
    log.clear();
    EXPECT_EQ(upload.Sync(output, login, "web", false).Failed, 0);
    EXPECT_EQ(ServerActions(server.Log(), int(firstRun)),
              (QStringList{"STOR b.html", "STOR d.html", "STOR e.html", "STOR gallery.html",
                           "DELE c-240.jpg", "DELE c-480.jpg", "DELE c-960.jpg", "DELE c.html"}));
    EXPECT_TRUE(log.contains("keep a.html unchanged"));
    EXPECT_EQ(log.last(), QString("4 sent, %1 kept, 4 removed").arg(files - 4 - 4));
    EXPECT_FALSE(QFileInfo::exists(server.Root() + "web/c.html"));
    EXPECT_EQ(TTestKit::ReadFile(server.Root() + "web/e.html"),
              TTestKit::ReadFile(output + "e.html"));

    // Sending everything sends every file again and removes nothing.
    log.clear();
    EXPECT_EQ(upload.Sync(output, login, "web", true).Failed, 0);
    EXPECT_EQ(log.last(), QString("%1 sent, 0 kept, 0 removed").arg(files - 4));
}

} // namespace
