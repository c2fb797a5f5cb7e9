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
    WriteSettings(context.State);
    QString error;
    if (!PackageWriter::WriteCdRom(context.State, context.Arguments, &error))
        throw TCliError{error};
    PrintLine(context.State.CdRomDir);
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
        {QStringLiteral("cdrom"), QStringLiteral("[SHOW ...]"),
         QStringLiteral("rebuild the CD-ROM folder with the player and these slideshows; prints "
                        "the folder"),
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
