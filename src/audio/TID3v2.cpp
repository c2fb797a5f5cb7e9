#include "TID3v2.h"

#include <QByteArray>
#include <QFile>
#include <QStringDecoder>

#include <algorithm>
#include <iterator>

namespace Lumerix {

namespace {

constexpr qint64 HeaderLength = 10;
// Text frames are short; a larger frame is skipped rather than read.
constexpr qint64 MaxTextFrame = 64 * 1024;

quint32 BigEndian32(const QByteArray& bytes, qsizetype at) {
    quint32 value = 0;
    for (qsizetype i = 0; i < 4; ++i)
        value = (value << 8) | static_cast<quint8>(bytes[at + i]);
    return value;
}

bool IsFrameId(const QByteArray& id) {
    for (const char c : id) {
        if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')))
            return false;
    }
    return true;
}

// Decodes `bytes` in the frame text encoding `encoding`, up to the first terminator.
QString DecodeText(quint8 encoding, const QByteArray& bytes) {
    QString text;
    switch (encoding) {
    case 0:
        text = QString::fromLatin1(bytes);
        break;
    case 1:
        text = QStringDecoder(QStringDecoder::Utf16).decode(bytes);
        break;
    case 2:
        text = QStringDecoder(QStringDecoder::Utf16BE).decode(bytes);
        break;
    case 3:
        text = QString::fromUtf8(bytes);
        break;
    default:
        return {};
    }
    if (const qsizetype end = text.indexOf(QChar(0)); end >= 0)
        text.truncate(end);
    return text.trimmed();
}

// The offset just past the terminator of a text that starts at `from`, or -1.
qsizetype SkipTerminated(quint8 encoding, const QByteArray& bytes, qsizetype from) {
    const bool wide = encoding == 1 || encoding == 2;
    const qsizetype step = wide ? 2 : 1;
    for (qsizetype i = from; i + step <= bytes.size(); i += step) {
        if (bytes[i] == 0 && (!wide || bytes[i + 1] == 0))
            return i + step;
    }
    return -1;
}

// The text of a COMM frame: encoding, language, a terminated description, the comment.
QString CommentText(const QByteArray& body) {
    if (body.size() < 4)
        return {};
    const auto encoding = static_cast<quint8>(body[0]);
    const qsizetype text = SkipTerminated(encoding, body, 4);
    return text < 0 ? QString() : DecodeText(encoding, body.mid(text));
}

} // namespace

void TID3v2::Reset() {
    Exists = false;
    TagVersion = 0;
    TagSize = 0;
    Title.clear();
    Artist.clear();
    Album.clear();
    Year.clear();
    Genre.clear();
    Comment.clear();
    Track = 0;
}

bool TID3v2::ReadTag(const QString& path) {
    Reset();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const qint64 fileSize = file.size();
    const QByteArray header = file.read(HeaderLength);
    if (header.size() != HeaderLength)
        return false;
    if (!header.startsWith("ID3"))
        return true;

    Exists = true;
    TagVersion = static_cast<quint8>(header[3]);
    // Seven bits per size byte, but the bytes are taken as they are, top bits included.
    const auto sizeByte = [&](int i) {
        return static_cast<qint64>(static_cast<quint8>(header[i]));
    };
    TagSize =
        (sizeByte(6) << 21) + (sizeByte(7) << 14) + (sizeByte(8) << 7) + sizeByte(9) + HeaderLength;
    if (TagSize > fileSize)
        TagSize = 0;
    if (TagVersion == 3 && TagSize > 0)
        ReadFrames(file, static_cast<quint8>(header[5]));
    return true;
}

// Collects the text frames of an ID3v2.3 tag. The fields are informational, so a damaged
// frame simply ends the walk.
void TID3v2::ReadFrames(QFile& file, quint8 flags) {
    // An unsynchronised tag would have to be decoded as a whole; its fields stay empty.
    if (flags & 0x80)
        return;
    qint64 position = HeaderLength;
    if (flags & 0x40) {
        if (!file.seek(position))
            return;
        const QByteArray extended = file.read(4);
        if (extended.size() != 4)
            return;
        position += 4 + BigEndian32(extended, 0);
    }
    while (position + HeaderLength <= TagSize) {
        if (!file.seek(position))
            return;
        const QByteArray frame = file.read(HeaderLength);
        if (frame.size() != HeaderLength)
            return;
        const QByteArray id = frame.left(4);
        if (id[0] == 0 || !IsFrameId(id))
            return; // padding or garbage
        const qint64 size = BigEndian32(frame, 4);
        if (size > TagSize - position - HeaderLength)
            return;
        // Compressed, encrypted or grouped frames carry no plain text.
        const bool plain = (static_cast<quint8>(frame[9]) & 0xE0) == 0;
        static const QByteArray wanted[] = {"TIT2", "TPE1", "TALB", "TRCK", "TYER", "TCON", "COMM"};
        if (plain && size > 1 && size <= MaxTextFrame &&
            std::find(std::begin(wanted), std::end(wanted), id) != std::end(wanted)) {
            const QByteArray body = file.read(size);
            if (body.size() != size)
                return;
            const QString text = DecodeText(static_cast<quint8>(body[0]), body.mid(1));
            if (id == "TIT2")
                Title = text;
            else if (id == "TPE1")
                Artist = text;
            else if (id == "TALB")
                Album = text;
            else if (id == "TRCK")
                Track = text.section(u'/', 0, 0).trimmed().toInt();
            else if (id == "TYER")
                Year = text;
            else if (id == "TCON")
                Genre = text;
            else
                Comment = CommentText(body);
        }
        position += HeaderLength + size;
    }
}

} // namespace Lumerix
