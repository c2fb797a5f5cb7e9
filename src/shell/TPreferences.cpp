#include "TPreferences.h"

#include "Strings.h"
#include "TRunState.h"

namespace Lumerix::TPreferences {

namespace {

TEffectMode ParseEffectMode(const QString& text) {
    if (text == u"ON")
        return TEffectMode::On;
    if (text == u"RANDOM")
        return TEffectMode::Random;
    return TEffectMode::Off;
}

QString EffectModeWord(TEffectMode mode) {
    switch (mode) {
    case TEffectMode::On:
        return QStringLiteral("ON");
    case TEffectMode::Random:
        return QStringLiteral("RANDOM");
    case TEffectMode::Off:
        break;
    }
    return QStringLiteral("OFF");
}

QString Bool(bool value) {
    return value ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
}

const QStringList PlayerKeys = {
    QStringLiteral("StopDiashowAtEnd"), QStringLiteral("Fullscreen"),
    QStringLiteral("Manuell"),          QStringLiteral("PictureTextVisible"),
    QStringLiteral("FileNameVisible"),  QStringLiteral("BKGColor"),
    QStringLiteral("TextColor"),        QStringLiteral("EffectMode"),
    QStringLiteral("Effect"),           QStringLiteral("TextOffset"),
};

} // namespace

QString ValidSeconds(const QString& text) {
    QString seconds = text.trimmed();
    for (const QString& separator : {QStringLiteral(","), QStringLiteral(".")}) {
        if (seconds.contains(separator))
            seconds = Strings::ExtractWord(1, seconds, separator).trimmed();
    }
    bool ok = false;
    const int value = seconds.toInt(&ok);
    if (!ok || value < MinSeconds || value > MaxSeconds)
        return QString::number(DefaultSeconds);
    // "+5" and "007" are kept as the number they mean.
    return QString::number(value);
}

QList<std::pair<QString, QString>> PlayerValues(const TRunState& state) {
    QList<std::pair<QString, QString>> values;
    for (const auto& value : Values(state)) {
        if (PlayerKeys.contains(value.first))
            values.append(value);
    }
    return values;
}

void Load(TRunState& state) {
    const TIniFile ini = state.GeneratorIni();
    auto text = [&](const char* key) {
        return ini.ReadString(Section, QString::fromLatin1(key), QString());
    };
    auto upper = [&](const char* key) {
        return text(key).toUpper();
    };

    state.SecondsPerPicture = ValidSeconds(text("DefaultTime"));

    QString source = Strings::AddBackslash(text("SourcePicturesPath"));
    // The program folder holds work files, never the user's pictures.
    if (!source.isEmpty() && source.compare(state.ProgramDir, Qt::CaseInsensitive) == 0)
        source = state.HomeDir;
    state.SourceDir = source;

    state.EndlessPlay = upper("StopDiashowAtEnd") == u"FALSE";
    state.Fullscreen = upper("Fullscreen") != u"FALSE";
    state.Manual = upper("Manuell") != u"FALSE";
    state.PictureTextVisible = upper("PictureTextVisible") == u"TRUE";
    state.FileNameVisible = upper("FileNameVisible") == u"TRUE";
    state.BackgroundColor = ini.ReadInteger(Section, QStringLiteral("BKGColor"), 0);
    state.TextColor = ini.ReadInteger(Section, QStringLiteral("TextColor"), 0);
    state.EffectMode = ParseEffectMode(text("EffectMode"));
    state.Effect = ini.ReadInteger(Section, QStringLiteral("Effect"), 1);
    state.TextOffset = ini.ReadInteger(Section, QStringLiteral("TextOffset"), 0);
    state.SetWorkspaceBase(text("Drive"));
}

QList<std::pair<QString, QString>> Values(const TRunState& state) {
    return {
        {QStringLiteral("DefaultTime"), state.SecondsPerPicture},
        {QStringLiteral("SourcePicturesPath"), state.SourceDir},
        {QStringLiteral("StopDiashowAtEnd"), Bool(!state.EndlessPlay)},
        {QStringLiteral("Fullscreen"), Bool(state.Fullscreen)},
        // Manual stepping only makes sense in full screen.
        {QStringLiteral("Manuell"), Bool(state.Fullscreen && state.Manual)},
        {QStringLiteral("PictureTextVisible"), Bool(state.PictureTextVisible)},
        {QStringLiteral("FileNameVisible"), Bool(state.FileNameVisible)},
        {QStringLiteral("BKGColor"), QString::number(state.BackgroundColor)},
        {QStringLiteral("TextColor"), QString::number(state.TextColor)},
        {QStringLiteral("EffectMode"), EffectModeWord(state.EffectMode)},
        {QStringLiteral("Effect"), QString::number(state.Effect)},
        {QStringLiteral("TextOffset"), QString::number(state.TextOffset)},
        {QStringLiteral("Drive"), state.StoredWorkspaceBase()},
    };
}

bool Save(const TRunState& state, QString* error) {
    TIniFile ini = state.GeneratorIni();
    if (ini.WriteStrings(Section, Values(state)))
        return true;
    if (error)
        *error = ini.LastError();
    return false;
}

QString StoredLanguage(const TFolderLocations& locations) {
    const QString code =
        GeneratorIni(locations.ProgramDir, locations.KitDir)
            .ReadString(Section, QStringLiteral("Language"), QStringLiteral("GERMAN"));
    return TLanguage::IsKnownCode(code) ? code : QStringLiteral("GERMAN");
}

bool StoreLanguage(TIniFile ini, const QString& code, QString* error) {
    if (ini.WriteString(Section, QStringLiteral("Language"), code))
        return true;
    if (error)
        *error = ini.LastError();
    return false;
}

} // namespace Lumerix::TPreferences
