#include "overlay_rules.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

// A zone side longer than this has a profile along it.
constexpr int kProfileMinimum = 10;

// The floats of a point that hold a curve's horizontal and vertical coordinates.
struct CurveFields {
    int x;
    int y;
    bool fromBottom; // y counts up from the image's bottom edge
};

CurveFields FieldsOf(ProfileCurve curve)
{
    switch (curve) {
    case ProfileCurve::Horizontal:
        return {0, 1, true};
    case ProfileCurve::HorizontalGauss:
        return {0, 2, true};
    case ProfileCurve::Vertical:
        return {3, 4, false};
    case ProfileCurve::VerticalGauss:
        break;
    }
    return {5, 4, false};
}

bool IsSet(float value) { return value != kNoPoint; }

// The index of the first set point at or above `level`, examining points
// `from` to `to` (inclusive) by `step`, else the last set point examined; -1
// when none is set.
int FindWidthPoint(const ProfileState& profile, int valueField, int coordField, double level,
                   int from, int to, int step)
{
    int last = -1;
    for (int i = from; step > 0 ? i <= to : i >= to; i += step) {
        const ProfilePoint& p = profile.points[i];
        if (!IsSet(p[valueField]) || !IsSet(p[coordField]))
            continue;
        if (p[valueField] >= level)
            return i;
        last = i;
    }
    return last;
}

} // namespace

ZoneProfiles ProfilesOfZone(int x1, int y1, int x2, int y2)
{
    return {std::abs(x1 - x2) > kProfileMinimum, std::abs(y1 - y2) > kProfileMinimum};
}

std::string CrossLabel(int channels, int32_t value, bool calibratedZ, float scaleZ,
                       float unitFactorZ)
{
    if (value < 0 || (channels != 1 && channels != 3))
        return {};
    char text[64];
    const int red = value & 0xFF;
    if (channels == 1 && calibratedZ)
        std::snprintf(text, sizeof text, "Z:%1.3f", double(float(value) / scaleZ * unitFactorZ));
    else if (channels == 1)
        std::snprintf(text, sizeof text, "W:%d", value);
    else if (calibratedZ)
        std::snprintf(text, sizeof text, "ZR:%1.3f", double(float(red) / scaleZ * unitFactorZ));
    else
        std::snprintf(text, sizeof text, "R:%d,V:%d,B:%d", red, (value / 256) & 0xFF,
                      (value / 65536) & 0xFF);
    return text;
}

std::string CrossLabel(const PixelSample& sample, bool calibratedZ, float scaleZ, float unitFactorZ)
{
    if (!sample.onImage)
        return {};
    if (sample.parts == 2)
        return "Re:" + SampleValueText(sample.re) + ",Im:" + SampleValueText(sample.im);
    if (!calibratedZ)
        return "W:" + SampleValueText(sample.re);
    char text[96]; // room for the largest real over the smallest scale
    std::snprintf(text, sizeof text, "Z:%1.3f", sample.re / scaleZ * unitFactorZ);
    return text;
}

OverlayPath ProfileCurvePath(const ProfileState& profile, ProfileCurve curve, int height, int sx,
                             int sy)
{
    const CurveFields f = FieldsOf(curve);
    const int n = std::min<int>(profile.count, int(profile.points.size()));
    OverlayPath path;
    for (int i = 0; i < n; ++i) {
        const ProfilePoint& p = profile.points[i];
        if (!IsSet(p[f.x]) || !IsSet(p[f.y]))
            continue;
        const float y = f.fromBottom ? float(height - sy) - p[f.y] : p[f.y] - float(sy);
        path.points.push_back({static_cast<int>(p[f.x] - float(sx)), static_cast<int>(y)});
        if (i == 0)
            path.startsWithMove = true;
    }
    return path;
}

std::vector<OverlayPoint> GaussWidthMarks(const ProfileState& profile, bool horizontal, int width,
                                          int height)
{
    const int valueField = horizontal ? 2 : 5, coordField = horizontal ? 0 : 4;
    const int n = std::min<int>(profile.count, int(profile.points.size()));
    float largest = 0;
    for (int i = 0; i < n; ++i)
        if (IsSet(profile.points[i][valueField]))
            largest = std::max(largest, profile.points[i][valueField]);
    const double level = static_cast<int>(largest) * kGaussWidthLevel;

    std::vector<OverlayPoint> marks;
    for (int found : {FindWidthPoint(profile, valueField, coordField, level, 0, n - 1, 1),
                      FindWidthPoint(profile, valueField, coordField, level, n - 1, 1, -1)}) {
        if (found < 0)
            continue;
        const int value = static_cast<int>(profile.points[found][valueField]);
        const int coord = static_cast<int>(profile.points[found][coordField]);
        const OverlayPoint mark =
            horizontal ? OverlayPoint{coord, height - value} : OverlayPoint{value, coord};
        if (mark.x > 0 && mark.x < width && mark.y >= 0 && mark.y < height)
            marks.push_back(mark);
    }
    return marks;
}
