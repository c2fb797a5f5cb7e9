#pragma once

#include "TIntro.h"
#include "TPlayerLibrary.h"
#include "TPlayerOptions.h"
#include "TPlayerSettings.h"
#include "TPlayerTexts.h"
#include "imaging/TTransition.h"

#include <QString>

#include <optional>

namespace Lumerix {

/// Everything a player run needs, read from its folder and command line: the files beside
/// the player (`Settings.ini`, `Language.ini`, `Effects.ini`, `play.ply`, `intro.ply`), the
/// slideshows and how to play them.
struct TPlayerSetup {
    QString Folder;
    TPlayerSettings Settings;
    TPlayerTexts Texts;
    TIntro Intro;
    TPlayerLibrary Library;
    std::optional<TEffectsFile> Effects; ///< none when `Effects.ini` cannot be read

    QString ShowName;         ///< play this slideshow directly (folder name)
    bool Screensaver = false; ///< every slideshow in turn, full screen, timed, no music
    bool Hosted = false;      ///< a screensaver host owns the window and ends the player
    bool Music = true;
    /// Stretches every wait (seconds per picture, texts, intro); tests make it short.
    double TimeScale = 1.0;

    static TPlayerSetup Load(const TPlayerOptions& options);
    static TPlayerSetup Load(const QString& folder);
};

} // namespace Lumerix
