#include "kernels/phase_unwrapper.h"

#include <algorithm>
#include <mutex>
#include <optional>
#include <utility>

#include <workers/worker_pool.h>

#include "kernels/quality_levels.h"
#include "kernels/quality_maps.h"
#include "kernels/unwrap_walk.h"
#include "kernels/work_memory.h"

using namespace metrology;

namespace {

using MapFunction = void (*)(const std::uint8_t*, int, int, std::int32_t*);

// The quality maps in the order they are added up.
constexpr std::pair<UnwrapFlags, MapFunction> kQualityMaps[] = {
    {UW_QUALITY_VARIANCE, VarianceMap},      {UW_QUALITY_LINEARITY, LinearityMap},
    {UW_QUALITY_LAPLACIAN, LaplacianMap},    {UW_DISCONTINUITIES, DiscontinuityMap},
    {UW_QUALITY_LSQ5X5, LeastSquares5x5Map}, {UW_POLES, ResidueMap},
};

int SelectedMaps(UnwrapFlags flags)
{
    int count = 0;
    for (const auto& map : kQualityMaps)
        count += (flags & map.first) != 0;
    return count;
}

// quality := the sum of the maps `flags` selects; `map_values` is needed from the
// second map on.
void SumQualityMaps(const std::uint8_t* phase, int width, int height, UnwrapFlags flags,
                    std::int32_t* quality, std::int32_t* map_values)
{
    const std::size_t n = std::size_t(width) * height;
    bool first = true;
    for (const auto& [bit, map] : kQualityMaps) {
        if (!(flags & bit))
            continue;
        if (first) {
            map(phase, width, height, quality);
            first = false;
            continue;
        }
        map(phase, width, height, map_values);
        for (std::size_t i = 0; i < n; ++i)
            quality[i] += map_values[i];
    }
    if (first)
        std::fill(quality, quality + n, 0);
}

// The pixels one walk reached: its seed and what it queued.
struct Region {
    std::size_t seed;
    LevelQueues::Marks from, to;
};

// Every region's seed starts from the same count, so regions cut off by the mask
// would rank by where their seeds happened to lie. Each region after the first is
// shifted so that its lowest jump count inside the 2-pixel frame equals the first
// region's: M is then the most fringes crossed inside one region, and every region
// rises from the same base. A single region is left as it is.
class RegionBase {
public:
    RegionBase(int width, int height, const LevelQueues& queues, std::int32_t* jumps)
        : m_width(width), m_height(height), m_queues(queues), m_jumps(jumps)
    {
    }

    void Add(const Region& region)
    {
        if (!m_first) {
            m_first = region;
            return;
        }
        if (!m_base)
            m_base = Lowest(*m_first);
        const std::optional<std::int32_t> low = Lowest(region);
        if (!low)
            return;
        if (!m_base) {
            m_base = low;
            return;
        }
        const std::int32_t shift = *m_base - *low;
        ForEachPixel(region, [&](std::size_t i) { m_jumps[i] += shift; });
    }

private:
    template <class F> void ForEachPixel(const Region& region, F f) const
    {
        f(region.seed);
        m_queues.ForEachPushed(region.from, region.to, f);
    }

    // The lowest count inside the frame; nothing when the region lies on it only.
    std::optional<std::int32_t> Lowest(const Region& region) const
    {
        std::optional<std::int32_t> low;
        ForEachPixel(region, [&](std::size_t i) {
            const int x = int(i % std::size_t(m_width)), y = int(i / std::size_t(m_width));
            if (x >= 2 && x <= m_width - 3 && y >= 2 && y <= m_height - 3)
                low = std::min(low.value_or(INT32_MAX), m_jumps[i]);
        });
        return low;
    }

    int m_width, m_height;
    const LevelQueues& m_queues;
    std::int32_t* m_jumps;
    std::optional<Region> m_first;
    std::optional<std::int32_t> m_base;
};

} // namespace

int CPhaseUnwrapper::Unwrap(int width, int height, const std::int32_t* phase,
                            const std::int32_t* mask, std::int32_t* out, UnwrapFlags flags)
{
    m_width = width;
    m_height = height;
    m_phase = phase;
    m_mask = (flags & UW_MASK) ? mask : nullptr;
    m_out = out;
    if (!m_mask)
        flags &= ~UW_MASK;
    if (!phase || !out)
        return 0;
    if (width < 5 || height < 5) {
        if (width > 0 && height > 0)
            std::fill(out, out + std::size_t(width) * height, 0);
        return 0;
    }
    return Run(flags);
}

int CPhaseUnwrapper::Run(UnwrapFlags flags)
{
    const int w = m_width, h = m_height;
    const std::size_t n = std::size_t(w) * h;
    const bool noise = (flags & UW_NOISE_HISTOGRAM) != 0, erode = noise && (flags & UW_NOISE_EXTRA);
    const bool several_maps = SelectedMaps(flags) > 1;

    // Phase bytes, quality sum (later the jump counts), levels, level queues, and
    // what the second and later maps and the noise types need: 10 bytes a pixel
    // with one quality map.
    WorkMemory memory(WorkMemory::SliceBytes<std::uint8_t>(n) * (2 + noise + erode) +
                      WorkMemory::SliceBytes<std::int32_t>(n) * (1 + several_maps) +
                      WorkMemory::SliceBytes<std::uint32_t>(n));
    std::uint8_t* phase = memory.Take<std::uint8_t>(n);
    std::int32_t* quality = memory.Take<std::int32_t>(n);
    std::uint8_t* level = memory.Take<std::uint8_t>(n);
    std::uint32_t* queue_entries = memory.Take<std::uint32_t>(n);

    for (std::size_t i = 0; i < n; ++i)
        phase[i] = std::uint8_t(m_phase[i] & 255);
    SumQualityMaps(phase, w, h, flags, quality,
                   several_maps ? memory.Take<std::int32_t>(n) : nullptr);
    if (noise)
        KeepNonZeroQuality(quality, memory.Take<std::uint8_t>(n),
                           erode ? memory.Take<std::uint8_t>(n) : nullptr, w, h);
    if (m_mask) {
        for (std::size_t i = 0; i < n; ++i)
            if (Masked(i))
                quality[i] = 0;
        flags |= UW_NOISE_TYPE1;
    }
    LevelQueues queues(QuantiseQuality(quality, w, h, (flags & UW_NOISE_TYPE1) != 0, level),
                       queue_entries);

    std::int32_t* jumps = quality;
    std::fill(jumps, jumps + n, kNotUnwrapped);
    for (int x = 0; x < w; ++x)
        level[x] = level[std::size_t(h - 1) * w + x] = kQueued;
    for (int y = 0; y < h; ++y)
        level[std::size_t(y) * w] = level[std::size_t(y) * w + w - 1] = kQueued;
    for (std::size_t i = 0; i < n; ++i)
        if (Masked(i))
            level[i] = kQueued;

    // The seed search only ever looks at levels, so a seed it leaves on the frame or
    // on a masked pixel is refused; every region the walk has not reached (cut off
    // by the mask) is then seeded from its first pixel in scan order.
    Walk walk(w, phase, level, jumps, queues);
    RegionBase base(w, h, queues, jumps);
    auto walk_region = [&](std::size_t seed) {
        const LevelQueues::Marks from = queues.WriteMarks();
        walk.Seed(seed);
        walk.Run();
        base.Add({seed, from, queues.WriteMarks()});
    };
    const std::size_t seed = SearchSeed(level, w, h, w / 3, h / 3);
    const int sx = int(seed % w), sy = int(seed / w);
    if (sx >= 1 && sx <= w - 2 && sy >= 1 && sy <= h - 2 && level[seed] != kQueued)
        walk_region(seed);
    for (std::size_t i = 0; i < n; ++i)
        if (level[i] <= kHighestLevel)
            walk_region(i);
    return ScaleOutput(phase, jumps, flags);
}

bool CPhaseUnwrapper::Masked(std::size_t i) const { return m_mask && m_mask[i] == 0; }

int CPhaseUnwrapper::ScaleOutput(const std::uint8_t* phase, const std::int32_t* jumps,
                                 UnwrapFlags flags)
{
    const int w = m_width, h = m_height;
    // Rows of the image less its 2-pixel frame, in bands over the workers.
    auto for_frame_rows = [&](auto row) {
        ondula::ParallelFor(h - 4, std::max(1, (1 << 16) / w), [&](int first, int end) {
            for (int y = 2 + first; y < 2 + end; ++y)
                row(std::size_t(y) * w);
        });
    };
    // Over the image less its 2-pixel frame, where every pixel not masked has been
    // reached; masked pixels count as an unwrapped phase of 0.
    std::mutex merge;
    std::int32_t kmin = INT32_MAX, kmax = INT32_MIN;
    for_frame_rows([&](std::size_t start) {
        std::int32_t low = INT32_MAX, high = INT32_MIN;
        for (std::size_t i = start + 2; i <= start + w - 3; ++i)
            if (!Masked(i)) {
                low = std::min(low, jumps[i]);
                high = std::max(high, jumps[i]);
            }
        const std::lock_guard lock(merge);
        kmin = std::min(kmin, low);
        kmax = std::max(kmax, high);
    });
    if (kmin > kmax)
        kmin = kmax = 0;
    auto unwrapped = [&, kmin](std::size_t i) {
        return Masked(i) ? 0 : 256 * std::int64_t(jumps[i] - kmin) + phase[i];
    };
    std::int64_t umin = INT64_MAX, umax = INT64_MIN;
    for_frame_rows([&](std::size_t start) {
        std::int64_t low = INT64_MAX, high = INT64_MIN;
        for (std::size_t i = start + 2; i <= start + w - 3; ++i) {
            low = std::min(low, unwrapped(i));
            high = std::max(high, unwrapped(i));
        }
        const std::lock_guard lock(merge);
        umin = std::min(umin, low);
        umax = std::max(umax, high);
    });
    const bool invert = (flags & UW_INVERT) != 0;
    for_frame_rows([&](std::size_t start) {
        for (std::size_t i = start + 2; i <= start + w - 3; ++i) {
            std::int32_t v =
                umax == umin
                    ? 0
                    : std::int32_t(double(unwrapped(i) - umin) / double(umax - umin) * 255.0);
            if (invert && (!m_mask || m_mask[i] >= 1))
                v = 255 - v;
            m_out[i] = v;
        }
    });
    return kmax - kmin;
}
