#include "kernels/phase_unwrapper.h"

#include <algorithm>
#include <climits>
#include <utility>

#include "kernels/quality_levels.h"
#include "kernels/quality_maps.h"
#include "kernels/work_memory.h"

namespace {

using metrology::kHighestLevel;
using metrology::kLastWalkedLevel;

constexpr std::uint8_t kQueued = 254;             // level map: queued, excluded or on the frame
constexpr std::int32_t kNotUnwrapped = INT32_MIN; // jump-count map: not reached yet
constexpr std::int32_t kSeedJumps = 100;

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

// The pixel lists of every level, each sized from the level's pixel count, read
// first in, first out. A pixel enters at most one list once.
class LevelQueues {
public:
    // `entries` has room for the sum of `counts`.
    LevelQueues(const metrology::LevelCounts& counts, std::uint32_t* entries) : entries_(entries)
    {
        std::size_t start = 0;
        for (int l = 0; l <= kHighestLevel; ++l) {
            read_[l] = write_[l] = start;
            start += std::size_t(counts[l]);
        }
    }
    void Push(int level, std::size_t pixel) { entries_[write_[level]++] = std::uint32_t(pixel); }
    bool Empty(int level) const { return read_[level] == write_[level]; }
    std::size_t Pop(int level) { return entries_[read_[level]++]; }

private:
    std::uint32_t* entries_;
    std::size_t read_[kHighestLevel + 1];
    std::size_t write_[kHighestLevel + 1];
};

// The walk over one run's level map, jump counts and queues.
class Walk {
public:
    Walk(int width, const std::uint8_t* phase, std::uint8_t* level, std::int32_t* jumps, LevelQueues& queues)
        : phase_(phase), level_(level), jumps_(jumps), queues_(queues)
    {
        // The 3 x 3 neighbourhood in visiting order: dx outer, dy inner.
        int k = 0;
        for (int dx = -1; dx <= 1; ++dx)
            for (int dy = -1; dy <= 1; ++dy)
                offset_[k++] = std::ptrdiff_t(dy) * width + dx;
    }

    // Makes `pixel` a seed and queues its neighbourhood (levels below 50).
    void Seed(std::size_t pixel)
    {
        level_[pixel] = kQueued;
        jumps_[pixel] = kSeedJumps;
        for (std::ptrdiff_t o : offset_) {
            const std::size_t n = pixel + o;
            if (level_[n] < kHighestLevel) {
                queues_.Push(level_[n], n);
                level_[n] = kQueued;
            }
        }
    }

    // Unwraps queued pixels, always the oldest of the best non-empty level, until
    // levels 0 to 20 are empty.
    void Run()
    {
        int level = 0;
        while (level <= kLastWalkedLevel) {
            if (queues_.Empty(level)) {
                ++level;
                continue;
            }
            // Only the levels that received pixels can have become non-empty below.
            level = std::min(level, Process(queues_.Pop(level)));
        }
    }

private:
    // Queues the neighbours of one pixel that are not yet queued and gives the pixel
    // the jump count its unwrapped neighbours vote for. Returns the lowest level it
    // queued into. A pixel not yet queued is never unwrapped, so the queueing reads
    // only levels and the vote only jump counts; the common case, where every
    // neighbour proposes the same count, is settled by their minimum and maximum.
    int Process(std::size_t pixel)
    {
        int lowest = INT_MAX;
        for (std::ptrdiff_t o : offset_) {
            const std::size_t n = pixel + o;
            const std::uint8_t d = level_[n];
            if (d <= kHighestLevel) {
                queues_.Push(d, n);
                level_[n] = kQueued;
                lowest = std::min(lowest, int(d));
            }
        }
        const int c = phase_[pixel];
        std::int32_t low = INT32_MAX, high = INT32_MIN;
        for (std::ptrdiff_t o : offset_) {
            const std::size_t n = pixel + o;
            const std::int32_t h = jumps_[n];
            const bool unwrapped = h != kNotUnwrapped;
            const std::int32_t candidate = unwrapped ? Candidate(h, phase_[n], c) : 0;
            low = unwrapped ? std::min(low, candidate) : low;
            high = unwrapped ? std::max(high, candidate) : high;
        }
        if (low <= high)
            jumps_[pixel] = low == high ? low : Vote(pixel, c);
        return lowest;
    }

    // A neighbour's proposal: its own count, one more or one less when the phase
    // steps by half a fringe or more.
    static std::int32_t Candidate(std::int32_t h, int neighbour_phase, int c)
    {
        return h + CPhaseUnwrapper::WrapCount(neighbour_phase, c);
    }

    // The proposal with the largest total weight |m - 128| + 1 over the unwrapped
    // neighbours, m being their phase step; the first reached wins a tie.
    std::int32_t Vote(std::size_t pixel, int c) const
    {
        std::int32_t distinct[9];
        int total[9];
        int kinds = 0;
        for (std::ptrdiff_t o : offset_) {
            const std::size_t n = pixel + o;
            const std::int32_t h = jumps_[n];
            if (h == kNotUnwrapped)
                continue;
            const int diff = phase_[n] - c;
            const std::int32_t candidate = Candidate(h, phase_[n], c);
            int k = 0;
            while (k < kinds && distinct[k] != candidate)
                ++k;
            if (k == kinds) {
                distinct[kinds] = candidate;
                total[kinds++] = 0;
            }
            total[k] += std::abs(std::abs(diff) - 128) + 1;
        }
        int best = 0;
        for (int k = 1; k < kinds; ++k)
            if (total[k] > total[best])
                best = k;
        return distinct[best];
    }

    std::ptrdiff_t offset_[9];
    const std::uint8_t* phase_;
    std::uint8_t* level_;
    std::int32_t* jumps_;
    LevelQueues& queues_;
};

// The first pixel scanned from (x, y) down the columns to the right, below the
// starting row and within nine tenths of the image, that has level 0; else the
// last one examined.
std::size_t SearchSeed(const std::uint8_t* level, int width, int height, int x, int y)
{
    const int start_y = y;
    --x;
    while (x < width * 9 / 10) {
        ++x;
        y = start_y;
        while (y < height * 9 / 10) {
            ++y;
            if (level[std::size_t(y) * width + x] == 0)
                return std::size_t(y) * width + x;
        }
    }
    return std::size_t(y) * width + x;
}

} // namespace

int CPhaseUnwrapper::Unwrap(int width, int height, const std::int32_t* phase, const std::int32_t* mask,
                            std::int32_t* out, UnwrapFlags flags)
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
    auto masked = [&](std::size_t i) { return m_mask && m_mask[i] == 0; };

    using MapFunction = void (*)(const std::uint8_t*, int, int, std::int32_t*);
    const std::pair<UnwrapFlags, MapFunction> maps[] = {
        {UW_QUALITY_VARIANCE, metrology::VarianceMap},   {UW_QUALITY_LINEARITY, metrology::LinearityMap},
        {UW_QUALITY_LAPLACIAN, metrology::LaplacianMap}, {UW_DISCONTINUITIES, metrology::DiscontinuityMap},
        {UW_QUALITY_LSQ5X5, metrology::LeastSquares5x5Map}, {UW_POLES, metrology::ResidueMap},
    };
    int map_count = 0;
    for (const auto& map : maps)
        map_count += (flags & map.first) != 0;
    const bool noise = (flags & UW_NOISE_HISTOGRAM) != 0, erode = noise && (flags & UW_NOISE_EXTRA);

    // Phase bytes, quality sum (later the jump counts), levels, level queues, and
    // what the second and later maps and the noise types need: 10 bytes a pixel
    // with one quality map.
    using metrology::WorkMemory;
    WorkMemory memory(WorkMemory::SliceBytes<std::uint8_t>(n) * (2 + noise + erode) +
                      WorkMemory::SliceBytes<std::int32_t>(n) * (1 + (map_count > 1)) +
                      WorkMemory::SliceBytes<std::uint32_t>(n));
    std::uint8_t* phase = memory.Take<std::uint8_t>(n);
    std::int32_t* quality = memory.Take<std::int32_t>(n);
    std::uint8_t* level = memory.Take<std::uint8_t>(n);
    std::uint32_t* queue_entries = memory.Take<std::uint32_t>(n);
    std::int32_t* map_values = map_count > 1 ? memory.Take<std::int32_t>(n) : nullptr;

    for (std::size_t i = 0; i < n; ++i)
        phase[i] = std::uint8_t(m_phase[i] & 255);
    if (map_count == 0)
        std::fill(quality, quality + n, 0);
    bool first_map = true;
    for (const auto& [bit, map] : maps) {
        if (!(flags & bit))
            continue;
        if (first_map) {
            map(phase, w, h, quality);
            first_map = false;
            continue;
        }
        map(phase, w, h, map_values);
        for (std::size_t i = 0; i < n; ++i)
            quality[i] += map_values[i];
    }

    // Noise types 2 and 3 keep only the pixels of non-zero quality (eroded for type 3).
    if (noise) {
        std::uint8_t* kept = memory.Take<std::uint8_t>(n);
        for (std::size_t i = 0; i < n; ++i)
            kept[i] = quality[i] != 0 ? 255 : 0;
        if (erode)
            ErodeOnce(kept, memory.Take<std::uint8_t>(n), w, h);
        for (std::size_t i = 0; i < n; ++i)
            quality[i] = kept[i] ? quality[i] + 1 : 0;
    }
    if (m_mask) {
        for (std::size_t i = 0; i < n; ++i)
            if (masked(i))
                quality[i] = 0;
        flags |= UW_NOISE_TYPE1;
    }

    const metrology::LevelCounts counts =
        metrology::QuantiseQuality(quality, w, h, (flags & UW_NOISE_TYPE1) != 0, level);
    LevelQueues queues(counts, queue_entries);

    std::int32_t* jumps = quality;
    std::fill(jumps, jumps + n, kNotUnwrapped);
    for (int x = 0; x < w; ++x)
        level[x] = level[std::size_t(h - 1) * w + x] = kQueued;
    for (int y = 0; y < h; ++y)
        level[std::size_t(y) * w] = level[std::size_t(y) * w + w - 1] = kQueued;
    for (std::size_t i = 0; i < n; ++i)
        if (masked(i))
            level[i] = kQueued;

    // The seed search only ever looks at levels, so a seed it leaves on the frame or
    // on a masked pixel is refused; every region the walk has not reached is then
    // seeded from its first pixel in scan order.
    Walk walk(w, phase, level, jumps, queues);
    const std::size_t seed = SearchSeed(level, w, h, w / 3, h / 3);
    const int sx = int(seed % w), sy = int(seed / w);
    if (sx >= 1 && sx <= w - 2 && sy >= 1 && sy <= h - 2 && level[seed] != kQueued) {
        walk.Seed(seed);
        walk.Run();
    }
    for (std::size_t i = 0; i < n; ++i)
        if (level[i] <= kLastWalkedLevel) {
            walk.Seed(i);
            walk.Run();
        }

    // Jump range and scaling over the image less its 2-pixel frame; pixels never
    // reached take no part, masked pixels count as an unwrapped phase of 0.
    std::int32_t kmin = INT32_MAX, kmax = INT32_MIN;
    for (int y = 2; y <= h - 3; ++y)
        for (int x = 2; x <= w - 3; ++x) {
            const std::size_t i = std::size_t(y) * w + x;
            if (jumps[i] != kNotUnwrapped && !masked(i)) {
                kmin = std::min(kmin, jumps[i]);
                kmax = std::max(kmax, jumps[i]);
            }
        }
    if (kmin > kmax)
        kmin = kmax = 0;
    auto unwrapped = [&](std::size_t i) { return masked(i) ? 0 : 256 * std::int64_t(jumps[i] - kmin) + phase[i]; };
    auto reached = [&](std::size_t i) { return masked(i) || jumps[i] != kNotUnwrapped; };

    std::int64_t umin = INT64_MAX, umax = INT64_MIN;
    for (int y = 2; y <= h - 3; ++y)
        for (int x = 2; x <= w - 3; ++x) {
            const std::size_t i = std::size_t(y) * w + x;
            if (reached(i)) {
                umin = std::min(umin, unwrapped(i));
                umax = std::max(umax, unwrapped(i));
            }
        }

    const bool invert = (flags & UW_INVERT) != 0;
    for (int y = 2; y <= h - 3; ++y)
        for (int x = 2; x <= w - 3; ++x) {
            const std::size_t i = std::size_t(y) * w + x;
            if (!reached(i)) {
                m_out[i] = 0;
                continue;
            }
            std::int32_t v = umax == umin ? 0 : std::int32_t(double(unwrapped(i) - umin) / double(umax - umin) * 255.0);
            if (invert && (!m_mask || m_mask[i] >= 1))
                v = 255 - v;
            m_out[i] = v;
        }
    return kmax - kmin;
}
