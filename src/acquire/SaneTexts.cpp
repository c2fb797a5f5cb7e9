#include "SaneTexts.h"

#include "shell/QtTranslations.h"

#include <QFile>
#include <QtEndian>

#include <map>
#include <mutex>

namespace Lumerix::SaneTexts {

namespace {

constexpr quint32 Magic = 0x950412de;

} // namespace

QHash<QString, QString> ReadCatalogue(const QByteArray& bytes) {
    QHash<QString, QString> messages;
    const auto* data = reinterpret_cast<const uchar*>(bytes.constData());
    const quint64 size = quint64(bytes.size());
    if (size < 20)
        return messages;
    // The writer's byte order shows in the magic number.
    const bool little = qFromLittleEndian<quint32>(data) == Magic;
    if (!little && qFromBigEndian<quint32>(data) != Magic)
        return messages;
    auto word = [&](quint64 at) -> quint64 {
        if (at + 4 > size)
            return ~quint64(0);
        return little ? qFromLittleEndian<quint32>(data + at) : qFromBigEndian<quint32>(data + at);
    };
    // A string of the table at `table`, entry `index`: its length and offset; null outside.
    auto text = [&](quint64 table, quint64 index, QByteArray& out) {
        const quint64 length = word(table + 8 * index);
        const quint64 offset = word(table + 8 * index + 4);
        if (length == ~quint64(0) || offset == ~quint64(0) || offset + length > size)
            return false;
        out = QByteArray(bytes.constData() + offset, qsizetype(length));
        return true;
    };
    const quint64 count = word(8);
    const quint64 originals = word(12);
    const quint64 translations = word(16);
    if (count > size / 8)
        return messages;
    for (quint64 i = 0; i < count; ++i) {
        QByteArray original;
        QByteArray translation;
        if (!text(originals, i, original) || !text(translations, i, translation))
            continue;
        // The header has an empty text; messages with a context are not the backends' kind.
        if (original.isEmpty() || original.contains('\x04'))
            continue;
        const qsizetype end = translation.indexOf('\0');
        if (end >= 0)
            translation.truncate(end);
        if (translation.isEmpty())
            continue;
        const qsizetype singular = original.indexOf('\0');
        if (singular >= 0)
            original.truncate(singular);
        messages.insert(QString::fromUtf8(original), QString::fromUtf8(translation));
    }
    return messages;
}

QString Translate(const QString& text, const QString& languageCode) {
    const QString locale = QtTranslations::LocaleOf(languageCode);
    if (locale.isEmpty() || text.isEmpty())
        return text;
    // Each catalogue is read once; windows of several threads may ask.
    static std::mutex lock;
    static std::map<QString, QHash<QString, QString>> catalogues;
    const std::lock_guard guard(lock);
    auto found = catalogues.find(locale);
    if (found == catalogues.end()) {
        QFile file(QStringLiteral("/usr/share/locale/%1/LC_MESSAGES/sane-backends.mo").arg(locale));
        const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        found = catalogues.emplace(locale, ReadCatalogue(bytes)).first;
    }
    return found->second.value(text, text);
}

} // namespace Lumerix::SaneTexts
