// The camera_type texts: format codes in DCAM or FireGrab notation.
#pragma once

#include <cstdint>
#include <string>

namespace iidc {

// Bit 31 of a format code: DCAM notation "Format:Mode:Rate"; clear: FireGrab
// notation "Resolution.Color.Rate". The three numbers are in bits 16-23, 8-15, 0-7.
constexpr uint32_t kDcamNotation = 0x80000000u;

// Parses exactly five characters: digit, separator, digit, separator, digit,
// both separators ':' (DCAM) or both '.' (FireGrab).
bool ParseCameraType(const char* text, uint32_t* format);

// "%d:%d:%d" or "%d.%d.%d"; `padded`: two digits each.
std::string FormatText(uint32_t format, bool padded);

// DCAM format 7 (a window of free size).
inline bool IsFormat7(uint32_t format)
{
    return (format & kDcamNotation) && ((format >> 16) & 0xFF) == 7;
}

// The FireGrab resolution number of a size (160 x 120 ... 1600 x 1200), -1 for others.
int StandardResolution(int32_t width, int32_t height);

} // namespace iidc
