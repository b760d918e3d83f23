// The device dialogs of a program without a QApplication: which the devices
// offer, the names and the frame that cannot be shown.
#include "plugin_fixture.h"
#include <dshow/property_pages.h>

namespace {

using namespace dshow;
using DialogTest = PluginTest;

sim::DeviceConfig CameraWithVfwDialogs(int32_t dialogs)
{
    sim::DeviceConfig camera = sim::SimulatedCamera();
    camera.vfw_dialogs = dialogs;
    camera.pump = true;
    return camera;
}

TEST_F(DialogTest, EachDeviceOffersItsDialogsInTableOrder)
{
    sim::DeviceConfig previewing = Pumped(sim::SimulatedCamera());
    previewing.preview_pin = true;
    sim::SetDevices({Pumped(sim::SimulatedCamera()), Pumped(sim::SimulatedCaptureCard()),
                     CameraWithVfwDialogs(VfwCaptureDialog_Source),
                     CardWithTunerAndSecondCrossbar(), previewing});
    struct Case {
        const char* device;
        const char* dialogs;
    } const cases[] = {
        {"0", "capture_filter_dialog,capture_pin_dialog"},
        {"1", "capture_pin_dialog,crossbar_dialog"},
        {"2", "capture_filter_dialog,capture_pin_dialog,vfw_source_dialog"},
        {"3", "capture_pin_dialog,crossbar_dialog,second_crossbar_dialog,tv_tuner_dialog"},
        {"4", "capture_filter_dialog,capture_pin_dialog,preview_pin_dialog"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Get(cls_, Open("default", c.device), "available_dialogs"), c.dialogs) << c.device;
}

TEST_F(DialogTest, NamesAndAvailabilityAreCheckedBeforeTheGraphIsTouched)
{
    sim::SetDevices({CameraWithVfwDialogs(VfwCaptureDialog_Source)});
    FGInstance* inst = Open();
    struct Case {
        Vcpar value;
        FGstatus status;
    } const cases[] = {
        {Int(0), FG_ERR_PARAM_TYPE},
        {Text(nullptr), FG_ERR_PARAM_TYPE},
        {Text("settings_dialog"), FG_ERR_PARAM_VALUE},
        {Text("tv_tuner_dialog"), FG_ERR_PARAM_UNKNOWN},
        {Text("Crossbar_Dialog"), FG_ERR_PARAM_UNKNOWN},
        {Text("preview_pin_dialog"), FG_ERR_PARAM_UNKNOWN},
        {Text("vfw_format_dialog"), FG_ERR_PARAM_UNKNOWN},
    };
    const int stops = sim::StopCount(0);
    for (const Case& c : cases)
        EXPECT_EQ(cls_.FGSetParam(1, inst, "do_open_dialog", &c.value, 1), c.status);
    EXPECT_EQ(cls_.FGSetParam(1, inst, "do_open_dialog", nullptr, 0), FG_ERR_PARAM_TYPE);
    EXPECT_EQ(sim::StopCount(0), stops);
}

TEST_F(DialogTest, AFrameThatCannotBeShownIsReportedAndTheGraphReconnected)
{
    FGInstance* inst = Open();
    PumpWhileWaiting({0});
    const Vcpar dialog = Text("Capture_Pin_Dialog");
    const int stops = sim::StopCount(0);
    EXPECT_EQ(Messages([&] {
                  EXPECT_EQ(cls_.FGSetParam(1, inst, "do_open_dialog", &dialog, 1), FG_SUCCESS);
              }),
              "Error in OpenDialog(): OleCreatePropertyFrame() failed! (error 80004005)\n");
    EXPECT_GT(sim::StopCount(0), stops);
    EXPECT_STREQ(inst->camera_type, "RGB24 (640x480)");
    EXPECT_EQ(Grab(inst), FG_SUCCESS);
}

} // namespace
