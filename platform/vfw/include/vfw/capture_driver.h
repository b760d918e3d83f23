// Video capture drivers by index, as the capture window connects to them.
// Driver 0 is the first V4L2 capture device when one exists, else the
// simulated webcam; ONDULA_VFW_SIMULATED=1 in the environment forces the
// simulated webcam. Other indices have no driver.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace vfw {

// One picture: width x height pixels of packed RGB24 (red first), row-major
// without padding.
struct Frame {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;
};

class CaptureDriver {
public:
    virtual ~CaptureDriver() = default;
    // Puts the device's newest picture into `into` and returns true when it
    // has one the caller has not taken yet; never waits for one.
    virtual bool NextFrame(Frame& into) = 0;
};

// The driver of `index`, or null when there is none.
std::unique_ptr<CaptureDriver> OpenDriver(int index);

// Replaces the drivers (tests); an empty function gives back the default ones.
using DriverFactory = std::function<std::unique_ptr<CaptureDriver>(int index)>;
void SetDriverFactory(DriverFactory factory);

} // namespace vfw
