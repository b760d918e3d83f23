#include "profiles.h"

#include <algorithm>
#include <cmath>

#include "plane_buffers.h"

namespace {

constexpr int kMaxFitSamples = 1024;

// Two directions whose cosines differ by less than this do not intersect.
constexpr double kParallel = 1e-8;

void FillFit(std::vector<ProfilePoint>& points, int n, int coord, int value, int fit,
             const ProfileFit& f)
{
    for (int i = 0; i < n; ++i) {
        float c = points[i][coord];
        if (f.fitted && c != kNoPoint && points[i][value] != kNoPoint)
            points[i][fit] = static_cast<float>(GaussianValue(c, f.centre, f.sigma) * f.amplitude);
    }
}

} // namespace

double ProfileCentroid(const float* v, int n)
{
    n = std::min(n, kMaxFitSamples);
    if (n <= 0)
        return kNoFit;
    double s = 0, si = 0;
    for (int i = 0; i < n; ++i) {
        s += v[i];
        si += (i + 1) * double(v[i]);
    }
    return std::fabs(s) > 1e-6 ? si / s : kNoFit;
}

double ProfileSigma(const float* v, int n)
{
    n = std::min(n, kMaxFitSamples);
    double m = ProfileCentroid(v, n);
    if (m == kNoFit)
        return kNoFit;
    double s = 0, sd = 0;
    for (int i = 0; i < n; ++i) {
        s += v[i];
        sd += (m - (i + 1)) * (m - (i + 1)) * v[i];
    }
    double var = sd / s;
    return var >= 0 ? std::sqrt(var) : kNoFit;
}

double GaussianValue(double x, double centre, double sigma)
{
    return std::exp(-(x - centre) * (x - centre) / (2 * sigma * sigma));
}

ProfileFit FitProfile(const float* values, int n, int start)
{
    ProfileFit f;
    double c = ProfileCentroid(values, n);
    if (c != kNoFit)
        f.centre = start + c;
    f.sigma = ProfileSigma(values, n);
    for (int i = 0; i < n; ++i)
        f.amplitude = std::max(f.amplitude, static_cast<int>(values[i]));
    f.fitted = c != kNoFit && f.sigma != kNoFit && f.sigma > 0;
    return f;
}

void ComputeProfiles(const PlaneView& image, int channel, int x1, int y1, int x2, int y2,
                     ProfileState* state)
{
    const int capacity = state->capacity;
    state->points.assign(capacity, ProfilePoint{kNoPoint, kNoPoint, kNoPoint, kNoPoint,
                                                kNoPoint, kNoPoint});
    std::vector<float> scratch;
    scratch.reserve(capacity);

    const double t = std::atan2(double(y2 - y1), double(x2 - x1));
    const double cosT = std::cos(t), sinT = std::sin(t);

    // Column profile: intersections with vertical lines, which a vertical
    // segment never meets.
    const int xStart = std::min(x1, x2), xEnd = std::max(x1, x2);
    int n = 0;
    if (std::fabs(cosT) >= kParallel) {
        const double slope = sinT / cosT;
        for (int x = xStart; x < xEnd && n < capacity; ++x) {
            double y = y1 + (x - x1) * slope;
            if (x < 0 || x >= image.width || !(y >= 0 && y < image.height))
                continue;
            int value = PixelLuminance(GetPixelValue(image, x, static_cast<int>(y)), channel);
            state->points[n][0] = float(x);
            state->points[n][1] = float(value);
            scratch.push_back(float(value));
            ++n;
        }
    }
    FillFit(state->points, n, 0, 1, 2, FitProfile(scratch.data(), n, xStart));

    // Row profile: intersections with horizontal lines, which a horizontal
    // segment never meets.
    scratch.clear();
    const int yStart = std::min(y1, y2), yEnd = std::max(y1, y2);
    n = 0;
    if (std::fabs(sinT) >= kParallel) {
        const double inverse = cosT / sinT;
        for (int y = yStart; y < yEnd && n < capacity; ++y) {
            double x = x2 == x1 ? double(x1) : x1 + (y - y1) * inverse;
            if (y < 0 || y >= image.height || !(x >= 0 && x < image.width))
                continue;
            int value = PixelLuminance(GetPixelValue(image, static_cast<int>(x), y), channel);
            state->points[n][3] = float(value);
            state->points[n][4] = float(y);
            scratch.push_back(float(value));
            ++n;
        }
    }
    FillFit(state->points, n, 4, 3, 5, FitProfile(scratch.data(), n, yStart));
    state->count = static_cast<short>(capacity);
}
