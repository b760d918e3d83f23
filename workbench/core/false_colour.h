// The false-colour palette of the live pseudo-colour view: 256 grey levels in
// eight bands of 32, a dark grey ramp, six hues and a light grey ramp.
#pragma once

#include <cstddef>
#include <cstdint>

struct Rgb8 {
    uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Rgb8&) const = default;
};

// The palette entry of grey level `grey`, clamped to 0..255 first.
Rgb8 FalseColour(int grey);

// Writes the palette entry of each of the `count` grey levels into the planes.
void FalseColourPlanes(const uint8_t* grey, std::size_t count, uint8_t* red, uint8_t* green,
                       uint8_t* blue);
