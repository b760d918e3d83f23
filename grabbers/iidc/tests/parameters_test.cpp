#include <set>

#include "iidc_test_support.h"

namespace {

using namespace std::chrono_literals;

using fg::SetCase;
using IidcParamTest = IidcTest;

TEST_F(IidcParamTest, EveryPublishedNameIsKnownInOrder)
{
    const char* text = nullptr;
    Vcpar* names = nullptr;
    int32_t count = 0;
    ASSERT_EQ(cls_.FGInfo(1, FG_INFO_PARAMETERS, &text, &names, &count), FG_SUCCESS);
    ASSERT_EQ(count, 86);
    EXPECT_STREQ(names[0].par.s, "camera_type");
    EXPECT_STREQ(names[45].par.s, "do_reset_camera");
    EXPECT_STREQ(names[85].par.s, "image_available");
    FGInstance& i = Opened();
    std::set<std::string> distinct;
    for (int32_t n = 0; n < count; ++n) {
        const std::string name = names[n].par.s;
        distinct.insert(name);
        FGstatus get = FG_SUCCESS;
        Get(i, name.c_str(), &get);
        const bool action = name.rfind("do_", 0) == 0;
        const FGstatus set = action ? FG_SUCCESS : Set(i, name.c_str(), Real(1.5));
        EXPECT_TRUE(get != FG_ERR_PARAM_UNKNOWN || set != FG_ERR_PARAM_UNKNOWN) << name;
    }
    EXPECT_EQ(distinct.size(), 86u);
    VXFree(1, names, __FILE__, __LINE__, 0);
    EXPECT_EQ(Get(i, "Shutter"), "500") << "any letter case";
    EXPECT_EQ(GetStatus(i, "no_such_parameter"), FG_ERR_PARAM_UNKNOWN);
    EXPECT_EQ(Set(i, "no_such_parameter", Int(1)), FG_ERR_PARAM_UNKNOWN);
}

TEST_F(IidcParamTest, SetsAndGetsOfTheCameraAndTheInstance)
{
    FGInstance& i = Opened();
    const SetCase cases[] = {
        {"shutter", Int(1000), FG_SUCCESS, "1000"},
        {"shutter", Text("auto"), FG_SUCCESS, "auto"},
        {"shutter", Text("one_push"), FG_SUCCESS, "1000"},
        {"video_gain", Text("off"), FG_SUCCESS, "off"},
        {"shutter", Int(5000), FG_ERR_SET_FAILED, "1000"},
        {"shutter", Text("bright"), FG_ERR_PARAM_VALUE, "1000"},
        {"shutter", Text(nullptr), FG_ERR_PARAM_TYPE, "1000"},
        {"shutter", Real(2.0), FG_ERR_PARAM_TYPE, "1000"},
        {"brightness", Text("one_push"), FG_ERR_SET_FAILED, "64"},
        {"zoom", Int(1), FG_ERR_SET_FAILED, nullptr},
        {"grab_timeout", Int(0), FG_SUCCESS, "0"},
        {"grab_timeout", Int(1000001), FG_ERR_PARAM_VALUE, "0"},
        {"grab_timeout", Int(-1), FG_ERR_PARAM_VALUE, "0"},
        {"swap_bytes", Text("true"), FG_SUCCESS, "true"},
        {"swap_bytes", Text("yes"), FG_ERR_PARAM_VALUE, "true"},
        {"swap_bytes", Int(1), FG_ERR_PARAM_TYPE, "true"},
        {"start_async_after_grab_async", Text("disable"), FG_SUCCESS, "disable"},
        {"bits_per_channel", Int(17), FG_ERR_PARAM_VALUE, nullptr},
        {"color_space", Text("lab"), FG_ERR_PARAM_VALUE, nullptr},
        {"register_address", Int(int32_t(0xF1000010)), FG_SUCCESS, "-251658224"},
        {"register_value", Int(0x12345678), FG_SUCCESS, "305419896"},
        {"register_value", Int(7), FG_SUCCESS, "7"},
        {"register_address", Int(0x100), FG_SUCCESS, "256"},
        {"register_value", Int(7), FG_ERR_PARAM_VALUE, nullptr},
        {"image_width", Int(100), FG_SUCCESS, "100"},
        {"start_column", Int(540), FG_SUCCESS, "540"},
        {"start_column", Int(541), FG_ERR_PARAM_VALUE, "540"},
        {"image_width", Int(101), FG_ERR_PARAM_VALUE, "100"},
        {"image_width", Int(-1), FG_ERR_PARAM_VALUE, "100"},
        {"start_row", Int(-1), FG_ERR_PARAM_VALUE, "0"},
        {"do_fasttrigger", Int(0), FG_ERR_PARAM_VALUE, nullptr},
        {"do_bustrigger", Int(0), FG_SUCCESS, nullptr},
        {"do_reset_camera", Int(0), FG_SUCCESS, nullptr},
        {"shutter", Real(1.0), FG_ERR_PARAM_TYPE, "500"},
    };
    ExpectSets(i, cases);
    EXPECT_EQ(GetStatus(i, "register_value"), FG_ERR_GET_FAILED);
}

TEST_F(IidcParamTest, ListsAndRangesDescribeTheCamera)
{
    FGInstance& i = Opened();
    const fg::GetCase cases[] = {
        {"shutter_range", "1,4095,1,500,auto,one_push"},
        {"video_gain_range", "0,680,1,100,off,auto"},
        {"sharpness_range", "0,7,1,2"},
        {"horizontal_resolution_range", "640,640,1,640"},
        {"image_width_range", "1,640,1,640"},
        {"grab_timeout_range", "0,1000000,1,5000"},
        {"burst_count_range", "0,255,1,0"},
        {"burst_count", "0"},
        {"external_trigger_values", "0,1,1,0"},
        {"trigger_source_values", "0,7"},
        {"trigger_polarity_values", "0,1"},
        {"trigger_mode_values", "0,1,15"},
        {"trigger_parameter_range", "0,4095,1,0"},
        {"frame_rate", "30.00"},
        {"swap_bytes_values", "true,false"},
        {"start_async_after_grab_async_values", "enable,disable"},
        {"revision", "2.0"},
        {"camera_vendor", "Ondula Vision"},
        {"camera_model", "IIDC Mono 1280"},
        {"horizontal_offset", "0"},
        {"packet_size", "1152"},
        {"image_available", "0"},
    };
    ExpectAnswers(i, cases);
    const std::string formats = Get(i, "camera_type_values");
    EXPECT_EQ(formats.substr(0, 12), "0:5:4,0:5:2,");
    EXPECT_EQ(formats.substr(formats.size() - 11), "1:5:4,7:0:0");
    EXPECT_EQ(GetStatus(i, "zoom_range"), FG_ERR_GET_FAILED);
}

TEST_F(IidcParamTest, TriggerFieldsRoundTripAndStayInTheirField)
{
    FGInstance& i = Opened();
    const SetCase cases[] = {
        {"trigger_mode", Int(1), FG_SUCCESS},
        {"trigger_source", Int(7), FG_SUCCESS},
        {"trigger_polarity", Text("true"), FG_SUCCESS},
        {"trigger_parameter", Int(4095), FG_SUCCESS},
        {"external_trigger", Int(1), FG_SUCCESS},
        {"trigger_parameter", Int(4096), FG_ERR_PARAM_VALUE},
        {"trigger_mode", Int(16), FG_ERR_PARAM_VALUE},
        {"trigger_source", Int(8), FG_ERR_PARAM_VALUE},
        {"trigger_polarity", Int(2), FG_ERR_PARAM_VALUE},
        {"external_trigger", Int(-1), FG_ERR_PARAM_VALUE},
        {"trigger_source", Text("maybe"), FG_ERR_PARAM_TYPE},
        {"trigger_mode", Int(2), FG_ERR_SET_FAILED},
    };
    ExpectSets(i, cases);
    EXPECT_EQ(Get(i, "trigger_mode") + Get(i, "trigger_source") + Get(i, "trigger_polarity") +
                  Get(i, "external_trigger"),
              "1711");
    EXPECT_EQ(Get(i, "trigger_parameter"), "4095");
    EXPECT_EQ(Get(i, "external_trigger_values"), "0,1,1,1");
    EXPECT_EQ(Get(i, "trigger_parameter_range"), "0,4095,1,4095");
    EXPECT_EQ(Set(i, "do_fasttrigger", Int(0)), FG_SUCCESS) << "a trigger for a triggered camera";
}

TEST_F(IidcParamTest, FrameRatesFollowTheFormat)
{
    fgsim::CameraConfig camera = fgsim::MonoCamera(0);
    camera.formats = {0x80000500, 0x80000501, 0x80000502, 0x80000503,
                      0x80000504, 0x80000505, 0x80070000};
    ASSERT_EQ(Start({camera}), FG_SUCCESS);
    FGInstance& i = Opened("0:5:0");
    const char* rates[] = {"1.88", "3.75", "7.50", "15.00", "30.00", "60.00"};
    for (int rate = 0; rate < 6; ++rate) {
        const std::string type = "0:5:" + std::to_string(rate);
        ASSERT_EQ(Set(i, "camera_type", Text(type.c_str())), FG_SUCCESS);
        EXPECT_EQ(Get(i, "frame_rate"), rates[rate]);
    }
    // Restarting waits 100 ms and one frame of the old format.
    const auto before = clock_.Now();
    ASSERT_EQ(Set(i, "camera_type", Text("0:5:4")), FG_SUCCESS);
    ASSERT_EQ(Set(i, "camera_type", Text("0:5:3")), FG_SUCCESS);
    EXPECT_EQ(clock_.Now() - before, 116ms + 133ms);
    Close(i);

    FGInstance& window = Request("7:0:0");
    window.horizontal_resolution = 640;
    window.vertical_resolution = 480;
    ASSERT_EQ(Open(window), FG_SUCCESS);
    EXPECT_EQ(Get(window, "packet_size"), "4096");
    EXPECT_EQ(Get(window, "frame_rate"), "106.67");
    Close(window);
    fgsim::ReportParameter(0, FGP_PACKETSIZE, 0);
    FGInstance& no_packets = Opened("7:0:0");
    EXPECT_EQ(GetStatus(no_packets, "frame_rate"), FG_ERR_GET_FAILED);
}

TEST_F(IidcParamTest, FormatChangesRestartTheCameraOrFallBack)
{
    FGInstance& i = Opened("7:0:0");
    ASSERT_EQ(Set(i, "image_width", Int(400)), FG_SUCCESS);
    ASSERT_EQ(Set(i, "start_column", Int(100)), FG_SUCCESS);
    // A smaller window: the part becomes the whole of it, at 0, 0.
    ASSERT_EQ(Set(i, "horizontal_resolution", Int(320)), FG_SUCCESS);
    EXPECT_EQ(Get(i, "horizontal_resolution") + "," + Get(i, "image_width") + "," +
                  Get(i, "start_column"),
              "320,320,0");
    EXPECT_EQ(i.full_width, 320);
    EXPECT_EQ(Set(i, "horizontal_resolution", Int(321)), FG_ERR_PARAM_VALUE);
    EXPECT_EQ(Set(i, "horizontal_offset", Int(64)), FG_SUCCESS);
    EXPECT_EQ(Set(i, "packet_size", Int(2048)), FG_SUCCESS);
    EXPECT_EQ(Get(i, "horizontal_offset") + "," + Get(i, "packet_size"), "64,2048");
    EXPECT_EQ(Set(i, "burst_count", Int(300)), FG_ERR_PARAM_VALUE);

    EXPECT_EQ(Set(i, "camera_type", Text("2:0:4")), FG_ERR_CAMERA_TYPE);
    EXPECT_EQ(Set(i, "camera_type", Text("1:2")), FG_ERR_CAMERA_TYPE);
    EXPECT_EQ(Get(i, "camera_type"), "07:00:00") << "the old format again";
    EXPECT_EQ(i.full_width, 320);

    // A camera that cannot stop or start again reports it for every parameter.
    struct Case {
        fgsim::Call call;
        const char* name;
        Vcpar value;
        FGstatus status;
    };
    const Case cases[] = {
        {fgsim::Call::StopDevice, "camera_type", Text("0:5:4"), FG_ERR_OPEN},
        {fgsim::Call::CloseCapture, "packet_size", Int(1024), FG_ERR_OPEN},
        {fgsim::Call::StartDevice, "burst_count", Int(2), FG_ERR_RESTART},
        {fgsim::Call::OpenCapture, "camera_type", Text("0:5:4"), FG_ERR_RESTART},
    };
    for (const Case& c : cases) {
        fgsim::FailCall(c.call, 1, 4);
        EXPECT_EQ(Set(i, c.name, c.value), c.status) << c.name;
    }
    EXPECT_EQ(Get(i, "camera_type"), "00:05:04") << "changed, though not capturing";
    Images images;
    EXPECT_EQ(Grab(i, images), FG_ERR_GRAB);
}

TEST_F(IidcParamTest, AnswerTextsBelongToTheirInstance)
{
    FGInstance& mono = Opened("0:5:4", "-1");
    FGInstance& colour = Opened("0:3:4", "-1");
    std::vector<Vcpar> first(64), second(64);
    int32_t count = 64;
    ASSERT_EQ(cls_.FGGetParam(1, &mono, "camera_model", first.data(), &count), FG_SUCCESS);
    count = 64;
    ASSERT_EQ(cls_.FGGetParam(1, &colour, "camera_model", second.data(), &count), FG_SUCCESS);
    EXPECT_STREQ(first[0].par.s, "IIDC Mono 1280");
    EXPECT_STREQ(second[0].par.s, "IIDC Colour 1280");
    count = 2;
    EXPECT_EQ(cls_.FGGetParam(1, &mono, "shutter_range", first.data(), &count), FG_ERR_PARAM_VALUE);
    EXPECT_EQ(count, 6) << "the room the answer needs";
}

} // namespace
