#pragma once
// The capture filter of a simulated device: a capture pin with its stream
// formats, an analogue video input fed by a crossbar where the device has
// one, a preview pin with the same formats where the device has one, video control and decoder
// where the device has them, and a streaming thread (or test pumping) that delivers the simulated
// picture.
#include <map>
#include <memory>
#include <thread>

#include "device_state.h"
#include "sim_capture_dialogs.h"
#include <dshow/base_filter.h>
#include <dshow/controls.h>
#include <dshow/platform.h>

namespace dshow::sim {

class CapturePin;
class AnalogInPin;
class SimCaptureFilter;

// IAMVideoProcAmp or IAMCameraControl of a capture filter over one of its
// device's property tables; a part of the filter, counted with it.
template <class Control> class PropertyControl final : public Control {
public:
    using Table = std::map<int32_t, Property> DeviceConfig::*;
    PropertyControl(SimCaptureFilter& filter, Table table) : filter_(filter), table_(table) { }

    HRESULT QueryInterface(const GUID& iid, void** out) override;
    uint32_t AddRef() override;
    uint32_t Release() override;

    HRESULT GetRange(int32_t property, int32_t* min, int32_t* max, int32_t* step,
                     int32_t* default_value, int32_t* caps_flags) override;
    HRESULT Set(int32_t property, int32_t value, int32_t flags) override;
    HRESULT Get(int32_t property, int32_t* value, int32_t* flags) override;

private:
    SimCaptureFilter& filter_;
    Table table_;
};

class SimCaptureFilter : public BaseFilter, public IAMVideoControl, public IAMAnalogVideoDecoder {
public:
    explicit SimCaptureFilter(std::shared_ptr<DeviceState> device);
    ~SimCaptureFilter() override;

    HRESULT QueryInterface(const GUID& iid, void** out) override;
    uint32_t AddRef() override { return BaseFilter::AddRef(); }
    uint32_t Release() override { return BaseFilter::Release(); }

    HRESULT Stop() override;
    HRESULT Run(REFERENCE_TIME start) override;
    HRESULT GetState(uint32_t timeout_ms, FILTER_STATE* state) override;
    HRESULT JoinFilterGraph(IFilterGraph* graph, const wchar_t* name) override;
    int PinCount() override;
    BasePin* Pin(int n) override;

    HRESULT GetCaps(IPin* pin, int32_t* flags) override;
    HRESULT SetMode(IPin* pin, int32_t mode) override;
    HRESULT GetMode(IPin* pin, int32_t* mode) override;
    HRESULT GetFrameRateList(IPin* pin, int32_t index, SIZE dimensions, int32_t* count,
                             int64_t** periods) override;

    HRESULT put_TVFormat(int32_t format) override;
    HRESULT get_TVFormat(int32_t* format) override;

    // Delivers one frame on the calling thread when the filter runs.
    bool DeliverIfRunning();
    // The capture pin's connection format; false when it is not connected.
    bool CaptureFormat(VIDEOINFOHEADER* format);
    DeviceState& Device() { return *device_; }

private:
    bool DeliverFrame();
    void StopStreaming();

    std::shared_ptr<DeviceState> device_;
    std::unique_ptr<CapturePin> capture_;
    std::unique_ptr<AnalogInPin> analog_in_;
    std::unique_ptr<CapturePin> preview_; // offers the capture formats; never streams
    PropertyControl<IAMVideoProcAmp> amplifier_{*this, &DeviceConfig::amplifier};
    PropertyControl<IAMCameraControl> camera_control_{*this, &DeviceConfig::camera_control};
    CaptureDialogs dialogs_{*this};
    int32_t video_mode_ = 0;
    Event stop_{true};
    std::thread thread_;
};

} // namespace dshow::sim
