#pragma once

#include "Strings.h"
#include "TRunState.h"

#include <QString>

#include <memory>

namespace Lumerix {

class TPrompter;

/// The start-up steps shared by the program and the command-line tool.
namespace TStartup {

/// True once a language was chosen ("LanguageIsSet.ini" in the program folder): the chooser
/// is not shown again.
bool LanguageIsSet(const TFolderLocations& locations);

/// Keeps the chooser's language for every later start: stores it in `Generator.ini` and
/// creates the marker. False with `error` set when either cannot be written.
bool RecordChosenLanguage(const TFolderLocations& locations, const QString& code,
                          QString* error = nullptr);

/// Loads the language and the preferences into a new run state. A missing `Generator.ini` or
/// `Language.ini` is reported through `prompter` and the run goes on with the defaults.
/// `languageOverride` and `baseOverride`, when not empty, apply to this run only.
std::unique_ptr<TRunState> CreateRunState(const TFolderLocations& locations, TPrompter& prompter,
                                          const QString& programName,
                                          const QString& languageOverride = {},
                                          const QString& baseOverride = {});

/// Prepares the workspace; when a folder cannot be created the error is shown and the user may
/// choose another base folder (kept for the next start too). False when the user gives up.
bool PrepareWorkspace(TRunState& state, TPrompter& prompter);

} // namespace TStartup

} // namespace Lumerix
