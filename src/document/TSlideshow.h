#pragma once

#include "TPictureList.h"
#include "TSlideshowStore.h"

#include <QImage>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace Lumerix {

class TProgress;
class TPrompter;
class TRunState;

/// A picture copied into a slideshow folder, or one that could not be.
struct TImportedPicture {
    QString Source;
    QString FileName; ///< the copy's name in the slideshow folder (made unique)
    bool Copied = false;
    bool Cancelled = false; ///< left out because the user cancelled
    bool Refused = false;   ///< it arrived, but is no picture that can be decoded
    QString Error;          ///< why it did not arrive or was refused: "file: cause"
    QString Warning;        ///< what the decoder tolerated in an accepted picture
};

/// Where an edit of one picture writes: the picture file and its next undo copy. Taken on the
/// window thread before the file work starts elsewhere.
struct TEditTarget {
    QString Path;
    QString UndoCopy;
};

/// What the file work of a picture edit did, for the window thread to take over.
struct TPictureEdit {
    QString Path;
    bool Changed = false;   ///< the picture was rewritten; the undo copy holds the old file
    bool Cancelled = false; ///< the user cancelled before anything was written
    QString Error;          ///< the undo copy could not be written (the error box)
    QString PlainError;     ///< an imaging failure (the plain error box)
    QString Thumbnail;      ///< the renewed thumbnail of a changed picture
};

/// The picture edits of the step-1 buttons, with their command words.
enum class TTransform { RotateRight, RotateLeft, Rotate180, MirrorLeftRight, MirrorTopBottom };

/// "90", "-90", "180", "FlipV" (left-right mirror) or "FlipH" (top-bottom mirror).
std::optional<TTransform> TransformOfCommand(const QString& command);

/// The open slideshow: its picture list and the store operations and picture edits the start
/// panel, the "Diashow" menu, step 1 and the command-line tool call. The run state keeps the
/// slideshow's name, title and seconds; messages go through the prompter.
class TSlideshow {
public:
    TSlideshow(TRunState& state, TPrompter& prompter);

    TPictureList& Pictures() { return List; }
    const TPictureList& Pictures() const { return List; }
    TSlideshowStore Store() const { return TSlideshowStore(State); }

    /// The open slideshow's folder (`WorkspaceDir` + `CurrentShow` + "/").
    QString ShowDir() const;
    /// The full path of the picture of list entry `index`; empty when there is none.
    QString PicturePath(int index) const;
    /// "The slideshow contains 7 picture(s)".
    QString PictureCounterText() const;

    // Slideshows.

    /// Loads a slideshow. Without a `Diashow.ini` the window turns untitled with 3 seconds and
    /// the list is kept. A template folder opens as an empty, untitled slideshow under the next
    /// free name. Lines naming missing pictures, or anything but a bare file name, are dropped.
    void OpenShow(const QString& name, TProgress& progress);
    /// Makes the thumbnails `OpenShow` would make for slideshow `name`, in parallel. Touches
    /// only files, so it can run off the window thread before `OpenShow`. A thumbnail that
    /// cannot be written stops the rest: its file and cause are returned (empty when fine).
    static QString MakeMissingThumbnails(const TRunState& state, const QString& name,
                                         TProgress& progress);
    /// Starts a new slideshow with `title` under the next free name; nothing is written yet.
    void NewShow(const QString& title);
    /// Asks, then deletes the slideshow named by `name` and resets the list through the
    /// template. Nothing is deleted unless `name` names a slideshow folder. True when deleted.
    bool DeleteShow(const QString& name);
    /// Writes `Diashow.ini`, `Pictures.ini` and the player's `Settings.ini`; refuses an empty title
    /// or an empty list with a message. With `startPlayer` runs the player in the workspace and
    /// waits for it.
    bool SaveShow(bool startPlayer);
    /// Writes `Pictures.ini` from the list; a failure is reported.
    bool SavePictureList();

    // The picture list.

    /// Picks a name when none is open, creates the folder and writes `Diashow.ini`: the part of
    /// adding pictures that runs before the copies. False, with a message, when it cannot.
    bool BeginImport();
    /// Copies `sources` into `showDir` under unique names and makes their thumbnails, in
    /// parallel. Thread-safe: touches only files. A cancel leaves the remaining pictures out.
    /// Pictures of other formats than JPEG arrive as JPEG copies named ".jpg"; a picture that
    /// cannot be decoded leaves nothing behind and carries its cause.
    static QList<TImportedPicture> Import(const TRunState& state, const QString& showDir,
                                          const QStringList& sources, TProgress& progress);
    /// Inserts the copied pictures at `index` (-1 appends) in their order, writes
    /// `Pictures.ini` and reports pictures that did not arrive (not those the user cancelled).
    /// Returns the number inserted.
    int FinishImport(const QList<TImportedPicture>& imported, int index);
    /// All three steps at once. False when any picture did not arrive.
    bool AddPictures(const QStringList& sources, int index, TProgress& progress);

    /// Deletes the picture file of entry `index` (its thumbnail stays until the next cleanup),
    /// removes the entry and writes `Pictures.ini`.
    void RemovePicture(int index);
    /// Removes the entries `rows` and cleans up stray thumbnails. With an empty list it clears
    /// the slideshow folder's pictures instead; with nothing selected it says so.
    void RemoveSelected(QList<int> rows);
    /// Asks, then removes every entry and every picture of the slideshow folder.
    bool RemoveAll();
    /// Sets the caption of entry `index` (cut to the caption limit, one line).
    void SetCaption(int index, const QString& caption);
    /// Moves entry `from` so that it ends up at `to`.
    void MovePicture(int from, int to);
    /// Deletes thumbnails of the open slideshow that no longer have their picture.
    void CleanStrayThumbnails();

    // Editing the picture of an entry.

    /// Saves the undo copy, applies the edit, rewrites the picture and renews its entry.
    /// Imaging errors are reported in the plain error box; false then.
    bool Transform(int index, TTransform transform);
    /// The picture of entry `index` and the undo copy an edit of it writes next; an empty path
    /// when there is no such entry.
    TEditTarget EditTarget(int index) const;
    /// The file work of `Transform`, safe off the window thread: a cancel seen before the
    /// write leaves every file as it was.
    static TPictureEdit TransformFile(const TEditTarget& target, TTransform transform,
                                      const TProgress& progress);
    /// Writes the undo copy, runs `write` (which rewrites the picture and throws
    /// `TImagingError` on failure) and renews the thumbnail. Files only; a failed write takes
    /// its undo copy back. A `framed` thumbnail bitmap made beforehand is saved instead of one
    /// made from the written picture.
    static TPictureEdit EditFile(const TEditTarget& target, const std::function<void()>& write,
                                 const QImage& framed = {});
    /// Takes over an edit's outcome on the window thread: reports its failure, or counts the
    /// undo copy and renews entry `index` (or wherever the picture moved). True when the
    /// picture changed.
    bool FinishEdit(int index, const TPictureEdit& edit);
    /// Puts the last undo copy back over the picture of entry `index`.
    bool Undo(int index);
    /// Deletes every undo copy; the undo history belongs to one selection.
    void DeleteUndoCopies();

private:
    /// Makes the thumbnail of the picture at `path` anew (or saves `framed`, when given) under
    /// a fresh numbered name; its path.
    static QString RenewThumbnail(const QString& path, const QImage& framed = {});
    /// Points entry `index` at `thumbnail` and turns it into one with caption.
    void ReplaceThumbnail(int index, const QString& thumbnail);
    void ReportPreferences();
    /// Writes title and seconds of the open slideshow; a failure is reported.
    bool WriteDescription();

    TRunState& State;
    TPrompter& Prompter;
    TPictureList List;
};

} // namespace Lumerix
