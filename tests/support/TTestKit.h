#pragma once

#include "QtPrinters.h"
#include "shell/TRunState.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

namespace Lumerix {

/// A throw-away user for one test: home, desktop and documents folders and an empty program
/// folder under a temporary root, with the build's staged kit.
class TTestKit {
public:
    TTestKit();

    const QString& Root() const { return RootPath; }
    /// Folder locations of the test user (desktop and documents created).
    const TFolderLocations& Locations() const { return Folders; }

    /// A run state as start-up makes it, for `language`.
    std::unique_ptr<TRunState> State(const QString& language = QStringLiteral("GERMAN")) const;

    /// What a run of the command-line tool gave.
    struct TCliRun {
        int ExitCode;
        QString Out;
        QString Err;
    };
    /// Runs the real lumerix-cli as this kit's user (home and runtime folders inside the root;
    /// the program and kit folders as an installed program finds them), stdin closed;
    /// `extra` adds NAME=VALUE entries to the environment.
    TCliRun RunCli(const QStringList& arguments, const QStringList& extra = {}) const;

    static void WriteFile(const QString& path, const QByteArray& bytes);
    static QByteArray ReadFile(const QString& path);

private:
    QTemporaryDir Temporary;
    QString RootPath;
    TFolderLocations Folders;
};

} // namespace Lumerix
