// The names of capability values that open parameters, parameters, info
// answers and saved settings use, in the order of their values.
#pragma once

#include <cstddef>
#include <cstring>

namespace vfgtwain {

// "bw" 0 ... "ciexyz" 8: ICAP_PIXELTYPE.
inline constexpr const char* kPixelTypeNames[] = {"bw",   "gray", "rgb",  "palette", "cmy",
                                                  "cmyk", "yuv",  "yuvk", "ciexyz"};
// "inches" 0 ... "pixels" 5: ICAP_UNITS.
inline constexpr const char* kUnitNames[] = {"inches", "centimeters", "picas",
                                             "points", "twips",       "pixels"};
inline constexpr const char* kLightPathNames[] = {"reflective", "transmissive"};
inline constexpr const char* kXferMechNames[] = {"native", "file", "memory"};

// The index of `name` in `names`, or -1.
template <std::size_t N> int IndexOf(const char* const (&names)[N], const char* name)
{
    for (std::size_t i = 0; i < N; ++i)
        if (name && std::strcmp(names[i], name) == 0)
            return int(i);
    return -1;
}

// The name of `value`, or null when it has none.
template <std::size_t N> const char* NameOf(const char* const (&names)[N], double value)
{
    for (std::size_t i = 0; i < N; ++i)
        if (value == double(i))
            return names[i];
    return nullptr;
}

} // namespace vfgtwain
