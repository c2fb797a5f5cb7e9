#include "video/TVideoBuild.h"

#include "TFfmpegTools.h"
#include "TVideoShowFixture.h"
#include "audio/TAudioFixture.h"
#include "document/TSlideshow.h"
#include "imaging/TRasterImage.h"
#include "shell/TProgress.h"
#include "shell/TextCodec.h"
#include "support/PhotoFixtures.h"
#include "support/TScriptedPrompter.h"
#include "support/TTestKit.h"
#include "video/TFramePreparation.h"
#include "video/TransitionFrames.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Lumerix;
using namespace Lumerix::FfmpegTools;

namespace {

// Records what a build shows and presses abort once `AbortAfterSteps` progress reports came.
class TRecordingObserver final : public TVideoBuildObserver {
public:
    void SetStatus(const QString& text) override { Statuses.append(text); }
    void AddMessage(const QString& text) override { Messages.append(text); }
    void ClearMessages() override { Messages.clear(); }
    void SetProgress(int bar, const QString& text) override {
        Bars.append(bar);
        Texts.append(text);
    }
    bool AbortRequested() const override {
        return AbortAfterSteps >= 0 && Bars.size() > AbortAfterSteps;
    }
    void JoinShown(bool shown) override { Joins.append(shown ? "shown" : "hidden"); }
    void JoinFile(const QString& text) override { Joins.append(text); }
    void JoinPosition(int percent, const QString& position) override {
        Joins.append(QString::number(percent) + "% " + position);
    }

    int AbortAfterSteps = -1;
    QStringList Statuses;
    QStringList Messages;
    QList<int> Bars;
    QStringList Texts;
    QStringList Joins;
};

class VideoBuild : public VideoTesting::TVideoShowFixture {
protected:
    TVideoBuildResult Build(TVideoKind kind = TVideoKind::Vcd,
                            TTvStandard standard = TTvStandard::Pal) {
        TVideoBuild build(*State, kind, standard, Observer, Prompter);
        return build.Run();
    }

    QStringList Log() const { return TextCodec::ReadLines(TVideoBuild::LogPath(*State)); }

    QStringList WorkFiles() const {
        return QDir(State->EncoderDir).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }

    TRecordingObserver Observer;
};

TEST(VideoBuildRules, PercentTextResultPathAndSoundLength) {
    EXPECT_EQ(TVideoBuild::PercentText(100.0 / 3.0), "33.3%");
    EXPECT_EQ(TVideoBuild::PercentText(5), "5%");
    EXPECT_EQ(TVideoBuild::PercentText(90), "90%");
    EXPECT_EQ(TVideoBuild::PercentText(100.0 / 12.0), "8.33%");

    EXPECT_EQ(TVideoBuild::ModeLine(TVideoKind::Vcd, TTvStandard::Pal), "MODE: PAL VCD");
    EXPECT_EQ(TVideoBuild::ModeLine(TVideoKind::SvcdTransitions, TTvStandard::Ntsc),
              "MODE: NTSC SVCD");

    // Twenty pictures at five seconds and the closing picture's four seconds.
    EXPECT_EQ(TVideoBuild::TargetSeconds(5, 20, 0, false), 104);
    // With transitions the in-between frames count at 25 frames per second: 3 key frames,
    // 36 in-between frames and the closing frame make 40 files, 37 / 25 rounds to 1.
    EXPECT_EQ(TVideoBuild::TargetSeconds(3, 3, 40, true), 14);
    EXPECT_EQ(TVideoBuild::TargetSeconds(3, 3, 40, false), 13);

    TTestKit kit;
    auto state = kit.State();
    state->ShowTitle = QStringLiteral("Ferien am Meer");
    EXPECT_EQ(TVideoBuild::ResultPath(*state, TVideoKind::Svcd),
              state->VideoDir + "ferien_am_meer_SVCD.avi");
    EXPECT_EQ(TVideoBuild::ResultPath(*state, TVideoKind::VcdTransitions),
              state->VideoDir + "ferien_am_meer_VCD.mpg");
}

TEST_F(VideoBuild, DamagedDataInAPictureIsLoggedAndTheBuildGoesOn) {
    MakeShow(1, 3, {320, 240});
    const QString photos = Kit.Root() + "fixtures";
    ASSERT_TRUE(PhotoFixtures::Make(photos));
    ASSERT_TRUE(QFile::remove(ShowDir() + "Bild0.jpg"));
    ASSERT_TRUE(QFile::copy(photos + "/damaged.jpg", ShowDir() + "Bild0.jpg"));

    const TVideoBuildResult result = Build();
    ASSERT_EQ(result.Outcome, TVideoBuildResult::TOutcome::Finished) << result.Error.toStdString();
    EXPECT_EQ(
        Log().filter(QRegularExpression("^     WARNUNG: Bild0.jpg: Corrupt JPEG data: ")).size(), 1)
        << Log().join(u'\n').toStdString();
}

TEST_F(VideoBuild, ShowWithoutMusicGivesASilentAviAndTheWholeLog) {
    MakeShow(3);
    // Leftovers of an earlier build go; other files of the folder stay.
    QDir().mkpath(State->EncoderDir);
    TTestKit::WriteFile(State->EncoderDir + "old.bmp", "x");
    TTestKit::WriteFile(State->EncoderDir + "keep.txt", "x");

    const TVideoBuildResult result = Build();
    ASSERT_EQ(result.Outcome, TVideoBuildResult::TOutcome::Finished) << result.Error.toStdString();
    EXPECT_EQ(result.ResultPath, State->VideoDir + "ferien_am_meer_VCD.avi");

    QStringList expected = {
        "BEGIN", "MODE: PAL VCD",
        "Alle alten *.mp3 *.wav *.mpeg *.avi *.bmp Dateien um Ordner \\encoder\\ wurden gelöscht",
        "START: Convert pictures for video"};
    const QList<TFramePicture> pictures =
        FramePreparation::PicturesOfShow(*State, State->CurrentShow);
    ASSERT_EQ(pictures.size(), 3);
    for (int i = 0; i < 3; ++i)
        expected.append(QStringLiteral("     Bild konvertiert: %1    NACH    encoder\\inp000%2")
                            .arg(QFileInfo(pictures[i].Source).fileName())
                            .arg(i + 1));
    expected += {"     Bild konvertiert: Temp.jpg    NACH    encoder\\inp0004",
                 "FERTIG: Bilder für Video konvertieren",
                 "KEINE AUDIO DATEI FÜR DIE DIASHOW AUSGEWÄHLT", "START: AVI"};
    for (int i = 1; i <= 4; ++i)
        expected.append(QStringLiteral("     AviWriter1.Bitmaps.Add: inp000%1.bmp").arg(i));
    expected += {"     AviWriter: File not exist Input.wav --> AVI ohne Audio herstellen",
                 "     Start: AviWriter"};
    // The writer's own reports come next, each behind the same prefix.
    QStringList log = Log();
    const qsizetype firstReport = expected.size();
    while (firstReport < log.size() && log[firstReport].startsWith("        AVIWriter: "))
        log.removeAt(firstReport);
    expected += {"     Fertig: AviWriter", "FERTIG: AVI", "END", State->Text(12007)};
    EXPECT_EQ(log, expected);

    EXPECT_EQ(WorkFiles(), QStringList{"keep.txt"});
    EXPECT_EQ(Observer.Messages.last(), State->Text(12007));
    EXPECT_EQ(Observer.Bars.last(), 100);
    Observer.Bars.removeLast();
    for (int bar : Observer.Bars)
        EXPECT_LE(bar, 90);

    const QJsonObject probe = Probe(result.ResultPath);
    const QJsonObject video = Stream(probe, "video");
    EXPECT_EQ(video.value("codec_name").toString(), "rawvideo");
    EXPECT_EQ(video.value("pix_fmt").toString(), "bgr24");
    EXPECT_EQ(video.value("width").toInt(), 352);
    EXPECT_EQ(video.value("height").toInt(), 288);
    EXPECT_EQ(video.value("r_frame_rate").toString(), "1/3");
    EXPECT_NEAR(probe.value("format").toObject().value("duration").toString().toDouble(), 12.0,
                0.01);
    EXPECT_TRUE(Stream(probe, "audio").isEmpty());

    // The first frame is upright: red above, blue below, black bands at top and bottom.
    QTemporaryDir frames;
    ASSERT_TRUE(Ffmpeg({"-i", result.ResultPath, "-frames:v", "1", frames.filePath("f.png")}));
    const QImage frame(frames.filePath("f.png"));
    ASSERT_EQ(frame.size(), QSize(352, 288));
    EXPECT_LT(qGray(frame.pixel(176, 4)), 30);
    EXPECT_GT(qRed(frame.pixel(176, 40)), 200);
    EXPECT_GT(qBlue(frame.pixel(176, 250)), 200);
}

TEST_F(VideoBuild, CommandLineBuildsWhatTheWindowBuildsFromDanglingLines) {
    MakeShow(2);
    const QString list = ShowDir() + "Pictures.ini";
    const QByteArray dangling =
        TTestKit::ReadFile(list) + "Fehlt.jpg | weg\r\n../Diashow_0001/Tulpen.jpg | fremd\r\n";
    TTestKit::WriteFile(list, dangling);

    const TTestKit::TCliRun run = Kit.RunCli({"video", State->CurrentShow, "--kind", "vcd"});
    ASSERT_EQ(run.ExitCode, 0) << run.Err.toStdString();
    const QString path = run.Out.trimmed().split('\n').last();
    const QByteArray fromCli = TTestKit::ReadFile(path);
    ASSERT_FALSE(fromCli.isEmpty()) << path.toStdString();
    EXPECT_FALSE(TTestKit::ReadFile(list).contains("Fehlt.jpg")) << "the list file is rewritten";

    // The window opens the list, writes it, then builds.
    TTestKit::WriteFile(list, dangling);
    TSilentProgress quiet;
    Show->OpenShow(State->CurrentShow, quiet);
    ASSERT_TRUE(Show->SavePictureList());
    const TVideoBuildResult result = Build();
    ASSERT_EQ(result.Outcome, TVideoBuildResult::TOutcome::Finished) << result.Error.toStdString();
    EXPECT_EQ(result.ResultPath, path);
    EXPECT_TRUE(TTestKit::ReadFile(result.ResultPath) == fromCli);
}

TEST_F(VideoBuild, MusicIsDecodedJoinedAndCutToTheShowLength) {
    MakeShow(2, 3);
    // A two-second MP3 and a one-second WAV, 44.1 kHz stereo, for a show of 2 × 3 + 4 s.
    ASSERT_TRUE(MakeTone(ShowDir() + "Audio001.mp3", "libmp3lame", 44100, 2, 2.0));
    TTestKit::WriteFile(ShowDir() + "Audio002.wav", AudioTesting::SineWav(44100, 2, 1.0));

    const TVideoBuildResult result = Build();
    ASSERT_EQ(result.Outcome, TVideoBuildResult::TOutcome::Finished) << result.Error.toStdString();
    const QStringList log = Log();
    const QString inp1 = State->EncoderDir + "Inp001.wav";
    for (const QString& line :
         {QStringLiteral("START: AUDIO"),
          QStringLiteral("   Audio Info: MP3 MPEG 1 Layer III   Samplingrate: 44100"),
          QStringLiteral("     ---------MP3TOWAV---------"),
          QStringLiteral("        Start: lame \"") + ShowDir() + "Audio001.mp3\" \"" + inp1 +
              "\" --decode",
          QStringLiteral("        Fertig: lame"),
          QStringLiteral("     Audio Info: WAV Version: 1  16 Bit  Samplingrate: 44100"),
          QStringLiteral("     Start: Audio002.wav kopieren"),
          QStringLiteral("     Fertig: Inp002.wav wurde kopiert"),
          QStringLiteral("     prepare Audio / cut"), QStringLiteral("     Audio: 10 sec"),
          QStringLiteral("     AviWriter: Audiodatei=Input.wav")})
        EXPECT_TRUE(log.contains(line)) << line.toStdString();
    EXPECT_LT(log.indexOf("     Audio: 10 sec"), log.indexOf("START: AVI"));
    // The join window: opened, both files, its share and position, closed.
    ASSERT_GE(Observer.Joins.size(), 4);
    EXPECT_EQ(Observer.Joins.first(), "shown");
    EXPECT_EQ(Observer.Joins.last(), "hidden");
    EXPECT_EQ(Observer.Joins[1], "Aktuelle Datei: " + inp1);
    EXPECT_TRUE(Observer.Joins.contains("Aktuelle Datei: " + State->EncoderDir + "Inp002.wav"));
    // The list is read again from its start until the show's length is reached.
    QStringList positions = Observer.Joins.filter(" Position: ");
    EXPECT_EQ(positions.last(), "100% Position: 10 Sekunden");
    EXPECT_EQ(positions.removeDuplicates(), 0) << "each change is reported once";
    EXPECT_TRUE(WorkFiles().isEmpty()) << WorkFiles().join(u' ').toStdString();

    const QJsonObject probe = Probe(result.ResultPath);
    const QJsonObject audio = Stream(probe, "audio");
    EXPECT_EQ(audio.value("codec_name").toString(), "pcm_s16le");
    EXPECT_EQ(audio.value("sample_rate").toString(), "44100");
    EXPECT_EQ(audio.value("channels").toInt(), 2);
    // The sound runs the pictures' 6 s, the closing picture's 3 s and one more second, and
    // at most one join block over.
    const qint64 samples = audio.value("nb_frames").toString().toLongLong();
    EXPECT_GE(samples, 10 * 44100);
    EXPECT_LT(samples, 10 * 44100 + 4000);
    EXPECT_NEAR(Stream(probe, "video").value("duration").toString().toDouble(), 9.0, 0.01);
}

TEST_F(VideoBuild, RejectedTrackEndsTheBuildThroughTheFailurePath) {
    MakeShow(2);
    TTestKit::WriteFile(ShowDir() + "Audio001.wav", AudioTesting::SineWav(44100, 2, 1.0));
    TTestKit::WriteFile(ShowDir() + "Audio002.wav", AudioTesting::SineWav(48000, 2, 1.0));

    const TVideoBuildResult result = Build();
    EXPECT_EQ(result.Outcome, TVideoBuildResult::TOutcome::Failed);
    EXPECT_TRUE(result.Error.isEmpty()); // the user was told already
    const auto told = Prompter.OfKind(TScriptedPrompter::TKind::Information);
    ASSERT_EQ(told.size(), 1);
    EXPECT_TRUE(told[0].Text.startsWith(State->Text(10012) + " Audio002.wav " + State->Text(10013)))
        << told[0].Text.toStdString();

    const QStringList log = Log();
    const qsizetype info =
        log.indexOf("     Audio Info: WAV Version: 1  16 Bit  Samplingrate: 48000");
    ASSERT_GE(info, 0);
    EXPECT_EQ(log.value(info + 1), "wrong Samplerate / or not Stereo");
    EXPECT_EQ(log.last(), State->Text(12008));
    EXPECT_FALSE(log.contains("END"));
    EXPECT_TRUE(WorkFiles().isEmpty()) << WorkFiles().join(u' ').toStdString();
    EXPECT_FALSE(QFileInfo::exists(TVideoBuild::ResultPath(*State, TVideoKind::Vcd)));
    EXPECT_EQ(Observer.Bars.last(), 0);
    EXPECT_EQ(Observer.Texts.last(), "0%");
}

TEST_F(VideoBuild, BuildingTwiceKeepsOnlyTheSecondLogAndReplacesTheVideo) {
    MakeShow(1);
    ASSERT_EQ(Build().Outcome, TVideoBuildResult::TOutcome::Finished);
    ASSERT_EQ(Build(TVideoKind::Vcd, TTvStandard::Ntsc).Outcome,
              TVideoBuildResult::TOutcome::Finished);
    const QStringList log = Log();
    EXPECT_EQ(log.count("BEGIN"), 1);
    EXPECT_EQ(log.value(1), "MODE: NTSC VCD");
    const QJsonObject video =
        Stream(Probe(TVideoBuild::ResultPath(*State, TVideoKind::Vcd)), "video");
    EXPECT_EQ(video.value("height").toInt(), 240);
}

TEST_F(VideoBuild, AbortBetweenPicturesStopsAndEmptiesTheWorkFolder) {
    MakeShow(6);
    Observer.AbortAfterSteps = 2; // the reset to 0 % and the first picture
    const TVideoBuildResult result = Build();
    EXPECT_EQ(result.Outcome, TVideoBuildResult::TOutcome::Aborted);
    EXPECT_TRUE(WorkFiles().isEmpty()) << WorkFiles().join(u' ').toStdString();
    EXPECT_FALSE(QFileInfo::exists(TVideoBuild::ResultPath(*State, TVideoKind::Vcd)));
    const QStringList log = Log();
    EXPECT_LT(log.filter("Bild konvertiert").size(), 6);
    EXPECT_EQ(log.last(), State->Text(12001));
    EXPECT_EQ(Observer.Messages.last(), " " + State->Text(12001));
}

TEST_F(VideoBuild, UnreadablePictureFailsWithItsName) {
    MakeShow(2);
    const QString broken = FramePreparation::PicturesOfShow(*State, State->CurrentShow)[1].Source;
    TTestKit::WriteFile(broken, "not a picture");
    const TVideoBuildResult result = Build();
    EXPECT_EQ(result.Outcome, TVideoBuildResult::TOutcome::Failed);
    EXPECT_TRUE(result.Error.contains(QFileInfo(broken).fileName())) << result.Error.toStdString();
    EXPECT_EQ(Log().last(), State->Text(12008));
    EXPECT_TRUE(WorkFiles().isEmpty());
}

TEST(VideoBuildRules, FramesWithTransitionsAreShownKeyFirst) {
    const QStringList shuffled = {"inp0002001.jpg",  "inp0003_Key.jpg", "inp0001002.jpg",
                                  "INP0001_KEY.JPG", "inp0002_Key.jpg", "inp0001001.jpg",
                                  "inp0002002.jpg"};
    EXPECT_EQ(TransitionFrames::SequenceOrder(shuffled),
              (QStringList{"INP0001_KEY.JPG", "inp0001001.jpg", "inp0001002.jpg", "inp0002_Key.jpg",
                           "inp0002001.jpg", "inp0002002.jpg", "inp0003_Key.jpg"}));
    EXPECT_EQ(TransitionFrames::SequenceName(12), "Test_0012.jpg");
    EXPECT_EQ(TransitionFrames::QuantityLine("Test_0012.jpg", 75), "Test_0012.jpg*75");
}

class VideoBuildWithTransitions : public VideoBuild {
protected:
    QStringList Quantity() const {
        return QString::fromUtf8(TTestKit::ReadFile(State->EncoderDir + "Test_quantity.nno"))
            .split(QStringLiteral("\r\n"));
    }
};

TEST_F(VideoBuildWithTransitions, EffectsOffCutsFromKeyFrameToKeyFrame) {
    MakeShow(3, 3);
    State->EffectMode = TEffectMode::Off;
    const TVideoBuildResult result = Build(TVideoKind::VcdTransitions);
    ASSERT_EQ(result.Outcome, TVideoBuildResult::TOutcome::Finished) << result.Error.toStdString();
    EXPECT_EQ(result.ResultPath, State->VideoDir + "ferien_am_meer_VCD.mpg");
    // The frames, the quantity list and the silent sound stay for the encoder.
    EXPECT_EQ(WorkFiles(), (QStringList{"Input.wav", "Test_0000.jpg", "Test_0001.jpg",
                                        "Test_0002.jpg", "Test_0003.jpg", "Test_quantity.nno"}));
    EXPECT_EQ(Quantity(), (QStringList{"Test_0000.jpg*75", "Test_0001.jpg*75", "Test_0002.jpg*75",
                                       "Test_0003.jpg*100", ""}));
    EXPECT_TRUE(Log().contains("KEINE AUDIO DATEI FÜR DIE DIASHOW AUSGEWÄHLT"));

    const QJsonObject probe = Probe(result.ResultPath);
    const QJsonObject video = Stream(probe, "video");
    EXPECT_EQ(video.value("codec_name").toString(), "mpeg1video");
    EXPECT_EQ(video.value("width").toInt(), 352);
    EXPECT_EQ(video.value("height").toInt(), 288);
    EXPECT_EQ(video.value("r_frame_rate").toString(), "25/1");
    const QJsonObject audio = Stream(probe, "audio");
    EXPECT_EQ(audio.value("codec_name").toString(), "mp2");
    EXPECT_EQ(audio.value("sample_rate").toString(), "44100");
    EXPECT_EQ(audio.value("channels").toInt(), 2);
    // Three pictures of 75 frames and the closing picture's 100 at 25 frames per second.
    EXPECT_NEAR(probe.value("format").toObject().value("duration").toString().toDouble(), 13.0,
                0.5);
}

TEST_F(VideoBuildWithTransitions, EffectFramesLieBetweenTheKeyFrames) {
    MakeShow(2, 2);
    State->EffectMode = TEffectMode::On;
    State->Effect = 1;
    const TVideoBuildResult result = Build(TVideoKind::SvcdTransitions, TTvStandard::Ntsc);
    ASSERT_EQ(result.Outcome, TVideoBuildResult::TOutcome::Finished) << result.Error.toStdString();
    const QStringList quantity = Quantity();
    ASSERT_EQ(quantity.size(), 4); // two pictures, the closing picture, the final line end
    // Key frame 1, its in-between frames, key frame 2, its frames, the closing key frame.
    const int between = quantity[1].mid(5, 4).toInt() - 1;
    EXPECT_GT(between, 0);
    EXPECT_EQ(quantity[0], "Test_0000.jpg*50");
    EXPECT_EQ(quantity[2], TransitionFrames::SequenceName(2 * (between + 1)) + "*100");
    const QStringList log = Log();
    EXPECT_LT(log.indexOf("Calculate slides: Picture 1 of 2"),
              log.indexOf("Calculate slides: Picture 2 of 2"));
    // NTSC SVCD frames are stored at the encoder's 480 × 480, each one told.
    EXPECT_EQ(TRasterImage::ReadSize(State->EncoderDir + "Test_0001.jpg"), QSize(480, 480));
    const int frames = 2 * (between + 1) + 1;
    const QString rescaled = State->Text(12006) + QStringLiteral(" %1/") + QString::number(frames);
    EXPECT_TRUE(Observer.Messages.contains(rescaled.arg(1)));
    EXPECT_TRUE(Observer.Messages.contains(rescaled.arg(frames)));
    EXPECT_EQ(Observer.Messages.filter(State->Text(12006) + ' ').size(), frames);

    const QJsonObject probe = Probe(result.ResultPath);
    const QJsonObject video = Stream(probe, "video");
    EXPECT_EQ(video.value("codec_name").toString(), "mpeg2video");
    EXPECT_EQ(video.value("height").toInt(), 480);
    EXPECT_EQ(video.value("r_frame_rate").toString(), "30000/1001");
    const double planned = (2 * 50 + 2 * between + 100) / 25.0;
    EXPECT_NEAR(probe.value("format").toObject().value("duration").toString().toDouble(), planned,
                0.5);
}

} // namespace
