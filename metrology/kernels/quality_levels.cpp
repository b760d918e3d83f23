#include "kernels/quality_levels.h"

#include <algorithm>
#include <vector>

namespace metrology {

namespace {
constexpr int kLargestQuality = 3560;
}

LevelCounts QuantiseQuality(const std::int32_t* quality, int width, int height, bool set_aside_smallest,
                            std::uint8_t* levels)
{
    const std::size_t n = std::size_t(width) * std::size_t(height);
    std::vector<std::int32_t> histogram(kLargestQuality + 1, 0);
    int vmin = 5000, vmax = -5000;
    for (std::size_t i = 0; i < n; ++i) {
        const int v = quality[i];
        if (v < 0 || v > kLargestQuality)
            continue;
        ++histogram[v];
        vmin = std::min(vmin, v);
        vmax = std::max(vmax, v);
    }

    std::vector<std::int32_t> table(vmax >= vmin ? vmax - vmin + 1 : 0, 0);
    const std::int64_t p = std::int64_t(width - 1) * (height - 1);
    std::int64_t level = 0, running = 0;
    if (!table.empty() && set_aside_smallest) {
        table[0] = kLastWalkedLevel;
        const std::int64_t population = p - histogram[0];
        for (int v = vmin + 1; v <= vmax; ++v) {
            running += histogram[v];
            table[v - vmin] = std::int32_t(std::min<std::int64_t>(level, kHighestLevel));
            if ((level + 1) * population / 20 < running)
                ++level;
        }
    } else {
        for (int v = vmin; v <= vmax; ++v) {
            running += histogram[v];
            table[v - vmin] = std::int32_t(std::min<std::int64_t>(level, kHighestLevel));
            if (p * (level + 1) / 20 < running)
                ++level;
        }
    }

    LevelCounts counts{};
    for (std::size_t i = 0; i < n; ++i) {
        const int v = quality[i];
        const int l = v >= vmin && v <= vmax ? table[v - vmin] : kLastWalkedLevel;
        levels[i] = std::uint8_t(l);
        ++counts[l];
    }
    return counts;
}

} // namespace metrology
