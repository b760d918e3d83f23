#pragma once
// The plug-in loaded as the host loads it and driven through its callbacks,
// over pumped simulated devices and a virtual platform clock. Every test
// ends with nothing allocated through the host, no COM object alive and no
// task memory left.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <list>
#include <span>
#include <string>
#include <vector>

#include "tests/support/host_allocations.h"
#include <dshow/com.h>
#include <dshow/controls.h>
#include <dshow/frames.h>
#include <dshow/media_type.h>
#include <dshow/platform.h>
#include <dshow/sim_devices.h>
#include <dshow/unknown.h>
#include <fgint/fghelpers.h>
#include <fgint/plugin_driver.h>
#include <registry/registry.h>
#include <verodyn/framegrabber.h>

// Parameter values of the three kinds.
using fg::Int;
using fg::Real;
using fg::Text;

// A copy of device `device`'s configuration and state.
inline dshow::sim::DeviceConfig ConfigOf(int device)
{
    dshow::sim::DeviceConfig config;
    dshow::sim::ConfigureDevice(device, [&](dshow::sim::DeviceConfig& c) { config = c; });
    return config;
}

// A capture card whose crossbar is fed by a second crossbar (composite and
// RGB inputs, into its composite input) and by a TV tuner on channel 7.
inline dshow::sim::DeviceConfig CardWithTunerAndSecondCrossbar()
{
    dshow::sim::DeviceConfig card = dshow::sim::SimulatedCaptureCard();
    card.second_crossbar_inputs = {dshow::PhysConn_Video_Composite, dshow::PhysConn_Video_RGB};
    card.second_crossbar_feeds = 1;
    card.tuner = dshow::sim::TvTuner{1, 69, 7};
    card.pump = true;
    return card;
}

// The answer to a get as text: integers, reals and strings separated by commas.
inline std::string Get(FGClass& cls, FGInstance* inst, const char* name, FGstatus* status = nullptr)
{
    std::vector<Vcpar> values(600);
    int32_t num = int32_t(values.size());
    const FGstatus result = cls.FGGetParam(1, inst, name, values.data(), &num);
    if (status)
        *status = result;
    std::string text;
    for (int i = 0; i < num && result == FG_SUCCESS; ++i) {
        if (i)
            text += ",";
        if (values[i].type == VPAR_INT)
            text += std::to_string(values[i].par.l);
        else if (values[i].type == VPAR_REAL)
            text += std::to_string(values[i].par.f);
        else
            text += values[i].par.s;
    }
    return text;
}

class PluginTest : public ::testing::Test {
protected:
    using Planes = std::vector<std::vector<uint8_t>>;

    static void SetUpTestSuite()
    {
        // One registry for the process, as the registration marker is one.
        static const auto registry = registry::Registry::InMemory();
        registry::UseSystem(registry);
        module_ = dlopen(DIRECTSHOW_PLUGIN, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(module_, nullptr) << dlerror();
    }

    static void TearDownTestSuite() { dlclose(module_); }

    template <class Fn> static Fn* Export(const char* name)
    {
        return reinterpret_cast<Fn*>(dlsym(module_, name));
    }

    static dshow::sim::DeviceConfig Pumped(dshow::sim::DeviceConfig device)
    {
        device.pump = true;
        return device;
    }

    // The camera and the capture card, both pumped.
    static void UsePumpedDevices()
    {
        dshow::sim::SetDevices(
            {Pumped(dshow::sim::SimulatedCamera()), Pumped(dshow::sim::SimulatedCaptureCard())});
    }

    void SetUp() override
    {
        UsePumpedDevices();
        dshow::UsePlatformClock(&clock_);
        ASSERT_EQ(Export<FGstatus(Vproc_handle, FGClass*)>("FGInit")(1, &cls_), FG_SUCCESS);
        VDoLowError = 1;
    }

    void TearDown() override
    {
        for (FGInstance& inst : open_)
            if (inst.plugin_instance)
                Close(&inst);
        dshow::SetEventWaitHook(nullptr);
        dshow::UsePlatformClock(nullptr);
        dshow::sim::ResetDevices();
        VDoLowError = 0;
        fg::ExpectNothingAllocated();
        EXPECT_EQ(dshow::LiveObjects(), 0);
        EXPECT_EQ(dshow::LiveTaskMemory(), 0);
    }

    // Opens an instance with the class defaults and these values; the
    // instance is closed at the end of the test. Null when the open failed.
    FGInstance* Open(FGstatus* status, const char* camera_type = "PAL RGB24 (640x480)",
                     const char* device = "0", const char* colour_space = "rgb",
                     uint8_t external_trigger = 0)
    {
        FGInstance& inst = open_.emplace_back();
        inst.fgclass = &cls_;
        inst.horizontal_resolution = inst.vertical_resolution = 1;
        inst.field = cls_.field;
        inst.bits_per_channel = -1;
        inst.gain = -1.0f;
        inst.external_trigger = external_trigger;
        inst.port = cls_.port;
        inst.line_in = -1;
        fg_copy_text(inst.color_space, sizeof inst.color_space, colour_space);
        fg_copy_text(inst.camera_type, sizeof inst.camera_type, camera_type);
        fg_copy_text(inst.device, sizeof inst.device, device);
        FGInstance** slot = cls_.FGAllocInstance(1, &inst);
        if (!slot) {
            *status = -1;
            open_.pop_back();
            return nullptr;
        }
        *slot = &inst;
        *status = cls_.FGOpen(1, &inst);
        if (*status == FG_SUCCESS)
            return &inst;
        *slot = nullptr;
        inst.plugin_instance = nullptr;
        return nullptr;
    }

    FGInstance* Open(const char* camera_type = "PAL RGB24 (640x480)", const char* device = "0",
                     const char* colour_space = "rgb")
    {
        FGstatus status = 0;
        FGInstance* inst = Open(&status, camera_type, device, colour_space);
        EXPECT_EQ(status, FG_SUCCESS) << camera_type;
        return inst;
    }

    void Close(FGInstance* inst)
    {
        EXPECT_EQ(cls_.FGClose(1, inst), FG_SUCCESS);
        for (FGInstance*& slot : cls_.instance)
            if (slot == inst)
                slot = nullptr;
        inst->plugin_instance = nullptr;
    }

    void ExpectAnswers(FGInstance* inst, std::span<const fg::GetCase> cases)
    {
        fg::ExpectAnswers(cases, [&](const char* name, FGstatus* status) {
            return Get(cls_, inst, name, status);
        });
    }

    // A grab (asynchronous with `max_delay` >= 0); the planes it delivered.
    FGstatus Grab(FGInstance* inst, Planes* planes = nullptr, double max_delay = -1)
    {
        VImageRecord images[FG_MAX_CHANNELS] = {};
        int32_t count = 0;
        const FGstatus status = max_delay < 0
                                    ? cls_.FGGrab(1, inst, images, &count)
                                    : cls_.FGGrabAsync(1, inst, max_delay, images, &count);
        if (planes)
            planes->clear();
        for (int i = 0; i < count && planes; ++i)
            planes->emplace_back(images[i].pixel.b,
                                 images[i].pixel.b +
                                     std::size_t(images[i].width) * images[i].height);
        for (VImageRecord& image : images)
            VXFree(1, image.owned, __FILE__, __LINE__, 0);
        return status;
    }

    // The frame number a grab's first plane carries.
    static uint32_t FrameOf(const Planes& planes)
    {
        return planes.empty() ? ~0u : dshow::sim::FrameNumberOf(planes[0].data());
    }

    // Every frame that a grab waits for comes from device `index` then.
    void PumpWhileWaiting(std::vector<int> devices)
    {
        dshow::SetEventWaitHook([devices] {
            for (const int device : devices)
                dshow::sim::Pump(device);
        });
    }

    // What the plug-in printed while `run` ran.
    static std::string Messages(const std::function<void()>& run)
    {
        ::testing::internal::CaptureStderr();
        run();
        return ::testing::internal::GetCapturedStderr();
    }

    static inline void* module_ = nullptr;
    FGClass cls_{};
    std::list<FGInstance> open_;
    ondula::VirtualClock clock_;
};
