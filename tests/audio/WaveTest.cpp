#include "audio/TPCMWaveReader.h"
#include "audio/TWaveStream.h"
#include "audio/WaveJoin.h"
#include "shell/TProgress.h"
#include "support/QtPrinters.h"
#include "support/TTestKit.h"
#include "video/TFfmpegTools.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace Lumerix {

namespace {

using FfmpegTools::MakeTone;

QByteArray Le16(quint16 v) {
    char b[2];
    qToLittleEndian(v, b);
    return QByteArray(b, 2);
}

QByteArray Le32(quint32 v) {
    char b[4];
    qToLittleEndian(v, b);
    return QByteArray(b, 4);
}

QByteArray Chunk(const QByteArray& id, const QByteArray& body, quint32 size = 0xFFFFFFFF) {
    return id + Le32(size == 0xFFFFFFFF ? quint32(body.size()) : size) + body;
}

QByteArray Riff(const QByteArray& chunks) {
    return "RIFF" + Le32(quint32(chunks.size() + 4)) + "WAVE" + chunks;
}

/// The 16 PCM bytes of a format.
QByteArray FormatBody(quint16 tag, quint16 channels = 2, quint32 rate = 44100, quint16 bits = 16) {
    const quint16 align = quint16(channels * bits / 8);
    return Le16(tag) + Le16(channels) + Le32(rate) + Le32(rate * align) + Le16(align) + Le16(bits);
}

QByteArray Samples(int count, int blockAlign) {
    QByteArray data(qsizetype(count) * blockAlign, '\0');
    for (qsizetype i = 0; i < data.size(); ++i)
        data[i] = char(i * 7);
    return data;
}

class WaveTest : public ::testing::Test {
protected:
    QString Path(const QString& name) const { return Dir.path() + u'/' + name; }
    QString Write(const QString& name, const QByteArray& bytes) const {
        TTestKit::WriteFile(Path(name), bytes);
        return Path(name);
    }
    /// All PCM samples of a file, read in one go.
    static QByteArray ReadAll(const QString& path, TWaveFormat* format = nullptr) {
        TWaveStream stream(path);
        TPCMWaveReader reader(stream);
        if (format)
            *format = reader.PcmFormat();
        QByteArray bytes(qsizetype(reader.Size()) * reader.PcmFormat().BlockAlign, '\0');
        const int got = reader.ReadPcm(bytes.data(), reader.Size());
        EXPECT_EQ(got, reader.Size());
        return bytes;
    }
    QTemporaryDir Dir;
};

TEST_F(WaveTest, HeaderErrorsCarryTheirTexts) {
    const QByteArray pcm = FormatBody(1);
    const QByteArray data = Chunk("data", Samples(10, 4));
    const struct {
        const char* Name;
        QByteArray Bytes;
        QString Error;
    } cases[] = {
        {"empty", QByteArray(), "Invalid multimedia file!"},
        {"other form", "RIFF" + Le32(4) + "AVI ", "Not a wave file!"},
        {"no fmt", Riff(data), "Couldn't find 'fmt' chunk!"},
        {"fmt of 14 bytes", Riff(Chunk("fmt ", pcm.left(14)) + data), "Abnormal 'fmt' size!"},
        {"truncated fmt", Riff(Chunk("fmt ", pcm.left(10), 16)), "Error reading 'fmt' chunk!"},
        {"no cbSize", Riff(Chunk("fmt ", FormatBody(2))), "Error reading 'waveformatex' length!"},
        {"short extra", Riff(Chunk("fmt ", FormatBody(2) + Le16(32) + "abcd", 50)),
         "Error reading 'waveformatex'!"},
        {"mp3 in wave", Riff(Chunk("fmt ", FormatBody(85) + Le16(0)) + data),
         "MPEG Layer-3 compression is not supported."},
        {"no data", Riff(Chunk("fmt ", pcm) + Chunk("LIST", "abcd")),
         "The wave file case.wav has no 'data' chunk."},
    };
    for (const auto& c : cases) {
        const QString path = Write("case.wav", c.Bytes);
        try {
            TWaveStream stream(path);
            ADD_FAILURE() << c.Name << ": no error";
        } catch (const TWaveError& error) {
            EXPECT_EQ(error.Text(), c.Error) << c.Name;
        }
    }
    EXPECT_THROW(TWaveStream(Path("missing.wav")), TWaveError);
}

TEST_F(WaveTest, ChunksAfterTheDataAreNotSamples) {
    // An odd-sized chunk before the data checks the word alignment of the chunk walk.
    const QString path = Write(
        "tail.wav", Riff(Chunk("junk", "abc") + QByteArray(1, '\0') + Chunk("fmt ", FormatBody(1)) +
                         Chunk("data", Samples(100, 4)) + Chunk("LIST", QByteArray(400, 'x'))));
    TWaveStream stream(path);
    EXPECT_EQ(stream.SampleCount(), 100);
    TPCMWaveReader reader(stream);
    EXPECT_EQ(reader.Size(), 100);
    QByteArray buffer(1000 * 4, '\0');
    EXPECT_EQ(reader.ReadPcm(buffer.data(), 1000), 100);
    EXPECT_EQ(buffer.left(400), Samples(100, 4));
    EXPECT_EQ(reader.ReadPcm(buffer.data(), 1000), 0);
}

TEST_F(WaveTest, SetPositionBounds) {
    const QString path = Write("empty.wav", Riff(Chunk("fmt ", FormatBody(1)) + Chunk("data", "")));
    TWaveStream stream(path);
    TPCMWaveReader reader(stream);
    EXPECT_EQ(reader.Size(), 0);
    EXPECT_NO_THROW(reader.SetPosition(0));
    try {
        reader.SetPosition(1);
        ADD_FAILURE() << "no error";
    } catch (const TWaveError& error) {
        EXPECT_EQ(error.Text(), "Position out of bounds.");
    }
    EXPECT_THROW(reader.SetPosition(-1), TWaveError);
}

TEST_F(WaveTest, WrittenFileReadsBack) {
    const QString path = Path("written.wav");
    const TWaveFormat format = TWaveFormat::Pcm(1, 8000, 8);
    {
        TWaveStream out(path, format);
        EXPECT_EQ(out.WriteSamples(Samples(101, 1).constData(), 101), 101);
        out.Finish();
    }
    TWaveStream in(path);
    EXPECT_EQ(in.SampleCount(), 101);
    EXPECT_TRUE(in.Format().SamePcm(format));
    EXPECT_EQ(QFile(path).size() % 2, 0); // the odd data chunk is padded
    EXPECT_EQ(
        FfmpegTools::Stream(FfmpegTools::Probe(path), "audio").value("sample_rate").toString(),
        "8000");
}

// Compressed formats decode to 16-bit PCM that matches ffmpeg's own decoding of the same
// file, sample for sample, read in one go and in odd pieces at odd positions.
TEST_F(WaveTest, CompressedFormatsAreDecoded) {
    const struct {
        const char* Codec;
        int Channels;
        int Rate;
        bool Stateless; // every block decodes alone, so any position reads back exactly
    } cases[] = {
        {"adpcm_ms", 2, 44100, true},      {"adpcm_ms", 1, 22050, true},
        {"adpcm_ima_wav", 2, 44100, true}, {"pcm_mulaw", 1, 8000, true},
        {"pcm_alaw", 2, 8000, true},       {"libgsm_ms", 1, 8000, false},
        {"pcm_f32le", 2, 44100, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Codec);
        const QString coded = Path(QStringLiteral("%1-%2.wav").arg(c.Codec).arg(c.Channels));
        const QString reference = Path("reference.wav");
        ASSERT_TRUE(MakeTone(coded, c.Codec, c.Rate, c.Channels, 1.3));
        ASSERT_TRUE(FfmpegTools::Ffmpeg({"-i", coded, "-c:a", "pcm_s16le", reference}));
        TWaveFormat format;
        const QByteArray pcm = ReadAll(coded, &format);
        EXPECT_EQ(format.FormatTag, 1);
        EXPECT_EQ(format.BitsPerSample, 16);
        EXPECT_EQ(format.Channels, c.Channels);
        EXPECT_EQ(int(format.SamplesPerSec), c.Rate);
        const QByteArray expected = ReadAll(reference);
        // ffmpeg may drop a partial last block; the reader counts whole blocks.
        const qsizetype common = qMin(pcm.size(), expected.size());
        EXPECT_GT(common, qsizetype(c.Rate * format.BlockAlign));
        EXPECT_LT(std::abs(pcm.size() - expected.size()), 2048 * format.BlockAlign);
        EXPECT_TRUE(pcm.left(common) == expected.left(common));

        TWaveStream stream(coded);
        TPCMWaveReader reader(stream);
        const int align = reader.PcmFormat().BlockAlign;
        QByteArray piece(3001 * align, '\0');
        for (int position :
             {reader.Size() / 2, 17, reader.Size() - 5, 0, reader.Size() * 3 / 4 + 1}) {
            reader.SetPosition(position);
            const int got = reader.ReadPcm(piece.data(), 3001);
            EXPECT_EQ(got, qMin(3001, reader.Size() - position));
            EXPECT_EQ(reader.Position(), position + got);
            if (c.Stateless) {
                EXPECT_TRUE(piece.left(qsizetype(got) * align) ==
                            pcm.mid(qsizetype(position) * align, qsizetype(got) * align))
                    << "at " << position;
            }
        }
    }
}

TEST_F(WaveTest, UnknownFormatIsRefused) {
    const QString path =
        Write("odd.wav", Riff(Chunk("fmt ", FormatBody(0x1234) + Le16(0)) + Chunk("data", "xxxx")));
    TWaveStream stream(path);
    try {
        TPCMWaveReader reader(stream);
        ADD_FAILURE() << "no error";
    } catch (const TWaveError& error) {
        EXPECT_EQ(error.Text(), "Can't suggest pcm format.");
    }
}

class WaveJoinTest : public WaveTest {
protected:
    qint64 Join(const QStringList& inputs, int seconds, const QString& out,
                QStringList* messages = nullptr) {
        TWaveJoin join;
        join.InputFiles = inputs;
        join.OutputFile = out;
        join.TargetSeconds = seconds;
        join.OnMessage = [messages](const QString& line) {
            if (messages)
                messages->append(line);
        };
        return join.ConcatenateToLength();
    }
};

TEST_F(WaveJoinTest, TenSecondsJoinedToTwentyFive) {
    const QString in = Path("ten.wav");
    ASSERT_TRUE(MakeTone(in, "pcm_s16le", 44100, 2, 10));
    const QString out = Path("out.wav");
    QStringList messages;
    const qint64 written = Join({in}, 25, out, &messages);
    EXPECT_GE(written, 25 * 44100);
    EXPECT_LT(written, 25 * 44100 + 4000);
    EXPECT_EQ(messages.count("read audio " + in), 3);
    EXPECT_EQ(messages.count("open audio " + out), 1);
    EXPECT_EQ(messages.last(), "Audio created" + out);

    TWaveFormat format;
    const QByteArray joined = ReadAll(out, &format);
    const QByteArray source = ReadAll(in);
    EXPECT_EQ(format.Channels, 2);
    EXPECT_EQ(joined.size(), written * 4);
    EXPECT_TRUE(joined.mid(0, source.size()) == source);
    EXPECT_TRUE(joined.mid(source.size(), source.size()) == source);
    EXPECT_TRUE(joined.mid(2 * source.size()) == source.left(joined.size() - 2 * source.size()));
}

TEST_F(WaveJoinTest, TargetZeroWritesAnEmptyFile) {
    const QString a = Path("a.wav"), b = Path("b.wav");
    ASSERT_TRUE(MakeTone(a, "pcm_s16le", 44100, 2, 1));
    ASSERT_TRUE(MakeTone(b, "pcm_s16le", 44100, 2, 1));
    QStringList messages;
    EXPECT_EQ(Join({a, b}, 0, Path("zero.wav"), &messages), 0);
    EXPECT_EQ(messages.count("read audio " + a), 1);
    EXPECT_EQ(messages.count("read audio " + b), 1);
    TWaveStream out(Path("zero.wav"));
    EXPECT_EQ(out.SampleCount(), 0);
    EXPECT_EQ(out.Format().Channels, 2);
}

// Files of another rate, width or channel count are converted to the first file's format.
TEST_F(WaveJoinTest, MismatchedFormatsAreConverted) {
    const QString first = Path("first.wav");
    ASSERT_TRUE(MakeTone(first, "pcm_s16le", 44100, 2, 1, 440));
    const struct {
        const char* Codec;
        int Rate;
        int Channels;
    } others[] = {{"pcm_u8", 22050, 1},
                  {"pcm_s24le", 48000, 2},
                  {"adpcm_ms", 44100, 1},
                  {"pcm_s16le", 7000, 1}}; // one read chunk becomes 25200 samples
    for (const auto& other : others) {
        SCOPED_TRACE(other.Codec);
        const QString second = Path(QStringLiteral("second-%1.wav").arg(other.Codec));
        // Longer than the target leaves room for: the join ends within one read chunk.
        ASSERT_TRUE(MakeTone(second, other.Codec, other.Rate, other.Channels, 2, 1000));
        const QString out = Path("mixed.wav");
        const qint64 written = Join({first, second}, 2, out);
        EXPECT_GE(written, 2 * 44100);
        EXPECT_LT(written, 2 * 44100 + 4000);
        TWaveFormat format;
        const QByteArray joined = ReadAll(out, &format);
        EXPECT_EQ(format.Channels, 2);
        EXPECT_EQ(format.BitsPerSample, 16);
        EXPECT_EQ(int(format.SamplesPerSec), 44100);
        // The second file's second is the 1000 Hz tone at the output's rate: about 2000
        // sign changes per channel, and loud, not the noise of misread bytes.
        const auto* samples = reinterpret_cast<const qint16*>(joined.constData());
        const qsizetype count = joined.size() / 4;
        int crossings = 0;
        double energy = 0;
        for (qsizetype i = 44100 + 100; i + 1 < qMin<qsizetype>(count, 2 * 44100 - 2200); ++i) {
            crossings += (samples[2 * i] < 0) != (samples[2 * i + 2] < 0);
            energy += std::abs(samples[2 * i] - samples[2 * i + 1]);
        }
        EXPECT_NEAR(crossings, 2000 * (44100 - 2300) / 44100.0, 40);
        EXPECT_LT(energy / 44100, 200); // both channels carry the same tone
    }
}

TEST_F(WaveJoinTest, MissingFileFailsAfterClosingTheOutput) {
    const QString a = Path("a.wav");
    ASSERT_TRUE(MakeTone(a, "pcm_s16le", 44100, 2, 1));
    QStringList messages;
    EXPECT_THROW(Join({a, Path("gone.wav")}, 5, Path("out.wav"), &messages), TWaveError);
    EXPECT_EQ(messages.last(), "Audio created" + Path("out.wav"));
    TWaveStream out(Path("out.wav"));
    EXPECT_EQ(out.SampleCount(), 44100); // the header was completed
}

TEST_F(WaveJoinTest, CancelStopsWithAClosedOutput) {
    const QString a = Path("a.wav");
    ASSERT_TRUE(MakeTone(a, "pcm_s16le", 44100, 2, 2));
    // Cancels once the first chunk is written.
    class TCancelOnPercent : public TProgress {
    public:
        void SetStatus(const QString& text) override { Status = text; }
        void SetPercent(int percent) override { Seen = Seen || percent > 0; }
        bool Cancelled() const override { return Seen; }
        QString Status;
        bool Seen = false;
    } progress;
    TWaveJoin join;
    join.InputFiles = {a};
    join.OutputFile = Path("cancel.wav");
    join.TargetSeconds = 1;
    join.Progress = &progress;
    EXPECT_THROW(join.ConcatenateToLength(), TWaveError);
    EXPECT_EQ(progress.Status, "Aktuelle Datei: " + a);
    TWaveStream out(join.OutputFile);
    EXPECT_EQ(out.SampleCount(), 4000);
}

TEST_F(WaveJoinTest, CommandLine) {
    TTestKit kit;
    const QString in = Path("in.wav");
    ASSERT_TRUE(MakeTone(in, "pcm_mulaw", 44100, 2, 1));
    const QString out = Path("cli.wav");
    const TTestKit::TCliRun run = kit.RunCli({"wave-join", "3", out, in});
    ASSERT_EQ(run.ExitCode, 0) << run.Err.toStdString();
    EXPECT_TRUE(run.Out.contains("Audio created" + out));
    TWaveStream result(out);
    EXPECT_GE(result.SampleCount(), 3 * 44100);
    EXPECT_LT(result.SampleCount(), 3 * 44100 + 4000);
    EXPECT_EQ(result.Format().BitsPerSample, 16);

    const TTestKit::TCliRun bad = kit.RunCli({"wave-join", "x", out, in});
    EXPECT_NE(bad.ExitCode, 0);
    const TTestKit::TCliRun missing = kit.RunCli({"wave-join", "3", out, Path("none.wav")});
    EXPECT_NE(missing.ExitCode, 0);
}

} // namespace

} // namespace Lumerix
