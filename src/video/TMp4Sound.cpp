#include "TMp4Sound.h"

#include "AvText.h"

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

std::vector<float> TMp4Sound::Decode(const QString& path, const std::function<bool()>& cancelled) {
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
        if (cancelled && cancelled())
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
    const qint64 total = std::max<qint64>(0, frames);
    std::vector<float> mix(std::size_t(total) * 2, 0.0f);
    bool anyMusic = false;
    for (const auto& track : tracks)
        anyMusic = anyMusic || track.size() >= 2;
    if (!anyMusic)
        return mix;
    TSoundMix sound(
        int(tracks.size()),
        [&tracks](int k) { return std::make_shared<const std::vector<float>>(tracks[k]); }, total,
        crossfadeSeconds);
    sound.Read(mix.data(), total);
    return mix;
}

TSoundMix::TSoundMix(int trackCount, TSource source, qint64 frames, double crossfadeSeconds)
    : Source(std::move(source)), TrackCount(trackCount), Total(std::max<qint64>(0, frames)),
      Fade(qint64(std::max(0.0, crossfadeSeconds) * TMp4Sound::Rate)) {
    Finished = TrackCount <= 0;
}

TSoundMix::TSoundMix(const QStringList& tracks, qint64 frames, double crossfadeSeconds,
                     std::function<bool()> cancelled)
    : TSoundMix(
          int(tracks.size()),
          [tracks, cancelled = std::move(cancelled)](int k) {
              return std::make_shared<const std::vector<float>>(
                  TMp4Sound::Decode(tracks[k], cancelled));
          },
          frames, crossfadeSeconds) {}

void TSoundMix::PlaceUntil(qint64 until) {
    int emptyInARow = 0;
    // A track starting at Position - Fade or later cannot touch anything before `until`.
    while (!Finished && Position - Fade < until && Position < Total) {
        const int k = Next;
        Next = (Next + 1) % TrackCount;
        // A list of one track repeats it: decoded once.
        TTrack samples = !Placed.empty() && TrackCount == 1 ? Placed.back().Samples : Source(k);
        const qint64 length = samples ? qint64(samples->size() / 2) : 0;
        if (length == 0) {
            if (++emptyInARow < TrackCount)
                continue;
            if (Position == 0)
                throw TMp4SoundError(QStringLiteral("The music tracks hold no sound"));
            Finished = true; // cancelled, or the files changed meanwhile: silence from here
            break;
        }
        emptyInARow = 0;
        // The overlap never takes more than half of either track.
        const qint64 overlap = Position == 0 ? 0 : std::min({Fade, length / 2, Position / 2});
        Placed.push_back({std::move(samples), Position - overlap, overlap});
        Position = Placed.back().End();
    }
}

void TSoundMix::Read(float* out, qint64 count) {
    std::fill(out, out + std::size_t(std::max<qint64>(0, count)) * 2, 0.0f);
    const qint64 from = Done;
    const qint64 to = Done + std::max<qint64>(0, count);
    Done = to;
    PlaceUntil(std::min(to, Total));
    // Each track in order over the window, fading the ones before it where it fades in:
    // the same sums as mixing the whole show at once.
    for (const TPlaced& track : Placed) {
        const float* in = track.Samples->data();
        const qint64 begin = std::max(from, track.Start);
        const qint64 end = std::min({to, track.End(), Total});
        for (qint64 at = begin; at < end; ++at) {
            const qint64 i = at - track.Start;
            float* o = out + (at - from) * 2;
            float gain = 1.0f;
            if (i < track.Overlap) {
                gain = float(i + 1) / float(track.Overlap + 1);
                o[0] *= 1.0f - gain;
                o[1] *= 1.0f - gain;
            }
            o[0] += gain * in[i * 2];
            o[1] += gain * in[i * 2 + 1];
        }
    }
    while (!Placed.empty() && Placed.front().End() <= to)
        Placed.pop_front();

    const qint64 fadeOut =
        std::min<qint64>(Total, qint64(TMp4Sound::FadeOutSeconds * TMp4Sound::Rate));
    for (qint64 at = std::max(from, Total - fadeOut); at < std::min(to, Total); ++at) {
        const float gain = float(Total - at - 1) / float(fadeOut);
        out[(at - from) * 2] *= gain;
        out[(at - from) * 2 + 1] *= gain;
    }
}

} // namespace Lumerix
