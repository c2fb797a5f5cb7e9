#include "PackageCommands.h"

#include "CliSupport.h"
#include "TTerminalPrompter.h"
#include "document/TSettings.h"
#include "document/TSlideshowStore.h"
#include "package/TPackageWriter.h"
#include "shell/Execute.h"
#include "shell/TRunState.h"

#include <QFileInfo>
#include <QTextStream>

namespace Lumerix {

namespace {

using namespace CliSupport;

// The window saves the settings before every package; so does the command line.
void WriteSettings(const TRunState& state) {
    QString error;
    if (!Settings::WritePlayerSettings(state, &error))
        throw TCliError{error};
}

void CdRom(TCliContext& context) {
    QStringList shows = context.Arguments;
    QString iso;
    const qsizetype option = shows.indexOf(QStringLiteral("--iso"));
    if (option >= 0) {
        if (option + 1 >= shows.size())
            throw TCliError{QStringLiteral("usage: lumerix-cli cdrom [SHOW ...] [--iso FILE]")};
        iso = shows.takeAt(option + 1);
        shows.removeAt(option);
    }
    WriteSettings(context.State);
    QString error;
    if (!PackageWriter::WriteCdRom(context.State, shows, &error))
        throw TCliError{error};
    PrintLine(context.State.CdRomDir);
    if (iso.isEmpty())
        return;
    // The disc is named after the first slideshow on it.
    QString title;
    if (!shows.isEmpty())
        title = TSlideshowStore(context.State).ReadDescription(shows.first()).Title;
    if (!PackageWriter::WriteDiscImage(context.State, context.State.CdRomDir, iso, title, &error))
        throw TCliError{error};
    PrintLine(QFileInfo(iso).absoluteFilePath());
}

void Screensaver(TCliContext& context) {
    WriteSettings(context.State);
    QString error;
    if (!PackageWriter::WriteScreensaver(context.State, context.Arguments,
                                         context.State.HomeDir + QStringLiteral(".xscreensaver"),
                                         &error))
        throw TCliError{error};
    PrintLine(context.State.ScreensaverDir);
}

void Play(TCliContext& context) {
    if (context.Arguments.size() > 1)
        throw TCliError{QStringLiteral("usage: lumerix-cli play [SHOW]")};
    const TRunState& state = context.State;
    if (!context.Arguments.isEmpty()) {
        const QString name = context.Arguments.first();
        if (!TSlideshowStore(state).IsShow(name))
            throw TCliError{
                QStringLiteral("no slideshow \"%1\" in %2").arg(name, state.WorkspaceDir)};
    }
    const QString player = state.WorkspaceDir + state.PlayerName();
    if (!QFileInfo(player).isExecutable())
        throw TCliError{QStringLiteral("%1: no player in the workspace").arg(player)};
    WriteSettings(state);
    QString error;
    if (!PackageWriter::WriteWebPlayer(state, state.WorkspaceDir, &error))
        throw TCliError{error};
    QStringList arguments;
    if (!context.Arguments.isEmpty())
        arguments = {QStringLiteral("--show"), context.Arguments.first()};
    const int code = Execute::RunAndWait(state.WorkspaceDir, player, arguments, &context.Prompter);
    if (code != 0)
        throw TCliError{QStringLiteral("the player ended with code %1").arg(code)};
}

} // namespace

QList<TCommandLine::TCommand> PackageCommands() {
    return {
        {QStringLiteral("cdrom"), QStringLiteral("[SHOW ...] [--iso FILE]"),
         QStringLiteral("rebuild the CD-ROM folder with the player and these slideshows; prints "
                        "the folder; --iso also writes a disc image of it"),
         CdRom},
        {QStringLiteral("screensaver"), QStringLiteral("[SHOW ...]"),
         QStringLiteral("rebuild the screensaver folder with these slideshows and register it "
                        "with XScreenSaver; prints the folder"),
         Screensaver},
        {QStringLiteral("play"), QStringLiteral("[SHOW]"),
         QStringLiteral("start the workspace player (on one slideshow) and wait for it"), Play},
    };
}

} // namespace Lumerix
