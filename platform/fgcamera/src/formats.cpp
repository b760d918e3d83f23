#include "formats.h"

#include <cmath>

#include <fgcamera/fgcamera.h>

namespace fgcam {

namespace {

constexpr int kModes = 8;

// [format][mode] of the standard formats; width 0: no such mode.
constexpr Geometry kStandard[3][kModes] = {
    {{160, 120, CM_YUV444},
     {320, 240, CM_YUV422},
     {640, 480, CM_YUV411},
     {640, 480, CM_YUV422},
     {640, 480, CM_RGB8},
     {640, 480, CM_Y8},
     {640, 480, CM_Y16},
     {0, 0, 0}},
    {{800, 600, CM_YUV422},
     {800, 600, CM_RGB8},
     {800, 600, CM_Y8},
     {1024, 768, CM_YUV422},
     {1024, 768, CM_RGB8},
     {1024, 768, CM_Y8},
     {800, 600, CM_Y16},
     {1024, 768, CM_Y16}},
    {{1280, 960, CM_YUV422},
     {1280, 960, CM_RGB8},
     {1280, 960, CM_Y8},
     {1600, 1200, CM_YUV422},
     {1600, 1200, CM_RGB8},
     {1600, 1200, CM_Y8},
     {1280, 960, CM_Y16},
     {1600, 1200, CM_Y16}},
};

constexpr uint32_t kResolutions[][2] = {{160, 120},  {320, 240},  {640, 480},  {800, 600},
                                        {1024, 768}, {1280, 960}, {1600, 1200}};

} // namespace

bool StandardMode(uint32_t format, uint32_t mode, Geometry* geometry)
{
    if (format > 2 || mode >= kModes || kStandard[format][mode].width == 0)
        return false;
    *geometry = kStandard[format][mode];
    return true;
}

double RateOf(uint32_t rate) { return rate <= 5 ? 1.875 * std::ldexp(1.0, int(rate)) : 0.0; }

bool ResolutionOf(uint32_t width, uint32_t height, uint32_t* resolution)
{
    for (uint32_t i = 0; i < sizeof kResolutions / sizeof kResolutions[0]; ++i)
        if (kResolutions[i][0] == width && kResolutions[i][1] == height) {
            *resolution = i;
            return true;
        }
    return false;
}

uint64_t FrameBytes(const Geometry& geometry)
{
    const uint64_t pixels = uint64_t(geometry.width) * geometry.height;
    switch (geometry.coding) {
    case CM_Y8:
        return pixels;
    case CM_YUV411:
        return pixels * 3 / 2;
    case CM_YUV422:
    case CM_Y16:
        return pixels * 2;
    case CM_YUV444:
    case CM_RGB8:
        return pixels * 3;
    }
    return 0;
}

} // namespace fgcam
