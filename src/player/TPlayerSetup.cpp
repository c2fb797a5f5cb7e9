#include "TPlayerSetup.h"

#include "PlayerFiles.h"

#include <QDir>

namespace Lumerix {

TPlayerSetup TPlayerSetup::Load(const QString& folder) {
    TPlayerSetup setup;
    const QDir dir(folder);
    setup.Folder = dir.absolutePath();
    setup.Settings = TPlayerSettings::Load(dir.filePath(QStringLiteral("Settings.ini")));
    setup.Texts = TPlayerTexts::Load(dir.filePath(QStringLiteral("Language.ini")));
    setup.Intro = TIntro::Load(dir.filePath(QStringLiteral("intro.ply")));
    setup.Library = TPlayerLibrary::Load(setup.Folder);
    const QString effects = dir.filePath(QStringLiteral("Effects.ini"));
    if (PlayerFiles::IsFileWithin(effects, PlayerFiles::MaxIniBytes)) {
        try {
            setup.Effects = TEffectsFile::Load(effects);
        } catch (const TEffectsError&) {
            setup.Effects.reset();
        }
    }
    return setup;
}

TPlayerSetup TPlayerSetup::Load(const TPlayerOptions& options) {
    TPlayerSetup setup = Load(options.Folder);
    setup.ShowName = options.ShowName;
    setup.Screensaver = options.Screensaver;
    setup.Hosted = options.Hosted();
    if (setup.Screensaver) {
        setup.Settings.Fullscreen = true;
        setup.Music = false;
    }
    return setup;
}

} // namespace Lumerix
