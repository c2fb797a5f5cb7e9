#include "TextCodec.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>

namespace Lumerix::TextCodec {

namespace {

// Code points of the bytes 0x80..0x9F; the five bytes the code page leaves undefined map to the
// C1 control of the same value so that a round trip keeps them.
constexpr std::array<char16_t, 32> HighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

} // namespace

QString FromWindows1252(const QByteArray& bytes) {
    QString text;
    text.reserve(bytes.size());
    for (const char byte : bytes) {
        const auto value = static_cast<unsigned char>(byte);
        text.append(value >= 0x80 && value <= 0x9F ? QChar(HighControls[value - 0x80])
                                                   : QChar(char16_t(value)));
    }
    return text;
}

int Windows1252Byte(QChar c) {
    const char16_t code = c.unicode();
    if (code < 0x80 || (code >= 0xA0 && code <= 0xFF))
        return code;
    for (size_t i = 0; i < HighControls.size(); ++i) {
        if (HighControls[i] == code)
            return int(0x80 + i);
    }
    return -1;
}

QByteArray ToWindows1252(const QString& text, char replacement) {
    QByteArray bytes;
    bytes.reserve(text.size());
    for (const QChar c : text) {
        const int byte = Windows1252Byte(c);
        bytes.append(byte < 0 ? replacement : char(byte));
    }
    return bytes;
}

QByteArray EncodeLossless(const QString& text) {
    const bool fits =
        std::all_of(text.begin(), text.end(), [](QChar c) { return Windows1252Byte(c) >= 0; });
    if (fits) {
        // Code-page bytes that happen to form valid UTF-8 ("Ã©") would read back as other
        // letters; such a text goes as UTF-8, which reads back exactly.
        QByteArray legacy = ToWindows1252(text);
        if (Decode(legacy) == text)
            return legacy;
    }
    // Reading drops one byte-order mark, so a text that begins with that character gets one
    // in front.
    return text.startsWith(QChar(0xFEFF)) ? "\xEF\xBB\xBF" + text.toUtf8() : text.toUtf8();
}

QString Decode(const QByteArray& bytes) {
    QByteArrayView view(bytes);
    if (view.startsWith("\xEF\xBB\xBF"))
        view = view.sliced(3);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(view);
    if (!utf8.hasError())
        return text;
    return FromWindows1252(view.toByteArray());
}

QStringList ReadLines(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QString text = Decode(file.readAll());
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    QStringList lines = text.split(u'\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

QString WriteErrorText(const QFileDevice& file) {
    const int code = errno;
    if (code == ENOSPC || code == EDQUOT || code == EFBIG || code == EIO)
        return QString::fromLocal8Bit(std::strerror(code));
    return file.errorString();
}

bool Commit(QSaveFile& file, QString* cause) {
    if (!file.flush()) {
        if (cause)
            *cause = WriteErrorText(file);
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        if (cause)
            *cause = WriteErrorText(file);
        return false;
    }
    return true;
}

bool WriteFileAtomic(const QString& path, const QByteArray& bytes, QString* error) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    if (file.write(bytes) != bytes.size()) {
        if (error)
            *error = WriteErrorText(file);
        file.cancelWriting();
        return false;
    }
    return Commit(file, error);
}

} // namespace Lumerix::TextCodec
