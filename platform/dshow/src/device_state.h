#pragma once
// One simulated device as its filters share it: configuration and knobs, the
// decoder standard and video-control mode it holds, its frame counter, and
// the filters bound to it now.
#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

#include <dshow/filters.h>
#include <dshow/sim_devices.h>

namespace dshow::sim {

class SimCaptureFilter;

class DeviceState {
public:
    explicit DeviceState(DeviceConfig config) : config_(std::move(config)) { }

    // Runs `read` on the configuration under the device's lock.
    template <class Read> auto With(Read&& read)
    {
        std::lock_guard guard(mutex_);
        return read(config_);
    }

    uint32_t TakeFrameNumber() { return next_frame_++; }
    uint32_t NextFrameNumber() const { return next_frame_; }
    void Trigger() { triggered_ = true; }
    // Whether a trigger came since the last call.
    bool TakeTrigger() { return triggered_.exchange(false); }
    void CountStop() { ++stops_; }
    int Stops() const { return stops_; }

    void Attach(SimCaptureFilter* filter);
    void Detach(SimCaptureFilter* filter);
    // Delivers one frame from each running filter of the device.
    int Pump();
    // The connection format of the first filter's capture pin.
    bool CaptureFormat(VIDEOINFOHEADER* format);

private:
    std::mutex mutex_;
    DeviceConfig config_;
    std::atomic<uint32_t> next_frame_{0};
    std::atomic<int> stops_{0};
    std::atomic<bool> triggered_{false};
    std::mutex live_mutex_;
    std::vector<SimCaptureFilter*> live_;
};

// The devices listed now, in order.
std::vector<std::shared_ptr<DeviceState>> ListedDevices();
// Whether this call of IEnumMoniker::Next is to fail (the knob).
bool NextFails();

// A new capture filter bound to `device`.
ComPtr<IBaseFilter> MakeCaptureFilter(std::shared_ptr<DeviceState> device);
// A new filter over crossbar `which` of `device` (0: the one that feeds the
// capture filter, 1: the one upstream of it), and its first video output pin
// (null when it has none).
ComPtr<IBaseFilter> MakeCrossbar(std::shared_ptr<DeviceState> device, int which,
                                 ComPtr<IPin>* video_output);
// A new filter over the tuner of `device`.
ComPtr<IBaseFilter> MakeTvTuner(std::shared_ptr<DeviceState> device);

// Lines of a frame of `standard`: 480 for the 525-line standards, else 576.
int32_t StandardLines(int32_t standard);

} // namespace dshow::sim
