#pragma once

#include "audio/TWaveStream.h"

#include <QByteArray>

#include <memory>

namespace Lumerix {

/// Delivers the samples of a WAVE stream as PCM. PCM passes through; MS ADPCM, IMA ADPCM,
/// A-law, µ-law, GSM 6.10 and IEEE float are decoded to 16-bit PCM in buffers of about 20000
/// bytes, one buffer of whole source blocks at a time.
class TPCMWaveReader {
public:
    /// `source` is not owned and must outlive the reader.
    explicit TPCMWaveReader(TWaveStream& source);
    ~TPCMWaveReader();
    TPCMWaveReader(const TPCMWaveReader&) = delete;
    TPCMWaveReader& operator=(const TPCMWaveReader&) = delete;

    /// Number of PCM samples the file yields: SamplesPerBlock × source blocks.
    int Size() const { return SizeValue; }
    int Position() const { return PositionValue; }
    void SetPosition(int sample);
    /// Copies up to `count` PCM samples (of PcmFormat().BlockAlign bytes) into `buffer`.
    int ReadPcm(char* buffer, int count);
    const TWaveFormat& PcmFormat() const { return PcmFormatValue; }
    int SamplesPerBlock() const { return SamplesPerBlockValue; }

private:
    struct TDecoder;
    void Refill(int block);

    TWaveStream& Source;
    TWaveFormat PcmFormatValue;
    int PositionValue = 0;
    int SizeValue = 0;
    int SamplesPerBlockValue = 1;
    int SourceBlocksPerBuffer = 0;
    QByteArray SourceBuffer;
    QByteArray PcmBuffer;
    int PcmBufferStart = 0;
    int PcmBufferSamples = 0;
    int NextBlock = -1; // the block after the last one decoded, for codecs that keep state
    std::unique_ptr<TDecoder> Decoder;
};

} // namespace Lumerix
