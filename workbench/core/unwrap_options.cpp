#include "unwrap_options.h"

namespace {

enum Quality { kVariance = 0, kLinearity = 1, kLaplacian = 2, kLeastSquares5x5 = 3 };

} // namespace

UnwrapFlags UnwrapFlagsOf(const UnwrapOptions& o, bool maskChosen)
{
    struct Rule {
        bool when;
        UnwrapFlags bits;
    };
    const Rule rules[] = {
        {o.discontinuities != 0, UW_DISCONTINUITIES},
        {o.invert != 0, UW_INVERT},
        {o.poles != 0, UW_POLES},
        {o.noise == 1, UW_NOISE_TYPE1},
        {o.quality == kVariance, UW_QUALITY_VARIANCE},
        {o.noise == 3, UW_NOISE_EXTRA | UW_NOISE_HISTOGRAM},
        {o.noise == 2, UW_NOISE_HISTOGRAM},
        {o.quality == kLeastSquares5x5, UW_QUALITY_LSQ5X5},
        {maskChosen, UW_MASK},
        {o.quality == kLaplacian, UW_QUALITY_LAPLACIAN},
        {o.quality == kLinearity, UW_QUALITY_LINEARITY},
    };
    UnwrapFlags flags = 0;
    for (const Rule& rule : rules)
        if (rule.when)
            flags += rule.bits;
    return flags;
}

UnwrapOptions ApplyUnwrapPreset(UnwrapOptions o, int preset)
{
    switch (preset) {
    case PRESET_NORMAL_FRINGES:
        o.quality = kVariance;
        o.discontinuities = 0;
        break;
    case PRESET_PHYSICAL_DISCONTINUITIES:
        o.quality = kVariance;
        o.discontinuities = 1;
        break;
    case PRESET_STRONG_DISCONTINUITIES:
        o.quality = kLeastSquares5x5;
        o.discontinuities = 1;
        break;
    case PRESET_CONTINUOUS_BACKGROUND:
        o.noise = o.continuousBackground ? 2 : 0;
        break;
    case PRESET_VERY_FINE_FRINGES:
        o.poles = o.veryFineFringes ? 1 : 0;
        break;
    case PRESET_DEFAULTS:
        o = UnwrapOptions{};
        break;
    }
    return o;
}
