#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace Lumerix {

class TRunState;
class TTerminalPrompter;

/// What a command gets: the prepared run state, the terminal and its own arguments.
struct TCliContext {
    TRunState& State;
    TTerminalPrompter& Prompter;
    QStringList Arguments;
};

/// A failed command: the one-line message printed before the tool exits non-zero.
struct TCliError {
    QString Message;
    /// 1: the command failed; 2: it was used wrongly.
    int ExitCode = 1;
};

/// The commands of lumerix-cli. Global options come before the command:
/// `--language CODE`, `--base DIR`, `--yes`, `--help`.
class TCommandLine {
public:
    struct TCommand {
        QString Name;
        QString Usage;                         ///< arguments, for the help text
        QString Description;                   ///< one line
        std::function<void(TCliContext&)> Run; ///< throws TCliError
    };

    TCommandLine();

    /// Runs the tool; returns the process exit code (0 done, 1 failed, 2 wrong use).
    int Run(const QStringList& arguments);

    QString HelpText() const;

    /// Set when this program holds only part of the table: runs the whole command line in the
    /// program that holds all of it when it asks for the help text, names no command or one
    /// not held here. Returns only when that program could not be started.
    std::function<int()> Elsewhere;

private:
    QList<TCommand> Commands;
};

} // namespace Lumerix
