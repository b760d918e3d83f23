#include <base/exposure.h>

#include <algorithm>

namespace ondula {

int64_t ExposedSample(int64_t sample, int64_t exposure, int64_t gain, int64_t neutral_exposure,
                      int64_t neutral_gain, int64_t max)
{
    return std::clamp<int64_t>(sample * exposure * gain / (neutral_exposure * neutral_gain), 0,
                               max);
}

} // namespace ondula
