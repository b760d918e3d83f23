// The timed loop of a grab through the host, shared by the frame-grabber benchmarks.
#pragma once

#include <benchmark/benchmark.h>

#include <verodyn/verodyn.h>

// Times grab_image on the frame grabber `handle` and closes it. `ready`
// false (it did not open, or refused its parameters) skips the benchmark.
inline void TimeGrabs(benchmark::State& state, long handle, bool ready)
{
    if (ready) {
        Vobject image;
        for (auto _ : state)
            benchmark::DoNotOptimize(grab_image(&image, handle));
    } else {
        state.SkipWithError("the camera does not open");
    }
    if (handle)
        close_framegrabber(handle);
}
