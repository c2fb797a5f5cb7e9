// The MPEG audio analysis with both tag readers, on a file holding the input.
#include "FuzzInput.h"

#include "audio/TMPEGaudio.h"

#include <cmath>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace Lumerix;
    TMPEGaudio audio;
    if (!audio.AnalyseFile(Fuzz::InputFile(".mp3", data, size)))
        return 0;
    // Everything the Audio Info window and the music page ask of a file.
    volatile qint64 sink = audio.FileSize() + audio.BitRateKbps() + audio.SampleRateHz() +
                           audio.FrameCount() + audio.EncoderIndex() + audio.IsValid();
    const QString names = audio.VersionName() + audio.LayerName() + audio.ChannelModeName() +
                          audio.EmphasisName() + audio.EncoderName() + audio.ID3v1().Title +
                          audio.ID3v2().Title + audio.ID3v2().Comment;
    sink = sink + names.size();
    const double duration = audio.Duration();
    if (std::isnan(duration) || duration < 0)
        std::abort();
    // The audio data starts inside the file.
    if (audio.ID3v2().TagSize < 0 || audio.ID3v2().TagSize > qint64(size))
        std::abort();
    return 0;
}
