#pragma once

#include "shell/TPreferences.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace Lumerix {

/// One picture the player shows.
struct TPlayerPicture {
    QString Path;     ///< full path of the JPEG file
    QString FileName; ///< as listed in `Pictures.ini`
    QString Caption;  ///< may be empty
};

/// A slideshow folder as the player reads it: title and seconds from `Diashow.ini`, the
/// pictures of `Pictures.ini` that are there, and the music, all read as the program's picture
/// list reads them. Reading never fails: lines without a plain file name, pictures that are
/// missing and anything unreadable are left out.
class TPlayerShow {
public:
    /// Reads the slideshow in `folder` (its full path).
    static TPlayerShow Load(const QString& folder);

    const QString& Name() const { return FolderName; } ///< "Diashow_0003"
    const QString& Folder() const { return FolderPath; }
    /// The title; the folder name when the show has none.
    const QString& Title() const { return ShowTitle; }
    /// Seconds each picture stays, 1 .. 3600 (`TPreferences::MaxSeconds`).
    int Seconds() const { return PictureSeconds; }
    const QList<TPlayerPicture>& Pictures() const { return PictureList; }
    /// The music files in playing order: "*.mp3" and "*.wav" by name.
    const QStringList& Tracks() const { return TrackList; }
    /// Lines of `Pictures.ini` that named no picture that could be shown.
    int SkippedLines() const { return Skipped; }

private:
    QString FolderName;
    QString FolderPath;
    QString ShowTitle;
    int PictureSeconds = TPreferences::DefaultSeconds;
    QList<TPlayerPicture> PictureList;
    QStringList TrackList;
    int Skipped = 0;
};

} // namespace Lumerix
