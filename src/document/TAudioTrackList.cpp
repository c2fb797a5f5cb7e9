#include "TAudioTrackList.h"

#include "TSlideshowStore.h"
#include "audio/TAudioInspector.h"
#include "shell/Strings.h"
#include "shell/TPrompter.h"
#include "shell/TRunState.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <algorithm>

namespace Lumerix {

namespace {

constexpr QLatin1String ReorderPrefix{"_F_"};

QString Extension(const QString& name) {
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot < 0 ? QString() : name.mid(dot + 1);
}

} // namespace

TAudioTrackList::TAudioTrackList(TRunState& state, TPrompter& prompter)
    : State(state), Prompter(prompter) {}

QString TAudioTrackList::ShowDir() const {
    return TSlideshowStore(State).ShowDir(State.CurrentShow);
}

QStringList TAudioTrackList::TrackPaths(const QString& folder) {
    const QDir dir(folder);
    QStringList paths;
    for (const QString& mask : {QStringLiteral("*.mp3"), QStringLiteral("*.wav")}) {
        for (const QString& name : dir.entryList({mask}, QDir::Files | QDir::Hidden))
            paths.append(dir.filePath(name));
    }
    std::sort(paths.begin(), paths.end(), [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    return paths;
}

QString TAudioTrackList::RejectionMessage(const QString& path) const {
    return State.Text(10012) + u' ' + QFileInfo(path).fileName() + u' ' + State.Text(10013) +
           QStringLiteral("\r\r") + State.Text(10014) + QStringLiteral("\r\r") + State.Text(10015);
}

void TAudioTrackList::LoadAudioList(bool report) {
    List.clear();
    LoadedFolder = State.CurrentShow.isEmpty() ? QString() : ShowDir();
    if (LoadedFolder.isEmpty())
        return;
    for (const QString& path : TrackPaths(LoadedFolder)) {
        List.append(path);
        if (report && !TAudioInspector::AcceptedForSlideshow(TAudioInspector::Inspect(path)))
            Prompter.Information(RejectionMessage(path));
    }
}

void TAudioTrackList::FollowOpenShow() {
    const QString folder = State.CurrentShow.isEmpty() ? QString() : ShowDir();
    if (folder != LoadedFolder)
        LoadAudioList(false);
}

bool TAudioTrackList::AddTrack(const QString& source, TCollision collision) {
    if (!TAudioInspector::AcceptedForSlideshow(TAudioInspector::Inspect(source))) {
        Prompter.Information(RejectionMessage(source));
        return false;
    }
    FollowOpenShow();
    if (State.CurrentShow.isEmpty())
        State.CurrentShow = TSlideshowStore(State).NextShowName();
    const QString folder = ShowDir();
    LoadedFolder = folder;
    if (!QDir().mkpath(folder)) {
        Prompter.Error(QStringLiteral("%1: the folder cannot be created").arg(folder));
        return false;
    }
    const QString name = QFileInfo(source).fileName();
    QString target = folder + name;
    bool listed = false;
    if (QFileInfo::exists(target)) {
        const bool overwrite =
            collision == TCollision::Overwrite ||
            (collision == TCollision::Ask && Prompter.Confirm(State.Text(10016)));
        if (overwrite) {
            listed = true;
        } else {
            do {
                target = folder + QString::number(QRandomGenerator::global()->bounded(99999999)) +
                         u'_' + name;
            } while (QFileInfo::exists(target));
        }
    }
    if (QFileInfo(source).canonicalFilePath() == QFileInfo(target).canonicalFilePath())
        return true;
    QFile::remove(target);
    if (!QFile::copy(source, target)) {
        Prompter.Error(QStringLiteral("%1: could not be copied to %2").arg(source, target));
        return false;
    }
    QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                      QFile::ReadOther);
    if (!listed && !List.contains(target))
        List.append(target);
    return true;
}

void TAudioTrackList::Move(int from, int to) {
    if (from < 0 || from >= Count() || to < 0 || to >= Count() || from == to)
        return;
    List.move(from, to);
}

bool TAudioTrackList::Arrange(const QStringList& names, QString* error) {
    QStringList arranged;
    for (const QString& name : names) {
        const auto track = std::find_if(List.begin(), List.end(), [&](const QString& path) {
            return QFileInfo(path).fileName() == name;
        });
        if (track == List.end() || arranged.contains(*track)) {
            if (error)
                *error = QStringLiteral("\"%1\" is not a track of %2").arg(name, ShowDir());
            return false;
        }
        arranged.append(*track);
    }
    for (const QString& path : std::as_const(List)) {
        if (!arranged.contains(path))
            arranged.append(path);
    }
    List = arranged;
    return true;
}

bool TAudioTrackList::Remove(int index) {
    if (LoadedFolder != ShowDir()) {
        // The selection was made in another slideshow's list.
        LoadAudioList(false);
        index = -1;
    }
    if (index < 0 || index >= Count()) {
        Prompter.Information(State.Text(10018));
        return false;
    }
    if (!Prompter.Confirm(State.Text(10017)))
        return false;
    QFile::remove(List[index]);
    List.removeAt(index);
    return true;
}

void TAudioTrackList::SaveAudioOrder() {
    const QString folder = State.CurrentShow.isEmpty() ? QString() : ShowDir();
    // A list of another slideshow has no order to give this one.
    if (folder.isEmpty() || folder != LoadedFolder || List.isEmpty()) {
        LoadAudioList();
        return;
    }
    // Two passes, so tracks can swap names. QFile::rename never replaces an existing file,
    // so a stray file in the way keeps its contents and the track keeps its name.
    QStringList parked;
    for (const QString& path : std::as_const(List)) {
        const QFileInfo track(path);
        if (track.path() + u'/' != folder)
            continue;
        const QString temporary = folder + ReorderPrefix + track.fileName();
        parked.append(QFile::rename(path, temporary) ? temporary : path);
    }
    for (int i = 0; i < parked.size(); ++i) {
        const QString name = QFileInfo(parked[i]).fileName();
        const QString target = folder + QStringLiteral("Audio") +
                               Strings::PadLeft(QString::number(i + 1), u'0', 3) + u'.' +
                               Extension(name);
        if (parked[i] != target && !QFile::rename(parked[i], target) &&
            parked[i].startsWith(folder + ReorderPrefix)) {
            // The place is taken by a file that is not a track: the track gets its name back.
            QFile::rename(parked[i], folder + name.mid(ReorderPrefix.size()));
        }
    }
    LoadAudioList();
}

} // namespace Lumerix
