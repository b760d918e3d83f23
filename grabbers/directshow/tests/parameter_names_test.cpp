// Every parameter name the plug-in lists, set and read on the simulated
// camera, and the failures of a format the device no longer offers.
#include <set>

#include "plugin_fixture.h"

namespace {

using namespace dshow;
using NamesTest = PluginTest;

const char* const kIntegerProperties[] = {"brightness", "contrast", "hue",           "saturation",
                                          "sharpness",  "gamma",    "white_balance", "video_gain",
                                          "pan",        "tilt",     "roll",          "zoom",
                                          "exposure",   "iris",     "focus"};
const char* const kOnOffProperties[] = {"color_enable", "backlight_compensation"};

// The names info query 4 lists.
std::vector<std::string> ListedNames(FGClass& cls)
{
    const char* text = nullptr;
    Vcpar* values = nullptr;
    int32_t count = 0;
    EXPECT_EQ(cls.FGInfo(1, FG_INFO_PARAMETERS, &text, &values, &count), FG_SUCCESS);
    std::vector<std::string> names;
    for (int32_t i = 0; i < count; ++i)
        names.emplace_back(values[i].par.s);
    VXFree(1, values, __FILE__, __LINE__, 0);
    return names;
}

// Names of the device dialogs, which their own tests cover.
bool IsDialogName(const std::string& name) { return name.find("dialog") != std::string::npos; }

TEST_F(NamesTest, EveryNameAnswersAGet)
{
    FGInstance* inst = Open();
    struct Case {
        std::string name;
        std::string answer;
        FGstatus status = FG_SUCCESS;
    };
    const std::string rates = std::to_string(1e7 / 333333) + "," + std::to_string(1e7 / 666666) +
                              "," + std::to_string(1e7 / 1333332);
    std::vector<Case> cases = {
        {"revision", "2.9"},
        {"grab_timeout", "5000"},
        {"available_pins", "0"},
        {"available_pin_names", "Capture"},
        {"frame_rate", std::to_string(1e7 / 666666)},
        {"available_frame_rates", rates},
        {"flip_horizontal", "false"},
        {"flip_vertical", "false"},
        {"flip_horizontal_range", "false,true,false"},
        {"flip_vertical_range", "false,true,false"},
        {"external_trigger_range", "false,true,false"},
        {"available_connectors", ""},
        {"connector", ""},
        {"connector_range", ""},
        {"do_stop_grabbing", "", FG_ERR_PARAM_UNKNOWN},
        {"external_trigger", "", FG_ERR_PARAM_UNKNOWN},
        {"do_force_trigger", "", FG_ERR_PARAM_UNKNOWN},
        {"do_open_dialog", "", FG_ERR_PARAM_UNKNOWN},
    };
    for (const char* name : kIntegerProperties) {
        cases.push_back({name, "128"});
        cases.push_back({std::string(name) + "_range", "0,255,1,128,auto"});
    }
    for (const char* name : kOnOffProperties) {
        cases.push_back({name, "on"});
        cases.push_back({std::string(name) + "_range", "on,off,on"});
    }
    std::set<std::string> answered;
    Messages([&] {
        for (const Case& c : cases) {
            FGstatus status = 0;
            EXPECT_EQ(Get(cls_, inst, c.name.c_str(), &status), c.answer) << c.name;
            EXPECT_EQ(status, c.status) << c.name;
            answered.insert(c.name);
        }
    });
    for (const std::string& name : ListedNames(cls_))
        EXPECT_TRUE(answered.count(name) || IsDialogName(name)) << name << " untested";
}

TEST_F(NamesTest, EveryNameAnswersASet)
{
    FGInstance* inst = Open();
    PumpWhileWaiting({0});
    struct Case {
        std::string name;
        Vcpar value;
        FGstatus status;
        std::string read_back; // the get of the same name afterwards, when not empty
    };
    std::vector<Case> cases = {
        {"do_stop_grabbing", Int(0), FG_SUCCESS, ""},
        {"grab_timeout", Int(100), FG_SUCCESS, "100"},
        {"frame_rate", Real(25.0), FG_SUCCESS, std::to_string(25.0)},
        {"flip_horizontal", Text("true"), FG_SUCCESS, "true"},
        {"flip_vertical", Text("True"), FG_SUCCESS, "true"},
        {"external_trigger", Text("true"), FG_SUCCESS, ""},
        {"external_trigger", Text("false"), FG_SUCCESS, ""},
        {"do_force_trigger", Int(0), FG_ERR_PARAM_VALUE, ""},
        {"connector", Int(0), FG_ERR_DEVICE_CALL, ""},
        {"unknown", Int(0), FG_ERR_PARAM_UNKNOWN, ""},
    };
    int32_t value = 40;
    for (const char* name : kIntegerProperties) {
        cases.push_back({name, Int(value), FG_SUCCESS, std::to_string(value)});
        ++value;
    }
    for (const char* name : kOnOffProperties)
        cases.push_back({name, Text("Off"), FG_SUCCESS, "off"});
    std::set<std::string> settable;
    for (const Case& c : cases)
        settable.insert(c.name);
    for (const std::string& name : ListedNames(cls_))
        if (!settable.count(name) && !IsDialogName(name))
            cases.push_back({name, Int(0), FG_ERR_PARAM_UNKNOWN, ""});
    for (const char* only_read : {"available_media_types", "connector_range"})
        cases.push_back({only_read, Int(0), FG_ERR_PARAM_UNKNOWN, ""});

    Messages([&] {
        for (const Case& c : cases) {
            EXPECT_EQ(cls_.FGSetParam(1, inst, c.name.c_str(), &c.value, 1), c.status) << c.name;
            if (!c.read_back.empty()) {
                EXPECT_EQ(Get(cls_, inst, c.name.c_str()), c.read_back) << c.name;
            }
        }
    });
    EXPECT_EQ(inst->external_trigger, 0);
    EXPECT_EQ(inst->gain, 47.0f) << "video_gain";
    EXPECT_EQ(Grab(inst), FG_SUCCESS) << "connected after every setting";
}

TEST_F(NamesTest, FrameRateReconnectsWithTheNewPeriodAndBitRate)
{
    FGInstance* inst = Open();
    const Vcpar rate = Real(25.0);
    ASSERT_EQ(cls_.FGSetParam(1, inst, "frame_rate", &rate, 1), FG_SUCCESS);
    VIDEOINFOHEADER format{};
    ASSERT_TRUE(sim::CaptureFormat(0, &format));
    EXPECT_EQ(format.AvgTimePerFrame, 400000);
    EXPECT_EQ(format.dwBitRate, 640u * 480u * 3u * 8u * 25u);
}

TEST_F(NamesTest, AFormatTheDeviceNoLongerOffers)
{
    FGInstance* inst = Open();
    sim::ConfigureDevice(0, [](sim::DeviceConfig& c) {
        c.formats = {{MEDIASUBTYPE_RGB24, 320, 240}};
    });
    FGstatus status = 0;
    Get(cls_, inst, "available_frame_rates", &status);
    EXPECT_EQ(status, FG_ERR_DEVICE_CALL) << "no capability of the wanted format";
    const Vcpar rate = Real(25.0);
    EXPECT_EQ(Messages([&] {
                  EXPECT_EQ(cls_.FGSetParam(1, inst, "frame_rate", &rate, 1), FG_ERR_DEVICE_CALL);
              }),
              "Error in Reconnect(): IGraphBuilder::Reconnect() failed! (error 80040207)\n");
}

} // namespace
