#include "TID3v1.h"

#include <QByteArray>
#include <QFile>

namespace Lumerix {

namespace {

constexpr qint64 TagLength = 128;

// A fixed-width text field without its trailing blanks and control characters.
QString Field(const QByteArray& block, int first, int length) {
    QByteArray bytes = block.mid(first, length);
    while (!bytes.isEmpty() && static_cast<quint8>(bytes.back()) <= 0x20)
        bytes.chop(1);
    return QString::fromLatin1(bytes);
}

} // namespace

void TID3v1::Reset() {
    Exists = false;
    TagVersion = 1;
    Title.clear();
    Artist.clear();
    Album.clear();
    Year.clear();
    Comment.clear();
    Track = 0;
    Genre = 255;
}

bool TID3v1::ReadTag(const QString& path) {
    Reset();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const qint64 start = file.size() - TagLength;
    if (start < 0 || !file.seek(start))
        return false;
    const QByteArray block = file.read(TagLength);
    if (block.size() != TagLength)
        return false;
    if (!block.startsWith("TAG"))
        return true;

    Exists = true;
    const char b125 = block[125];
    const char b126 = block[126];
    const bool v11 = (b125 == 0 && b126 != 0) || (b125 == ' ' && b126 != ' ');
    TagVersion = v11 ? 2 : 1;
    Title = Field(block, 3, 30);
    Artist = Field(block, 33, 30);
    Album = Field(block, 63, 30);
    Year = Field(block, 93, 4);
    if (v11) {
        Comment = Field(block, 97, 28);
        Track = static_cast<quint8>(b126);
    } else {
        Comment = Field(block, 97, 30);
    }
    Genre = static_cast<quint8>(block[127]);
    return true;
}

} // namespace Lumerix
