// The unwrapper's walk: level queues, the seed search and the quality-ordered
// flood that gives every reached pixel its jump count.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>

#include "quality_levels.h"

namespace metrology {

inline constexpr std::uint8_t kQueued = 254; // level map: queued, excluded or on the frame
inline constexpr std::int32_t kSeedJumps = 100;

// What the walk knows of a pixel, in one signed word, so that a visit to a
// neighbourhood reads three short runs of memory: a pixel not yet unwrapped holds
// kOpen + 256 x level + phase (level 0..50, or kQueued), an unwrapped one
// 256 x jump count + phase. A Cell must hold every jump count of a run:
// CellHolds tells whether one suits an image.
template <class Cell> struct PixelCell {
    static constexpr Cell kOpen = std::numeric_limits<Cell>::min();
    // The first value of an unwrapped pixel, and the first past the levels still waiting.
    static constexpr Cell kUnwrapped = kOpen + 256 * 256;
    static constexpr Cell kWaitingEnd = kOpen + 256 * (kHighestLevel + 1);

    static constexpr Cell Open(int level, int phase) { return kOpen + 256 * Cell(level) + phase; }
    static constexpr Cell Unwrapped(Cell jumps, int phase) { return jumps * 256 + phase; }
    static constexpr bool IsUnwrapped(Cell cell) { return cell >= kUnwrapped; }
    // Not unwrapped, not queued: the level is 0..50.
    static constexpr bool IsWaiting(Cell cell) { return cell < kWaitingEnd; }
    static constexpr int Level(Cell cell) { return int((cell - kOpen) >> 8); }
    static constexpr int Phase(Cell cell) { return int(cell & 255); }
    static constexpr Cell Jumps(Cell cell) { return cell >> 8; }
};

// Whether Cell holds the jump counts of an image of `pixels` pixels: a count
// differs from its seed's by less than the pixel count, and shifting a region
// onto another's base can double that.
template <class Cell> constexpr bool CellHolds(std::size_t pixels)
{
    constexpr std::size_t kLargest = std::size_t(std::numeric_limits<Cell>::max() >> 8) - 256;
    return pixels <= (kLargest - std::size_t(kSeedJumps)) / 2;
}

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

// The walk over one run's cells and queues (Cell: std::int32_t or std::int64_t).
// The caller keeps every pixel of the first and last rows and columns queued.
// `cells` holds one value more, past the last pixel, that rows read four wide
// reach: a queued cell.
template <class Cell> class Walk {
public:
    Walk(int width, Cell* cells, LevelQueues& queues);

    // Makes `pixel` a seed (jump count 100) and queues its waiting neighbours.
    void Seed(std::size_t pixel);

    // Unwraps queued pixels, always the oldest of the best non-empty level, until
    // every level is empty. Levels past 20 hold the few worst pixels and are only
    // reached once levels 0 to 20 are empty.
    void Run();

private:
    using Code = PixelCell<Cell>;

    int Process(std::size_t pixel);
    void Prefetch(std::size_t pixel) const;
    Cell Vote(std::size_t pixel, int c) const;
    void Queue(std::size_t pixel);

    std::ptrdiff_t offset_[8];
    std::ptrdiff_t width_;
    Cell* cells_;
    LevelQueues& queues_;
};

// The first pixel scanned from (x, y) down the columns to the right, below the
// starting row and within nine tenths of the image, that has level 0; else the
// last one examined.
std::size_t SearchSeed(const std::uint8_t* level, int width, int height, int x, int y);

} // namespace metrology
