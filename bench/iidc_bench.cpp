// Speed of the IEEE-1394 camera conversions and of a grab through the host.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "grab_bench.h"
#include "worker_rows.h"
#include <fgcamera/simulation.h>
#include <iidc/colour_conversion.h>
#include <verodyn/verodyn.h>

namespace {

struct Member {
    const char* coding_name;
    uint32_t coding;
    const char* space_name;
    int32_t space;
    int32_t bits;
};

constexpr Member kMembers[] = {
    {"YUV422", CM_YUV422, "rgb", iidc::kRgb, 8},  {"Y8", CM_Y8, "gray", iidc::kGray, 8},
    {"YUV411", CM_YUV411, "rgb", iidc::kRgb, 8},  {"YUV422", CM_YUV422, "yuv", iidc::kYuv, 8},
    {"RGB8", CM_RGB8, "gray", iidc::kGray, 8},    {"Y16", CM_Y16, "gray", iidc::kGray, 12},
    {"YUV422", CM_YUV422, "rgb", iidc::kRgb, 16},
};

// Converts a whole 1280 x 1024 frame whose bytes count up.
void Convert(benchmark::State& state, Member member)
{
    constexpr int32_t kWidth = 1280, kHeight = 1024;
    std::vector<uint8_t> frame(size_t(kWidth) * kHeight * 3);
    for (size_t i = 0; i < frame.size(); ++i)
        frame[i] = uint8_t(i * 7 ^ i >> 9);
    std::vector<uint16_t> planes[3];
    iidc::ConversionContext context{member.coding, member.space, member.bits, false, kWidth,
                                    kWidth,        kHeight,      0,           0};
    context.frame = frame.data();
    context.frame_length = frame.size();
    for (int i = 0; i < 3; ++i) {
        planes[i].resize(size_t(kWidth) * kHeight);
        context.planes[i] = planes[i].data();
    }
    UseWorkers(state);
    for (auto _ : state) {
        benchmark::DoNotOptimize(iidc::ConvertFrame(context));
        benchmark::ClobberMemory();
    }
}

// grab_image of the mono camera's 1024 x 768 Y8 mode through the host; the
// bus runs in virtual time, so the frame is ready without waiting for it.
// The bus is set up once: the plug-in initialises its library only once.
void Grab(benchmark::State& state)
{
    static ondula::VirtualClock clock;
    static const bool configured = [] {
        unsetenv("ONDULA_PLUGIN_PATH");
        fgsim::UseClock(clock, 0);
        fgsim::Configure({fgsim::MonoCamera(0)});
        return true;
    }();
    (void)configured;
    long handle = 0;
    const bool ready = open_framegrabber("1394IIDC", 1, 1, 0, 0, 0, 0, "default", -1, "default", -1,
                                         "default", "1:5:4", "default", -1, -1, &handle) == V_OK;
    TimeGrabs(state, handle, ready);
}

const bool kRegistered = [] {
    for (const Member& m : kMembers) {
        const std::string name = std::string("IIDC/Convert/") + m.coding_name + "/" + m.space_name +
                                 "/" + std::to_string(m.bits) + "/1280x1024";
        benchmark::RegisterBenchmark(name.c_str(), Convert, m)
            ->Apply(WorkerRows)
            ->Unit(benchmark::kMillisecond);
    }
    benchmark::RegisterBenchmark("IIDC/Grab/Y8/gray/8/1024x768", Grab)
        ->Unit(benchmark::kMillisecond);
    return true;
}();

} // namespace
