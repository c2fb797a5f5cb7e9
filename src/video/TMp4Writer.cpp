#include "TMp4Writer.h"

#include "AvText.h"
#include "TMp4Sound.h"
#include "TMp4Timeline.h"
#include "YuvFrames.h"
#include "imaging/TRasterImage.h"
#include "shell/Colors.h"
#include "shell/TProgress.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QThreadPool>
#include <QtConcurrent>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/dict.h>
#include <libavutil/frame.h>
}

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <deque>
#include <filesystem>
#include <map>
#include <memory>

namespace Lumerix {

namespace {

using TFramePtr = std::shared_ptr<AVFrame>;

TFramePtr MakeFrame() {
    return TFramePtr(av_frame_alloc(), [](AVFrame* frame) { av_frame_free(&frame); });
}

TFramePtr ToYuv(const QImage& image) {
    TFramePtr frame = MakeFrame();
    if (!frame)
        return {};
    frame->format = AV_PIX_FMT_YUV420P;
    frame->width = image.width();
    frame->height = image.height();
    if (av_frame_get_buffer(frame.get(), 0) < 0)
        return {};
    YuvFrames::FromImage(image, frame->data, frame->linesize);
    return frame;
}

struct TPrepared {
    QImage Image;
    QString Caption;
    int Index = 0;
};
using TPreparedPtr = std::shared_ptr<const TPrepared>;

struct TPrepareResult {
    TPreparedPtr Picture;
    QString Error;
};

// Decoded once, reduced to what the frame needs at the largest zoom.
TPrepareResult Prepare(const TMp4Picture& source, int index, const TMp4Options& options) {
    try {
        const QSize stored = TRasterImage::ReadSize(source.Source);
        const QSize working =
            Mp4Motion::WorkingSize(stored, options.FrameSize(), options.Fill, options.Motion);
        TRasterImage picture;
        if (working == stored) {
            picture.Load(source.Source);
        } else {
            picture.LoadScaled(source.Source, working);
            if (picture.SizeOf() != working)
                picture.Size(working.width(), working.height(), TResize::Resample);
        }
        auto prepared = std::make_shared<TPrepared>();
        prepared->Image = picture.Bitmap().convertToFormat(QImage::Format_RGB32);
        prepared->Caption = source.Caption;
        prepared->Index = index;
        return {prepared, {}};
    } catch (const TImagingError& error) {
        return {{}, error.Text()};
    }
}

struct TRenderResult {
    TFramePtr Frame; ///< null: the same as the frame before
    QString Error;
};

TRenderResult Render(const TPreparedPtr& a, const TPreparedPtr& b, TMp4Timeline::TFrame at,
                     const TEffectParameters& effect, const TMp4Options& options,
                     const TFrameLook& look) {
    try {
        QImage shown =
            TMp4Writer::PictureFrame(a->Image, a->Caption, at.Motion, a->Index, options, look);
        if (b) {
            const QImage next = TMp4Writer::PictureFrame(b->Image, b->Caption, at.NextMotion,
                                                         b->Index, options, look);
            // The painter of the preview and the player, at this frame's point of the
            // transition.
            const TTransitionPainter painter(shown, next, effect);
            const int states = painter.StateCount();
            const int state = std::clamp(int(std::ceil(at.Progress * states)), 1, states);
            shown = painter.State(state);
        }
        TFramePtr frame = ToYuv(shown);
        if (!frame)
            return {{}, QStringLiteral("out of memory for a video frame")};
        return {frame, {}};
    } catch (const TEffectsError& error) {
        return {{}, error.Text()};
    }
}

struct TEncodeState {
    AVFormatContext* Output = nullptr;
    AVCodecContext* Video = nullptr;
    AVCodecContext* Audio = nullptr;
    AVPacket* Packet = nullptr;
    AVFrame* Sound = nullptr;
    ~TEncodeState() {
        av_frame_free(&Sound);
        av_packet_free(&Packet);
        avcodec_free_context(&Audio);
        avcodec_free_context(&Video);
        if (Output) {
            avio_closep(&Output->pb);
            avformat_free_context(Output);
        }
    }
};

struct TWorkFileGuard {
    QString Path;
    bool Keep = false;
    ~TWorkFileGuard() {
        if (!Keep)
            QFile::remove(Path);
    }
};

// Stops the pool's work whichever way the encoding ends, before anything it uses goes away.
struct TPoolGuard {
    QThreadPool& Pool;
    std::atomic_bool& Cancel;
    ~TPoolGuard() {
        Cancel = true;
        Pool.clear();
        Pool.waitForDone();
    }
};

QString TimeText(double seconds) {
    const qint64 s = qint64(std::max(0.0, seconds) + 0.5);
    return QStringLiteral("%1:%2").arg(s / 60).arg(s % 60, 2, 10, QLatin1Char('0'));
}

} // namespace

QImage TMp4Writer::PictureFrame(const QImage& picture, const QString& caption, double t, int index,
                                const TMp4Options& options, const TFrameLook& look) {
    const QSize size = options.FrameSize();
    QImage frame(size, QImage::Format_RGB32);
    frame.fill(Colors::ToQColor(look.BackgroundColor));
    QPainter painter(&frame);
    // Bilinear sampling at sub-pixel positions: the picture glides instead of stepping.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter.setRenderHint(QPainter::Antialiasing, true);
    const Mp4Motion::TView view = options.Motion ? Mp4Motion::At(index, t) : Mp4Motion::TView{};
    painter.setTransform(
        Mp4Motion::Transform(QSizeF(picture.size()), QSizeF(size), options.Fill, view));
    painter.drawImage(QPointF(0, 0), picture);
    painter.end();
    FramePreparation::DrawCaption(frame, caption, look);
    return frame;
}

void TMp4Writer::Write() {
    if (Pictures.isEmpty())
        throw TMp4Error(QStringLiteral("The slideshow has no pictures to make a video of"));
    const QString resultName = QFileInfo(ResultPath).fileName();
    auto fail = [&](const QString& what, int code) {
        return TMp4Error(
            QStringLiteral("%1 cannot be written: %2 (%3)").arg(resultName, what, AvText(code)));
    };
    const int fps = Options.FramesPerSecond;
    const QSize size = Options.FrameSize();
    const int count = int(Pictures.size());
    const bool transitions = !Transitions.isEmpty() && count > 1;
    if (transitions && Transitions.size() < count - 1)
        throw TMp4Error(QStringLiteral("%1 transitions given for %2 pictures")
                            .arg(Transitions.size())
                            .arg(count));
    const TMp4Timeline timeline(count, std::max<qint64>(1, std::llround(SecondsPerPicture * fps)),
                                transitions ? std::llround(Options.TransitionSeconds * fps) : 0);
    const qint64 totalFrames = timeline.TotalFrames();
    const qint64 samplesPerFrame = TMp4Sound::Rate / fps;
    const qint64 totalSamples = totalFrames * samplesPerFrame;

    // The encoder's statistics would fill the terminal; failures come back as error codes.
    if (av_log_get_level() > AV_LOG_ERROR)
        av_log_set_level(AV_LOG_ERROR);
    TWorkFileGuard work{WorkPath()};
    QFile::remove(work.Path);
    TEncodeState state;

    // The encoders first: a missing one ends the build before any work is done.
    const AVCodec* videoCodec =
        avcodec_find_encoder_by_name(Options.VideoEncoder.toLatin1().constData());
    if (!videoCodec || videoCodec->id != AV_CODEC_ID_H264)
        throw TMp4Error(QStringLiteral("The H.264 encoder \"%1\" is missing from this FFmpeg "
                                       "installation, so no MP4 video can be made")
                            .arg(Options.VideoEncoder));
    const AVCodec* audioCodec = avcodec_find_encoder(AV_CODEC_ID_AAC);
    if (!audioCodec)
        throw TMp4Error(QStringLiteral("The AAC encoder is missing from this FFmpeg installation, "
                                       "so no MP4 video can be made"));

    const QByteArray workName = QFile::encodeName(work.Path);
    int code = avformat_alloc_output_context2(&state.Output, nullptr, "mp4", workName.constData());
    if (code < 0)
        throw fail(QStringLiteral("no MP4 muxer"), code);
    state.Video = avcodec_alloc_context3(videoCodec);
    state.Audio = avcodec_alloc_context3(audioCodec);
    state.Packet = av_packet_alloc();
    state.Sound = av_frame_alloc();
    if (!state.Video || !state.Audio || !state.Packet || !state.Sound)
        throw fail(QStringLiteral("out of memory"), AVERROR(ENOMEM));

    AVCodecContext* video = state.Video;
    video->width = size.width();
    video->height = size.height();
    video->pix_fmt = AV_PIX_FMT_YUV420P;
    video->time_base = AVRational{1, fps};
    video->framerate = AVRational{fps, 1};
    video->sample_aspect_ratio = AVRational{1, 1};
    video->color_primaries = AVCOL_PRI_BT709;
    video->color_trc = AVCOL_TRC_BT709;
    video->colorspace = AVCOL_SPC_BT709;
    video->color_range = AVCOL_RANGE_MPEG;
    video->gop_size = fps * 2; // a key frame every two seconds, for seeking
    video->thread_count = 0;   // the encoder's own threads, as many as it finds cores for
    video->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    AVDictionary* videoOptions = nullptr;
    av_dict_set(&videoOptions, "preset", Options.Preset().toLatin1().constData(), 0);
    av_dict_set(&videoOptions, "crf", QByteArray::number(Options.Crf()).constData(), 0);
    av_dict_set(&videoOptions, "profile", "high", 0);
    code = avcodec_open2(video, videoCodec, &videoOptions);
    av_dict_free(&videoOptions);
    if (code < 0)
        throw fail(QStringLiteral("the H.264 encoder does not start"), code);

    AVCodecContext* audio = state.Audio;
    audio->sample_rate = TMp4Sound::Rate;
    audio->sample_fmt = AV_SAMPLE_FMT_FLTP;
    audio->bit_rate = 192000;
    audio->time_base = AVRational{1, TMp4Sound::Rate};
    audio->profile = FF_PROFILE_AAC_LOW;
    audio->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    av_channel_layout_default(&audio->ch_layout, 2);
    code = avcodec_open2(audio, audioCodec, nullptr);
    if (code < 0)
        throw fail(QStringLiteral("the AAC encoder does not start"), code);

    AVStream* videoStream = avformat_new_stream(state.Output, nullptr);
    AVStream* audioStream = avformat_new_stream(state.Output, nullptr);
    if (!videoStream || !audioStream)
        throw fail(QStringLiteral("out of memory"), AVERROR(ENOMEM));
    avcodec_parameters_from_context(videoStream->codecpar, video);
    avcodec_parameters_from_context(audioStream->codecpar, audio);
    videoStream->time_base = video->time_base;
    videoStream->avg_frame_rate = video->framerate;
    videoStream->sample_aspect_ratio = video->sample_aspect_ratio;
    audioStream->time_base = audio->time_base;

    // One chapter per picture, from the start of its hold.
    state.Output->chapters =
        static_cast<AVChapter**>(av_calloc(std::size_t(count), sizeof(AVChapter*)));
    if (!state.Output->chapters)
        throw fail(QStringLiteral("out of memory"), AVERROR(ENOMEM));
    for (int i = 0; i < count; ++i) {
        auto* chapter = static_cast<AVChapter*>(av_mallocz(sizeof(AVChapter)));
        if (!chapter)
            throw fail(QStringLiteral("out of memory"), AVERROR(ENOMEM));
        chapter->id = i + 1;
        chapter->time_base = video->time_base;
        chapter->start = timeline.PictureStart(i);
        chapter->end = timeline.PictureStart(i + 1);
        const TMp4Picture& picture = Pictures[i];
        const QString title = !picture.Chapter.isEmpty()   ? picture.Chapter
                              : !picture.Caption.isEmpty() ? picture.Caption
                                                           : QFileInfo(picture.Source).fileName();
        av_dict_set(&chapter->metadata, "title", title.toUtf8().constData(), 0);
        state.Output->chapters[i] = chapter;
        state.Output->nb_chapters = unsigned(i + 1);
    }

    code = avio_open(&state.Output->pb, workName.constData(), AVIO_FLAG_WRITE);
    if (code < 0)
        throw fail(QStringLiteral("the file cannot be created"), code);
    // The index goes to the front, so the video plays while it downloads.
    AVDictionary* muxOptions = nullptr;
    av_dict_set(&muxOptions, "movflags", "+faststart", 0);
    code = avformat_write_header(state.Output, &muxOptions);
    av_dict_free(&muxOptions);
    if (code < 0)
        throw fail(QStringLiteral("the file header cannot be written"), code);

    auto drain = [&](AVCodecContext* context, AVStream* stream) {
        for (;;) {
            const int r = avcodec_receive_packet(context, state.Packet);
            if (r == AVERROR(EAGAIN) || r == AVERROR_EOF)
                return;
            if (r < 0)
                throw fail(QStringLiteral("encoding failed"), r);
            av_packet_rescale_ts(state.Packet, context->time_base, stream->time_base);
            state.Packet->stream_index = stream->index;
            const int w = av_interleaved_write_frame(state.Output, state.Packet);
            if (w < 0)
                throw fail(QStringLiteral("writing failed"), w);
        }
    };

    std::atomic_bool stop = false;
    QThreadPool pool;
    pool.setMaxThreadCount(std::max(2, QThread::idealThreadCount()));
    TPoolGuard poolGuard{pool, stop};

    // The music is decoded and mixed as the encoder reaches it, a track at a time; Cancel
    // also stops a long track's decode.
    TSoundMix sound(MusicTracks, totalSamples, Options.CrossfadeSeconds,
                    [this] { return Progress && Progress->Cancelled(); });
    std::vector<float> mixed;
    qint64 samplesDone = 0;
    const bool smallLast = audioCodec->capabilities & AV_CODEC_CAP_SMALL_LAST_FRAME;
    const int blockSamples = audio->frame_size > 0 ? audio->frame_size : 1024;
    mixed.resize(std::size_t(blockSamples) * 2);
    auto encodeSound = [&](qint64 untilSample) {
        while (samplesDone < totalSamples && samplesDone < untilSample) {
            const int wanted = int(std::min<qint64>(blockSamples, totalSamples - samplesDone));
            AVFrame* block = state.Sound;
            av_frame_unref(block);
            block->nb_samples = smallLast ? wanted : blockSamples;
            block->format = AV_SAMPLE_FMT_FLTP;
            block->sample_rate = TMp4Sound::Rate;
            av_channel_layout_copy(&block->ch_layout, &audio->ch_layout);
            int r = av_frame_get_buffer(block, 0);
            if (r < 0)
                throw fail(QStringLiteral("out of memory"), r);
            auto* left = reinterpret_cast<float*>(block->data[0]);
            auto* right = reinterpret_cast<float*>(block->data[1]);
            try {
                sound.Read(mixed.data(), wanted);
            } catch (const TMp4SoundError& error) {
                if (Progress && Progress->Cancelled())
                    throw TMp4Cancelled();
                throw TMp4Error(error.Text());
            }
            if (Progress && Progress->Cancelled())
                throw TMp4Cancelled();
            for (int i = 0; i < block->nb_samples; ++i) {
                const bool inside = i < wanted;
                left[i] = inside ? mixed[std::size_t(i) * 2] : 0.0f;
                right[i] = inside ? mixed[std::size_t(i) * 2 + 1] : 0.0f;
            }
            block->pts = samplesDone;
            samplesDone += wanted;
            r = avcodec_send_frame(audio, block);
            if (r < 0)
                throw fail(QStringLiteral("sound encoding failed"), r);
            drain(audio, audioStream);
        }
    };

    // Pictures are prepared one ahead of the frames that show them; frames are composed a
    // few ahead of the encoder. Both hold shared pictures, so memory stays at a few frames.
    std::map<int, QFuture<TPrepareResult>> preparing;
    int nextToPrepare = 0;
    auto preparedPicture = [&](int index) -> TPreparedPtr {
        for (; nextToPrepare < count && nextToPrepare <= index + 1; ++nextToPrepare)
            preparing[nextToPrepare] =
                QtConcurrent::run(&pool, Prepare, Pictures[nextToPrepare], nextToPrepare, Options);
        const TPrepareResult result = preparing.at(index).result();
        if (!result.Error.isEmpty())
            throw TMp4Error(result.Error);
        return result.Picture;
    };
    std::deque<QFuture<TRenderResult>> running;
    const std::size_t ahead = std::size_t(pool.maxThreadCount()) + 2;
    qint64 launched = 0;
    int stillPicture = -1; // the picture of the last frame launched, when it did not move
    TFramePtr previous;
    QElapsedTimer clock;
    clock.start();
    qint64 lastReport = -1000;
    if (Progress)
        Progress->SetStatus(
            QStringLiteral("Encoding %1 frames into %2").arg(totalFrames).arg(resultName));

    for (qint64 frame = 0; frame < totalFrames; ++frame) {
        while (launched < totalFrames && running.size() < ahead) {
            const TMp4Timeline::TFrame at = timeline.At(launched++);
            const bool still = !Options.Motion && at.Next < 0;
            if (still && stillPicture == at.Picture) {
                running.push_back(QtFuture::makeReadyFuture(TRenderResult{}));
                continue;
            }
            stillPicture = still ? at.Picture : -1;
            const TPreparedPtr a = preparedPicture(at.Picture);
            const TPreparedPtr b = at.Next >= 0 ? preparedPicture(at.Next) : TPreparedPtr();
            while (!preparing.empty() && preparing.begin()->first < at.Picture)
                preparing.erase(preparing.begin());
            const TEffectParameters effect =
                at.Next >= 0 ? Transitions[at.Picture] : TEffectParameters();
            running.push_back(QtConcurrent::run(&pool, Render, a, b, at, effect, Options, Look));
        }
        if (Progress && Progress->Cancelled())
            throw TMp4Cancelled();
        const TRenderResult rendered = running.front().result();
        running.pop_front();
        if (!rendered.Error.isEmpty())
            throw TMp4Error(rendered.Error);
        if (rendered.Frame)
            previous = rendered.Frame;
        if (!previous)
            throw fail(QStringLiteral("no frame"), AVERROR(EINVAL));
        AVFrame* send = av_frame_clone(previous.get());
        if (!send)
            throw fail(QStringLiteral("out of memory"), AVERROR(ENOMEM));
        send->pts = frame;
        code = avcodec_send_frame(video, send);
        av_frame_free(&send);
        if (code < 0)
            throw fail(QStringLiteral("video encoding failed"), code);
        drain(video, videoStream);
        encodeSound((frame + 1) * samplesPerFrame);

        if (Progress && clock.elapsed() - lastReport >= 500) {
            lastReport = clock.elapsed();
            const double done = double(frame + 1) / double(totalFrames);
            const double left = clock.elapsed() / 1000.0 * (1.0 - done) / std::max(done, 1e-6);
            Progress->SetPercent(int(done * 100));
            Progress->SetStatus(QStringLiteral("Frame %1 of %2, %3 left")
                                    .arg(frame + 1)
                                    .arg(totalFrames)
                                    .arg(TimeText(left)));
        }
    }
    encodeSound(totalSamples);

    code = avcodec_send_frame(video, nullptr);
    if (code < 0)
        throw fail(QStringLiteral("video encoding failed"), code);
    drain(video, videoStream);
    code = avcodec_send_frame(audio, nullptr);
    if (code < 0)
        throw fail(QStringLiteral("sound encoding failed"), code);
    drain(audio, audioStream);
    if (Progress)
        Progress->SetStatus(QStringLiteral("Moving the index to the front of %1").arg(resultName));
    code = av_write_trailer(state.Output);
    if (code < 0)
        throw fail(QStringLiteral("the index cannot be written"), code);
    if (state.Output->pb->error < 0)
        throw fail(QStringLiteral("writing failed"), state.Output->pb->error);
    code = avio_closep(&state.Output->pb);
    if (code < 0)
        throw fail(QStringLiteral("the file cannot be closed"), code);

    std::error_code renamed;
    std::filesystem::rename(std::filesystem::path(workName.toStdString()),
                            std::filesystem::path(QFile::encodeName(ResultPath).toStdString()),
                            renamed);
    if (renamed)
        throw TMp4Error(QStringLiteral("The video %1 cannot be written: %2")
                            .arg(ResultPath, QString::fromLocal8Bit(renamed.message().c_str())));
    work.Keep = true;
    if (Progress) {
        Progress->SetPercent(100);
        Progress->SetStatus(QStringLiteral("MP4 video written: ") + ResultPath);
    }
}

} // namespace Lumerix
