#include <algorithm>
#include <limits>
#include <span>

#include "plugin_fixture.h"

namespace {

using namespace dshow;
using ParameterTest = PluginTest;

// A set of any number of values and the status it answers.
struct SetCase {
    const char* name;
    std::vector<Vcpar> values;
    FGstatus status;
};

void ExpectSets(FGClass& cls, FGInstance* inst, std::span<const SetCase> cases)
{
    for (const SetCase& c : cases)
        EXPECT_EQ(cls.FGSetParam(1, inst, c.name, c.values.data(), int32_t(c.values.size())),
                  c.status)
            << c.name;
}

TEST_F(ParameterTest, ValuesOfTheWrongTypeOrWordLeaveTheGraphAlone)
{
    const SetCase cases[] = {
        {"brightness", {Real(1.5)}, FG_ERR_PARAM_TYPE},
        {"brightness", {}, FG_ERR_PARAM_TYPE},
        {"brightness", {Text("bright")}, FG_ERR_PARAM_VALUE},
        {"brightness", {Text(nullptr)}, FG_ERR_PARAM_TYPE},
        {"color_enable", {Int(1)}, FG_ERR_PARAM_TYPE},
        {"color_enable", {Text(nullptr)}, FG_ERR_PARAM_TYPE},
        {"Backlight_Compensation", {Text("maybe")}, FG_ERR_PARAM_VALUE},
        {"zoom", {Real(2.0)}, FG_ERR_PARAM_TYPE},
        {"unknown", {Int(1)}, FG_ERR_PARAM_UNKNOWN},
        {"grab_timeout", {Int(-1)}, FG_ERR_PARAM_VALUE},
    };
    FGInstance* inst = Open();
    const int stops = sim::StopCount(0);
    ExpectSets(cls_, inst, cases);
    EXPECT_EQ(sim::StopCount(0), stops);
}

TEST_F(ParameterTest, DeviceSettingsReachTheDeviceAndTheGraphReconnects)
{
    struct Case {
        const char* name;
        Vcpar value;
        bool camera;
        int32_t number, value_seen, flags;
        const char* read_back;
    } const cases[] = {
        {"brightness", Text("Auto"), false, 0, 128, Property_Flags_Auto, "auto"},
        {"color_enable", Text("OFF"), false, 6, 0, Property_Flags_Manual, "off"},
        {"video_gain", Int(12), false, 9, 12, Property_Flags_Manual, "12"},
        {"ZOOM", Int(200), true, 3, 200, Property_Flags_Manual, "200"},
        {"focus", Text("auto"), true, 6, 128, Property_Flags_Auto, "auto"},
    };
    FGInstance* inst = Open();
    PumpWhileWaiting({0});
    for (const Case& c : cases) {
        const int stops = sim::StopCount(0);
        ASSERT_EQ(cls_.FGSetParam(1, inst, c.name, &c.value, 1), FG_SUCCESS) << c.name;
        EXPECT_GT(sim::StopCount(0), stops) << c.name;
        const sim::DeviceConfig config = ConfigOf(0);
        const sim::Property& p = (c.camera ? config.camera_control : config.amplifier).at(c.number);
        EXPECT_EQ(p.value, c.value_seen) << c.name;
        EXPECT_EQ(p.flags, c.flags) << c.name;
        EXPECT_EQ(Get(cls_, inst, c.name), c.read_back);
        EXPECT_EQ(Grab(inst), FG_SUCCESS) << c.name;
    }
    EXPECT_EQ(inst->gain, 12.0f);
    const Vcpar automatic = Text("auto");
    ASSERT_EQ(cls_.FGSetParam(1, inst, "video_gain", &automatic, 1), FG_SUCCESS);
    EXPECT_EQ(inst->gain, -1.0f);
}

TEST_F(ParameterTest, BrightnessLightensThePicture)
{
    FGInstance* inst = Open("PAL RGB24 (320x240)");
    PumpWhileWaiting({0});
    Planes before, after;
    ASSERT_EQ(Grab(inst, &before), FG_SUCCESS);
    const Vcpar brightness = Int(148);
    ASSERT_EQ(cls_.FGSetParam(1, inst, "brightness", &brightness, 1), FG_SUCCESS);
    ASSERT_EQ(Grab(inst, &after), FG_SUCCESS);
    // The darkest red below the frame number's row is in the black bar.
    EXPECT_EQ(*std::min_element(before[0].begin() + 320, before[0].end()), 0);
    EXPECT_EQ(*std::min_element(after[0].begin() + 320, after[0].end()), 20);
}

TEST_F(ParameterTest, ARefusedSettingAnswers5321AfterTheReconnection)
{
    FGInstance* inst = Open();
    PumpWhileWaiting({0});
    sim::ConfigureDevice(0, [](sim::DeviceConfig& d) { d.property_set_fails = true; });
    const Vcpar value = Int(10);
    EXPECT_EQ(cls_.FGSetParam(1, inst, "contrast", &value, 1), FG_ERR_PARAM_UNKNOWN);
    EXPECT_EQ(Grab(inst), FG_SUCCESS);
}

TEST_F(ParameterTest, RangesAndValues)
{
    FGInstance* inst = Open();
    sim::ConfigureDevice(0, [](sim::DeviceConfig& d) {
        d.camera_control[5].caps = Property_Flags_Manual;
        d.amplifier[8].default_value = 0;
    });
    const fg::GetCase cases[] = {
        {"revision", "2.9"},
        {"grab_timeout", "5000"},
        {"brightness_range", "0,255,1,128,auto"},
        {"IRIS_range", "0,255,1,128"},
        {"color_enable_range", "on,off,on"},
        {"backlight_compensation_range", "on,off,off"},
        {"hue", "128"},
        {"color_enable", "on"},
        {"unknown", nullptr, FG_ERR_PARAM_UNKNOWN},
    };
    ExpectAnswers(inst, cases);
}

TEST_F(ParameterTest, ADeviceWithoutAmplifierOrCameraControl)
{
    FGInstance* inst = Open("default", "1");
    const Vcpar value = Int(10);
    EXPECT_EQ(Messages([&] {
                  EXPECT_EQ(cls_.FGSetParam(1, inst, "brightness", &value, 1), FG_ERR_DEVICE_CALL);
              }),
              "Error in SetVideoProcAmpProperties(): No chip_control specified.\n");
    EXPECT_EQ(Messages([&] {
                  EXPECT_EQ(cls_.FGSetParam(1, inst, "pan", &value, 1), FG_ERR_DEVICE_CALL);
              }),
              "Error in SetCameraControlProperties(): No cam_control specified.\n");
    FGstatus status = 0;
    EXPECT_EQ(Messages([&] { EXPECT_EQ(Get(cls_, inst, "brightness", &status), ""); }),
              "Error in GetVideoProcAmpProperties(): No chip_control specified.\n");
    EXPECT_EQ(status, FG_SUCCESS);
    EXPECT_EQ(Messages([&] { EXPECT_EQ(Get(cls_, inst, "tilt"), ""); }),
              "Error in GetCameraControlProperties(): No cam_control specified.\n");
    EXPECT_EQ(Get(cls_, inst, "brightness_range"), "");
}

} // namespace

namespace {

using namespace dshow;
using VideoControlTest = PluginTest;

TEST_F(VideoControlTest, FrameRateReconnectsTheRendererWithTheNewPeriod)
{
    FGInstance* inst = Open();
    PumpWhileWaiting({0});
    EXPECT_EQ(Get(cls_, inst, "frame_rate"), std::to_string(1e7 / 666666)) << "the open's period";
    const Vcpar rate = Real(25.0);
    ASSERT_EQ(cls_.FGSetParam(1, inst, "frame_rate", &rate, 1), FG_SUCCESS);
    EXPECT_EQ(Get(cls_, inst, "frame_rate"), std::to_string(25.0));
    EXPECT_EQ(Grab(inst), FG_SUCCESS);
    for (const Vcpar& wrong :
         {Real(0.0), Real(std::numeric_limits<double>::infinity()), Real(1e-15), Real(1e30)})
        EXPECT_EQ(cls_.FGSetParam(1, inst, "frame_rate", &wrong, 1), FG_ERR_PARAM_VALUE);
    const Vcpar integer = Int(25);
    EXPECT_EQ(cls_.FGSetParam(1, inst, "frame_rate", &integer, 1), FG_ERR_PARAM_TYPE);
    EXPECT_EQ(cls_.FGSetParam(1, inst, "frame_rate", nullptr, 0), FG_ERR_PARAM_TYPE);
}

TEST_F(VideoControlTest, ARateTheDeviceRefusesLeavesTheGraphGrabbingAtItsLastRate)
{
    FGInstance* inst = Open();
    PumpWhileWaiting({0});
    dshow::sim::ConfigureDevice(0, [](dshow::sim::DeviceConfig& c) { c.connect_failures = 1; });
    const Vcpar rate = Real(25.0);
    EXPECT_EQ(Messages([&] {
                  EXPECT_EQ(cls_.FGSetParam(1, inst, "frame_rate", &rate, 1), FG_ERR_DEVICE_CALL);
              }),
              "Error in Reconnect(): IGraphBuilder::Reconnect() failed! (error 80040207)\n");
    EXPECT_EQ(Get(cls_, inst, "frame_rate"), std::to_string(1e7 / 666666));
    EXPECT_EQ(Grab(inst), FG_SUCCESS);
}

TEST_F(VideoControlTest, ModesAndTheirErrors)
{
    FGInstance* inst = Open();
    const SetCase cases[] = {
        {"flip_vertical", {Int(1)}, FG_ERR_PARAM_TYPE},
        {"flip_vertical", {Text("yes")}, FG_ERR_PARAM_VALUE},
        {"flip_vertical", {Text(nullptr)}, FG_ERR_PARAM_TYPE},
        {"Flip_Vertical", {Text("TRUE")}, FG_SUCCESS},
        {"do_force_trigger", {Int(0)}, FG_ERR_PARAM_VALUE},
    };
    ExpectSets(cls_, inst, cases);
    EXPECT_EQ(Get(cls_, inst, "flip_vertical"), "true");
    EXPECT_EQ(Get(cls_, inst, "flip_horizontal"), "false");
    EXPECT_EQ(Get(cls_, inst, "external_trigger_range"), "false,true,false");

    sim::ConfigureDevice(
        0, [](sim::DeviceConfig& d) { d.video_control_caps = VideoControlFlag_FlipHorizontal; });
    const Vcpar on = Text("true");
    EXPECT_EQ(cls_.FGSetParam(1, inst, "flip_vertical", &on, 1), FG_ERR_PARAM_UNKNOWN);
    EXPECT_EQ(cls_.FGSetParam(1, inst, "external_trigger", &on, 1), FG_ERR_MODE);
    EXPECT_EQ(cls_.FGSetParam(1, inst, "do_force_trigger", &on, 1), FG_ERR_MODE);
    FGstatus status = 0;
    EXPECT_EQ(Get(cls_, inst, "flip_vertical_range", &status), "");
    EXPECT_EQ(status, FG_SUCCESS);
    EXPECT_EQ(Get(cls_, inst, "flip_vertical"), "");
    EXPECT_EQ(Get(cls_, inst, "flip_horizontal_range"), "false,true,false");
}

TEST_F(VideoControlTest, ARefusedModeAnswers5AndTheTriggerIsReadBack)
{
    FGInstance* inst = Open();
    sim::ConfigureDevice(0, [](sim::DeviceConfig& d) { d.set_mode_fails = true; });
    const Vcpar on = Text("true");
    EXPECT_EQ(cls_.FGSetParam(1, inst, "external_trigger", &on, 1), FG_ERR_DEVICE_CALL);
    EXPECT_EQ(inst->external_trigger, 0);
    PumpWhileWaiting({0});
    EXPECT_EQ(Grab(inst), FG_SUCCESS) << "reconnected";
}

TEST_F(VideoControlTest, ASoftwareTriggerGivesTheNextGrabItsFrame)
{
    FGInstance* inst = Open("PAL RGB24 (320x240)");
    const Vcpar on = Text("true");
    ASSERT_EQ(cls_.FGSetParam(1, inst, "external_trigger", &on, 1), FG_SUCCESS);
    EXPECT_EQ(inst->external_trigger, 1);
    Vcpar timeout = Int(100);
    ASSERT_EQ(cls_.FGSetParam(1, inst, "grab_timeout", &timeout, 1), FG_SUCCESS);
    PumpWhileWaiting({0});
    EXPECT_EQ(Grab(inst), FG_ERR_TIMEOUT) << "no trigger, no frame";
    ASSERT_EQ(cls_.FGSetParam(1, inst, "do_force_trigger", &on, 1), FG_SUCCESS);
    Planes planes;
    ASSERT_EQ(Grab(inst, &planes), FG_SUCCESS);
    EXPECT_EQ(FrameOf(planes), 0u);
}

TEST_F(VideoControlTest, FlipsMirrorThePicture)
{
    FGInstance* inst = Open("PAL RGB24 (320x240)");
    PumpWhileWaiting({0});
    Planes plain, flipped;
    ASSERT_EQ(Grab(inst, &plain), FG_SUCCESS);
    const Vcpar on = Text("true");
    ASSERT_EQ(cls_.FGSetParam(1, inst, "flip_horizontal", &on, 1), FG_SUCCESS);
    ASSERT_EQ(Grab(inst, &flipped), FG_SUCCESS);
    // Frames 0 and 1 (bars moved by 4 pixels): row 1, x = 300 + 4 mirrored.
    EXPECT_EQ(flipped[0][320 + 319 - 304], plain[0][320 + 300]);
}

} // namespace

namespace {

using namespace dshow;
using CrossbarTest = PluginTest;

TEST_F(CrossbarTest, ConnectorsOfTheCaptureCard)
{
    FGInstance* inst = Open("default", "1");
    EXPECT_EQ(Get(cls_, inst, "connector_range"), "0,2,1,0");
    EXPECT_EQ(Get(cls_, inst, "available_connectors"), "video tuner,composite video,s-video");
    EXPECT_EQ(Get(cls_, inst, "Connector"), "0");
    const Vcpar svideo = Int(2);
    ASSERT_EQ(cls_.FGSetParam(1, inst, "connector", &svideo, 1), FG_SUCCESS);
    EXPECT_EQ(Get(cls_, inst, "connector"), "2");
    ASSERT_EQ(cls_.FGSetParam(1, inst, "connector", &svideo, 1), FG_SUCCESS) << "routed already";
    struct Case {
        Vcpar value;
        FGstatus status;
    } const cases[] = {
        {Int(-1), FG_ERR_PARAM_VALUE},
        {Int(3), FG_ERR_PARAM_VALUE},
        {Real(1.0), FG_ERR_PARAM_TYPE},
        {Text("1"), FG_ERR_PARAM_TYPE},
    };
    for (const Case& c : cases)
        EXPECT_EQ(cls_.FGSetParam(1, inst, "connector", &c.value, 1), c.status);
    EXPECT_EQ(cls_.FGSetParam(1, inst, "connector", nullptr, 0), FG_ERR_PARAM_TYPE);
    PumpWhileWaiting({1});
    EXPECT_EQ(Grab(inst), FG_SUCCESS);
}

TEST_F(CrossbarTest, NoCrossbar)
{
    FGInstance* inst = Open();
    const Vcpar first = Int(0);
    EXPECT_EQ(Messages([&] {
                  EXPECT_EQ(cls_.FGSetParam(1, inst, "connector", &first, 1), FG_ERR_DEVICE_CALL);
              }),
              "Error in SetPhysicalConnector(): No crossbar specified.\n");
    FGstatus status = 0;
    Messages([&] { EXPECT_EQ(Get(cls_, inst, "connector", &status), ""); });
    EXPECT_EQ(status, FG_SUCCESS);
    EXPECT_EQ(Get(cls_, inst, "available_connectors"), "");
    EXPECT_EQ(Get(cls_, inst, "connector_range"), "");
}

} // namespace

namespace {

using ListTest = PluginTest;

TEST_F(ListTest, PinsMediaTypesAndFrameRates)
{
    FGInstance* camera = Open("PAL RGB24 (320x240)");
    EXPECT_EQ(Get(cls_, camera, "available_pins"), "0");
    EXPECT_EQ(Get(cls_, camera, "available_pin_names"), "Capture");
    // The first capability of RGB24 at 320 x 240 (period 333333): it, a half and a quarter.
    EXPECT_EQ(Get(cls_, camera, "available_frame_rates"), std::to_string(1e7 / 333333) + "," +
                                                              std::to_string(1e7 / 666666) + "," +
                                                              std::to_string(1e7 / 1333332));
    const std::string types = Get(cls_, camera, "available_media_types");
    EXPECT_EQ(types.rfind("device 0, port 0: RGB24 (640x480),", 0), 0u) << types;
    EXPECT_NE(types.find("device 0, port 0: unsupported MJPG (640x480)"), std::string::npos)
        << types;
    EXPECT_NE(types.find("device 1, port 0: PAL_B RGB24 (768x576)"), std::string::npos) << types;

    FGInstance* card = Open("default", "1");
    EXPECT_EQ(Get(cls_, card, "available_frame_rates"), "") << "no video control";
}

} // namespace
