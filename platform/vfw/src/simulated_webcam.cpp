#include <vfw/simulated_webcam.h>

#include <vector>

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
    // Red follows the column, green the row, blue the diagonal.
    const int shift = int(frame * 4);
    std::vector<uint8_t> red(static_cast<std::size_t>(width_));
    for (int x = 0; x < width_; ++x)
        red[std::size_t(x)] = uint8_t((x + shift) * 255 / 1024);
    uint8_t* p = into.rgb.data();
    for (int y = 0; y < height_; ++y) {
        const uint8_t green = uint8_t((y + shift) * 255 / 768);
        for (int x = 0; x < width_; ++x) {
            *p++ = red[std::size_t(x)];
            *p++ = green;
            *p++ = uint8_t(255 - ((x + y) >> 3));
        }
    }
    return true;
}

} // namespace vfw
