#pragma once

#include <QList>
#include <QString>

#include <utility>

namespace Lumerix {

class TRunState;

/// The playback settings of step 3: validation of the values and the player's `Settings.ini`
/// in the workspace root (section "SETTINGS").
namespace Settings {

/// Seconds per picture as leaving the field repairs it: the text up to the first "," and then
/// up to the first "." (as words, so ",5" gives "5"); anything that is not a whole number
/// then gives "3". "7.9" → "7", "10," → "10", "" → "3".
QString ValidSeconds(const QString& text);

/// The effect number as the settings keep it: 128 and above become 127, then it is held
/// within 1 .. `effectCount` (when there are effects at all).
int ValidEffect(int number, int effectCount);

/// The ten keys of `Settings.ini`, in the order they are written.
QList<std::pair<QString, QString>> PlayerValues(const TRunState& state);

/// Writes `Settings.ini` of the workspace; false with the cause in `error`.
bool WritePlayerSettings(const TRunState& state, QString* error = nullptr);

/// Sets one setting from text, as the settings page would: a key of `Settings.ini` or
/// "DefaultTime" (letter case ignored), with a value in the file's encoding ("TRUE"/"FALSE",
/// decimal colours 0..16777215, "OFF"/"ON"/"RANDOM", effect 1..count, offset 0..750).
/// The effect's line of `Effects.ini` must be readable. False with the cause in `error`;
/// nothing is changed then.
bool Apply(TRunState& state, const QString& key, const QString& value, QString* error);

} // namespace Settings

} // namespace Lumerix
