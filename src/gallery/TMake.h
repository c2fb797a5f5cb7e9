#pragma once

#include <QString>
#include <QStringList>

namespace Lumerix {

/// The page assembler: a page is the head template, the body lines appended one by one, and
/// the tail template. The templates are `base` + ".ht1" and ".ht2", matched without regard to
/// letter case.
class TMake {
public:
    /// Reads the two templates; `Ok()` is false (with `Error()`) when one cannot be read.
    TMake(const QString& templateBase, QString outputFile);

    bool Ok() const { return Error_.isEmpty(); }
    const QString& Error() const { return Error_; }

    void Add(const QString& line) { Body.append(line); }
    void Add(const QStringList& lines) { Body.append(lines); }

    /// Writes head, body and tail to the output file, replacing it. False with `Error()`.
    bool Write();

    /// Writes `lines` as a page file: ASCII only, every other character as a numeric
    /// character reference (or UTF-8 with `utf8`, for pages that declare it), lines ended by
    /// LF, replacing the file atomically.
    static bool WriteLines(const QString& path, const QStringList& lines, QString* error,
                           bool utf8 = false);

private:
    QStringList Head;
    QStringList Body;
    QStringList Tail;
    QString OutputFile;
    QString Error_;
};

} // namespace Lumerix
