// Square convolution of byte planes and the contrast stretch that may follow it.
#pragma once

#include <cstdint>

#include <imageproc/plane_buffers.h>

// Convolves the planes of the image's channels (the first one, or all three),
// each on its own, in place, with the n x n kernel (n from 1 to 7, coefficient (r, c)
// at r x n + c) as it is displayed: coefficient (r, c) weighs the pixel at row
// offset r - a and column offset c - a, a = (n - 1) / 2. Pixels past the border
// repeat the edge pixel. The sum is divided by `divisor` (below 1 counts as 1),
// truncated towards zero and clipped to 0..255.
void Convolve(const int16_t* kernel, int n, int16_t divisor, PlaneBuffers* planes);

// With min and max the smallest and largest byte of the first plane, every
// byte v of every channel becomes (v - min) x 255 / (max - min), truncated
// towards zero and clipped to 0..255. A flat first plane (min = max) leaves
// the planes as they are.
void StretchContrast(PlaneBuffers* planes);
