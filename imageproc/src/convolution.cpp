#include <imageproc/convolution.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <type_traits>
#include <vector>

#include <workers/worker_pool.h>

#include <imageproc/tone_curves.h>

namespace {

// Sums of products are exact in single precision while they stay within
// 2^24; beyond, they are summed in 32-bit integers (|sum| < 2^31 for 49
// coefficients of 16 bits and bytes).
constexpr long kExactInFloat = 1L << 24;

using Float4 = float __attribute__((vector_size(16)));
using Float8 = float __attribute__((vector_size(32)));
using Float16 = float __attribute__((vector_size(64)));
using Int4 = int32_t __attribute__((vector_size(16)));

// Output pixels summed side by side: eight vectors of lanes at a time, so that
// the multiply-adds of one do not wait for those of another (each waits for
// the one before in its own sum).
constexpr int kVectors = 8;

// The source rows of one band: its own rows, read from the plane before they are
// overwritten, and the rows beyond its ends, which neighbouring bands overwrite,
// from the copies made before any band ran.
struct BandSource {
    uint8_t* plane;
    const uint8_t* aboveCopy; // rows [first - before, first), or null for the first band
    const uint8_t* belowCopy; // rows [end, end + n - 1 - before), or null for the last band
    int width, height, first, end;

    const uint8_t* Row(int y) const
    {
        y = std::clamp(y, 0, height - 1);
        const std::size_t w = std::size_t(width);
        if (y < first)
            return aboveCopy - std::size_t(first - y) * w;
        if (y >= end)
            return belowCopy + std::size_t(y - end) * w;
        return plane + std::size_t(y) * w;
    }
};

// Convolves the band's rows [first, end) in place. The band keeps the n source
// rows its output row needs as rows of lanes, padded with repeated edge pixels
// to whole blocks of output pixels, so that every kernel coefficient is one
// multiply-add of a whole vector; `ring` holds them. Each source row is read
// once, before the output row that shares its place is written.
template <class Lanes>
[[gnu::always_inline]] inline void ConvolveBandWith(const int16_t* kernel, int n, int divisor,
                                                    const BandSource& source, void* ring)
{
    using Lane = std::remove_reference_t<decltype(Lanes{}[0])>;
    constexpr int kLanes = sizeof(Lanes) / sizeof(Lane);
    constexpr int kBlock = kLanes * kVectors;
    const int width = source.width, first = source.first, end = source.end;
    const int before = (n - 1) / 2;
    const int columns = (width + kBlock - 1) / kBlock * kBlock;
    const std::size_t rowLength = std::size_t(columns + n - 1);
    Lane* rows = static_cast<Lane*>(ring);
    Lane* sums = rows + rowLength * std::size_t(n);
    // Padded row py holds source row py - before, in ring slot py % n.
    auto pad = [&](int py) {
        const uint8_t* in = source.Row(py - before);
        Lane* row = rows + std::size_t(py % n) * rowLength;
        std::fill(row, row + before, in[0]);
        for (int x = 0; x < width; ++x)
            row[before + x] = in[x];
        std::fill(row + before + width, row + rowLength, in[width - 1]);
    };
    // Sums from 0 to 255 x divisor give the 256 results; beyond, the result
    // is clipped. Within that range the correctly rounded single-precision
    // quotient never crosses an integer, so truncating it is exact.
    const Lane top = static_cast<Lane>(255 * divisor);
    const float fdivisor = float(divisor);
    Lane coefficients[7 * 7];
    for (int i = 0; i < n * n; ++i)
        coefficients[i] = kernel[i];
    for (int py = first; py < first + n - 1; ++py)
        pad(py);
    for (int y = first; y < end; ++y) {
        pad(y + n - 1);
        // The ring slots of the output row's source rows, worked out once a row.
        const Lane* window[7];
        for (int r = 0; r < n; ++r)
            window[r] = rows + std::size_t((y + r) % n) * rowLength;
        for (int x = 0; x < columns; x += kBlock) {
            Lanes sum[kVectors] = {};
            for (int r = 0; r < n; ++r) {
                const Lane* row = window[r] + x;
                for (int c = 0; c < n; ++c) {
                    const Lane k = coefficients[r * n + c];
                    for (int v = 0; v < kVectors; ++v) {
                        Lanes pixels;
                        std::memcpy(&pixels, row + c + v * kLanes, sizeof pixels);
                        sum[v] += k * pixels;
                    }
                }
            }
            std::memcpy(sums + x, sum, sizeof sum);
        }
        uint8_t* out = source.plane + std::size_t(y) * std::size_t(width);
        for (int x = 0; x < width; ++x) {
            const Lane s = sums[x] < 0 ? 0 : sums[x] > top ? top : sums[x];
            out[x] = static_cast<uint8_t>(static_cast<int32_t>(static_cast<float>(s) / fdivisor));
        }
    }
}

// Bytes of a band's ring: n padded rows and the sums of one row, in lanes of 4 bytes.
std::size_t RingBytes(int n, int width)
{
    constexpr int kWidestBlock = 16 * kVectors;
    const std::size_t columns = std::size_t(width + kWidestBlock - 1) / kWidestBlock * kWidestBlock;
    return 4 * ((columns + std::size_t(n) - 1) * std::size_t(n) + columns);
}

using BandFn = void (*)(const int16_t*, int, int, const BandSource&, void*);

void ConvolveFloat4(const int16_t* kernel, int n, int divisor, const BandSource& source, void* ring)
{
    ConvolveBandWith<Float4>(kernel, n, divisor, source, ring);
}

[[gnu::target("avx2,fma")]] void ConvolveFloat8(const int16_t* kernel, int n, int divisor,
                                                const BandSource& source, void* ring)
{
    ConvolveBandWith<Float8>(kernel, n, divisor, source, ring);
}

[[gnu::target("avx512f")]] void ConvolveFloat16(const int16_t* kernel, int n, int divisor,
                                                const BandSource& source, void* ring)
{
    ConvolveBandWith<Float16>(kernel, n, divisor, source, ring);
}

void ConvolveInt4(const int16_t* kernel, int n, int divisor, const BandSource& source, void* ring)
{
    ConvolveBandWith<Int4>(kernel, n, divisor, source, ring);
}

// Scratch bytes of one thread, kept between calls: slot 0 holds the rows
// around the band boundaries, slot 1 a band's ring.
thread_local std::vector<Float8> t_scratch[2];

void* Scratch(std::size_t bytes, int slot)
{
    const std::size_t vectors = (bytes + sizeof(Float8) - 1) / sizeof(Float8);
    if (t_scratch[slot].size() < vectors)
        t_scratch[slot].resize(vectors);
    return t_scratch[slot].data();
}

// The rows around the band boundaries come to most of a wide image's size:
// past this much they are given back once the call is done, so that one large
// image does not keep its size for the rest of the session. A ring grows with
// the width alone and stays.
constexpr std::size_t kKeptBoundaryBytes = std::size_t(8) << 20;

void ReleaseLargeBoundaries()
{
    if (t_scratch[0].size() * sizeof(Float8) > kKeptBoundaryBytes)
        std::vector<Float8>().swap(t_scratch[0]);
}

} // namespace

void Convolve(const int16_t* kernel, int n, int16_t divisor, PlaneBuffers* planes)
{
    if (planes->width <= 0 || planes->height <= 0 || n < 1 || n > 7)
        return;
    long weight = 0;
    for (int i = 0; i < n * n; ++i)
        weight += std::abs(kernel[i]) * 255L;
    const BandFn convolve = weight > kExactInFloat              ? ConvolveInt4
                            : __builtin_cpu_supports("avx512f") ? ConvolveFloat16
                            : __builtin_cpu_supports("avx2")    ? ConvolveFloat8
                                                                : ConvolveFloat4;
    const int width = planes->width, height = planes->height, channels = planes->channels;
    const int d = std::max<int16_t>(divisor, 1);
    // Every plane is cut into bands of about 64K pixels, all run in one loop over
    // the workers. Output rows overwrite the plane, so the n - 1 source rows
    // around each boundary between bands are copied first: the rest of a band's
    // source rows are its own, each read before it is written.
    const int before = (n - 1) / 2;
    const int bands = std::max(1, height / std::max(8, (1 << 16) / width));
    const std::size_t rowBytes = std::size_t(width), boundaryBytes = std::size_t(n - 1) * rowBytes;
    auto* boundaries = static_cast<uint8_t*>(
        Scratch(std::size_t(channels) * std::size_t(bands) * boundaryBytes, 0));
    auto boundaryCopy = [&](int c, int b) {
        return boundaries + (std::size_t(c) * std::size_t(bands) + std::size_t(b)) * boundaryBytes;
    };
    auto bandStart = [&](int b) { return int(static_cast<long long>(height) * b / bands); };
    for (int c = 0; c < channels; ++c)
        for (int b = 1; b < bands; ++b)
            for (int r = 0; r < n - 1; ++r) {
                const int y = std::min(bandStart(b) - before + r, height - 1);
                std::memcpy(boundaryCopy(c, b) + std::size_t(r) * rowBytes,
                            planes->planes[c].data() + std::size_t(y) * rowBytes, rowBytes);
            }
    ondula::ParallelFor(channels * bands, bands > 1 ? 1 : channels, [&](int first, int end) {
        void* ring = Scratch(RingBytes(n, width), 1);
        for (int i = first; i < end; ++i) {
            const int c = i / bands, b = i % bands;
            const BandSource source{
                planes->planes[c].data(),
                b > 0 ? boundaryCopy(c, b) + std::size_t(before) * rowBytes : nullptr,
                b + 1 < bands ? boundaryCopy(c, b + 1) + std::size_t(before) * rowBytes : nullptr,
                width,
                height,
                bandStart(b),
                bandStart(b + 1)};
            convolve(kernel, n, d, source, ring);
        }
    });
    ReleaseLargeBoundaries();
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
