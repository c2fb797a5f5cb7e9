#pragma once

#include "TID3v1.h"
#include "TID3v2.h"

#include <QByteArray>
#include <QString>

#include <array>

namespace Lumerix {

/// Recognises an MPEG audio file from its tags and at most two small blocks of its data:
/// version, layer, bit rate, sample rate, channel mode, duration, frame count, header flags
/// and the probable encoder.
class TMPEGaudio {
public:
    /// The Xing or VBRI header in the first frame.
    struct TVbrHeader {
        bool Found = false;
        QByteArray Id; ///< "Xing" or "VBRI"
        qint32 Frames = 0;
        qint32 Bytes = 0;    ///< bytes of audio data
        quint8 Scale = 0;    ///< quality byte
        QByteArray VendorId; ///< 8 characters, Xing form only
    };

    /// The first frame header found and confirmed by a second one a frame further on.
    struct TFrameHeader {
        bool Found = false;
        int Position = 0;        ///< offset inside the block in which it was found
        quint16 FrameSize = 0;   ///< bytes
        bool EmptyFrame = false; ///< the six bytes after the header are zero
        std::array<quint8, 4> HeaderBytes{};
        int VersionId = 1;      ///< 0 MPEG 2.5, 1 reserved, 2 MPEG 2, 3 MPEG 1
        int LayerId = 0;        ///< 1 Layer III, 2 Layer II, 3 Layer I
        bool Protected = false; ///< a CRC follows the header
        int BitRateIndex = 0;
        int SampleRateIndex = 3;
        bool Padding = false;
        bool Private = false;
        int ChannelMode = 4; ///< 0 stereo, 1 joint stereo, 2 dual channel, 3 mono, 4 unknown
        int ModeExtension = 4;
        bool Copyright = false;
        bool Original = false;
        int Emphasis = 2;
    };

    /// Bytes of each block the frame search looks at, and its last candidate offset.
    static constexpr int BlockLength = 3458;
    static constexpr int LastCandidate = 1729;

    TMPEGaudio() { Reset(); }

    /// Reads the tags and looks for the first frame. True when the file could be read,
    /// whether or not a frame was found; false on a read error or a failed tag reader.
    bool AnalyseFile(const QString& path);

    QString VersionName() const;
    QString LayerName() const;
    QString ChannelModeName() const;
    QString EmphasisName() const;
    QString EncoderName() const;
    int BitRateKbps() const;
    int SampleRateHz() const;
    qint64 FrameCount() const;
    double Duration() const;  ///< seconds
    int EncoderIndex() const; ///< 0..6, see `EncoderName`
    bool IsValid() const;

    qint64 FileSize() const { return Size; }
    bool WaveHeaderFound() const { return WaveHeader; }
    const TVbrHeader& VbrHeader() const { return Vbr; }
    const TFrameHeader& FirstFrame() const { return Frame; }
    const TID3v1& ID3v1() const { return Tag1; }
    const TID3v2& ID3v2() const { return Tag2; }

    /// The four-byte header test: sync bits and no reserved or free-format field.
    static bool IsValidHeader(const quint8* bytes);
    /// Decodes the fields of a valid header; the block position fields stay untouched.
    static void DecodeHeader(const quint8* bytes, TFrameHeader& header);
    /// Frame size of a decoded header, padding included.
    static quint16 FrameSizeOf(const TFrameHeader& header);
    /// Bit rate in kbit/s from the tables; 0 for reserved and free-format values.
    static int TableBitRate(int versionId, int layerId, int bitRateIndex);
    /// Sample rate in Hz from the tables; 0 for reserved values.
    static int TableSampleRate(int versionId, int sampleRateIndex);

private:
    void Reset();
    /// Looks for a confirmed header at offsets 0 to `LastCandidate` of `block` (zero-padded to
    /// `BlockLength`) and reads its VBR header.
    bool SearchFrame(const QByteArray& block);
    /// Samples per frame divided by 8: 144 for MPEG 1 Layers II and III, …
    int Coefficient() const;
    int PaddingSize() const;
    qint64 AudioBytes() const;

    qint64 Size = 0;
    bool WaveHeader = false;
    TVbrHeader Vbr;
    TFrameHeader Frame;
    TID3v1 Tag1;
    TID3v2 Tag2;
};

} // namespace Lumerix
