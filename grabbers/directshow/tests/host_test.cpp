// The plug-in through the imaging library's frame-grabber operators, opened
// with the workbench's values on the streaming simulated camera.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include "tests/support/host_plugin_checks.h"
#include <dshow/frames.h>
#include <dshow/platform.h>
#include <dshow/sim_devices.h>
#include <dshow/unknown.h>
#include <registry/registry.h>
#include <verodyn/verodyn.h>

namespace {

// One registry for the process, as the plug-in registers its classes once.
void UseOneRegistry()
{
    static const auto registry = registry::Registry::InMemory();
    registry::UseSystem(registry);
}

// Opens device `device` in its own format, as "default" asks.
Vstatus OpenDevice(const char* device, long* handle)
{
    return open_framegrabber("DirectShow", 1, 1, 0, 0, 0, 0, "default", -1, "rgb", -1.0, "false",
                             "default", device, -1, -1, handle);
}

TEST(DirectShowHostTest, WorkbenchValuesDeliverChangingFrames)
{
    UseOneRegistry();
    set_check("~give_error");
    long handle = 0;
    ASSERT_EQ(open_framegrabber("DirectShow", 1, 1, 0, 0, 0, 0, "default", -1, "rgb", -1.0, "false",
                                "PAL RGB24 (640x480)", "0", -1, -1, &handle),
              V_OK)
        << vlast_error();
    Vobject first, second;
    ASSERT_EQ(grab_image(&first, handle), V_OK) << vlast_error();
    ASSERT_EQ(grab_image(&second, handle), V_OK) << vlast_error();
    for (const Vobject* image : {&first, &second}) {
        const VImage& grabbed = *image->image();
        EXPECT_EQ(grabbed.width(), 640);
        EXPECT_EQ(grabbed.height(), 480);
        EXPECT_EQ(grabbed.channels(), 3);
    }
    EXPECT_LT(dshow::sim::FrameNumberOf(first.image()->plane_as<uint8_t>(0)),
              dshow::sim::FrameNumberOf(second.image()->plane_as<uint8_t>(0)));
    std::string text;
    VTuple values;
    ASSERT_EQ(info_framegrabber("DirectShow", "revision", &text, &values), V_OK);
    EXPECT_EQ(values, VTuple("2.9"));
    EXPECT_EQ(close_framegrabber(handle), V_OK);
    EXPECT_TRUE(VXAllocated().empty());
    EXPECT_EQ(dshow::LiveObjects(), 0);
    set_check("give_error");
}

TEST(DirectShowHostTest, TheDialogLibraryAndQtStayOutUntilADialogOpens)
{
    UseOneRegistry();
    set_check("~give_error");
    long handle = 0;
    ASSERT_EQ(OpenDevice("0", &handle), V_OK);
    VTuple dialogs;
    EXPECT_EQ(get_framegrabber_param(handle, "available_dialogs", &dialogs), V_OK);
    for (const char* library : {"libdshow_dialogs.so", "libQt6Core.so.6"})
        EXPECT_EQ(dlopen(library, RTLD_NOW | RTLD_NOLOAD), nullptr) << library;
    EXPECT_EQ(close_framegrabber(handle), V_OK);
    set_check("give_error");
}

TEST(DirectShowHostTest, TwoHandlesOnTwoThreadsKeepTheirOwnAnswers)
{
    UseOneRegistry();
    // Frames come as fast as the grabs ask for them; each wait makes a frame of
    // both devices, which makes the rounds slow under ThreadSanitizer.
    std::vector<dshow::sim::DeviceConfig> devices = {dshow::sim::SimulatedCamera(),
                                                     dshow::sim::SimulatedCaptureCard()};
    for (dshow::sim::DeviceConfig& device : devices)
        device.pump = true;
    dshow::sim::SetDevices(devices);
    dshow::SetEventWaitHook([] {
        dshow::sim::Pump(0);
        dshow::sim::Pump(1);
    });
    set_check("~give_error");
    long camera = 0, card = 0;
    ASSERT_EQ(OpenDevice("0", &camera), V_OK) << vlast_error();
    ASSERT_EQ(OpenDevice("1", &card), V_OK) << vlast_error();
#ifdef ONDULA_TSAN
    constexpr int kRounds = 100;
#else
    constexpr int kRounds = 400;
#endif
    ExpectCallsOnTwoThreads({camera, "brightness_range", "brightness", VTuple(100)},
                            {card, "available_media_types", "grab_timeout", VTuple(2000)}, kRounds);
    ExpectAllClosedAndFreed();
    EXPECT_EQ(dshow::LiveObjects(), 0);
    dshow::SetEventWaitHook(nullptr);
    dshow::sim::ResetDevices();
    set_check("give_error");
}

} // namespace
