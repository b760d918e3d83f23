// Drives VFGKandrisAcquire through its callbacks, as the host does, on the
// simulated cameras in virtual time. Every test ends with nothing allocated
// by the host functions, no request locked and the device manager closed.
#pragma once

#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "tests/support/host_allocations.h"
#include <fgint/plugin_driver.h>
#include <kddevmgr/simulation.h>
#include <verodyn/framegrabber.h>

using fg::Images;
using fg::Int;
using fg::Real;
using fg::Text;

// The allocations the test's VXAlloc lets through before it fails one (-1: all).
extern int g_allocations_before_failure;

// Pixel (x, y) of a mono 8 frame numbered f with exposure e (microseconds).
inline uint8_t Mono(int x, int y, int f, int e = 20000)
{
    return uint8_t(x + 3 * y + 7 * f + e / 100);
}

// The stamp of a frame: its number and that of the setting that made it.
inline std::pair<uint32_t, uint32_t> Stamp(const void* data)
{
    const auto* b = static_cast<const uint8_t*>(data);
    const auto word = [&](int at) {
        return uint32_t(b[at] | b[at + 1] << 8 | b[at + 2] << 16 | uint32_t(b[at + 3]) << 24);
    };
    return {word(0), word(4)};
}

// Trace and error lines without the source lines they name.
inline std::string WithoutLines(const std::string& text)
{
    return std::regex_replace(text, std::regex(" \\(CIOKandrisAcquire\\.cpp:[0-9]+\\)"), "");
}

class UsbcamTest : public ::testing::Test, protected fg::PluginDriver {
protected:
    UsbcamTest() : PluginDriver("kdLyra*", "0") { }

    void SetUp() override { Start({Camera("kdLyra-A1G", 0), Camera("kdLyra-A2C", 1)}); }

    void TearDown() override
    {
        EndTest();
        fg::ExpectNothingAllocated();
        VROInfo = VRunInfo{0, 0};
        g_allocations_before_failure = -1;
        const kdsim::Counters counters = kdsim::Count();
        EXPECT_EQ(counters.locked, 0);
        EXPECT_EQ(counters.users, 0);
        EXPECT_EQ(counters.open_devices, 0);
        EXPECT_EQ(counters.buffer_objects, 0);
        kdsim::UseSteadyClock();
    }

    static kdsim::CameraConfig Camera(const char* product, int32_t id, int32_t format = 0)
    {
        kdsim::CameraConfig camera;
        EXPECT_TRUE(kdsim::Camera(product, id, &camera)) << product;
        if (format)
            camera.format = format;
        return camera;
    }

    // New cameras, and the plug-in initialised on them.
    void Start(const std::vector<kdsim::CameraConfig>& cameras)
    {
        CloseAll();
        kdsim::UseClock(clock_);
        kdsim::Configure(cameras);
        ASSERT_EQ(InitPlugin(USBCAM_PLUGIN_PATH), FG_SUCCESS);
    }

    FGstatus Info(int32_t query, std::string* text, std::vector<std::string>* values)
    {
        const char* info = nullptr;
        Vcpar* list = nullptr;
        int32_t count = -1;
        const FGstatus status = cls_.FGInfo(1, query, &info, &list, &count);
        *text = info ? info : "";
        values->clear();
        for (int32_t i = 0; i < count; ++i)
            values->push_back(list[i].type == VPAR_STRING ? list[i].par.s : "?");
        VXFree(1, list, __FILE__, __LINE__, 0);
        return status;
    }

    ondula::VirtualClock clock_;
};
