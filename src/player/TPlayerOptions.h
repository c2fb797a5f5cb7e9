#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace Lumerix {

/// The player's command line:
/// `Diashow-Player [FOLDER] [--screensaver] [-root] [-window-id ID] [--show NAME]`.
/// Options take one or two leading dashes; a value may also follow "=". Options the player
/// does not know are ignored, since screensaver hosts pass options of their own.
struct TPlayerOptions {
    QString Folder;   ///< the slideshows' folder; the program's own folder by default
    QString ShowName; ///< `--show NAME`: play this slideshow, no start screen
    bool Screensaver = false;
    bool Root = false; ///< `-root`: draw on the root (or the host's virtual root) window
    bool WindowIdGiven = false;
    std::optional<quint64> WindowId; ///< `-window-id ID` when ID is a number (hex with 0x)
    bool Help = false;
    QString Error; ///< set when the command line cannot be used

    /// True when a screensaver host runs the player in its window: the host ends it, so
    /// input does not.
    bool Hosted() const { return Root || WindowIdGiven; }

    /// Parses `arguments` (without the program name). `programDir` is the default folder;
    /// `hostWindow` is the value of `XSCREENSAVER_WINDOW`, taken when `-root` names no window.
    static TPlayerOptions Parse(const QStringList& arguments, const QString& programDir,
                                const QString& hostWindow = {});

    /// A window id as X screensaver hosts pass it: "0x1a00003" or decimal.
    static std::optional<quint64> ParseWindowId(const QString& text);

    static QString Usage();
};

} // namespace Lumerix
