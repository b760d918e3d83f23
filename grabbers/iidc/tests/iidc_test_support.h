// Drives VFG1394IIDC through its callbacks, as the host does, on a simulated
// bus in virtual time. Every test ends with nothing allocated by the host
// functions, no camera connected and no buffer queued.
#pragma once

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <deque>
#include <string>
#include <vector>

#include "fgcamera/simulation.h"
#include "fgint/fghelpers.h"
#include "plugin_test_host.h"
#include "verodyn/framegrabber.h"

// Y8 pixel (x, y) of frame f of the camera at `camera` on the bus (shutter 500).
inline uint8_t Y8(int x, int y, int f, int camera = 0)
{
    return uint8_t(x + 3 * y + 7 * f + 500 + 50 * camera);
}

class IidcTest : public ::testing::Test, public PluginHost {
protected:
    // Clock time 0 is second 56.000 of a minute.
    static constexpr uint64_t kFileTimeAtZero = 56 * 10000000ull;

    void SetUp() override
    {
        ASSERT_EQ(Start({fgsim::MonoCamera(0), fgsim::ColourCamera(1)}), FG_SUCCESS);
    }

    void TearDown() override
    {
        EXPECT_EQ(CloseAll(), FG_SUCCESS);
        VDoLowError = 0;
        for (const VXAllocation& a : VXAllocated())
            ADD_FAILURE() << "still allocated: " << a.size << " bytes from " << a.file << ":"
                          << a.line;
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
        cls_ = FGClass{};
        return Init()(1, &cls_);
    }

    static FGInitProc Init()
    {
        static void* library = dlopen(IIDC_PLUGIN_PATH, RTLD_NOW);
        return reinterpret_cast<FGInitProc>(dlsym(library, "FGInit"));
    }

    // Open parameters with the class defaults, kept for the test's length.
    FGInstance& Request(const char* camera_type = "0:5:4", const char* device = "-1")
    {
        FGInstance& i = requests_.emplace_back();
        i.fgclass = &cls_;
        i.horizontal_resolution = cls_.horizontal_resolution;
        i.vertical_resolution = cls_.vertical_resolution;
        i.field = cls_.field;
        i.bits_per_channel = cls_.bits_per_channel;
        fg_copy_text(i.color_space, sizeof i.color_space, cls_.color_space);
        i.gain = cls_.gain;
        fg_copy_text(i.camera_type, sizeof i.camera_type, camera_type);
        fg_copy_text(i.device, sizeof i.device, device);
        return i;
    }

    // The part of an open: resolution (both), width, height and start.
    static void SetPart(FGInstance& i, int32_t resolution, int32_t width, int32_t height,
                        int32_t start_column, int32_t start_row)
    {
        i.horizontal_resolution = i.vertical_resolution = resolution;
        i.image_width = width;
        i.image_height = height;
        i.start_column = start_column;
        i.start_row = start_row;
    }

    // Opens `camera_type` on `device`, which must succeed.
    FGInstance& Opened(const char* camera_type = "0:5:4", const char* device = "-1")
    {
        FGInstance& i = Request(camera_type, device);
        EXPECT_EQ(Open(i), FG_SUCCESS) << camera_type << " on " << device;
        return i;
    }

    // The answer as text: values joined by ',' (reals with two decimals).
    std::string Get(FGInstance& i, const char* name, FGstatus* status = nullptr)
    {
        std::vector<Vcpar> values(64);
        int32_t count = int32_t(values.size());
        FGstatus result = cls_.FGGetParam(1, &i, name, values.data(), &count);
        if (result == FG_ERR_PARAM_VALUE && count > int32_t(values.size())) {
            values.resize(size_t(count));
            result = cls_.FGGetParam(1, &i, name, values.data(), &count);
        }
        if (status)
            *status = result;
        else
            EXPECT_EQ(result, FG_SUCCESS) << name;
        std::string text;
        for (int32_t n = 0; result == FG_SUCCESS && n < count; ++n) {
            char value[64];
            if (values[n].type == VPAR_INT)
                std::snprintf(value, sizeof value, "%d", values[n].par.l);
            else if (values[n].type == VPAR_REAL)
                std::snprintf(value, sizeof value, "%.2f", values[n].par.f);
            text += (n ? "," : "") +
                    std::string(values[n].type == VPAR_STRING ? values[n].par.s : value);
        }
        return text;
    }

    ondula::VirtualClock clock_;
    std::deque<FGInstance> requests_;
};
