// How a simulated camera's picture answers its exposure and gain.
#pragma once

#include <cstdint>

namespace ondula {

// `sample` as a camera exposing with `exposure` and amplifying by `gain`
// delivers it, when it is `sample` at `neutral_exposure` and `neutral_gain`:
// proportional to both, truncated and clipped to 0..`max`.
int64_t ExposedSample(int64_t sample, int64_t exposure, int64_t gain, int64_t neutral_exposure,
                      int64_t neutral_gain, int64_t max);

} // namespace ondula
