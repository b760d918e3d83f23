// DirectShow frame conversion of one 1280 x 1024 frame, a row per subtype.
#include <benchmark/benchmark.h>

#include <vector>

#include "pixel_conversion.h"

namespace {

using namespace directshow;

constexpr int32_t kWidth = 1280;
constexpr int32_t kHeight = 1024;

void Convert(benchmark::State& state, PixelFormat format, int32_t mode, int bits, bool bottom_up)
{
    std::vector<uint8_t> frame(std::size_t(kWidth) * kHeight * std::size_t(bits) / 8);
    for (std::size_t i = 0; i < frame.size(); ++i)
        frame[i] = uint8_t(i * 7);
    std::vector<std::vector<uint8_t>> planes(3,
                                             std::vector<uint8_t>(std::size_t(kWidth) * kHeight));
    uint8_t* out[3] = {planes[0].data(), planes[1].data(), planes[2].data()};
    for (auto _ : state) {
        ConvertFrame({format, kWidth, kHeight, bottom_up}, mode, frame.data(), frame.size(), out);
        benchmark::DoNotOptimize(out[0][0]);
    }
}

const int kRegistered = [] {
    struct Row {
        const char* name;
        PixelFormat format;
        int32_t mode;
        int bits;
        bool bottom_up;
    };
    const Row rows[] = {
        {"RGB24/rgb", PixelFormat::RGB24, kColourRgb, 24, true},
        {"RGB24/gray", PixelFormat::RGB24, kColourGray, 24, true},
        {"UYVY/rgb", PixelFormat::UYVY, kColourRgb, 16, false},
        {"Y800/gray", PixelFormat::Y800, kColourGray, 8, false},
        {"RGB8/gray top-down", PixelFormat::RGB8, kColourGray, 8, false},
    };
    for (const Row& r : rows)
        benchmark::RegisterBenchmark(r.name, Convert, r.format, r.mode, r.bits, r.bottom_up)
            ->Unit(benchmark::kMillisecond);
    return 0;
}();

} // namespace
