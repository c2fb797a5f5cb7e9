#pragma once

#include <QString>
#include <QStringList>

namespace Lumerix {

class TRunState;

/// The workspace tree on the chosen base folder and the program folder's work files.
namespace TWorkspace {

struct TPrepareResult {
    bool Ok = false;
    bool FirstRun = false; ///< the workspace root was created and seeded with the samples
    QString Error;         ///< names the folder and the cause when not Ok
};

/// Lays out the workspace as every start does: creates the missing folders, seeds a new
/// workspace with the two sample slideshows, refreshes the player kit, the template and the
/// encoder kit, places the desktop launcher and writes the player's `Language.ini`. Stops at
/// the first folder that cannot be created, with nothing seeded. Missing kit files are skipped.
TPrepareResult Prepare(TRunState& state);

/// Lines of the kit's `Effects.ini`: the number of transition effects.
int CountEffects(const TRunState& state);

/// The close steps: deletes the undo copies and work files of the program folder and saves
/// the preferences. False with `error` set when the preferences could not be saved.
bool CloseDown(TRunState& state, QString* error = nullptr);

/// Folders a workspace may live on: the home folder, then every mounted, writable volume.
QStringList CandidateBases(const TRunState& state);

/// Message numbers handed to the player in section "PLAYER" of the workspace `Language.ini`.
inline constexpr int PlayerTextNumbers[] = {100001, 100002, 100003, 100004};

} // namespace TWorkspace

} // namespace Lumerix
