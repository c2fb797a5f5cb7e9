#include "Strings.h"

#include <QDir>

namespace Lumerix::Strings {

namespace {

// Calls `visit(start, length)` for each word in order; stops when `visit` returns false.
template <typename Visit>
void ForEachWord(const QString& text, const QString& delimiters, Visit visit) {
    const qsizetype size = text.size();
    qsizetype i = 0;
    while (i < size) {
        while (i < size && delimiters.contains(text[i]))
            ++i;
        if (i >= size)
            return;
        const qsizetype start = i;
        while (i < size && !delimiters.contains(text[i]))
            ++i;
        if (!visit(start, i - start))
            return;
    }
}

} // namespace

int WordCount(const QString& text, const QString& delimiters) {
    int count = 0;
    ForEachWord(text, delimiters, [&](qsizetype, qsizetype) {
        ++count;
        return true;
    });
    return count;
}

QString ExtractWord(int n, const QString& text, const QString& delimiters) {
    QString word;
    int index = 0;
    ForEachWord(text, delimiters, [&](qsizetype start, qsizetype length) {
        if (++index < n)
            return true;
        word = text.mid(start, length);
        return false;
    });
    return n >= 1 ? word : QString();
}

QString PadLeft(const QString& text, QChar fill, int width) {
    if (text.size() >= width)
        return text;
    return QString(width - text.size(), fill) + text;
}

QString AddBackslash(const QString& path) {
    if (path.isEmpty())
        return path;
    if (path.size() == 2 && path[1] == u':')
        return path + u'/';
    if (path.size() <= 2)
        return path;
    return path.endsWith(u'/') ? path : path + u'/';
}

QString ExtractFileDir(const QString& path) {
    const qsizetype slash = path.lastIndexOf(u'/');
    if (slash < 0)
        return {};
    if (slash == 0)
        return QStringLiteral("/");
    return path.left(slash);
}

QString FolderPath(const QString& path) {
    if (path.isEmpty())
        return {};
    const QString clean = QDir::cleanPath(path);
    return clean.endsWith(u'/') ? clean : clean + u'/';
}

} // namespace Lumerix::Strings
