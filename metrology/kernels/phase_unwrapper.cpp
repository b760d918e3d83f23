#include "phase_unwrapper.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <utility>

#include <workers/cpu_clones.h>

#include "quality_levels.h"
#include "quality_maps.h"
#include "unwrap_walk.h"
#include "work_memory.h"

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
template <class Cell> class RegionBase {
public:
    RegionBase(int width, int height, const LevelQueues& queues, Cell* cells)
        : m_width(width), m_height(height), m_queues(queues), m_cells(cells)
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
        const std::optional<Cell> low = Lowest(region);
        if (!low)
            return;
        if (!m_base) {
            m_base = low;
            return;
        }
        const Cell shift = 256 * (*m_base - *low);
        ForEachPixel(region, [&](std::size_t i) { m_cells[i] += shift; });
    }

private:
    template <class F> void ForEachPixel(const Region& region, F f) const
    {
        f(region.seed);
        m_queues.ForEachPushed(region.from, region.to, f);
    }

    // The lowest count inside the frame; nothing when the region lies on it only.
    std::optional<Cell> Lowest(const Region& region) const
    {
        std::optional<Cell> low;
        ForEachPixel(region, [&](std::size_t i) {
            const int x = int(i % std::size_t(m_width)), y = int(i / std::size_t(m_width));
            if (x >= 2 && x <= m_width - 3 && y >= 2 && y <= m_height - 3)
                low = std::min(low.value_or(std::numeric_limits<Cell>::max()),
                               PixelCell<Cell>::Jumps(m_cells[i]));
        });
        return low;
    }

    int m_width, m_height;
    const LevelQueues& m_queues;
    Cell* m_cells;
    std::optional<Region> m_first;
    std::optional<Cell> m_base;
};

// The lowest and highest of some values; empty while low > high.
template <class T> struct Range {
    T low = std::numeric_limits<T>::max();
    T high = std::numeric_limits<T>::min();
    bool Empty() const { return low > high; }
    void Add(const Range& other)
    {
        low = std::min(low, other.low);
        high = std::max(high, other.high);
    }
};

// The frame's pixels, masked (kMasked) or not. Row loops on them take both sides
// of their choices and pick one, so that they vectorise.
template <class Cell, bool kMasked> struct FramePixels {
    const Cell* cells;
    const std::int32_t* mask; // read only when kMasked

    Cell Jumps(std::size_t i) const { return PixelCell<Cell>::Jumps(cells[i]); }
    int Phase(std::size_t i) const { return PixelCell<Cell>::Phase(cells[i]); }

    // Pixel i is unwrapped: not masked.
    bool Kept(std::size_t i) const { return !kMasked || mask[i] != 0; }
    // Pixel i may be turned upside down: its mask is 1 or more.
    bool Invertible(std::size_t i) const { return !kMasked || mask[i] >= 1; }
    // The unwrapped phase 256 x (jump count - kmin) + phase, 0 where masked, less
    // base, in doubles: every term is an integer well within their 53 bits, so the
    // result is exact, and 32-bit integers turn into doubles in vector lanes where
    // 64-bit ones do not.
    double UnwrappedAbove(std::size_t i, Cell kmin, double base) const
    {
        const double u = (double(Jumps(i)) - double(kmin)) * 256.0 + double(Phase(i));
        return (Kept(i) ? u : 0.0) - base;
    }
};

// What scaling needs of the pixels in [from, to): the jump counts and the values
// 256 x jump count + phase of those kept, and whether any is masked.
template <class Cell> struct FrameRanges {
    Range<Cell> jumps;
    Range<std::int64_t> raw;
    bool masked = false;
    void Add(const FrameRanges& other)
    {
        jumps.Add(other.jumps);
        raw.Add(other.raw);
        masked |= other.masked;
    }
    // The range of the unwrapped phases with kmin the lowest jump count: the
    // kept pixels' raw values less 256 x kmin, and 0 for masked pixels.
    Range<std::int64_t> Unwrapped(Cell kmin) const
    {
        Range<std::int64_t> r;
        if (!raw.Empty())
            r = {raw.low - 256 * std::int64_t(kmin), raw.high - 256 * std::int64_t(kmin)};
        if (masked)
            r.Add({0, 0});
        return r;
    }
};

template <class Cell, bool kMasked>
ONDULA_AVX2_CLONES FrameRanges<Cell> RangesRow(const FramePixels<Cell, kMasked>& pixels,
                                               std::size_t from, std::size_t to)
{
    constexpr Cell kHighest = std::numeric_limits<Cell>::max();
    constexpr Cell kLowest = std::numeric_limits<Cell>::min();
    FrameRanges<Cell> r;
    for (std::size_t i = from; i < to; ++i) {
        const bool kept = pixels.Kept(i);
        const Cell j = pixels.Jumps(i);
        const std::int64_t raw = 256 * std::int64_t(j) + pixels.Phase(i);
        r.jumps.low = std::min(r.jumps.low, kept ? j : kHighest);
        r.jumps.high = std::max(r.jumps.high, kept ? j : kLowest);
        r.raw.low = std::min(r.raw.low, kept ? raw : INT64_MAX);
        r.raw.high = std::max(r.raw.high, kept ? raw : INT64_MIN);
        r.masked |= !kept;
    }
    return r;
}

// The unwrapped phase scaled from `range` to 0..255, upside down with `invert`
// where allowed. When the range is a single value every pixel lies at 0 above
// it, and dividing by 1 keeps the loop free of a branch.
template <class Cell, bool kMasked>
ONDULA_AVX2_CLONES void ScaleRow(const FramePixels<Cell, kMasked>& pixels, Cell kmin,
                                 const Range<std::int64_t>& range, bool invert, std::size_t from,
                                 std::size_t to, std::int32_t* out)
{
    const double umin = double(range.low);
    const double span = range.high == range.low ? 1.0 : double(range.high - range.low);
    for (std::size_t i = from; i < to; ++i) {
        const std::int32_t v = std::int32_t(pixels.UnwrappedAbove(i, kmin, umin) / span * 255.0);
        out[i] = (invert & pixels.Invertible(i)) ? 255 - v : v;
    }
}

// Scales the image less its 2-pixel frame, where every pixel not masked has been
// reached, to 0..255 into `out`; masked pixels count as an unwrapped phase of 0.
// Returns the jump range M. Two passes over memory that the walk has just left
// in the caches: handing them to the workers costs more than it saves.
template <class Cell, bool kMasked>
int ScaleFrame(const FramePixels<Cell, kMasked>& pixels, int w, int h, bool invert,
               std::int32_t* out)
{
    auto for_frame_rows = [&](auto row) {
        for (int y = 2; y < h - 2; ++y) {
            const std::size_t start = std::size_t(y) * w;
            row(start + 2, start + w - 2);
        }
    };
    FrameRanges<Cell> ranges;
    for_frame_rows(
        [&](std::size_t from, std::size_t to) { ranges.Add(RangesRow(pixels, from, to)); });
    const Cell kmin = ranges.jumps.Empty() ? 0 : ranges.jumps.low;
    const Cell kmax = ranges.jumps.Empty() ? 0 : ranges.jumps.high;
    const Range<std::int64_t> unwrapped = ranges.Unwrapped(kmin);
    for_frame_rows([&](std::size_t from, std::size_t to) {
        ScaleRow(pixels, kmin, unwrapped, invert, from, to, out);
    });
    return int(kmax - kmin);
}

// Walks every region of the level map, where the frame and masked pixels are
// queued, from its seed, and scales the result into `out`. `cells` and
// `queue_entries` are work memory for n + 1 and n values. The seed search only
// ever looks at levels, so a seed it leaves on the frame or on a masked pixel is
// refused; every region the walk has not reached (cut off by the mask) is then
// seeded from its first pixel in scan order.
template <class Cell>
int WalkAndScale(int w, int h, const std::uint8_t* phase, const std::uint8_t* level,
                 const LevelCounts& counts, const std::int32_t* mask, bool invert, Cell* cells,
                 std::uint32_t* queue_entries, std::int32_t* out)
{
    using Code = PixelCell<Cell>;
    const std::size_t n = std::size_t(w) * h;
    for (std::size_t i = 0; i < n; ++i)
        cells[i] = Code::Open(level[i], phase[i]);
    cells[n] = Code::Open(kQueued, 0);

    LevelQueues queues(counts, queue_entries);
    Walk<Cell> walk(w, cells, queues);
    RegionBase<Cell> base(w, h, queues, cells);
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
        if (Code::IsWaiting(cells[i]))
            walk_region(i);
    if (mask)
        return ScaleFrame(FramePixels<Cell, true>{cells, mask}, w, h, invert, out);
    return ScaleFrame(FramePixels<Cell, false>{cells, nullptr}, w, h, invert, out);
}

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
    const bool narrow_cells = CellHolds<std::int32_t>(n);

    // Phase bytes, quality sum (later the walk's cells, when 32 bits hold them),
    // levels, level queues, and what the second and later maps and the noise
    // types need: 10 bytes a pixel with one quality map. The walk reads cells one
    // past the last pixel.
    m_memory.Prepare(WorkMemory::SliceBytes<std::uint8_t>(n + 1) +
                     WorkMemory::SliceBytes<std::uint8_t>(n) * (1 + noise + erode) +
                     WorkMemory::SliceBytes<std::int32_t>(n + 1) +
                     WorkMemory::SliceBytes<std::int32_t>(n) * several_maps +
                     WorkMemory::SliceBytes<std::uint32_t>(n) +
                     WorkMemory::SliceBytes<std::int64_t>(n + 1) * !narrow_cells);
    std::uint8_t* phase = m_memory.Take<std::uint8_t>(n + 1);
    std::int32_t* quality = m_memory.Take<std::int32_t>(n + 1);
    std::uint8_t* level = m_memory.Take<std::uint8_t>(n);
    std::uint32_t* queue_entries = m_memory.Take<std::uint32_t>(n);

    for (std::size_t i = 0; i < n; ++i)
        phase[i] = std::uint8_t(m_phase[i] & 255);
    phase[n] = 0;
    SumQualityMaps(phase, w, h, flags, quality,
                   several_maps ? m_memory.Take<std::int32_t>(n) : nullptr);
    if (noise)
        KeepNonZeroQuality(quality, m_memory.Take<std::uint8_t>(n),
                           erode ? m_memory.Take<std::uint8_t>(n) : nullptr, w, h);
    if (m_mask) {
        for (std::size_t i = 0; i < n; ++i)
            if (Masked(i))
                quality[i] = 0;
        flags |= UW_NOISE_TYPE1;
    }
    const LevelCounts counts = QuantiseQuality(quality, w, h, (flags & UW_NOISE_TYPE1) != 0, level);
    for (int x = 0; x < w; ++x)
        level[x] = level[std::size_t(h - 1) * w + x] = kQueued;
    for (int y = 0; y < h; ++y)
        level[std::size_t(y) * w] = level[std::size_t(y) * w + w - 1] = kQueued;
    for (std::size_t i = 0; i < n; ++i)
        if (Masked(i))
            level[i] = kQueued;

    const bool invert = (flags & UW_INVERT) != 0;
    if (narrow_cells)
        return WalkAndScale(w, h, phase, level, counts, m_mask, invert, quality, queue_entries,
                            m_out);
    return WalkAndScale(w, h, phase, level, counts, m_mask, invert,
                        m_memory.Take<std::int64_t>(n + 1), queue_entries, m_out);
}

bool CPhaseUnwrapper::Masked(std::size_t i) const { return m_mask && m_mask[i] == 0; }
