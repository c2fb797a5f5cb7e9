#pragma once

#include "shell/TRunState.h"

#include <QColor>
#include <QString>

namespace Lumerix {

/// How the player shows every slideshow: section "SETTINGS" of `Settings.ini` beside it.
/// A missing file or key, and a value that cannot be read or lies out of range, give the
/// value the kit ships.
struct TPlayerSettings {
    bool StopAtEnd = false;         ///< "StopDiashowAtEnd": end after the last picture
    bool Fullscreen = true;         ///< "Fullscreen"
    bool Manual = false;            ///< "Manuell": step with the keys, no timer
    bool PictureTextVisible = true; ///< "PictureTextVisible": the caption under the picture
    bool FileNameVisible = false;   ///< "FileNameVisible"
    qint64 BackgroundColor = 0;     ///< "BKGColor", 0x00BBGGRR
    qint64 TextColor = 0xFFFFFF;    ///< "TextColor", 0x00BBGGRR
    TEffectMode EffectMode = TEffectMode::Off; ///< "EffectMode": "OFF", "ON" or "RANDOM"
    int Effect = 1;                            ///< "Effect": line of `Effects.ini`, 1 .. 127
    int TextOffset = 10; ///< "TextOffset": pixels from the bottom edge, 0 .. 750

    static constexpr int MaxEffect = 127;
    static constexpr int MaxTextOffset = 750;

    QColor Background() const;
    QColor Foreground() const;

    static TPlayerSettings Load(const QString& path);
};

} // namespace Lumerix
