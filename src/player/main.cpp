#include "player/TPlayerOptions.h"
#include "player/TPlayerSetup.h"
#include "player/ui/HostWindow.h"
#include "player/ui/TPlayerWindow.h"
#include "shell/Jobs.h"

#include <QApplication>
#include <QScreen>
#include <QTimer>

#include <cstdio>

using namespace Lumerix;

// The slideshow player: shows the slideshows in its folder (or the one given).
int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    const Lumerix::Jobs::TDrainOnExit drainJobs;
    QApplication::setApplicationName(QStringLiteral("Lumerix"));

    const TPlayerOptions options =
        TPlayerOptions::Parse(QApplication::arguments().mid(1), QApplication::applicationDirPath(),
                              qEnvironmentVariable("XSCREENSAVER_WINDOW"));
    if (options.Help) {
        std::fputs(qPrintable(TPlayerOptions::Usage()), stdout);
        return 0;
    }
    if (!options.Error.isEmpty()) {
        std::fprintf(stderr, "Diashow-Player: %s\n%s", qPrintable(options.Error),
                     qPrintable(TPlayerOptions::Usage()));
        return 2;
    }

    TPlayerWindow window(TPlayerSetup::Load(options));
    const bool hosted =
        options.Hosted() && options.WindowId && ShowInHostWindow(window, *options.WindowId);
    if (!hosted) {
        if (window.Setup().Settings.Fullscreen) {
            // Without a window manager nobody else makes a full-screen window fill the screen.
            window.setGeometry(window.screen()->geometry());
            window.showFullScreen();
        } else {
            const QRect screen = window.screen()->availableGeometry();
            window.resize(screen.size() * 4 / 5);
            window.move(screen.center() - window.rect().center());
            window.show();
        }
    }
    QTimer::singleShot(0, &window, &TPlayerWindow::Start);
    return QApplication::exec();
}
