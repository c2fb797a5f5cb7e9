#include "PlayerFiles.h"

#include "shell/TextCodec.h"

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

QStringList ReadLines(const QString& path, qint64 limit) {
    if (!IsFileWithin(path, limit))
        return {};
    return TextCodec::ReadLines(path);
}

} // namespace Lumerix::PlayerFiles
