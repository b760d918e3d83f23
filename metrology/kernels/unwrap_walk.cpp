#include "unwrap_walk.h"

#include <algorithm>
#include <cstring>

#include <workers/cpu_clones.h>

#include "wrapped_phase.h"

namespace metrology {

namespace {

// A neighbour's proposal: its own count, one more or one less when the phase
// steps by half a fringe or more.
std::int32_t Candidate(std::int32_t h, int neighbour_phase, int c)
{
    return h + WrapCount(neighbour_phase, c);
}

} // namespace

Walk::Walk(int width, const std::uint8_t* phase, std::uint8_t* level, std::int32_t* jumps,
           LevelQueues& queues)
    : width_(width), phase_(phase), level_(level), jumps_(jumps), queues_(queues)
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

void Walk::Seed(std::size_t pixel)
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

void Walk::Run()
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

void Walk::Prefetch(std::size_t pixel) const
{
    for (std::ptrdiff_t dy = -width_; dy <= width_; dy += width_) {
        const std::size_t left = pixel + dy - 1;
        __builtin_prefetch(level_ + left, 1);
        __builtin_prefetch(jumps_ + left, 1);
        __builtin_prefetch(jumps_ + left + 2, 1);
        __builtin_prefetch(phase_ + left);
    }
}

// Queues the neighbours of one pixel that are not yet queued and gives the pixel
// the jump count its unwrapped neighbours vote for. Returns the lowest level it
// queued into. A pixel not yet queued is never unwrapped, so the queueing reads
// only levels and the vote only jump counts; the common case, where every
// neighbour proposes the same count, is settled by their minimum and maximum.
ONDULA_AVX2_CLONES int Walk::Process(std::size_t pixel)
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
    // Neighbours are unwrapped or not in no order a processor could predict, so
    // their proposals are worked out side by side in lanes, without a branch. Each
    // of the three rows is read four wide from the column left of the pixel; the
    // fourth lane is left out, and so is the pixel itself, not unwrapped yet.
    using Quad = std::int32_t __attribute__((vector_size(16)));
    using UnsignedQuad = std::uint32_t __attribute__((vector_size(16)));
    using QuadBytes = std::uint8_t __attribute__((vector_size(4)));
    constexpr Quad kFourthLane = {0, 0, 0, -1};
    Quad low = Quad{} + INT32_MAX, high = Quad{} + INT32_MIN;
    for (int dy = -1; dy <= 1; ++dy) {
        const std::size_t left = pixel + dy * width_ - 1;
        Quad h;
        QuadBytes p;
        std::memcpy(&h, jumps_ + left, sizeof h);
        std::memcpy(&p, phase_ + left, sizeof p);
        const Quad d = __builtin_convertvector(p, Quad) - c;
        // WrapCount(p, c): a true comparison is -1 in a lane.
        const Quad step = (d < -127) - (d > 127);
        const Quad ignore = (h == kNotUnwrapped) | kFourthLane;
        const Quad candidate = Quad(UnsignedQuad(h) + UnsignedQuad(step));
        const Quad row_low = ignore ? INT32_MAX : candidate;
        const Quad row_high = ignore ? INT32_MIN : candidate;
        low = row_low < low ? row_low : low;
        high = row_high > high ? row_high : high;
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
        jumps_[pixel] = low[0] == high[0] ? low[0] : Vote(pixel, c);
    return lowest;
}

// The proposal with the largest total weight |m - 128| + 1 over the unwrapped
// neighbours, m being their phase step; the first reached wins a tie.
std::int32_t Walk::Vote(std::size_t pixel, int c) const
{
    std::int32_t distinct[8];
    int total[8];
    int kinds = 0;
    for (std::ptrdiff_t o : offset_) {
        const std::size_t n = pixel + o;
        if (jumps_[n] == kNotUnwrapped)
            continue;
        const std::int32_t candidate = Candidate(jumps_[n], phase_[n], c);
        int k = 0;
        while (k < kinds && distinct[k] != candidate)
            ++k;
        if (k == kinds) {
            distinct[kinds] = candidate;
            total[kinds++] = 0;
        }
        total[k] += std::abs(std::abs(phase_[n] - c) - 128) + 1;
    }
    int best = 0;
    for (int k = 1; k < kinds; ++k)
        if (total[k] > total[best])
            best = k;
    return distinct[best];
}

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
