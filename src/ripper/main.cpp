#include "ripper/TCdRipper.h"
#include "ripper/ui/TRipperForm.h"
#include "shell/Jobs.h"
#include "shell/QtTranslations.h"
#include "shell/TPreferences.h"
#include "shell/TRunState.h"

#include <QApplication>
#include <QMessageBox>

using namespace Lumerix;

// The CD ripper: reads Ripper.ini from the program folder and rips the chosen tracks of the
// disc into the slideshow folder it names. "--all" rips every track without asking.
int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    const Lumerix::Jobs::TDrainOnExit drainJobs;
    const TFolderLocations locations = TFolderLocations::ForThisUser();
    const QString language = TPreferences::StoredLanguage(locations);
    const bool german = language == u"GERMAN";
    QtTranslations::Install(language);
    const QString folder = CdRipper::TargetFolder(locations.ProgramDir);
    if (folder.isEmpty()) {
        QMessageBox::critical(nullptr, QStringLiteral("Ripper"),
                              locations.ProgramDir +
                                  QStringLiteral("Ripper.ini: no slideshow folder to rip into"));
        return 1;
    }
    TRipperForm form(german, folder);
    const bool all = application.arguments().contains(QStringLiteral("--all"));
    form.SetUnattended(all);
    form.show();
    if (!form.ReadDisc() && all)
        return 1;
    if (all)
        form.StartRip(true);
    form.exec();
    return form.Written().isEmpty() ? 1 : 0;
}
