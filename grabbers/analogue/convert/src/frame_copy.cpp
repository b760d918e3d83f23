#include <analogue/frame_copy.h>

#include <algorithm>

#include <workers/cpu_clones.h>
#include <workers/worker_pool.h>

namespace zephon {

namespace {

// The weighted sum in 32-bit lanes (at most 266.9 million), which vectorises.
ONDULA_AVX2_CLONES void GreyRun(const uint8_t* bgr, uint8_t* grey, std::size_t pixels)
{
    for (std::size_t i = 0; i < pixels; ++i, bgr += 3)
        grey[i] = uint8_t((145971u * bgr[0] + 596793u * bgr[1] + 303858u * bgr[2] + 512u) >> 20);
}

} // namespace

void GreyFromPackedBgr(const uint8_t* bgr, uint8_t* grey, std::size_t pixels)
{
    // Frames are spread over the workers in runs of 64K pixels.
    constexpr std::size_t kRun = 1 << 16;
    const int runs = int((pixels + kRun - 1) / kRun);
    ondula::ParallelFor(runs, 1, [&](int first, int end) {
        const std::size_t from = std::size_t(first) * kRun;
        GreyRun(bgr + 3 * from, grey + from, std::min(pixels, std::size_t(end) * kRun) - from);
    });
}

void MaskPixels(uint16_t* pixels, std::size_t count, int32_t bits, bool swap)
{
    const uint16_t mask = uint16_t(bits >= 16 ? 0xFFFF : (1u << bits) - 1);
    for (std::size_t i = 0; i < count; ++i) {
        const uint16_t value = swap ? uint16_t((pixels[i] << 8) | (pixels[i] >> 8)) : pixels[i];
        pixels[i] = value & mask;
    }
}

} // namespace zephon
