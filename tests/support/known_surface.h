// A known smooth surface for the measuring-road tests: a tilted dome of about
// six fringes over 160 x 120 pixels, its four interferograms a quarter fringe
// apart, and how closely a height image follows it.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>

namespace known_surface {

constexpr int kWidth = 160, kHeight = 120;

// The surface's phase at (x, y), in radians.
inline double Phase(int x, int y)
{
    const double dx = (x - 70) / 80.0, dy = (y - 50) / 80.0;
    return 2 * std::numbers::pi * (4.0 * (dx * dx + dy * dy) + 1.5 * dx + 0.7);
}

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

template <class Height> Fit FitHeight(Height height)
{
    double sx = 0, sy = 0, sxx = 0, sxy = 0, count = 0, smin = 1e9, smax = -1e9;
    for (int y = 2; y < kHeight - 2; ++y)
        for (int x = 2; x < kWidth - 2; ++x) {
            const double s = Phase(x, y), h = height(x, y);
            sx += s, sy += h, sxx += s * s, sxy += s * h, ++count;
            smin = std::min(smin, s), smax = std::max(smax, s);
        }
    const double a = (count * sxy - sx * sy) / (count * sxx - sx * sx), b = (sy - a * sx) / count;
    Fit fit;
    for (int y = 2; y < kHeight - 2; ++y)
        for (int x = 2; x < kWidth - 2; ++x)
            fit.worst = std::max(fit.worst, std::abs(height(x, y) - (a * Phase(x, y) + b)));
    fit.span = a * (smax - smin);
    fit.fringes = int(std::floor(smax / (2 * std::numbers::pi))) -
                  int(std::floor(smin / (2 * std::numbers::pi)));
    return fit;
}

} // namespace known_surface
