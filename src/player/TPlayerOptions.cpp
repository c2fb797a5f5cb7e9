#include "TPlayerOptions.h"

#include <QDir>

namespace Lumerix {

std::optional<quint64> TPlayerOptions::ParseWindowId(const QString& text) {
    const QString trimmed = text.trimmed();
    bool ok = false;
    quint64 id = 0;
    if (trimmed.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        id = trimmed.mid(2).toULongLong(&ok, 16);
    else
        id = trimmed.toULongLong(&ok, 10);
    // X window ids are 29-bit numbers and never 0.
    if (!ok || id == 0 || id > 0x1FFFFFFF)
        return std::nullopt;
    return id;
}

TPlayerOptions TPlayerOptions::Parse(const QStringList& arguments, const QString& programDir,
                                     const QString& hostWindow) {
    TPlayerOptions options;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (!argument.startsWith(u'-') || argument == u"-") {
            if (options.Folder.isEmpty())
                options.Folder = argument;
            else
                options.Error = QStringLiteral("more than one folder given: %1").arg(argument);
            continue;
        }
        QString name = argument.mid(argument.startsWith(QLatin1String("--")) ? 2 : 1);
        QString value;
        bool hasValue = false;
        if (const qsizetype equals = name.indexOf(u'='); equals >= 0) {
            value = name.mid(equals + 1);
            name = name.left(equals);
            hasValue = true;
        }
        auto takeValue = [&]() -> bool {
            if (hasValue)
                return true;
            if (i + 1 >= arguments.size()) {
                options.Error = QStringLiteral("%1 needs a value").arg(argument);
                return false;
            }
            value = arguments[++i];
            return true;
        };
        if (name == u"screensaver") {
            options.Screensaver = true;
        } else if (name == u"root") {
            options.Root = true;
        } else if (name == u"window-id") {
            if (takeValue()) {
                options.WindowIdGiven = true;
                options.WindowId = ParseWindowId(value);
            }
        } else if (name == u"show") {
            if (takeValue())
                options.ShowName = value.trimmed();
        } else if (name == u"help" || name == u"h") {
            options.Help = true;
        }
    }
    if (options.Root && !options.WindowIdGiven && !hostWindow.trimmed().isEmpty())
        options.WindowId = ParseWindowId(hostWindow);
    if (options.Hosted())
        options.Screensaver = true;
    if (options.Folder.isEmpty())
        options.Folder = programDir;
    options.Folder = QDir(options.Folder).absolutePath();
    return options;
}

QString TPlayerOptions::Usage() {
    return QStringLiteral(
        "Usage: Diashow-Player [FOLDER] [--screensaver] [-root] [-window-id ID] [--show NAME]\n"
        "Shows the slideshows in FOLDER (the player's own folder by default).\n"
        "  --show NAME      play the slideshow in folder NAME at once\n"
        "  --screensaver    play every slideshow in turn, full screen; input ends it\n"
        "  -root            screensaver drawn for a screensaver host (XSCREENSAVER_WINDOW)\n"
        "  -window-id ID    screensaver drawn into the host's window ID\n");
}

} // namespace Lumerix
