#pragma once

#include <QString>

namespace Lumerix::QtTranslations {

/// The locale of translation catalogues (Qt's own, SANE's) for a language code ("GERMAN" →
/// "de"); empty for English, which both speak untranslated.
QString LocaleOf(const QString& languageCode);

/// Installs Qt's own texts (Yes/No/Cancel of the message boxes, the file, colour and print
/// dialogs) in the interface language on the running application: "qtbase_" + locale from
/// Qt's translations folder. False when the language needs none or the file is missing; the
/// texts then stay English.
bool Install(const QString& languageCode);

} // namespace Lumerix::QtTranslations
