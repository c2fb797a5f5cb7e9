#include "TPlayerShow.h"

#include "PlayerFiles.h"
#include "document/TAudioTrackList.h"
#include "document/TPictureEntry.h"
#include "document/TSettings.h"
#include "document/TSlideshowStore.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace Lumerix {

namespace {

// Captions are one line; control characters from a damaged file would draw as boxes.
QString CleanCaption(const QString& caption) {
    QString clean;
    clean.reserve(caption.size());
    for (const QChar c : caption)
        clean.append(c.isPrint() || c == u' ' ? c : QChar(u' '));
    return clean.simplified();
}

} // namespace

TPlayerShow TPlayerShow::Load(const QString& folder) {
    TPlayerShow show;
    const QDir dir(folder);
    show.FolderPath = dir.absolutePath();
    show.FolderName = dir.dirName();

    const TIniFile description =
        PlayerFiles::ReadIni(dir.filePath(TSlideshowStore::DescriptionFile));
    const QString section = QStringLiteral("DIASHOW");
    show.ShowTitle =
        CleanCaption(description.ReadString(section, QStringLiteral("Titel"), QString()));
    if (show.ShowTitle.isEmpty() || TSlideshowStore::IsTemplateTitle(show.ShowTitle))
        show.ShowTitle = show.FolderName;
    const QString seconds = Settings::ValidSeconds(
        description.ReadString(section, QStringLiteral("Time"), QString::number(DefaultSeconds)));
    show.PictureSeconds = std::clamp(seconds.toInt(), 1, MaxSeconds);

    for (const QString& line :
         PlayerFiles::ReadLines(dir.filePath(TSlideshowStore::PicturesFile))) {
        if (line.trimmed().isEmpty())
            continue;
        const TPictureEntry entry = TPictureEntry::FromPicturesLine(line, QString());
        const QString path = dir.filePath(entry.FileName);
        if (!TSlideshowStore::IsBareFileName(entry.FileName) ||
            entry.FileName.startsWith(TSlideshowStore::ThumbnailPrefix, Qt::CaseInsensitive) ||
            !QFileInfo(path).isFile()) {
            ++show.Skipped;
            continue;
        }
        show.PictureList.append({path, entry.FileName, CleanCaption(entry.Caption)});
    }
    if (QFileInfo(show.FolderPath).isDir())
        show.TrackList = TAudioTrackList::TrackPaths(show.FolderPath);
    return show;
}

} // namespace Lumerix
