#include "Execute.h"

#include "TProgress.h"
#include "TPrompter.h"
#include "TextCodec.h"

#include <QDesktopServices>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <QTimer>
#include <QUrl>

#include <filesystem>

namespace fs = std::filesystem;

namespace Lumerix::Execute {

namespace {

struct TMask {
    QString Folder;
    QString Pattern; // empty: the source is the folder entry itself
};

// Splits "dir/pattern" into its folder and wildcard pattern; a path without wildcards names
// a single entry.
TMask SplitMask(const QString& mask) {
    const QFileInfo info(mask);
    const QString name = info.fileName();
    if (name.contains(u'*') || name.contains(u'?'))
        return {info.absolutePath(), name};
    return {info.absolutePath(), QString()};
}

QStringList MatchingEntries(const TMask& mask, const QString& source, QDir::Filters filters) {
    if (mask.Pattern.isEmpty())
        return QFileInfo::exists(source) ? QStringList{QFileInfo(source).absoluteFilePath()}
                                         : QStringList{};
    QStringList entries;
    const QDir folder(mask.Folder);
    for (const QString& name : folder.entryList({mask.Pattern}, filters | QDir::NoDotAndDotDot))
        entries.append(folder.filePath(name));
    return entries;
}

QString FreeName(const QString& target) {
    if (!QFileInfo::exists(target))
        return target;
    const QFileInfo info(target);
    const QString base = info.completeBaseName();
    const QString suffix = info.suffix().isEmpty() ? QString() : u'.' + info.suffix();
    for (int n = 2;; ++n) {
        const QString candidate =
            info.dir().filePath(QStringLiteral("%1 (%2)%3").arg(base).arg(n).arg(suffix));
        if (!QFileInfo::exists(candidate))
            return candidate;
    }
}

bool CopyEntry(const QString& source, const QString& target, bool renameOnCollision) {
    std::error_code error;
    const fs::path from = source.toStdString();
    const fs::path to = (renameOnCollision ? FreeName(target) : target).toStdString();
    if (fs::is_directory(from, error)) {
        fs::copy(from, to, fs::copy_options::recursive | fs::copy_options::overwrite_existing,
                 error);
    } else {
        fs::copy_file(from, to, fs::copy_options::overwrite_existing, error);
    }
    return !error;
}

bool MoveEntry(const QString& source, const QString& target, bool renameOnCollision) {
    std::error_code error;
    const QString finalTarget = renameOnCollision ? FreeName(target) : target;
    if (!renameOnCollision && QFileInfo::exists(finalTarget) && !QFileInfo(finalTarget).isDir())
        fs::remove(finalTarget.toStdString(), error);
    fs::rename(source.toStdString(), finalTarget.toStdString(), error);
    if (!error)
        return true;
    // Across file systems a rename fails; copy and remove instead.
    if (!CopyEntry(source, finalTarget, false))
        return false;
    fs::remove_all(source.toStdString(), error);
    return !error;
}

} // namespace

void OpenInBrowser(const QString& address) {
    QUrl url = QUrl::fromUserInput(address);
    if (!url.isValid())
        url = QUrl(address);
    QDesktopServices::openUrl(url);
}

bool OpenDocument(const QString& path) {
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(path)))
        OpenInBrowser(QStringLiteral("file://") + QFileInfo(path).absoluteFilePath());
    return true;
}

bool DeleteFiles(const QString& mask) {
    const TMask split = SplitMask(mask);
    const QStringList entries =
        MatchingEntries(split, mask, QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& entry : entries)
        QFile::remove(entry);
    return !entries.isEmpty();
}

bool ShellFileOp(TFileOp operation, bool renameOnCollision, const QString& target,
                 const QString& source) {
    const TMask split = SplitMask(source);
    if (!QFileInfo(split.Folder).isDir())
        return false;
    const QStringList entries =
        MatchingEntries(split, source, QDir::AllEntries | QDir::Hidden | QDir::System);
    if (entries.isEmpty())
        return false;

    bool ok = true;
    const bool targetIsFolder = QFileInfo(target).isDir() || !split.Pattern.isEmpty();
    if (targetIsFolder && operation != TFileOp::Delete && !QDir().mkpath(target))
        return false;
    for (const QString& entry : entries) {
        const QString destination =
            targetIsFolder ? QDir(target).filePath(QFileInfo(entry).fileName()) : target;
        std::error_code error;
        switch (operation) {
        case TFileOp::Copy:
            ok = CopyEntry(entry, destination, renameOnCollision) && ok;
            break;
        case TFileOp::Move:
        case TFileOp::Rename:
            ok = MoveEntry(entry, destination, renameOnCollision) && ok;
            break;
        case TFileOp::Delete:
            fs::remove_all(entry.toStdString(), error);
            ok = !error && ok;
            break;
        }
    }
    return ok;
}

bool CopyFiles(const QString& sourceMask, const QString& targetFolder) {
    return ShellFileOp(TFileOp::Copy, false, targetFolder, sourceMask);
}

bool CopyFile(const QString& source, const QString& target) {
    std::error_code error;
    fs::copy_file(source.toStdString(), target.toStdString(), fs::copy_options::overwrite_existing,
                  error);
    return !error;
}

bool CopyFileAtomic(const QString& source, const QString& target, QString* error) {
    const auto fail = [error](const QString& file, const QString& cause) {
        if (error)
            *error = file + QStringLiteral(": ") + cause;
        return false;
    };
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return fail(source, in.errorString());
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly))
        return fail(target, out.errorString());
    for (;;) {
        const QByteArray chunk = in.read(1 << 20);
        if (chunk.isEmpty())
            break;
        if (out.write(chunk) != chunk.size()) {
            const QString cause = TextCodec::WriteErrorText(out); // before the cancel
            out.cancelWriting();
            return fail(target, cause);
        }
    }
    if (in.error() != QFileDevice::NoError) {
        out.cancelWriting();
        return fail(source, in.errorString());
    }
    QString cause;
    if (!TextCodec::Commit(out, &cause))
        return fail(target, cause);
    QFile::setPermissions(target, in.permissions());
    return true;
}

int RunAndWait(const QString& folder, const QString& program, const QStringList& arguments,
               TPrompter* prompter, TProgress* progress, TErrorOutput errorOutput) {
    QProcess process;
    process.setWorkingDirectory(folder);
    process.setProgram(program);
    process.setArguments(arguments);
    if (errorOutput == TErrorOutput::Forward)
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    else
        process.setStandardErrorFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());

    QEventLoop loop;
    bool failedToStart = false;
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(&process, &QProcess::errorOccurred, &loop, [&](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart) {
            failedToStart = true;
            loop.quit();
        }
    });
    QTimer cancelPoll;
    if (progress) {
        QObject::connect(&cancelPoll, &QTimer::timeout, &loop, [&] {
            if (progress->Cancelled()) {
                process.kill();
            }
        });
        cancelPoll.start(50);
    }

    process.start();
    if (process.state() != QProcess::NotRunning || !failedToStart)
        loop.exec();
    if (failedToStart) {
        if (prompter)
            prompter->Error(QStringLiteral("Error starting ") + program);
        return -1;
    }
    if (process.exitStatus() != QProcess::NormalExit)
        return -1;
    return process.exitCode();
}

} // namespace Lumerix::Execute
