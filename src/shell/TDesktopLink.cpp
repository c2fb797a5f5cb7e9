#include "TDesktopLink.h"

#include "TextCodec.h"

#include <QFile>

namespace Lumerix::TDesktopLink {

namespace {

// Quotes an argument of the Exec key as the desktop entry format requires.
QString QuotedExec(QString argument) {
    argument.replace(u'\\', QStringLiteral("\\\\"));
    argument.replace(u'"', QStringLiteral("\\\""));
    argument.replace(u'`', QStringLiteral("\\`"));
    argument.replace(u'$', QStringLiteral("\\$"));
    argument.replace(u'%', QStringLiteral("%%"));
    return u'"' + argument + u'"';
}

// Values may not hold line breaks; other characters pass as they are.
QString Value(QString text) {
    text.replace(u'\n', u' ');
    text.replace(u'\r', u' ');
    return text;
}

} // namespace

bool Create(const QString& linkPath, const QString& target, const QString& description,
            const QString& workingFolder, const QString& icon) {
    QString entry = QStringLiteral("[Desktop Entry]\n"
                                   "Type=Application\n"
                                   "Version=1.0\n"
                                   "Name=%1\n"
                                   "Exec=%2\n"
                                   "Path=%3\n"
                                   "Terminal=false\n")
                        .arg(Value(description), Value(QuotedExec(target)), Value(workingFolder));
    if (!icon.isEmpty())
        entry += QStringLiteral("Icon=") + Value(icon) + u'\n';
    if (!TextCodec::WriteFileAtomic(linkPath, entry.toUtf8()))
        return false;
    return QFile::setPermissions(linkPath, QFile::permissions(linkPath) | QFile::ExeOwner |
                                               QFile::ExeGroup | QFile::ExeOther);
}

} // namespace Lumerix::TDesktopLink
