#include "TCommandLine.h"

#include <QCoreApplication>

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("lumerix"));
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    return Lumerix::TCommandLine().Run(arguments);
}
