// The unwrapper's walk: level queues, the seed search and the quality-ordered
// flood that gives every reached pixel its jump count.
#pragma once

#include <array>
#include <climits>
#include <cstddef>
#include <cstdint>

#include "quality_levels.h"

namespace metrology {

inline constexpr std::uint8_t kQueued = 254; // level map: queued, excluded or on the frame
inline constexpr std::int32_t kNotUnwrapped = INT32_MIN; // jump counts: not reached yet
inline constexpr std::int32_t kSeedJumps = 100;

// The pixel lists of every level, each sized from the level's pixel count, read
// first in, first out. A pixel enters at most one list once.
class LevelQueues {
public:
    // `entries` has room for the sum of `counts`.
    LevelQueues(const LevelCounts& counts, std::uint32_t* entries) : entries_(entries)
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
    // The pixel `ahead` places behind the next one of a level, if queued yet.
    bool Ahead(int level, std::size_t ahead, std::size_t* pixel) const
    {
        const std::size_t k = read_[level] + ahead;
        if (k >= write_[level])
            return false;
        *pixel = entries_[k];
        return true;
    }

    // The write position of every level: the pixels pushed between two such
    // marks are those queued in between.
    using Marks = std::array<std::size_t, kHighestLevel + 1>;
    Marks WriteMarks() const { return write_; }
    template <class F> void ForEachPushed(const Marks& from, const Marks& to, F f) const
    {
        for (int l = 0; l <= kHighestLevel; ++l)
            for (std::size_t k = from[l]; k < to[l]; ++k)
                f(std::size_t(entries_[k]));
    }

private:
    std::uint32_t* entries_;
    Marks read_;
    Marks write_;
};

// The walk over one run's level map, jump counts and queues. Levels are 0..50 or
// kQueued; jump counts start as kNotUnwrapped. The caller keeps every pixel of
// the first and last rows and columns at kQueued. `phase` and `jumps` hold one
// value more, past the last pixel, that rows read four wide reach: a phase, and
// a jump count left at kNotUnwrapped.
class Walk {
public:
    Walk(int width, const std::uint8_t* phase, std::uint8_t* level, std::int32_t* jumps,
         LevelQueues& queues);

    // Makes `pixel` a seed (jump count 100) and queues its neighbourhood (levels below 50).
    void Seed(std::size_t pixel);

    // Unwraps queued pixels, always the oldest of the best non-empty level, until
    // every level is empty. Levels past 20 hold the few worst pixels and are only
    // reached once levels 0 to 20 are empty.
    void Run();

private:
    int Process(std::size_t pixel);
    void Prefetch(std::size_t pixel) const;
    std::int32_t Vote(std::size_t pixel, int c) const;

    std::ptrdiff_t offset_[8];
    std::ptrdiff_t width_;
    const std::uint8_t* phase_;
    std::uint8_t* level_;
    std::int32_t* jumps_;
    LevelQueues& queues_;
};

// The first pixel scanned from (x, y) down the columns to the right, below the
// starting row and within nine tenths of the image, that has level 0; else the
// last one examined.
std::size_t SearchSeed(const std::uint8_t* level, int width, int height, int x, int y);

} // namespace metrology
