// The input of the measuring-road benchmarks: four noisy interferograms of a
// tilted dome at 1024 x 768, a quarter fringe apart, and their wrapped phase.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <numbers>
#include <random>
#include <vector>

#include "metrology/kernels/phase4.h"

namespace road {

constexpr int kWidth = 1024, kHeight = 768;
constexpr std::size_t kPixels = std::size_t(kWidth) * kHeight;

struct Interferograms {
    std::vector<std::uint8_t> frame[4];
    Interferograms()
    {
        std::mt19937 random(11);
        std::normal_distribution<double> noise(0, 3);
        for (int k = 0; k < 4; ++k) {
            frame[k].resize(kPixels);
            for (int y = 0; y < kHeight; ++y)
                for (int x = 0; x < kWidth; ++x) {
                    const double dx = (x - 400) / 500.0, dy = (y - 300) / 500.0;
                    const double phase = 2 * std::numbers::pi * (12 * (dx * dx + dy * dy) + 8 * dx);
                    const double grey =
                        128 + 90 * std::cos(phase + k * std::numbers::pi / 2) + noise(random);
                    frame[k][std::size_t(y) * kWidth + x] =
                        std::uint8_t(std::clamp(grey, 0.0, 255.0));
                }
        }
    }
};

inline const Interferograms& Frames()
{
    static const Interferograms frames;
    return frames;
}

inline std::vector<std::uint8_t> WrappedPhase()
{
    const auto& f = Frames().frame;
    std::vector<std::uint8_t> wrapped(kPixels);
    metrology::FourImagePhase(f[0].data(), f[1].data(), f[2].data(), f[3].data(), wrapped.data(),
                              kPixels);
    return wrapped;
}

} // namespace road
