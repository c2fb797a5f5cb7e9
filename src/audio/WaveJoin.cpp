#include "WaveJoin.h"

#include "audio/TPCMWaveReader.h"
#include "audio/TWaveStream.h"
#include "shell/TProgress.h"

extern "C" {
#include <libavutil/channel_layout.h>
#include <libswresample/swresample.h>
}

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

namespace Lumerix {

namespace {

constexpr int ChunkSamples = 4000;
constexpr int TargetRate = 44100;

/// Sample formats libswresample takes for the PCM widths of WAVE files; 24-bit goes through
/// 32-bit, since swresample has no packed 24-bit format.
AVSampleFormat SwrFormat(int bytes) {
    switch (bytes) {
    case 1:
        return AV_SAMPLE_FMT_U8;
    case 2:
        return AV_SAMPLE_FMT_S16;
    default:
        return AV_SAMPLE_FMT_S32;
    }
}

int SwrBytes(int bytes) {
    return bytes >= 3 ? 4 : bytes;
}

/// Converts PCM chunks of one format into another.
class TPcmConverter {
public:
    TPcmConverter(const TWaveFormat& from, const TWaveFormat& to)
        : FromBytes(from.BlockAlign / from.Channels), ToBytes(to.BlockAlign / to.Channels),
          FromChannels(from.Channels), ToChannels(to.Channels) {
        AVChannelLayout inLayout, outLayout;
        av_channel_layout_default(&inLayout, from.Channels);
        av_channel_layout_default(&outLayout, to.Channels);
        if (swr_alloc_set_opts2(&Context, &outLayout, SwrFormat(ToBytes), int(to.SamplesPerSec),
                                &inLayout, SwrFormat(FromBytes), int(from.SamplesPerSec), 0,
                                nullptr) < 0 ||
            swr_init(Context) < 0)
            throw TWaveError(QStringLiteral("Can't convert the audio format."));
        Ratio = double(to.SamplesPerSec) / from.SamplesPerSec;
    }
    ~TPcmConverter() { swr_free(&Context); }

    /// Converts `count` samples (null: flushes); the result holds whole output samples.
    QByteArray Convert(const char* data, int count) {
        const int inStride = SwrBytes(FromBytes) * FromChannels;
        const uint8_t* in = nullptr;
        if (data) {
            if (FromBytes == 3) {
                Wide.resize(size_t(count) * inStride);
                Widen24(data, count * FromChannels, Wide.data());
                in = Wide.data();
            } else {
                in = reinterpret_cast<const uint8_t*>(data);
            }
        }
        const int capacity = int(std::ceil(count * Ratio)) + 256 + swr_get_out_samples(Context, 0);
        std::vector<uint8_t> out(size_t(capacity) * SwrBytes(ToBytes) * ToChannels);
        uint8_t* outPtr = out.data();
        const int n =
            swr_convert(Context, &outPtr, capacity, data ? &in : nullptr, data ? count : 0);
        if (n < 0)
            throw TWaveError(QStringLiteral("Can't convert the audio format."));
        if (ToBytes == 3)
            return Narrow24(out.data(), n * ToChannels);
        return QByteArray(reinterpret_cast<const char*>(out.data()),
                          qsizetype(n) * ToBytes * ToChannels);
    }

private:
    static void Widen24(const char* in, int values, uint8_t* out) {
        for (int i = 0; i < values; ++i) {
            out[4 * i] = 0;
            std::memcpy(out + 4 * i + 1, in + 3 * i, 3);
        }
    }
    static QByteArray Narrow24(const uint8_t* in, int values) {
        QByteArray bytes(qsizetype(values) * 3, Qt::Uninitialized);
        for (int i = 0; i < values; ++i)
            std::memcpy(bytes.data() + 3 * i, in + 4 * i + 1, 3);
        return bytes;
    }

    SwrContext* Context = nullptr;
    int FromBytes, ToBytes, FromChannels, ToChannels;
    double Ratio = 1;
    std::vector<uint8_t> Wide;
};

} // namespace

void TWaveJoin::Log(const QString& logLine, const QString& message) const {
    if (OnLog)
        OnLog(logLine);
    if (OnMessage)
        OnMessage(message);
}

qint64 TWaveJoin::ConcatenateToLength() {
    const qint64 target = qint64(TargetSeconds) * TargetRate;
    qint64 written = 0;
    std::unique_ptr<TWaveStream> output;
    const QString outName = OutputFile;

    auto closeOutput = [&]() {
        if (output) {
            output->Finish();
            output.reset();
        }
        Log(QStringLiteral("     Audio created ") + outName,
            QStringLiteral("Audio created") + outName);
        if (Progress)
            Progress->SetPercent(0);
    };

    auto writeChunk = [&](const char* data, qint64 samples) {
        // Never more than one read chunk at a time, so the end lies within 4000 samples.
        output->WriteSamples(data, int(samples));
        written += samples;
        if (Progress)
            Progress->SetPercent(target > 0 ? int(written * 100 / target) : 0);
        if (OnPosition)
            OnPosition(QStringLiteral("Position: %1 Sekunden")
                           .arg(qRound64(double(written) / TargetRate)));
    };

    // A converted block can be several read chunks long (8 kHz to 44.1 kHz gives 5.5 times
    // as many samples): it goes out in read-chunk pieces, so the join stops at the target.
    auto writeConverted = [&](const QByteArray& converted, int blockAlign) {
        const qint64 samples = converted.size() / blockAlign;
        for (qint64 done = 0; done < samples && written < target; done += ChunkSamples)
            writeChunk(converted.constData() + done * blockAlign,
                       std::min<qint64>(ChunkSamples, samples - done));
    };

    try {
        std::vector<char> buffer;
        int i = 0;
        bool passAddedSamples = false;
        while (i < InputFiles.size()) {
            const QString& name = InputFiles[i];
            if (Progress && Progress->Cancelled())
                throw TWaveError(QStringLiteral("Cancelled."));
            TWaveStream input(name);
            if (Progress)
                Progress->SetStatus(QStringLiteral("Aktuelle Datei: ") + name);
            Log(QStringLiteral("     read audio ") + name, QStringLiteral("read audio ") + name);
            TPCMWaveReader reader(input);
            if (i == 0 && !output) {
                Log(QStringLiteral("     open audio ") + outName,
                    QStringLiteral("open audio ") + outName);
                output = std::make_unique<TWaveStream>(outName, reader.PcmFormat());
            }
            const TWaveFormat& outFormat = output->Format();
            std::optional<TPcmConverter> converter;
            if (!reader.PcmFormat().SamePcm(outFormat))
                converter.emplace(reader.PcmFormat(), outFormat);
            const int inAlign = reader.PcmFormat().BlockAlign;
            buffer.resize(size_t(ChunkSamples) * inAlign);

            reader.SetPosition(0);
            int got = reader.ReadPcm(buffer.data(), ChunkSamples);
            while (got > 0 && written < target) {
                if (Progress && Progress->Cancelled())
                    throw TWaveError(QStringLiteral("Cancelled."));
                if (converter) {
                    writeConverted(converter->Convert(buffer.data(), got), outFormat.BlockAlign);
                } else {
                    writeChunk(buffer.data(), got);
                }
                passAddedSamples = true;
                got = reader.ReadPcm(buffer.data(), ChunkSamples);
            }
            if (converter && written < target) {
                writeConverted(converter->Convert(nullptr, 0), outFormat.BlockAlign);
            }
            Log(QStringLiteral("     write audio ") + name, QStringLiteral("write audio ") + name);
            if (i == InputFiles.size() - 1 && written < target) {
                if (!passAddedSamples)
                    break; // a whole pass gave nothing
                passAddedSamples = false;
                i = 0;
            } else {
                ++i;
            }
        }
    } catch (...) {
        try {
            closeOutput();
        } catch (const TWaveError&) {
        }
        throw;
    }
    closeOutput();
    return written;
}

} // namespace Lumerix
