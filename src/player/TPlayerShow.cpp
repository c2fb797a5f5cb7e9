#include "TPlayerShow.h"

#include "document/TAudioTrackList.h"
#include "document/TPictureEntry.h"
#include "document/TSlideshowStore.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace Lumerix {

namespace {

// Captions are one line; control characters from a damaged file would draw as boxes. Checked
// by code point, so letters beyond the first plane (an emoji) stay.
QString CleanCaption(const QString& caption) {
    QString clean;
    clean.reserve(caption.size());
    for (const char32_t c : caption.toUcs4()) {
        if (QChar::isPrint(c) || c == u' ')
            clean.append(QString::fromUcs4(&c, 1));
        else
            clean.append(u' ');
    }
    return clean.simplified();
}

} // namespace

TPlayerShow TPlayerShow::Load(const QString& folder) {
    TPlayerShow show;
    const QDir dir(folder);
    show.FolderPath = dir.absolutePath();
    show.FolderName = dir.dirName();

    const TSlideshowStore::TDescription description =
        TSlideshowStore::ReadDescriptionAt(show.FolderPath);
    show.ShowTitle = CleanCaption(description.Title);
    if (show.ShowTitle.isEmpty())
        show.ShowTitle = show.FolderName;
    if (description.Exists)
        show.PictureSeconds = description.Seconds.toInt();

    for (const TPictureEntry& entry :
         TSlideshowStore::ReadPicturesAt(show.FolderPath, &show.Skipped))
        show.PictureList.append(
            {dir.filePath(entry.FileName), entry.FileName, CleanCaption(entry.Caption)});
    if (QFileInfo(show.FolderPath).isDir())
        show.TrackList = TAudioTrackList::TrackPaths(show.FolderPath);
    return show;
}

} // namespace Lumerix
