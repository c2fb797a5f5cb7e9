#include "CliSupport.h"

#include "TTerminalPrompter.h"
#include "document/TSlideshow.h"
#include "document/TSlideshowStore.h"
#include "shell/TRunState.h"

#include <QFileInfo>
#include <QTextStream>

namespace Lumerix::CliSupport {

void PrintLine(const QString& line) {
    QTextStream(stdout) << line << '\n';
}

void NeedArguments(const TCliContext& context, qsizetype least, qsizetype most, const char* usage) {
    const qsizetype count = context.Arguments.size();
    if (count < least || (most >= 0 && count > most))
        throw TCliError{QStringLiteral("usage: lumerix-cli %1").arg(QLatin1String(usage))};
}

void OpenNamed(TCliContext& context, TSlideshow& show) {
    const QString name = context.Arguments.value(0);
    const TSlideshowStore store = show.Store();
    if (!store.IsShow(name))
        throw TCliError{
            QStringLiteral("no slideshow \"%1\" in %2").arg(name, context.State.WorkspaceDir)};
    TTerminalProgress progress;
    show.OpenShow(name, progress);
}

int PictureIndex(const TSlideshow& show, const QString& text) {
    bool ok = false;
    const int number = text.toInt(&ok);
    if (!ok || number < 1 || number > show.Pictures().Count())
        throw TCliError{QStringLiteral("no picture number \"%1\" (the slideshow has %2)")
                            .arg(text)
                            .arg(show.Pictures().Count())};
    return number - 1;
}

void CheckFiles(const QStringList& files) {
    for (const QString& file : files) {
        if (!QFileInfo(file).isFile())
            throw TCliError{QStringLiteral("%1: file not found").arg(file)};
    }
}

} // namespace Lumerix::CliSupport
