// The component trees of a camera: its device list entry and, while it is
// open, its driver's lists with their properties.
#include <initializer_list>

#include "manager.h"

namespace kdmgr {

namespace {

constexpr int32_t kReadWrite = KD_ACCESS_READ | KD_ACCESS_WRITE;
constexpr int32_t kDefaultRequests = 4;

// A component under construction.
struct Make {
    Component c;

    static Make List(const char* name)
    {
        Make m;
        m.c.name = name;
        return m;
    }
    static Make Property(const char* name, int32_t type, std::initializer_list<Value> values)
    {
        Make m;
        m.c.name = name;
        m.c.type = type;
        m.c.access = kReadWrite;
        m.c.values.assign(values);
        return m;
    }
    static Make Int(const char* name, int64_t value)
    {
        return Property(name, KD_TYPE_INT, {value});
    }
    static Make Real(const char* name, double value)
    {
        return Property(name, KD_TYPE_REAL, {value});
    }
    static Make Text(const char* name, std::string value)
    {
        return Property(name, KD_TYPE_STRING, {std::move(value)});
    }
    Make& Access(int32_t access)
    {
        c.access = access;
        return *this;
    }
    Make& ReadOnly() { return Access(KD_ACCESS_READ); }
    // Maximum, minimum and step (indices -1, -2, -3), each only where given.
    Make& Limits(std::optional<Value> maximum, std::optional<Value> minimum,
                 std::optional<Value> step = std::nullopt)
    {
        c.limit = {std::move(maximum), std::move(minimum), std::move(step)};
        return *this;
    }
    Make& Dictionary(std::initializer_list<Translation> entries)
    {
        c.dictionary.assign(entries);
        return *this;
    }
};

HOBJ Add(Manager& m, HOBJ parent, const Make& make) { return m.Add(parent, make.c); }

const std::initializer_list<Translation> kOffOn = {{"Off", int64_t(0)}, {"On", int64_t(1)}};

void AddCameraSetting(Manager& m, HOBJ settings, const kdsim::CameraConfig& camera)
{
    const HOBJ base = Add(m, settings, Make::List("Base"));
    const HOBJ list = Add(m, base, Make::List("Camera"));
    Add(m, list, Make::Real("Gain_dB", 0.0).Limits(32.0, 0.0));
    Add(m, list, Make::Real("Offset_pc", 0.0).Limits(100.0, std::nullopt));
    Add(m, list, Make::Int("OffsetAutoCalibration", 1).Dictionary(kOffOn));
    Add(m, list,
        Make::Int("TriggerMode", 0)
            .Dictionary({{"Continuous", int64_t(0)},
                         {"OnDemand", int64_t(1)},
                         {"OnLowLevel", int64_t(2)},
                         {"OnHighLevel", int64_t(3)}}));
    Add(m, list,
        Make::Int("ExposeMode", 0)
            .Dictionary({{"Standard", int64_t(0)}, {"Overlapped", int64_t(1)}}));
    Add(m, list,
        Make::Int("PixelClock_KHz", 40000)
            .Dictionary({{"24000", int64_t(24000)}, {"40000", int64_t(40000)}}));
    Add(m, list, Make::Int("Expose_us", 20000).Limits(int64_t(1000000), int64_t(0), int64_t(1)));
    Add(m, list,
        Make::Int("BinningMode", 0x11)
            .Dictionary({{"Off", int64_t(0x11)},
                         {"H2", int64_t(0x12)},
                         {"H4", int64_t(0x14)},
                         {"V2", int64_t(0x21)},
                         {"H2V2", int64_t(0x22)},
                         {"H4V2", int64_t(0x24)},
                         {"V4", int64_t(0x41)},
                         {"H2V4", int64_t(0x42)},
                         {"H4V4", int64_t(0x44)}}));
    Add(m, list, Make::Int("FrameDelay_us", 0));
    Add(m, list, Make::Int("LineDelay_clk", 0));
    Add(m, list, Make::Int("FlashMode", 0).Dictionary(kOffOn));
    Add(m, list, Make::Int("ImageRequestTimeout_ms", 0).Limits(int64_t(60000), int64_t(0)));
    Add(m, list,
        Make::Int("TestMode", 0).Dictionary(kOffOn).Access(kReadWrite | KD_ACCESS_INVISIBLE));
    Add(m, list,
        Make::Int("TriggerSource", 0).Dictionary({{"DigIn0", int64_t(0)}, {"DigIn1", int64_t(1)}}));
    const HOBJ aoi = Add(m, list, Make::List("Aoi"));
    Add(m, aoi, Make::Int("H", camera.height).Limits(int64_t(camera.height), int64_t(1)));
    Add(m, aoi, Make::Int("X", 0).Limits(int64_t(camera.width - 1), int64_t(0)));
    Add(m, aoi, Make::Int("Y", 0).Limits(int64_t(camera.height - 1), int64_t(0)));
    Add(m, aoi, Make::Int("W", camera.width).Limits(int64_t(camera.width), int64_t(1)));
}

void AddInfo(Manager& m, HOBJ info, const kdsim::CameraConfig& camera)
{
    const bool colour = camera.format != KD_PIXEL_MONO8 && camera.format != KD_PIXEL_MONO16;
    Add(m, info, Make::Text("DriverDate", "2007-02-01").ReadOnly());
    Add(m, info, Make::Text("DriverVersion", "1.4.2").ReadOnly());
    Add(m, info,
        Make::Int("State", 1)
            .ReadOnly()
            .Dictionary({{"Absent", int64_t(0)}, {"Present", int64_t(1)}}));
    Add(m, info, Make::Text("LoadedSettings", "Base").ReadOnly());
    Add(m, info, Make::Int("FirmwareVersion", 259).ReadOnly());
    const HOBJ sensor = Add(m, info, Make::List("Camera"));
    Add(m, sensor, Make::Int("SensorFPGAVersion", 17).ReadOnly());
    Add(m, sensor, Make::Int("SensorCaps", 3).ReadOnly());
    Add(m, sensor, Make::Int("SensorXRes", camera.width).ReadOnly());
    Add(m, sensor, Make::Int("SensorYRes", camera.height).ReadOnly());
    Add(m, sensor,
        Make::Int("SensorColorMode", colour ? 1 : 0)
            .ReadOnly()
            .Dictionary({{"Grey", int64_t(0)}, {"Colour", int64_t(1)}}));
    Add(m, sensor,
        Make::Int("SensorType", 0)
            .ReadOnly()
            .Dictionary({{"CMOS", int64_t(0)}, {"CCD", int64_t(1)}}));
    Add(m, sensor, Make::Property("SensorTemperatures_C", KD_TYPE_REAL, {31.5, 33.0}).ReadOnly());
}

} // namespace

HOBJ AddDeviceEntry(Manager& m, const kdsim::CameraConfig& camera)
{
    const HOBJ entry = m.Add(m.device_list, Make::List(camera.serial.c_str()).c);
    Add(m, entry, Make::Int("DeviceID", camera.device_id).ReadOnly());
    Add(m, entry, Make::Text("Family", "kdLyra").ReadOnly());
    Add(m, entry, Make::Int("FirmwareVersion", 259).ReadOnly());
    Add(m, entry,
        Make::Int("LoadSettings", 0)
            .Dictionary({{"Default", int64_t(0)}, {"UserSetting", int64_t(1)}}));
    Add(m, entry, Make::Text("Product", camera.product).ReadOnly());
    Add(m, entry, Make::Text("Serial", camera.serial).ReadOnly());
    Add(m, entry,
        Make::Int("State", 1)
            .ReadOnly()
            .Dictionary(
                {{"Absent", int64_t(0)}, {"Present", int64_t(1)}, {"Unreachable", int64_t(2)}}));
    Add(m, entry, Make::Text("UserData", ""));
    Add(m, entry,
        Make::Int("HWUpdateResult", 0)
            .ReadOnly()
            .Dictionary({{"None", int64_t(0)}, {"Done", int64_t(1)}, {"Failed", int64_t(2)}}));
    return entry;
}

void BuildDriverTree(Manager& m, Device& device, Driver& driver)
{
    driver.root = m.Add(KD_INVALID_HANDLE, Make::List("Driver").c);
    static const char* const kLists[] = {"Setting",    "Request", "ImageRequestControl", "Info",
                                         "Statistics", "System",  "IOSubSystem"};
    for (size_t type = 0; type < driver.lists.size(); ++type)
        driver.lists[type] = m.Add(driver.root, Make::List(kLists[type]).c);

    AddCameraSetting(m, driver.lists[KD_LIST_SETTINGS], device.config);
    const HOBJ base = m.At(driver.lists[KD_LIST_SETTINGS]).children.front();

    const HOBJ control = driver.lists[KD_LIST_IMAGE_REQUEST_CONTROL];
    for (int i = 0; i < device.request_controls; ++i) {
        const HOBJ entry = m.Add(control, Make::List(("Control" + std::to_string(i)).c_str()).c);
        Add(m, entry,
            Make::Int("Mode", 0).Dictionary({{"Continuous", int64_t(0)}, {"Single", int64_t(1)}}));
        Add(m, entry, Make::Int("ImageCount", 1).Limits(int64_t(16), int64_t(1)));
        Add(m, entry, Make::Int("Setting", base));
        Add(m, entry, Make::Int("ResultQueue", 0).Limits(int64_t(3), int64_t(0)));
    }

    AddInfo(m, driver.lists[KD_LIST_INFO], device.config);

    const HOBJ statistics = driver.lists[KD_LIST_STATISTICS];
    Add(m, statistics, Make::Real("FramesPerSecond", 0.0).ReadOnly());
    driver.frame_count = Add(m, statistics, Make::Int("FrameCount", 0).ReadOnly());
    Add(m, statistics, Make::Int("ErrorCount", 0).ReadOnly());
    Add(m, statistics, Make::Property("CaptureTime_us", KD_TYPE_INT64, {int64_t(0)}).ReadOnly());

    driver.request_count =
        Add(m, driver.lists[KD_LIST_SYSTEM],
            Make::Int("RequestCount", kDefaultRequests).Limits(int64_t(64), int64_t(1)));
    Add(m, driver.lists[KD_LIST_SYSTEM],
        Make::Int("WorkerPriority", 0).Dictionary({{"Normal", int64_t(0)}, {"High", int64_t(1)}}));
    Add(m, driver.lists[KD_LIST_SYSTEM],
        Make::Real("FrameRateLimit_Hz", 0.0)
            .Dictionary({{"Free", 0.0}, {"15", 15.0}, {"30", 30.0}}));

    const HOBJ io = driver.lists[KD_LIST_IO_SUBSYSTEM];
    Add(m, io, Make::Property("DigitalInputs", KD_TYPE_INT, {int64_t(0), int64_t(1)}).ReadOnly());
    Add(m, io, Make::Int("DigitalOutput", 0).Access(KD_ACCESS_WRITE));
    Add(m, io, Make::Property("PortNames", KD_TYPE_STRING, {"In0", "In1"}).ReadOnly());

    ResizeRequests(m, driver, kDefaultRequests);
}

} // namespace kdmgr
