#pragma once

#include <QString>

namespace Lumerix {

/// `intro.ply`: a card shown once when the player starts, before the choice of slideshows.
/// Section "INTRO": "Enabled" ("TRUE" / "FALSE"), "Seconds" (how long it stays, 1 .. 60) and
/// "Picture" (a JPEG file beside `intro.ply`; empty gives a plain card with the titles of the
/// slideshows). A missing file shows no intro.
struct TIntro {
    bool Enabled = false;
    int Seconds = 3;
    QString PicturePath; ///< full path, empty for the titles card

    static constexpr int MaxSeconds = 60;

    static TIntro Load(const QString& path);
};

} // namespace Lumerix
