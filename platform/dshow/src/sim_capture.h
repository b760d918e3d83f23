#pragma once
// The capture filter of a simulated device: a capture pin with its stream
// formats, an analogue video input fed by a crossbar where the device has
// one, video control and decoder where the device has them, and a streaming
// thread (or test pumping) that delivers the simulated picture.
#include <memory>
#include <thread>

#include "device_state.h"
#include "dshow/base_filter.h"
#include "dshow/controls.h"
#include "dshow/platform.h"

namespace dshow::sim {

class CapturePin;
class AnalogInPin;

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

    HRESULT put_TVFormat(int32_t format) override;
    HRESULT get_TVFormat(int32_t* format) override;

    // Delivers one frame on the calling thread when the filter runs.
    bool DeliverIfRunning();
    DeviceState& Device() { return *device_; }

private:
    bool DeliverFrame();
    void StopStreaming();

    std::shared_ptr<DeviceState> device_;
    std::unique_ptr<CapturePin> capture_;
    std::unique_ptr<AnalogInPin> analog_in_;
    int32_t video_mode_ = 0;
    Event stop_{true};
    std::thread thread_;
};

} // namespace dshow::sim
