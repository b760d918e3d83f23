// Drives VFG1394IIDC through its callbacks, as the host does, on a simulated
// bus in virtual time. Every test ends with nothing allocated by the host
// functions, no camera connected and no buffer queued.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "tests/support/host_allocations.h"
#include <fgcamera/simulation.h>
#include <fgint/plugin_driver.h>
#include <verodyn/framegrabber.h>

using fg::Images;
using fg::Int;
using fg::Real;
using fg::Text;

// Y8 pixel (x, y) of frame f of the camera at `camera` on the bus (shutter 500).
inline uint8_t Y8(int x, int y, int f, int camera = 0)
{
    return uint8_t(x + 3 * y + 7 * f + 500 + 50 * camera);
}

class IidcTest : public ::testing::Test, protected fg::PluginDriver {
protected:
    // Clock time 0 is second 56.000 of a minute.
    static constexpr uint64_t kFileTimeAtZero = 56 * 10000000ull;

    IidcTest() : PluginDriver("0:5:4", "-1") { }

    void SetUp() override
    {
        ASSERT_EQ(Start({fgsim::MonoCamera(0), fgsim::ColourCamera(1)}), FG_SUCCESS);
    }

    void TearDown() override
    {
        EndTest();
        fg::ExpectNothingAllocated();
        const fgsim::Counters counters = fgsim::Count();
        EXPECT_EQ(counters.connected, 0);
        EXPECT_EQ(counters.queued, 0);
        fgsim::UseSteadyClock();
    }

    // A new bus with `cameras`, and the plug-in initialised on it.
    FGstatus Start(const std::vector<fgsim::CameraConfig>& cameras)
    {
        CloseAll();
        fgsim::UseClock(clock_, kFileTimeAtZero);
        fgsim::Configure(cameras);
        return InitPlugin(IIDC_PLUGIN_PATH);
    }

    ondula::VirtualClock clock_;
};
