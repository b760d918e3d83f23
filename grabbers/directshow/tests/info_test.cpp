#include <thread>

#include "plugin_fixture.h"

namespace {

using namespace dshow;
struct Answer {
    FGstatus status;
    std::string text;
    std::vector<std::string> values;
};

class InfoTest : public PluginTest {
protected:
    // The answer to `query`: its status, its text and its values as text. A
    // successful answer must say how many values it gives, none included.
    Answer Ask(int32_t query)
    {
        const char* text = nullptr;
        Vcpar* values = nullptr;
        int32_t count = -1;
        Answer answer{cls_.FGInfo(1, query, &text, &values, &count), text ? text : "", {}};
        if (answer.status == FG_SUCCESS) {
            EXPECT_GE(count, 0) << query;
        }
        for (int32_t i = 0; i < count; ++i)
            answer.values.push_back(values[i].type == VPAR_STRING ? values[i].par.s
                                    : values[i].type == VPAR_INT  ? std::to_string(values[i].par.l)
                                                                  : "real");
        VXFree(1, values, __FILE__, __LINE__, 0);
        return answer;
    }
};

TEST_F(InfoTest, TheGeneralTextAskedOnTwoThreadsAtOnce)
{
    const auto ask = [&] {
        for (int i = 0; i < 100; ++i) {
            const Answer general = Ask(FG_INFO_GENERAL);
            EXPECT_EQ(general.status, FG_SUCCESS);
            EXPECT_EQ(general.text,
                      "Verodyn frame grabber interface for DirectShow capture devices "
                      "(quartz.dll version:0.01).");
        }
    };
    std::thread other(ask);
    ask();
    other.join();
}

TEST_F(InfoTest, EveryQuery)
{
    struct Case {
        int32_t query;
        const char* text;
        std::vector<std::string> values;
    };
    const Case cases[] = {
        {0,
         "Value list for port parameter (number of the capture device's output pin or -1).",
         {"-1"}},
        {2,
         "Verodyn frame grabber interface for DirectShow capture devices (quartz.dll "
         "version:0.01).",
         {}},
        {5,
         "Info about installed WDM video capture devices.",
         {"device:Simulated Camera", "device:Simulated Capture Card"}},
        {6, "Current interface revision.", {"2.9"}},
        {8, "Value list for field parameter.", {}},
        {9, "Value list for bits per channel parameter.", {}},
        {10, "Value list for color space parameter.", {"gray", "rgb"}},
        {11, "Value list for external trigger parameter.", {"true", "false"}},
        {12,
         "Value list for device parameter (name of the capture device).",
         {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"}},
        {7, "Unsupported query!", {}},
        {13, "Unsupported query!", {}},
        {-1, "Unsupported query!", {}},
    };
    for (const Case& c : cases) {
        const Answer a = Ask(c.query);
        EXPECT_EQ(a.status, FG_SUCCESS) << c.query;
        EXPECT_EQ(a.text, c.text);
        EXPECT_EQ(a.values, c.values) << c.query;
    }

    const Answer types = Ask(1);
    EXPECT_EQ(types.text, "Info about the available media types.");
    ASSERT_EQ(types.values.size(), 1 + 27 + 1 + 4u) << "YUY2 and MJPG are left out";
    EXPECT_EQ(types.values[0], "device 0, port 0: default");
    EXPECT_EQ(types.values[1], "device 0, port 0: RGB24 (640x480)");
    EXPECT_EQ(types.values[8], "device 0, port 0: YUV411 (640x480)");
    EXPECT_EQ(types.values[27], "device 0, port 0: YUV41P (1280x1024)");
    EXPECT_EQ(types.values[28], "device 1, port 0: default");
    EXPECT_EQ(types.values[29], "device 1, port 0: PAL_B RGB24 (768x576)");
    EXPECT_EQ(types.values[32], "device 1, port 0: NTSC_M UYVY (640x480)");

    EXPECT_EQ(Ask(3).values.size(), 15u);
    const Answer parameters = Ask(4);
    EXPECT_EQ(parameters.text, "Additional parameters for this frame grabber.");
    ASSERT_EQ(parameters.values.size(), 52u);
    EXPECT_EQ(parameters.values.front(), "revision");
    EXPECT_EQ(parameters.values[26], "available_frame_rates");
    EXPECT_EQ(parameters.values.back(), "available_dialogs");
}

TEST_F(InfoTest, DeviceListLimitsAndFailures)
{
    sim::DeviceConfig absent = Pumped(sim::SimulatedCamera());
    absent.property_bag = sim::PropertyBag::Absent;
    std::vector<sim::DeviceConfig> many(20, absent);
    many[1].property_bag = sim::PropertyBag::Failing;
    sim::SetDevices(many);
    const Answer boards = Ask(FG_INFO_BOARDS);
    ASSERT_EQ(boards.status, FG_SUCCESS);
    ASSERT_EQ(boards.values.size(), 16u);
    EXPECT_EQ(boards.values[0], "device:(no device name available)");

    sim::SetNextFailures(-1);
    Answer failed;
    std::string printed = Messages([&] { failed = Ask(FG_INFO_BOARDS); });
    EXPECT_EQ(failed.status, FG_SUCCESS);
    EXPECT_EQ(failed.values.size(), 0u);
    std::string sixteen;
    for (int i = 0; i < 16; ++i)
        sixteen += "Error 80004005 while retrieving moniker\n";
    EXPECT_EQ(printed, sixteen);
    FGstatus status = 0;
    Messages([&] { Open(&status); });
    EXPECT_EQ(status, FG_ERR_DEVICE);

    sim::SetNextFailures(0);
    sim::SetDevices({});
    const Answer none = Ask(FG_INFO_BOARDS);
    EXPECT_EQ(none.status, FG_SUCCESS);
    EXPECT_EQ(none.values.size(), 0u) << "no device at all";

    sim::DeviceConfig broken = Pumped(sim::SimulatedCamera());
    broken.bind_exception = 0xC0000005;
    sim::SetDevices({broken});
    printed = Messages([&] { EXPECT_EQ(Ask(FG_INFO_CAMERA_TYPE).status, FG_ERR_DEVICE_CALL); });
    EXPECT_EQ(printed, "Exception c0000005 in QueryCameraTypes()\n");
}

TEST_F(InfoTest, ParametersOfThisPart)
{
    FGInstance* inst = Open();
    Vcpar value{};
    int32_t count = 1;
    ASSERT_EQ(cls_.FGGetParam(1, inst, "Revision", &value, &count), FG_SUCCESS);
    EXPECT_STREQ(value.par.s, "2.9");
    ASSERT_EQ(cls_.FGGetParam(1, inst, "grab_timeout", &value, &count), FG_SUCCESS);
    EXPECT_EQ(value.par.l, 5000);
    count = 0;
    EXPECT_EQ(cls_.FGGetParam(1, inst, "grab_timeout", &value, &count), FG_ERR_PARAM_VALUE);
    EXPECT_EQ(count, 1) << "room for one value needed";
    EXPECT_EQ(cls_.FGGetParam(1, inst, "unknown", &value, &count), FG_ERR_PARAM_UNKNOWN);

    struct Case {
        const char* name;
        Vcpar value;
        int32_t count;
        FGstatus status;
    };
    const Case cases[] = {
        {"grab_timeout", Real(1.5), 1, FG_ERR_PARAM_TYPE},
        {"grab_timeout", Int(40), 0, FG_ERR_PARAM_TYPE},
        {"grab_timeout", Int(-1), 1, FG_ERR_PARAM_VALUE},
        {"GRAB_TIMEOUT", Int(40), 1, FG_SUCCESS},
        {"do_stop_grabbing", Real(1.5), 1, FG_SUCCESS},
        {"unknown", Int(40), 1, FG_ERR_PARAM_UNKNOWN},
    };
    for (const Case& c : cases)
        EXPECT_EQ(cls_.FGSetParam(1, inst, c.name, &c.value, c.count), c.status) << c.name;
    count = 1;
    cls_.FGGetParam(1, inst, "grab_timeout", &value, &count);
    EXPECT_EQ(value.par.l, 40);
}

} // namespace
