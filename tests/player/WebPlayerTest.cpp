#include "player/web/WebPlayer.h"
#include "imaging/TTransition.h"
#include "package/TPackageWriter.h"
#include "player/TFrameComposer.h"
#include "player/TPlayerSetup.h"
#include "shell/TIniFile.h"
#include "shell/TLanguage.h"
#include "shell/TRunState.h"
#include "shell/TWorkspace.h"
#include "support/PhotoFixtures.h"
#include "support/TTestKit.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

using namespace Lumerix;

namespace {

constexpr int Width = 640;
constexpr int Height = 480;

// How far a browser screen may stand from the native one: the mean difference per channel,
// and the share of pixels off by more than 64 in some channel. Measured: about 0.6 and at
// most 0.4 % (glyph edges, picture scaling); a neighbouring transition state or another
// effect is 10 to 20 and several per cent off.
constexpr double MeanTolerance = 2.0;
constexpr double FarTolerance = 0.01;

struct TDifference {
    double Mean = 255;
    double Far = 1;
};

TDifference Compare(const QImage& a, const QImage& b) {
    if (a.size() != b.size())
        return {};
    const QImage x = a.convertToFormat(QImage::Format_RGB888);
    const QImage y = b.convertToFormat(QImage::Format_RGB888);
    double sum = 0;
    qint64 far = 0;
    for (int row = 0; row < x.height(); ++row) {
        const uchar* p = x.constScanLine(row);
        const uchar* q = y.constScanLine(row);
        for (int i = 0; i < 3 * x.width(); i += 3) {
            int worst = 0;
            for (int c = 0; c < 3; ++c) {
                const int d = std::abs(p[i + c] - q[i + c]);
                sum += d;
                worst = std::max(worst, d);
            }
            far += worst > 64;
        }
    }
    const double pixels = double(x.width()) * x.height();
    return {sum / (3 * pixels), far / pixels};
}

// Headless Chromium on a page of the package folder, with its own profile.
class TBrowser {
public:
    static bool Available() { return !QStandardPaths::findExecutable("chromium").isEmpty(); }

    QStringList Flags() const {
        return {"--headless=new",
                "--no-sandbox",
                "--disable-gpu",
                "--hide-scrollbars",
                "--force-device-scale-factor=1",
                "--user-data-dir=" + Profile.path(),
                "--virtual-time-budget=5000",
                QStringLiteral("--window-size=%1,%2").arg(Width).arg(Height)};
    }

    QByteArray Run(QStringList arguments) const {
        QProcess chromium;
        chromium.setProcessChannelMode(QProcess::SeparateChannels);
        chromium.start("chromium", Flags() + arguments);
        chromium.waitForFinished(90000);
        return chromium.readAllStandardOutput();
    }

    /// The player's screen as the page painted it. Pictures from file:// keep a page from
    /// reading its canvas; the test browser is let through to read it.
    QImage Capture(const QString& url) const {
        const QString dom = Body(url, {"--allow-file-access-from-files"});
        const QRegularExpression pixels("data-pixels=\"data:image/png;base64,([^\"]*)\"");
        return QImage::fromData(QByteArray::fromBase64(pixels.match(dom).captured(1).toLatin1()),
                                "PNG");
    }

    /// The screens of a "sheet" page, in order.
    QList<QImage> Sheet(const QString& url) const {
        const QString dom = Body(url, {"--allow-file-access-from-files"});
        const QRegularExpression pattern("data-sheet=\"([^\"]*)\"");
        const QString json = pattern.match(dom).captured(1).replace("&quot;", "\"");
        QList<QImage> images;
        for (const QJsonValue& shot : QJsonDocument::fromJson(json.toUtf8()).array()) {
            const QString data = shot.toString().section(u',', 1);
            images.append(QImage::fromData(QByteArray::fromBase64(data.toLatin1()), "PNG"));
        }
        return images;
    }

    QString Body(const QString& url, const QStringList& extra = {}) const {
        const QString dom = QString::fromUtf8(Run(extra + QStringList{"--dump-dom", url}));
        return dom;
    }

private:
    QTemporaryDir Profile;
};

QString Attribute(const QString& dom, const QString& name) {
    const QRegularExpression pattern("<body[^>]* data-" + name + "=\"([^\"]*)\"");
    return pattern.match(dom).captured(1);
}

class BrowserPlayer : public testing::Test {
protected:
    void SetUp() override {
        if (!TBrowser::Available())
            GTEST_SKIP() << "chromium is not installed";
        State = Kit.State("GERMAN");
        ASSERT_TRUE(TWorkspace::Prepare(*State).Ok);
        Folder = State->WorkspaceDir;
        WriteSettings({});
    }

    // The workspace root as a PC show, with these settings over the shipped ones.
    void WriteSettings(const QList<std::pair<QString, QString>>& values) {
        TIniFile ini(Folder + "Settings.ini");
        for (const auto& [key, value] : values)
            ASSERT_TRUE(ini.WriteString("SETTINGS", key, value));
        QString error;
        ASSERT_TRUE(PackageWriter::WriteWebPlayer(*State, Folder, &error)) << error.toStdString();
        Setup = TPlayerSetup::Load(Folder);
    }

    QString Url(const QString& query) const {
        QUrl url = QUrl::fromLocalFile(Folder + "index.html");
        url.setQuery(query);
        return url.toString(QUrl::FullyEncoded);
    }

    // The native screens at the size the browser gave the page.
    TFrameComposer At(QSize size) const { return TFrameComposer(Setup.Settings, size); }

    TFrame Native(QSize size, int show, int picture) const {
        return At(size).ComposePicture(Setup.Library.Shows()[show].Pictures()[picture]);
    }

    QImage NativeTransition(QSize size, int show, int picture, int line, int state) const {
        const TEffectParameters parameters = Setup.Effects->Effect(line);
        const TTransitionPainter painter(Native(size, show, picture - 1).Image,
                                         Native(size, show, picture).Image, parameters);
        return painter.State(state);
    }

    void ExpectClose(const QImage& browser, const QImage& native, const std::string& what) {
        ASSERT_FALSE(browser.isNull()) << what << ": no capture";
        // WEBPLAYER_SHOTS=folder keeps both screens for a look.
        if (qEnvironmentVariableIsSet("WEBPLAYER_SHOTS")) {
            browser.save(qEnvironmentVariable("WEBPLAYER_SHOTS") + "/b-" +
                         QString::fromStdString(what) + ".png");
            native.save(qEnvironmentVariable("WEBPLAYER_SHOTS") + "/n-" +
                        QString::fromStdString(what) + ".png");
        }
        const TDifference d = Compare(browser, native);
        EXPECT_LT(d.Mean, MeanTolerance) << what;
        EXPECT_LT(d.Far, FarTolerance) << what;
    }

    TTestKit Kit;
    std::unique_ptr<TRunState> State;
    QString Folder;
    TPlayerSetup Setup;
    TBrowser Browser;
};

TEST(WebPlayerData, ScriptCarriesTheShowsAndSurvivesHostileCaptions) {
    TTestKit kit;
    auto state = kit.State("GERMAN");
    ASSERT_TRUE(TWorkspace::Prepare(*state).Ok);
    // A caption that would end the script element, and a line separator.
    TTestKit::WriteFile(
        state->WorkspaceDir + "Diashow_0001/Pictures.ini",
        QString("Bergsee.jpg | </script><b>x</b>\u2028y\nmissing.jpg | gone\n").toUtf8());
    const QByteArray script = Lumerix::WebPlayer::ShowData(TPlayerSetup::Load(state->WorkspaceDir));
    ASSERT_TRUE(script.startsWith("window.LumerixShows = ") && script.endsWith(";\n"));
    EXPECT_FALSE(script.contains("</"));
    EXPECT_FALSE(script.contains("\xe2\x80\xa8"));
    const QByteArray json = script.mid(22, script.size() - 24);
    const QJsonObject data = QJsonDocument::fromJson(json).object();
    const QJsonArray shows = data["shows"].toArray();
    ASSERT_EQ(shows.size(), 2);
    const QJsonObject first = shows[0].toObject();
    EXPECT_EQ(first["folder"].toString(), "Diashow_0001");
    // The reader's view: the missing picture left out, the caption cleaned as on screen.
    const QJsonArray pictures = first["pictures"].toArray();
    ASSERT_EQ(pictures.size(), 1);
    EXPECT_EQ(pictures[0].toObject()["caption"].toString(), "</script><b>x</b> y");
    EXPECT_EQ(data["effects"].toArray().size(), TWorkspace::CountEffects(*state));
    EXPECT_EQ(data["texts"].toObject()["end"].toString(),
              TPlayerSetup::Load(state->WorkspaceDir).Texts.EndText);
}

TEST_F(BrowserPlayer, PicturesCaptionsAndMessagesMatchTheNativeComposer) {
    const QImage picture = Browser.Capture(Url("freeze=0,1,0"));
    const TFrame frame = Native(picture.size(), 0, 1);
    ExpectClose(picture, frame.Image, "picture with caption");
    EXPECT_EQ(Attribute(Browser.Body(Url("freeze=0,1,0")), "caption"), frame.Caption);
    const QImage end = Browser.Capture(Url("freeze=end"));
    ExpectClose(end, At(end.size()).Message(Setup.Texts.EndText), "end message");
    QStringList titles;
    for (const TPlayerShow& show : Setup.Library.Shows())
        titles.append(show.Title());
    const QImage intro = Browser.Capture(Url("freeze=intro"));
    ExpectClose(intro, At(intro.size()).Message(QString::fromUtf16(ProductName), titles),
                "intro card");

    // File names under the captions, raised by the text offset.
    WriteSettings({{"FileNameVisible", "TRUE"}, {"TextOffset", "60"}, {"BKGColor", "8421504"}});
    const QImage named = Browser.Capture(Url("freeze=1,0,0"));
    ExpectClose(named, Native(named.size(), 1, 0).Image, "file name, offset, grey background");
}

TEST_F(BrowserPlayer, StartScreenListsTheShowsInPlayOrder) {
    TTestKit::WriteFile(Folder + "play.ply", "[PLAY]\nShows=Diashow_0002;*\n");
    WriteSettings({});
    const QString dom = Browser.Body(Url("freeze=menu"));
    EXPECT_EQ(Attribute(dom, "phase"), "menu");
    QStringList listed;
    const QRegularExpression item("<li[^>]*>([^<]*)</li>");
    for (auto it = item.globalMatch(dom); it.hasNext();)
        listed.append(it.next().captured(1));
    QStringList expected;
    for (const TPlayerShow& show : Setup.Library.Shows())
        expected.append(show.Title().toHtmlEscaped());
    EXPECT_EQ(listed, expected);
    EXPECT_EQ(Setup.Library.Shows()[0].Name(), "Diashow_0002");
}

// Every line of the shipped Effects.ini (every effect of the catalogue, and lines with grain,
// passes and a wand), each at another state, against the native painter's state.
TEST_F(BrowserPlayer, TransitionsMatchTheNativePainter) {
    const int lines = Setup.Effects->Count();
    ASSERT_GE(lines, int(TransitionCatalogue().size()));
    // A cut has its one state only.
    const auto stateOf = [this](int line) {
        return FindTransition(Setup.Effects->Effect(line).PaintEffect)->Name == "cut"
                   ? 1
                   : 5 + line * 7 % 50;
    };
    QStringList sheet;
    for (int line = 1; line <= lines; ++line)
        sheet.append(QStringLiteral("%1:%2").arg(line).arg(stateOf(line)));
    // One page paints them all.
    const QList<QImage> shots = Browser.Sheet(Url("freeze=0,1,0&sheet=" + sheet.join(u',')));
    ASSERT_EQ(shots.size(), lines);
    for (int line = 1; line <= lines; ++line) {
        const TEffectParameters p = Setup.Effects->Effect(line);
        ExpectClose(shots[line - 1],
                    NativeTransition(shots[line - 1].size(), 0, 1, line, stateOf(line)),
                    QStringLiteral("line %1: %2 (grain %3, passes %4, wand %5), state %6")
                        .arg(line)
                        .arg(FindTransition(p.PaintEffect)->Name)
                        .arg(p.EffectGrain)
                        .arg(p.PaintMaxPasses)
                        .arg(p.WandSize)
                        .arg(stateOf(line))
                        .toStdString());
    }
}

TEST_F(BrowserPlayer, RandomModeAndAMissingPicture) {
    WriteSettings({{"EffectMode", "RANDOM"}});
    const QString query = "freeze=0,2,30&seed=7";
    const int line = Attribute(Browser.Body(Url(query)), "effect-line").toInt();
    // As the native player: any line but the last.
    ASSERT_GE(line, 1);
    ASSERT_LT(line, Setup.Effects->Count());
    const QImage random = Browser.Capture(Url(query));
    ExpectClose(random, NativeTransition(random.size(), 0, 2, line, 30), "random line");

    // A picture gone after the package was written is stepped over, as natively.
    ASSERT_TRUE(QFile::remove(Setup.Library.Shows()[0].Pictures()[1].Path));
    EXPECT_EQ(Attribute(Browser.Body(Url("freeze=0,1,0")), "shown"), "0,2");
    const QImage gap = Browser.Capture(Url("freeze=0,1,0"));
    ExpectClose(gap, Native(gap.size(), 0, 2).Image, "after a gap");
}

// Photos stored turned, with an EXIF orientation, stand upright as in the native player.
TEST_F(BrowserPlayer, TurnedPhotosStandUpright) {
    ASSERT_TRUE(PhotoFixtures::Make(Folder + "Diashow_0002"));
    QByteArray list;
    for (const int n : {3, 5, 6, 8})
        list += QStringLiteral("orientation-%1.jpg | turned %1\n").arg(n).toUtf8();
    TTestKit::WriteFile(Folder + "Diashow_0002/Pictures.ini", list);
    WriteSettings({});
    for (int i = 0; i < 4; ++i) {
        const QImage browser = Browser.Capture(Url(QStringLiteral("freeze=1,%1,0").arg(i)));
        ExpectClose(browser, Native(browser.size(), 1, i).Image,
                    QStringLiteral("orientation of picture %1").arg(i).toStdString());
    }
}

// In real time, in a browser window on a virtual display: pictures step on with their
// transitions and the music plays, as the window title the page keeps for tests tells.
TEST_F(BrowserPlayer, PlaysInRealTime) {
    if (QStandardPaths::findExecutable("xvfb-run").isEmpty())
        GTEST_SKIP() << "xvfb-run is not installed";
    TTestKit::WriteFile(Folder + "Diashow_0001/Diashow.ini", "[DIASHOW]\nTitel=Schnell\nTime=1\n");
    WriteSettings({{"Manuell", "FALSE"}, {"EffectMode", "ON"}, {"Effect", "4"}});
    QTemporaryDir profile;
    const QString script =
        QStringLiteral("chromium --no-sandbox --disable-gpu --no-first-run --user-data-dir='%1' "
                       "--autoplay-policy=no-user-gesture-required --window-size=640,480 "
                       "--app='%2' >/dev/null 2>&1 & sleep 12; xwininfo -root -tree; kill $!")
            .arg(profile.path(), Url("show=Diashow_0001&report"));
    QProcess xvfb;
    xvfb.start("xvfb-run", {"-a", "sh", "-c", script});
    ASSERT_TRUE(xvfb.waitForFinished(60000));
    const QRegularExpressionMatch title =
        QRegularExpression("played=(\\d+) transitions=(\\d+) music=([\\d.]+)")
            .match(QString::fromUtf8(xvfb.readAllStandardOutput()));
    ASSERT_TRUE(title.hasMatch());
    EXPECT_GE(title.captured(1).toInt(), 2) << "pictures shown";
    EXPECT_GE(title.captured(2).toInt(), 2) << "transitions run";
    EXPECT_GT(title.captured(3).toDouble(), 1.0);
}

// With no network reachable the page still plays the show with its music, and the net log
// holds no request made by the page (Chromium's own background requests carry no page
// origin; a file:// page's requests carry "null").
TEST_F(BrowserPlayer, PlaysOfflineWithoutAnyRequest) {
    QTemporaryDir logs;
    const QString log = logs.filePath("net.json");
    const QString dom = Browser.Body(Url("show=Diashow_0001"),
                                     {"--proxy-server=http://127.0.0.1:9", "--log-net-log=" + log,
                                      "--net-log-capture-mode=Everything"});
    EXPECT_EQ(Attribute(dom, "phase"), "playing");
    EXPECT_FALSE(Attribute(dom, "shown").isEmpty());
    EXPECT_EQ(Attribute(dom, "error"), "");
    // A reveal transition as a user's browser paints it, with the canvas closed to the page.
    const QString wipe = Browser.Body(Url("freeze=0,1,30&line=39"));
    EXPECT_EQ(Attribute(wipe, "ready"), "1");
    EXPECT_EQ(Attribute(wipe, "error"), "");
    QFile file(log);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QJsonArray events = QJsonDocument::fromJson(file.readAll()).object()["events"].toArray();
    ASSERT_FALSE(events.isEmpty());
    QStringList fromPage;
    for (const QJsonValue& event : events) {
        const QJsonObject params = event.toObject()["params"].toObject();
        if (params.contains("url") && params["initiator"].toString() == "null")
            fromPage.append(params["url"].toString());
    }
    EXPECT_TRUE(fromPage.isEmpty()) << fromPage.join(' ').toStdString();
}

} // namespace
