#include "TStartup.h"

#include "TPreferences.h"
#include "TPrompter.h"
#include "TWorkspace.h"
#include "TextCodec.h"

#include <QFileInfo>

namespace Lumerix::TStartup {

namespace {

QString MarkerPath(const TFolderLocations& locations) {
    return Strings::FolderPath(locations.ProgramDir) + QStringLiteral("LanguageIsSet.ini");
}

} // namespace

bool LanguageIsSet(const TFolderLocations& locations) {
    return QFileInfo::exists(MarkerPath(locations));
}

bool RecordChosenLanguage(const TFolderLocations& locations, const QString& code, QString* error) {
    if (!TPreferences::StoreLanguage(GeneratorIni(locations.ProgramDir, locations.KitDir), code,
                                     error))
        return false;
    QString cause;
    if (!TextCodec::WriteFileAtomic(MarkerPath(locations), QByteArray(), &cause)) {
        if (error)
            *error = MarkerPath(locations) + QStringLiteral(": ") + cause;
        return false;
    }
    return true;
}

std::unique_ptr<TRunState> CreateRunState(const TFolderLocations& locations, TPrompter& prompter,
                                          const QString& programName,
                                          const QString& languageOverride,
                                          const QString& baseOverride) {
    const QString programDir = Strings::FolderPath(locations.ProgramDir);
    if (!GeneratorIni(locations.ProgramDir, locations.KitDir).Exists())
        prompter.Error(programDir + QStringLiteral("Generator.ini nicht gefunden!"));
    const QString code =
        languageOverride.isEmpty() ? TPreferences::StoredLanguage(locations) : languageOverride;

    auto state = std::make_unique<TRunState>(locations, code);
    if (!QFileInfo::exists(state->LanguageIniPath()))
        prompter.Error(state->KitDir + QStringLiteral("Language.ini nicht gefunden!"));
    state->GermanEdition = programName.contains(QStringLiteral("diashow"), Qt::CaseInsensitive);
    TPreferences::Load(*state);
    if (!baseOverride.isEmpty())
        state->OverrideWorkspaceBase(baseOverride);
    return state;
}

bool PrepareWorkspace(TRunState& state, TPrompter& prompter) {
    for (;;) {
        const TWorkspace::TPrepareResult result = TWorkspace::Prepare(state);
        if (result.Ok)
            return true;
        prompter.Error(result.Error);
        const QString base = prompter.ChooseFolder(state.Text(1121), state.HomeDir);
        if (base.isEmpty())
            return false;
        state.SetWorkspaceBase(base);
        QString error;
        if (!TPreferences::Save(state, &error))
            prompter.Error(error);
    }
}

} // namespace Lumerix::TStartup
