// The 17 named convolution filters offered to the user: dimension, divisor
// and a 7 x 7 block of coefficients each, of which the top-left dimension x
// dimension block is used.
#pragma once

#include <array>
#include <cstdint>

constexpr int kFilterCount = 17;
constexpr int kKernelSide = 7;
constexpr int kSmallestKernel = 3;

struct ConvolutionFilter {
    int16_t dimension;                                     // 3..7
    int16_t divisor;                                       // the sum is divided by it
    std::array<int16_t, kKernelSide * kKernelSide> kernel; // element (r, c) at r x 7 + c
};

// The name of filter `index` (0..16) as the filter list shows it (UTF-8).
const char* FilterName(int index);
// Filter `index` (0..16) as it stands before any edit.
const ConvolutionFilter& FilterPreset(int index);
