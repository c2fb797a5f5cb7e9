#include "TMp4Sound.h"

#include <QFile>
#include <QFileInfo>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

#include <algorithm>

namespace Lumerix {

namespace {

QString AvText(int code) {
    char buffer[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, buffer, sizeof buffer);
    return QString::fromLocal8Bit(buffer);
}

struct TDecodeState {
    AVFormatContext* Input = nullptr;
    AVCodecContext* Decoder = nullptr;
    SwrContext* Resampler = nullptr;
    AVPacket* Packet = nullptr;
    AVFrame* Frame = nullptr;
    ~TDecodeState() {
        av_frame_free(&Frame);
        av_packet_free(&Packet);
        swr_free(&Resampler);
        avcodec_free_context(&Decoder);
        avformat_close_input(&Input);
    }
};

} // namespace

std::vector<float> TMp4Sound::Decode(const QString& path, const std::atomic_bool* cancel) {
    const QString name = QFileInfo(path).fileName();
    auto fail = [&](const QString& what, int code) {
        return TMp4SoundError(QStringLiteral("The music track %1 cannot be read: %2 (%3)")
                                  .arg(name, what, AvText(code)));
    };
    TDecodeState state;
    const QByteArray file = QFile::encodeName(path);
    int code = avformat_open_input(&state.Input, file.constData(), nullptr, nullptr);
    if (code < 0)
        throw fail(QStringLiteral("not a sound file"), code);
    code = avformat_find_stream_info(state.Input, nullptr);
    if (code < 0)
        throw fail(QStringLiteral("no stream information"), code);
    const AVCodec* codec = nullptr;
    const int stream = av_find_best_stream(state.Input, AVMEDIA_TYPE_AUDIO, -1, -1, &codec, 0);
    if (stream < 0 || !codec)
        throw fail(QStringLiteral("no sound in it"),
                   stream < 0 ? stream : AVERROR_DECODER_NOT_FOUND);
    state.Decoder = avcodec_alloc_context3(codec);
    if (!state.Decoder)
        throw fail(QStringLiteral("out of memory"), AVERROR(ENOMEM));
    avcodec_parameters_to_context(state.Decoder, state.Input->streams[stream]->codecpar);
    code = avcodec_open2(state.Decoder, codec, nullptr);
    if (code < 0)
        throw fail(QStringLiteral("the decoder does not start"), code);
    if (state.Decoder->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC)
        av_channel_layout_default(&state.Decoder->ch_layout, state.Decoder->ch_layout.nb_channels);
    AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
    code = swr_alloc_set_opts2(&state.Resampler, &stereo, AV_SAMPLE_FMT_FLT, Rate,
                               &state.Decoder->ch_layout, state.Decoder->sample_fmt,
                               state.Decoder->sample_rate, 0, nullptr);
    if (code < 0 || swr_init(state.Resampler) < 0)
        throw fail(QStringLiteral("the sound cannot be converted"),
                   code < 0 ? code : AVERROR(EINVAL));
    state.Packet = av_packet_alloc();
    state.Frame = av_frame_alloc();
    if (!state.Packet || !state.Frame)
        throw fail(QStringLiteral("out of memory"), AVERROR(ENOMEM));

    std::vector<float> samples;
    auto convert = [&](const AVFrame* frame) {
        const int in = frame ? frame->nb_samples : 0;
        const int room = swr_get_out_samples(state.Resampler, in);
        if (room <= 0)
            return;
        const std::size_t at = samples.size();
        samples.resize(at + std::size_t(room) * 2);
        uint8_t* out[1] = {reinterpret_cast<uint8_t*>(samples.data() + at)};
        const int made =
            swr_convert(state.Resampler, out, room,
                        frame ? const_cast<const uint8_t**>(frame->extended_data) : nullptr, in);
        samples.resize(at + std::size_t(std::max(0, made)) * 2);
    };
    auto receive = [&]() {
        for (;;) {
            const int r = avcodec_receive_frame(state.Decoder, state.Frame);
            if (r == AVERROR(EAGAIN) || r == AVERROR_EOF)
                return;
            if (r < 0)
                throw fail(QStringLiteral("damaged sound data"), r);
            convert(state.Frame);
            av_frame_unref(state.Frame);
        }
    };
    while ((code = av_read_frame(state.Input, state.Packet)) >= 0) {
        if (cancel && cancel->load())
            return {};
        if (state.Packet->stream_index == stream) {
            // A damaged frame is skipped, as players do; the rest of the track still plays.
            if (avcodec_send_packet(state.Decoder, state.Packet) >= 0)
                receive();
        }
        av_packet_unref(state.Packet);
    }
    if (code != AVERROR_EOF)
        throw fail(QStringLiteral("reading failed"), code);
    avcodec_send_packet(state.Decoder, nullptr);
    receive();
    convert(nullptr);
    return samples;
}

std::vector<float> TMp4Sound::MixDecoded(const std::vector<std::vector<float>>& tracks,
                                         qint64 frames, double crossfadeSeconds) {
    std::vector<float> mix(std::size_t(std::max<qint64>(0, frames)) * 2, 0.0f);
    const qint64 total = std::max<qint64>(0, frames);
    bool anyMusic = false;
    for (const auto& track : tracks)
        anyMusic = anyMusic || track.size() >= 2;
    if (!anyMusic || total == 0)
        return mix;

    const qint64 fade = qint64(std::max(0.0, crossfadeSeconds) * Rate);
    qint64 position = 0; // where the previous track ended
    for (std::size_t k = 0; position < total; k = (k + 1) % tracks.size()) {
        const std::vector<float>& track = tracks[k];
        const qint64 length = qint64(track.size() / 2);
        if (length == 0)
            continue;
        // The overlap never takes more than half of either track.
        const qint64 overlap = position == 0 ? 0 : std::min({fade, length / 2, position / 2});
        const qint64 start = position - overlap;
        for (qint64 i = 0; i < length && start + i < total; ++i) {
            float gain = 1.0f;
            if (i < overlap) {
                gain = float(i + 1) / float(overlap + 1);
                // The previous track fades out over the same samples.
                const float out = 1.0f - gain;
                mix[std::size_t(start + i) * 2] *= out;
                mix[std::size_t(start + i) * 2 + 1] *= out;
            }
            mix[std::size_t(start + i) * 2] += gain * track[std::size_t(i) * 2];
            mix[std::size_t(start + i) * 2 + 1] += gain * track[std::size_t(i) * 2 + 1];
        }
        position = start + length;
    }
    const qint64 fadeOut = std::min<qint64>(total, qint64(FadeOutSeconds * Rate));
    for (qint64 i = 0; i < fadeOut; ++i) {
        const qint64 at = total - fadeOut + i;
        const float gain = float(fadeOut - i - 1) / float(fadeOut);
        mix[std::size_t(at) * 2] *= gain;
        mix[std::size_t(at) * 2 + 1] *= gain;
    }
    return mix;
}

std::vector<float> TMp4Sound::Mix(const QStringList& tracks, qint64 frames, double crossfadeSeconds,
                                  const std::atomic_bool* cancel) {
    std::vector<std::vector<float>> decoded;
    qint64 length = 0;
    // Tracks past the show's length are never heard, so they are not decoded.
    for (const QString& path : tracks) {
        const qint64 overlaps = qint64(crossfadeSeconds * Rate) * qint64(decoded.size());
        if (!decoded.empty() && length - overlaps >= frames)
            break;
        decoded.push_back(Decode(path, cancel));
        if (cancel && cancel->load())
            return {};
        length += qint64(decoded.back().size() / 2);
    }
    if (!tracks.isEmpty() && length == 0)
        throw TMp4SoundError(QStringLiteral("The music tracks hold no sound"));
    return MixDecoded(decoded, frames, crossfadeSeconds);
}

} // namespace Lumerix
