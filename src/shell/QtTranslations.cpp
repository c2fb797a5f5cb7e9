#include "QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace Lumerix::QtTranslations {

QString LocaleOf(const QString& languageCode) {
    if (languageCode == u"GERMAN")
        return QStringLiteral("de");
    if (languageCode == u"FRANCE")
        return QStringLiteral("fr");
    if (languageCode == u"ITALIAN")
        return QStringLiteral("it");
    if (languageCode == u"SPAIN")
        return QStringLiteral("es");
    return {};
}

bool Install(const QString& languageCode) {
    const QString locale = LocaleOf(languageCode);
    if (locale.isEmpty() || !QCoreApplication::instance())
        return false;
    // Owned by the application, so it lives as long as the texts are shown.
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(QStringLiteral("qtbase_") + locale,
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
        !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return false;
    }
    return true;
}

} // namespace Lumerix::QtTranslations
