// The frames the simulated cameras deliver (the formula in simulation.h).
#include "bus.h"

namespace fgcam {

namespace {

uint32_t ShutterValue(const Camera& camera)
{
    for (const Feature& feature : camera.features)
        if (feature.config.id == FGP_SHUTTER)
            return feature.value;
    return 0;
}

} // namespace

void Paint(const Camera& camera, uint32_t number, uint8_t* data)
{
    const Geometry g = camera.Frame();
    const uint32_t f = number;
    const uint32_t frame_base = 7 * f + ShutterValue(camera) + 50 * uint32_t(camera.index);
    const uint64_t row_bytes = FrameBytes({g.width, 1, g.coding});
    for (uint32_t y = 0; y < g.height; ++y) {
        const uint32_t b = frame_base + 3 * y; // b at x = 0
        uint8_t* row = data + y * row_bytes;
        const auto u = [&](uint32_t group) { return uint8_t(group + 2 * y + f + 64); };
        const auto v = [&](uint32_t group) { return uint8_t(group + y + 2 * f + 192); };
        switch (g.coding) {
        case CM_Y8:
            for (uint32_t x = 0; x < g.width; ++x)
                row[x] = uint8_t(b + x);
            break;
        case CM_Y16:
            for (uint32_t x = 0; x < g.width; ++x) {
                const auto sample = uint16_t(256 * (b + x) + x);
                row[2 * x] = uint8_t(sample >> 8);
                row[2 * x + 1] = uint8_t(sample);
            }
            break;
        case CM_YUV411:
            for (uint32_t x = 0; x < g.width; x += 4) {
                uint8_t* p = row + x / 4 * 6;
                p[0] = u(x);
                p[1] = uint8_t(b + x);
                p[2] = uint8_t(b + x + 1);
                p[3] = v(x);
                p[4] = uint8_t(b + x + 2);
                p[5] = uint8_t(b + x + 3);
            }
            break;
        case CM_YUV422:
            for (uint32_t x = 0; x < g.width; x += 2) {
                uint8_t* p = row + x * 2;
                p[0] = u(x);
                p[1] = uint8_t(b + x);
                p[2] = v(x);
                p[3] = uint8_t(b + x + 1);
            }
            break;
        case CM_YUV444:
            for (uint32_t x = 0; x < g.width; ++x) {
                uint8_t* p = row + x * 3;
                p[0] = u(x);
                p[1] = uint8_t(b + x);
                p[2] = v(x);
            }
            break;
        case CM_RGB8:
            for (uint32_t x = 0; x < g.width; ++x) {
                uint8_t* p = row + x * 3;
                p[0] = uint8_t(b + x);
                p[1] = uint8_t(b + x + 85);
                p[2] = uint8_t(b + x + 170);
            }
            break;
        }
    }
}

} // namespace fgcam
