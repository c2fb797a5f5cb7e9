// The picture list: `Pictures.ini` lines and the entries the list stores.
#include "FuzzInput.h"

#include "document/TPictureEntry.h"
#include "shell/TextCodec.h"

#include <QFile>

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace Lumerix;
    const QString path = Fuzz::InputFile(".ini", data, size);
    const QStringList lines = TextCodec::ReadLines(path);
    for (const QString& line : lines) {
        TPictureEntry fromLine = TPictureEntry::FromPicturesLine(line, QString());
        // The thumbnail's path holds the picture's name, as in a slideshow folder.
        fromLine.ThumbnailPath =
            QStringLiteral("/home/anna/Diashow/Diashow_0001/_THUMB_") + fromLine.FileName;
        // An entry's text parses back into the same entry.
        const TPictureEntry parsed = TPictureEntry::Parse(fromLine.Text());
        if (parsed.FileName != fromLine.FileName || parsed.Caption != fromLine.Caption ||
            parsed.ThumbnailPath != fromLine.ThumbnailPath ||
            parsed.HasCaption != fromLine.HasCaption)
            std::abort();
        // The stored line reads back as the same file name and caption.
        const TPictureEntry reread =
            TPictureEntry::FromPicturesLine(fromLine.PicturesLine(), QString());
        if (reread.FileName != fromLine.FileName)
            std::abort();
        // Whatever a list holds is parsed too.
        TPictureEntry::Parse(line);
    }
    // The list file's writer gives back what it was given.
    const QString text = lines.join(QStringLiteral("\r\n"));
    if (TextCodec::Decode(TextCodec::EncodeLossless(text)) != text)
        std::abort();
    // The raw input as one entry text (tags, quotes and separators anywhere).
    TPictureEntry::Parse(TextCodec::Decode(
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size))));
    return 0;
}
