// The whole measuring road on a known surface: four interferograms a quarter
// fringe apart, the wrapped phase, the unwrapped height map.
#include <gtest/gtest.h>

#include <vector>

#include "metrology/kernels/phase4.h"
#include "metrology/kernels/phase_unwrapper.h"
#include "tests/support/known_surface.h"

using namespace metrology;
using namespace known_surface;

namespace {

TEST(MeasurementRoad, SmoothSurfaceComesBackUpToScaleAndOffset)
{
    const std::size_t n = std::size_t(kWidth) * kHeight;
    std::vector<std::uint8_t> frames[4];
    for (int k = 0; k < 4; ++k) {
        frames[k].resize(n);
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                frames[k][std::size_t(y) * kWidth + x] = Interferogram(k, x, y);
    }
    std::vector<std::uint8_t> wrapped(n);
    FourImagePhase(frames[0].data(), frames[1].data(), frames[2].data(), frames[3].data(),
                   wrapped.data(), n);

    std::vector<std::int32_t> phase(wrapped.begin(), wrapped.end()), height(n, 0);
    CPhaseUnwrapper unwrapper;
    const int m = unwrapper.Unwrap(kWidth, kHeight, phase.data(), nullptr, height.data(),
                                   UW_QUALITY_VARIANCE);

    const Fit fit = FitHeight([&](int x, int y) { return height[std::size_t(y) * kWidth + x]; });
    EXPECT_EQ(m, fit.fringes);
    EXPECT_NEAR(fit.span, 255, 3);
    EXPECT_LT(fit.worst, 1.5);
}

} // namespace
