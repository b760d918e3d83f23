// Resizing an image by a percentage of its size at the start: the slider's
// range, the size a percentage gives, and the texts that show them.
#pragma once

#include <string>

constexpr int kLargestResizePercent = 200;

// The smallest percentage offered for an image `width` pixels wide: 15000 /
// width when it is at least 150 wide, else 100; never below 20.
int SmallestResizePercent(int width);

struct ResizedSize {
    int width = 0;
    int height = 0;
};

// percent x width x 0.01 and percent x height x 0.01, truncated towards zero;
// kept within 1..32767, the sizes a document can hold.
ResizedSize SizeAtPercent(int percent, int width, int height);

// "Coef[%d,%d]: %d %%" of the smallest percentage, 200 and the percentage.
std::string ResizeRangeText(int smallest, int percent);
// "Dimensions (pixel): %d x %d\nMini: %d x %d\nMaxi: %d x %d": the size at
// `percent`, at the smallest percentage (width x smallest / 100 in integers)
// and at 200 % of the size at the start.
std::string ResizeSizeText(int percent, int smallest, int width, int height);
