#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <stdexcept>

namespace Lumerix {

/// An error of reading, writing or converting a WAVE file; the text is shown to the user.
class TWaveError : public std::runtime_error {
public:
    explicit TWaveError(const QString& text) : std::runtime_error(text.toStdString()) {}
    QString Text() const { return QString::fromStdString(what()); }
};

/// The wave format of a WAVE file (WAVEFORMATEX with its extra bytes).
struct TWaveFormat {
    quint16 FormatTag = 1;
    quint16 Channels = 0;
    quint32 SamplesPerSec = 0;
    quint32 AvgBytesPerSec = 0;
    quint16 BlockAlign = 0;
    quint16 BitsPerSample = 0;
    QByteArray Extra; // the cbSize bytes after the 18-byte header

    static TWaveFormat Pcm(int channels, int sampleRate, int bits);
    /// The 18 bytes of the header followed by the extra bytes.
    QByteArray Bytes() const;
    bool SamePcm(const TWaveFormat& other) const;
};

/// A RIFF/WAVE file read or written in samples (one sample = one block of the format).
class TWaveStream {
public:
    /// Opens `path` for reading and positions at the start of the data.
    explicit TWaveStream(const QString& path);
    /// Creates or truncates `path` as a new WAVE file of `format`.
    TWaveStream(const QString& path, const TWaveFormat& format);
    /// A write stream finishes its header (both chunk sizes) here.
    ~TWaveStream();
    TWaveStream(const TWaveStream&) = delete;
    TWaveStream& operator=(const TWaveStream&) = delete;

    const TWaveFormat& Format() const { return FormatValue; }
    qint64 DataOffset() const { return DataOffsetValue; }
    int SampleCount() const { return SampleCountValue; }
    const QString& FileName() const { return Path; }

    /// Reads up to `count` samples; returns the samples read. Never reads past the data chunk.
    int ReadSamples(char* buffer, int count);
    /// Origin 0: from the start of the data, 1: from the current position, 2: from the end of
    /// the data. Returns the new sample position.
    int SeekSample(qint64 offset, int origin);
    int WriteSamples(const char* buffer, int count);
    /// Fixes the chunk sizes of a write stream and closes it; errors are raised here, not in
    /// the destructor.
    void Finish();

private:
    void ReadHeader();
    void WriteHeader();

    QString Path;
    QFile File;
    TWaveFormat FormatValue;
    qint64 DataOffsetValue = 0;
    qint64 DataBytes = 0;
    int SampleCountValue = 0;
    bool Writing = false;
    bool Finished = false;
};

} // namespace Lumerix
