// The quality sum on its way to the unwrapper: the noise types' kept-pixel mask and
// the equal-population quantisation into levels.
#pragma once

#include <array>
#include <cstdint>

namespace metrology {

// Level 20 closes the twenty equal-population levels (0 is the best). Where the
// population is small next to the image frame (small images, small masked objects)
// the quantisation runs on past it, up to 50.
inline constexpr int kLastLevel = 20;
inline constexpr int kHighestLevel = 50;
using LevelCounts = std::array<std::int32_t, kHighestLevel + 1>;

// Noise types 2 and 3: only pixels of non-zero quality are kept; kept pixels get
// quality + 1, the others 0. With `erosion_work` the kept-pixel mask is first eroded
// once: every centre with a full 3 x 3 neighbourhood lowers that neighbourhood to
// its minimum, so a dropped pixel drops its 5 x 5 neighbourhood. `kept` and
// `erosion_work` are width x height scratch bytes.
void KeepNonZeroQuality(std::int32_t* quality, std::uint8_t* kept, std::uint8_t* erosion_work,
                        int width, int height);

// Cuts the quality sums (counted when in 0..3560) into levels of about one
// twentieth of P = (width - 1) x (height - 1) each, best (lowest) quality first;
// a value that crosses a boundary still belongs to the level before it. With
// `set_aside_smallest` the smallest value goes to level 20 and the pixels of quality
// 0 are left out of the population. Sums outside 0..3560 go to level 20, the last
// level; so does every pixel when no sum is in range. Writes the level of
// every pixel to `levels` and returns the pixel count of each level.
LevelCounts QuantiseQuality(const std::int32_t* quality, int width, int height,
                            bool set_aside_smallest, std::uint8_t* levels);

} // namespace metrology
