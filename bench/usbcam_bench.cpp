// Speed of a grab of the kdLyra cameras through the host, copy mode,
// exposure 0: the device manager's frame is ready at once.
#include <stdlib.h>

#include "grab_bench.h"

namespace {

// grab_image of the default cameras: device "0" 1280 x 1024 mono 8, device
// "1" 640 x 480 RGB32 (three byte planes).
void Grab(benchmark::State& state, const char* device, const char* color_space)
{
    unsetenv("ONDULA_PLUGIN_PATH");
    unsetenv("ONDULA_KDCAMERAS");
    long handle = 0;
    const bool ready =
        open_framegrabber("KandrisAcquire", 1, 1, 0, 0, 0, 0, "default", -1, color_space, 1.0,
                          "false", "kdLyra*", device, 0, -1, &handle) == V_OK &&
        set_framegrabber_param(handle, "Camera/Expose_us", VTuple(0)) == V_OK;
    TimeGrabs(state, handle, ready);
}

const bool kRegistered = [] {
    benchmark::RegisterBenchmark("KandrisAcquire/Grab/Mono8/1280x1024", Grab, "0", "gray")
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("KandrisAcquire/Grab/RGB32/640x480", Grab, "1", "rgb")
        ->Unit(benchmark::kMillisecond);
    return true;
}();

} // namespace
