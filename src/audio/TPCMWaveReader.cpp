#include "TPCMWaveReader.h"

#include <QtEndian>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/channel_layout.h>
#include <libswresample/swresample.h>
}

#include <cstring>

namespace Lumerix {

namespace {

constexpr int TargetBufferBytes = 20000;

struct TCodecChoice {
    AVCodecID Id = AV_CODEC_ID_NONE;
    int SamplesPerBlock = 0;
    bool Stateless = false; // any run of blocks may be decoded as one packet
};

quint16 EffectiveTag(const TWaveFormat& format) {
    // WAVE_FORMAT_EXTENSIBLE carries the real tag in the first two bytes of its sub-format.
    if (format.FormatTag == 0xFFFE && format.Extra.size() >= 22)
        return qFromLittleEndian<quint16>(format.Extra.constData() + 6);
    return format.FormatTag;
}

TCodecChoice ChooseCodec(const TWaveFormat& format) {
    const int channels = qMax(1, int(format.Channels));
    const int align = format.BlockAlign;
    switch (EffectiveTag(format)) {
    case 2: // MS ADPCM: 7 header bytes per channel hold two samples
        return {AV_CODEC_ID_ADPCM_MS, (align - 7 * channels) * 2 / channels + 2, false};
    case 0x11: // IMA ADPCM: 4 header bytes per channel hold one sample
        return {AV_CODEC_ID_ADPCM_IMA_WAV, (align - 4 * channels) * 2 / channels + 1, false};
    case 6:
        return {AV_CODEC_ID_PCM_ALAW, 1, true};
    case 7:
        return {AV_CODEC_ID_PCM_MULAW, 1, true};
    case 0x31: // GSM 6.10 in the 65-byte double frames of WAVE files
        return {AV_CODEC_ID_GSM_MS, 320, false};
    case 3:
        return {format.BitsPerSample == 64 ? AV_CODEC_ID_PCM_F64LE : AV_CODEC_ID_PCM_F32LE, 1,
                true};
    case 1: {
        static const AVCodecID ids[] = {AV_CODEC_ID_PCM_U8, AV_CODEC_ID_PCM_S16LE,
                                        AV_CODEC_ID_PCM_S24LE, AV_CODEC_ID_PCM_S32LE};
        const int bytes = align / channels;
        if (bytes >= 1 && bytes <= 4)
            return {ids[bytes - 1], 1, true};
        return {};
    }
    default:
        return {};
    }
}

} // namespace

struct TPCMWaveReader::TDecoder {
    AVCodecContext* Context = nullptr;
    SwrContext* Resampler = nullptr;
    AVPacket* Packet = nullptr;
    AVFrame* Frame = nullptr;
    bool Stateless = false;
    ~TDecoder() {
        av_frame_free(&Frame);
        av_packet_free(&Packet);
        swr_free(&Resampler);
        avcodec_free_context(&Context);
    }
};

TPCMWaveReader::TPCMWaveReader(TWaveStream& source) : Source(source) {
    const TWaveFormat& format = source.Format();
    if (format.FormatTag == 1) {
        PcmFormatValue = format;
        PcmFormatValue.Extra.clear();
        SamplesPerBlockValue = 1;
    } else {
        const TCodecChoice choice = ChooseCodec(format);
        const AVCodec* codec =
            choice.Id == AV_CODEC_ID_NONE ? nullptr : avcodec_find_decoder(choice.Id);
        if (!codec || choice.SamplesPerBlock <= 0 || format.Channels == 0)
            throw TWaveError(QStringLiteral("Can't suggest pcm format."));
        PcmFormatValue = TWaveFormat::Pcm(format.Channels, int(format.SamplesPerSec), 16);

        Decoder = std::make_unique<TDecoder>();
        Decoder->Stateless = choice.Stateless;
        AVCodecContext* context = avcodec_alloc_context3(codec);
        Decoder->Context = context;
        context->sample_rate = int(format.SamplesPerSec);
        av_channel_layout_default(&context->ch_layout, format.Channels);
        context->block_align = format.BlockAlign;
        context->bits_per_coded_sample = format.BitsPerSample;
        if (!format.Extra.isEmpty()) {
            context->extradata = static_cast<uint8_t*>(
                av_mallocz(size_t(format.Extra.size()) + AV_INPUT_BUFFER_PADDING_SIZE));
            std::memcpy(context->extradata, format.Extra.constData(), size_t(format.Extra.size()));
            context->extradata_size = int(format.Extra.size());
        }
        if (avcodec_open2(context, codec, nullptr) < 0)
            throw TWaveError(QStringLiteral("Can't open acm stream."));
        AVChannelLayout layout;
        av_channel_layout_default(&layout, format.Channels);
        if (swr_alloc_set_opts2(&Decoder->Resampler, &layout, AV_SAMPLE_FMT_S16,
                                int(format.SamplesPerSec), &context->ch_layout, context->sample_fmt,
                                int(format.SamplesPerSec), 0, nullptr) < 0 ||
            swr_init(Decoder->Resampler) < 0)
            throw TWaveError(QStringLiteral("Can't open acm stream."));
        Decoder->Packet = av_packet_alloc();
        Decoder->Frame = av_frame_alloc();

        // Whole source blocks that give about 20000 bytes of PCM.
        const int blockPcmBytes = choice.SamplesPerBlock * PcmFormatValue.BlockAlign;
        SourceBlocksPerBuffer = qMax(1, TargetBufferBytes / blockPcmBytes);
        SourceBuffer.resize(qsizetype(SourceBlocksPerBuffer) * format.BlockAlign);
        PcmBuffer.resize(qsizetype(SourceBlocksPerBuffer) * blockPcmBytes);
        SamplesPerBlockValue = choice.SamplesPerBlock;
    }
    SizeValue = SamplesPerBlockValue * source.SampleCount();
}

TPCMWaveReader::~TPCMWaveReader() = default;

void TPCMWaveReader::SetPosition(int sample) {
    if (sample == PositionValue)
        return;
    if (sample < 0 || sample >= SizeValue)
        throw TWaveError(QStringLiteral("Position out of bounds."));
    PositionValue = sample;
}

void TPCMWaveReader::Refill(int block) {
    const int pcmAlign = PcmFormatValue.BlockAlign;
    const int sourceAlign = Source.Format().BlockAlign;
    Source.SeekSample(block, 0);
    const int blocks = Source.ReadSamples(SourceBuffer.data(), SourceBlocksPerBuffer);
    if (!Decoder->Stateless && block != NextBlock)
        avcodec_flush_buffers(Decoder->Context);
    NextBlock = block + blocks;

    int produced = 0;
    const int capacity = int(PcmBuffer.size() / pcmAlign);
    auto drain = [&]() {
        while (true) {
            const int r = avcodec_receive_frame(Decoder->Context, Decoder->Frame);
            if (r == AVERROR(EAGAIN) || r == AVERROR_EOF)
                return;
            if (r < 0)
                throw TWaveError(QStringLiteral("Unable to convert sample."));
            uint8_t* out =
                reinterpret_cast<uint8_t*>(PcmBuffer.data()) + qsizetype(produced) * pcmAlign;
            const int n = swr_convert(Decoder->Resampler, &out, capacity - produced,
                                      const_cast<const uint8_t**>(Decoder->Frame->extended_data),
                                      Decoder->Frame->nb_samples);
            av_frame_unref(Decoder->Frame);
            if (n < 0)
                throw TWaveError(QStringLiteral("Unable to convert sample."));
            produced += n;
        }
    };
    // Stateless formats go as one packet; block codecs one block per packet.
    const int perPacket = Decoder->Stateless ? qMax(1, blocks) : 1;
    for (int first = 0; first < blocks; first += perPacket) {
        const int count = qMin(perPacket, blocks - first);
        if (av_new_packet(Decoder->Packet, count * sourceAlign) < 0)
            throw TWaveError(QStringLiteral("Unable to convert sample."));
        std::memcpy(Decoder->Packet->data,
                    SourceBuffer.constData() + qsizetype(first) * sourceAlign,
                    size_t(count) * sourceAlign);
        const int r = avcodec_send_packet(Decoder->Context, Decoder->Packet);
        av_packet_unref(Decoder->Packet);
        if (r < 0 && r != AVERROR(EAGAIN))
            throw TWaveError(QStringLiteral("Unable to convert sample."));
        drain();
    }
    PcmBufferSamples = produced;
    PcmBufferStart = block * SamplesPerBlockValue;
}

int TPCMWaveReader::ReadPcm(char* buffer, int count) {
    if (count <= 0)
        return 0;
    const int align = PcmFormatValue.BlockAlign;
    count = qMin(count, SizeValue - PositionValue);
    if (count <= 0)
        return 0;
    if (!Decoder) {
        Source.SeekSample(PositionValue, 0);
        const int read = Source.ReadSamples(buffer, count);
        PositionValue += read;
        return read;
    }
    int n = 0;
    auto copyFromBuffer = [&]() {
        const int from = PositionValue + n;
        const int end = qMin(PcmBufferStart + PcmBufferSamples, PositionValue + count);
        if (from < PcmBufferStart || from >= end)
            return 0;
        const int samples = end - from;
        std::memcpy(buffer + qsizetype(n) * align,
                    PcmBuffer.constData() + qsizetype(from - PcmBufferStart) * align,
                    size_t(samples) * align);
        n += samples;
        return samples;
    };
    copyFromBuffer();
    while (n < count) {
        Refill((PositionValue + n) / SamplesPerBlockValue);
        if (PositionValue + n < PcmBufferStart)
            throw TWaveError(
                QStringLiteral("Internal error: Position smaller than PCMBufferSamplePos"));
        if (copyFromBuffer() == 0)
            break;
    }
    PositionValue += n;
    return n;
}

} // namespace Lumerix
