// DirectShow: frame conversion of one 1280 x 1024 frame, a row per subtype,
// and a device setting on the running simulated camera through the host.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <vector>

#include "grabbers/directshow/pixel_conversion.h"
#include "worker_rows.h"
#include <registry/registry.h>
#include <verodyn/verodyn.h>

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
    UseWorkers(state);
    for (auto _ : state) {
        ConvertFrame({format, kWidth, kHeight, bottom_up}, mode, frame.data(), frame.size(), out);
        benchmark::DoNotOptimize(out[0][0]);
    }
}

// "brightness" set while the camera streams at 30 frames a second: stop,
// tear down, set, reconnect. Each setting is timed alone; a grab between two
// runs the camera again. Reports the median too.
void DeviceSetting(benchmark::State& state)
{
    registry::UseSystem(registry::Registry::InMemory());
    long handle = 0;
    if (open_framegrabber("DirectShow", 1, 1, 0, 0, 0, 0, "default", -1, "rgb", -1.0, "false",
                          "PAL RGB24 (640x480)", "0", -1, -1, &handle) != V_OK ||
        set_framegrabber_param(handle, "frame_rate", VTuple(30.0)) != V_OK) {
        state.SkipWithError("the camera does not open");
        if (handle)
            close_framegrabber(handle);
        return;
    }
    std::vector<double> seconds;
    Vobject image;
    int value = 0;
    for (auto _ : state) {
        if (grab_image(&image, handle) != V_OK) {
            state.SkipWithError("no frame");
            break;
        }
        const auto start = std::chrono::steady_clock::now();
        const Vstatus status = set_framegrabber_param(handle, "brightness", VTuple(value++ % 256));
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        if (status != V_OK) {
            state.SkipWithError("the setting failed");
            break;
        }
        state.SetIterationTime(took.count());
        seconds.push_back(took.count());
    }
    if (!seconds.empty()) {
        const auto middle = seconds.begin() + std::ptrdiff_t(seconds.size() / 2);
        std::nth_element(seconds.begin(), middle, seconds.end());
        state.counters["median_ms"] = *middle * 1e3;
    }
    close_framegrabber(handle);
    registry::UseSystem(nullptr);
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
            ->Apply(WorkerRows)
            ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("DeviceSetting/running camera", DeviceSetting)
        ->UseManualTime()
        ->Iterations(100)
        ->Unit(benchmark::kMillisecond);
    return 0;
}();

} // namespace
