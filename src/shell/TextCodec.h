#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

class QFileDevice;
class QSaveFile;

/// Text files the program reads may come from the Windows program (Windows-1252) or from us
/// (UTF-8). Valid UTF-8 is decoded as such, anything else as Windows-1252. Files are written
/// as UTF-8.
namespace Lumerix::TextCodec {

QString Decode(const QByteArray& bytes);

QString FromWindows1252(const QByteArray& bytes);

/// Encodes `text` as Windows-1252; characters outside the code page become `replacement`.
QByteArray ToWindows1252(const QString& text, char replacement = '?');

/// The Windows-1252 byte of `c`, or -1 when the code page has no such character.
int Windows1252Byte(QChar c);

/// `text` as Windows-1252 when the code page holds every character and `Decode` gives the
/// same text back; otherwise as UTF-8 without a byte-order mark. Files older readers share
/// stay in their code page, and nothing is ever lost.
QByteArray EncodeLossless(const QString& text);

/// Lines of a text file (CR LF, LF or CR ends), decoded as above; empty when unreadable.
QStringList ReadLines(const QString& path);

/// The cause of a failed write or commit on `file`; call it at once. Qt reports a write cut
/// short by a full disk as an unknown error, so the system's error number tells it then.
QString WriteErrorText(const QFileDevice& file);

/// Finishes writing `file`: its buffer is flushed and checked, then it replaces its target.
/// QSaveFile's own commit takes a flush cut short by a full disk for success and would put a
/// truncated file in place. On failure the target stays as it was and `cause` is set.
bool Commit(QSaveFile& file, QString* cause = nullptr);

/// Writes `bytes` beside `path` and renames it over the target, so a crash never leaves a
/// torn file. Returns false (target untouched) on any failure; `error` gets the cause.
bool WriteFileAtomic(const QString& path, const QByteArray& bytes, QString* error = nullptr);

} // namespace Lumerix::TextCodec
