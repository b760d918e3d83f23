// The whole measuring road on a known surface: four interferograms a quarter
// fringe apart, the wrapped phase, the unwrapped height map.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "kernels/phase4.h"
#include "kernels/phase_unwrapper.h"

using namespace metrology;

namespace {

TEST(MeasurementRoad, SmoothSurfaceComesBackUpToScaleAndOffset)
{
    constexpr int kWidth = 160, kHeight = 120;
    const std::size_t n = std::size_t(kWidth) * kHeight;
    // A tilted dome: about six fringes over the image.
    auto surface = [](int x, int y) {
        const double dx = (x - 70) / 80.0, dy = (y - 50) / 80.0;
        return 2 * std::numbers::pi * (4.0 * (dx * dx + dy * dy) + 1.5 * dx + 0.7);
    };

    std::vector<std::uint8_t> frames[4];
    for (int k = 0; k < 4; ++k) {
        frames[k].resize(n);
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                frames[k][std::size_t(y) * kWidth + x] = std::uint8_t(
                    std::lround(128 + 100 * std::cos(surface(x, y) + k * std::numbers::pi / 2)));
    }
    std::vector<std::uint8_t> wrapped(n);
    FourImagePhase(frames[0].data(), frames[1].data(), frames[2].data(), frames[3].data(),
                   wrapped.data(), n);

    std::vector<std::int32_t> phase(wrapped.begin(), wrapped.end()), height(n, 0);
    CPhaseUnwrapper unwrapper;
    const int m = unwrapper.Unwrap(kWidth, kHeight, phase.data(), nullptr, height.data(),
                                   UW_QUALITY_VARIANCE);

    // Fit height = a x surface + b inside the frame and look at the worst residual.
    double sx = 0, sy = 0, sxx = 0, sxy = 0, count = 0, smin = 1e9, smax = -1e9;
    for (int y = 2; y < kHeight - 2; ++y)
        for (int x = 2; x < kWidth - 2; ++x) {
            const double s = surface(x, y), h = height[std::size_t(y) * kWidth + x];
            sx += s, sy += h, sxx += s * s, sxy += s * h, ++count;
            smin = std::min(smin, s), smax = std::max(smax, s);
        }
    const double a = (count * sxy - sx * sy) / (count * sxx - sx * sx), b = (sy - a * sx) / count;
    double worst = 0;
    for (int y = 2; y < kHeight - 2; ++y)
        for (int x = 2; x < kWidth - 2; ++x)
            worst = std::max(
                worst, std::abs(height[std::size_t(y) * kWidth + x] - (a * surface(x, y) + b)));

    const int fringes = int(std::floor(smax / (2 * std::numbers::pi))) -
                        int(std::floor(smin / (2 * std::numbers::pi)));
    EXPECT_EQ(m, fringes);
    EXPECT_NEAR(a * (smax - smin), 255, 3);
    EXPECT_LT(worst, 1.5);
}

} // namespace
