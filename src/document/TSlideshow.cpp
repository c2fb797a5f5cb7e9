#include "TSlideshow.h"

#include "TSettings.h"
#include "TThumbnailMaker.h"
#include "imaging/PictureFile.h"
#include "imaging/TRasterImage.h"
#include "shell/Execute.h"
#include "shell/Jobs.h"
#include "shell/TPreferences.h"
#include "shell/TProgress.h"
#include "shell/TPrompter.h"
#include "shell/TRunState.h"
#include "shell/TextCodec.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QSet>
#include <QtConcurrent/QtConcurrentMap>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
#include <atomic>
#include <optional>

namespace Lumerix {

namespace {

// A picture's name in the slideshow folder: one that `Pictures.ini` can hold unchanged and
// that reads back as the same bare file name. Letters of every script are kept (the list file
// turns to UTF-8 when it must); only the list markup "|", "<" and ">", folder separators,
// control characters and blanks at either end (trimmed away on reading) are replaced, and a
// leading "_THUMB_" is reserved for thumbnails.
QString ImportName(const QString& name) {
    QString safe = name.trimmed();
    for (QChar& c : safe) {
        if (c == u'|' || c == u'<' || c == u'>' || c == u'/' || c == u'\\' ||
            c.category() == QChar::Other_Control || c.isNull())
            c = u'_';
    }
    while (TSlideshowStore::IsThumbnailName(safe))
        safe.remove(0, 1);
    if (safe.isEmpty() || safe == QLatin1String(".") || safe == QLatin1String(".."))
        return QStringLiteral("_");
    return safe;
}

// A copy converted to JPEG is named for what it holds: only the extension changes.
QString ConvertedName(const QString& name, const QString& source) {
    const PictureFile::TFormat format = PictureFile::FormatOfFile(source);
    if (format == PictureFile::TFormat::Jpeg || format == PictureFile::TFormat::Unknown)
        return name;
    const qsizetype dot = name.lastIndexOf(u'.');
    return (dot > 0 ? name.left(dot) : name) + QStringLiteral(".jpg");
}

QString UndoCopyPath(const TRunState& state, int number) {
    return state.ProgramDir + QStringLiteral("UNDO_") + QString::number(number) +
           QStringLiteral(".jpg");
}

// The file name of a renewed thumbnail: "_THUMB_" + the smallest free number + the name.
QString RenewedThumbnailName(const QString& folder, const QString& fileName) {
    for (int n = 1;; ++n) {
        const QString name = TSlideshowStore::ThumbnailPrefix + QString::number(n) + fileName;
        if (!QFileInfo::exists(folder + name))
            return name;
    }
}

void Apply(TRasterImage& image, TTransform transform) {
    switch (transform) {
    case TTransform::RotateRight:
        image.Rotate(9000, true, Qt::white);
        break;
    case TTransform::RotateLeft:
        image.Rotate(27000, true, Qt::white);
        break;
    case TTransform::Rotate180:
        image.Rotate(18000, true, Qt::white);
        break;
    case TTransform::MirrorLeftRight:
        image.Reverse();
        break;
    case TTransform::MirrorTopBottom:
        image.Flip();
        break;
    }
}

TOrientation TurnOf(TTransform transform) {
    switch (transform) {
    case TTransform::RotateRight:
        return TOrientation::TurnRight;
    case TTransform::RotateLeft:
        return TOrientation::TurnLeft;
    case TTransform::Rotate180:
        return TOrientation::Turn180;
    case TTransform::MirrorLeftRight:
        return TOrientation::MirrorLeftRight;
    case TTransform::MirrorTopBottom:
        return TOrientation::MirrorTopBottom;
    }
    return TOrientation::Upright;
}

} // namespace

std::optional<TTransform> TransformOfCommand(const QString& command) {
    static const std::pair<const char*, TTransform> commands[] = {
        {"90", TTransform::RotateRight},        {"-90", TTransform::RotateLeft},
        {"180", TTransform::Rotate180},         {"FlipV", TTransform::MirrorLeftRight},
        {"FlipH", TTransform::MirrorTopBottom},
    };
    for (const auto& [word, transform] : commands) {
        if (command.compare(QLatin1String(word), Qt::CaseInsensitive) == 0)
            return transform;
    }
    return std::nullopt;
}

TSlideshow::TSlideshow(TRunState& state, TPrompter& prompter) : State(state), Prompter(prompter) {}

QString TSlideshow::ShowDir() const {
    return Store().ShowDir(State.CurrentShow);
}

QString TSlideshow::PicturePath(int index) const {
    if (index < 0 || index >= List.Count() || State.CurrentShow.isEmpty())
        return {};
    const QString name = List.Parsed(index).FileName;
    return TSlideshowStore::IsBareFileName(name) ? ShowDir() + name : QString();
}

QString TSlideshow::PictureCounterText() const {
    return State.Text(594) + u' ' + QString::number(List.Count()) + u' ' + State.Text(595);
}

void TSlideshow::ReportPreferences() {
    QString error;
    if (!TPreferences::Save(State, &error))
        Prompter.Error(error);
}

bool TSlideshow::WriteDescription() {
    QString error;
    if (Store().WriteDescription(State.CurrentShow, State.ShowTitle, State.SecondsPerPicture,
                                 &error))
        return true;
    Prompter.Error(error);
    return false;
}

void TSlideshow::OpenShow(const QString& name, TProgress& progress) {
    const TSlideshowStore store = Store();
    const TSlideshowStore::TDescription description = store.ReadDescription(name);
    if (!description.Exists) {
        State.ShowTitle.clear();
        State.SecondsPerPicture = QStringLiteral("3");
        return;
    }
    State.ShowTitle = description.Title;
    State.SecondsPerPicture = description.Seconds;

    // A template's pictures belong to no slideshow: it always opens empty.
    const QList<TPictureEntry> pictures =
        description.Template ? QList<TPictureEntry>() : store.ReadPictures(name);
    const QString folder = store.ShowDir(name);
    QStringList entries;
    for (qsizetype i = 0; i < pictures.size(); ++i) {
        TPictureEntry entry = pictures[i];
        const QString picture = folder + entry.FileName;
        entry.ThumbnailPath = Thumbnails::ShowThumbnailPath(picture);
        const int percent =
            pictures.size() > 1 ? Thumbnails::Percent(int(i), int(pictures.size()) - 1) : 0;
        if (!QFileInfo::exists(entry.ThumbnailPath)) {
            progress.SetPercent(percent);
            progress.SetStatus(Thumbnails::ProgressText(State, percent));
            Thumbnails::Make(picture, entry.ThumbnailPath);
        }
        entries.append(entry.Text());
    }
    List.SetEntries(entries);
    DeleteUndoCopies();

    State.CurrentShow = description.Template ? store.NextShowName() : name;
    ReportPreferences();
    CleanStrayThumbnails();
    progress.SetStatus(QStringLiteral("Fertig"));
}

QString TSlideshow::MakeMissingThumbnails(const TRunState& state, const QString& name,
                                          TProgress& progress) {
    const TSlideshowStore store(state);
    const QString folder = store.ShowDir(name);
    QStringList pictures;
    for (const TPictureEntry& entry : store.ReadPictures(name)) {
        if (!QFileInfo::exists(Thumbnails::ShowThumbnailPath(folder + entry.FileName)))
            pictures.append(folder + entry.FileName);
    }
    std::atomic_int done = 0;
    QMutex reportLock;
    QString failure;
    QtConcurrent::blockingMap(Jobs::Pool(), pictures, [&](const QString& picture) {
        if (progress.Cancelled())
            return;
        {
            const QMutexLocker locker(&reportLock);
            if (!failure.isEmpty())
                return;
        }
        QString writeError;
        Thumbnails::Make(picture, Thumbnails::ShowThumbnailPath(picture), false, Thumbnails::Height,
                         &writeError);
        const int percent = Thumbnails::Percent(++done, int(pictures.size()));
        const QMutexLocker locker(&reportLock);
        if (!writeError.isEmpty() && failure.isEmpty())
            failure = writeError;
        progress.SetPercent(percent);
        progress.SetStatus(Thumbnails::ProgressText(state, percent));
    });
    return failure;
}

void TSlideshow::NewShow(const QString& title) {
    CleanStrayThumbnails();
    State.ShowTitle = title;
    State.CurrentShow = Store().NextShowName();
    DeleteUndoCopies();
    ReportPreferences();
    List.Clear();
}

bool TSlideshow::DeleteShow(const QString& name) {
    if (!Prompter.Confirm(State.Text(10008)))
        return false;
    TSilentProgress quiet;
    OpenShow(TSlideshowStore::TemplateFolder.toString(), quiet);
    DeleteUndoCopies();
    List.Clear();
    if (Store().DeleteShow(name))
        return true;
    Prompter.Information(State.Text(10009));
    return false;
}

bool TSlideshow::SavePictureList() {
    if (State.CurrentShow.isEmpty())
        return false;
    QString error;
    if (Store().WritePictureLines(State.CurrentShow, List.PicturesLines(), &error))
        return true;
    Prompter.Error(error);
    return false;
}

bool TSlideshow::SaveShow(bool startPlayer) {
    if (State.ShowTitle.trimmed().isEmpty()) {
        Prompter.Information(State.Text(10001));
        return false;
    }
    if (List.IsEmpty()) {
        Prompter.Information(State.Text(10002));
        return false;
    }
    if (!SavePictureList() || !WriteDescription())
        return false;
    QString error;
    if (!Settings::WritePlayerSettings(State, &error)) {
        Prompter.Error(error);
        return false;
    }
    if (startPlayer)
        Execute::RunAndWait(State.WorkspaceDir, State.WorkspaceDir + State.PlayerName(), {},
                            &Prompter);
    return true;
}

bool TSlideshow::BeginImport() {
    if (State.CurrentShow.isEmpty())
        State.CurrentShow = Store().NextShowName();
    const QString folder = ShowDir();
    if (!QDir().mkpath(folder)) {
        Prompter.Error(State.Text(10000));
        return false;
    }
    return WriteDescription();
}

QList<TImportedPicture> TSlideshow::Import(const TRunState& state, const QString& showDir,
                                           const QStringList& sources, TProgress& progress) {
    // Names are settled in order first, so that equal names number up as they come.
    QList<TImportedPicture> pictures;
    QStringList taken;
    for (const QString& source : sources) {
        QString name = ConvertedName(ImportName(QFileInfo(source).fileName()), source);
        if (QFileInfo::exists(showDir + name) || taken.contains(name, Qt::CaseInsensitive))
            name = QFileInfo(TSlideshowStore::UniqueFileName(showDir + name, taken)).fileName();
        taken.append(name);
        TImportedPicture& picture = pictures.emplace_back();
        picture.Source = source;
        picture.FileName = name;
    }

    std::atomic_int done = 0;
    QMutex reportLock;
    const int total = int(pictures.size());
    QtConcurrent::blockingMap(Jobs::Pool(), pictures, [&](TImportedPicture& picture) {
        if (progress.Cancelled()) {
            picture.Cancelled = true;
            return;
        }
        const QString target = showDir + picture.FileName;
        const QString thumbnail = Thumbnails::ShowThumbnailPath(target);
        QFile::remove(target);
        try {
            // A copy cut short by a full disk never appears under the picture's name.
            PictureFile::Bring(picture.Source, target);
            // The copy is the user's to edit, whatever the source's permissions were.
            QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                              QFile::ReadOther);
            // The thumbnail decodes every block: a picture that fails here cannot be shown.
            picture.Warning = Thumbnails::MakeChecked(target, thumbnail);
        } catch (const TImagingError& error) {
            QFile::remove(target);
            QFile::remove(thumbnail);
            // A copy that did not arrive (no source, no room) is reported as ever, with its
            // cause; a picture that arrived but cannot be decoded is refused.
            const QString& cause = error.Cause();
            picture.Refused = cause != QLatin1String("file not found") &&
                              !cause.startsWith(QLatin1String("cannot read")) &&
                              !cause.startsWith(QLatin1String("cannot write"));
            picture.Error =
                (picture.Refused ? picture.Source : error.File()) + QStringLiteral(": ") + cause;
            return;
        }
        picture.Copied = true;
        const int percent = Thumbnails::Percent(++done, total);
        const QMutexLocker locker(&reportLock);
        progress.SetPercent(percent);
        progress.SetStatus(Thumbnails::ProgressText(state, percent));
    });
    progress.SetStatus(QStringLiteral("Fertig"));
    return pictures;
}

int TSlideshow::FinishImport(const QList<TImportedPicture>& imported, int index) {
    int inserted = 0;
    bool missing = false;
    QStringList causes;
    int row = index < 0 || index > List.Count() ? List.Count() : index;
    QStringList refused;
    QStringList warnings;
    for (const TImportedPicture& picture : imported) {
        if (picture.Refused)
            refused.append(picture.Error);
        if (!picture.Copied) {
            missing = missing || (!picture.Cancelled && !picture.Refused);
            if (!picture.Refused && !picture.Error.isEmpty() && causes.size() < 5)
                causes.append(picture.Error);
            continue;
        }
        if (!picture.Warning.isEmpty())
            warnings.append(picture.Source + QStringLiteral(": ") + picture.Warning);
        const QString path = ShowDir() + picture.FileName;
        List.Insert(
            row++,
            TPictureEntry{Thumbnails::ShowThumbnailPath(path), picture.FileName, {}, false}.Text());
        ++inserted;
    }
    if (inserted > 0)
        SavePictureList();
    if (!warnings.isEmpty())
        Prompter.Information(QStringLiteral("Damaged data was skipped in:\n") +
                             warnings.join(u'\n'));
    if (!refused.isEmpty())
        Prompter.Error(QStringLiteral("Not added, the picture cannot be read:\n") +
                       refused.join(u'\n'));
    if (missing)
        Prompter.Error(causes.isEmpty()
                           ? State.Text(10000)
                           : State.Text(10000) + QStringLiteral("\n\n") + causes.join(u'\n'));
    return inserted;
}

bool TSlideshow::AddPictures(const QStringList& sources, int index, TProgress& progress) {
    if (sources.isEmpty() || !BeginImport())
        return false;
    const QList<TImportedPicture> imported = Import(State, ShowDir(), sources, progress);
    const int inserted = FinishImport(imported, index);
    return inserted == imported.size() && !progress.Cancelled();
}

void TSlideshow::RemovePicture(int index) {
    if (index < 0 || index >= List.Count())
        return;
    const QString path = PicturePath(index);
    if (!path.isEmpty())
        QFile::remove(path);
    List.Remove(index);
    SavePictureList();
}

void TSlideshow::RemoveSelected(QList<int> rows) {
    if (List.IsEmpty()) {
        // An empty list leaves no picture the folder should keep.
        Store().DeleteShowPictures(State.CurrentShow);
        return;
    }
    rows.removeIf([this](int row) { return row < 0 || row >= List.Count(); });
    if (rows.isEmpty()) {
        Prompter.Information(State.Text(10006));
        return;
    }
    std::sort(rows.begin(), rows.end(), std::greater<int>());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    for (const int row : std::as_const(rows))
        RemovePicture(row);
    CleanStrayThumbnails();
}

bool TSlideshow::RemoveAll() {
    if (!Prompter.Confirm(State.Text(10007)))
        return false;
    while (!List.IsEmpty())
        RemovePicture(0);
    Store().DeleteShowPictures(State.CurrentShow);
    return true;
}

void TSlideshow::SetCaption(int index, const QString& caption) {
    if (index < 0 || index >= List.Count())
        return;
    TPictureEntry entry = List.Parsed(index);
    QString text = caption.left(MaxCaptionLength);
    // A cut never splits a character made of two UTF-16 units (an emoji, say).
    if (!text.isEmpty() && text.back().isHighSurrogate())
        text.chop(1);
    // The caption reads back through the list file's rule, so it is stored as that reads it.
    entry.Caption = TPictureEntry::FromPicturesLine(QStringLiteral("_|") + text, QString()).Caption;
    entry.HasCaption = true;
    List.Replace(index, entry.Text());
}

void TSlideshow::MovePicture(int from, int to) {
    List.Move(from, to);
}

void TSlideshow::CleanStrayThumbnails() {
    Store().CleanStrayThumbnails(State.CurrentShow);
}

bool TSlideshow::Transform(int index, TTransform transform) {
    const TEditTarget target = EditTarget(index);
    if (target.Path.isEmpty())
        return false;
    const TSilentProgress progress;
    return FinishEdit(index, TransformFile(target, transform, progress));
}

TEditTarget TSlideshow::EditTarget(int index) const {
    const QString path = PicturePath(index);
    if (path.isEmpty())
        return {};
    return {path, UndoCopyPath(State, State.UndoCount + 1)};
}

TPictureEdit TSlideshow::TransformFile(const TEditTarget& target, TTransform transform,
                                       const TProgress& progress) {
    TPictureEdit edit;
    edit.Path = target.Path;
    try {
        QFile file(target.Path);
        const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        file.close();
        // The new thumbnail is the reduced decode of the picture as it is, turned the same way
        // (turning and reducing can be swapped), made on another core while the picture is
        // turned: a reduced decode costs a good part of a whole turn.
        QFuture<std::optional<Thumbnails::TReduced>> reducing =
            QtConcurrent::run(Jobs::Pool(), [path = target.Path] {
                try {
                    return std::optional(Thumbnails::Reduced(path));
                } catch (const TImagingError&) {
                    return std::optional<Thumbnails::TReduced>();
                }
            });
        const QByteArray turned = TRasterImage::TurnLossless(bytes, TurnOf(transform), target.Path);
        // Edges that cut a block cannot be turned losslessly without dropping a strip of the
        // picture: such pictures are decoded, turned and encoded again at factor 4.
        TRasterImage image;
        if (turned.isEmpty()) {
            image.Load(target.Path);
            Apply(image, transform);
        }
        std::optional<Thumbnails::TReduced> reduced = reducing.result();
        if (progress.Cancelled()) {
            edit.Cancelled = true;
            return edit;
        }
        QImage framed;
        if (reduced) {
            TRasterImage small(reduced->Image);
            Apply(small, transform);
            reduced->Image = small.Bitmap();
            if (transform == TTransform::RotateLeft || transform == TTransform::RotateRight)
                reduced->Stored.transpose();
            framed = Thumbnails::Framed(*reduced);
        }
        edit = EditFile(
            target,
            [&] {
                if (!turned.isEmpty())
                    TRasterImage::WriteFile(target.Path, turned, QStringLiteral("Save"));
                else
                    image.Replace(target.Path, 4);
            },
            framed);
    } catch (const TImagingError& error) {
        edit.PlainError = error.Text();
    }
    if (!edit.PlainError.isEmpty())
        edit.PlainError.prepend(QStringLiteral("An error occured in your application, \n"));
    return edit;
}

TPictureEdit TSlideshow::EditFile(const TEditTarget& target, const std::function<void()>& write,
                                  const QImage& framed) {
    TPictureEdit edit;
    edit.Path = target.Path;
    // The undo copy is the file itself, so undoing gives back exactly what was there.
    if (!Execute::CopyFile(target.Path, target.UndoCopy)) {
        edit.Error = QStringLiteral("%1: the undo copy could not be written").arg(target.UndoCopy);
        return edit;
    }
    try {
        write();
    } catch (const TImagingError& error) {
        // The picture is as it was, so an undo step would give back nothing.
        QFile::remove(target.UndoCopy);
        edit.PlainError = error.Text();
        return edit;
    }
    edit.Changed = true;
    edit.Thumbnail = RenewThumbnail(target.Path, framed);
    return edit;
}

bool TSlideshow::FinishEdit(int index, const TPictureEdit& edit) {
    if (!edit.Error.isEmpty())
        Prompter.Error(edit.Error);
    if (!edit.PlainError.isEmpty())
        Prompter.PlainError(edit.PlainError);
    if (!edit.Changed)
        return false;
    ++State.UndoCount;
    // An import that ended meanwhile may have moved the entry.
    for (int row = PicturePath(index) == edit.Path ? index : 0; row < List.Count(); ++row) {
        if (PicturePath(row) == edit.Path) {
            ReplaceThumbnail(row, edit.Thumbnail);
            break;
        }
    }
    return true;
}

bool TSlideshow::Undo(int index) {
    const QString path = PicturePath(index);
    if (State.UndoCount < 1 || path.isEmpty())
        return false;
    const QString copy = UndoCopyPath(State, State.UndoCount);
    if (!Execute::CopyFile(copy, path))
        return false;
    QFile::remove(copy);
    --State.UndoCount;
    ReplaceThumbnail(index, RenewThumbnail(path));
    return true;
}

void TSlideshow::DeleteUndoCopies() {
    const QDir program(State.ProgramDir);
    for (const QString& name : program.entryList(QDir::Files | QDir::Hidden)) {
        if (name.toUpper().contains(QLatin1String("UNDO_")))
            QFile::remove(program.filePath(name));
    }
    State.UndoCount = 0;
}

QString TSlideshow::RenewThumbnail(const QString& path, const QImage& framed) {
    const QString folder = path.left(path.lastIndexOf(u'/') + 1);
    const QString renewed = RenewedThumbnailName(folder, QFileInfo(path).fileName());
    const QString thumbnail = Thumbnails::ShowThumbnailPath(path);
    if (framed.isNull())
        Thumbnails::Make(path, thumbnail, true);
    else
        Thumbnails::Save(framed, thumbnail);
    Execute::CopyFile(thumbnail, folder + renewed);
    return folder + renewed;
}

void TSlideshow::ReplaceThumbnail(int index, const QString& thumbnail) {
    TPictureEntry entry = List.Parsed(index);
    entry.ThumbnailPath = thumbnail;
    entry.HasCaption = true;
    List.Replace(index, entry.Text());
}

} // namespace Lumerix
