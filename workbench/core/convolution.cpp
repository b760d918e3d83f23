#include "convolution.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <type_traits>
#include <vector>

#include "tone_curves.h"

namespace {

// Sums of products are exact in single precision while they stay within
// 2^24; beyond, they are summed in 32-bit integers (|sum| < 2^31 for 49
// coefficients of 16 bits and bytes).
constexpr long kExactInFloat = 1L << 24;

using Float4 = float __attribute__((vector_size(16)));
using Float8 = float __attribute__((vector_size(32)));
using Int4 = int32_t __attribute__((vector_size(16)));

// Output pixels summed side by side: two vectors of lanes at a time, so that
// the additions of one do not wait for the other.
constexpr int kVectors = 2;

// Convolves one plane. The plane is copied once into rows of lanes, padded
// with repeated edge pixels to whole blocks of output pixels, so that every
// kernel coefficient is one multiply-add of a whole vector.
template <class Lanes>
[[gnu::always_inline]] inline void ConvolvePlaneWith(const int16_t* kernel, int n, int divisor,
                                                     int width, int height, uint8_t* plane)
{
    using Lane = std::remove_reference_t<decltype(Lanes{}[0])>;
    constexpr int kLanes = sizeof(Lanes) / sizeof(Lane);
    constexpr int kBlock = kLanes * kVectors;
    const int before = (n - 1) / 2;
    const int columns = (width + kBlock - 1) / kBlock * kBlock;
    const std::size_t rowLength = std::size_t(columns + n - 1);
    std::vector<Lane> padded(rowLength * std::size_t(height + n - 1));
    for (int py = 0; py < height + n - 1; ++py) {
        const uint8_t* source =
            plane + std::size_t(std::clamp(py - before, 0, height - 1)) * std::size_t(width);
        Lane* row = padded.data() + std::size_t(py) * rowLength;
        std::fill(row, row + before, source[0]);
        for (int x = 0; x < width; ++x)
            row[before + x] = source[x];
        std::fill(row + before + width, row + rowLength, source[width - 1]);
    }
    // Sums from 0 to 255 x divisor give the 256 results; beyond, the result
    // is clipped. Within that range the correctly rounded single-precision
    // quotient never crosses an integer, so truncating it is exact.
    const Lane top = static_cast<Lane>(255 * divisor);
    const float fdivisor = float(divisor);
    std::vector<Lane> sums(static_cast<std::size_t>(columns));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < columns; x += kBlock) {
            Lanes sum[kVectors] = {};
            for (int r = 0; r < n; ++r) {
                const Lane* row = padded.data() + std::size_t(y + r) * rowLength + x;
                for (int c = 0; c < n; ++c) {
                    const Lane k = kernel[r * n + c];
                    for (int v = 0; v < kVectors; ++v) {
                        Lanes pixels;
                        std::memcpy(&pixels, row + c + v * kLanes, sizeof pixels);
                        sum[v] += k * pixels;
                    }
                }
            }
            std::memcpy(sums.data() + x, sum, sizeof sum);
        }
        uint8_t* out = plane + std::size_t(y) * std::size_t(width);
        for (int x = 0; x < width; ++x) {
            const Lane s = sums[x] < 0 ? 0 : sums[x] > top ? top : sums[x];
            out[x] = static_cast<uint8_t>(static_cast<int32_t>(static_cast<float>(s) / fdivisor));
        }
    }
}

void ConvolveFloat4(const int16_t* kernel, int n, int divisor, int width, int height,
                    uint8_t* plane)
{
    ConvolvePlaneWith<Float4>(kernel, n, divisor, width, height, plane);
}

[[gnu::target("avx2,fma")]] void ConvolveFloat8(const int16_t* kernel, int n, int divisor,
                                                int width, int height, uint8_t* plane)
{
    ConvolvePlaneWith<Float8>(kernel, n, divisor, width, height, plane);
}

void ConvolveInt4(const int16_t* kernel, int n, int divisor, int width, int height, uint8_t* plane)
{
    ConvolvePlaneWith<Int4>(kernel, n, divisor, width, height, plane);
}

} // namespace

void Convolve(const int16_t* kernel, int n, int16_t divisor, PlaneBuffers* planes)
{
    if (planes->width <= 0 || planes->height <= 0 || n < 1 || n > 7)
        return;
    long weight = 0;
    for (int i = 0; i < n * n; ++i)
        weight += std::abs(kernel[i]) * 255L;
    const auto convolve = weight > kExactInFloat           ? ConvolveInt4
                          : __builtin_cpu_supports("avx2") ? ConvolveFloat8
                                                           : ConvolveFloat4;
    for (int c = 0; c < planes->channels; ++c)
        convolve(kernel, n, std::max<int16_t>(divisor, 1), planes->width, planes->height,
                 planes->planes[c].data());
}

void StretchContrast(PlaneBuffers* planes)
{
    if (planes->channels == 0 || planes->planes[0].empty())
        return;
    const auto [low, high] =
        std::minmax_element(planes->planes[0].begin(), planes->planes[0].end());
    const int minimum = *low;
    const int range = *high - minimum;
    if (range == 0)
        return;
    ToneTable table{};
    for (int v = 0; v < 256; ++v)
        table[v] = static_cast<uint8_t>(std::clamp((v - minimum) * 255 / range, 0, 255));
    ApplyTable(table, planes);
}
