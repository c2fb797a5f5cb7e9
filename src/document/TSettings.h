#pragma once

#include <QList>
#include <QString>

#include <utility>

namespace Lumerix {

class TRunState;

/// The playback settings of step 3: validation of the values and the player's `Settings.ini`
/// in the workspace root (section "SETTINGS").
namespace Settings {

/// The effect number as the settings keep it: 128 and above become 127, then it is held
/// within 1 .. `effectCount` (when there are effects at all).
int ValidEffect(int number, int effectCount);

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
