#include <imageproc/tone_curves.h>

#include <algorithm>
#include <cmath>

#include <immintrin.h>

#include <workers/worker_pool.h>

namespace {

uint8_t ClipTruncated(float value) { return static_cast<uint8_t>(std::clamp(value, 0.0f, 255.0f)); }

} // namespace

ToneTable LuminanceGammaTable(int luminance, float gamma)
{
    ToneTable table{};
    for (int v = 0; v < 256; ++v) {
        const int lit = std::clamp(v + luminance, 0, 255);
        const auto curved =
            static_cast<float>(std::pow(lit * 0.00392156862745098, double(gamma)) * 255.0);
        table[v] = ClipTruncated(curved);
    }
    return table;
}

ToneTable MultiplyTable(float factor)
{
    ToneTable table{};
    for (int v = 0; v < 256; ++v)
        table[v] = ClipTruncated(static_cast<float>(v) * factor);
    return table;
}

namespace {

// Bytes [from, to) of a run through the table, one at a time.
void ApplyBytes(const uint8_t* curve, uint8_t* run, std::size_t from, std::size_t to)
{
    for (std::size_t i = from; i < to; ++i)
        run[i] = curve[run[i]];
}

// The same 64 bytes at a time with the processor's byte permutes: each picks
// from one half of the table by the byte's low seven bits, its top bit
// chooses the half. Returns where the bytes left to do start.
[[gnu::target("avx512f,avx512bw,avx512vbmi")]] std::size_t
ApplyPermutes(const uint8_t* curve, uint8_t* run, std::size_t from, std::size_t to)
{
    const __m512i q0 = _mm512_loadu_si512(curve), q1 = _mm512_loadu_si512(curve + 64),
                  q2 = _mm512_loadu_si512(curve + 128), q3 = _mm512_loadu_si512(curve + 192);
    std::size_t i = from;
    for (; i + 64 <= to; i += 64) {
        const __m512i v = _mm512_loadu_si512(run + i);
        const __m512i low = _mm512_permutex2var_epi8(q0, v, q1);
        const __m512i high = _mm512_permutex2var_epi8(q2, v, q3);
        _mm512_storeu_si512(run + i, _mm512_mask_blend_epi8(_mm512_movepi8_mask(v), low, high));
    }
    return i;
}

} // namespace

void ApplyTable(const ToneTable& table, PlaneBuffers* planes)
{
    static const bool permutes = __builtin_cpu_supports("avx512vbmi");
    // Runs of 64K bytes, spread over the workers.
    constexpr std::size_t kRun = 1 << 16;
    for (int c = 0; c < planes->channels; ++c) {
        uint8_t* bytes = planes->planes[c].data();
        const std::size_t size = planes->planes[c].size();
        ondula::ParallelFor(int((size + kRun - 1) / kRun), 1, [&](int first, int end) {
            const std::size_t from = std::size_t(first) * kRun;
            const std::size_t last = std::min(size, std::size_t(end) * kRun);
            ApplyBytes(table.data(), bytes,
                       permutes ? ApplyPermutes(table.data(), bytes, from, last) : from, last);
        });
    }
}
