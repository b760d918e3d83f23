#include <algorithm>
#include <cfloat>

#include "usbcam_test_support.h"

namespace {

using UsbcamDictionaryTest = UsbcamTest;

// The last `n` entries of a ','-joined answer.
std::string Tail(const std::string& answer, int n)
{
    size_t at = answer.size();
    for (int i = 0; i < n && at != std::string::npos; ++i)
        at = answer.rfind(',', at - 1);
    return at == std::string::npos ? answer : answer.substr(at + 1);
}

size_t Count(const std::string& answer)
{
    return std::count(answer.begin(), answer.end(), ',') + 1;
}

TEST_F(UsbcamDictionaryTest, PathsAnswerValuesLimitsDictionariesAndVisibility)
{
    FGInstance& i = Opened();
    const fg::GetCase cases[] = {
        {"Camera/Expose_us", "20000"},
        {"Camera/Expose_us_range", "0,1000000,1,20000"},
        {"limits.Camera/Expose_us", "0,1000000,1,20000"},
        {"Camera/FrameDelay_us_range", "-2147483648,2147483647,1,0"},
        {"isVisible.Camera/Gain_dB", "1"},
        {"isVisible.Camera/TestMode", "0"},
        {"Camera/Gain_dB", "1.00"},
        {"Camera/Gain_dB_range", "0.00,32.00,1.00,1.00"},
        {"Camera/TriggerMode", "Continuous"},
        {"Camera/TriggerMode_values", "Continuous,OnDemand,OnLowLevel,OnHighLevel"},
        {"dictionary.Camera/Expose_us", ""},
        {"Info/Camera/SensorXRes", "1280"},
        {"Info/DriverVersion", "1.4.2"},
        {"Info/Camera/SensorTemperatures_C", "31.50,33.00"},
        {"IOSubSystem/PortNames", "In0,In1"},
        {"System/RequestCount", "2"},
        {"System/FrameRateLimit_Hz_values", "Free,15,30"},
        {"System/FrameRateLimit_Hz", "Free"},
        {"limits.Info/DriverVersion", nullptr, FG_ERR_PARAM_TYPE},
        {"bogus.Camera/Expose_us", nullptr, FG_ERR_PARAM_TYPE},
        {"Statistics/CaptureTime_us", nullptr, FG_ERR_PARAM_UNKNOWN},
        {"Camera/Exposure", nullptr, FG_ERR_PARAM_UNKNOWN},
        {"IOSubSystem/DigitalOutput", nullptr, FG_ERR_PARAM_VALUE},
    };
    ExpectAnswers(i, cases);
    // A real without a minimum answers the most negative real.
    Vcpar values[4];
    int32_t count = 4;
    ASSERT_EQ(cls_.FGGetParam(1, &i, "Camera/Offset_pc_range", values, &count), FG_SUCCESS);
    EXPECT_EQ(values[0].par.f, -DBL_MAX);
    EXPECT_EQ(values[1].par.f, 100.0);
    count = 1;
    EXPECT_EQ(cls_.FGGetParam(1, &i, "Camera/Expose_us_range", values, &count), FG_ERR_PARAM_VALUE);
    EXPECT_EQ(count, 4);
}

TEST_F(UsbcamDictionaryTest, PathsAreWrittenByTheValueType)
{
    FGInstance& i = Opened();
    const char* texts[] = {"H2", "5000", nullptr};
    const fg::SetCase cases[] = {
        {"Camera/Expose_us", Real(100.0), FG_ERR_PARAM_TYPE, "20000"},
        {"Camera/Expose_us", Text(texts[1]), FG_SUCCESS, "5000"},
        {"Camera/Expose_us", Text(texts[2]), FG_ERR_PARAM_VALUE, "5000"},
        {"Camera/Expose_us", Int(2000000), FG_ERR_PARAM_VALUE, "5000"},
        {"Camera/Gain_dB", Int(3), FG_ERR_PARAM_TYPE, "1.00"},
        {"Camera/Gain_dB", Real(6.5), FG_SUCCESS, "6.50"},
        {"Camera/BinningMode", Text(texts[0]), FG_SUCCESS, "H2"},
        {"Camera/BinningMode", Int(0x33), FG_ERR_PARAM_VALUE, "H2"},
        {"Info/Camera/SensorXRes", Int(640), FG_ERR_PARAM_VALUE, "1280"},
        {"Camera/Exposure", Int(1), FG_ERR_PARAM_UNKNOWN, nullptr},
    };
    ExpectSets(i, cases);
    const Vcpar mixed[] = {Int(1), Real(2)};
    EXPECT_EQ(cls_.FGSetParam(1, &i, "Camera/Expose_us", mixed, 2), FG_ERR_PARAM_TYPE);
    Vcpar odd{};
    odd.type = 3;
    EXPECT_EQ(Set(i, "Camera/Expose_us", odd), FG_ERR_PARAM_TYPE);
}

TEST_F(UsbcamDictionaryTest, ListsOfPathsShareOneSelection)
{
    FGInstance& i = Opened();
    const std::string names = Get(i, "available_param_names");
    const std::string access = Get(i, "available_param_access");
    const std::string types = Get(i, "available_param_types");
    EXPECT_EQ(Get(i, "available_param_descriptions"), names);
    EXPECT_EQ(Tail(names, 2), "request_queue_depth,volatile");
    EXPECT_EQ(Tail(access, 2), "rw,ro");
    EXPECT_EQ(Tail(types, 2), "I,SE");
    EXPECT_EQ(Count(access), Count(names));
    EXPECT_EQ(Count(types), Count(names));
    // Camera first: "IOSubSystem/DigitalOutput" (write only) opens the list.
    EXPECT_EQ(names.substr(0, names.find(',')), "IOSubSystem/DigitalOutput");
    EXPECT_EQ(access.substr(0, 3), "wo,");
    EXPECT_EQ(types.substr(0, 2), "I,");
    for (const char* left_out :
         {"Info/Camera/SensorTemperatures_C", "IOSubSystem/PortNames", "IOSubSystem/DigitalInputs"})
        EXPECT_EQ(names.find(left_out), std::string::npos) << left_out;
    EXPECT_NE(names.find("Camera/Aoi/W"), std::string::npos);
    EXPECT_EQ(Get(i, "writeable_device_properties"),
              "IOSubSystem/DigitalOutput,System/FrameRateLimit_Hz,System/RequestCount,"
              "System/WorkerPriority");
    const std::string readable = Get(i, "readable_device_properties");
    EXPECT_NE(readable.find("IOSubSystem/PortNames"), std::string::npos);
    EXPECT_EQ(readable.find("IOSubSystem/DigitalInputs"), std::string::npos);
    EXPECT_EQ(Count(Get(i, "readable_instance_properties")), 18u);
    EXPECT_EQ(Count(Get(i, "writeable_instance_properties")), 18u);
}

} // namespace
