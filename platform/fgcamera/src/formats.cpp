#include "formats.h"

#include <array>
#include <cmath>
#include <iterator>

#include <fgcamera/fgcamera.h>

namespace fgcam {

namespace {

constexpr int kModes = 8;

using Modes = std::array<Geometry, kModes>;

struct Size {
    uint32_t width, height;
};

// Formats 1 and 2 lay out their modes alike over a smaller and a larger size:
// each size in YUV 4:2:2, RGB and Y8, then each in Y16.
constexpr Modes LargeFormat(Size small, Size large)
{
    auto in = [](Size size, uint32_t coding) { return Geometry{size.width, size.height, coding}; };
    return {in(small, CM_YUV422), in(small, CM_RGB8), in(small, CM_Y8),  in(large, CM_YUV422),
            in(large, CM_RGB8),   in(large, CM_Y8),   in(small, CM_Y16), in(large, CM_Y16)};
}

// [format][mode] of the standard formats; width 0: no such mode.
constexpr std::array<Modes, 3> kStandard = {{
    {{{160, 120, CM_YUV444},
      {320, 240, CM_YUV422},
      {640, 480, CM_YUV411},
      {640, 480, CM_YUV422},
      {640, 480, CM_RGB8},
      {640, 480, CM_Y8},
      {640, 480, CM_Y16},
      {0, 0, 0}}},
    LargeFormat({800, 600}, {1024, 768}),
    LargeFormat({1280, 960}, {1600, 1200}),
}};

constexpr Size kResolutions[] = {{160, 120},  {320, 240},  {640, 480},  {800, 600},
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
    for (uint32_t i = 0; i < std::size(kResolutions); ++i)
        if (kResolutions[i].width == width && kResolutions[i].height == height) {
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
