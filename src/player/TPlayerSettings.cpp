#include "TPlayerSettings.h"

#include "PlayerFiles.h"
#include "shell/Colors.h"

#include <algorithm>

namespace Lumerix {

namespace {

const QString Section = QStringLiteral("SETTINGS");

// A Windows colour value as the settings page writes it; system colour constants (negative
// or with a high byte) and junk keep the default.
qint64 ReadColour(const TIniFile& ini, const QString& key, qint64 fallback) {
    bool ok = false;
    const qint64 value = ini.ReadString(Section, key, QString()).trimmed().toLongLong(&ok);
    return ok && value >= 0 && value <= 0xFFFFFF ? value : fallback;
}

int ReadNumber(const TIniFile& ini, const QString& key, int fallback, int low, int high) {
    bool ok = false;
    const qint64 value = ini.ReadString(Section, key, QString()).trimmed().toLongLong(&ok);
    return ok ? int(std::clamp<qint64>(value, low, high)) : fallback;
}

bool ReadFlag(const TIniFile& ini, const QString& key, bool fallback) {
    const QString value = ini.ReadString(Section, key, QString()).trimmed().toUpper();
    if (value == u"TRUE")
        return true;
    if (value == u"FALSE")
        return false;
    return fallback;
}

} // namespace

QColor TPlayerSettings::Background() const {
    return Colors::ToQColor(BackgroundColor);
}

QColor TPlayerSettings::Foreground() const {
    return Colors::ToQColor(TextColor);
}

TPlayerSettings TPlayerSettings::Load(const QString& path) {
    const TIniFile ini = PlayerFiles::ReadIni(path);
    TPlayerSettings settings;
    settings.StopAtEnd = ReadFlag(ini, QStringLiteral("StopDiashowAtEnd"), settings.StopAtEnd);
    settings.Fullscreen = ReadFlag(ini, QStringLiteral("Fullscreen"), settings.Fullscreen);
    settings.Manual = ReadFlag(ini, QStringLiteral("Manuell"), settings.Manual);
    settings.PictureTextVisible =
        ReadFlag(ini, QStringLiteral("PictureTextVisible"), settings.PictureTextVisible);
    settings.FileNameVisible =
        ReadFlag(ini, QStringLiteral("FileNameVisible"), settings.FileNameVisible);
    settings.BackgroundColor =
        ReadColour(ini, QStringLiteral("BKGColor"), settings.BackgroundColor);
    settings.TextColor = ReadColour(ini, QStringLiteral("TextColor"), settings.TextColor);
    const QString mode = ini.ReadString(Section, QStringLiteral("EffectMode"), QString());
    const QString upper = mode.trimmed().toUpper();
    if (upper == u"ON")
        settings.EffectMode = TEffectMode::On;
    else if (upper == u"RANDOM")
        settings.EffectMode = TEffectMode::Random;
    else
        settings.EffectMode = TEffectMode::Off;
    // The settings page never stores more than 127; below 1 there is no line.
    settings.Effect = ReadNumber(ini, QStringLiteral("Effect"), settings.Effect, 1, MaxEffect);
    settings.TextOffset =
        ReadNumber(ini, QStringLiteral("TextOffset"), settings.TextOffset, 0, MaxTextOffset);
    return settings;
}

} // namespace Lumerix
