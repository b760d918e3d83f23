// The maximum delay of an asynchronous grab, as the plug-ins keep it.
#pragma once

#include <cstdint>

namespace fg {

// `delay` in whole milliseconds, rounded to the nearest: a delay beyond
// int32_t's range is held at its end, so that a huge one stays no limit; NaN
// is 0.
int32_t RoundedDelay(double delay);

} // namespace fg
