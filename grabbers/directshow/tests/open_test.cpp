// Opening and closing: devices, formats, failures, the COM server.
#include "plugin_fixture.h"
#include <dshow/devices.h>
#include <dshow/server.h>

namespace {

using namespace dshow;
using OpenTest = PluginTest;

constexpr const char* kClassKey = "CLSID\\{798EA990-7ECE-11D6-8E2B-00E0293DC600}";

std::string Text(registry::HKEY key, const char* name)
{
    char text[4096] = "";
    uint32_t size = sizeof text;
    registry::ValueType type;
    registry::System()->QueryValue(key, name, &type, text, &size);
    return text;
}

TEST_F(OpenTest, DeviceIsChosenByNumberOrFriendlyNameAndItsFormatWrittenBack)
{
    struct Case {
        const char* device;
        FGstatus status;
        const char* written_device = nullptr;
        const char* camera_type = nullptr;
    };
    const Case cases[] = {
        {"default", FG_SUCCESS, "0", "RGB24 (640x480)"},
        {"1", FG_SUCCESS, "1", "PAL_B RGB24 (768x576)"},
        {"simulated CAPTURE card", FG_SUCCESS, "simulated CAPTURE card", "PAL_B RGB24 (768x576)"},
        {"2", FG_ERR_DEVICE},
        {"Simulated", FG_ERR_DEVICE},
    };
    for (const Case& c : cases) {
        FGstatus status = 0;
        FGInstance* inst = Open(&status, "default", c.device);
        ASSERT_EQ(status, c.status) << c.device;
        if (!inst)
            continue;
        EXPECT_STREQ(inst->device, c.written_device);
        EXPECT_STREQ(inst->camera_type, c.camera_type);
        Close(inst);
    }
    sim::ConfigureDevice(1, [](sim::DeviceConfig& d) { d.tv_format = AnalogVideo_SECAM_B; });
    EXPECT_STREQ(Open("default", "1")->camera_type, "SECAM_BRGB24 (768x576)");
    EXPECT_STREQ(Open("NTSC_M RGB24 (640x480)", "1")->camera_type, "NTSC_M RGB24 (640x480)");
}

TEST_F(OpenTest, AllocationsAreRecordedUnderThePluginsSourceFile)
{
    FGInstance* inst = Open("default", "1");
    ASSERT_NE(inst, nullptr);
    const std::vector<VXAllocation> blocks = VXAllocated();
    ASSERT_FALSE(blocks.empty());
    for (const VXAllocation& a : blocks)
        EXPECT_EQ(a.file, "CIODirectShow.cpp") << a.line;
}

TEST_F(OpenTest, TheDeviceNamedIsTheOneBound)
{
    sim::DeviceConfig unnamed = Pumped(sim::SimulatedCamera());
    unnamed.property_bag = sim::PropertyBag::Failing;
    sim::SetDevices({unnamed, Pumped(sim::SimulatedCaptureCard())});
    EXPECT_STREQ(Open("default", "0")->camera_type, "PAL_B RGB24 (768x576)");
    sim::SetDevices({Pumped(sim::SimulatedCamera())});
    FGstatus status = 0;
    EXPECT_EQ(Open(&status, "default", "1"), nullptr);
    EXPECT_EQ(status, FG_ERR_DEVICE);
}

TEST_F(OpenTest, FailedOpensReleaseEverythingAndLeaveTheRecordFree)
{
    struct Case {
        const char* what;
        std::function<void()> arrange;
        const char* camera_type;
        const char* device;
        const char* colour_space;
        uint8_t trigger;
        FGstatus status;
        const char* message;
    };
    sim::DeviceConfig yuy2_only = Pumped(sim::SimulatedCamera());
    yuy2_only.formats = {{MEDIASUBTYPE_YUY2, 640, 480}};
    const auto camera = [](auto change) { return [change] { sim::ConfigureDevice(0, change); }; };
    const Case cases[] = {
        {"colour space", [] {}, "PAL RGB24 (640x480)", "0", "yuv", 0, FG_ERR_COLOR_SPACE,
         "Error in FGOpen(): Invalid color space!"},
        {"argb32", [] {}, "argb32 (640x480)", "0", "rgb", 0, FG_ERR_CAMERA_TYPE, ""},
        {"trigger without video control", [] {}, "default", "1", "rgb", 1, FG_ERR_MODE, ""},
        {"trigger the device cannot take",
         camera([](sim::DeviceConfig& d) { d.video_control_caps = 3; }), "PAL RGB24 (640x480)", "0",
         "rgb", 1, FG_ERR_MODE, ""},
        {"converter in the way", [&] { sim::SetDevices({yuy2_only}); }, "PAL RGB24 (640x480)", "0",
         "rgb", 0, FG_ERR_OPEN,
         "Error in ConnectFilterGraph(): RenderStream() connected to a different filter than "
         "specified! (1)"},
        {"size the device lacks", [] {}, "RGB24 (800x600)", "0", "rgb", 0, FG_ERR_OPEN,
         "Error in ConnectFilterGraph(): RenderStream() failed (1)! (error 80040217)"},
        {"standard without decoder", [] {}, "NTSC_M RGB24 (640x480)", "0", "rgb", 0, FG_ERR_OPEN,
         "Error in InitCapture(): No analog decoder found!"},
        {"decoder failing",
         [] { sim::ConfigureDevice(1, [](sim::DeviceConfig& d) { d.decoder_fails = true; }); },
         "NTSC_M RGB24 (640x480)", "1", "rgb", 0, FG_ERR_OPEN,
         "Error in InitCapture(): put_TVFormat() failed!"},
        {"exception at bind", camera([](sim::DeviceConfig& d) { d.bind_exception = 0xC0000005; }),
         "PAL RGB24 (640x480)", "0", "rgb", 0, FG_ERR_OPEN,
         "Exception c0000005 during framegrabber initialization"},
        {"exception at AddFilter",
         camera([](sim::DeviceConfig& d) { d.join_exception = 0xC000001D; }), "PAL RGB24 (640x480)",
         "0", "rgb", 0, FG_ERR_OPEN, "Exception c000001d during framegrabber initialization"},
        {"bind failing", camera([](sim::DeviceConfig& d) { d.bind_fails = true; }),
         "PAL RGB24 (640x480)", "0", "rgb", 0, FG_ERR_DEVICE, ""},
    };
    for (const Case& c : cases) {
        c.arrange();
        FGstatus status = 0;
        const std::string printed =
            Messages([&] { Open(&status, c.camera_type, c.device, c.colour_space, c.trigger); });
        EXPECT_EQ(status, c.status) << c.what;
        EXPECT_NE(printed.find(c.message), std::string::npos) << c.what << ": " << printed;
        FGInstance probe{};
        EXPECT_EQ(cls_.FGAllocInstance(1, &probe), &cls_.instance[0]) << c.what;
        EXPECT_EQ(LiveObjects(), 0) << c.what;
        UsePumpedDevices();
    }
    for (int i = 0; i < 16; ++i)
        Open("RGB24 (320x240)");
    FGInstance probe{};
    EXPECT_EQ(cls_.FGAllocInstance(1, &probe), nullptr);
}

TEST_F(OpenTest, PortNamesThePinThatIsRendered)
{
    struct Case {
        int32_t port;
        const char* camera_type;
        const char* device;
        FGstatus status;
        const char* message;
    };
    const Case cases[] = {
        {0, "PAL RGB24 (640x480)", "0", FG_SUCCESS, ""},
        {1, "PAL RGB24 (640x480)", "0", FG_ERR_OPEN, "Error in InitCapture(): GetPin() failed!"},
        {1, "default", "1", FG_ERR_OPEN,
         "Error in ConnectFilterGraph(): RenderStream() failed (2)! (error 80040217)"},
        {0, "PAL RGB24 (640x480)", "2", FG_ERR_OPEN,
         "Error in ConnectFilterGraph(): RenderStream() connected to a different filter than "
         "specified! (2)"},
    };
    sim::DeviceConfig yuy2_only = Pumped(sim::SimulatedCamera());
    yuy2_only.formats = {{MEDIASUBTYPE_YUY2, 640, 480}};
    sim::SetDevices(
        {Pumped(sim::SimulatedCamera()), Pumped(sim::SimulatedCaptureCard()), yuy2_only});
    for (const Case& c : cases) {
        cls_.port = c.port;
        FGstatus status = 0;
        FGInstance* inst = nullptr;
        const std::string printed =
            Messages([&] { inst = Open(&status, c.camera_type, c.device); });
        EXPECT_EQ(status, c.status) << c.port << " " << c.device;
        EXPECT_NE(printed.find(c.message), std::string::npos) << printed;
        if (inst)
            Close(inst);
    }
    cls_.port = -1;
}

TEST_F(OpenTest, DeviceFormatAndSmartTeeAreTakenBehindAnotherFilter)
{
    sim::DeviceConfig yuy2_only = Pumped(sim::SimulatedCamera());
    yuy2_only.formats = {{MEDIASUBTYPE_YUY2, 640, 480}};
    sim::DeviceConfig tee = Pumped(sim::SimulatedCamera());
    tee.smart_tee = true;
    sim::SetDevices({yuy2_only, tee});
    EXPECT_STREQ(Open("default", "0")->camera_type, "RGB24 (640x480)") << "through the converter";
    EXPECT_STREQ(Open("YUY2 (640x480)", "0")->camera_type, "RGB24 (640x480)");
    EXPECT_STREQ(Open("PAL RGB24 (640x480)", "1")->camera_type, "RGB24 (640x480)");
}

TEST_F(OpenTest, RendererServerRegistersOnceAndServesItsClass)
{
    const int registrations = ServerRegistrations();
    FGInstance* inst = Open();
    EXPECT_NE(NamedMutex::Open("register_vfg_directshow_mutex"), nullptr);
    EXPECT_EQ(Export<HRESULT()>("DllCanUnloadNow")(), S_FALSE);
    const std::vector<std::wstring> running = RunningObjectNames();
    ASSERT_EQ(running.size(), 1u);
    EXPECT_EQ(running[0].rfind(L"!FilterGraph ", 0), 0u);
    const int failed_revokes = FailedRevokes();
    Close(inst);
    EXPECT_TRUE(RunningObjectNames().empty());
    EXPECT_EQ(FailedRevokes(), failed_revokes);
    EXPECT_EQ(Export<HRESULT()>("DllCanUnloadNow")(), S_OK);
    Close(Open());
    EXPECT_LE(ServerRegistrations() - registrations, 1);

    const auto reg = registry::System();
    registry::HKEY key = 0, server = 0;
    ASSERT_EQ(reg->OpenKey(registry::kClassesRoot, kClassKey, registry::kKeyRead, &key), 0);
    EXPECT_EQ(Text(key, ""), "VerodynRenderer");
    char name[64];
    uint32_t chars = sizeof name;
    ASSERT_EQ(reg->EnumKey(key, 0, name, &chars), 0);
    EXPECT_STREQ(name, "InprocServer32");
    chars = sizeof name;
    EXPECT_EQ(reg->EnumKey(key, 1, name, &chars), win32::kNoMoreItems);
    ASSERT_EQ(reg->OpenKey(key, "InprocServer32", registry::kKeyRead, &server), 0);
    EXPECT_EQ(Text(server, ""), DIRECTSHOW_PLUGIN);
    EXPECT_EQ(Text(server, "ThreadingModel"), "Both");
    reg->CloseKey(server);
    reg->CloseKey(key);

    using GetClassObject = HRESULT(const GUID&, const GUID&, void**);
    void* factory = this;
    EXPECT_EQ(Export<GetClassObject>("DllGetClassObject")(StandInGuid(1), IUnknown::kIid, &factory),
              CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(factory, nullptr);

    ASSERT_EQ(Export<HRESULT()>("DllUnregisterServer")(), S_OK);
    EXPECT_NE(reg->OpenKey(registry::kClassesRoot, kClassKey, registry::kKeyRead, &key), 0);
    FGstatus status = 0;
    EXPECT_EQ(Messages([&] { Open(&status); }),
              "Error in InitCapture(): CoCreateInstance(VerodynRenderer) failed!\n"
              "Make sure that the interface is registered properly!\n");
    EXPECT_EQ(status, FG_ERR_OPEN);
    ASSERT_EQ(Export<HRESULT()>("DllRegisterServer")(), S_OK);
    Open();
}

} // namespace
