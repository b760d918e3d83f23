#include "unwrap_walk.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include <workers/cpu_clones.h>

#include "wrapped_phase.h"

namespace metrology {

namespace {

// Four cells side by side.
template <class Cell> struct Lanes;
template <> struct Lanes<std::int32_t> {
    using Quad = std::int32_t __attribute__((vector_size(16)));
};
template <> struct Lanes<std::int64_t> {
    using Quad = std::int64_t __attribute__((vector_size(32)));
};

} // namespace

template <class Cell>
Walk<Cell>::Walk(int width, Cell* cells, LevelQueues& queues)
    : width_(width), cells_(cells), queues_(queues)
{
    // The 8 neighbours in visiting order: dx outer, dy inner. The pixel itself is
    // queued and not yet unwrapped whenever its neighbourhood is visited, so it
    // would add nothing.
    int k = 0;
    for (int dx = -1; dx <= 1; ++dx)
        for (int dy = -1; dy <= 1; ++dy)
            if (dx || dy)
                offset_[k++] = std::ptrdiff_t(dy) * width + dx;
}

template <class Cell> void Walk<Cell>::Queue(std::size_t pixel)
{
    const int level = Code::Level(cells_[pixel]);
    queues_.Push(level, pixel);
    cells_[pixel] += 256 * Cell(kQueued - level);
}

template <class Cell> void Walk<Cell>::Seed(std::size_t pixel)
{
    cells_[pixel] = Code::Unwrapped(kSeedJumps, Code::Phase(cells_[pixel]));
    // Every waiting level is walked, so the seed queues them all, as any pixel
    // does: a neighbour left out would be seeded again as a region of its own.
    for (std::ptrdiff_t o : offset_)
        if (Code::IsWaiting(cells_[pixel + o]))
            Queue(pixel + o);
}

// Queues the neighbours of one pixel that wait on their level and gives the pixel
// the jump count its unwrapped neighbours vote for. Returns the lowest level it
// queued into. Neighbours are unwrapped or not in no order a processor could
// predict, so their proposals are worked out side by side in lanes, without a
// branch: each of the three rows is read four wide from the column left of the
// pixel; the fourth lane is left out, and so is the pixel itself, not unwrapped
// yet. The common case, where every neighbour proposes the same count, is settled
// by their minimum and maximum.
template <class Cell> [[gnu::always_inline]] inline int Walk<Cell>::Process(std::size_t pixel)
{
    using Quad = typename Lanes<Cell>::Quad;
    constexpr Quad kFourthLane = {0, 0, 0, -1};
    const std::ptrdiff_t w = width_; // in a register across the queue's writes
    const int c = Code::Phase(cells_[pixel]);
    Quad low = Quad{} + std::numeric_limits<Cell>::max();
    Quad high = Quad{} + std::numeric_limits<Cell>::min();
    for (int dy = 0; dy < 3; ++dy) {
        Quad v;
        std::memcpy(&v, cells_ + pixel + (dy - 1) * w - 1, sizeof v);
        // WrapCount(phase, c): a true comparison is -1 in a lane.
        const Quad d = (v & 255) - c;
        const Quad step = (d < -127) - (d > 127);
        const Quad ignore = (v < Code::kUnwrapped) | kFourthLane;
        const Quad candidate = (v >> 8) + step;
        const Quad row_low = ignore ? std::numeric_limits<Cell>::max() : candidate;
        const Quad row_high = ignore ? std::numeric_limits<Cell>::min() : candidate;
        low = row_low < low ? row_low : low;
        high = row_high > high ? row_high : high;
    }
    // Queueing only marks cells not unwrapped, which the rows leave out: it comes
    // after them, as their wide reads would wait for its narrow writes.
    int lowest = INT_MAX;
    for (int dx = -1; dx <= 1; ++dx)
        for (int dy = -1; dy <= 1; ++dy) {
            const std::size_t n = pixel + dy * w + dx;
            if ((dx || dy) && cells_[n] < Code::kWaitingEnd) {
                lowest = std::min(lowest, Code::Level(cells_[n]));
                Queue(n);
            }
        }
    // The lowest and highest proposal, halving the lanes twice.
    Quad other_low = __builtin_shufflevector(low, low, 2, 3, 0, 1);
    Quad other_high = __builtin_shufflevector(high, high, 2, 3, 0, 1);
    low = other_low < low ? other_low : low;
    high = other_high > high ? other_high : high;
    other_low = __builtin_shufflevector(low, low, 1, 0, 3, 2);
    other_high = __builtin_shufflevector(high, high, 1, 0, 3, 2);
    low = other_low < low ? other_low : low;
    high = other_high > high ? other_high : high;
    if (low[0] <= high[0])
        cells_[pixel] = Code::Unwrapped(low[0] == high[0] ? low[0] : Vote(pixel, c), c);
    return lowest;
}

// Process is inlined here, in the clone that fits the processor: called through
// the clone's selector it would pay an indirect call and reload its constants
// for every pixel.
template <class Cell> ONDULA_AVX2_CLONES void Walk<Cell>::Run()
{
    int level = 0;
    while (level <= kHighestLevel) {
        if (queues_.Empty(level)) {
            ++level;
            continue;
        }
        // The walk jumps about the image: the neighbourhoods of pixels a few
        // places ahead in the queue are fetched while this one is processed.
        constexpr std::size_t kAhead = 12;
        std::size_t next;
        if (queues_.Ahead(level, kAhead, &next))
            Prefetch(next);
        // Only the levels that received pixels can have become non-empty below.
        level = std::min(level, Process(queues_.Pop(level)));
    }
}

template <class Cell> void Walk<Cell>::Prefetch(std::size_t pixel) const
{
    for (int dy = -1; dy <= 1; ++dy) {
        const Cell* left = cells_ + pixel + dy * width_ - 1;
        __builtin_prefetch(left, 1);
        __builtin_prefetch(left + 2, 1);
    }
}

// The proposal with the largest total weight |m - 128| + 1 over the unwrapped
// neighbours, m being their phase step; the first reached wins a tie.
template <class Cell> Cell Walk<Cell>::Vote(std::size_t pixel, int c) const
{
    Cell distinct[8];
    int total[8];
    int kinds = 0;
    for (std::ptrdiff_t o : offset_) {
        const Cell cell = cells_[pixel + o];
        if (!Code::IsUnwrapped(cell))
            continue;
        const int p = Code::Phase(cell);
        const Cell candidate = Code::Jumps(cell) + WrapCount(p, c);
        int k = 0;
        while (k < kinds && distinct[k] != candidate)
            ++k;
        if (k == kinds) {
            distinct[kinds] = candidate;
            total[kinds++] = 0;
        }
        total[k] += std::abs(std::abs(p - c) - 128) + 1;
    }
    int best = 0;
    for (int k = 1; k < kinds; ++k)
        if (total[k] > total[best])
            best = k;
    return distinct[best];
}

template class Walk<std::int32_t>;
template class Walk<std::int64_t>;

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

} // namespace metrology
