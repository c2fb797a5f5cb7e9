// The server replies the FTP client interprets itself: the folder of a "257" reply.
#include "FuzzInput.h"

#include "gallery/TFtpClient.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace Lumerix;
    // The client hears replies as UTF-8 lines, trimmed.
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    for (const QString& line : text.split(u'\n')) {
        const QString folder = TFtpClient::ReportedFolder(line.trimmed());
        if (folder.isEmpty())
            continue;
        // A folder that becomes the working folder can never break a command line.
        if (!folder.startsWith(u'/') || folder.contains(u'\r') || folder.contains(u'\n') ||
            folder.contains(QChar(0)))
            std::abort();
    }
    return 0;
}
