#include "TransitionChoice.h"

namespace Lumerix {

std::optional<TEffectParameters> ChooseTransition(const TPlayerSettings& settings,
                                                  const TEffectsFile* effects,
                                                  QRandomGenerator& random) {
    if (!effects || settings.EffectMode == TEffectMode::Off)
        return std::nullopt;
    int number = settings.Effect;
    if (settings.EffectMode == TEffectMode::Random) {
        if (effects->Count() < 2)
            return std::nullopt;
        number = 1 + int(random.bounded(quint32(effects->Count() - 1)));
    }
    try {
        const TEffectParameters parameters = effects->Effect(number);
        if (!FindTransition(parameters.PaintEffect))
            return std::nullopt;
        return parameters;
    } catch (const TEffectsError&) {
        return std::nullopt;
    }
}

} // namespace Lumerix
