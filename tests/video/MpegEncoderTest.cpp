#include "video/TMpegEncoder.h"

#include "audio/TWaveStream.h"
#include "shell/TProgress.h"
#include "support/QtPrinters.h"
#include "support/TTestKit.h"
#include "video/TFfmpegTools.h"

#include <QColor>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>

namespace Lumerix {

namespace {

using FfmpegTools::Probe;
using FfmpegTools::Stream;
using TDisc = TMpegEncoder::TDisc;
using TStandard = TMpegEncoder::TStandard;

const QList<QColor> KeyColours = {Qt::red, Qt::blue, Qt::green};

/// Cancels once `CancelAtPercent` was reported.
class TCancellingProgress : public TProgress {
public:
    void SetStatus(const QString&) override {}
    void SetPercent(int percent) override { Last = percent; }
    bool Cancelled() const override { return Last >= CancelAtPercent; }
    int CancelAtPercent = 1000;
    int Last = -1;
};

QString FrameName(int k) {
    return QStringLiteral("Test_%1.jpg").arg(k, 4, 10, QLatin1Char('0'));
}

void SaveJpeg(const QImage& image, const QString& path) {
    ASSERT_TRUE(image.save(path, "JPEG", 85)) << path.toStdString();
}

/// A 440 Hz tone of `seconds` as 16-bit PCM.
void WriteWav(const QString& path, double seconds, int rate = 44100, int channels = 2) {
    TWaveStream wave(path, TWaveFormat::Pcm(channels, rate, 16));
    const int samples = int(std::lround(seconds * rate));
    QByteArray block(qsizetype(samples) * channels * 2, '\0');
    auto* out = reinterpret_cast<qint16*>(block.data());
    for (int i = 0; i < samples; ++i)
        for (int c = 0; c < channels; ++c)
            out[i * channels + c] = qint16(8000 * std::sin(2 * M_PI * 440 * i / rate));
    wave.WriteSamples(block.constData(), samples);
    wave.Finish();
}

/// An encoder folder as the frame stage leaves it: solid-colour key frames held by count,
/// with `between` blended frames after every key but the last.
struct TShow {
    QSize Size{352, 288};
    QList<int> Counts{20, 15, 25};
    int Between = 2;

    void Write(const QString& folder) const {
        QByteArray quantity;
        int k = 0;
        for (qsizetype key = 0; key < Counts.size(); ++key) {
            QImage frame(Size, QImage::Format_RGB32);
            frame.fill(KeyColours[key % KeyColours.size()]);
            quantity += (FrameName(k) + u'*' + QString::number(Counts[key]) + "\r\n").toLatin1();
            SaveJpeg(frame, folder + FrameName(k++));
            if (key + 1 == Counts.size())
                break;
            for (int b = 1; b <= Between; ++b) {
                QImage blend = frame.copy();
                QPainter painter(&blend);
                painter.setOpacity(double(b) / (Between + 1));
                painter.fillRect(blend.rect(), KeyColours[(key + 1) % KeyColours.size()]);
                painter.end();
                SaveJpeg(blend, folder + FrameName(k++));
            }
        }
        TTestKit::WriteFile(folder + TMpegEncoder::QuantityFile, quantity);
    }
};

/// One stream of an MPEG as ffmpeg decodes it, written with the `output` arguments.
QByteArray Decoded(const QString& mpeg, const QString& stream, const QStringList& output) {
    QProcess ffmpeg;
    ffmpeg.start("ffmpeg", QStringList{"-v", "error", "-nostdin", "-i", mpeg, "-map", stream} +
                               output + QStringList{"-"});
    ffmpeg.waitForFinished(60000);
    EXPECT_EQ(ffmpeg.exitCode(), 0) << ffmpeg.readAllStandardError().toStdString();
    return ffmpeg.readAllStandardOutput();
}

/// Every decoded frame reduced to the colour of its centre.
QList<QColor> FrameColours(const QString& mpeg) {
    const QByteArray raw = Decoded(
        mpeg, "0:v", {"-vf", "scale=8:8:flags=area", "-f", "rawvideo", "-pix_fmt", "rgb24"});
    QList<QColor> colours;
    for (qsizetype at = 0; at + 192 <= raw.size(); at += 192) {
        const auto* centre = reinterpret_cast<const uchar*>(raw.constData() + at + (4 * 8 + 4) * 3);
        colours.append(QColor(centre[0], centre[1], centre[2]));
    }
    return colours;
}

/// The longest run of frames from one I-picture to the next (or to the end).
int LongestGop(const QString& mpeg) {
    QProcess probe;
    probe.start("ffprobe", {"-v", "error", "-select_streams", "v", "-show_entries",
                            "frame=pict_type", "-of", "csv=p=0", mpeg});
    probe.waitForFinished(60000);
    int longest = 0, run = 0;
    for (const QByteArray& line : probe.readAllStandardOutput().split('\n')) {
        // "I," and the like; side data adds empty lines.
        const QByteArray type = line.trimmed();
        if (type.isEmpty())
            continue;
        run = type.startsWith('I') ? 1 : run + 1;
        longest = std::max(longest, run);
    }
    return longest;
}

/// The decoded sound mixed to one channel.
QList<qint16> Sound(const QString& mpeg) {
    const QByteArray raw = Decoded(mpeg, "0:a", {"-f", "s16le", "-ac", "1"});
    QList<qint16> samples(raw.size() / 2);
    std::memcpy(samples.data(), raw.constData(), std::size_t(samples.size()) * 2);
    return samples;
}

/// The largest absolute sample between `from` and `to` seconds.
int Loudest(const QList<qint16>& sound, double from, double to) {
    int loudest = 0;
    const qsizetype end = std::min(sound.size(), qsizetype(to * 44100));
    for (qsizetype i = qsizetype(from * 44100); i < end; ++i)
        loudest = std::max(loudest, std::abs(int(sound[i])));
    return loudest;
}

bool Near(const QColor& a, const QColor& b) {
    return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) +
               std::abs(a.blue() - b.blue()) <=
           48;
}

class MpegEncoderTest : public ::testing::Test {
protected:
    void SetUp() override {
        Folder = Dir.path() + "/encoder/";
        QDir().mkpath(Folder);
    }
    QString Result(const QString& ending = "_VCD.mpg") const {
        return Dir.path() + "/Show" + ending;
    }

    /// No result, no work file: what every failed or cancelled encoding leaves.
    void ExpectNothingWritten(const QString& result) {
        EXPECT_FALSE(QFileInfo::exists(result));
        EXPECT_FALSE(QFileInfo::exists(result + ".part"));
        EXPECT_EQ(QDir(Dir.path()).entryList({"*.mpg*"}, QDir::Files), QStringList());
    }

    QTemporaryDir Dir;
    QString Folder;
};

// --- Encoding the four formats ---------------------------------------------------------------

struct TFormatCase {
    const char* Name;
    QSize Size;
    const char* Ending;
    TDisc Disc;
    TStandard Standard;
    double WavSeconds; ///< < 0: none; the shipped silent sound is provided
};

void PrintTo(const TFormatCase& c, std::ostream* out) {
    *out << c.Name;
}

class MpegFormats : public MpegEncoderTest, public ::testing::WithParamInterface<TFormatCase> {};

TEST_P(MpegFormats, WritesAStreamOfTheDiscFormatWithHoldsAndSoundInPlace) {
    const TFormatCase& c = GetParam();
    const TShow show{c.Size};
    show.Write(Folder);
    if (c.WavSeconds >= 0)
        WriteWav(Folder + "Input.wav", c.WavSeconds);
    else
        TMpegEncoder::ProvideSilence(Folder, LUMERIX_STAGED_KIT "/video/empty.wav");

    TMpegEncoder encoder = TMpegEncoder::OpenMPDX(Folder, Result(c.Ending));
    EXPECT_EQ(encoder.Disc(), c.Disc);
    EXPECT_EQ(encoder.Standard(), c.Standard);
    EXPECT_EQ(encoder.PlannedFrames25(), 20 + 15 + 25 + 2 * 2);
    EXPECT_DOUBLE_EQ(encoder.PlannedSeconds(), 64 / 25.0);
    const bool pal = c.Standard == TStandard::Pal;
    // The same length at 30000/1001 fps: 64 / 25 s × 29.97 = 76.7 frames.
    EXPECT_EQ(encoder.PlannedFrames(), pal ? 64 : 77);
    TSilentProgress progress;
    encoder.EncodeMPDX(&progress);
    const QString mpeg = Result(c.Ending);
    ASSERT_TRUE(QFileInfo::exists(mpeg));
    EXPECT_FALSE(QFileInfo::exists(encoder.WorkPath()));

    const QJsonObject probe = Probe(mpeg);
    const QJsonObject video = Stream(probe, "video");
    const QJsonObject audio = Stream(probe, "audio");
    const bool svcd = c.Disc == TDisc::Svcd;
    EXPECT_EQ(probe.value("format").toObject().value("format_name").toString(), "mpeg");
    EXPECT_NEAR(probe.value("format").toObject().value("duration").toString().toDouble(),
                encoder.PlannedSeconds(), 0.5);
    EXPECT_EQ(video.value("codec_name").toString(), svcd ? "mpeg2video" : "mpeg1video");
    EXPECT_EQ(video.value("width").toInt(), c.Size.width());
    EXPECT_EQ(video.value("height").toInt(), c.Size.height());
    EXPECT_EQ(video.value("r_frame_rate").toString(), pal ? "25/1" : "30000/1001");
    EXPECT_NEAR(video.value("duration").toString().toDouble(), encoder.PlannedSeconds(), 0.5);
    if (svcd) {
        EXPECT_EQ(video.value("display_aspect_ratio").toString(), "4:3");
    } else {
        EXPECT_EQ(video.value("bit_rate").toString(), "1150000");
    }
    EXPECT_EQ(audio.value("codec_name").toString(), "mp2");
    EXPECT_EQ(audio.value("sample_rate").toString(), "44100");
    EXPECT_EQ(audio.value("channels").toInt(), 2);
    EXPECT_EQ(audio.value("bit_rate").toString(), "224000");
    EXPECT_NEAR(audio.value("duration").toString().toDouble(), encoder.PlannedSeconds(), 0.5);

    // The disc program streams: 2324-byte sectors, MPEG-1 packs for VCD, MPEG-2 for SVCD.
    QFile file(mpeg);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.size() % 2324, 0);
    const QByteArray head = file.read(5);
    ASSERT_EQ(head.left(4), QByteArray::fromHex("000001ba"));
    EXPECT_EQ(uchar(head[4]) & (svcd ? 0xC0 : 0xF0), svcd ? 0x40 : 0x20);

    // Players expect at most 15 pictures per group in PAL and 18 in NTSC, on both discs.
    EXPECT_EQ(LongestGop(mpeg), pal ? 15 : 18);

    // Each key colour fills exactly the frames of its hold; blends lie between.
    const QList<QColor> colours = FrameColours(mpeg);
    ASSERT_EQ(colours.size(), encoder.PlannedFrames());
    const QList<int> keyEntries{0, 3, 6};
    for (int key = 0; key < 3; ++key) {
        const int entry = keyEntries[key];
        for (qint64 f = encoder.StartFrame(entry); f < encoder.StartFrame(entry + 1); ++f) {
            EXPECT_TRUE(Near(colours[f], KeyColours[key]))
                << "frame " << f << " of key " << key << ": " << colours[f].name().toStdString();
        }
        if (entry > 0) {
            EXPECT_FALSE(Near(colours[encoder.StartFrame(entry) - 1], KeyColours[key]))
                << "the blend before key " << key << " is missing";
        }
    }

    // The sound is cut or padded to the video's length (up to the last audio block), not as
    // long as the sound file. A tone shorter than the video is followed by silence; a longer
    // one plays to the end.
    const QList<qint16> sound = Sound(mpeg);
    const double end = encoder.PlannedSeconds();
    EXPECT_GE(sound.size(), qsizetype(end * 44100));
    EXPECT_LT(sound.size(), qsizetype(end * 44100) + 1152);
    if (c.WavSeconds < 0) {
        EXPECT_LT(Loudest(sound, 0, end), 64);
    } else if (c.WavSeconds < end) {
        EXPECT_GT(Loudest(sound, 0.1, c.WavSeconds - 0.1), 4000);
        EXPECT_LT(Loudest(sound, c.WavSeconds + 0.1, end), 64);
    } else {
        EXPECT_GT(Loudest(sound, end - 0.5, end - 0.1), 4000);
    }
}

INSTANTIATE_TEST_SUITE_P(
    AllFour, MpegFormats,
    ::testing::Values(
        TFormatCase{"PalVcdSoundLonger", {352, 288}, "_VCD.mpg", TDisc::Vcd, TStandard::Pal, 6},
        TFormatCase{"NtscVcdSoundShorter", {352, 240}, "_VCD.mpg", TDisc::Vcd, TStandard::Ntsc, 1},
        TFormatCase{
            "PalSvcdSoundShorter", {480, 576}, "_SVCD.mpg", TDisc::Svcd, TStandard::Pal, 1.5},
        TFormatCase{
            "NtscSvcdShippedSilence", {480, 480}, "_svcd.MPG", TDisc::Svcd, TStandard::Ntsc, -1}),
    [](const auto& info) { return std::string(info.param.Name); });

// At 29.97 fps every in-between frame still gets a frame of its own, and the holds add up.
TEST_F(MpegEncoderTest, NtscTimingKeepsEveryFrameAndTheTotalLength) {
    TShow show{{352, 240}, {1, 1, 7, 1, 125}, 3};
    show.Write(Folder);
    WriteWav(Folder + "Input.wav", 1);
    const TMpegEncoder encoder = TMpegEncoder::OpenMPDX(Folder, Result());
    ASSERT_EQ(encoder.Frames().size(), 5 + 4 * 3);
    for (int i = 0; i < encoder.Frames().size(); ++i)
        EXPECT_GT(encoder.StartFrame(i + 1), encoder.StartFrame(i)) << "entry " << i;
    const double seconds = encoder.PlannedSeconds();
    EXPECT_NEAR(encoder.PlannedFrames() * 1001.0 / 30000.0, seconds, 0.5 * 1001.0 / 30000.0);
}

// --- Folders the encoder refuses -------------------------------------------------------------

struct TBadCase {
    const char* Name;
    std::function<void(const QString& folder)> Spoil;
    const char* Ending;
    const char* Named; ///< the text the error must contain
};

void PrintTo(const TBadCase& c, std::ostream* out) {
    *out << c.Name;
}

class MpegBadFolder : public MpegEncoderTest, public ::testing::WithParamInterface<TBadCase> {};

TEST_P(MpegBadFolder, IsRefusedNamingTheFileAndWritesNothing) {
    const TBadCase& c = GetParam();
    TShow{}.Write(Folder);
    WriteWav(Folder + "Input.wav", 1);
    c.Spoil(Folder);
    const QString result = Result(c.Ending);
    try {
        TMpegEncoder::OpenMPDX(Folder, result);
        ADD_FAILURE() << "no error";
    } catch (const TMpegError& error) {
        EXPECT_TRUE(error.Text().contains(c.Named)) << error.Text().toStdString();
    }
    ExpectNothingWritten(result);
}

void Remove(const QString& path) {
    ASSERT_TRUE(QFile::remove(path)) << path.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MpegBadFolder,
    ::testing::Values(
        TBadCase{"ResultNameWithoutDisc", [](const QString&) {}, ".mpg", "Show.mpg"},
        TBadCase{"NoFrames",
                 [](const QString& f) {
                     for (const QString& name : QDir(f).entryList({"Test_*.jpg"}))
                         Remove(f + name);
                 },
                 "_VCD.mpg", "Test_0000.jpg"},
        TBadCase{"GapInTheSequence", [](const QString& f) { Remove(f + "Test_0002.jpg"); },
                 "_VCD.mpg", "Test_0002.jpg"},
        TBadCase{"SvcdNameForVcdFrames", [](const QString&) {}, "_SVCD.mpg", "Test_0000.jpg"},
        TBadCase{"OneFrameOfAnotherSize",
                 [](const QString& f) {
                     SaveJpeg(QImage(352, 240, QImage::Format_RGB32), f + "Test_0004.jpg");
                 },
                 "_VCD.mpg", "Test_0004.jpg"},
        TBadCase{
            "FrameNotAJpeg",
            [](const QString& f) { TTestKit::WriteFile(f + "Test_0001.jpg", "not a picture"); },
            "_VCD.mpg", "Test_0001.jpg"},
        TBadCase{"NoQuantityList", [](const QString& f) { Remove(f + "Test_quantity.nno"); },
                 "_VCD.mpg", "Test_quantity.nno"},
        TBadCase{"QuantityLineWithoutCount",
                 [](const QString& f) {
                     TTestKit::WriteFile(f + "Test_quantity.nno",
                                         "Test_0000.jpg*20\r\nTest_0003.jpg\r\n");
                 },
                 "_VCD.mpg", "line 2"},
        TBadCase{"QuantityNamesNoFrame",
                 [](const QString& f) {
                     TTestKit::WriteFile(f + "Test_quantity.nno", "Test_0099.jpg*20\r\n");
                 },
                 "_VCD.mpg", "Test_0099.jpg"},
        TBadCase{"NoSound", [](const QString& f) { Remove(f + "Input.wav"); }, "_VCD.mpg",
                 "Input.wav"},
        TBadCase{"Sound48k", [](const QString& f) { WriteWav(f + "Input.wav", 1, 48000); },
                 "_VCD.mpg", "Input.wav is 48000 Hz"},
        TBadCase{"SoundMono", [](const QString& f) { WriteWav(f + "Input.wav", 1, 44100, 1); },
                 "_VCD.mpg", "Input.wav is 44100 Hz, 1 channel"},
        TBadCase{
            "SoundNotAWave",
            [](const QString& f) { TTestKit::WriteFile(f + "Input.wav", QByteArray(100, 'x')); },
            "_VCD.mpg", "Input.wav cannot be read"}),
    [](const auto& info) { return std::string(info.param.Name); });

// --- Cancel and failures while encoding ------------------------------------------------------

TEST_F(MpegEncoderTest, CancelLeavesTheEarlierResultAndNoWorkFile) {
    TShow{}.Write(Folder);
    WriteWav(Folder + "Input.wav", 1);
    const QString result = Result();
    TTestKit::WriteFile(result, "earlier video");
    TMpegEncoder encoder = TMpegEncoder::OpenMPDX(Folder, result);
    TCancellingProgress progress;
    progress.CancelAtPercent = 30;
    EXPECT_THROW(encoder.EncodeMPDX(&progress), TMpegCancelled);
    EXPECT_LT(progress.Last, 40);
    EXPECT_EQ(TTestKit::ReadFile(result), "earlier video");
    EXPECT_FALSE(QFileInfo::exists(encoder.WorkPath()));
}

// A frame damaged after the folder was checked: replaced by junk, or cut off inside its scan
// (which libjpeg alone would only warn about).
TEST_F(MpegEncoderTest, FrameSpoiltAfterOpeningFailsNamingItAndLeavesNothing) {
    const std::function<QByteArray(const QByteArray&)> spoilers[] = {
        [](const QByteArray&) { return QByteArray("gone bad"); },
        [](const QByteArray& jpeg) { return jpeg.left(jpeg.size() / 2); },
    };
    for (const auto& spoil : spoilers) {
        TShow{}.Write(Folder);
        WriteWav(Folder + "Input.wav", 1);
        TMpegEncoder encoder = TMpegEncoder::OpenMPDX(Folder, Result());
        TTestKit::WriteFile(Folder + "Test_0005.jpg",
                            spoil(TTestKit::ReadFile(Folder + "Test_0005.jpg")));
        try {
            encoder.EncodeMPDX(nullptr);
            ADD_FAILURE() << "no error";
        } catch (const TMpegError& error) {
            EXPECT_TRUE(error.Text().contains("Test_0005.jpg")) << error.Text().toStdString();
        }
        ExpectNothingWritten(Result());
    }
}

// --- The command line ------------------------------------------------------------------------

TEST(MpegEncodeCli, EncodesOrFailsWithTheReason) {
    TTestKit kit;
    const QString folder = kit.Root() + "encoder/";
    QDir().mkpath(folder);
    TShow{{480, 576}, {10, 10}, 1}.Write(folder);
    WriteWav(folder + "Input.wav", 1);

    const QString result = kit.Root() + "Show_SVCD.mpg";
    const TTestKit::TCliRun run = kit.RunCli({"mpeg-encode", folder, result});
    ASSERT_EQ(run.ExitCode, 0) << run.Err.toStdString();
    EXPECT_TRUE(run.Out.trimmed().endsWith(result)) << run.Out.toStdString();
    EXPECT_TRUE(run.Out.contains("100%")) << run.Out.toStdString();
    EXPECT_EQ(Stream(Probe(result), "video").value("codec_name").toString(), "mpeg2video");

    const TTestKit::TCliRun wrong =
        kit.RunCli({"mpeg-encode", folder, kit.Root() + "Show_VCD.mpg"});
    EXPECT_NE(wrong.ExitCode, 0);
    EXPECT_TRUE(wrong.Err.contains("Test_0000.jpg is 480")) << wrong.Err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(kit.Root() + "Show_VCD.mpg"));
}

} // namespace

} // namespace Lumerix
