// The analogue-board plug-in: turning a colour frame grey, and one grab
// through the host on a board whose frames come at once.
#include <benchmark/benchmark.h>

#include <vector>

#include "grab_bench.h"
#include "worker_rows.h"
#include <analogue/frame_copy.h>
#include <dvl/simulated_boards.h>
#include <verodyn/framegrabber.h>

namespace {

constexpr int kWidth = 768;
constexpr int kHeight = 576;

// A 768 x 576 colour frame copied packed out of the board's buffer, then grey.
void CopyGrey(benchmark::State& state)
{
    DvlId app = 0, system = 0, buffer = 0;
    DvlAppAlloc(DVL_DEFAULT, &app);
    DvlSysAlloc("\\\\.\\D_SYSTEM_ZEPHON_II", 0, DVL_DEFAULT, &system);
    DvlBufAllocColor(system, 3, kWidth, kHeight, 8, 2076, &buffer);
    std::vector<uint8_t> packed(std::size_t(kWidth) * kHeight * 3), grey(packed.size() / 3);
    UseWorkers(state);
    for (auto _ : state) {
        DvlBufGetColor(buffer, DVL_PACKED_BGR24, DVL_ALL_BANDS, packed.data());
        zephon::GreyFromPackedBgr(packed.data(), grey.data(), grey.size());
        benchmark::ClobberMemory();
    }
    DvlAppFree(app);
}

// grab_image at frame period 0: the plug-in's own cost of a grab.
void Grab(benchmark::State& state)
{
    dvl::SimulatedBoard board = dvl::ZephonBoard();
    board.frame_period = std::chrono::milliseconds(0);
    dvl::RegisterBoard(board);
    long handle = 0;
    const bool ready =
        open_framegrabber("ZephonII", 1, 1, 0, 0, 0, 0, "default", -1, "default", -1.0, "false",
                          "D_CCIR", "ZEPHON_II:0", -1, 1, &handle) == V_OK;
    TimeGrabs(state, handle, ready);
}

BENCHMARK(CopyGrey)
    ->Name("Zephon/CopyGrey/768x576")
    ->Apply(WorkerRows)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(Grab)->Name("Zephon/Grab/D_CCIR/gray/768x576")->Unit(benchmark::kMillisecond);

} // namespace
