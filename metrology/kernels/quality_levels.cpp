#include "quality_levels.h"

#include <algorithm>
#include <vector>

namespace metrology {

namespace {

constexpr int kLargestQuality = 3560;

// Erodes a 0/255 mask once: every centre with a full 3 x 3 neighbourhood lowers
// each pixel of that neighbourhood to the neighbourhood's minimum, so an interior
// pixel ends with the minimum of its 5 x 5 neighbourhood.
void ErodeOnce(std::uint8_t* mask, std::uint8_t* work, int width, int height)
{
    const std::size_t n = std::size_t(width) * height;
    std::copy(mask, mask + n, work);
    for (int x = 1; x <= width - 2; ++x)
        for (int y = 1; y <= height - 2; ++y) {
            std::uint8_t a = 255;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx)
                    a = std::min(a, mask[std::size_t(y + dy) * width + x + dx]);
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) {
                    std::uint8_t& v = work[std::size_t(y + dy) * width + x + dx];
                    v = std::min(v, a);
                }
        }
    std::copy(work, work + n, mask);
}

} // namespace

void KeepNonZeroQuality(std::int32_t* quality, std::uint8_t* kept, std::uint8_t* erosion_work,
                        int width, int height)
{
    const std::size_t n = std::size_t(width) * height;
    for (std::size_t i = 0; i < n; ++i)
        kept[i] = quality[i] != 0 ? 255 : 0;
    if (erosion_work)
        ErodeOnce(kept, erosion_work, width, height);
    for (std::size_t i = 0; i < n; ++i)
        quality[i] = kept[i] ? quality[i] + 1 : 0;
}

LevelCounts QuantiseQuality(const std::int32_t* quality, int width, int height,
                            bool set_aside_smallest, std::uint8_t* levels)
{
    const std::size_t n = std::size_t(width) * std::size_t(height);
    // Neighbouring pixels often share a value: counted into one histogram, each
    // increment would wait for the one before. Pixels take four histograms in
    // turn, added up after.
    constexpr std::size_t kParts = 4, kBins = kLargestQuality + 1;
    std::vector<std::int32_t> parts(kParts * kBins, 0);
    for (std::size_t i = 0; i < n; ++i) {
        const int v = quality[i];
        if (v >= 0 && v <= kLargestQuality)
            ++parts[i % kParts * kBins + std::size_t(v)];
    }
    std::vector<std::int32_t> histogram(kBins, 0);
    int vmin = 5000, vmax = -5000;
    for (int v = 0; v <= kLargestQuality; ++v) {
        for (std::size_t part = 0; part < kParts; ++part)
            histogram[v] += parts[part * kBins + std::size_t(v)];
        if (histogram[v] != 0) {
            vmin = std::min(vmin, v);
            vmax = v;
        }
    }

    std::vector<std::int32_t> table(vmax >= vmin ? vmax - vmin + 1 : 0, 0);
    const std::int64_t p = std::int64_t(width - 1) * (height - 1);
    std::int64_t level = 0, running = 0;
    if (!table.empty() && set_aside_smallest) {
        table[0] = kLastLevel;
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

    // Every value of vmin..vmax is in the histogram and the others go to the last
    // level, so the counts follow from the histogram: counting pixel by pixel
    // would chain each increment to the one before.
    LevelCounts counts{};
    std::size_t in_range = 0;
    for (int v = vmin; v <= vmax; ++v) {
        counts[table[v - vmin]] += histogram[v];
        in_range += std::size_t(histogram[v]);
    }
    counts[kLastLevel] += std::int32_t(n - in_range);
    for (std::size_t i = 0; i < n; ++i) {
        const int v = quality[i];
        levels[i] = std::uint8_t(v >= vmin && v <= vmax ? table[v - vmin] : kLastLevel);
    }
    return counts;
}

} // namespace metrology
