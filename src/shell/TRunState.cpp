#include "TRunState.h"

#include "Strings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace Lumerix {

using Strings::FolderPath;

TFolderLocations TFolderLocations::ForThisUser() {
    TFolderLocations locations;
    const QString programOverride = qEnvironmentVariable("LUMERIX_PROGRAM_DIR");
    locations.ProgramDir =
        FolderPath(!programOverride.isEmpty()
                       ? programOverride
                       : QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                             QStringLiteral("/lumerix"));
    const QString kitOverride = qEnvironmentVariable("LUMERIX_KIT_DIR");
    locations.KitDir = FolderPath(!kitOverride.isEmpty() ? kitOverride
                                                         : QCoreApplication::applicationDirPath() +
                                                               QStringLiteral("/../share/lumerix"));
    locations.HomeDir = FolderPath(QDir::homePath());
    const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    // Without a desktop folder of its own, the desktop location falls back to the home folder;
    // a launcher does not belong there.
    if (!desktop.isEmpty() && FolderPath(desktop) != locations.HomeDir)
        locations.DesktopDir = FolderPath(desktop);
    locations.DocumentsDir =
        FolderPath(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
    return locations;
}

TRunState::TRunState(const TFolderLocations& locations, QString languageCode)
    : ProgramDir(FolderPath(locations.ProgramDir)), KitDir(FolderPath(locations.KitDir)),
      HomeDir(FolderPath(locations.HomeDir)), DesktopDir(FolderPath(locations.DesktopDir)),
      PersonalDir(FolderPath(locations.DocumentsDir.isEmpty() ? locations.HomeDir
                                                              : locations.DocumentsDir)),
      Lang(std::move(languageCode), FolderPath(locations.KitDir) + QStringLiteral("Language.ini")) {
    ScreensaverDir = PersonalDir + Lang.Pick(QStringLiteral("Diashow_Screensaver/"),
                                             QStringLiteral("Slideshow_Screensaver/"));
    SetWorkspaceBase(QString());
}

void TRunState::SetWorkspaceBase(const QString& base) {
    OverrideWorkspaceBase(base);
    StoredBase = Base;
}

void TRunState::OverrideWorkspaceBase(const QString& base) {
    Base = FolderPath(base.trimmed().isEmpty() ? HomeDir : base.trimmed());
    WorkspaceDir = Base + Lang.Pick(QStringLiteral("Diashow/"), QStringLiteral("Slideshow/"));
    VideoDir = Base + Lang.Pick(QStringLiteral("DVD-Diashow/"), QStringLiteral("DVD-Slideshow/"));
    EncoderDir = VideoDir + QStringLiteral("encoder/");
    CdRomDir =
        Base + Lang.Pick(QStringLiteral("CDROM-Diashow/"), QStringLiteral("CDROM-Slideshow/"));
}

TIniFile GeneratorIni(const QString& programDir, const QString& kitDir) {
    return TIniFile(FolderPath(programDir) + QStringLiteral("Generator.ini"),
                    FolderPath(kitDir) + QStringLiteral("Generator.ini"));
}

TIniFile TRunState::GeneratorIni() const {
    return Lumerix::GeneratorIni(ProgramDir, KitDir);
}

bool TRunState::TipsWanted() const {
    return !QFileInfo::exists(ProgramFile(QStringLiteral("NoTip.ini")));
}

void TRunState::SetTipsWanted(bool wanted) const {
    const QString marker = ProgramFile(QStringLiteral("NoTip.ini"));
    if (wanted) {
        QFile::remove(marker);
    } else {
        QFile file(marker);
        file.open(QIODevice::WriteOnly);
    }
}

QString TRunState::PlayerName() const {
    return Lang.Pick(QStringLiteral("Diashow-Player"), QStringLiteral("Slideshow-Player"));
}

QString TRunState::Caption() const {
    const QString product = QString::fromUtf16(ProductName);
    return CurrentShow.isEmpty() ? product : product + QStringLiteral(" : ") + ShowTitle;
}

} // namespace Lumerix
