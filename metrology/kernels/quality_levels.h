// Equal-population quantisation of a quality sum into the unwrapper's levels.
#pragma once

#include <array>
#include <cstdint>

namespace metrology {

// Levels 0 (best) to 20 are walked; the quantisation can produce up to 50.
inline constexpr int kLastWalkedLevel = 20;
inline constexpr int kHighestLevel = 50;
using LevelCounts = std::array<std::int32_t, kHighestLevel + 1>;

// Cuts the quality sums (counted when in 0..3560) into levels of about one
// twentieth of P = (width - 1) x (height - 1) each, best (lowest) quality first;
// a value that crosses a boundary still belongs to the level before it. With
// `set_aside_smallest` the smallest value goes to level 20 and the pixels of quality
// 0 are left out of the population. Sums outside 0..3560 go to level 20, the worst
// walked level; so does every pixel when no sum is in range. Writes the level of
// every pixel to `levels` and returns the pixel count of each level.
LevelCounts QuantiseQuality(const std::int32_t* quality, int width, int height, bool set_aside_smallest,
                            std::uint8_t* levels);

} // namespace metrology
