#include "video/TAviWriter.h"

#include "shell/TProgress.h"
#include "support/QtPrinters.h"
#include "video/TFfmpegTools.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

namespace Lumerix {

namespace {

using FfmpegTools::Probe;
using FfmpegTools::Stream;

/// Records every status text; cancels after `CancelAfter` texts when set.
class TRecordingProgress : public TProgress {
public:
    void SetStatus(const QString& text) override { Texts.append(text); }
    void SetPercent(int percent) override { Percents.append(percent); }
    bool Cancelled() const override { return CancelAfter >= 0 && Texts.size() > CancelAfter; }
    QStringList Texts;
    QList<int> Percents;
    int CancelAfter = -1;
};

/// Red top half, blue bottom half, a green stripe down the left edge: upside-down or
/// mirrored frames show at once.
QImage Picture(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::blue);
    QPainter painter(&image);
    painter.fillRect(0, 0, width, height / 2, Qt::red);
    painter.fillRect(0, 0, width / 8, height, Qt::green);
    return image;
}

class AviWriterTest : public ::testing::Test {
protected:
    QString Path(const QString& name) const { return Dir.path() + u'/' + name; }
    QString Encoder() const { return Dir.path() + "/encoder/"; }
    void SetUp() override { QDir().mkpath(Encoder()); }

    /// Frame 0 of an AVI as ffmpeg decodes it.
    QImage FirstFrame(const QString& avi) {
        const QString png = Path("frame0.png");
        EXPECT_TRUE(FfmpegTools::Ffmpeg({"-i", avi, "-frames:v", "1", png}));
        return QImage(png);
    }

    /// Checks what every AVI written here must be.
    /// `pictureFirst`: frame 0 is Picture(), whose colours must come out where they were.
    void CheckAvi(const QString& avi, int width, int height, int frameTime, double seconds,
                  bool pictureFirst = true) {
        SCOPED_TRACE(avi.toStdString());
        const QJsonObject probe = Probe(avi);
        const QJsonObject video = Stream(probe, "video");
        EXPECT_EQ(probe.value("format").toObject().value("format_name").toString(), "avi");
        EXPECT_EQ(video.value("codec_name").toString(), "rawvideo");
        EXPECT_EQ(video.value("pix_fmt").toString(), "bgr24");
        EXPECT_EQ(video.value("width").toInt(), width);
        EXPECT_EQ(video.value("height").toInt(), height);
        const int d = std::gcd(1000, frameTime);
        EXPECT_EQ(video.value("r_frame_rate").toString(),
                  QStringLiteral("%1/%2").arg(1000 / d).arg(frameTime / d));
        EXPECT_NEAR(video.value("duration").toString().toDouble(), seconds, 0.01);

        // The stored format is a bottom-up DIB: positive height, 24 bits, no compression.
        QFile file(avi);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray head = file.read(4096);
        const qsizetype strf = head.indexOf("strf");
        ASSERT_GT(strf, 0);
        const char* bih = head.constData() + strf + 8;
        EXPECT_EQ(qFromLittleEndian<qint32>(bih + 4), width);
        EXPECT_EQ(qFromLittleEndian<qint32>(bih + 8), height);
        EXPECT_EQ(qFromLittleEndian<quint16>(bih + 14), 24);
        EXPECT_EQ(qFromLittleEndian<quint32>(bih + 16), 0u);

        const QImage frame = FirstFrame(avi);
        ASSERT_EQ(frame.size(), QSize(width, height));
        if (!pictureFirst)
            return;
        const int right = width - 1;
        EXPECT_EQ(QColor(frame.pixel(right, 0)), QColor(Qt::red));
        EXPECT_EQ(QColor(frame.pixel(right, height - 1)), QColor(Qt::blue));
        EXPECT_EQ(QColor(frame.pixel(0, height / 4)), QColor(Qt::green));
    }

    QTemporaryDir Dir;
};

TEST_F(AviWriterTest, EmptyListFailsBeforeAnyFile) {
    TAviWriter writer(Encoder());
    writer.FileName = Path("none.avi");
    try {
        writer.Write();
        ADD_FAILURE() << "no error";
    } catch (const TAviError& error) {
        EXPECT_EQ(error.Text(), "No bitmaps on the Bitmaps list");
    }
    EXPECT_FALSE(QFile::exists(writer.FileName));
    EXPECT_FALSE(QFile::exists(writer.WorkFile()));
    EXPECT_EQ(writer.WorkFile(), Encoder() + "AWTemp.avi");
}

TEST_F(AviWriterTest, MissingBitmapIsNamed) {
    TAviWriter writer(Encoder());
    writer.FileName = Path("none.avi");
    // Frames may also come as picture files; one that cannot be read counts as missing.
    const QString first = Path("inp0001.bmp");
    ASSERT_TRUE(Picture(10, 10).save(first));
    writer.AddBitmapFile(first);
    writer.AddBitmapFile(Path("inp0002.bmp"));
    EXPECT_FALSE(writer.Bitmaps[0].isNull());
    try {
        writer.Write();
        ADD_FAILURE() << "no error";
    } catch (const TAviError& error) {
        EXPECT_EQ(error.Text(), "Bitmaps[1] is not a TBitmap");
    }
}

TEST_F(AviWriterTest, WavFileNameNeedsTheWavExtension) {
    TAviWriter writer(Encoder());
    const struct {
        const char* Name;
        bool Accepted;
    } cases[] = {
        {"music.wav", true}, {"MUSIC.WAV", true},      {"a.Wav", true}, {"music.mp3", false},
        {"wav", false},      {"music.wav.ogg", false}, {"", true}};
    for (const auto& c : cases) {
        writer.SetWavFileName(QStringLiteral("before.wav"));
        if (c.Accepted) {
            EXPECT_NO_THROW(writer.SetWavFileName(QString::fromUtf8(c.Name))) << c.Name;
            EXPECT_EQ(writer.WavFileName(), QString::fromUtf8(c.Name));
        } else {
            try {
                writer.SetWavFileName(QString::fromUtf8(c.Name));
                ADD_FAILURE() << c.Name << ": accepted";
            } catch (const TAviError& error) {
                EXPECT_EQ(error.Text(), "WavFileName must name a file with the .wav extension");
            }
            EXPECT_EQ(writer.WavFileName(), "before.wav");
        }
    }
    // The same name in other letters keeps the current spelling.
    writer.SetWavFileName("Song.wav");
    writer.SetWavFileName("SONG.WAV");
    EXPECT_EQ(writer.WavFileName(), "Song.wav");
}

// FrameTime 3000 with ten pictures: a third of a frame per second, 30 seconds, with the
// sound stream copied as it is.
TEST_F(AviWriterTest, TenPicturesAtThreeSecondsWithSound) {
    const QString wav = Path("sound.wav");
    ASSERT_TRUE(FfmpegTools::MakeTone(wav, "pcm_s16le", 44100, 2, 30));
    TAviWriter writer(Encoder());
    TRecordingProgress progress;
    writer.Progress = &progress;
    writer.Width = 102; // rows of 306 bytes, padded to 308
    writer.Height = 76;
    writer.FrameTime = 3000;
    writer.FileName = Path("show.avi");
    writer.SetWavFileName(wav);
    for (int i = 0; i < 10; ++i)
        writer.Bitmaps.append(Picture(400 + i, 300));
    writer.Write();

    CheckAvi(writer.FileName, 102, 76, 3000, 30);
    const QJsonObject audio = Stream(Probe(writer.FileName), "audio");
    EXPECT_EQ(audio.value("codec_name").toString(), "pcm_s16le");
    EXPECT_EQ(audio.value("sample_rate").toString(), "44100");
    EXPECT_EQ(audio.value("channels").toInt(), 2);
    // PCM in AVI counts its length in sample frames.
    EXPECT_EQ(audio.value("nb_frames").toString().toInt(), 30 * 44100);
    EXPECT_FALSE(QFile::exists(writer.WorkFile()));
    // The sound comes back byte for byte.
    const QString back = Path("back.wav");
    ASSERT_TRUE(FfmpegTools::Ffmpeg({"-i", writer.FileName, "-map", "0:a", "-c", "copy", back}));
    const auto samples = [](const QString& path) {
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        const QByteArray bytes = file.readAll();
        return bytes.mid(bytes.indexOf("data") + 8);
    };
    EXPECT_TRUE(samples(back) == samples(wav));

    EXPECT_EQ(progress.Texts.first(), " Video mit 10 Bildern erzeugen");
    // The frames first, then the three sound steps.
    const qsizetype lastFrame = progress.Texts.indexOf("Bild Nr.10 schreiben");
    ASSERT_GT(lastFrame, progress.Texts.indexOf("Bild Nr.1 schreiben"));
    EXPECT_EQ(progress.Texts.mid(lastFrame + 1, 3),
              QStringList({"Audio Datei zum schreiben geöffnet",
                           "Audio-Stream zum schreiben geöffnet", "Audio zu Video hinzufügen"}));
    EXPECT_EQ(progress.Texts.at(progress.Texts.size() - 2), "Video speichern");
    EXPECT_EQ(progress.Percents.first(), 0);
    EXPECT_EQ(progress.Percents.last(), 90);
}

TEST_F(AviWriterTest, SmallPictureWithoutStretchSitsTopLeft) {
    TAviWriter writer(Encoder());
    writer.Width = 64;
    writer.Height = 48;
    writer.Stretch = false;
    writer.FrameTime = 1000;
    writer.FileName = Path("small.avi");
    QImage small(20, 10, QImage::Format_RGB32);
    small.fill(Qt::yellow);
    small.setPixel(19, 9, qRgb(255, 0, 255));
    writer.Bitmaps = {small, Picture(64, 48)};
    writer.Write();
    CheckAvi(writer.FileName, 64, 48, 1000, 2, false);
    EXPECT_FALSE(QFile::exists(writer.WorkFile()));
    EXPECT_TRUE(Stream(Probe(writer.FileName), "audio").isEmpty());
    const QImage frame = FirstFrame(writer.FileName);
    // The small picture's bottom-right corner stays there, so the frame is upright.
    EXPECT_EQ(QColor(frame.pixel(19, 9)), QColor(255, 0, 255));
    EXPECT_EQ(QColor(frame.pixel(19, 38)), QColor(Qt::yellow));
    EXPECT_EQ(QColor(frame.pixel(63, 47)), QColor(Qt::yellow)); // filled with the corner
}

TEST_F(AviWriterTest, FailuresLeaveNoWorkFile) {
    {
        TAviWriter writer(Encoder());
        writer.FileName = Path("fail.avi");
        writer.SetWavFileName(Path("missing.wav"));
        writer.Bitmaps = {Picture(10, 10)};
        try {
            writer.Write();
            ADD_FAILURE() << "no error";
        } catch (const TAviError& error) {
            EXPECT_EQ(error.Text(), "A disk error occurred while opening the audio file.");
        }
        EXPECT_FALSE(QFile::exists(writer.WorkFile()));
    }
    {
        TAviWriter writer(Encoder());
        TRecordingProgress progress;
        progress.CancelAfter = 5;
        writer.Progress = &progress;
        writer.FileName = Path("cancel.avi");
        for (int i = 0; i < 5; ++i)
            writer.Bitmaps.append(Picture(10, 10));
        EXPECT_THROW(writer.Write(), TAviCancelled);
        EXPECT_FALSE(QFile::exists(writer.WorkFile()));
    }
    {
        TAviWriter writer(Path("no-encoder-folder/"));
        writer.FileName = Path("nowork.avi");
        writer.Bitmaps = {Picture(10, 10)};
        try {
            writer.Write();
            ADD_FAILURE() << "no error";
        } catch (const TAviError& error) {
            EXPECT_EQ(error.Text(), "Failed to create AVI video work file");
        }
        EXPECT_FALSE(QFile::exists(writer.FileName));
    }
    {
        TAviWriter writer(Encoder());
        writer.FileName = Path("no/such/folder/out.avi");
        writer.Bitmaps = {Picture(10, 10)};
        try {
            writer.Write();
            ADD_FAILURE() << "no error";
        } catch (const TAviError& error) {
            EXPECT_EQ(error.Text(), "Unable to write output file - Close the Mediaplayer!");
        }
        EXPECT_FALSE(QFile::exists(writer.WorkFile()));
    }
}

// Over 1 GB the file needs the extended index; run by hand, it writes 1.1 GB.
TEST_F(AviWriterTest, DISABLED_OverOneGigabyte) {
    TAviWriter writer(Encoder());
    writer.Width = 352;
    writer.Height = 288;
    writer.FrameTime = 40;
    writer.FileName = Path("big.avi");
    const QString wav = Path("big.wav");
    ASSERT_TRUE(FfmpegTools::MakeTone(wav, "pcm_s16le", 44100, 2, 144));
    writer.SetWavFileName(wav);
    for (int i = 0; i < 3600; ++i)
        writer.Bitmaps.append(Picture(352, 288));
    writer.Write();
    EXPECT_GT(QFileInfo(writer.FileName).size(), qint64(1) << 30);
    CheckAvi(writer.FileName, 352, 288, 40, 144);
    const QString last = Path("last.png");
    ASSERT_TRUE(FfmpegTools::Ffmpeg({"-sseof", "-1", "-i", writer.FileName, "-update", "1", last}));
    EXPECT_EQ(QImage(last).size(), QSize(352, 288));
}

} // namespace

} // namespace Lumerix
