#include "TIntro.h"

#include "PlayerFiles.h"
#include "document/TSlideshowStore.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace Lumerix {

TIntro TIntro::Load(const QString& path) {
    TIntro intro;
    if (!PlayerFiles::IsFileWithin(path, PlayerFiles::MaxIniBytes))
        return intro;
    const TIniFile ini = PlayerFiles::ReadIni(path);
    const QString section = QStringLiteral("INTRO");
    intro.Enabled = ini.ReadBool(section, QStringLiteral("Enabled"), false);
    bool ok = false;
    const qint64 seconds =
        ini.ReadString(section, QStringLiteral("Seconds"), QString()).trimmed().toLongLong(&ok);
    if (ok)
        intro.Seconds = int(std::clamp<qint64>(seconds, 1, MaxSeconds));
    // Only a picture beside the file: a path could point anywhere on the disc or the disk.
    const QString picture = ini.ReadString(section, QStringLiteral("Picture"), QString()).trimmed();
    if (TSlideshowStore::IsBareFileName(picture)) {
        const QString full = QFileInfo(path).dir().filePath(picture);
        if (QFileInfo(full).isFile())
            intro.PicturePath = full;
    }
    return intro;
}

} // namespace Lumerix
