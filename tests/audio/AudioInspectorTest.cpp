#include "TAudioFixture.h"

#include "audio/TAudioInspector.h"
#include "support/TTestKit.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace Lumerix;
using namespace Lumerix::AudioTesting;

namespace {

QStringList Captions(const TAudioInfo& info) {
    QStringList captions;
    for (const auto& field : info.Fields)
        captions << field.Caption;
    return captions;
}

QString Value(const TAudioInfo& info, const QString& caption) {
    for (const auto& field : info.Fields) {
        if (field.Caption == caption)
            return field.Value;
    }
    return QStringLiteral("<none>");
}

void ExpectNoResult(const TAudioInfo& info) {
    EXPECT_EQ(info.Heading, "");
    EXPECT_EQ(info.InfoVersion, "");
    EXPECT_EQ(info.InfoDetail, "");
    EXPECT_EQ(info.InfoSampleRate, "");
    EXPECT_EQ(info.InfoStereo, "");
}

TEST(AudioInspector, Mp3FieldsInTheWindowsOrder) {
    // Twenty 417-byte frames: 0.52 s.
    const QString path = Write("fields.MP3", FrameTrain(Mpeg1Header, 417, 20));
    const TAudioInfo info = TAudioInspector::Inspect(path);
    EXPECT_EQ(info.Kind, TAudioInfo::TKind::Mp3) << "the extension matches in any case";
    EXPECT_EQ(info.Heading, "MP3 File");
    EXPECT_EQ(info.Message, "");
    EXPECT_EQ(
        Captions(info),
        (QStringList{"Valid MPEG:", "File size:", "First frame at:", "Bit rate:", "MPEG type:",
                     "Duration:", "Sample rate:", "Channel mode:", "Emphasis:", "Encoder:",
                     "CRC protection:", "Total frames:", "Copyright:", "Original:"}));
    const QStringList values = {"Yes",
                                "8340 bytes",
                                "0 bytes",
                                "CBR 128 kbit/s",
                                "MPEG 1 Layer III",
                                ".5 sec.",
                                "44100 Hz",
                                "Stereo",
                                "None",
                                "Unknown",
                                "No",
                                "20",
                                "No",
                                "No"};
    for (qsizetype i = 0; i < values.size() && i < info.Fields.size(); ++i)
        EXPECT_EQ(info.Fields[i].Value, values[i]) << info.Fields[i].Caption.toStdString();
    EXPECT_EQ(info.InfoVersion, "MPEG 1");
    EXPECT_EQ(info.InfoDetail, "Layer III");
    EXPECT_EQ(info.InfoSampleRate, "44100");
    EXPECT_EQ(info.InfoStereo, "STEREO");
}

TEST(AudioInspector, Mp3FlagsAndLongerDurations) {
    // Protected, copyright, original, emphasis 50/15 ms, joint stereo; 100 frames: 2.6 s.
    QByteArray bytes = FrameTrain(Bytes({0xFF, 0xFA, 0x90, 0x4D}), 417, 100);
    const TAudioInfo info = TAudioInspector::Inspect(Write("flags.mp3", bytes));
    EXPECT_EQ(Value(info, "CRC protection:"), "Yes");
    EXPECT_EQ(Value(info, "Copyright:"), "Yes");
    EXPECT_EQ(Value(info, "Original:"), "Yes");
    EXPECT_EQ(Value(info, "Emphasis:"), "50/15 ms");
    EXPECT_EQ(Value(info, "Channel mode:"), "Joint Stereo");
    EXPECT_EQ(Value(info, "Duration:"), "2.6 sec.");
    EXPECT_EQ(info.InfoStereo, "STEREO");

    // A Xing header makes it VBR, frames and duration from the header.
    QByteArray vbr = FrameTrain(Mpeg1Header, 417, 20);
    vbr.replace(36, 4, "Xing");
    PutBigEndian32(vbr, 44, 1000);
    PutBigEndian32(vbr, 48, 417000);
    vbr.replace(156, 8, "LAME3.90");
    const TAudioInfo xing = TAudioInspector::Inspect(Write("xing.mp3", vbr));
    EXPECT_EQ(Value(xing, "Bit rate:"), "VBR 128 kbit/s");
    EXPECT_EQ(Value(xing, "Total frames:"), "1000");
    EXPECT_EQ(Value(xing, "Duration:"), "26.1 sec.");
    EXPECT_EQ(Value(xing, "Encoder:"), "LAME 3.90");
}

TEST(AudioInspector, UnusableMp3GivesNoResultStrings) {
    // Not MPEG at all: only "Valid MPEG: No".
    const TAudioInfo noise = TAudioInspector::Inspect(Write("noise.mp3", QByteArray(5000, '\x33')));
    EXPECT_EQ(noise.Kind, TAudioInfo::TKind::Mp3);
    ASSERT_EQ(noise.Fields.size(), 1);
    EXPECT_EQ(noise.Fields[0].Caption, "Valid MPEG:");
    EXPECT_EQ(noise.Fields[0].Value, "No");
    EXPECT_EQ(noise.Message, "");
    ExpectNoResult(noise);

    // Frames, but under a tenth of a second.
    const TAudioInfo brief =
        TAudioInspector::Inspect(Write("brief.mp3", FrameTrain(Mpeg1Header, 417, 3)));
    EXPECT_EQ(Value(brief, "Valid MPEG:"), "No");
    ExpectNoResult(brief);

    const QString missing = Folder() + "missing.mp3";
    const TAudioInfo gone = TAudioInspector::Inspect(missing);
    EXPECT_EQ(gone.Message, "The file does not exist: " + missing);
    EXPECT_TRUE(gone.Fields.isEmpty());
    ExpectNoResult(gone);

    const QString tiny = Write("tiny.mp3", QByteArray(100, '\0'));
    const TAudioInfo unreadable = TAudioInspector::Inspect(tiny);
    EXPECT_EQ(unreadable.Message, "Can not read data from the file: " + tiny);
    ExpectNoResult(unreadable);

    const TAudioInfo nothing = TAudioInspector::Inspect(QString());
    EXPECT_EQ(nothing.Kind, TAudioInfo::TKind::None);
    EXPECT_TRUE(nothing.Fields.isEmpty());
    EXPECT_EQ(nothing.Message, "");
}

TEST(AudioInspector, WavHeaderFields) {
    const struct {
        QByteArray Header;
        QStringList Values;
        const char* Version;
        const char* Detail;
        const char* Rate;
        const char* Stereo;
    } cases[] = {
        {WavHeader(1, 1, 22050, 16, 22050 * 2 * 3),
         {"Yes", "132336 bytes", "1", "16", "22050 Hz", "Mono", "0:00:01"},
         "1",
         "16 Bit",
         "22050",
         ""},
        // Four bytes per sample frame are assumed: 1 h 2 min 5 s of 16-bit stereo.
        {WavHeader(1, 2, 44100, 16, 44100u * 4 * 3725),
         {"Yes", "657090036 bytes", "1", "16", "44100 Hz", "Joint Stereo", "1:02:05"},
         "1",
         "16 Bit",
         "44100",
         "STEREO"},
        {WavHeader(3, 6, 48000, 32, 48000 * 4 * 90),
         {"Yes", "17280036 bytes", "3", "32", "48000 Hz", "Joint Stereo", "0:01:30"},
         "3",
         "32 Bit",
         "48000",
         "STEREO"},
        // A day and more wraps round like a time of day.
        {WavHeader(1, 2, 8000, 8, 8000u * 4 * (86400 + 61)),
         {"Yes", "2766752036 bytes", "1", "8", "8000 Hz", "Joint Stereo", "0:01:01"},
         "1",
         "8 Bit",
         "8000",
         "STEREO"},
        {WavHeader(1, 0, 0, 0, 1000),
         {"Yes", "1036 bytes", "1", "0", "0 Hz", "Joint Stereo", "0:00:00"},
         "1",
         "0 Bit",
         "0",
         "STEREO"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Values.join(", ").toStdString());
        const TAudioInfo info = TAudioInspector::Inspect(Write("header.wav", c.Header));
        EXPECT_EQ(info.Kind, TAudioInfo::TKind::Wav);
        EXPECT_EQ(info.Heading, "WAV File");
        EXPECT_EQ(Captions(info),
                  (QStringList{"Valid WAV:", "File size:", "WAV Format:", "Bits per sample:",
                               "Sample rate:", "Channel mode:", "Duration:"}));
        QStringList values;
        for (const auto& field : info.Fields)
            values << field.Value;
        EXPECT_EQ(values, c.Values);
        EXPECT_EQ(info.InfoVersion, c.Version);
        EXPECT_EQ(info.InfoDetail, c.Detail);
        EXPECT_EQ(info.InfoSampleRate, c.Rate);
        EXPECT_EQ(info.InfoStereo, c.Stereo);
    }
}

TEST(AudioInspector, WavIsReadFromItsFirst44BytesOnly) {
    // A real file with sound after the header; the header fields are all that count.
    const TAudioInfo real = TAudioInspector::Inspect(Write("tone.wav", SineWav(22050, 1, 0.5)));
    EXPECT_EQ(Value(real, "File size:"), QString::number(36 + 22050) + " bytes");
    EXPECT_EQ(real.InfoStereo, "");

    // Any other name is read as WAV, whatever it holds.
    const TAudioInfo other = TAudioInspector::Inspect(Write("other.ogg", QByteArray(64, 'x')));
    EXPECT_EQ(other.Kind, TAudioInfo::TKind::Wav);
    EXPECT_EQ(Value(other, "Channel mode:"), "Joint Stereo");

    const QString shortFile = Write("short.wav", WavHeader(1, 2, 44100, 16, 0).left(43));
    const TAudioInfo truncated = TAudioInspector::Inspect(shortFile);
    EXPECT_EQ(truncated.Message, "Can not read data from the file: " + shortFile);
    EXPECT_TRUE(truncated.Fields.isEmpty());
    ExpectNoResult(truncated);

    const TAudioInfo missing = TAudioInspector::Inspect(Folder() + "missing.wav");
    EXPECT_EQ(missing.Message, "Can not read data from the file: " + Folder() + "missing.wav");
    ExpectNoResult(missing);
}

TEST(AudioInspector, SlideshowAcceptsOnly44100HzStereo) {
    if (!HaveProgram("lame"))
        GTEST_SKIP() << "lame is not installed";
    const struct {
        const char* Name;
        bool Accepted;
    } cases[] = {
        {"joint128", true}, {"stereoVbr", true}, {"stereo48k", false},
        {"mono", false},    {"dualCrc", false},  {"mpeg2", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TAudioInspector::AcceptedForSlideshow(TAudioInspector::Inspect(Lame(c.Name))),
                  c.Accepted)
            << c.Name;

    // Right after an accepted file, a file that is not MPEG is still refused.
    ASSERT_TRUE(TAudioInspector::AcceptedForSlideshow(TAudioInspector::Inspect(Lame("joint128"))));
    EXPECT_FALSE(TAudioInspector::AcceptedForSlideshow(
        TAudioInspector::Inspect(Write("fake.mp3", QByteArray(4096, '\x20')))));

    // WAV files by their header.
    EXPECT_TRUE(TAudioInspector::AcceptedForSlideshow(
        TAudioInspector::Inspect(Write("cd.wav", WavHeader(1, 2, 44100, 16, 0)))));
    EXPECT_FALSE(TAudioInspector::AcceptedForSlideshow(
        TAudioInspector::Inspect(Write("mono.wav", WavHeader(1, 1, 44100, 16, 0)))));
}

class AudioCli : public testing::Test {
protected:
    TTestKit Kit;
};

TEST_F(AudioCli, PrintsTheFieldsAndResultStrings) {
    const QString mp3 = Write("cli.mp3", FrameTrain(Mpeg1Header, 417, 20));
    const auto run = Kit.RunCli({"audio-info", mp3});
    ASSERT_EQ(run.ExitCode, 0) << run.Err.toStdString();
    const QStringList lines = run.Out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 18);
    EXPECT_EQ(lines[0], "Valid MPEG: Yes");
    EXPECT_EQ(lines[3], "Bit rate: CBR 128 kbit/s");
    EXPECT_EQ(lines[13], "Original: No");
    EXPECT_EQ(lines.mid(14), (QStringList{"InfoVersion=MPEG 1", "InfoDetail=Layer III",
                                          "InfoSampleRate=44100", "InfoStereo=STEREO"}));

    const auto wav = Kit.RunCli({"audio-info", Write("cli.wav", WavHeader(1, 1, 22050, 8, 0))});
    ASSERT_EQ(wav.ExitCode, 0) << wav.Err.toStdString();
    EXPECT_TRUE(wav.Out.startsWith("Valid WAV: Yes\nFile size: 36 bytes\n"));
    EXPECT_TRUE(wav.Out.contains("\nChannel mode: Mono\nDuration: 0:00:00\n"));
    EXPECT_TRUE(wav.Out.endsWith("InfoDetail=8 Bit\nInfoSampleRate=22050\nInfoStereo=\n"));

    const auto invalid = Kit.RunCli({"audio-info", Write("cli-bad.mp3", QByteArray(300, 'x'))});
    EXPECT_EQ(invalid.ExitCode, 0);
    EXPECT_EQ(invalid.Out, "Valid MPEG: No\nInfoVersion=\nInfoDetail=\nInfoSampleRate=\n"
                           "InfoStereo=\n");
}

TEST_F(AudioCli, MessagesFailTheCommand) {
    const QString missing = Folder() + "nowhere.mp3";
    const auto run = Kit.RunCli({"audio-info", missing});
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_TRUE(run.Err.contains("The file does not exist: " + missing)) << run.Err.toStdString();
    EXPECT_EQ(run.Out, "");

    const auto usage = Kit.RunCli({"audio-info"});
    EXPECT_EQ(usage.ExitCode, 1);
    EXPECT_TRUE(usage.Err.contains("audio-info FILE"));
}

} // namespace
