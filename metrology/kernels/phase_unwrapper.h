// Quality-guided phase unwrapper: turns a wrapped phase image into a height image
// and counts the phase jumps.
#pragma once

#include <cstddef>
#include <cstdint>

#include "work_memory.h"

using UnwrapFlags = int;

enum : UnwrapFlags {
    UW_DISCONTINUITIES = 0x001,   // add the discontinuity map to the quality
    UW_INVERT = 0x002,            // output 255 - value (where the mask allows)
    UW_POLES = 0x004,             // add the residue map
    UW_NOISE_TYPE1 = 0x008,       // the smallest quality value goes to the last level
    UW_QUALITY_VARIANCE = 0x010,  // add the variance map
    UW_NOISE_EXTRA = 0x020,       // with UW_NOISE_HISTOGRAM: erode the kept-pixel mask
    UW_NOISE_HISTOGRAM = 0x040,   // keep only pixels of non-zero quality
    UW_QUALITY_LSQ5X5 = 0x080,    // add the least-squares 5x5 map
    UW_MASK = 0x100,              // a mask image is given
    UW_QUALITY_LAPLACIAN = 0x200, // add the Laplacian map
    UW_QUALITY_LINEARITY = 0x400, // add the linearity map
};

// An unwrapper keeps its work memory for the next image of a like size.
class CPhaseUnwrapper {
public:
    // Unwraps `phase` (width x height values 0..255, 256 per fringe, pixel (x, y) at
    // y x width + x) into `out`, guided by the quality maps that `flags` selects;
    // `mask` (non-zero = object) is read only with UW_MASK. Returns the jump range M,
    // the largest minus the smallest jump count inside the 2-pixel frame. Only
    // 2 <= x <= width - 3, 2 <= y <= height - 3 of `out` is written, scaled to 0..255.
    // Each region the mask cuts off is unwrapped from its own seed, then shifted so
    // that all regions share the same lowest jump count inside the frame: M is the
    // most fringes crossed inside one region. Images smaller than 5 x 5 give M = 0
    // and an all-zero `out`.
    int Unwrap(int width, int height, const std::int32_t* phase, const std::int32_t* mask,
               std::int32_t* out, UnwrapFlags flags);

private:
    int Run(UnwrapFlags flags);
    bool Masked(std::size_t i) const;

    int m_width = 0;
    int m_height = 0;
    const std::int32_t* m_phase = nullptr;
    const std::int32_t* m_mask = nullptr;
    std::int32_t* m_out = nullptr;
    metrology::WorkMemory m_memory;
};
