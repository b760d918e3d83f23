#include "kernels/phase_unwrapper.h"

#include <algorithm>
#include <climits>
#include <utility>
#include <vector>

#include "kernels/quality_levels.h"
#include "kernels/quality_maps.h"

namespace {

using metrology::kHighestLevel;
using metrology::kLastWalkedLevel;

constexpr std::int32_t kQueued = 254;             // level map: queued, excluded or on the frame
constexpr std::int32_t kNotUnwrapped = INT32_MIN; // jump-count map: not reached yet
constexpr std::int32_t kSeedJumps = 100;

// Erodes a 0/255 mask once: every centre with a full 3 x 3 neighbourhood lowers
// each pixel of that neighbourhood to the neighbourhood's minimum, so an interior
// pixel ends with the minimum of its 5 x 5 neighbourhood.
void ErodeOnce(std::vector<std::uint8_t>& mask, int width, int height)
{
    std::vector<std::uint8_t> work = mask;
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
    mask.swap(work);
}

// The pixel lists of every level, each sized from the level's pixel count, read
// first in, first out. A pixel enters at most one list once.
class LevelQueues {
public:
    explicit LevelQueues(const metrology::LevelCounts& counts)
    {
        std::size_t start = 0;
        for (int l = 0; l <= kHighestLevel; ++l) {
            read_[l] = write_[l] = start;
            start += std::size_t(counts[l]);
        }
        entries_.resize(start);
    }
    void Push(int level, std::uint32_t pixel) { entries_[write_[level]++] = pixel; }
    bool Empty(int level) const { return read_[level] == write_[level]; }
    std::uint32_t Pop(int level) { return entries_[read_[level]++]; }

private:
    std::vector<std::uint32_t> entries_;
    std::size_t read_[kHighestLevel + 1];
    std::size_t write_[kHighestLevel + 1];
};

// The walk: level map, jump counts and queues of one run.
class Walk {
public:
    Walk(int width, const std::uint8_t* phase, std::int32_t* level, std::int32_t* jumps, LevelQueues& queues)
        : width_(width), phase_(phase), level_(level), jumps_(jumps), queues_(queues)
    {
    }

    // Makes `pixel` a seed and queues its neighbourhood (levels below 50).
    void Seed(std::size_t pixel)
    {
        level_[pixel] = kQueued;
        jumps_[pixel] = kSeedJumps;
        for (int dx = -1; dx <= 1; ++dx)
            for (int dy = -1; dy <= 1; ++dy) {
                const std::size_t n = pixel + std::ptrdiff_t(dy) * width_ + dx;
                const int l = level_[n];
                if (l >= 0 && l < kHighestLevel) {
                    queues_.Push(l, std::uint32_t(n));
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
    // Gives one pixel the jump count its unwrapped neighbours vote for and queues
    // its other neighbours. Returns the lowest level it queued into.
    int Process(std::size_t pixel)
    {
        const int c = phase_[pixel];
        int lowest = INT_MAX;
        std::int32_t candidate[9];
        int weight[9];
        int records = 0;
        bool agree = true;
        for (int dx = -1; dx <= 1; ++dx)
            for (int dy = -1; dy <= 1; ++dy) {
                const std::size_t n = pixel + std::ptrdiff_t(dy) * width_ + dx;
                const std::int32_t h = jumps_[n];
                if (h == kNotUnwrapped) {
                    const int d = level_[n];
                    if (d <= kHighestLevel) {
                        queues_.Push(d, std::uint32_t(n));
                        level_[n] = kQueued;
                        lowest = std::min(lowest, d);
                    }
                    continue;
                }
                const int diff = phase_[n] - c;
                const int m = std::abs(diff);
                candidate[records] = m >= 128 ? h + (diff > 0 ? 1 : -1) : h;
                weight[records] = std::abs(m - 128) + 1;
                agree = agree && candidate[records] == candidate[0];
                ++records;
            }
        if (records == 0)
            return lowest;
        jumps_[pixel] = agree ? candidate[0] : Vote(candidate, weight, records);
        return lowest;
    }

    // The candidate with the largest total weight; the first reached wins a tie.
    static std::int32_t Vote(const std::int32_t* candidate, const int* weight, int records)
    {
        std::int32_t distinct[9];
        int total[9];
        int kinds = 0;
        for (int r = 0; r < records; ++r) {
            int k = 0;
            while (k < kinds && distinct[k] != candidate[r])
                ++k;
            if (k == kinds) {
                distinct[kinds] = candidate[r];
                total[kinds++] = 0;
            }
            total[k] += weight[r];
        }
        int best = 0;
        for (int k = 1; k < kinds; ++k)
            if (total[k] > total[best])
                best = k;
        return distinct[best];
    }

    int width_;
    const std::uint8_t* phase_;
    std::int32_t* level_;
    std::int32_t* jumps_;
    LevelQueues& queues_;
};

// The first pixel scanned from (x, y) down the columns to the right, below the
// starting row and within nine tenths of the image, that has level 0; else the
// last one examined.
std::size_t SearchSeed(const std::int32_t* level, int width, int height, int x, int y)
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

    std::vector<std::uint8_t> phase(n);
    for (std::size_t i = 0; i < n; ++i)
        phase[i] = std::uint8_t(m_phase[i] & 255);

    // Quality: the sum of the selected maps, each computed in the level map.
    std::vector<std::int32_t> quality(n, 0), level(n);
    using MapFunction = void (*)(const std::uint8_t*, int, int, std::int32_t*);
    const std::pair<UnwrapFlags, MapFunction> maps[] = {
        {UW_QUALITY_VARIANCE, metrology::VarianceMap}, {UW_QUALITY_LINEARITY, metrology::LinearityMap},
        {UW_QUALITY_LAPLACIAN, metrology::LaplacianMap}, {UW_DISCONTINUITIES, metrology::DiscontinuityMap},
        {UW_QUALITY_LSQ5X5, metrology::LeastSquares5x5Map}, {UW_POLES, metrology::ResidueMap},
    };
    for (const auto& [bit, map] : maps) {
        if (!(flags & bit))
            continue;
        map(phase.data(), w, h, level.data());
        for (std::size_t i = 0; i < n; ++i)
            quality[i] += level[i];
    }

    // Noise types 2 and 3 keep only the pixels of non-zero quality (eroded for type 3).
    if (flags & UW_NOISE_HISTOGRAM) {
        std::vector<std::uint8_t> kept(n);
        for (std::size_t i = 0; i < n; ++i)
            kept[i] = quality[i] != 0 ? 255 : 0;
        if (flags & UW_NOISE_EXTRA)
            ErodeOnce(kept, w, h);
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
        metrology::QuantiseQuality(quality.data(), w, h, (flags & UW_NOISE_TYPE1) != 0, level.data());
    LevelQueues queues(counts);

    std::vector<std::int32_t> jumps(n, kNotUnwrapped);
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
    Walk walk(w, phase.data(), level.data(), jumps.data(), queues);
    const std::size_t seed = SearchSeed(level.data(), w, h, w / 3, h / 3);
    const int sx = int(seed % w), sy = int(seed / w);
    if (sx >= 1 && sx <= w - 2 && sy >= 1 && sy <= h - 2 && level[seed] != kQueued) {
        walk.Seed(seed);
        walk.Run();
    }
    for (std::size_t i = 0; i < n; ++i)
        if (level[i] >= 0 && level[i] <= kLastWalkedLevel) {
            walk.Seed(i);
            walk.Run();
        }

    // Jump range and scaling over the image less its 2-pixel frame; pixels never
    // reached take no part.
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

    // The unwrapped phase is kept in the quality map; masked pixels hold 0.
    std::int64_t umin = INT64_MAX, umax = INT64_MIN;
    for (int y = 2; y <= h - 3; ++y)
        for (int x = 2; x <= w - 3; ++x) {
            const std::size_t i = std::size_t(y) * w + x;
            if (masked(i))
                quality[i] = 0;
            else if (jumps[i] != kNotUnwrapped)
                quality[i] = 256 * (jumps[i] - kmin) + phase[i];
            else
                continue;
            umin = std::min<std::int64_t>(umin, quality[i]);
            umax = std::max<std::int64_t>(umax, quality[i]);
        }

    const bool invert = (flags & UW_INVERT) != 0;
    for (int y = 2; y <= h - 3; ++y)
        for (int x = 2; x <= w - 3; ++x) {
            const std::size_t i = std::size_t(y) * w + x;
            if (!masked(i) && jumps[i] == kNotUnwrapped) {
                m_out[i] = 0;
                continue;
            }
            std::int32_t v = umax == umin ? 0 : std::int32_t(double(quality[i] - umin) / double(umax - umin) * 255.0);
            if (invert && (!m_mask || m_mask[i] >= 1))
                v = 255 - v;
            m_out[i] = v;
        }
    return kmax - kmin;
}
