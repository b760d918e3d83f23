#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "tests/support/scoped_setting.h"
#include "zephon_test_support.h"
#include <registry/registry.h>

namespace {

using ZephonParameters = ZephonTest;
using ZephonInfo = ZephonTest;

// Type 50 with a brightness of 30 in 0..255 and a hue without range.
dvl::SimulatedBoard CameraLinkBoard()
{
    dvl::SimulatedBoard board = Board(50);
    board.features = {{5100, 30}, {5101, 255}, {5102, 0}, {32768, 4}, {32769, 7}, {32770, 7}};
    return board;
}

TEST_F(ZephonParameters, SettingsAreCheckedByNameTypeValueAndBoard)
{
    dvl::RegisterBoard(Board(27));
    FGInstance& restricted = Request();
    restricted.external_trigger = 1;
    ASSERT_EQ(Open(restricted), FG_SUCCESS);
    EXPECT_EQ(Set(restricted, "trigger_source", Text("timer1")), FG_ERR_PARAM_VALUE);
    EXPECT_EQ(Set(restricted, "trigger_source", Text("hw_port0")), FG_SUCCESS);
    EXPECT_EQ(Get(restricted, "trigger_source"), "hw_port0");
    EXPECT_EQ(Set(restricted, "exposure_time", Int(3)), FG_ERR_PARAM_UNKNOWN);
    CloseAll();

    dvl::RegisterBoard(CameraLinkBoard());
    FGInstance& camera = Request();
    camera.external_trigger = 1;
    ASSERT_EQ(Open(camera), FG_SUCCESS);
    struct Case {
        const char* name;
        Vcpar value;
        FGstatus status;
    };
    for (const Case& c :
         {Case{"trigger_source", Text("software"), FG_ERR_PARAM_VALUE},
          Case{"trigger_signal", Text("rising"), FG_ERR_PARAM_UNKNOWN},
          Case{"do_force_trigger", Int(0), FG_ERR_PARAM_UNKNOWN},
          Case{"Brightness", Int(40), FG_SUCCESS},
          Case{"brightness", Real(-1.0), FG_ERR_PARAM_VALUE},
          Case{"brightness", Text("40"), FG_ERR_PARAM_VALUE},
          Case{"hue", Int(5), FG_ERR_PARAM_UNKNOWN}, Case{"no_such", Int(1), FG_ERR_PARAM_UNKNOWN}})
        EXPECT_EQ(Set(camera, c.name, c.value), c.status) << c.name;
    EXPECT_EQ(Get(camera, "brightness"), "40");
    EXPECT_EQ(Get(camera, "brightness_range"), "0,255,1,40");
    EXPECT_EQ(Get(camera, "hue_range"), "");
    CloseAll();

    dvl::RegisterBoard(Board(24));
    FGInstance& plain = Opened();
    for (const Case& c : {Case{"brightness", Int(40), FG_ERR_PARAM_UNKNOWN},
                          Case{"do_force_trigger", Int(0), FG_ERR_PARAM_VALUE},
                          Case{"trigger_source", Text("software"), FG_ERR_PARAM_VALUE},
                          Case{"exposure_time", Real(-1.0), FG_ERR_PARAM_VALUE},
                          Case{"exposure_time", Real(1e30), FG_ERR_PARAM_VALUE},
                          Case{"exposure_time_delay", Real(NAN), FG_ERR_PARAM_VALUE},
                          Case{"exposure_time", Text("2"), FG_ERR_PARAM_TYPE},
                          Case{"exposure_time", Real(2.7), FG_SUCCESS},
                          Case{"exposure_time_delay", Int(9), FG_SUCCESS},
                          Case{"port", Real(1.0), FG_ERR_PARAM_TYPE},
                          Case{"port", Int(24), FG_ERR_PARAM_VALUE},
                          Case{"port", Int(3), FG_SUCCESS},
                          Case{"external_trigger", Text("maybe"), FG_ERR_PARAM_VALUE},
                          Case{"external_trigger", Int(1), FG_ERR_PARAM_TYPE},
                          Case{"trigger_signal", Text("falling"), FG_SUCCESS},
                          Case{"trigger_signal", Text("up"), FG_ERR_PARAM_VALUE},
                          Case{"trigger_signal", Text(nullptr), FG_ERR_PARAM_TYPE},
                          Case{"start_async_after_grab_async", Text("on"), FG_ERR_PARAM_VALUE},
                          Case{"start_async_after_grab_async", Int(1), FG_ERR_PARAM_TYPE},
                          Case{"do_abort_grab", Int(0), FG_SUCCESS}})
        EXPECT_EQ(Set(plain, c.name, c.value), c.status) << c.name;
    EXPECT_EQ(Get(plain, "exposure_time"), "2");
    EXPECT_EQ(Get(plain, "exposure_time_delay"), "9");
    EXPECT_EQ(plain.port, 3);
    EXPECT_EQ(dvl::Digitizers()[0].channel, 0x01000000);
    EXPECT_EQ(Get(plain, "trigger_signal"), "falling");
    EXPECT_EQ(Get(plain, "trigger_source"), "none");
    EXPECT_EQ(Get(plain, "revision"), "2.2");
    EXPECT_EQ(Get(plain, "grab_timeout"), "5000");
    EXPECT_EQ(Get(plain, "start_async_after_grab_async"), "enable");
    FGstatus status = 0;
    Get(plain, "brightness_range", &status);
    EXPECT_EQ(status, FG_ERR_PARAM_UNKNOWN);
    Get(plain, "port", &status);
    EXPECT_EQ(status, FG_ERR_PARAM_UNKNOWN);
}

TEST_F(ZephonParameters, ThePortStaysWhileAGrabRunsOrWhenTheBoardRefuses)
{
    FGInstance& i = Request();
    i.external_trigger = 1;
    ASSERT_EQ(Open(i), FG_SUCCESS);
    ASSERT_EQ(Set(i, "port", Int(2)), FG_SUCCESS);
    ASSERT_EQ(cls_.FGGrabStartAsync(1, &i, 100.0), FG_SUCCESS);
    VDoLowError = 1;
    testing::internal::CaptureStderr();
    EXPECT_EQ(Set(i, "port", Int(5)), FG_ERR_SET_FAILED);
    EXPECT_NE(testing::internal::GetCapturedStderr().find(
                  "Parameter can't be set while a grab is in progress"),
              std::string::npos);
    ASSERT_EQ(Set(i, "do_abort_grab", Int(0)), FG_SUCCESS);
    EXPECT_FALSE(dvl::Digitizers()[0].grabbing);

    dvl::FailNextCall(DVL_ORD_DIG_CHANNEL, "No such input.");
    testing::internal::CaptureStderr();
    EXPECT_EQ(Set(i, "port", Int(5)), FG_ERR_SET_FAILED);
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(i.port, 2);
    EXPECT_EQ(dvl::Digitizers()[0].channel, int32_t(0x80000000));
}

TEST_F(ZephonInfo, QueriesAnswerTheirTextsAndValues)
{
    std::string info;
    EXPECT_EQ(InfoValues(FG_INFO_PORT),
              "0,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20,21,22,23,-1");
    EXPECT_EQ(InfoValues(FG_INFO_PARAMETERS, nullptr, &info),
              "brightness,brightness_range,exposure,exposure_range,exposure_time,"
              "exposure_time_delay,focus,focus_range,gamma,gamma_range,grab_timeout,hue,"
              "hue_range,iris,iris_range,revision,saturation,saturation_range,shutter,"
              "shutter_range,start_async_after_grab_async,trigger_signal,trigger_source,ub,"
              "ub_range,vr,vr_range,video_gain,video_gain_range,zoom,zoom_range,do_force_"
              "trigger,do_abort_grab");
    EXPECT_EQ(info, "Additional parameters for this frame grabber.");
    EXPECT_EQ(InfoValues(FG_INFO_REVISION), "2.2");
    EXPECT_EQ(InfoValues(FG_INFO_COLOR_SPACE), "gray,rgb");
    EXPECT_EQ(InfoValues(FG_INFO_DEVICE),
              "ZEPHON_II:0,ZEPHON_II:1,ZEPHON_II:2,ZEPHON_II:3,ZEPHON_II_1394:0,"
              "ZEPHON_II_1394:1,ZEPHON_II_1394:2,ZEPHON_II_1394:3,ZEPHON_II_CL:0,"
              "ZEPHON_II_CL:1,ZEPHON_II_CL:2,ZEPHON_II_CL:3,ZEPHON_II_DIG:0,ZEPHON_II_DIG:1,"
              "ZEPHON_II_DIG:2,ZEPHON_II_DIG:3");
    for (int32_t query : {7, 13, -1}) {
        EXPECT_EQ(InfoValues(query, nullptr, &info), "");
        EXPECT_EQ(info, "Unsupported query!");
    }
    EXPECT_EQ(InfoValues(FG_INFO_GENERAL, nullptr, &info), "");
    EXPECT_EQ(info, "Verodyn frame grabber interface for Dravik Zephon-II boards.");
}

TEST_F(ZephonInfo, BoardsAnswerAtOnceWhileOpenElseAfterTheVersionCheck)
{
    FGstatus status = 0;
    InfoValues(FG_INFO_BOARDS, &status);
    EXPECT_EQ(status, FG_SUCCESS);
    dvl::SetVersion(7.4);
    InfoValues(FG_INFO_BOARDS, &status);
    EXPECT_EQ(status, FG_ERR_LIB_VERSION);
    dvl::SetVersion(7.5);
    Opened();
    dvl::SetVersion(7.4);
    InfoValues(FG_INFO_BOARDS, &status);
    EXPECT_EQ(status, FG_SUCCESS);
}

TEST_F(ZephonInfo, CameraTypesCarryTheDcfDirectoryFromTheRegistry)
{
    const auto path =
        std::filesystem::temp_directory_path() / ("zephon_registry_" + std::to_string(getpid()));
    const ScopedVariable registryPath("ONDULA_REGISTRY", path.c_str());
    auto write = [&](const std::string* directory) {
        std::filesystem::remove(path);
        auto store = registry::Registry::FromFile(path);
        registry::HKEY key = 0;
        store->CreateKey(registry::kLocalMachine, "Software\\Dravik\\Imaging Board",
                         registry::kKeyAllAccess, &key);
        if (directory)
            store->SetString(key, "Directory", registry::ValueType::Sz, *directory);
        store->Flush(key);
        store->CloseKey(key);
    };
    const std::string folder = "C:\\Dravik\\dcf";
    const std::string too_long(1000, 'd');
    const std::string tail = ",D_CCIR,D_CCIR_VIA_RGB,D_DEFAULT,D_NTSC,D_NTSC_RGB,D_NTSC_YC,D_PAL,"
                             "D_PAL_RGB,D_PAL_YC,D_RS170,D_RS170_VIA_RGB";
    write(&folder);
    EXPECT_EQ(InfoValues(FG_INFO_CAMERA_TYPE), "CAMFILE:,dcf," + folder + tail);
    write(&too_long);
    EXPECT_EQ(InfoValues(FG_INFO_CAMERA_TYPE), "CAMFILE:,dcf,\\" + tail);
    write(nullptr);
    EXPECT_EQ(InfoValues(FG_INFO_CAMERA_TYPE), "CAMFILE:,dcf,\\" + tail);
    std::filesystem::remove(path);
    EXPECT_EQ(InfoValues(FG_INFO_CAMERA_TYPE), "CAMFILE:,dcf,\\" + tail);
}

} // namespace
