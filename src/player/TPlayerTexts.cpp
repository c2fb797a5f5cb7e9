#include "TPlayerTexts.h"

#include "PlayerFiles.h"
#include "shell/TLanguage.h"

namespace Lumerix {

TPlayerTexts TPlayerTexts::Load(const QString& languageIni) {
    const TIniFile ini = PlayerFiles::ReadIni(languageIni);
    TPlayerTexts texts;
    const std::pair<const char*, QString*> keys[] = {{"100001", &texts.QuitHint},
                                                     {"100002", &texts.StepHint},
                                                     {"100003", &texts.EndText},
                                                     {"100004", &texts.NoShowText}};
    for (const auto& [key, text] : keys) {
        const QString value =
            ini.ReadString(QStringLiteral("PLAYER"), QString::fromLatin1(key), QString())
                .simplified();
        if (!value.isEmpty())
            *text = TLanguage::SubstituteProductName(value);
    }
    return texts;
}

} // namespace Lumerix
