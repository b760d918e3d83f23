#include <imageproc/tone_curves.h>

#include <algorithm>
#include <cmath>

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

void ApplyTable(const ToneTable& table, PlaneBuffers* planes)
{
    // Runs of 64K bytes, spread over the workers.
    constexpr std::size_t kRun = 1 << 16;
    for (int c = 0; c < planes->channels; ++c) {
        uint8_t* bytes = planes->planes[c].data();
        const std::size_t size = planes->planes[c].size();
        ondula::ParallelFor(int((size + kRun - 1) / kRun), 1,
                            [&table, bytes, size](int first, int end) {
                                // Locals: the byte stores could change captured variables as far
                                // as the compiler knows, and it would read them again each time.
                                uint8_t* const run = bytes;
                                const uint8_t* const curve = table.data();
                                const std::size_t last = std::min(size, std::size_t(end) * kRun);
                                for (std::size_t i = std::size_t(first) * kRun; i < last; ++i)
                                    run[i] = curve[run[i]];
                            });
    }
}
