#include "vfw/simulated_webcam.h"

namespace vfw {

SimulatedWebcam::SimulatedWebcam(int width, int height, ondula::Clock& clock,
                                 std::chrono::milliseconds period)
    : width_(width), height_(height), clock_(clock), period_(period)
{
}

bool SimulatedWebcam::NextFrame(Frame& into)
{
    const long frame = long(clock_.Now() / period_);
    if (frame == last_)
        return false;
    last_ = frame;
    into.width = width_;
    into.height = height_;
    into.rgb.resize(std::size_t(width_) * std::size_t(height_) * 3);
    uint8_t* p = into.rgb.data();
    const int shift = int(frame * 4);
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x) {
            *p++ = uint8_t((x + shift) * 255 / 1024);
            *p++ = uint8_t((y + shift) * 255 / 768);
            *p++ = uint8_t(255 - (x + y) / 8);
        }
    return true;
}

} // namespace vfw
