// The frames the simulated cameras deliver (the formula in simulation.h).
#include "bus.h"

#include <base/exposure.h>

namespace fgcam {

namespace {

// The current value of feature `id`; `absent` when the camera has none.
uint32_t FeatureValue(const Camera& camera, uint32_t id, uint32_t absent)
{
    for (const Feature& feature : camera.features)
        if (feature.config.id == id)
            return feature.value;
    return absent;
}

} // namespace

void Paint(const Camera& camera, uint32_t number, uint8_t* data)
{
    const Geometry g = camera.Frame();
    const uint32_t f = number;
    const uint32_t frame_base =
        7 * f + FeatureValue(camera, FGP_SHUTTER, 0) + 50 * uint32_t(camera.index);
    // Shutter and gain at the cameras' defaults leave the pattern as it is.
    const int64_t shutter = FeatureValue(camera, FGP_SHUTTER, 500);
    const int64_t gain = FeatureValue(camera, FGP_GAIN, 100);
    const auto exposed = [&](uint32_t sample, int64_t max) {
        return ondula::ExposedSample(sample, shutter, gain, 500, 100, max);
    };
    const auto y8 = [&](uint32_t b) { return uint8_t(exposed(uint8_t(b), 255)); };
    const uint64_t row_bytes = FrameBytes({g.width, 1, g.coding});
    for (uint32_t y = 0; y < g.height; ++y) {
        const uint32_t b = frame_base + 3 * y; // b at x = 0
        uint8_t* row = data + y * row_bytes;
        const auto u = [&](uint32_t group) { return uint8_t(group + 2 * y + f + 64); };
        const auto v = [&](uint32_t group) { return uint8_t(group + y + 2 * f + 192); };
        switch (g.coding) {
        case CM_Y8:
            for (uint32_t x = 0; x < g.width; ++x)
                row[x] = y8(b + x);
            break;
        case CM_Y16:
            for (uint32_t x = 0; x < g.width; ++x) {
                const auto sample = uint16_t(exposed(uint16_t(256 * (b + x) + x), 65535));
                row[2 * x] = uint8_t(sample >> 8);
                row[2 * x + 1] = uint8_t(sample);
            }
            break;
        case CM_YUV411:
            for (uint32_t x = 0; x < g.width; x += 4) {
                uint8_t* p = row + x / 4 * 6;
                p[0] = u(x);
                p[1] = y8(b + x);
                p[2] = y8(b + x + 1);
                p[3] = v(x);
                p[4] = y8(b + x + 2);
                p[5] = y8(b + x + 3);
            }
            break;
        case CM_YUV422:
            for (uint32_t x = 0; x < g.width; x += 2) {
                uint8_t* p = row + x * 2;
                p[0] = u(x);
                p[1] = y8(b + x);
                p[2] = v(x);
                p[3] = y8(b + x + 1);
            }
            break;
        case CM_YUV444:
            for (uint32_t x = 0; x < g.width; ++x) {
                uint8_t* p = row + x * 3;
                p[0] = u(x);
                p[1] = y8(b + x);
                p[2] = v(x);
            }
            break;
        case CM_RGB8:
            for (uint32_t x = 0; x < g.width; ++x) {
                uint8_t* p = row + x * 3;
                p[0] = y8(b + x);
                p[1] = y8(b + x + 85);
                p[2] = y8(b + x + 170);
            }
            break;
        }
    }
}

} // namespace fgcam
