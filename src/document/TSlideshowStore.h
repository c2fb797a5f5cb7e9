#pragma once

#include <QString>
#include <QStringList>

namespace Lumerix {

class TRunState;

/// The stored slideshows of a workspace: folder naming, the title and picture-list files, the
/// chooser lists and deletion. A slideshow is the folder `WorkspaceDir` + "Diashow_" + a number
/// of at least four digits; it holds its pictures, their "_THUMB_" thumbnails, its music,
/// `Diashow.ini` ("[DIASHOW]" with "Titel" and "Time") and `Pictures.ini` (one line per
/// picture in showing order: the file name, optionally " | " and the caption; Windows-1252,
/// CR LF).
class TSlideshowStore {
public:
    static constexpr QLatin1String FolderPrefix{"Diashow_"};
    /// The shipped folder that opens as an empty, untitled slideshow.
    static constexpr QLatin1String TemplateFolder{"del"};
    static constexpr QLatin1String DescriptionFile{"Diashow.ini"};
    static constexpr QLatin1String PicturesFile{"Pictures.ini"};
    static constexpr QLatin1String ThumbnailPrefix{"_THUMB_"};

    explicit TSlideshowStore(const TRunState& state);

    /// The next free folder name: one above the largest number of any workspace folder named
    /// like "word_number" (no "." in the name), four digits at least. Gaps are never reused.
    QString NextShowName() const;

    /// One line per slideshow, "Diashow_0003 Urlaub 2005": folders with a `Diashow.ini`, no
    /// "." in the name, and no "DEL" in the upper-cased name, in the order of their numbers.
    QStringList ChooserEntries() const;
    /// The folder name of a chooser line: its first blank-separated word.
    static QString FolderOfEntry(const QString& line);

    /// `WorkspaceDir` + name + "/".
    QString ShowDir(const QString& name) const;

    /// True for "Diashow_" followed by digits only: the folders a delete may touch.
    static bool IsShowFolderName(const QString& name);
    /// True for a plain file name: not empty, no folder separator, not "." or "..".
    static bool IsBareFileName(const QString& name);
    /// "SPECIALDUMMY" in any letter case, blanks around ignored.
    static bool IsTemplateTitle(const QString& title);

    struct TDescription {
        bool Exists = false;   ///< false when the folder has no `Diashow.ini`
        QString Title;         ///< trimmed; empty for the template title
        QString Seconds;       ///< trimmed
        bool Template = false; ///< the title was the template title
    };
    TDescription ReadDescription(const QString& name) const;
    /// Writes title and seconds; false with the cause in `error` when it cannot.
    bool WriteDescription(const QString& name, const QString& title, const QString& seconds,
                          QString* error = nullptr) const;

    /// The lines of the slideshow's `Pictures.ini`, blank lines left out.
    QStringList ReadPictureLines(const QString& name) const;
    /// Replaces `Pictures.ini` atomically; false with the cause in `error` when it cannot.
    bool WritePictureLines(const QString& name, const QStringList& lines,
                           QString* error = nullptr) const;

    /// Deletes a slideshow folder with everything in it. Refuses (deleting nothing) unless
    /// `name` is a slideshow folder name of an existing real folder of the workspace.
    bool DeleteShow(const QString& name, QString* error = nullptr) const;
    /// Deletes every "*.jpg" file (thumbnails included) of a slideshow folder; refuses for
    /// anything but a slideshow folder, so the workspace root and the template stay intact.
    bool DeleteShowPictures(const QString& name) const;
    /// Deletes thumbnails ("_THUMB_" + name, "_THUMB_" + number + name) whose picture is no
    /// longer in the slideshow folder. Returns the number deleted.
    int CleanStrayThumbnails(const QString& name) const;

    /// folder + base + "_" + n + "." + extension for the smallest n from 1 whose file does not
    /// exist; the base is the name's "."-words but the last, joined with ".".
    /// Names in `alsoTaken` (file names, letter case ignored) count as existing.
    static QString UniqueFileName(const QString& path, const QStringList& alsoTaken = {});

private:
    const TRunState& State;
};

} // namespace Lumerix
