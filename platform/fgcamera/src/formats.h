// The IIDC formats the simulated cameras know: the standard modes of formats
// 0 to 2, the frame rates, FireGrab resolution numbers and frame sizes.
#pragma once

#include <cstdint>

namespace fgcam {

struct Geometry {
    uint32_t width;
    uint32_t height;
    uint32_t coding; // CM_*
};

// The three numbers of a format code, bits 16-23, 8-15 and 0-7.
inline uint32_t First(uint32_t code) { return (code >> 16) & 0xFF; }
inline uint32_t Second(uint32_t code) { return (code >> 8) & 0xFF; }
inline uint32_t Third(uint32_t code) { return code & 0xFF; }
inline uint32_t Code(uint32_t first, uint32_t second, uint32_t third)
{
    return (first << 16) | (second << 8) | third;
}

constexpr uint32_t kDcam = 0x80000000u; // bit 31: DCAM notation
constexpr uint32_t kAny = 0xFF;         // a number that matches any

// The standard mode `mode` of DCAM format 0, 1 or 2; false for any other.
bool StandardMode(uint32_t format, uint32_t mode, Geometry* geometry);

// Frames a second of rate number `rate` (0-5: 1.875 to 60); 0 for others.
double RateOf(uint32_t rate);

// The FireGrab resolution number of a size; false when it has none.
bool ResolutionOf(uint32_t width, uint32_t height, uint32_t* resolution);

// Bytes of one frame; 0 for a coding the simulation does not make (not CM_Y8 ... CM_Y16).
uint64_t FrameBytes(const Geometry& geometry);

} // namespace fgcam
