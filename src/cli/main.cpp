#include "TCommandLine.h"

#include <QGuiApplication>

int main(int argc, char* argv[]) {
    // A GUI application object for the imaging classes, without needing a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    QGuiApplication::setApplicationName(QStringLiteral("lumerix"));
    QStringList arguments = QGuiApplication::arguments();
    arguments.removeFirst();
    return Lumerix::TCommandLine().Run(arguments);
}
