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

/// Seconds per picture are a whole number in this range, here and in every `Diashow.ini`.
inline constexpr int MinSeconds = 1;
inline constexpr int MaxSeconds = 3600;
inline constexpr int DefaultSeconds = 3;

/// Seconds per picture as leaving the field repairs it: the text up to the first "," and then
/// up to the first "." (as words, so ",5" gives "5"); anything that is not then a whole number
/// from `MinSeconds` to `MaxSeconds` gives "3". "7.9" → "7", "10," → "10", "-5" → "3".
QString ValidSeconds(const QString& text);

/// The ten keys of the player's `Settings.ini`, in the order they are written, with their
/// values from the run state.
QList<std::pair<QString, QString>> PlayerValues(const TRunState& state);

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
