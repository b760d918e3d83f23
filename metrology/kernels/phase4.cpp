#include "phase4.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstring>
#include <memory>

#include <workers/cpu_clones.h>
#include <workers/worker_pool.h>

namespace metrology {

namespace {

constexpr double kHalfTurn = 3.1415;
constexpr double kFullTurn = 6.28;

bool SignBitPositive(float value) { return std::bit_cast<std::int32_t>(value) > 0; }

// Grey of every (num, den) pair, num and den in -255..255, at (num + 255) x 511 + den + 255.
constexpr int kDiffSpan = 511;

const std::uint8_t* GreyTableCentre()
{
    static const auto table = [] {
        auto t = std::make_unique<std::array<std::uint8_t, kDiffSpan * kDiffSpan>>();
        for (int num = -255; num <= 255; ++num)
            for (int den = -255; den <= 255; ++den)
                (*t)[(num + 255) * kDiffSpan + den + 255] = PhaseGrey(den, 0, 0, num);
        return t;
    }();
    return table->data() + 255 * kDiffSpan + 255;
}

} // namespace

std::uint8_t WrappedPhase8::Grey(float phase)
{
    double grey = double(phase) * kGreyPerRadian;
    if (grey < 0)
        grey = 0;
    if (grey > 255.0)
        grey = 255;
    return std::uint8_t(grey);
}

float ComputePhase(float num, float den)
{
    if (std::fabs(double(den)) < 1e-8)
        return 1e10f;
    const float t = float(std::atan(double(num / den)));
    if (SignBitPositive(num))
        return SignBitPositive(t) ? t : float(double(t) + kHalfTurn);
    // A zero numerator with a negative denominator lies on the half turn, not on 0.
    if (SignBitPositive(t) || (num == 0 && den < 0))
        return float(double(t) + kHalfTurn);
    return float(double(t) + kFullTurn);
}

std::uint8_t PhaseGrey(int i0, int i90, int i180, int i270)
{
    const int num = i270 - i90;
    if (i0 == i180) {
        if (num == 0)
            return 0;
        return WrappedPhase8::Grey(float(num > 0 ? kHalfTurn / 2 : 3 * kHalfTurn / 2));
    }
    return WrappedPhase8::Grey(ComputePhase(float(num), float(i0 - i180)));
}

namespace {

// Pixels [from, to) of FourImagePhase. Table positions are worked out a block
// at a time, which vectorises, then looked up.
ONDULA_AVX2_CLONES void PhaseRun(const std::uint8_t* i0, const std::uint8_t* i90,
                                 const std::uint8_t* i180, const std::uint8_t* i270,
                                 std::uint8_t* result, std::size_t from, std::size_t to)
{
    constexpr std::size_t kBlock = 2048;
    std::int32_t position[kBlock];
    const std::uint8_t* centre = GreyTableCentre();
    for (std::size_t start = from; start < to; start += kBlock) {
        const std::size_t m = std::min(kBlock, to - start);
        for (std::size_t k = 0; k < m; ++k) {
            const std::size_t p = start + k;
            position[k] = (int(i270[p]) - int(i90[p])) * kDiffSpan + int(i0[p]) - int(i180[p]);
        }
        for (std::size_t k = 0; k < m; ++k)
            result[start + k] = centre[position[k]];
    }
}

} // namespace

void FourImagePhase(const std::uint8_t* i0, const std::uint8_t* i90, const std::uint8_t* i180,
                    const std::uint8_t* i270, std::uint8_t* result, std::size_t count)
{
    // Runs of 32K pixels, spread over the workers.
    constexpr std::size_t kRun = 1 << 15;
    ondula::ParallelFor(int((count + kRun - 1) / kRun), 1, [=](int first, int end) {
        PhaseRun(i0, i90, i180, i270, result, std::size_t(first) * kRun,
                 std::min(count, std::size_t(end) * kRun));
    });
}

PlaneStatus ImageToPlane(const ImagePlanes& image, int width, int height, std::uint8_t* plane)
{
    if (width <= 0 || height <= 0)
        return PlaneStatus::Ok;
    std::memset(plane, 0, std::size_t(width) * std::size_t(height));
    const bool colour = image.channels >= 3;
    const int planes = colour ? 3 : 1;
    if (image.channels < 1 || image.width < 0 || image.height < 0)
        return PlaneStatus::NoPixels;
    for (int c = 0; c < planes; ++c)
        if (!image.plane[c])
            return PlaneStatus::NoPixels;

    const int w = std::min(width, image.width);
    const int h = std::min(height, image.height);
    for (int y = 0; y < h; ++y) {
        const std::size_t src = std::size_t(y) * std::size_t(image.width);
        std::uint8_t* dst = plane + std::size_t(y) * std::size_t(width);
        if (!colour) {
            std::memcpy(dst, image.plane[0] + src, std::size_t(w));
            continue;
        }
        const std::uint8_t* r = image.plane[0] + src;
        const std::uint8_t* g = image.plane[1] + src;
        const std::uint8_t* b = image.plane[2] + src;
        for (int x = 0; x < w; ++x)
            dst[x] = std::uint8_t((30 * r[x] + 59 * g[x] + 11 * b[x]) / 100);
    }
    return image.width == width && image.height == height ? PlaneStatus::Ok
                                                          : PlaneStatus::SizeMismatch;
}

} // namespace metrology
