#pragma once

#include <QString>

namespace Lumerix {

/// The player's texts: section "PLAYER" of `Language.ini` beside it, which the program
/// rewrites at every start in its language. English texts stand in for missing ones.
struct TPlayerTexts {
    QString QuitHint = QStringLiteral("Press Esc to end the slideshow."); ///< "100001"
    QString StepHint =
        QStringLiteral("Use the arrow keys to go to the next or previous picture."); ///< "100002"
    QString EndText = QStringLiteral("End of the slideshow");                        ///< "100003"
    QString NoShowText = QStringLiteral("No slideshow was found.");                  ///< "100004"

    static TPlayerTexts Load(const QString& languageIni);
};

} // namespace Lumerix
