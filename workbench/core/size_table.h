// The image sizes allowed for each acquisition source.
#pragma once

#include <array>
#include <cstdint>

struct SizePair {
    int16_t width = 0;
    int16_t height = 0;
    bool operator==(const SizePair&) const = default;
};

constexpr int kSizeTableEntries = 10;
using SizeTable = std::array<SizePair, kSizeTableEntries>;

// The largest size any source offers; stored default sizes beyond it are refused.
constexpr int kLargestImageWidth = 1280;
constexpr int kLargestImageHeight = 1024;

// The table of `source` (0..8) in its order, `child` standing for the size
// derived from the main frame; empty pairs are (0, 0), every pair for an
// unknown source.
SizeTable FillSizeTable(int source, SizePair child);

// True when some pair equals (width, height) exactly.
bool SizeInTable(const SizeTable& table, int width, int height);

// 0 and pair `index` when index is 0..9 and both values are positive;
// otherwise 1 and 640 x 480.
int GetSize(const SizeTable& table, int index, int* width, int* height);

// The child size offered by the table: outer frame width / 2 - 20, 4:3.
SizePair ChildSizeForFrameWidth(int frameWidth);
