#pragma once

#include "support/QtPrinters.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

#include <cmath>
#include <optional>

// Audio test files: canonical WAV files, hand-built MPEG frame trains and real MP3 files that
// the lame encoder makes once per test run.
namespace Lumerix::AudioTesting {

/// One folder for every file of the run.
inline const QString& Folder() {
    static QTemporaryDir directory;
    static const QString path = directory.path() + u'/';
    return path;
}

inline QString Write(const QString& name, const QByteArray& bytes) {
    const QString path = Folder() + name;
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(bytes);
    return path;
}

inline QByteArray Bytes(std::initializer_list<int> values) {
    QByteArray bytes;
    for (const int value : values)
        bytes.append(static_cast<char>(value));
    return bytes;
}

inline void PutBigEndian32(QByteArray& bytes, qsizetype at, quint32 value) {
    qToBigEndian(value, bytes.data() + at);
}

/// `count` frames of `frameSize` bytes, each the four `header` bytes followed by zeros.
inline QByteArray FrameTrain(const QByteArray& header, int frameSize, int count) {
    QByteArray frame = header + QByteArray(frameSize - header.size(), '\0');
    return frame.repeated(count);
}

/// MPEG 1 Layer III, 128 kbit/s, 44100 Hz, stereo: 417-byte frames.
inline const QByteArray Mpeg1Header = Bytes({0xFF, 0xFB, 0x90, 0x00});
constexpr int Mpeg1FrameSize = 417;

/// The canonical 44-byte WAV header.
inline QByteArray WavHeader(quint16 formatTag, quint16 channels, quint32 sampleRate,
                            quint16 bitsPerSample, quint32 dataSize) {
    QByteArray header(44, '\0');
    char* p = header.data();
    const quint16 blockAlign = channels * bitsPerSample / 8;
    memcpy(p, "RIFF", 4);
    qToLittleEndian<quint32>(36 + dataSize, p + 4);
    memcpy(p + 8, "WAVEfmt ", 8);
    qToLittleEndian<quint32>(16, p + 16);
    qToLittleEndian<quint16>(formatTag, p + 20);
    qToLittleEndian<quint16>(channels, p + 22);
    qToLittleEndian<quint32>(sampleRate, p + 24);
    qToLittleEndian<quint32>(sampleRate * blockAlign, p + 28);
    qToLittleEndian<quint16>(blockAlign, p + 32);
    qToLittleEndian<quint16>(bitsPerSample, p + 34);
    memcpy(p + 36, "data", 4);
    qToLittleEndian<quint32>(dataSize, p + 40);
    return header;
}

/// A 16-bit PCM WAV file of two sine tones (one per channel).
inline QByteArray SineWav(quint32 sampleRate, quint16 channels, double seconds) {
    const auto frames = static_cast<quint32>(sampleRate * seconds);
    QByteArray data(qsizetype(frames) * channels * 2, '\0');
    auto* samples = reinterpret_cast<qint16*>(data.data());
    for (quint32 i = 0; i < frames; ++i) {
        for (quint16 c = 0; c < channels; ++c) {
            const double tone = 440.0 * (1 + c * 0.5);
            const auto value =
                static_cast<qint16>(8000 * std::sin(2 * M_PI * tone * i / sampleRate));
            samples[qsizetype(i) * channels + c] = qToLittleEndian(value);
        }
    }
    return WavHeader(1, channels, sampleRate, 16, static_cast<quint32>(data.size())) + data;
}

/// A real MP3 file from the lame encoder.
struct TLameFile {
    const char* Name;
    quint32 SampleRate;
    quint16 Channels; ///< of the source
    QStringList Options;
};

inline const QList<TLameFile>& LameFiles() {
    static const QList<TLameFile> files = {
        {"joint128", 44100, 2, {"-b", "128", "-m", "j"}},
        {"stereoVbr", 44100, 2, {"-V", "4", "-m", "s"}},
        {"stereo48k", 48000, 2, {"-b", "128", "-m", "s"}},
        {"joint32k", 32000, 2, {"-b", "96", "-m", "j"}},
        {"mono", 44100, 1, {"-b", "64", "-m", "m"}},
        {"dualCrc", 44100, 2, {"-b", "128", "-m", "d", "-p"}},
        {"mpeg2", 22050, 2, {"-b", "64", "-m", "j"}},
        {"mpeg25", 11025, 1, {"-b", "32", "-m", "m"}},
        {"id3v2",
         44100,
         2,
         {"-b", "128", "--add-id3v2", "--tt", "Sunrise", "--ta", "Lumerix", "--tn", "3/12"}},
        {"id3v2Padded",
         44100,
         2,
         {"-b", "128", "--add-id3v2", "--pad-id3v2-size", "5000", "--tt", "Evening"}},
        {"id3v10", 44100, 2, {"-b", "128", "--id3v1-only", "--tt", "Morning", "--ta", "Band"}},
        {"id3v11", 44100, 2, {"-b", "128", "--id3v1-only", "--tt", "Night", "--tn", "7"}},
    };
    return files;
}

inline bool HaveProgram(const char* name) {
    return !QStandardPaths::findExecutable(QString::fromLatin1(name)).isEmpty();
}

/// The path of a lame file by name, encoded on first use (each about one second long).
inline QString Lame(const char* name) {
    static QHash<QString, QString> made;
    const QString key = QString::fromLatin1(name);
    if (const auto it = made.constFind(key); it != made.constEnd())
        return *it;
    const auto file = std::find_if(LameFiles().begin(), LameFiles().end(),
                                   [&](const TLameFile& f) { return key == f.Name; });
    EXPECT_NE(file, LameFiles().end()) << name;
    if (file == LameFiles().end())
        return {};
    const QString source = Write(key + ".wav", SineWav(file->SampleRate, file->Channels, 1.0));
    const QString target = Folder() + key + ".mp3";
    QProcess lame;
    lame.start(QStringLiteral("lame"), QStringList{"--quiet", "--noreplaygain"} + file->Options +
                                           QStringList{source, target});
    EXPECT_TRUE(lame.waitForFinished(30000)) << name;
    EXPECT_EQ(lame.exitCode(), 0) << name << lame.readAllStandardError().toStdString();
    made.insert(key, target);
    return target;
}

/// What ffprobe says about the first audio stream.
struct TProbe {
    int SampleRate = 0;
    int Channels = 0;
    double Duration = 0;
};

inline std::optional<TProbe> Probe(const QString& path) {
    QProcess ffprobe;
    ffprobe.start(QStringLiteral("ffprobe"),
                  {"-v", "error", "-select_streams", "a:0", "-show_entries",
                   "stream=sample_rate,channels:format=duration", "-of", "json", path});
    if (!ffprobe.waitForFinished(30000) || ffprobe.exitCode() != 0)
        return std::nullopt;
    const QJsonObject root = QJsonDocument::fromJson(ffprobe.readAllStandardOutput()).object();
    const QJsonObject stream = root.value("streams").toArray().at(0).toObject();
    TProbe probe;
    probe.SampleRate = stream.value("sample_rate").toString().toInt();
    probe.Channels = stream.value("channels").toInt();
    probe.Duration = root.value("format").toObject().value("duration").toString().toDouble();
    return probe;
}

} // namespace Lumerix::AudioTesting
