#include "acquire/TScanner.h"
#include "shell/Jobs.h"
#include "shell/QtTranslations.h"
#include "shell/TRunState.h"
#include "shell/TStartup.h"
#include "shell/ui/ApplicationLook.h"
#include "shell/ui/TDialogPrompter.h"
#include "shell/ui/TLanguageForm.h"
#include "shell/ui/TMainForm.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>

using namespace Lumerix;

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    const Lumerix::Jobs::TDrainOnExit drainJobs;
    ApplicationLook::SetUp();

    // SANE ends before main returns, after the windows that may hold a device are gone.
    const SaneSession::TScope sane;
    TDialogPrompter prompter;
    const TFolderLocations locations = TFolderLocations::ForThisUser();
    QDir().mkpath(locations.ProgramDir);

    if (!TStartup::LanguageIsSet(locations)) {
        TLanguageForm chooser(prompter, locations.KitDir + QStringLiteral("recom"));
        if (chooser.exec() == QDialog::Accepted) {
            QString error;
            if (!TStartup::RecordChosenLanguage(locations, chooser.ChosenCode(), &error))
                prompter.Error(error);
        }
    }

    const std::unique_ptr<TRunState> state = TStartup::CreateRunState(
        locations, prompter, QFileInfo(QCoreApplication::applicationFilePath()).fileName());
    QtTranslations::Install(state->Language().Code());
    TMainForm mainForm(*state, prompter);
    prompter.SetParent(&mainForm);
    if (!mainForm.Prepare())
        return 1;
    mainForm.showMaximized();
    return QApplication::exec();
}
