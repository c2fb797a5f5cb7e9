#pragma once

#include <QList>
#include <QString>

#include <utility>

namespace Lumerix {

class TIniFile;
class TRunState;
struct TFolderLocations;

/// The global preferences in section "SETTINGS" of `Generator.ini`.
namespace TPreferences {

inline const QString Section = QStringLiteral("SETTINGS");

/// Reads every preference into the run state, with the documented default for each absent key.
/// The workspace paths follow the "Drive" key (the workspace base folder).
void Load(TRunState& state);

/// Every preference except "Language" as it would be written, in the table's order.
QList<std::pair<QString, QString>> Values(const TRunState& state);

/// Writes every preference except "Language". False when `Generator.ini` cannot be written;
/// `error` then names the file and the cause.
bool Save(const TRunState& state, QString* error = nullptr);

/// The language code stored in `Generator.ini` ("GERMAN" when absent or unknown).
QString StoredLanguage(const TFolderLocations& locations);
/// Stores the language code in `ini` for the next start; false with `error` naming the file
/// and the cause when it cannot be written.
bool StoreLanguage(TIniFile ini, const QString& code, QString* error = nullptr);

} // namespace TPreferences

} // namespace Lumerix
