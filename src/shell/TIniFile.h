#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <utility>

namespace Lumerix {

/// An INI file with private-profile semantics: section and key names match without regard to
/// letter case, a missing file, section or key yields the caller's default, and a write
/// creates the file and the section when absent and replaces only that key's line, keeping
/// every other line and comment. Each read reflects the file on disk; the parsed lines are
/// kept only while the file's size and time stamp are unchanged.
///
/// Writes go to a temporary file beside the target that is renamed over it, so a crash never
/// leaves a torn file. A file that does not exist yet can be seeded from a fallback (a shipped
/// copy): reads fall back to it, and the first write starts from its contents.
class TIniFile {
public:
    explicit TIniFile(QString path, QString fallbackPath = {});

    const QString& FileName() const { return Path; }
    bool Exists() const;

    QString ReadString(const QString& section, const QString& key,
                       const QString& defaultValue) const;
    int ReadInteger(const QString& section, const QString& key, int defaultValue) const;
    /// "TRUE"/"FALSE" compared after upper-casing; anything else gives the default.
    bool ReadBool(const QString& section, const QString& key, bool defaultValue) const;
    bool SectionExists(const QString& section) const;
    bool ValueExists(const QString& section, const QString& key) const;
    QStringList ReadSection(const QString& section) const;
    QStringList Sections() const;

    /// False (file untouched) when the file cannot be written; `LastError()` says why.
    bool WriteString(const QString& section, const QString& key, const QString& value);
    /// Several keys of one section in one write.
    bool WriteStrings(const QString& section, const QList<std::pair<QString, QString>>& values);
    /// Makes the file the `templatePath` file (line ends too) with `values` written into
    /// `section`: keys the file holds beyond the template are dropped. One write at most, none
    /// when the file already says that. Without the template, the same as WriteStrings().
    bool RewriteFrom(const QString& templatePath, const QString& section,
                     const QList<std::pair<QString, QString>>& values);
    bool WriteInteger(const QString& section, const QString& key, int value);
    bool WriteBool(const QString& section, const QString& key, bool value);
    bool DeleteKey(const QString& section, const QString& key);

    const QString& LastError() const { return Error; }

private:
    struct TLocation {
        qsizetype SectionLine = -1; // index of the "[section]" line
        qsizetype SectionEnd = -1;  // one past the last line belonging to the section
        qsizetype KeyLine = -1;
    };

    const QStringList& Lines() const;
    TLocation Locate(const QStringList& lines, const QString& section, const QString& key) const;
    void Apply(QStringList& lines, const QString& section,
               const QList<std::pair<QString, QString>>& values) const;
    /// `lineEndsOf` names the file whose line ends the written one takes (default: its own).
    bool Store(QStringList lines, const QString& lineEndsOf = {});

    QString Path;
    QString FallbackPath;
    QString Error;

    mutable QStringList CachedLines;
    mutable QString CachedFrom;
    mutable qint64 CachedSize = -1;
    mutable QDateTime CachedTime;
};

} // namespace Lumerix
