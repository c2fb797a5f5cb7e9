#pragma once

#include <QString>
#include <QStringList>

namespace Lumerix {
class TPrompter;
class TProgress;
} // namespace Lumerix

/// Starting programs, opening documents and the file operations the shell offers.
namespace Lumerix::Execute {

/// Opens a web address or file address in the user's browser.
void OpenInBrowser(const QString& address);

/// Opens a document with the desktop's handler, else in the browser. Always true.
bool OpenDocument(const QString& path);

/// Deletes the files matching `mask` (a folder followed by a wildcard pattern such as
/// "/tmp/x/UNDO*.jpg"; letter case ignored). Folders that match stay. False when nothing matched.
bool DeleteFiles(const QString& mask);

enum class TFileOp { Copy, Move, Delete, Rename };

/// One file operation on `source` (a file, a folder or a folder with a wildcard pattern) into
/// `target`. Existing targets are overwritten unless `renameOnCollision`, which then picks
/// "name (2).ext" and so on. False when the source's folder is missing or anything failed.
bool ShellFileOp(TFileOp operation, bool renameOnCollision, const QString& target,
                 const QString& source);

/// Copies the files matching `sourceMask` into `targetFolder`, overwriting without asking.
bool CopyFiles(const QString& sourceMask, const QString& targetFolder);

/// Copies one file over `target`, keeping its permissions; false on failure.
bool CopyFile(const QString& source, const QString& target);

/// Copies one file over `target` through a file beside it that replaces `target` only when
/// complete, keeping the source's permissions. A short write is a failure: false then, with
/// `error` naming the file and the cause, and `target` as it was.
bool CopyFileAtomic(const QString& source, const QString& target, QString* error = nullptr);

/// What becomes of a started program's error output: passed on to ours, or dropped (for
/// programs that draw progress there).
enum class TErrorOutput { Forward, Discard };

/// Starts `program` with `arguments` in `folder` and waits for it while the caller's event
/// loop keeps running. Returns the exit code, or -1 when the program could not be started
/// ("Error starting " and the program is shown through `prompter`) or crashed. A cancel
/// through `progress` kills the program and returns -1. Standard output is always dropped.
int RunAndWait(const QString& folder, const QString& program, const QStringList& arguments,
               TPrompter* prompter = nullptr, TProgress* progress = nullptr,
               TErrorOutput errorOutput = TErrorOutput::Forward);

} // namespace Lumerix::Execute
