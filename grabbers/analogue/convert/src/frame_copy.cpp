#include "analogue/frame_copy.h"

namespace zephon {

void GreyFromPackedBgr(const uint8_t* bgr, uint8_t* grey, std::size_t pixels)
{
    for (std::size_t i = 0; i < pixels; ++i, bgr += 3)
        grey[i] = uint8_t((145971u * bgr[0] + 596793u * bgr[1] + 303858u * bgr[2] + 512u) >> 20);
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
