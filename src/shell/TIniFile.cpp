#include "TIniFile.h"

#include "TextCodec.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace Lumerix {

namespace {

// The section name of a "[name]" line, or a null text for any other line.
QString SectionName(const QString& line) {
    const QString trimmed = line.trimmed();
    if (!trimmed.startsWith(u'['))
        return {};
    const qsizetype close = trimmed.indexOf(u']');
    if (close < 0)
        return {};
    return trimmed.mid(1, close - 1).trimmed();
}

bool IsComment(const QString& trimmed) {
    return trimmed.startsWith(u';') || trimmed.startsWith(u'#');
}

// The key of a "key=value" line, or a null text for a line without "=" or a comment.
QString KeyName(const QString& line) {
    const QString trimmed = line.trimmed();
    if (trimmed.isEmpty() || IsComment(trimmed))
        return {};
    const qsizetype equals = trimmed.indexOf(u'=');
    if (equals <= 0)
        return {};
    return trimmed.left(equals).trimmed();
}

QString ValueOf(const QString& line) {
    QString value = line.mid(line.indexOf(u'=') + 1).trimmed();
    // Like the profile readers, one pair of enclosing quotes is taken off.
    if (value.size() >= 2 && ((value.startsWith(u'"') && value.endsWith(u'"')) ||
                              (value.startsWith(u'\'') && value.endsWith(u'\''))))
        value = value.mid(1, value.size() - 2);
    return value;
}

bool SameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace

TIniFile::TIniFile(QString path, QString fallbackPath)
    : Path(std::move(path)), FallbackPath(std::move(fallbackPath)) {}

bool TIniFile::Exists() const {
    return QFileInfo::exists(Path) || (!FallbackPath.isEmpty() && QFileInfo::exists(FallbackPath));
}

const QStringList& TIniFile::Lines() const {
    QString source = Path;
    QFileInfo info(source);
    if (!info.exists() && !FallbackPath.isEmpty()) {
        source = FallbackPath;
        info = QFileInfo(source);
    }
    if (!info.exists()) {
        CachedLines.clear();
        CachedFrom.clear();
        return CachedLines;
    }
    if (source != CachedFrom || info.size() != CachedSize || info.lastModified() != CachedTime) {
        CachedLines = TextCodec::ReadLines(source);
        CachedFrom = source;
        CachedSize = info.size();
        CachedTime = info.lastModified();
    }
    return CachedLines;
}

TIniFile::TLocation TIniFile::Locate(const QStringList& lines, const QString& section,
                                     const QString& key) const {
    TLocation location;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString name = SectionName(lines[i]);
        if (name.isNull())
            continue;
        if (location.SectionLine >= 0) {
            location.SectionEnd = i;
            break;
        }
        if (SameName(name, section))
            location.SectionLine = i;
    }
    if (location.SectionLine < 0)
        return location;
    if (location.SectionEnd < 0)
        location.SectionEnd = lines.size();
    for (qsizetype i = location.SectionLine + 1; i < location.SectionEnd; ++i) {
        if (SameName(KeyName(lines[i]), key)) {
            location.KeyLine = i;
            break;
        }
    }
    return location;
}

QString TIniFile::ReadString(const QString& section, const QString& key,
                             const QString& defaultValue) const {
    const QStringList& lines = Lines();
    const TLocation location = Locate(lines, section, key);
    return location.KeyLine >= 0 ? ValueOf(lines[location.KeyLine]) : defaultValue;
}

int TIniFile::ReadInteger(const QString& section, const QString& key, int defaultValue) const {
    bool ok = false;
    const int value = ReadString(section, key, QString()).toInt(&ok);
    return ok ? value : defaultValue;
}

bool TIniFile::ReadBool(const QString& section, const QString& key, bool defaultValue) const {
    const QString value = ReadString(section, key, QString()).toUpper();
    if (value == u"TRUE")
        return true;
    if (value == u"FALSE")
        return false;
    return defaultValue;
}

bool TIniFile::SectionExists(const QString& section) const {
    return Locate(Lines(), section, QString()).SectionLine >= 0;
}

bool TIniFile::ValueExists(const QString& section, const QString& key) const {
    return Locate(Lines(), section, key).KeyLine >= 0;
}

QStringList TIniFile::ReadSection(const QString& section) const {
    const QStringList& lines = Lines();
    const TLocation location = Locate(lines, section, QString());
    QStringList keys;
    for (qsizetype i = location.SectionLine + 1;
         location.SectionLine >= 0 && i < location.SectionEnd; ++i) {
        const QString key = KeyName(lines[i]);
        if (!key.isNull())
            keys.append(key);
    }
    return keys;
}

QStringList TIniFile::Sections() const {
    QStringList sections;
    for (const QString& line : Lines()) {
        const QString name = SectionName(line);
        if (!name.isNull())
            sections.append(name);
    }
    return sections;
}

bool TIniFile::WriteString(const QString& section, const QString& key, const QString& value) {
    return WriteStrings(section, {{key, value}});
}

bool TIniFile::WriteStrings(const QString& section,
                            const QList<std::pair<QString, QString>>& values) {
    QStringList lines = Lines();
    Apply(lines, section, values);
    return Store(std::move(lines));
}

bool TIniFile::RewriteFrom(const QString& templatePath, const QString& section,
                           const QList<std::pair<QString, QString>>& values) {
    if (!QFileInfo(templatePath).isFile())
        return WriteStrings(section, values);
    QStringList lines = TIniFile(templatePath).Lines();
    Apply(lines, section, values);
    return Store(std::move(lines), templatePath);
}

void TIniFile::Apply(QStringList& lines, const QString& section,
                     const QList<std::pair<QString, QString>>& values) const {
    for (const auto& [key, value] : values) {
        const TLocation location = Locate(lines, section, key);
        // A value is one line: a line break inside it would turn its rest into another key.
        QString oneLine = value;
        oneLine.replace(QStringLiteral("\r\n"), QStringLiteral(" "))
            .replace(u'\n', u' ')
            .replace(u'\r', u' ');
        const QString keyLine = key + u'=' + oneLine;
        if (location.SectionLine < 0) {
            lines.append(u'[' + section + u']');
            lines.append(keyLine);
        } else if (location.KeyLine >= 0) {
            lines[location.KeyLine] = keyLine;
        } else {
            // A new key goes after the section's last non-blank line, before any blank separator.
            qsizetype insertAt = location.SectionEnd;
            while (insertAt > location.SectionLine + 1 && lines[insertAt - 1].trimmed().isEmpty())
                --insertAt;
            lines.insert(insertAt, keyLine);
        }
    }
}

bool TIniFile::WriteInteger(const QString& section, const QString& key, int value) {
    return WriteString(section, key, QString::number(value));
}

bool TIniFile::WriteBool(const QString& section, const QString& key, bool value) {
    return WriteString(section, key, value ? QStringLiteral("TRUE") : QStringLiteral("FALSE"));
}

bool TIniFile::DeleteKey(const QString& section, const QString& key) {
    QStringList lines = Lines();
    const TLocation location = Locate(lines, section, key);
    if (location.KeyLine < 0)
        return true;
    lines.removeAt(location.KeyLine);
    return Store(std::move(lines));
}

bool TIniFile::Store(QStringList lines, const QString& lineEndsOf) {
    const QString folder = QFileInfo(Path).absolutePath();
    if (!QDir().mkpath(folder)) {
        Error = QStringLiteral("%1: cannot create the folder %2").arg(Path, folder);
        return false;
    }
    // The file keeps the line ends it has (CR LF from the other system stays CR LF).
    QString lineEnd = QStringLiteral("\n");
    const QString source = !lineEndsOf.isEmpty()                               ? lineEndsOf
                           : QFileInfo::exists(Path) || FallbackPath.isEmpty() ? Path
                                                                               : FallbackPath;
    if (QFile existing(source); existing.open(QIODevice::ReadOnly)) {
        // A first line ending at a lone CR marks the old Mac form, which the reader takes too.
        const QByteArray first = existing.readLine(64 * 1024);
        const qsizetype cr = first.indexOf('\r');
        if (first.endsWith("\r\n"))
            lineEnd = QStringLiteral("\r\n");
        else if (cr >= 0 && !first.endsWith('\n'))
            lineEnd = QStringLiteral("\r");
    }
    QByteArray bytes = (lines.join(lineEnd) + lineEnd).toUtf8();
    // A file that already says this stays untouched: every start rewrites a few keys to the
    // values they have, and a synced rewrite is the slowest part of a start.
    bool unchanged = false;
    if (QFile existing(Path); existing.open(QIODevice::ReadOnly) && existing.size() == bytes.size())
        unchanged = existing.readAll() == bytes;
    QString cause;
    if (!unchanged && !TextCodec::WriteFileAtomic(Path, bytes, &cause)) {
        Error = QStringLiteral("%1: %2").arg(Path, cause);
        return false;
    }
    Error.clear();
    CachedLines = std::move(lines);
    const QFileInfo info(Path);
    CachedFrom = Path;
    CachedSize = info.size();
    CachedTime = info.lastModified();
    return true;
}

} // namespace Lumerix
