// A simulated webcam: a moving colour picture, a new one every frame period
// of its clock.
#pragma once

#include <chrono>

#include <clock/clock.h>

#include <vfw/capture_driver.h>

namespace vfw {

class SimulatedWebcam : public CaptureDriver {
public:
    explicit SimulatedWebcam(int width = 640, int height = 480,
                             ondula::Clock& clock = ondula::SteadyClock(),
                             std::chrono::milliseconds period = std::chrono::milliseconds(33));

    // The picture of the current frame period: colour gradients that drift
    // by 4 pixels a frame.
    bool NextFrame(Frame& into) override;

private:
    int width_;
    int height_;
    ondula::Clock& clock_;
    std::chrono::milliseconds period_;
    long last_ = -1; // the frame number last given
};

} // namespace vfw
