#pragma once

#include "TPictureEntry.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace Lumerix {

class TRunState;

/// The stored slideshows of a workspace: folder naming, the title and picture-list files, the
/// chooser lists and deletion. A slideshow is the folder `WorkspaceDir` + "Diashow_" + a number
/// of at least four digits; it holds its pictures, their "_THUMB_" thumbnails, its music,
/// `Diashow.ini` ("[DIASHOW]" with "Titel" and "Time") and `Pictures.ini` (one line per
/// picture in showing order: the file name, optionally " | " and the caption; CR LF).
///
/// This is the only code that reads or writes those two files: the list, the video build, the
/// gallery, the album, the packages and the player all see a slideshow through it.
class TSlideshowStore {
public:
    static constexpr QLatin1String FolderPrefix{"Diashow_"};
    /// The shipped folder that opens as an empty, untitled slideshow.
    static constexpr QLatin1String TemplateFolder{"del"};
    static constexpr QLatin1String DescriptionFile{"Diashow.ini"};
    static constexpr QLatin1String PicturesFile{"Pictures.ini"};
    static constexpr QLatin1String ThumbnailPrefix{"_THUMB_"};
    /// A picture list larger than this (some two million lines) is not one: a damaged or
    /// foreign file is never read whole into memory.
    static constexpr qint64 MaxListBytes = qint64(64) << 20;
    /// The same for `Diashow.ini`, which holds two short keys.
    static constexpr qint64 MaxDescriptionBytes = qint64(1) << 20;

    explicit TSlideshowStore(const TRunState& state);

    /// The next free folder name: one above the largest number of any workspace folder named
    /// like "word_number" (no "." in the name), four digits at least. Gaps are never reused,
    /// except when the numbers have run up to `MaxShowNumber`: then the smallest free one.
    QString NextShowName() const;
    /// Folder numbers above this are ignored for numbering, so it can never overflow.
    static constexpr qint64 MaxShowNumber = 999'999'999;

    /// One line per slideshow, "Diashow_0003 Urlaub 2005": every folder `IsShow` accepts, in
    /// the order of their numbers.
    QStringList ChooserEntries() const;
    /// The one rule for what is a slideshow, shared by the chooser, opening and deleting: a
    /// real folder (not a link) of the workspace whose name `IsShowFolderName` accepts and that
    /// holds a `Diashow.ini` file.
    bool IsShow(const QString& name) const;
    /// The folder name of a chooser line: its first blank-separated word.
    static QString FolderOfEntry(const QString& line);

    /// `WorkspaceDir` + name + "/".
    QString ShowDir(const QString& name) const;

    /// True for a bare folder name without ".", blanks and "DEL" in any letter case (the
    /// template folder and its kin are not slideshows).
    static bool IsShowFolderName(const QString& name);
    /// True for a plain file name: not empty, no folder separator, not "." or "..".
    static bool IsBareFileName(const QString& name);
    /// "SPECIALDUMMY" in any letter case, blanks around ignored.
    static bool IsTemplateTitle(const QString& title);

    struct TDescription {
        bool Exists = false;   ///< false when the folder has no `Diashow.ini`
        QString Title;         ///< trimmed; empty for the template title
        QString Seconds;       ///< as `TPreferences::ValidSeconds` makes it
        bool Template = false; ///< the title was the template title
    };
    TDescription ReadDescription(const QString& name) const;
    /// The same for any slideshow folder (a CD-ROM's, say).
    static TDescription ReadDescriptionAt(const QString& folder);

    /// Writes title and seconds; false with the cause in `error` when it cannot.
    bool WriteDescription(const QString& name, const QString& title, const QString& seconds,
                          QString* error = nullptr) const;

    /// The lines of the slideshow's `Pictures.ini`, blank lines left out.
    QStringList ReadPictureLines(const QString& name) const;
    static QStringList ReadPictureLinesAt(const QString& folder);
    /// Replaces `Pictures.ini` atomically, one CR LF line each; false with the cause in
    /// `error` when it cannot. The file is Windows-1252 when that holds every character of
    /// every line, UTF-8 otherwise (`TextCodec::EncodeLossless`).
    bool WritePictureLines(const QString& name, const QStringList& lines,
                           QString* error = nullptr) const;

    /// The pictures of a slideshow as every view and output sees them: the entries of the
    /// lines that name a regular file of the folder by a bare file name, in list order, with
    /// caption (thumbnail path empty). `dropped` gets the number of other non-blank lines:
    /// missing pictures and lines naming a path.
    QList<TPictureEntry> ReadPictures(const QString& name, int* dropped = nullptr) const;
    static QList<TPictureEntry> ReadPicturesAt(const QString& folder, int* dropped = nullptr);

    /// Deletes a slideshow folder with everything in it. Refuses (deleting nothing) unless
    /// `name` is a slideshow folder name of an existing real folder of the workspace.
    bool DeleteShow(const QString& name, QString* error = nullptr) const;
    /// Deletes every "*.jpg" file (thumbnails included) of a slideshow folder; refuses for
    /// anything but a slideshow folder, so the workspace root and the template stay intact.
    bool DeleteShowPictures(const QString& name) const;
    /// Deletes thumbnails ("_THUMB_" + name, "_THUMB_" + number + name, JPEG files) whose
    /// picture is no longer in the slideshow folder. A file the picture list names is a
    /// picture, never a stray thumbnail. Returns the number deleted.
    int CleanStrayThumbnails(const QString& name) const;
    /// True for a name that starts with `ThumbnailPrefix` in any letter case: reserved for
    /// thumbnails, so an imported picture never gets one.
    static bool IsThumbnailName(const QString& fileName);

    /// folder + base + "_" + n + "." + extension for the smallest n from 1 whose file does not
    /// exist; the base is the name's "."-words but the last, joined with ".".
    /// Names in `alsoTaken` (file names, letter case ignored) count as existing.
    static QString UniqueFileName(const QString& path, const QStringList& alsoTaken = {});

private:
    const TRunState& State;
};

} // namespace Lumerix
