#include "TMPEGaudio.h"

#include <QFile>

#include <cmath>

namespace Lumerix {

namespace {

// Bit rates in kbit/s by bit-rate index: MPEG 1 Layers I, II, III, then MPEG 2 (and 2.5)
// Layer I and Layers II/III.
constexpr int BitRates[5][16] = {
    {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448, 0},
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384, 0},
    {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0},
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256, 0},
    {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0},
};

// Sample rates in Hz by version id (MPEG 2.5, reserved, MPEG 2, MPEG 1) and index.
constexpr int SampleRates[4][4] = {
    {11025, 12000, 8000, 0},
    {0, 0, 0, 0},
    {22050, 24000, 16000, 0},
    {44100, 48000, 32000, 0},
};

const char* const VersionNames[] = {"MPEG 2.5", "MPEG ?", "MPEG 2", "MPEG 1"};
const char* const LayerNames[] = {"Layer ?", "Layer III", "Layer II", "Layer I"};
const char* const ChannelModeNames[] = {"Stereo", "Joint Stereo", "Dual Channel", "Mono",
                                        "Unknown"};
const char* const EmphasisNames[] = {"None", "50/15 ms", "Unknown", "CCIT J.17"};
const char* const EncoderNames[] = {"Unknown", "Xing", "FhG", "LAME", "Blade", "GoGo", "Shine"};

constexpr int MpegVersion1 = 3;
constexpr int LayerOne = 3;
constexpr int ModeStereo = 0;
constexpr int ModeJointStereo = 1;
constexpr int ModeDualChannel = 2;
constexpr int ModeMono = 3;

template <std::size_t N> QString Name(const char* const (&names)[N], int index) {
    return index >= 0 && index < static_cast<int>(N) ? QString::fromLatin1(names[index])
                                                     : QString();
}

qint32 BigEndian32(const quint8* bytes) {
    return static_cast<qint32>((quint32(bytes[0]) << 24) | (quint32(bytes[1]) << 16) |
                               (quint32(bytes[2]) << 8) | quint32(bytes[3]));
}

double RoundHalfEven(double value) {
    const double rounded = std::round(value);
    if (std::abs(value - std::trunc(value)) == 0.5)
        return 2.0 * std::round(value / 2.0);
    return rounded;
}

// Reads up to `BlockLength` bytes at `offset`; bytes past the end of the file stay zero.
// Returns the count read, or -1 on a read error.
qint64 ReadBlock(QFile& file, qint64 offset, QByteArray& block) {
    block = QByteArray(TMPEGaudio::BlockLength, '\0');
    if (offset >= file.size())
        return 0;
    if (!file.seek(qMax<qint64>(offset, 0)))
        return -1;
    qint64 total = 0;
    while (total < TMPEGaudio::BlockLength) {
        const qint64 count = file.read(block.data() + total, TMPEGaudio::BlockLength - total);
        if (count < 0)
            return -1;
        if (count == 0)
            break;
        total += count;
    }
    return total;
}

int CoefficientOf(int versionId, int layerId) {
    const int mpeg1 = layerId == LayerOne ? 48 : 144;
    return versionId == MpegVersion1 ? mpeg1 : mpeg1 / 2;
}

int PaddingSizeOf(const TMPEGaudio::TFrameHeader& header) {
    if (!header.Padding)
        return 0;
    return header.LayerId == LayerOne ? 4 : 1;
}

} // namespace

void TMPEGaudio::Reset() {
    Size = 0;
    WaveHeader = false;
    Vbr = TVbrHeader();
    Frame = TFrameHeader();
    Tag1.Reset();
    Tag2.Reset();
}

bool TMPEGaudio::IsValidHeader(const quint8* b) {
    return b[0] == 0xFF && (b[1] & 0xE0) == 0xE0 && ((b[1] >> 3) & 3) != 1 &&
           ((b[1] >> 1) & 3) != 0 && (b[2] >> 4) != 15 && (b[2] >> 4) != 0 &&
           ((b[2] >> 2) & 3) != 3 && (b[3] & 3) != 2;
}

void TMPEGaudio::DecodeHeader(const quint8* b, TFrameHeader& header) {
    header.HeaderBytes = {b[0], b[1], b[2], b[3]};
    header.VersionId = (b[1] >> 3) & 3;
    header.LayerId = (b[1] >> 1) & 3;
    header.Protected = (b[1] & 1) == 0;
    header.BitRateIndex = b[2] >> 4;
    header.SampleRateIndex = (b[2] >> 2) & 3;
    header.Padding = (b[2] & 2) != 0;
    header.Private = (b[2] & 1) != 0;
    header.ChannelMode = b[3] >> 6;
    header.ModeExtension = (b[3] >> 4) & 3;
    header.Copyright = (b[3] & 8) != 0;
    header.Original = (b[3] & 4) != 0;
    header.Emphasis = b[3] & 3;
}

int TMPEGaudio::TableBitRate(int versionId, int layerId, int bitRateIndex) {
    if (versionId < 0 || versionId > 3 || versionId == 1 || layerId < 1 || layerId > 3 ||
        bitRateIndex < 0 || bitRateIndex > 15)
        return 0;
    int row = 0;
    if (versionId == MpegVersion1)
        row = 3 - layerId; // Layer I, II, III in rows 0, 1, 2
    else
        row = layerId == LayerOne ? 3 : 4;
    return BitRates[row][bitRateIndex];
}

int TMPEGaudio::TableSampleRate(int versionId, int sampleRateIndex) {
    if (versionId < 0 || versionId > 3 || sampleRateIndex < 0 || sampleRateIndex > 3)
        return 0;
    return SampleRates[versionId][sampleRateIndex];
}

quint16 TMPEGaudio::FrameSizeOf(const TFrameHeader& header) {
    const qint64 bitRate = TableBitRate(header.VersionId, header.LayerId, header.BitRateIndex);
    const qint64 sampleRate = TableSampleRate(header.VersionId, header.SampleRateIndex);
    if (sampleRate == 0)
        return 0;
    const qint64 size =
        CoefficientOf(header.VersionId, header.LayerId) * bitRate * 1000 / sampleRate +
        PaddingSizeOf(header);
    return static_cast<quint16>(size);
}

int TMPEGaudio::Coefficient() const {
    return CoefficientOf(Frame.VersionId, Frame.LayerId);
}

int TMPEGaudio::PaddingSize() const {
    return PaddingSizeOf(Frame);
}

bool TMPEGaudio::SearchFrame(const QByteArray& block) {
    const auto* bytes = reinterpret_cast<const quint8*>(block.constData());
    const int length = static_cast<int>(block.size());
    for (int i = 0; i <= LastCandidate && i + 4 <= length; ++i) {
        if (!IsValidHeader(bytes + i))
            continue;
        TFrameHeader header;
        DecodeHeader(bytes + i, header);
        const int next = i + FrameSizeOf(header);
        // A follow-up header that would reach past the block does not confirm.
        if (next + 4 > length || !IsValidHeader(bytes + next))
            continue;

        header.Found = true;
        header.Position = i;
        header.FrameSize = FrameSizeOf(header);
        header.EmptyFrame = true;
        for (int k = i + 4; k < i + 10; ++k)
            header.EmptyFrame = header.EmptyFrame && bytes[k] == 0;
        Frame = header;

        // The VBR header follows the side information, whose length depends on version and
        // channel count.
        const bool mono = header.ChannelMode == ModeMono;
        int p = i;
        if (header.VersionId == MpegVersion1)
            p += mono ? 21 : 36;
        else
            p += mono ? 13 : 21;
        if (p + 128 > length)
            return true;
        const QByteArray id = block.mid(p, 4);
        if (id == "Xing") {
            Vbr.Found = true;
            Vbr.Id = id;
            Vbr.Frames = BigEndian32(bytes + p + 8);
            Vbr.Bytes = BigEndian32(bytes + p + 12);
            Vbr.Scale = bytes[p + 119];
            Vbr.VendorId = block.mid(p + 120, 8);
        } else if (id == "VBRI") {
            Vbr.Found = true;
            Vbr.Id = id;
            Vbr.Scale = bytes[p + 9];
            Vbr.Bytes = BigEndian32(bytes + p + 10);
            Vbr.Frames = BigEndian32(bytes + p + 14);
            Vbr.VendorId.clear();
        }
        return true;
    }
    return false;
}

bool TMPEGaudio::AnalyseFile(const QString& path) {
    Reset();
    if (!Tag1.ReadTag(path) || !Tag2.ReadTag(path)) {
        Reset();
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        Reset();
        return false;
    }
    Size = file.size();
    const qint64 audioStart = Tag2.TagSize;

    QByteArray block;
    const qint64 firstCount = ReadBlock(file, audioStart, block);
    if (firstCount < 0) {
        Reset();
        return false;
    }
    WaveHeader = block.mid(8, 4) == "WAVE";
    bool found = SearchFrame(block);
    if (!found && firstCount == BlockLength) {
        // A second look in the middle of the audio data, for files with junk at the start.
        const qint64 middle = qMax<qint64>((Size - audioStart) / 2, 0);
        if (ReadBlock(file, middle, block) < 0) {
            Reset();
            return false;
        }
        found = SearchFrame(block);
    }
    if (!found)
        Reset();
    return true;
}

qint64 TMPEGaudio::AudioBytes() const {
    return Size - Tag2.TagSize - Frame.Position;
}

QString TMPEGaudio::VersionName() const {
    return Name(VersionNames, Frame.VersionId);
}

QString TMPEGaudio::LayerName() const {
    return Name(LayerNames, Frame.LayerId);
}

QString TMPEGaudio::ChannelModeName() const {
    return Name(ChannelModeNames, Frame.ChannelMode);
}

QString TMPEGaudio::EmphasisName() const {
    return Name(EmphasisNames, Frame.Emphasis);
}

int TMPEGaudio::BitRateKbps() const {
    if (Vbr.Found && Vbr.Frames > 0) {
        const double perFrame = static_cast<double>(Vbr.Bytes) / Vbr.Frames - PaddingSize();
        const double rate = RoundHalfEven(perFrame * SampleRateHz() / Coefficient() / 1000.0);
        // The byte count is the encoder's claim; a negative or absurd one gives no rate
        // rather than a value outside the range of int.
        return rate >= 0 && rate <= 1e6 ? static_cast<int>(rate) : 0;
    }
    return TableBitRate(Frame.VersionId, Frame.LayerId, Frame.BitRateIndex);
}

int TMPEGaudio::SampleRateHz() const {
    return TableSampleRate(Frame.VersionId, Frame.SampleRateIndex);
}

qint64 TMPEGaudio::FrameCount() const {
    if (Vbr.Found)
        return qMax<qint64>(Vbr.Frames, 0);
    return Frame.FrameSize == 0 ? 0 : AudioBytes() / Frame.FrameSize;
}

double TMPEGaudio::Duration() const {
    if (!Frame.Found)
        return 0.0;
    const int sampleRate = SampleRateHz();
    if (Vbr.Found && Vbr.Frames > 0)
        return sampleRate == 0 ? 0.0 : double(Vbr.Frames) * Coefficient() * 8 / sampleRate;
    const int bitRate = TableBitRate(Frame.VersionId, Frame.LayerId, Frame.BitRateIndex);
    return bitRate == 0 ? 0.0 : double(AudioBytes()) * 8 / bitRate / 1000;
}

bool TMPEGaudio::IsValid() const {
    const int bitRate = BitRateKbps();
    return Frame.Found && bitRate >= 8 && bitRate <= 448 && Duration() >= 0.1;
}

int TMPEGaudio::EncoderIndex() const {
    if (!Frame.Found)
        return 0;
    int index = 0;
    if (Vbr.Found) {
        const QByteArray vendor = Vbr.VendorId.left(4);
        const bool known = vendor == "LAME" || vendor == "GOGO" || vendor == "MPGE";
        if (vendor == "LAME")
            index = 3;
        if (vendor == "GOGO" || vendor == "MPGE")
            index = 5;
        if (Vbr.Id == "Xing" && !known)
            index = 1;
        if (Vbr.Id == "VBRI")
            index = 2;
        return index;
    }
    // Without a VBR header the header flags hint at the encoder; the last rule that applies
    // wins.
    const TFrameHeader& f = Frame;
    if (f.Original && f.Protected)
        index = 3;
    if (f.ChannelMode == ModeJointStereo && !f.Copyright && !f.Original)
        index = 2;
    if (BitRateKbps() <= 112 && f.ChannelMode == ModeStereo)
        index = 4;
    if (f.Copyright && f.Original && !f.Protected)
        index = 1;
    if (f.EmptyFrame && f.Original)
        index = 1;
    if (WaveHeader)
        index = 2;
    if (f.ChannelMode == ModeDualChannel && f.Protected)
        index = 6;
    return index;
}

QString TMPEGaudio::EncoderName() const {
    const int index = EncoderIndex();
    QString name = Name(EncoderNames, index);
    if (Vbr.Found && index == 3) {
        // "LAME3.90" names its version: digit, point, two digits.
        const QByteArray version = Vbr.VendorId.mid(4, 4);
        const auto digit = [](char c) {
            return c >= '0' && c <= '9';
        };
        if (version.size() == 4 && digit(version[0]) && version[1] == '.' && digit(version[2]) &&
            digit(version[3]))
            name += u' ' + QString::fromLatin1(version);
    }
    return name;
}

} // namespace Lumerix
