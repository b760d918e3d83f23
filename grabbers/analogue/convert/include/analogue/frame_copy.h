// Conversions of the analogue boards' frames into host planes: pure
// functions, for the plug-in, its tests and the benchmarks.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zephon {

// Grey of `pixels` packed pixels of three bytes (blue, green, red):
// (145971 x byte 0 + 596793 x byte 1 + 303858 x byte 2 + 512) >> 20.
void GreyFromPackedBgr(const uint8_t* bgr, uint8_t* grey, std::size_t pixels);

// Keeps the low `bits` of each pixel, after swapping its two bytes when `swap`.
void MaskPixels(uint16_t* pixels, std::size_t count, int32_t bits, bool swap);

} // namespace zephon
