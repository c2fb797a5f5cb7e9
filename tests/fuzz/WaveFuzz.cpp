// The RIFF/WAVE reader and the PCM conversion, read to the end of the data.
#include "FuzzInput.h"

#include "audio/TPCMWaveReader.h"
#include "audio/TWaveStream.h"

extern "C" {
#include <libavutil/log.h>
}

#include <algorithm>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // The decoders' complaints about damaged input would drown the fuzzer's own output.
    av_log_set_level(AV_LOG_QUIET);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace Lumerix;
    const QString path = Fuzz::InputFile(".wav", data, size);
    try {
        TWaveStream stream(path);
        TPCMWaveReader reader(stream);
        const int blockAlign = reader.PcmFormat().BlockAlign;
        if (blockAlign <= 0 || reader.Size() < 0)
            std::abort();
        // About 64 KB a read, whatever the block size.
        const int chunk = std::max(1, 65536 / blockAlign);
        std::vector<char> buffer(size_t(chunk) * size_t(blockAlign));
        qint64 total = 0;
        for (;;) {
            const int read = reader.ReadPcm(buffer.data(), chunk);
            if (read < 0 || read > chunk)
                std::abort();
            if (read == 0)
                break;
            total += read;
            if (total > reader.Size())
                std::abort();
        }
        // Seeking back and reading again must give the same start.
        reader.SetPosition(0);
        reader.ReadPcm(buffer.data(), 1);
        stream.SeekSample(0, 2);
        stream.SeekSample(-1, 1);
    } catch (const TWaveError&) {
        // A refused file is a correct outcome.
    }
    return 0;
}
