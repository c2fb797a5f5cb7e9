#pragma once

#include <QString>
#include <QStringList>

namespace Lumerix {

class TRunState;

/// "Print.txt" in the program folder: the picture-list lines the user ticked for printing,
/// one per line, in list order. It lives only from the selection window to the end of the
/// preview.
namespace PrintList {

QString Path(const TRunState& state);

/// Replaces the file with `lines`, each trimmed; false with `error` set when it cannot.
bool Write(const QString& path, const QStringList& lines, QString* error = nullptr);
/// The file's non-empty lines; none when it is missing.
QStringList Read(const QString& path);

} // namespace PrintList

} // namespace Lumerix
