#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

namespace Lumerix::SaneTexts {

/// The messages of a gettext catalogue (".mo"), by their English text; the first form of a
/// plural message. Empty when `bytes` is not a catalogue; entries that point outside it are
/// skipped.
QHash<QString, QString> ReadCatalogue(const QByteArray& bytes);

/// `text` (an option title, description, group or value as a backend names it) in the
/// interface language `languageCode` ("GERMAN", "FRANCE", ...), taken from SANE's own
/// translations (the "sane-backends" catalogue under /usr/share/locale); `text` itself when
/// there is none. Read straight from the catalogue rather than through the C library, whose
/// answer would depend on the process's locale.
QString Translate(const QString& text, const QString& languageCode);

} // namespace Lumerix::SaneTexts
