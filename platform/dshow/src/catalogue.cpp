#include <algorithm>
#include <tuple>
#include <utility>

#include "device_state.h"
#include "sim_capture.h"
#include <dshow/controls.h>
#include <dshow/media_type.h>

namespace dshow::sim {
namespace {

struct Catalogue {
    std::mutex mutex;
    std::vector<std::shared_ptr<DeviceState>> devices;
    int next_failures = 0;
};

std::vector<std::shared_ptr<DeviceState>> Defaults()
{
    return {std::make_shared<DeviceState>(SimulatedCamera()),
            std::make_shared<DeviceState>(SimulatedCaptureCard())};
}

Catalogue& Devices()
{
    static Catalogue* catalogue = [] {
        auto* c = new Catalogue;
        c->devices = Defaults();
        return c;
    }();
    return *catalogue;
}

std::shared_ptr<DeviceState> Device(int index)
{
    Catalogue& c = Devices();
    std::lock_guard guard(c.mutex);
    if (index < 0 || std::size_t(index) >= c.devices.size())
        return nullptr;
    return c.devices[std::size_t(index)];
}

} // namespace

DeviceConfig SimulatedCamera()
{
    DeviceConfig camera;
    camera.name = L"Simulated Camera";
    const GUID nine[] = {MEDIASUBTYPE_RGB24,  MEDIASUBTYPE_RGB32, MEDIASUBTYPE_RGB565,
                         MEDIASUBTYPE_RGB555, MEDIASUBTYPE_RGB8,  MEDIASUBTYPE_Y800,
                         MEDIASUBTYPE_UYVY,   MEDIASUBTYPE_Y411,  MEDIASUBTYPE_Y41P};
    for (const auto& [width, height] : {std::pair{640, 480}, {320, 240}, {1280, 1024}})
        for (const GUID& subtype : nine)
            camera.formats.push_back({subtype, width, height});
    camera.formats.push_back({MEDIASUBTYPE_YUY2, 640, 480});
    camera.formats.push_back({MEDIASUBTYPE_MJPG, 640, 480});
    camera.video_control_caps = VideoControlFlag_FlipHorizontal | VideoControlFlag_FlipVertical |
                                VideoControlFlag_ExternalTriggerEnable | VideoControlFlag_Trigger;
    for (int32_t property = 0; property < 10; ++property)
        camera.amplifier[property] = Property{};
    for (int32_t property = 0; property < 7; ++property)
        camera.camera_control[property] = Property{};
    return camera;
}

DeviceConfig SimulatedCaptureCard()
{
    DeviceConfig card;
    card.name = L"Simulated Capture Card";
    for (const auto& [standard, width, height, interval] :
         {std::tuple{AnalogVideo_PAL_B, 768, 576, 400000}, {AnalogVideo_NTSC_M, 640, 480, 333667}})
        for (const GUID& subtype : {MEDIASUBTYPE_RGB24, MEDIASUBTYPE_UYVY})
            card.formats.push_back({subtype, width, height, standard, interval});
    card.tv_formats = AnalogVideo_NTSC_M | AnalogVideo_PAL_B | AnalogVideo_SECAM_B;
    card.tv_format = AnalogVideo_PAL_B;
    card.crossbar_inputs = {PhysConn_Video_Tuner, PhysConn_Video_Composite, PhysConn_Video_SVideo,
                            PhysConn_Audio_Tuner, PhysConn_Audio_Line};
    return card;
}

void SetDevices(std::vector<DeviceConfig> configs)
{
    std::vector<std::shared_ptr<DeviceState>> devices;
    for (DeviceConfig& config : configs)
        devices.push_back(std::make_shared<DeviceState>(std::move(config)));
    Catalogue& c = Devices();
    std::lock_guard guard(c.mutex);
    c.devices.swap(devices);
}

void ResetDevices()
{
    std::vector<std::shared_ptr<DeviceState>> devices = Defaults();
    Catalogue& c = Devices();
    std::lock_guard guard(c.mutex);
    c.devices.swap(devices);
    c.next_failures = 0;
}

void ConfigureDevice(int index, const std::function<void(DeviceConfig&)>& change)
{
    if (const auto device = Device(index))
        device->With([&](DeviceConfig& config) { change(config); });
}

void SetNextFailures(int count)
{
    Catalogue& c = Devices();
    std::lock_guard guard(c.mutex);
    c.next_failures = count;
}

int Pump(int index)
{
    const auto device = Device(index);
    return device ? device->Pump() : 0;
}

void Trigger(int index)
{
    if (const auto device = Device(index))
        device->Trigger();
}

int StopCount(int index)
{
    const auto device = Device(index);
    return device ? device->Stops() : 0;
}

uint32_t NextFrameNumber(int index)
{
    const auto device = Device(index);
    return device ? device->NextFrameNumber() : 0;
}

bool CaptureFormat(int index, VIDEOINFOHEADER* format)
{
    const auto device = Device(index);
    return device && device->CaptureFormat(format);
}

std::vector<std::shared_ptr<DeviceState>> ListedDevices()
{
    Catalogue& c = Devices();
    std::lock_guard guard(c.mutex);
    return c.devices;
}

bool NextFails()
{
    Catalogue& c = Devices();
    std::lock_guard guard(c.mutex);
    if (c.next_failures == 0)
        return false;
    if (c.next_failures > 0)
        --c.next_failures;
    return true;
}

void DeviceState::Attach(SimCaptureFilter* filter)
{
    std::lock_guard guard(live_mutex_);
    live_.push_back(filter);
}

void DeviceState::Detach(SimCaptureFilter* filter)
{
    std::lock_guard guard(live_mutex_);
    std::erase(live_, filter);
}

int DeviceState::Pump()
{
    std::lock_guard guard(live_mutex_);
    return int(std::count_if(live_.begin(), live_.end(),
                             [](SimCaptureFilter* f) { return f->DeliverIfRunning(); }));
}

bool DeviceState::CaptureFormat(VIDEOINFOHEADER* format)
{
    std::lock_guard guard(live_mutex_);
    return !live_.empty() && live_.front()->CaptureFormat(format);
}

int32_t StandardLines(int32_t standard)
{
    constexpr int32_t k525 = AnalogVideo_NTSC_M | AnalogVideo_NTSC_M_J | AnalogVideo_NTSC_433 |
                             AnalogVideo_PAL_M | AnalogVideo_PAL_60;
    return (standard & k525) ? 480 : 576;
}

} // namespace dshow::sim
