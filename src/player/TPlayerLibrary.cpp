#include "TPlayerLibrary.h"

#include "TPlayList.h"
#include "document/TSlideshowStore.h"

#include <QDir>

namespace Lumerix {

TPlayerLibrary TPlayerLibrary::Load(const QString& folder) {
    TPlayerLibrary library;
    const QDir dir(folder);
    QStringList available;
    for (const QString& name : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (TSlideshowStore::IsShowFolderName(name))
            available.append(name);
    }
    const TPlayList playList = TPlayList::Load(dir.filePath(QStringLiteral("play.ply")));
    for (const QString& name : playList.Order(available)) {
        TPlayerShow show = TPlayerShow::Load(dir.filePath(name));
        if (!show.Pictures().isEmpty())
            library.ShowList.append(std::move(show));
    }
    return library;
}

int TPlayerLibrary::IndexOf(const QString& name) const {
    for (qsizetype i = 0; i < ShowList.size(); ++i) {
        if (ShowList[i].Name().compare(name, Qt::CaseInsensitive) == 0)
            return int(i);
    }
    return -1;
}

} // namespace Lumerix
