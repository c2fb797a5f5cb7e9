#include "TAviWriter.h"

#include "shell/Execute.h"
#include "shell/TProgress.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/dict.h>
#include <libavutil/mathematics.h>
}

#include <cstring>
#include <filesystem>

namespace Lumerix {

namespace {

const QString WaitText = QStringLiteral(
    ".. bitte warten, der Vorgang kann je nach Größe der Diashow und Rechenleistung Ihres PCs "
    "mehrere Minuten bis Stunden dauern!");

QString AudioOpenError(int code) {
    if (code == AVERROR(ENOENT) || code == AVERROR(EACCES) || code == AVERROR(EISDIR))
        return QStringLiteral("A disk error occurred while opening the audio file.");
    if (code == AVERROR_INVALIDDATA)
        return QStringLiteral(
            "The file could not be read, indicating a corrupt file or an unrecognized format.");
    if (code == AVERROR(ENOMEM))
        return QStringLiteral("The file could not be opened because of insufficient memory.");
    if (code == AVERROR(EIO))
        return QStringLiteral("A disk error occurred while reading the audio file.");
    return QStringLiteral("Unknown error opening audio file");
}

QString FrameError(int code) {
    return QStringLiteral("Failed to add frame to AVI. Err=") +
           QString::number(quint32(code), 16).rightJustified(8, u'0').toUpper();
}

// A write that did not reach the disk (a full disk, most often), naming the video and the
// cause. The muxer buffers its output, so a failed write may only show in the context's
// error, not in the call's result.
QString WriteError(const QString& file, int code) {
    char cause[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, cause, sizeof cause);
    return QStringLiteral("%1: cannot be written: %2").arg(file, QString::fromLocal8Bit(cause));
}

/// Everything the muxing holds open; released whatever happens.
struct TMuxState {
    AVFormatContext* Output = nullptr;
    AVFormatContext* Audio = nullptr;
    AVPacket* Packet = nullptr;
    ~TMuxState() {
        av_packet_free(&Packet);
        avformat_close_input(&Audio);
        if (Output) {
            avio_closep(&Output->pb);
            avformat_free_context(Output);
        }
    }
};

} // namespace

TAviWriter::TAviWriter(const QString& encoderDir)
    : WorkPath(QDir(encoderDir).filePath(QStringLiteral("AWTemp.avi"))) {
    QSize screen(1024, 768);
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) &&
        QGuiApplication::primaryScreen())
        screen = QGuiApplication::primaryScreen()->size();
    Height = screen.height() / 10;
    Width = screen.width() / 10;
}

void TAviWriter::SetWavFileName(const QString& name) {
    if (name.compare(WavFile, Qt::CaseInsensitive) == 0)
        return;
    if (name.isEmpty()) {
        WavFile.clear();
        return;
    }
    if (QFileInfo(name).suffix().compare(QStringLiteral("wav"), Qt::CaseInsensitive) != 0)
        throw TAviError(QStringLiteral("WavFileName must name a file with the .wav extension"));
    WavFile = name;
}

void TAviWriter::AddBitmapFile(const QString& path) {
    Bitmaps.append(QImage(path));
}

void TAviWriter::Report(const QString& text, int percent) {
    MessageText = text;
    if (!Progress)
        return;
    Progress->SetStatus(text);
    if (percent >= 0)
        Progress->SetPercent(percent);
}

QByteArray TAviWriter::FramePixels(const QImage& bitmap) const {
    QImage frame(Width, Height, QImage::Format_RGB888);
    if (frame.isNull() || bitmap.isNull())
        throw TAviError(QStringLiteral("Invalid bitmap"));
    if (!Stretch)
        frame.fill(bitmap.pixelColor(0, 0));
    {
        QPainter painter(&frame);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        if (Stretch)
            painter.drawImage(QRect(0, 0, Width, Height), bitmap);
        else
            painter.drawImage(0, 0, bitmap);
    }
    // A 24-bit DIB: BGR pixels, rows bottom-up, each row padded to four bytes.
    const qsizetype rowBytes = (qsizetype(Width) * 3 + 3) & ~qsizetype(3);
    QByteArray pixels(rowBytes * Height, '\0');
    for (int y = 0; y < Height; ++y) {
        const uchar* in = frame.constScanLine(Height - 1 - y);
        uchar* out = reinterpret_cast<uchar*>(pixels.data()) + y * rowBytes;
        for (int x = 0; x < Width; ++x) {
            out[3 * x] = in[3 * x + 2];
            out[3 * x + 1] = in[3 * x + 1];
            out[3 * x + 2] = in[3 * x];
        }
    }
    return pixels;
}

void TAviWriter::Write() {
    if (Bitmaps.isEmpty())
        throw TAviError(QStringLiteral("No bitmaps on the Bitmaps list"));
    const int count = int(Bitmaps.size());
    Report(QStringLiteral(" Video mit %1 Bildern erzeugen").arg(count));
    for (int i = 0; i < count; ++i) {
        if (Bitmaps[i].isNull())
            throw TAviError(QStringLiteral("Bitmaps[%1] is not a TBitmap").arg(i));
    }
    if (Width <= 0 || Height <= 0 || FrameTime <= 0)
        throw TAviError(QStringLiteral("Failed to create AVI video stream"));

    try {
        TMuxState mux;
        const QByteArray workName = QFile::encodeName(WorkPath);
        if (avformat_alloc_output_context2(&mux.Output, nullptr, "avi", workName.constData()) < 0 ||
            avio_open(&mux.Output->pb, workName.constData(), AVIO_FLAG_WRITE) < 0)
            throw TAviError(QStringLiteral("Failed to create AVI video work file"));
        Report(QStringLiteral(" Video zum schreiben geöffnet"));

        AVStream* video = avformat_new_stream(mux.Output, nullptr);
        if (!video)
            throw TAviError(QStringLiteral("Failed to create AVI video stream"));
        video->codecpar->codec_type = AVMEDIA_TYPE_VIDEO;
        video->codecpar->codec_id = AV_CODEC_ID_RAWVIDEO;
        video->codecpar->codec_tag = 0; // BI_RGB
        video->codecpar->format = AV_PIX_FMT_BGR24;
        video->codecpar->width = Width;
        video->codecpar->height = Height;
        video->codecpar->bits_per_coded_sample = 24;
        video->time_base = AVRational{FrameTime, 1000};
        video->avg_frame_rate = AVRational{1000, FrameTime};
        video->r_frame_rate = video->avg_frame_rate;
        Report(QStringLiteral(" Video-Stream zum schreiben geöffnet"));

        AVStream* audioIn = nullptr;
        AVStream* audioOut = nullptr;
        if (!WavFile.isEmpty()) {
            const int code = avformat_open_input(&mux.Audio, QFile::encodeName(WavFile).constData(),
                                                 nullptr, nullptr);
            if (code < 0)
                throw TAviError(AudioOpenError(code));
            if (avformat_find_stream_info(mux.Audio, nullptr) < 0 || mux.Audio->nb_streams < 1)
                throw TAviError(QStringLiteral("Unable to get audio stream"));
            audioIn = mux.Audio->streams[0];
            audioOut = avformat_new_stream(mux.Output, nullptr);
            if (!audioOut || avcodec_parameters_copy(audioOut->codecpar, audioIn->codecpar) < 0)
                throw TAviError(QStringLiteral("Failed to create editable AVI audio stream"));
            audioOut->codecpar->codec_tag = 0;
            audioOut->time_base = audioIn->time_base;
        }

        // Rows are handed over bottom-up and the header says so with a positive height.
        AVDictionary* options = nullptr;
        av_dict_set(&options, "flipped_raw_rgb", "1", 0);
        const int headerCode = avformat_write_header(mux.Output, &options);
        av_dict_free(&options);
        if (headerCode < 0)
            throw TAviError(QStringLiteral("Failed to set AVI stream format"));

        mux.Packet = av_packet_alloc();
        bool audioDone = audioIn == nullptr;
        // Copies the sound packets that start before `untilMs` (all of them when negative).
        auto copyAudio = [&](qint64 untilMs) {
            while (!audioDone) {
                if (mux.Packet->size == 0) {
                    const int r = av_read_frame(mux.Audio, mux.Packet);
                    if (r < 0) {
                        audioDone = true;
                        return;
                    }
                    if (mux.Packet->stream_index != audioIn->index) {
                        av_packet_unref(mux.Packet);
                        continue;
                    }
                }
                const qint64 pts = mux.Packet->pts == AV_NOPTS_VALUE ? 0 : mux.Packet->pts;
                if (untilMs >= 0 &&
                    av_rescale_q(pts, audioIn->time_base, AVRational{1, 1000}) >= untilMs)
                    return;
                mux.Packet->stream_index = audioOut->index;
                av_packet_rescale_ts(mux.Packet, audioIn->time_base, audioOut->time_base);
                mux.Packet->pos = -1;
                const int r = av_interleaved_write_frame(mux.Output, mux.Packet);
                av_packet_unref(mux.Packet);
                if (mux.Output->pb->error < 0)
                    throw TAviError(WriteError(FileName, mux.Output->pb->error));
                if (r < 0)
                    throw TAviError(FrameError(r));
            }
        };

        AVPacket* frame = av_packet_alloc();
        try {
            for (int i = 0; i < count; ++i) {
                if (Progress && Progress->Cancelled())
                    throw TAviCancelled();
                Report(QStringLiteral("Bild Nr.%1 schreiben").arg(i + 1),
                       qRound(double(i) / count * 100));
                const QByteArray pixels = FramePixels(Bitmaps[i]);
                if (av_new_packet(frame, int(pixels.size())) < 0)
                    throw TAviError(FrameError(AVERROR(ENOMEM)));
                std::memcpy(frame->data, pixels.constData(), size_t(pixels.size()));
                frame->stream_index = video->index;
                frame->pts = frame->dts =
                    av_rescale_q(i, AVRational{FrameTime, 1000}, video->time_base);
                frame->duration = av_rescale_q(1, AVRational{FrameTime, 1000}, video->time_base);
                frame->flags |= AV_PKT_FLAG_KEY;
                const int r = av_interleaved_write_frame(mux.Output, frame);
                av_packet_unref(frame);
                if (mux.Output->pb->error < 0)
                    throw TAviError(WriteError(FileName, mux.Output->pb->error));
                if (r < 0)
                    throw TAviError(FrameError(r));
                copyAudio(qint64(i + 1) * FrameTime);
            }
        } catch (...) {
            av_packet_free(&frame);
            throw;
        }
        av_packet_free(&frame);
        // The container needs the sound stream before the first frame and the two are
        // interleaved, but the sound is reported as the step after the pictures.
        if (audioIn) {
            Report(QStringLiteral("Audio Datei zum schreiben geöffnet"));
            Report(QStringLiteral("Audio-Stream zum schreiben geöffnet"));
            Report(QStringLiteral("Audio zu Video hinzufügen"));
        }
        copyAudio(-1);
        const int trailer = av_write_trailer(mux.Output);
        avio_flush(mux.Output->pb);
        if (mux.Output->pb->error < 0)
            throw TAviError(WriteError(FileName, mux.Output->pb->error));
        if (trailer < 0 || avio_closep(&mux.Output->pb) < 0)
            throw TAviError(QStringLiteral("Unable to write output file - Close the Mediaplayer!"));

        Report(QStringLiteral("Video schreiben..."));
        Report(WaitText);
        // Saving moves the finished work file into place; the earlier video stays until then.
        std::error_code renamed;
        std::filesystem::rename(QFile::encodeName(WorkPath).toStdString(),
                                QFile::encodeName(FileName).toStdString(), renamed);
        if (renamed) {
            // Across file systems a rename fails: the copy goes beside the video first.
            QString cause;
            if (!QFileInfo(FileName).dir().exists() ||
                !Execute::CopyFileAtomic(WorkPath, FileName, &cause))
                throw TAviError(cause.isEmpty() ? QStringLiteral("Unable to write output file - "
                                                                 "Close the Mediaplayer!")
                                                : cause);
        }
    } catch (...) {
        QFile::remove(WorkPath);
        throw;
    }
    QFile::remove(WorkPath);
    Report(QStringLiteral("Video speichern"));
    Report(WaitText);
}

} // namespace Lumerix
