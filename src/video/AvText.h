#pragma once

#include <QString>

extern "C" {
#include <libavutil/error.h>
}

namespace Lumerix {

/// FFmpeg's text for an error code, for messages that name the cause.
inline QString AvText(int code) {
    char buffer[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, buffer, sizeof buffer);
    return QString::fromLocal8Bit(buffer);
}

} // namespace Lumerix
