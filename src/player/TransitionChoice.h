#pragma once

#include "TPlayerSettings.h"
#include "imaging/TTransition.h"

#include <QRandomGenerator>

#include <optional>

namespace Lumerix {

/// The effect of the next transition, or nothing for a cut. Mode ON takes line `Effect` of
/// `Effects.ini`; RANDOM a random line from the first to the last but one (the last line is
/// never drawn); OFF cuts. A missing file, a missing or bad line and an effect the painter
/// does not know cut as well, so a damaged `Effects.ini` never stops a show.
std::optional<TEffectParameters> ChooseTransition(const TPlayerSettings& settings,
                                                  const TEffectsFile* effects,
                                                  QRandomGenerator& random);

} // namespace Lumerix
