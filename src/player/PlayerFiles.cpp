#include "PlayerFiles.h"

#include <QFileInfo>

namespace Lumerix::PlayerFiles {

bool IsFileWithin(const QString& path, qint64 limit) {
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    return info.isFile() && info.size() <= limit;
}

TIniFile ReadIni(const QString& path) {
    return TIniFile(IsFileWithin(path, MaxIniBytes) ? path : QString());
}

} // namespace Lumerix::PlayerFiles
