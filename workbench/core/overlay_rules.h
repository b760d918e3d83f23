// What the view's measurement overlays show, without drawing them: the value
// label of the cross, which profiles a zone has, the curves of the profiles
// and of their fits, and where the fits' width marks go.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <imageproc/profiles.h>

#include "pixel_sample.h"

// The profiles of a zone with corners (x1, y1), (x2, y2): one along x when
// it is more than 10 pixels wide, one along y when it is more than 10 high.
struct ZoneProfiles {
    bool horizontal = false;
    bool vertical = false;
    bool Any() const { return horizontal || vertical; }
};
ZoneProfiles ProfilesOfZone(int x1, int y1, int x2, int y2);

// The label written over the cross for pixel value `value` (grey level, or
// 0x00BBGGRR) of an image of `channels` channels: "W:%d" or, z calibrated,
// "Z:%1.3f" of value / scaleZ x unitFactorZ; for colour "R:%d,V:%d,B:%d" or,
// z calibrated, "ZR:%1.3f" of the red byte alike. Empty for a negative value
// (none) or another channel count.
std::string CrossLabel(int channels, int32_t value, bool calibratedZ, float scaleZ,
                       float unitFactorZ);
// The label of a pixel of another pixel type than "byte", as the values pane
// reads it: "W:" and the value (SampleValueText) or, z calibrated, "Z:%1.3f"
// of value / scaleZ x unitFactorZ; "Re:" and ",Im:" with the two values of a
// complex one. Empty off the image.
std::string CrossLabel(const PixelSample& sample, bool calibratedZ, float scaleZ,
                       float unitFactorZ);

struct OverlayPoint {
    int x = 0;
    int y = 0;
    bool operator==(const OverlayPoint&) const = default;
};

// A polyline: moved to its first point when `startsWithMove`, otherwise
// joined from wherever the pen stands; then joined through every point.
struct OverlayPath {
    bool startsWithMove = false;
    std::vector<OverlayPoint> points;
};

enum class ProfileCurve {
    Horizontal,      // (x, height - luminance)
    HorizontalGauss, // (x, height - fit)
    Vertical,        // (luminance, y)
    VerticalGauss,   // (fit, y)
};

// The curve through the first `profile.count` points whose two floats for
// `curve` are set (unset points are skipped), in client coordinates: image
// coordinates minus the scroll position (sx, sy), truncated to integers.
// `height` is the image height. The path starts with a move only when point 0
// is set.
OverlayPath ProfileCurvePath(const ProfileState& profile, ProfileCurve curve, int height, int sx,
                             int sy);

// Fraction of a fit's maximum at which its width is marked.
constexpr double kGaussWidthLevel = 0.13531799729364005;

// The width marks of the horizontal (float 2 over column float 0) or vertical
// (float 5 over row float 4) fit, in image coordinates. The level is the
// fit's largest value truncated, times kGaussWidthLevel. Searching from point
// 0 up, and from the last point down to point 1, over the set points only,
// each search takes the first point at or above the level (or the last set
// point it examined when none is). A horizontal
// mark stands at (x, height - value), a vertical one at (value, y); a mark
// outside the image (x or value not above 0 or not below `width`; the other
// coordinate outside 0..height - 1) is left out. Both truncated to integers.
std::vector<OverlayPoint> GaussWidthMarks(const ProfileState& profile, bool horizontal, int width,
                                          int height);
