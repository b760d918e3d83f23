// A known smooth surface for the measuring-road tests: the optical bench's
// tilted dome of about six fringes over 160 x 120 pixels, its four
// interferograms a quarter fringe apart, and how closely a height image
// follows it.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>

#include <optical_bench/interferometer.h>

namespace known_surface {

constexpr int kWidth = 160, kHeight = 120;

// The surface's phase at (x, y), in radians.
inline double Phase(int x, int y) { return optical_bench::SurfacePhase(x, y, kWidth, kHeight); }

// The grey of interferogram k (0..3, a quarter fringe each) at (x, y).
inline std::uint8_t Interferogram(int k, int x, int y)
{
    return std::uint8_t(std::lround(128 + 100 * std::cos(Phase(x, y) + k * std::numbers::pi / 2)));
}

// A height image fitted as a x phase + b inside the 2-pixel frame: the fitted
// span a x (largest - smallest phase), the worst residual, and the fringes the
// surface crosses there.
struct Fit {
    double span = 0;
    double worst = 0;
    int fringes = 0;
};

// The fit of a width x height image to the bench's surface of that size,
// measured with the phase `offset` (radians) that the instrument's first step
// adds: the fringes are those of the surface's phase plus the offset.
template <class Height> Fit FitHeightOfSize(Height height, int width, int rows, double offset = 0)
{
    const auto phase = [&](int x, int y) {
        return optical_bench::SurfacePhase(x, y, width, rows) + offset;
    };
    double sx = 0, sy = 0, sxx = 0, sxy = 0, count = 0, smin = 1e9, smax = -1e9;
    for (int y = 2; y < rows - 2; ++y)
        for (int x = 2; x < width - 2; ++x) {
            const double s = phase(x, y), h = height(x, y);
            sx += s, sy += h, sxx += s * s, sxy += s * h, ++count;
            smin = std::min(smin, s), smax = std::max(smax, s);
        }
    const double a = (count * sxy - sx * sy) / (count * sxx - sx * sx), b = (sy - a * sx) / count;
    Fit fit;
    for (int y = 2; y < rows - 2; ++y)
        for (int x = 2; x < width - 2; ++x)
            fit.worst = std::max(fit.worst, std::abs(height(x, y) - (a * phase(x, y) + b)));
    fit.span = a * (smax - smin);
    fit.fringes = int(std::floor(smax / (2 * std::numbers::pi))) -
                  int(std::floor(smin / (2 * std::numbers::pi)));
    return fit;
}

template <class Height> Fit FitHeight(Height height)
{
    return FitHeightOfSize(height, kWidth, kHeight);
}

} // namespace known_surface
