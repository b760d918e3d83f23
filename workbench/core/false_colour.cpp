#include "false_colour.h"

#include <algorithm>
#include <array>

namespace {

// Band w / 32, k = w mod 32, v = 96 + 5 k: grey 3 k, cyan, blue over a dim
// red-green, magenta, red, green, yellow, grey 128 + 4 k.
constexpr Rgb8 Entry(int w)
{
    const int k = w % 32;
    const auto v = static_cast<uint8_t>(96 + 5 * k);
    switch (w / 32) {
    case 0: {
        const auto dark = static_cast<uint8_t>(3 * k);
        return {dark, dark, dark};
    }
    case 1:
        return {0, v, v};
    case 2:
        return {30, 30, v};
    case 3:
        return {v, 0, v};
    case 4:
        return {v, 0, 0};
    case 5:
        return {0, v, 0};
    case 6:
        return {v, v, 0};
    default: {
        const auto light = static_cast<uint8_t>(128 + 4 * k);
        return {light, light, light};
    }
    }
}

constexpr std::array<Rgb8, 256> MakePalette()
{
    std::array<Rgb8, 256> palette{};
    for (int w = 0; w < 256; ++w)
        palette[w] = Entry(w);
    return palette;
}

constexpr std::array<Rgb8, 256> kPalette = MakePalette();

} // namespace

Rgb8 FalseColour(int grey) { return kPalette[std::clamp(grey, 0, 255)]; }

void FalseColourPlanes(const uint8_t* grey, std::size_t count, uint8_t* red, uint8_t* green,
                       uint8_t* blue)
{
    for (std::size_t i = 0; i < count; ++i) {
        const Rgb8 c = kPalette[grey[i]];
        red[i] = c.r;
        green[i] = c.g;
        blue[i] = c.b;
    }
}
