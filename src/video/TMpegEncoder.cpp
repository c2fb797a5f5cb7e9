#include "TMpegEncoder.h"

#include "AvText.h"
#include "audio/TWaveStream.h"
#include "shell/TProgress.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMap>
#include <QRegularExpression>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/dict.h>
#include <libavutil/frame.h>
#include <libswscale/swscale.h>
}

#include <turbojpeg.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <memory>
#include <vector>

namespace Lumerix {

const QString TMpegEncoder::QuantityFile = QStringLiteral("Test_quantity.nno");
const QString TMpegEncoder::SoundFile = QStringLiteral("Input.wav");

namespace {

constexpr int SampleRate = 44100;
constexpr int SamplesPer25Frame = SampleRate / 25;
// Longest hold of one picture: a day of video is far beyond any disc.
constexpr qint64 MaxCount = qint64(25) * 60 * 60 * 24;

QString SizeText(QSize size) {
    return QStringLiteral("%1 × %2").arg(size.width()).arg(size.height());
}

QByteArray ReadAll(const QString& path, const QString& name) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw TMpegError(QStringLiteral("%1 cannot be read: %2").arg(name, file.errorString()));
    return file.readAll();
}

/// One TurboJPEG decompressor for the life of an open or an encode.
struct TJpegDecoder {
    tjhandle Handle = tjInitDecompress();
    ~TJpegDecoder() {
        if (Handle)
            tjDestroy(Handle);
    }
    TJpegDecoder() {
        if (!Handle)
            throw TMpegError(QStringLiteral("The JPEG decoder cannot be started: ") +
                             QString::fromLocal8Bit(tjGetErrorStr2(nullptr)));
    }
    TJpegDecoder(const TJpegDecoder&) = delete;
    TJpegDecoder& operator=(const TJpegDecoder&) = delete;

    QSize Size(const QByteArray& bytes, const QString& name) {
        int width = 0;
        int height = 0;
        int subsampling = 0;
        int colorspace = 0;
        if (tjDecompressHeader3(Handle, reinterpret_cast<const unsigned char*>(bytes.constData()),
                                static_cast<unsigned long>(bytes.size()), &width, &height,
                                &subsampling, &colorspace) != 0 ||
            width < 1 || height < 1)
            throw TMpegError(QStringLiteral("%1 is not a readable JPEG picture: %2")
                                 .arg(name, QString::fromLocal8Bit(tjGetErrorStr2(Handle))));
        return {width, height};
    }

    /// Decodes into `rgb` (tightly packed RGB rows) a picture already known to be `size`. Our
    /// own frame stage writes these files, so any damage (even a cut-off scan that libjpeg
    /// would only warn about) is an error rather than a grey band in the video.
    void Decode(const QByteArray& bytes, const QString& name, QSize size,
                std::vector<unsigned char>& rgb) {
        if (Size(bytes, name) != size)
            throw TMpegError(QStringLiteral("%1 changed its size while encoding").arg(name));
        rgb.resize(std::size_t(size.width()) * size.height() * 3);
        if (tjDecompress2(Handle, reinterpret_cast<const unsigned char*>(bytes.constData()),
                          static_cast<unsigned long>(bytes.size()), rgb.data(), size.width(),
                          size.width() * 3, size.height(), TJPF_RGB, TJFLAG_STOPONWARNING) != 0)
            throw TMpegError(QStringLiteral("%1 is not a readable JPEG picture: %2")
                                 .arg(name, QString::fromLocal8Bit(tjGetErrorStr2(Handle))));
    }
};

/// Everything the encoding holds open; released whatever happens.
struct TEncodeState {
    AVFormatContext* Output = nullptr;
    AVCodecContext* Video = nullptr;
    AVCodecContext* Audio = nullptr;
    AVFrame* Picture = nullptr; ///< the picture now shown, handed to the encoder again per frame
    AVFrame* Send = nullptr;
    AVFrame* Sound = nullptr;
    AVPacket* Packet = nullptr;
    SwsContext* Scaler = nullptr;
    ~TEncodeState() {
        sws_freeContext(Scaler);
        av_packet_free(&Packet);
        av_frame_free(&Sound);
        av_frame_free(&Send);
        av_frame_free(&Picture);
        avcodec_free_context(&Audio);
        avcodec_free_context(&Video);
        if (Output) {
            avio_closep(&Output->pb);
            avformat_free_context(Output);
        }
    }
};

struct TInputState {
    AVFormatContext* Input = nullptr;
    ~TInputState() { avformat_close_input(&Input); }
};

/// Deletes the work file unless the encoding got through.
struct TWorkFileGuard {
    QString Path;
    bool Keep = false;
    ~TWorkFileGuard() {
        if (!Keep)
            QFile::remove(Path);
    }
};

} // namespace

TMpegEncoder TMpegEncoder::OpenMPDX(const QString& encoderDir, const QString& resultPath) {
    TMpegEncoder encoder;
    const QDir folder(encoderDir);
    if (encoderDir.isEmpty() || !folder.exists())
        throw TMpegError(QStringLiteral("The encoder folder %1 does not exist").arg(encoderDir));
    encoder.Folder = folder.absolutePath();

    const QString resultName = QFileInfo(resultPath).fileName();
    if (resultName.endsWith(QLatin1String("_SVCD.mpg"), Qt::CaseInsensitive))
        encoder.DiscValue = TDisc::Svcd;
    else if (resultName.endsWith(QLatin1String("_VCD.mpg"), Qt::CaseInsensitive))
        encoder.DiscValue = TDisc::Vcd;
    else
        throw TMpegError(QStringLiteral("The MPEG file name %1 ends neither in \"_VCD.mpg\" nor "
                                        "in \"_SVCD.mpg\"")
                             .arg(resultPath));
    const QFileInfo resultInfo(resultPath);
    if (!resultInfo.absoluteDir().exists())
        throw TMpegError(
            QStringLiteral("The folder of the MPEG file %1 does not exist").arg(resultPath));
    encoder.Result = resultInfo.absoluteFilePath();

    // The sequence: "Test_" and a number of at least four digits, from 0 without a gap.
    static const QRegularExpression framePattern(QStringLiteral("^Test_(\\d{4,})\\.jpg$"),
                                                 QRegularExpression::CaseInsensitiveOption);
    QMap<qint64, QString> numbered;
    for (const QString& name : folder.entryList(QDir::Files)) {
        const QRegularExpressionMatch match = framePattern.match(name);
        if (!match.hasMatch())
            continue;
        const qint64 number = match.captured(1).toLongLong();
        if (numbered.contains(number))
            throw TMpegError(QStringLiteral("The encoder folder holds both %1 and %2 as frame %3")
                                 .arg(numbered.value(number), name)
                                 .arg(number));
        numbered.insert(number, name);
    }
    if (!numbered.contains(0))
        throw TMpegError(
            QStringLiteral("Test_0000.jpg is missing: %1 holds no frame sequence").arg(encoderDir));
    qint64 expected = 0;
    for (auto it = numbered.cbegin(); it != numbered.cend(); ++it, ++expected) {
        if (it.key() != expected)
            throw TMpegError(QStringLiteral("Test_%1.jpg is missing: the frame sequence stops "
                                            "before %2")
                                 .arg(expected, 4, 10, QLatin1Char('0'))
                                 .arg(it.value()));
        encoder.Sequence.append(TFrame{it.value(), 1});
    }

    // Every frame has the size of the first, and that size names the standard.
    TJpegDecoder decoder;
    const QString& first = encoder.Sequence.first().File;
    encoder.Size = decoder.Size(ReadAll(folder.filePath(first), first), first);
    const bool svcd = encoder.DiscValue == TDisc::Svcd;
    const QSize pal = svcd ? QSize(480, 576) : QSize(352, 288);
    const QSize ntsc = svcd ? QSize(480, 480) : QSize(352, 240);
    if (encoder.Size == pal)
        encoder.StandardValue = TStandard::Pal;
    else if (encoder.Size == ntsc)
        encoder.StandardValue = TStandard::Ntsc;
    else
        throw TMpegError(QStringLiteral("%1 is %2 pixels; a%3 needs %4 (PAL) or %5 (NTSC)")
                             .arg(first, SizeText(encoder.Size),
                                  svcd ? QStringLiteral("n SVCD") : QStringLiteral(" VCD"),
                                  SizeText(pal), SizeText(ntsc)));
    for (qsizetype i = 1; i < encoder.Sequence.size(); ++i) {
        const QString& name = encoder.Sequence[i].File;
        const QSize size = decoder.Size(ReadAll(folder.filePath(name), name), name);
        if (size != encoder.Size)
            throw TMpegError(QStringLiteral("%1 is %2 pixels, unlike %3 (%4)")
                                 .arg(name, SizeText(size), first, SizeText(encoder.Size)));
    }

    // The quantity list: "Test_NNNN.jpg*COUNT" per key frame.
    const QString quantityPath = folder.filePath(QuantityFile);
    if (!QFileInfo::exists(quantityPath))
        throw TMpegError(QStringLiteral("%1 is missing in %2").arg(QuantityFile, encoderDir));
    QHash<QString, qsizetype> indexOf;
    for (qsizetype i = 0; i < encoder.Sequence.size(); ++i)
        indexOf.insert(encoder.Sequence[i].File.toLower(), i);
    QList<bool> listed(encoder.Sequence.size(), false);
    const QList<QByteArray> lines = ReadAll(quantityPath, QuantityFile).split('\n');
    for (qsizetype n = 0; n < lines.size(); ++n) {
        const QString line = QString::fromLatin1(lines[n]).trimmed();
        if (line.isEmpty())
            continue;
        auto fail = [&](const QString& cause) {
            return TMpegError(QStringLiteral("%1, line %2 (\"%3\"): %4")
                                  .arg(QuantityFile)
                                  .arg(n + 1)
                                  .arg(line, cause));
        };
        const qsizetype star = line.lastIndexOf(u'*');
        if (star < 0)
            throw fail(QStringLiteral("not of the form NAME*COUNT"));
        const QString name = line.left(star).trimmed();
        bool ok = false;
        const qint64 count = line.mid(star + 1).trimmed().toLongLong(&ok);
        if (!ok || count < 1 || count > MaxCount)
            throw fail(
                QStringLiteral("the count is not a whole number from 1 to %1").arg(MaxCount));
        const auto found = indexOf.constFind(name.toLower());
        if (found == indexOf.cend())
            throw fail(QStringLiteral("%1 is not a frame of the sequence").arg(name));
        if (listed[*found])
            throw fail(QStringLiteral("%1 is listed twice").arg(name));
        listed[*found] = true;
        encoder.Sequence[*found].Count = int(count);
    }

    encoder.Start25.reserve(encoder.Sequence.size() + 1);
    for (const TFrame& frame : std::as_const(encoder.Sequence)) {
        encoder.Start25.append(encoder.Frames25);
        encoder.Frames25 += frame.Count;
    }
    encoder.Start25.append(encoder.Frames25);

    // The sound: 16-bit PCM, 44100 Hz stereo.
    const QString soundPath = folder.filePath(SoundFile);
    if (!QFileInfo::exists(soundPath))
        throw TMpegError(QStringLiteral("%1 is missing in %2").arg(SoundFile, encoderDir));
    try {
        TWaveStream sound(soundPath);
        const TWaveFormat& format = sound.Format();
        if (format.FormatTag != 1 || format.BitsPerSample != 16 || format.Channels != 2 ||
            format.SamplesPerSec != SampleRate)
            throw TMpegError(QStringLiteral("%1 is %2 Hz, %3 channel(s), %4 bits (format %5); the "
                                            "encoder needs 16-bit PCM at 44100 Hz in stereo")
                                 .arg(SoundFile)
                                 .arg(format.SamplesPerSec)
                                 .arg(format.Channels)
                                 .arg(format.BitsPerSample)
                                 .arg(format.FormatTag));
    } catch (const TWaveError& error) {
        throw TMpegError(QStringLiteral("%1 cannot be read: %2").arg(SoundFile, error.Text()));
    }
    return encoder;
}

void TMpegEncoder::ProvideSilence(const QString& encoderDir, const QString& silentWav) {
    const QString target = QDir(encoderDir).filePath(SoundFile);
    if (QFileInfo::exists(target))
        return;
    if (!QFile::copy(silentWav, target))
        throw TMpegError(
            QStringLiteral("The silent sound %1 cannot be copied to %2").arg(silentWav, target));
}

qint64 TMpegEncoder::PlannedFrames() const {
    return StartFrame(int(Sequence.size()));
}

qint64 TMpegEncoder::StartFrame(int index) const {
    const qint64 start = Start25.value(index);
    if (StandardValue == TStandard::Pal)
        return start;
    // The same moment at 30000/1001 fps, rounded to the nearest frame.
    return (start * 1200 * 2 + 1001) / (2 * 1001);
}

void TMpegEncoder::EncodeMPDX(TProgress* progress) {
    TWorkFileGuard work{WorkPath()};
    QFile::remove(work.Path);
    Encode(progress, work.Path);
    if (progress)
        progress->SetStatus(QStringLiteral("Checking the MPEG file"));
    Verify(work.Path);
    std::error_code code;
    std::filesystem::rename(std::filesystem::path(QFile::encodeName(work.Path).toStdString()),
                            std::filesystem::path(QFile::encodeName(Result).toStdString()), code);
    if (code)
        throw TMpegError(QStringLiteral("The MPEG file %1 cannot be written: %2")
                             .arg(Result, QString::fromLocal8Bit(code.message().c_str())));
    work.Keep = true;
    if (progress) {
        progress->SetPercent(100);
        progress->SetStatus(QStringLiteral("MPEG file written: ") + Result);
    }
}

void TMpegEncoder::Encode(TProgress* progress, const QString& workPath) {
    const bool svcd = DiscValue == TDisc::Svcd;
    const bool pal = StandardValue == TStandard::Pal;
    const AVRational frameRate = pal ? AVRational{25, 1} : AVRational{30000, 1001};
    const QString resultName = QFileInfo(Result).fileName();
    auto fail = [&](const QString& what, int code) {
        return TMpegError(
            QStringLiteral("%1 cannot be written: %2 (%3)").arg(resultName, what, AvText(code)));
    };

    TEncodeState state;
    const QByteArray workName = QFile::encodeName(workPath);
    int code = avformat_alloc_output_context2(&state.Output, nullptr, svcd ? "svcd" : "vcd",
                                              workName.constData());
    if (code < 0)
        throw fail(QStringLiteral("no program stream muxer"), code);
    code = avio_open(&state.Output->pb, workName.constData(), AVIO_FLAG_WRITE);
    if (code < 0)
        throw fail(QStringLiteral("the file cannot be created"), code);

    // Video: the disc formats' rates, buffer sizes and group lengths. One thread: on few cores
    // the encoder's slice threads cost more than they bring.
    const AVCodec* videoCodec =
        avcodec_find_encoder(svcd ? AV_CODEC_ID_MPEG2VIDEO : AV_CODEC_ID_MPEG1VIDEO);
    const AVCodec* audioCodec = avcodec_find_encoder(AV_CODEC_ID_MP2);
    if (!videoCodec || !audioCodec)
        throw fail(QStringLiteral("no MPEG video or audio encoder"), AVERROR_ENCODER_NOT_FOUND);
    state.Video = avcodec_alloc_context3(videoCodec);
    state.Audio = avcodec_alloc_context3(audioCodec);
    if (!state.Video || !state.Audio)
        throw fail(QStringLiteral("out of memory"), AVERROR(ENOMEM));
    AVCodecContext* video = state.Video;
    video->width = Size.width();
    video->height = Size.height();
    video->pix_fmt = AV_PIX_FMT_YUV420P;
    video->time_base = av_inv_q(frameRate);
    video->framerate = frameRate;
    video->thread_count = 1;
    // No B-pictures: a slideshow is mostly held pictures, where they gain nothing, and they
    // cost a third of the encoding time.
    video->max_b_frames = 0;
    if (svcd) {
        video->gop_size = pal ? 15 : 18;
        video->bit_rate = 2040000;
        video->rc_max_rate = 2516000;
        video->rc_min_rate = 0;
        video->rc_buffer_size = 224 * 1024 * 8;
    } else {
        video->gop_size = pal ? 15 : 18;
        video->bit_rate = 1150000;
        video->rc_max_rate = 1150000;
        video->rc_min_rate = 1150000;
        video->rc_buffer_size = 40 * 1024 * 8;
    }
    // A 4:3 picture on the television: the pixel shape follows from the frame size.
    video->sample_aspect_ratio =
        av_div_q(AVRational{4, 3}, AVRational{Size.width(), Size.height()});
    video->color_range = AVCOL_RANGE_MPEG;
    if (state.Output->oformat->flags & AVFMT_GLOBALHEADER)
        video->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    AVDictionary* videoOptions = nullptr;
    if (svcd)
        av_dict_set(&videoOptions, "scan_offset", "1", 0);
    code = avcodec_open2(video, videoCodec, &videoOptions);
    av_dict_free(&videoOptions);
    if (code < 0)
        throw fail(QStringLiteral("the video encoder does not start"), code);

    AVCodecContext* audio = state.Audio;
    audio->sample_rate = SampleRate;
    audio->sample_fmt = AV_SAMPLE_FMT_S16;
    audio->bit_rate = 224000;
    audio->time_base = AVRational{1, SampleRate};
    audio->thread_count = 1;
    av_channel_layout_default(&audio->ch_layout, 2);
    code = avcodec_open2(audio, audioCodec, nullptr);
    if (code < 0)
        throw fail(QStringLiteral("the audio encoder does not start"), code);

    AVStream* videoStream = avformat_new_stream(state.Output, nullptr);
    AVStream* audioStream = avformat_new_stream(state.Output, nullptr);
    if (!videoStream || !audioStream)
        throw fail(QStringLiteral("out of memory"), AVERROR(ENOMEM));
    avcodec_parameters_from_context(videoStream->codecpar, video);
    avcodec_parameters_from_context(audioStream->codecpar, audio);
    videoStream->time_base = video->time_base;
    videoStream->avg_frame_rate = frameRate;
    videoStream->sample_aspect_ratio = video->sample_aspect_ratio;
    audioStream->time_base = audio->time_base;
    // The muxer sizes its buffers and the multiplex rate from the encoder's buffer properties.
    for (int i = 0; i < video->nb_coded_side_data; ++i) {
        const AVPacketSideData& side = video->coded_side_data[i];
        uint8_t* copy = av_stream_new_side_data(videoStream, side.type, side.size);
        if (!copy)
            throw fail(QStringLiteral("out of memory"), AVERROR(ENOMEM));
        std::memcpy(copy, side.data, side.size);
    }

    // Disc sectors of 2324 bytes; a VCD also has its fixed multiplex rate and starts its
    // clocks so that the first packs hold only the stream starts.
    state.Output->packet_size = 2324;
    state.Output->max_delay = 700000;
    AVDictionary* muxOptions = nullptr;
    if (!svcd) {
        av_dict_set(&muxOptions, "muxrate", "1411200", 0);
        av_dict_set(&muxOptions, "preload", "440000", 0);
    }
    code = avformat_write_header(state.Output, &muxOptions);
    av_dict_free(&muxOptions);
    if (code < 0)
        throw fail(QStringLiteral("the stream header cannot be written"), code);

    state.Packet = av_packet_alloc();
    state.Send = av_frame_alloc();
    state.Sound = av_frame_alloc();
    if (!state.Packet || !state.Send || !state.Sound)
        throw fail(QStringLiteral("out of memory"), AVERROR(ENOMEM));

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

    // Sound: exactly the video's length, cut from the file or padded with silence. The
    // last block of the audio encoder is filled up with silence.
    std::unique_ptr<TWaveStream> sound;
    try {
        sound = std::make_unique<TWaveStream>(QDir(Folder).filePath(SoundFile));
    } catch (const TWaveError& error) {
        throw TMpegError(QStringLiteral("%1 cannot be read: %2").arg(SoundFile, error.Text()));
    }
    const qint64 totalSamples = Frames25 * SamplesPer25Frame;
    const int blockSamples = audio->frame_size > 0 ? audio->frame_size : 1152;
    qint64 samplesDone = 0;
    auto encodeSound = [&](qint64 untilSample) {
        while (samplesDone < totalSamples && samplesDone < untilSample) {
            AVFrame* block = state.Sound;
            av_frame_unref(block);
            block->nb_samples = blockSamples;
            block->format = AV_SAMPLE_FMT_S16;
            block->sample_rate = SampleRate;
            av_channel_layout_copy(&block->ch_layout, &audio->ch_layout);
            int r = av_frame_get_buffer(block, 0);
            if (r < 0)
                throw fail(QStringLiteral("out of memory"), r);
            const int wanted = int(std::min<qint64>(blockSamples, totalSamples - samplesDone));
            int read = 0;
            try {
                read = sound->ReadSamples(reinterpret_cast<char*>(block->data[0]), wanted);
            } catch (const TWaveError& error) {
                throw TMpegError(
                    QStringLiteral("%1 cannot be read: %2").arg(SoundFile, error.Text()));
            }
            std::memset(block->data[0] + std::size_t(read) * 4, 0,
                        std::size_t(blockSamples - read) * 4);
            block->pts = samplesDone;
            samplesDone += blockSamples;
            r = avcodec_send_frame(audio, block);
            if (r < 0)
                throw fail(QStringLiteral("encoding failed"), r);
            drain(audio, audioStream);
        }
    };

    state.Scaler =
        sws_getContext(Size.width(), Size.height(), AV_PIX_FMT_RGB24, Size.width(), Size.height(),
                       AV_PIX_FMT_YUV420P, SWS_BILINEAR, nullptr, nullptr, nullptr);
    if (!state.Scaler)
        throw fail(QStringLiteral("no colour converter"), AVERROR(EINVAL));

    TJpegDecoder decoder;
    std::vector<unsigned char> rgb;
    const qint64 totalFrames = PlannedFrames();
    const QDir folder(Folder);
    qint64 frameNumber = 0;
    int lastPercent = -1;
    if (progress)
        progress->SetStatus(
            QStringLiteral("Encoding %1 frames into %2").arg(totalFrames).arg(resultName));
    for (qsizetype i = 0; i < Sequence.size(); ++i) {
        if (progress && progress->Cancelled())
            throw TMpegCancelled();
        // Each picture is decoded and converted once; its frames hand the same picture again.
        const QString& name = Sequence[i].File;
        decoder.Decode(ReadAll(folder.filePath(name), name), name, Size, rgb);
        av_frame_free(&state.Picture); // the encoder keeps its own reference while it needs it
        state.Picture = av_frame_alloc();
        if (!state.Picture)
            throw fail(QStringLiteral("out of memory"), AVERROR(ENOMEM));
        state.Picture->format = AV_PIX_FMT_YUV420P;
        state.Picture->width = Size.width();
        state.Picture->height = Size.height();
        int r = av_frame_get_buffer(state.Picture, 0);
        if (r < 0)
            throw fail(QStringLiteral("out of memory"), r);
        const uint8_t* source[1] = {rgb.data()};
        const int sourceStride[1] = {Size.width() * 3};
        sws_scale(state.Scaler, source, sourceStride, 0, Size.height(), state.Picture->data,
                  state.Picture->linesize);

        const qint64 end = StartFrame(int(i + 1));
        for (; frameNumber < end; ++frameNumber) {
            if (progress && progress->Cancelled())
                throw TMpegCancelled();
            r = av_frame_ref(state.Send, state.Picture);
            if (r < 0)
                throw fail(QStringLiteral("out of memory"), r);
            state.Send->pts = frameNumber;
            r = avcodec_send_frame(video, state.Send);
            av_frame_unref(state.Send);
            if (r < 0)
                throw fail(QStringLiteral("encoding failed"), r);
            drain(video, videoStream);
            // Sound up to the end of this frame, so that the muxer can interleave as it goes.
            encodeSound(av_rescale_q(frameNumber + 1, video->time_base, audio->time_base));
            const int percent = int(frameNumber * 100 / std::max<qint64>(totalFrames, 1));
            if (progress && percent != lastPercent) {
                lastPercent = percent;
                progress->SetPercent(percent);
            }
        }
    }
    encodeSound(totalSamples);

    code = avcodec_send_frame(video, nullptr);
    if (code < 0)
        throw fail(QStringLiteral("encoding failed"), code);
    drain(video, videoStream);
    code = avcodec_send_frame(audio, nullptr);
    if (code < 0)
        throw fail(QStringLiteral("encoding failed"), code);
    drain(audio, audioStream);

    code = av_write_trailer(state.Output);
    if (code < 0)
        throw fail(QStringLiteral("the stream end cannot be written"), code);
    code = avio_closep(&state.Output->pb);
    if (code < 0)
        throw fail(QStringLiteral("the file cannot be closed"), code);
}

void TMpegEncoder::Verify(const QString& workPath) const {
    const QString resultName = QFileInfo(Result).fileName();
    auto fail = [&](const QString& cause) {
        return TMpegError(
            QStringLiteral("The written MPEG file %1 is not valid: %2").arg(resultName, cause));
    };
    TInputState input;
    const QByteArray workName = QFile::encodeName(workPath);
    int code = avformat_open_input(&input.Input, workName.constData(), nullptr, nullptr);
    if (code < 0)
        throw fail(AvText(code));
    code = avformat_find_stream_info(input.Input, nullptr);
    if (code < 0)
        throw fail(AvText(code));
    const bool svcd = DiscValue == TDisc::Svcd;
    const AVStream* videoStream = nullptr;
    const AVStream* audioStream = nullptr;
    for (unsigned i = 0; i < input.Input->nb_streams; ++i) {
        const AVStream* stream = input.Input->streams[i];
        if (stream->codecpar->codec_type == AVMEDIA_TYPE_VIDEO && !videoStream)
            videoStream = stream;
        if (stream->codecpar->codec_type == AVMEDIA_TYPE_AUDIO && !audioStream)
            audioStream = stream;
    }
    if (!videoStream || !audioStream)
        throw fail(QStringLiteral("it lacks its video or its sound"));
    const AVCodecParameters* v = videoStream->codecpar;
    if (v->codec_id != (svcd ? AV_CODEC_ID_MPEG2VIDEO : AV_CODEC_ID_MPEG1VIDEO) ||
        QSize(v->width, v->height) != Size)
        throw fail(
            QStringLiteral("the video is not %1 at %2")
                .arg(svcd ? QStringLiteral("MPEG-2") : QStringLiteral("MPEG-1"), SizeText(Size)));
    const AVCodecParameters* a = audioStream->codecpar;
    if (a->codec_id != AV_CODEC_ID_MP2 || a->sample_rate != SampleRate ||
        a->ch_layout.nb_channels != 2)
        throw fail(QStringLiteral("the sound is not MPEG audio at 44100 Hz in stereo"));
    // The stream's own length, from its first to its last time stamp.
    const double seconds = input.Input->duration == AV_NOPTS_VALUE
                               ? -1.0
                               : double(input.Input->duration) / AV_TIME_BASE;
    if (std::abs(seconds - PlannedSeconds()) > 0.5)
        throw fail(QStringLiteral("it lasts %1 s instead of %2 s")
                       .arg(seconds, 0, 'f', 2)
                       .arg(PlannedSeconds(), 0, 'f', 2));
}

} // namespace Lumerix
