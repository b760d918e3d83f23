// Rules shared by the operators: how a computed value becomes a byte, and when
// two images may be combined.
#pragma once

#include <cstdint>

#include <verodyn/object.h>
#include <verodyn/status.h>

namespace verodyn::detail {

// Rounds to the nearest integer (halves upwards) and clips to 0..255; NaN gives 0.
inline std::uint8_t saturate_byte(double value)
{
    if (!(value > 0.0))
        return 0;
    if (value >= 254.5)
        return 255;
    return static_cast<std::uint8_t>(value + 0.5);
}

// V_OK when both images exist and have the same pixel type, size and channel count.
inline Vstatus check_same_layout(const VImage* a, const VImage* b)
{
    if (!a || !b)
        return VERR_NO_OBJECT;
    if (a->type() != b->type())
        return VERR_TYPE_MISMATCH;
    if (a->width() != b->width() || a->height() != b->height())
        return VERR_SIZE_MISMATCH;
    if (a->channels() != b->channels())
        return VERR_CHANNEL_MISMATCH;
    return V_OK;
}

} // namespace verodyn::detail
