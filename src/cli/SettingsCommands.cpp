#include "SettingsCommands.h"

#include "CliSupport.h"
#include "TTerminalPrompter.h"
#include "document/TSettings.h"
#include "imaging/TRasterImage.h"
#include "imaging/TTransition.h"
#include "shell/Strings.h"
#include "shell/TPreferences.h"
#include "shell/TRunState.h"
#include "video/TransitionFrames.h"

#include <QDir>
#include <QFileInfo>
#include <QTextStream>

namespace Lumerix {

namespace {

using namespace CliSupport;

TEffectsFile LoadEffects(const TRunState& state) {
    try {
        return TEffectsFile::Load(state.KitFile(QStringLiteral("Effects.ini")));
    } catch (const TEffectsError& error) {
        throw TCliError{error.Text()};
    }
}

void ShowSettings(TCliContext& context) {
    TRunState& state = context.State;
    if (context.Arguments.isEmpty()) {
        PrintLine(QStringLiteral("DefaultTime=") + state.SecondsPerPicture);
        for (const auto& [key, value] : TPreferences::PlayerValues(state))
            PrintLine(key + u'=' + value);
        return;
    }
    // Every value is checked before anything is written.
    for (const QString& argument : context.Arguments) {
        const qsizetype equals = argument.indexOf(u'=');
        if (equals <= 0)
            throw TCliError{QStringLiteral("KEY=VALUE expected, got \"%1\"").arg(argument)};
        QString error;
        if (!Settings::Apply(state, argument.left(equals), argument.mid(equals + 1), &error))
            throw TCliError{error};
    }
    QString error;
    if (!TPreferences::Save(state, &error) || !Settings::WritePlayerSettings(state, &error))
        throw TCliError{error};
}

void ListEffects(TCliContext& context) {
    if (!context.Arguments.isEmpty())
        throw TCliError{QStringLiteral("usage: lumerix-cli effects")};
    const TEffectsFile effects = LoadEffects(context.State);
    for (int number = 1; number <= effects.Count(); ++number) {
        QString name = QStringLiteral("(bad line)");
        try {
            if (const TTransitionKind* kind = FindTransition(effects.Effect(number).PaintEffect))
                name = kind->Name;
            else
                name = QStringLiteral("(unknown effect)");
        } catch (const TEffectsError&) {
        }
        PrintLine(QStringLiteral("%1\t%2\t%3").arg(number).arg(name, effects.Texts()[number - 1]));
    }
}

void Transition(TCliContext& context) {
    if (context.Arguments.size() != 4)
        throw TCliError{QStringLiteral("usage: lumerix-cli transition EFFECT A.jpg B.jpg OUTDIR")};
    bool ok = false;
    const int number = context.Arguments[0].toInt(&ok);
    const TEffectsFile effects = LoadEffects(context.State);
    if (!ok || number < 1 || number > effects.Count())
        throw TCliError{QStringLiteral("no effect \"%1\" (1 to %2)")
                            .arg(context.Arguments[0])
                            .arg(effects.Count())};
    const QString folder = Strings::AddBackslash(context.Arguments[3]);
    if (!QDir().mkpath(folder))
        throw TCliError{QStringLiteral("%1: cannot create the folder").arg(folder)};
    try {
        TRasterImage a;
        a.Load(context.Arguments[1]);
        TRasterImage b;
        b.Load(context.Arguments[2]);
        const TTransitionPainter painter(a.Bitmap(), b.Bitmap(), effects.Effect(number));
        const int frames = TransitionFrames::Sample(painter, [&](int frame, const QImage& picture) {
            TRasterImage(picture).Save(folder + Strings::PadLeft(QString::number(frame), u'0', 3) +
                                           QStringLiteral(".jpg"),
                                       TransitionFrames::QualityFactor);
        });
        PrintLine(QStringLiteral("%1 frames in %2").arg(frames).arg(folder));
    } catch (const TImagingError& error) {
        throw TCliError{error.Text()};
    } catch (const TEffectsError& error) {
        throw TCliError{error.Text()};
    }
}

} // namespace

QList<TCommandLine::TCommand> SettingsCommands() {
    return {
        {QStringLiteral("settings"), QStringLiteral("[KEY=VALUE ...]"),
         QStringLiteral("print the playback settings as saving writes them, or set them "
                        "(keys of Settings.ini and DefaultTime) into Generator.ini and "
                        "Settings.ini"),
         ShowSettings},
        {QStringLiteral("effects"), QString(),
         QStringLiteral("list the transition effects: number, name, Effects.ini line"),
         ListEffects},
        {QStringLiteral("transition"), QStringLiteral("EFFECT A.jpg B.jpg OUTDIR"),
         QStringLiteral("write the frames a video takes from effect EFFECT between two "
                        "pictures as OUTDIR/001.jpg, 002.jpg ..."),
         Transition},
    };
}

} // namespace Lumerix
