#include "TWorkspace.h"

#include "Execute.h"
#include "Strings.h"
#include "TDesktopLink.h"
#include "TIniFile.h"
#include "TPreferences.h"
#include "TRunState.h"
#include "TextCodec.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>
#include <QTemporaryFile>

#include <filesystem>
#include <system_error>

namespace Lumerix::TWorkspace {

namespace {

// Creates `folder` and its parents; the error names the folder and the system's cause.
bool MakeFolder(const QString& folder, QString& error) {
    std::error_code code;
    std::filesystem::create_directories(folder.toStdString(), code);
    if (!code && QFileInfo(folder).isDir())
        return true;
    const QString cause =
        code ? QString::fromStdString(code.message()) : QStringLiteral("not a folder");
    error = QStringLiteral("The folder %1 cannot be created: %2").arg(folder, cause);
    return false;
}

// True when `target` holds the bytes and the mode of `source`.
bool SameFile(const QString& source, const QString& target) {
    std::error_code code;
    const std::filesystem::path from = source.toStdString();
    const std::filesystem::path to = target.toStdString();
    if (!std::filesystem::is_regular_file(to, code) ||
        std::filesystem::file_size(from, code) != std::filesystem::file_size(to, code) || code ||
        std::filesystem::status(from, code).permissions() !=
            std::filesystem::status(to, code).permissions())
        return false;
    QFile a(source), b(target);
    if (!a.open(QIODevice::ReadOnly) || !b.open(QIODevice::ReadOnly))
        return false;
    constexpr qint64 Block = 256 * 1024;
    while (!a.atEnd()) {
        const QByteArray left = a.read(Block);
        if (left.isEmpty() || left != b.read(Block))
            return false;
    }
    return b.atEnd();
}

// Copies a single kit file when it exists; failures are not reported. The copy is made beside
// the target and renamed over it, so a run killed half-way never leaves a torn `Settings.ini`
// or player: the target is the old file or the whole new one.
void CopyIfPresent(const QString& source, const QString& target) {
    if (!QFileInfo(source).isFile())
        return;
    // The refresh runs at every start: a file that already is the kit's stays untouched.
    if (SameFile(source, target))
        return;
    QTemporaryFile partial(target + QStringLiteral(".XXXXXX"));
    if (!partial.open()) {
        Execute::CopyFile(source, target);
        return;
    }
    partial.close();
    const std::filesystem::path from = source.toStdString();
    const std::filesystem::path copy = partial.fileName().toStdString();
    std::error_code code;
    if (!Execute::CopyFile(source, partial.fileName()))
        return;
    // The player must stay executable: the copy gets the kit file's mode, not the temporary's.
    std::filesystem::permissions(copy, std::filesystem::status(from, code).permissions(), code);
    std::filesystem::rename(copy, target.toStdString(), code);
    if (!code)
        partial.setAutoRemove(false);
}

void WritePlayerLanguage(const TRunState& state) {
    TIniFile playerIni(state.WorkspaceDir + QStringLiteral("Language.ini"));
    QList<std::pair<QString, QString>> values = {
        {QStringLiteral("Language"), state.Language().Code()}};
    for (const int number : PlayerTextNumbers)
        values.append({QString::number(number), state.Text(number)});
    playerIni.WriteStrings(QStringLiteral("PLAYER"), values);
}

void PlaceDesktopLauncher(const TRunState& state) {
    if (state.DesktopDir.isEmpty() || !QFileInfo(state.DesktopDir).isDir())
        return;
    const QString player = state.PlayerName();
    const QString icon = state.KitFile(QStringLiteral("icons/lumerix-256.png"));
    TDesktopLink::Create(state.DesktopDir + player + QStringLiteral(".desktop"),
                         state.WorkspaceDir + player, player,
                         Strings::ExtractFileDir(state.WorkspaceDir + player),
                         QFileInfo::exists(icon) ? icon : QString());
    // An older kit put the player itself on the desktop.
    QFile::remove(state.DesktopDir + QStringLiteral("Diashow-Player"));
}

} // namespace

int CountEffects(const TRunState& state) {
    return int(TextCodec::ReadLines(state.KitFile(QStringLiteral("Effects.ini"))).size());
}

TPrepareResult Prepare(TRunState& state) {
    TPrepareResult result;
    const QString kit = state.KitFile(QStringLiteral("diashow/"));
    state.EffectCount = CountEffects(state);

    for (const QString& folder :
         {state.ProgramDir, state.ProgramFile(QStringLiteral("thumbs")), state.VideoDir,
          state.EncoderDir, state.ProgramFile(QStringLiteral("gallery"))}) {
        if (!MakeFolder(folder, result.Error))
            return result;
    }

    if (!QFileInfo::exists(state.WorkspaceDir)) {
        for (const QString& folder :
             {state.WorkspaceDir, state.WorkspaceDir + QStringLiteral("del"),
              state.WorkspaceDir + QStringLiteral("Diashow_0001"),
              state.WorkspaceDir + QStringLiteral("Diashow_0002")}) {
            if (!MakeFolder(folder, result.Error))
                return result;
        }
        const QString music = QStringLiteral("Bumble Bee - KAVORA.mp3");
        for (const QString& sample :
             {QStringLiteral("Diashow_0001"), QStringLiteral("Diashow_0002")}) {
            Execute::CopyFiles(kit + sample + QStringLiteral("/*"), state.WorkspaceDir + sample);
            CopyIfPresent(state.KitFile(music), state.WorkspaceDir + sample + u'/' + music);
        }
        result.FirstRun = true;
    } else if (!QFileInfo(state.WorkspaceDir).isDir()) {
        result.Error =
            QStringLiteral("The folder %1 cannot be created: a file of that name is in the way")
                .arg(state.WorkspaceDir);
        return result;
    }

    // The kit is refreshed at every start: what differs from it is overwritten.
    if (!MakeFolder(state.WorkspaceDir + QStringLiteral("del"), result.Error))
        return result;
    Execute::CopyFiles(kit + QStringLiteral("del/*"), state.WorkspaceDir + QStringLiteral("del"));
    Execute::CopyFiles(state.KitFile(QStringLiteral("encoder/*")), state.EncoderDir);
    PlaceDesktopLauncher(state);
    CopyIfPresent(kit + state.Language().Pick(QStringLiteral("Autorun.inf"),
                                              QStringLiteral("Slideshow-Autorun.inf")),
                  state.WorkspaceDir + QStringLiteral("Autorun.inf"));
    CopyIfPresent(kit + QStringLiteral("Diashow-Player"), state.WorkspaceDir + state.PlayerName());
    for (const QString& name :
         {QStringLiteral("play.ply"), QStringLiteral("intro.ply"), QStringLiteral("autorun")})
        CopyIfPresent(kit + name, state.WorkspaceDir + name);
    CopyIfPresent(state.KitFile(QStringLiteral("Effects.ini")),
                  state.WorkspaceDir + QStringLiteral("Effects.ini"));

    // The shipped file with the user's choices over it, made in one write, and in none at a
    // start that changes nothing: a synced write is the slowest part of a start.
    TIniFile settings(state.WorkspaceDir + QStringLiteral("Settings.ini"));
    if (!settings.RewriteFrom(kit + QStringLiteral("Settings.ini"), TPreferences::Section,
                              TPreferences::PlayerValues(state))) {
        result.Error = settings.LastError();
        return result;
    }

    WritePlayerLanguage(state);
    result.Ok = true;
    return result;
}

bool CloseDown(TRunState& state, QString* error) {
    Execute::DeleteFiles(state.ProgramFile(QStringLiteral("UNDO*.jpg")));
    state.UndoCount = 0;
    const bool saved = TPreferences::Save(state, error);
    for (const QString& name :
         {QStringLiteral("Temp.jpg"), QStringLiteral("prev.jpg"), QStringLiteral("Print.txt")})
        QFile::remove(state.ProgramFile(name));
    return saved;
}

QStringList CandidateBases(const TRunState& state) {
    QStringList bases = {state.HomeDir};
    static const QStringList pseudo = {
        QStringLiteral("proc"),    QStringLiteral("sysfs"),    QStringLiteral("devtmpfs"),
        QStringLiteral("tmpfs"),   QStringLiteral("devpts"),   QStringLiteral("cgroup2"),
        QStringLiteral("overlay"), QStringLiteral("squashfs"), QStringLiteral("autofs")};
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (!volume.isValid() || !volume.isReady() || volume.isReadOnly())
            continue;
        if (pseudo.contains(QString::fromLatin1(volume.fileSystemType())))
            continue;
        const QString root = Strings::FolderPath(volume.rootPath());
        if (root == u"/" || bases.contains(root) || !QFileInfo(root).isWritable())
            continue;
        bases.append(root);
    }
    const QString current = state.WorkspaceBase();
    if (!bases.contains(current))
        bases.insert(1, current);
    return bases;
}

} // namespace Lumerix::TWorkspace
