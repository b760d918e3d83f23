// Quality maps of a wrapped phase image for the unwrapper: per-pixel badness,
// larger meaning less trustworthy phase. Each takes width x height wrapped phases
// (256 per fringe, pixel (x, y) at y x width + x) and writes width x height ints.
// Differences are taken modulo a fringe (kernels/wrapped_phase.h).
#pragma once

#include <cstdint>

namespace metrology {

// Sum over the 8 neighbours of WrappedDiff(centre, neighbour), 0..1024. On the
// image's edge: 8 x (sum over the neighbours inside) / their count, truncated.
void VarianceMap(const std::uint8_t* phase, int width, int height, std::int32_t* out);

// Sum over the four opposite neighbour pairs of |u(a) + u(b) - 2c|, u being a
// neighbour unwrapped toward the centre c. Along an edge: |sum over the adjacent
// row or column - 3c| + |sum over the two neighbours along the edge - 2c|; at a
// corner: |sum over the three neighbours - 3c|.
void LinearityMap(const std::uint8_t* phase, int width, int height, std::int32_t* out);

// |sum of u(n) over the neighbours inside the image - their count x c|.
void LaplacianMap(const std::uint8_t* phase, int width, int height, std::int32_t* out);

// 256 x |loop charge| of every 2 x 2 loop, added to each of its four pixels.
void ResidueMap(const std::uint8_t* phase, int width, int height, std::int32_t* out);

// Residual of a plane fitted over the 5 x 5 window: the slopes gx, gy are
// (two right minus two left columns) / 30 and (two lower minus two upper rows) / 30
// of the window unwrapped toward its centre; the value is the sum over the 8
// neighbours of WrappedDiff(neighbour, c + dx gx + dy gy). The last two columns hold
// 741 in the first three rows and 822 below. Pixels without a full window use their
// neighbours inside the image and the slopes of the nearest full window (slopes 0
// when the image is smaller than 5 x 5).
void LeastSquares5x5Map(const std::uint8_t* phase, int width, int height, std::int32_t* out);

// Discontinuity of the local slope. At every pixel with a full 3 x 3 neighbourhood,
// gx = (right column - left column) / 6 and gy = (upper row - lower row) / 6 of the
// values unwrapped toward it. The value stored at (x, y) judges the 5 x 5 window
// centred one column to its right, (x + 1, y), through its 3 x 3 grid of slope
// estimates G(i, j) at (x + 1 + i, y + j): for g = gx and for g = gy the sum of
//   |g(0, -1) - g(0, 1)|                    above against below,
//   |g(-1, 0) - g(1, 0)|                    left against right,
//   |sum_j g(-1, j) - sum_j g(1, j)|        left column against right column,
//   |sum_i g(i, -1) - sum_i g(i, 1)|        upper row against lower row,
// capped at 1024. The first four rows, the last two rows, the first column and the
// last four columns hold 1024.
void DiscontinuityMap(const std::uint8_t* phase, int width, int height, std::int32_t* out);

} // namespace metrology
