#include "TSettings.h"

#include "imaging/TTransition.h"
#include "shell/Strings.h"
#include "shell/TIniFile.h"
#include "shell/TPreferences.h"
#include "shell/TRunState.h"

#include <algorithm>

namespace Lumerix::Settings {

namespace {

bool ParseBool(const QString& value, bool* result) {
    const QString upper = value.trimmed().toUpper();
    if (upper != u"TRUE" && upper != u"FALSE")
        return false;
    *result = upper == u"TRUE";
    return true;
}

bool ParseNumber(const QString& value, qint64 low, qint64 high, qint64* result) {
    bool ok = false;
    const qint64 number = value.trimmed().toLongLong(&ok);
    if (!ok || number < low || number > high)
        return false;
    *result = number;
    return true;
}

} // namespace

int ValidEffect(int number, int effectCount) {
    if (number >= 128)
        number = 127;
    if (effectCount > 0)
        number = std::clamp(number, 1, effectCount);
    return number;
}

bool WritePlayerSettings(const TRunState& state, QString* error) {
    TIniFile ini(state.WorkspaceDir + QStringLiteral("Settings.ini"));
    if (ini.WriteStrings(TPreferences::Section, TPreferences::PlayerValues(state)))
        return true;
    if (error)
        *error = ini.LastError();
    return false;
}

bool Apply(TRunState& state, const QString& key, const QString& value, QString* error) {
    auto fail = [&](const QString& why) {
        if (error)
            *error = QStringLiteral("%1=%2: %3").arg(key, value, why);
        return false;
    };
    const QString name = key.trimmed();
    auto is = [&](const char* candidate) {
        return name.compare(QLatin1String(candidate), Qt::CaseInsensitive) == 0;
    };
    bool flag = false;
    qint64 number = 0;
    if (is("DefaultTime")) {
        if (!ParseNumber(value, TPreferences::MinSeconds, TPreferences::MaxSeconds, &number))
            return fail(QStringLiteral("a whole number of seconds from %1 to %2 expected")
                            .arg(TPreferences::MinSeconds)
                            .arg(TPreferences::MaxSeconds));
        state.SecondsPerPicture = QString::number(number);
    } else if (is("StopDiashowAtEnd") || is("Fullscreen") || is("Manuell") ||
               is("PictureTextVisible") || is("FileNameVisible")) {
        if (!ParseBool(value, &flag))
            return fail(QStringLiteral("TRUE or FALSE expected"));
        if (is("StopDiashowAtEnd"))
            state.EndlessPlay = !flag;
        else if (is("Fullscreen"))
            state.Fullscreen = flag;
        else if (is("Manuell"))
            state.Manual = flag;
        else if (is("PictureTextVisible"))
            state.PictureTextVisible = flag;
        else
            state.FileNameVisible = flag;
    } else if (is("BKGColor") || is("TextColor")) {
        if (!ParseNumber(value, 0, 0xFFFFFF, &number))
            return fail(QStringLiteral("a colour from 0 to 16777215 expected"));
        (is("BKGColor") ? state.BackgroundColor : state.TextColor) = number;
    } else if (is("EffectMode")) {
        const QString mode = value.trimmed().toUpper();
        if (mode == u"OFF")
            state.EffectMode = TEffectMode::Off;
        else if (mode == u"ON")
            state.EffectMode = TEffectMode::On;
        else if (mode == u"RANDOM")
            state.EffectMode = TEffectMode::Random;
        else
            return fail(QStringLiteral("OFF, ON or RANDOM expected"));
    } else if (is("Effect")) {
        if (!ParseNumber(value, 1, std::numeric_limits<int>::max(), &number))
            return fail(QStringLiteral("an effect number from 1 expected"));
        const int effect = ValidEffect(int(number), state.EffectCount);
        try {
            TEffectsFile::Load(state.KitFile(QStringLiteral("Effects.ini"))).Effect(effect);
        } catch (const TEffectsError& bad) {
            return fail(bad.Text());
        }
        state.Effect = effect;
    } else if (is("TextOffset")) {
        if (!ParseNumber(value, 0, 750, &number))
            return fail(QStringLiteral("an offset from 0 to 750 expected"));
        state.TextOffset = int(number);
    } else {
        return fail(QStringLiteral("not a setting (DefaultTime or a key of Settings.ini)"));
    }
    return true;
}

} // namespace Lumerix::Settings
