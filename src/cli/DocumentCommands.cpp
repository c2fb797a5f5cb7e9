#include "DocumentCommands.h"

#include "CliSupport.h"
#include "TTerminalPrompter.h"
#include "document/TAudioTrackList.h"
#include "document/TSlideshow.h"
#include "document/TSlideshowStore.h"
#include "document/TThumbnailMaker.h"
#include "shell/TPreferences.h"
#include "shell/TRunState.h"

#include <QFileInfo>
#include <QTextStream>

namespace Lumerix {

namespace {

using namespace CliSupport;

void Save(TSlideshow& show) {
    if (!show.SavePictureList())
        throw TCliError{QStringLiteral("the picture list could not be saved")};
}

void List(TCliContext& context) {
    NeedArguments(context, 0, 0, "list");
    for (const QString& entry : TSlideshowStore(context.State).ChooserEntries())
        PrintLine(entry);
}

void Create(TCliContext& context) {
    QStringList arguments = context.Arguments;
    QString seconds = context.State.SecondsPerPicture.trimmed();
    if (const qsizetype option = arguments.indexOf(QStringLiteral("--seconds")); option >= 0) {
        bool ok = false;
        const int value = arguments.value(option + 1).toInt(&ok);
        if (!ok || value < TPreferences::MinSeconds || value > TPreferences::MaxSeconds)
            throw TCliError{
                QStringLiteral("--seconds needs a whole number of seconds from %1 to %2")
                    .arg(TPreferences::MinSeconds)
                    .arg(TPreferences::MaxSeconds)};
        seconds = QString::number(value);
        arguments.remove(option, 2);
    }
    if (arguments.isEmpty() || arguments.first().trimmed().isEmpty())
        throw TCliError{
            QStringLiteral("usage: lumerix-cli create TITLE [--seconds S] [PICTURE ...]")};
    const QStringList pictures = arguments.mid(1);
    CheckFiles(pictures);

    TSlideshow show(context.State, context.Prompter);
    show.NewShow(arguments.first());
    context.State.SecondsPerPicture = seconds;
    // A slideshow made here has no window to hold it: it is written even without pictures.
    if (!show.BeginImport())
        throw TCliError{QStringLiteral("the slideshow could not be created")};
    TTerminalProgress progress;
    const bool complete =
        pictures.isEmpty() ? show.SavePictureList() : show.AddPictures(pictures, -1, progress);
    PrintLine(context.State.CurrentShow);
    if (!complete)
        throw TCliError{QStringLiteral("not every picture arrived in %1").arg(show.ShowDir())};
}

void AddPictures(TCliContext& context) {
    NeedArguments(context, 2, -1, "add-pictures SHOW PICTURE ...");
    const QStringList pictures = context.Arguments.mid(1);
    CheckFiles(pictures);
    TSlideshow show(context.State, context.Prompter);
    OpenNamed(context, show);
    TTerminalProgress progress;
    if (!show.AddPictures(pictures, -1, progress))
        throw TCliError{QStringLiteral("not every picture arrived in %1").arg(show.ShowDir())};
}

void RemovePicture(TCliContext& context) {
    NeedArguments(context, 2, 2, "remove-picture SHOW INDEX");
    TSlideshow show(context.State, context.Prompter);
    OpenNamed(context, show);
    show.RemoveSelected({PictureIndex(show, context.Arguments[1])});
}

void MovePicture(TCliContext& context) {
    NeedArguments(context, 3, 3, "move-picture SHOW FROM TO");
    TSlideshow show(context.State, context.Prompter);
    OpenNamed(context, show);
    show.MovePicture(PictureIndex(show, context.Arguments[1]),
                     PictureIndex(show, context.Arguments[2]));
    Save(show);
}

void Caption(TCliContext& context) {
    NeedArguments(context, 3, 3, "caption SHOW INDEX TEXT");
    TSlideshow show(context.State, context.Prompter);
    OpenNamed(context, show);
    show.SetCaption(PictureIndex(show, context.Arguments[1]), context.Arguments[2]);
    Save(show);
}

void Rotate(TCliContext& context) {
    NeedArguments(context, 3, 3, "rotate SHOW INDEX 90|-90|180|FlipV|FlipH");
    const auto transform = TransformOfCommand(context.Arguments[2]);
    if (!transform)
        throw TCliError{QStringLiteral("not an edit: \"%1\" (one of 90, -90, 180, FlipV, FlipH)")
                            .arg(context.Arguments[2])};
    TSlideshow show(context.State, context.Prompter);
    OpenNamed(context, show);
    const int index = PictureIndex(show, context.Arguments[1]);
    if (!show.Transform(index, *transform))
        throw TCliError{QStringLiteral("%1 was not changed").arg(show.PicturePath(index))};
    show.DeleteUndoCopies();
    Save(show);
}

void Show(TCliContext& context) {
    NeedArguments(context, 1, 1, "show SHOW");
    TSlideshow show(context.State, context.Prompter);
    OpenNamed(context, show);
    PrintLine(QStringLiteral("Title: ") + context.State.ShowTitle);
    PrintLine(QStringLiteral("Seconds: ") + context.State.SecondsPerPicture);
    for (int i = 0; i < show.Pictures().Count(); ++i) {
        const TPictureEntry entry = show.Pictures().Parsed(i);
        PrintLine(QString::number(i + 1) + u'\t' + entry.FileName + u'\t' + entry.Caption);
    }
}

void Delete(TCliContext& context) {
    NeedArguments(context, 1, 1, "delete SHOW");
    const QString name = context.Arguments[0];
    TSlideshow show(context.State, context.Prompter);
    if (!show.Store().IsShow(name))
        throw TCliError{
            QStringLiteral("no slideshow \"%1\" in %2").arg(name, context.State.WorkspaceDir)};
    if (!show.DeleteShow(name))
        throw TCliError{QStringLiteral("%1 was not deleted").arg(show.Store().ShowDir(name))};
}

void SourceThumbnails(TCliContext& context) {
    QStringList arguments = context.Arguments;
    const bool byDate = arguments.removeAll(QStringLiteral("--by-date")) > 0;
    if (arguments.size() != 1)
        throw TCliError{QStringLiteral("usage: lumerix-cli thumbnails FOLDER [--by-date]")};
    const QString folder = arguments[0];
    if (!QFileInfo(folder).isDir())
        throw TCliError{QStringLiteral("%1: no such folder").arg(folder)};
    TTerminalProgress progress;
    const QStringList entries =
        SourceFolder::List(context.State, folder, progress,
                           byDate ? SourceFolder::TOrder::DateTaken : SourceFolder::TOrder::Name);
    for (const QString& entry : entries)
        PrintLine(entry);
}

// The music of a slideshow named by the first argument, loaded from its folder.
TAudioTrackList OpenMusic(TCliContext& context) {
    TSlideshow show(context.State, context.Prompter);
    OpenNamed(context, show);
    TAudioTrackList music(context.State, context.Prompter);
    music.LoadAudioList();
    return music;
}

int TrackIndex(const TAudioTrackList& music, const QString& name) {
    for (int i = 0; i < music.Count(); ++i) {
        if (QFileInfo(music.Tracks()[i]).fileName() == name)
            return i;
    }
    throw TCliError{QStringLiteral("no track \"%1\" in the slideshow").arg(name)};
}

void AddMusic(TCliContext& context) {
    QStringList arguments = context.Arguments;
    TAudioTrackList::TCollision collision = TAudioTrackList::TCollision::Ask;
    if (arguments.removeAll(QStringLiteral("--no")) > 0)
        collision = TAudioTrackList::TCollision::KeepBoth;
    if (arguments.removeAll(QStringLiteral("--yes")) > 0)
        collision = TAudioTrackList::TCollision::Overwrite;
    if (arguments.size() < 2)
        throw TCliError{QStringLiteral("usage: lumerix-cli add-music SHOW FILE ... [--yes|--no]")};
    context.Arguments = arguments;
    const QStringList files = arguments.mid(1);
    CheckFiles(files);
    TAudioTrackList music = OpenMusic(context);
    bool all = true;
    for (const QString& file : files)
        all = music.AddTrack(file, collision) && all;
    if (!all)
        throw TCliError{QStringLiteral("not every file was added")};
}

void Music(TCliContext& context) {
    NeedArguments(context, 1, 1, "music SHOW");
    const TAudioTrackList music = OpenMusic(context);
    for (const QString& track : music.Tracks())
        PrintLine(QFileInfo(track).fileName());
}

void OrderMusic(TCliContext& context) {
    NeedArguments(context, 2, -1, "order-music SHOW NAME ...");
    TAudioTrackList music = OpenMusic(context);
    QString error;
    if (!music.Arrange(context.Arguments.mid(1), &error))
        throw TCliError{error};
    music.SaveAudioOrder();
    for (const QString& track : music.Tracks())
        PrintLine(QFileInfo(track).fileName());
}

void RemoveMusic(TCliContext& context) {
    NeedArguments(context, 2, 2, "remove-music SHOW NAME");
    TAudioTrackList music = OpenMusic(context);
    if (!music.Remove(TrackIndex(music, context.Arguments[1])))
        throw TCliError{QStringLiteral("\"%1\" was not removed").arg(context.Arguments[1])};
}

} // namespace

QList<TCommandLine::TCommand> DocumentCommands() {
    return {
        {QStringLiteral("list"), QString(),
         QStringLiteral("one line per slideshow: its folder name and title"), List},
        {QStringLiteral("create"), QStringLiteral("TITLE [--seconds S] [PICTURE ...]"),
         QStringLiteral("make a new slideshow with these pictures; prints its folder name"),
         Create},
        {QStringLiteral("add-pictures"), QStringLiteral("SHOW PICTURE ..."),
         QStringLiteral("copy pictures into a slideshow, at its end"), AddPictures},
        {QStringLiteral("remove-picture"), QStringLiteral("SHOW INDEX"),
         QStringLiteral("remove picture INDEX (from 1) and delete its copy"), RemovePicture},
        {QStringLiteral("move-picture"), QStringLiteral("SHOW FROM TO"),
         QStringLiteral("move picture FROM so that it becomes picture TO"), MovePicture},
        {QStringLiteral("caption"), QStringLiteral("SHOW INDEX TEXT"),
         QStringLiteral("set the caption of picture INDEX (at most 58 characters)"), Caption},
        {QStringLiteral("rotate"), QStringLiteral("SHOW INDEX 90|-90|180|FlipV|FlipH"),
         QStringLiteral("turn a picture right, left or half round, or mirror it "
                        "(FlipV left-right, FlipH top-bottom)"),
         Rotate},
        {QStringLiteral("show"), QStringLiteral("SHOW"),
         QStringLiteral("print title, seconds and one line per picture: index, file name, "
                        "caption (tab-separated)"),
         Show},
        {QStringLiteral("delete"), QStringLiteral("SHOW"),
         QStringLiteral("delete a slideshow with all its files (asks unless --yes)"), Delete},
        {QStringLiteral("add-music"), QStringLiteral("SHOW FILE ... [--yes|--no]"),
         QStringLiteral("copy 44.1 kHz stereo MP3 or WAV files into a slideshow; on a name "
                        "collision --yes overwrites, --no keeps both"),
         AddMusic},
        {QStringLiteral("music"), QStringLiteral("SHOW"),
         QStringLiteral("the music tracks of a slideshow in playing order"), Music},
        {QStringLiteral("order-music"), QStringLiteral("SHOW NAME ..."),
         QStringLiteral("put the named tracks first, in this order, and rename all tracks "
                        "Audio001, Audio002 ..."),
         OrderMusic},
        {QStringLiteral("remove-music"), QStringLiteral("SHOW NAME"),
         QStringLiteral("delete a music track (asks unless --yes)"), RemoveMusic},
        {QStringLiteral("thumbnails"), QStringLiteral("FOLDER [--by-date]"),
         QStringLiteral("list a picture folder as step 1 does, making the thumbnails; one "
                        "entry per line"),
         SourceThumbnails},
    };
}

} // namespace Lumerix
