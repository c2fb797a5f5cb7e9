#include "TPictureEntry.h"

namespace Lumerix {

namespace {

constexpr QLatin1String TagStart{"<IMG src=\"file://"};
constexpr QLatin1String TagEnd{"\" align=\"top\">"};

// A caption is one line of text: control characters from a damaged file become blanks.
QString CaptionText(QStringView text) {
    QString caption = text.trimmed().toString();
    for (QChar& c : caption) {
        if (c.category() == QChar::Other_Control)
            c = u' ';
    }
    return caption.trimmed();
}

// Splits "name | caption" at its first "|"; both halves trimmed. Everything after that bar
// is the caption, further bars and ">" included.
void SplitLine(QStringView line, TPictureEntry& entry) {
    const qsizetype bar = line.indexOf(u'|');
    if (bar < 0) {
        entry.FileName = line.trimmed().toString();
        return;
    }
    entry.FileName = line.left(bar).trimmed().toString();
    entry.Caption = CaptionText(line.mid(bar + 1));
    entry.HasCaption = true;
}

// The thumbnail path goes into the tag URL-escaped, so that a quote in a file name can never
// end the tag early and hand part of the path to the name.
QString EscapedPath(const QString& path) {
    QString escaped = path;
    return escaped.replace(u'%', QLatin1String("%25")).replace(u'"', QLatin1String("%22"));
}

QString UnescapedPath(QStringView path) {
    QString plain = path.toString();
    return plain.replace(QLatin1String("%22"), QLatin1String("\""))
        .replace(QLatin1String("%25"), QLatin1String("%"));
}

} // namespace

QString TPictureEntry::Text() const {
    return TagStart + EscapedPath(ThumbnailPath) + TagEnd + PicturesLine();
}

QString TPictureEntry::PicturesLine() const {
    return HasCaption ? FileName + CaptionSeparator + Caption : FileName;
}

TPictureEntry TPictureEntry::Parse(const QString& text) {
    TPictureEntry entry;
    QStringView rest = text;
    if (rest.startsWith(TagStart)) {
        const qsizetype end = rest.indexOf(TagEnd, TagStart.size());
        if (end >= 0) {
            entry.ThumbnailPath = UnescapedPath(rest.mid(TagStart.size(), end - TagStart.size()));
            rest = rest.mid(end + TagEnd.size());
        }
    } else {
        // Some other tag before the name: the text after it is the line.
        const qsizetype close = rest.indexOf(u'>');
        const qsizetype bar = rest.indexOf(u'|');
        if (close >= 0 && (bar < 0 || close < bar))
            rest = rest.mid(close + 1);
    }
    SplitLine(rest, entry);
    return entry;
}

TPictureEntry TPictureEntry::FromPicturesLine(const QString& line, const QString& thumbnailPath) {
    TPictureEntry entry;
    SplitLine(line, entry);
    entry.HasCaption = true;
    entry.ThumbnailPath = thumbnailPath;
    return entry;
}

} // namespace Lumerix
