#include "analogue/frame_copy.h"

#include <array>

namespace zephon {

namespace {

// Each byte's weighted level, the rounding half folded into blue: three
// look-ups and two additions a pixel instead of three multiplications.
struct WeightedLevels {
    std::array<uint32_t, 256> blue{}, green{}, red{};
    constexpr WeightedLevels()
    {
        for (uint32_t level = 0; level < 256; ++level) {
            blue[level] = 145971u * level + 512u;
            green[level] = 596793u * level;
            red[level] = 303858u * level;
        }
    }
};

constexpr WeightedLevels kWeighted;

} // namespace

void GreyFromPackedBgr(const uint8_t* bgr, uint8_t* grey, std::size_t pixels)
{
    for (std::size_t i = 0; i < pixels; ++i, bgr += 3)
        grey[i] = uint8_t(
            (kWeighted.blue[bgr[0]] + kWeighted.green[bgr[1]] + kWeighted.red[bgr[2]]) >> 20);
}

void MaskPixels(uint16_t* pixels, std::size_t count, int32_t bits, bool swap)
{
    const uint16_t mask = uint16_t(bits >= 16 ? 0xFFFF : (1u << bits) - 1);
    for (std::size_t i = 0; i < count; ++i) {
        const uint16_t value = swap ? uint16_t((pixels[i] << 8) | (pixels[i] >> 8)) : pixels[i];
        pixels[i] = value & mask;
    }
}

} // namespace zephon
