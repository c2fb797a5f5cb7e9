#include "TWaveStream.h"

#include <QFileInfo>
#include <QtEndian>

namespace Lumerix {

namespace {

quint32 Le32(const char* p) {
    return qFromLittleEndian<quint32>(p);
}
quint16 Le16(const char* p) {
    return qFromLittleEndian<quint16>(p);
}

void Put16(QByteArray& bytes, quint16 value) {
    char b[2];
    qToLittleEndian(value, b);
    bytes.append(b, 2);
}

void Put32(QByteArray& bytes, quint32 value) {
    char b[4];
    qToLittleEndian(value, b);
    bytes.append(b, 4);
}

struct TChunk {
    QByteArray Id;
    qint64 DataOffset = 0;
    quint32 Size = 0;
};

/// Looks for the subchunk `id` between `from` and `end`; chunks are word aligned.
bool FindChunk(QFile& file, const char* id, qint64 from, qint64 end, TChunk& chunk) {
    qint64 pos = from;
    while (pos + 8 <= end) {
        if (!file.seek(pos))
            return false;
        const QByteArray head = file.read(8);
        if (head.size() < 8)
            return false;
        const quint32 size = Le32(head.constData() + 4);
        if (head.left(4) == id) {
            chunk = {head.left(4), pos + 8, size};
            return true;
        }
        pos += 8 + qint64(size) + (size & 1);
    }
    return false;
}

} // namespace

TWaveFormat TWaveFormat::Pcm(int channels, int sampleRate, int bits) {
    TWaveFormat format;
    format.FormatTag = 1;
    format.Channels = quint16(channels);
    format.SamplesPerSec = quint32(sampleRate);
    format.BitsPerSample = quint16(bits);
    format.BlockAlign = quint16(channels * ((bits + 7) / 8));
    format.AvgBytesPerSec = format.SamplesPerSec * format.BlockAlign;
    return format;
}

QByteArray TWaveFormat::Bytes() const {
    QByteArray bytes;
    Put16(bytes, FormatTag);
    Put16(bytes, Channels);
    Put32(bytes, SamplesPerSec);
    Put32(bytes, AvgBytesPerSec);
    Put16(bytes, BlockAlign);
    Put16(bytes, BitsPerSample);
    Put16(bytes, quint16(Extra.size()));
    return bytes + Extra;
}

bool TWaveFormat::SamePcm(const TWaveFormat& other) const {
    return Channels == other.Channels && SamplesPerSec == other.SamplesPerSec &&
           BitsPerSample == other.BitsPerSample && BlockAlign == other.BlockAlign;
}

TWaveStream::TWaveStream(const QString& path) : Path(path), File(path) {
    if (!File.open(QIODevice::ReadOnly))
        throw TWaveError(QStringLiteral("Can't open file stream."));
    ReadHeader();
}

TWaveStream::TWaveStream(const QString& path, const TWaveFormat& format)
    : Path(path), File(path), Writing(true) {
    if (!File.open(QIODevice::ReadWrite | QIODevice::Truncate))
        throw TWaveError(QStringLiteral("Can't open file stream."));
    FormatValue = format;
    WriteHeader();
}

TWaveStream::~TWaveStream() {
    try {
        Finish();
    } catch (const TWaveError&) {
        // A destructor must not throw; callers who care call Finish() themselves.
    }
}

void TWaveStream::ReadHeader() {
    const qint64 fileSize = File.size();
    const QByteArray riff = File.read(12);
    if (riff.size() < 8)
        throw TWaveError(QStringLiteral("Invalid multimedia file!"));
    if (riff.left(4) != "RIFF" || riff.size() < 12 || riff.mid(8, 4) != "WAVE")
        throw TWaveError(QStringLiteral("Not a wave file!"));
    const qint64 riffEnd = qMin<qint64>(fileSize, 8 + qint64(Le32(riff.constData() + 4)));

    TChunk fmt;
    if (!FindChunk(File, "fmt ", 12, riffEnd, fmt))
        throw TWaveError(QStringLiteral("Couldn't find 'fmt' chunk!"));
    if (fmt.Size < 16)
        throw TWaveError(QStringLiteral("Abnormal 'fmt' size!"));
    File.seek(fmt.DataOffset);
    const QByteArray pcm = File.read(16);
    if (pcm.size() < 16)
        throw TWaveError(QStringLiteral("Error reading 'fmt' chunk!"));
    const char* p = pcm.constData();
    FormatValue.FormatTag = Le16(p);
    FormatValue.Channels = Le16(p + 2);
    FormatValue.SamplesPerSec = Le32(p + 4);
    FormatValue.AvgBytesPerSec = Le32(p + 8);
    FormatValue.BlockAlign = Le16(p + 12);
    FormatValue.BitsPerSample = Le16(p + 14);
    FormatValue.Extra.clear();
    if (FormatValue.FormatTag != 1) {
        const QByteArray length = File.read(2);
        if (length.size() < 2)
            throw TWaveError(QStringLiteral("Error reading 'waveformatex' length!"));
        const quint16 cbSize = Le16(length.constData());
        FormatValue.Extra = File.read(cbSize);
        if (FormatValue.Extra.size() < cbSize)
            throw TWaveError(QStringLiteral("Error reading 'waveformatex'!"));
    }
    if (FormatValue.FormatTag == 85)
        throw TWaveError(QStringLiteral("MPEG Layer-3 compression is not supported."));
    if (FormatValue.BlockAlign == 0)
        throw TWaveError(QStringLiteral("Abnormal 'fmt' size!"));

    TChunk data;
    if (!FindChunk(File, "data", 12, riffEnd, data))
        throw TWaveError(QStringLiteral("The wave file %1 has no 'data' chunk.")
                             .arg(QFileInfo(Path).fileName()));
    DataOffsetValue = data.DataOffset;
    // A truncated file yields what it holds.
    DataBytes = qMin<qint64>(data.Size, qMax<qint64>(0, fileSize - data.DataOffset));
    SampleCountValue = int(DataBytes / FormatValue.BlockAlign);
    if (!File.seek(DataOffsetValue))
        throw TWaveError(QStringLiteral("Error seeking data!"));
}

void TWaveStream::WriteHeader() {
    QByteArray header = "RIFF";
    Put32(header, 0);
    header += "WAVE";
    const QByteArray format = FormatValue.Bytes();
    header += "fmt ";
    Put32(header, quint32(format.size()));
    header += format;
    if (format.size() & 1)
        header.append('\0');
    header += "data";
    Put32(header, 0);
    if (File.write(header) != header.size())
        throw TWaveError(QStringLiteral("Error writing wave format."));
    DataOffsetValue = header.size();
    DataBytes = 0;
}

int TWaveStream::ReadSamples(char* buffer, int count) {
    if (count <= 0)
        return 0;
    const qint64 align = FormatValue.BlockAlign;
    const qint64 left = qMax<qint64>(0, DataOffsetValue + DataBytes - File.pos());
    const qint64 wanted = qMin<qint64>(qint64(count) * align, left);
    const qint64 got = File.read(buffer, wanted);
    if (got < 0)
        throw TWaveError(QStringLiteral("Error reading from file."));
    return int(got / align);
}

int TWaveStream::SeekSample(qint64 offset, int origin) {
    const qint64 align = FormatValue.BlockAlign;
    qint64 target = 0;
    switch (origin) {
    case 0:
        target = DataOffsetValue + offset * align;
        break;
    case 1:
        target = File.pos() + offset * align;
        break;
    default:
        target = DataOffsetValue + DataBytes + offset * align;
        break;
    }
    if (target < DataOffsetValue || !File.seek(target))
        throw TWaveError(QStringLiteral("Seeking to an invalid location in the file."));
    return int((target - DataOffsetValue) / align);
}

int TWaveStream::WriteSamples(const char* buffer, int count) {
    if (count <= 0)
        return 0;
    const qint64 bytes = qint64(count) * FormatValue.BlockAlign;
    const qint64 written = File.write(buffer, bytes);
    if (written != bytes)
        throw TWaveError(QStringLiteral("Error writing to file."));
    DataBytes = qMax(DataBytes, File.pos() - DataOffsetValue);
    SampleCountValue = int(DataBytes / FormatValue.BlockAlign);
    return int(written / FormatValue.BlockAlign);
}

void TWaveStream::Finish() {
    if (!Writing || Finished)
        return;
    Finished = true;
    char size[4];
    const qint64 end = DataOffsetValue + DataBytes;
    bool ok = File.seek(end);
    if (ok && (DataBytes & 1))
        ok = File.write("\0", 1) == 1; // the pad byte of an odd-sized chunk
    qToLittleEndian(quint32(DataBytes), size);
    ok = ok && File.seek(DataOffsetValue - 4) && File.write(size, 4) == 4;
    qToLittleEndian(quint32(end + (DataBytes & 1) - 8), size);
    ok = ok && File.seek(4) && File.write(size, 4) == 4;
    if (!ok)
        throw TWaveError(QStringLiteral("Cannot ascend chunk."));
    if (!File.flush())
        throw TWaveError(QStringLiteral("Cannot flush."));
    File.close();
}

} // namespace Lumerix
