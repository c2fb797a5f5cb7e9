#include "TFfmpegTools.h"
#include "TVideoShowFixture.h"
#include "shell/TProgress.h"
#include "video/TMp4Writer.h"
#include "video/TVideoBuild.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QProcess>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

using namespace Lumerix;
using namespace Lumerix::FfmpegTools;

namespace {

class TQuietObserver final : public TVideoBuildObserver {
public:
    void SetStatus(const QString&) override {}
    void AddMessage(const QString& text) override { Messages.append(text); }
    void ClearMessages() override {}
    void SetProgress(int, const QString&) override { ++Reports; }
    bool AbortRequested() const override { return AbortAfter >= 0 && Reports > AbortAfter; }

    QStringList Messages;
    int Reports = 0;
    int AbortAfter = -1;
};

// Cancels once the writer has reported `after` times.
class TCancellingProgress final : public TProgress {
public:
    void SetStatus(const QString&) override { ++Reports; }
    void SetPercent(int) override {}
    bool Cancelled() const override { return Reports > 1; }
    int Reports = 0;
};

QString SolidJpeg(const QString& path, QColor colour) {
    QImage image(1200, 900, QImage::Format_RGB888);
    image.fill(colour);
    QDir().mkpath(QFileInfo(path).path());
    TRasterImage(image).Save(path);
    return path;
}

// The decoded frame `number` of a video.
QImage FrameOf(const QString& video, int number, const QString& folder) {
    const QString png = folder + QStringLiteral("/frame-%1.png").arg(number);
    if (!Ffmpeg({"-i", video, "-vf", QStringLiteral("select=eq(n\\,%1)").arg(number), "-vsync", "0",
                 "-frames:v", "1", png}))
        return {};
    return QImage(png);
}

QColor Centre(const QImage& frame) {
    return frame.pixelColor(frame.width() / 2, frame.height() / 2);
}

int ChapterCount(const QString& video) {
    QProcess process;
    process.start("ffprobe", {"-v", "error", "-print_format", "json", "-show_chapters", video});
    process.waitForFinished(30000);
    return int(QJsonDocument::fromJson(process.readAllStandardOutput())
                   .object()
                   .value("chapters")
                   .toArray()
                   .size());
}

bool DecodesCleanly(const QString& video) {
    QProcess process;
    process.start("ffmpeg", {"-v", "error", "-nostdin", "-i", video, "-f", "null", "-"});
    process.waitForFinished(60000);
    return process.exitCode() == 0 && process.readAllStandardError().trimmed().isEmpty();
}

class Mp4Video : public VideoTesting::TVideoShowFixture {
protected:
    // A show of solid red, green and blue pictures held `seconds` each.
    void MakeColourShow(int seconds) {
        Show->NewShow(QStringLiteral("Farben"));
        QStringList sources;
        const QColor colours[] = {Qt::red, Qt::green, Qt::blue};
        for (int i = 0; i < 3; ++i)
            sources.append(
                SolidJpeg(Kit.Root() + QStringLiteral("photos/c%1.jpg").arg(i), colours[i]));
        TSilentProgress progress;
        ASSERT_TRUE(Show->AddPictures(sources, -1, progress));
        State->SecondsPerPicture = QString::number(seconds);
        Show->SaveShow(false);
    }

    TVideoBuildResult Build(const TMp4Options& options) {
        TVideoBuild build(*State, TVideoKind::Mp4, TTvStandard::Pal, Observer, Prompter);
        build.SetMp4Options(options);
        return build.Run();
    }

    TQuietObserver Observer;
};

} // namespace

// Every MP4 a build writes, checked with ffprobe.
TEST_F(Mp4Video, EveryChoiceGivesAPlayableFile) {
    const struct {
        const char* Trap;
        int Height;
        bool Wide;
        int Fps;
        bool Motion;
        bool Fill;
        bool Transitions;
        QString Music; ///< "" for none, else codec:rate:channels
        QSize Size;
    } cases[] = {
        {"720p wide with transitions and MP3",
         720,
         true,
         30,
         true,
         false,
         true,
         "libmp3lame:44100:2",
         {1280, 720}},
        {"4:3 filled at 25 fps, cuts, no music",
         720,
         false,
         25,
         false,
         true,
         false,
         "",
         {960, 720}},
        {"50 fps with mono WAV at 22050 Hz",
         720,
         true,
         50,
         true,
         true,
         true,
         "pcm_s16le:22050:1",
         {1280, 720}},
    };
    MakeColourShow(1);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Trap);
        QDir show(ShowDir());
        for (const QString& old : show.entryList({"Audio*"}))
            show.remove(old);
        if (!c.Music.isEmpty()) {
            const QStringList music = c.Music.split(':');
            ASSERT_TRUE(
                MakeTone(ShowDir() + (music[0] == "libmp3lame" ? "Audio001.mp3" : "Audio001.wav"),
                         music[0], music[1].toInt(), music[2].toInt(), 1.5));
        }
        State->EffectMode = c.Transitions ? TEffectMode::On : TEffectMode::Off;
        State->Effect = 1;
        TMp4Options options;
        options.Height = c.Height;
        options.Wide = c.Wide;
        options.FramesPerSecond = c.Fps;
        options.Motion = c.Motion;
        options.Fill = c.Fill;
        const TVideoBuildResult result = Build(options);
        ASSERT_EQ(result.Outcome, TVideoBuildResult::TOutcome::Finished)
            << result.Error.toStdString();
        EXPECT_TRUE(result.ResultPath.endsWith("_HD.mp4"));

        const QJsonObject probe = Probe(result.ResultPath);
        const QJsonObject video = Stream(probe, "video");
        const QJsonObject audio = Stream(probe, "audio");
        EXPECT_EQ(video.value("codec_name").toString(), "h264");
        EXPECT_EQ(video.value("profile").toString(), "High");
        EXPECT_EQ(video.value("pix_fmt").toString(), "yuv420p");
        EXPECT_EQ(QSize(video.value("width").toInt(), video.value("height").toInt()), c.Size);
        EXPECT_EQ(video.value("r_frame_rate").toString(), QStringLiteral("%1/1").arg(c.Fps));
        EXPECT_EQ(video.value("sample_aspect_ratio").toString(), "1:1");
        EXPECT_EQ(video.value("color_primaries").toString(), "bt709");
        const double length = 3.0 + (c.Transitions ? 2.0 : 0.0);
        EXPECT_NEAR(video.value("duration").toString().toDouble(), length, 1.0 / c.Fps);
        EXPECT_NEAR(probe.value("format").toObject().value("duration").toString().toDouble(),
                    length, 1.0 / c.Fps + 0.03);
        EXPECT_EQ(audio.value("codec_name").toString(), "aac");
        EXPECT_EQ(audio.value("profile").toString(), "LC");
        EXPECT_EQ(audio.value("sample_rate").toString(), "48000");
        EXPECT_EQ(audio.value("channels").toInt(), 2);
        const QByteArray bytes = TTestKit::ReadFile(result.ResultPath);
        EXPECT_LT(bytes.indexOf("moov"), bytes.indexOf("mdat"));
        EXPECT_EQ(ChapterCount(result.ResultPath), 3);
        EXPECT_TRUE(DecodesCleanly(result.ResultPath));
        EXPECT_FALSE(QFileInfo::exists(result.ResultPath + ".part"));
    }
}

TEST_F(Mp4Video, HeldFramesShowTheirPictureAndTransitionsMixBoth) {
    MakeColourShow(2);
    State->EffectMode = TEffectMode::On;
    State->Effect = 1; // the cross-fade
    TMp4Options options;
    options.Height = 720;
    options.FramesPerSecond = 30;
    const TVideoBuildResult result = Build(options);
    ASSERT_EQ(result.Outcome, TVideoBuildResult::TOutcome::Finished) << result.Error.toStdString();
    const struct {
        const char* Trap;
        int Frame;
        int Red, Green, Blue;
    } cases[] = {
        {"middle of the first hold is red", 30, 255, 0, 0},
        {"middle of the second hold is green", 90 + 30, 0, 255, 0},
        {"middle of the last hold is blue", 180 + 30, 0, 0, 255},
        {"middle of the first transition mixes red and green", 60 + 15, 128, 128, 0},
        {"middle of the second transition mixes green and blue", 150 + 15, 0, 128, 128},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Trap);
        const QColor colour = Centre(FrameOf(result.ResultPath, c.Frame, Kit.Root()));
        EXPECT_NEAR(colour.red(), c.Red, 24);
        EXPECT_NEAR(colour.green(), c.Green, 24);
        EXPECT_NEAR(colour.blue(), c.Blue, 24);
    }
}

TEST_F(Mp4Video, CancelMissingEncoderAndFullDiskKeepThePreviousVideo) {
    MakeColourShow(1);
    const QString result = TVideoBuild::ResultPath(*State, TVideoKind::Mp4);
    TTestKit::WriteFile(result, "the previous video");

    {
        SCOPED_TRACE("cancel");
        TMp4Writer writer;
        writer.Options.Height = 720;
        writer.Pictures = {{Kit.Root() + "photos/c0.jpg", "", ""},
                           {Kit.Root() + "photos/c1.jpg", "", ""}};
        writer.SecondsPerPicture = 60;
        writer.ResultPath = result;
        TCancellingProgress progress;
        writer.Progress = &progress;
        EXPECT_THROW(writer.Write(), TMp4Cancelled);
    }
    {
        SCOPED_TRACE("the build's abort button");
        Observer.AbortAfter = 0;
        State->SecondsPerPicture = "60";
        const TVideoBuildResult aborted = Build(TMp4Options());
        EXPECT_EQ(aborted.Outcome, TVideoBuildResult::TOutcome::Aborted);
        Observer.AbortAfter = -1;
        State->SecondsPerPicture = "1";
    }
    {
        SCOPED_TRACE("missing encoder");
        TMp4Options options;
        options.VideoEncoder = "no-such-h264-encoder";
        const TVideoBuildResult failed = Build(options);
        EXPECT_EQ(failed.Outcome, TVideoBuildResult::TOutcome::Failed);
        EXPECT_TRUE(failed.Error.contains("no-such-h264-encoder")) << failed.Error.toStdString();
    }
    {
        SCOPED_TRACE("full disk");
        // A file size limit stands in for a full disk: writes beyond it fail as they would.
        const auto previous = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{};
        getrlimit(RLIMIT_FSIZE, &limit);
        const rlimit small{16 * 1024, limit.rlim_max};
        setrlimit(RLIMIT_FSIZE, &small);
        const TTestKit::TCliRun run = Kit.RunCli(
            {"video", State->CurrentShow, "--kind", "mp4", "--size", "720p", "--motion", "on"});
        setrlimit(RLIMIT_FSIZE, &limit);
        std::signal(SIGXFSZ, previous);
        EXPECT_NE(run.ExitCode, 0);
        EXPECT_TRUE(run.Err.contains("File too large")) << run.Err.toStdString();
    }
    EXPECT_EQ(TTestKit::ReadFile(result), "the previous video");
    EXPECT_FALSE(QFileInfo::exists(result + ".part"));
}
