#include <fgint/delay.h>

#include <cmath>
#include <limits>

namespace fg {

int32_t RoundedDelay(double delay)
{
    if (!(delay > std::numeric_limits<int32_t>::min()))
        return std::isnan(delay) ? 0 : std::numeric_limits<int32_t>::min();
    if (!(delay < std::numeric_limits<int32_t>::max()))
        return std::numeric_limits<int32_t>::max();
    return int32_t(std::lround(delay));
}

} // namespace fg
