#pragma once
// What the bench camera of this process sees. The program that sets up the
// bench says how far the instruments shift the fringes and which pattern the
// projector shows; the camera plug-in renders a frame of its own size from
// that at each grab. This library is shared, so that the program and the
// plug-ins it loads see one scene. Safe to use from any thread.
#include <cstdint>
#include <functional>

#include <optical_bench/interferometer.h>

namespace optical_bench {

// The fringes' shift in fringes, asked at each frame; none gives 0.
OPTICAL_BENCH_API void SetSceneShift(std::function<double()> shift);

// The projector shows `pattern` (width x height, vertical fringes of `period`
// pixels) until HidePattern: a camera of that size sees it displaced by the
// surface, a camera of another size still sees the interferometer's fringes.
OPTICAL_BENCH_API void ShowPattern(const std::uint8_t* pattern, int width, int height, int period);
OPTICAL_BENCH_API void HidePattern();

// The frame a camera of width x height sees now: grey bytes, row by row.
OPTICAL_BENCH_API void RenderScene(std::uint8_t* plane, int width, int height);

} // namespace optical_bench
