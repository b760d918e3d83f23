#include <imageproc/profiles.h>

#include <algorithm>
#include <cmath>

#include <imageproc/line.h>
#include <imageproc/plane_buffers.h>

namespace {

constexpr int kMaxFitSamples = 1024;

// The fit curve at each stored coordinate; nothing without a fit.
void FillFit(std::vector<ProfilePoint>& points, int n, int coord, int fit, const ProfileFit& f)
{
    if (!f.fitted)
        return;
    for (int i = 0; i < n; ++i)
        points[i][fit] =
            static_cast<float>(GaussianValue(points[i][coord], f.centre, f.sigma) * f.amplitude);
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

ProfileFit FitProfile(const float* values, int n, int first)
{
    ProfileFit f;
    double c = ProfileCentroid(values, n);
    if (c != kNoFit)
        f.centre = first - 1 + c;
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
    state->points.assign(capacity,
                         ProfilePoint{kNoPoint, kNoPoint, kNoPoint, kNoPoint, kNoPoint, kNoPoint});
    std::vector<float> scratch;
    scratch.reserve(capacity);

    // The segment's line, crossed with the vertical line through each column
    // and the horizontal line through each row.
    const CLine line;
    constexpr float kVertical = 1.5707964f;
    float angle, intercept;
    line.LineFromPoints(x1, y1, x2, y2, &angle, &intercept);

    // Column profile: intersections with vertical lines, which a vertical
    // segment never meets.
    const int xStart = std::min(x1, x2), xEnd = std::max(x1, x2);
    int n = 0;
    for (int x = xStart; x < xEnd && n < capacity; ++x) {
        float ix, y;
        line.Intersection(x1, y1, angle, x, 0, kVertical, &ix, &y);
        if (!(ix >= 0 && ix < image.width && y >= 0 && y < image.height))
            continue;
        int value = PixelLuminance(GetPixelValue(image, x, static_cast<int>(y)), channel);
        state->points[n][0] = float(x);
        state->points[n][1] = float(value);
        scratch.push_back(float(value));
        ++n;
    }
    // The fit stands on the stored coordinates, not on the segment start: points
    // outside the image are skipped, and the centroid counts from 1.
    if (n > 0)
        FillFit(state->points, n, 0, 2, FitProfile(scratch.data(), n, int(state->points[0][0])));

    // Row profile: intersections with horizontal lines, which a horizontal
    // segment never meets.
    scratch.clear();
    const int yStart = std::min(y1, y2), yEnd = std::max(y1, y2);
    n = 0;
    for (int y = yStart; y < yEnd && n < capacity; ++y) {
        float x, iy;
        line.Intersection(x1, y1, angle, 0, y, 0, &x, &iy);
        if (!(iy >= 0 && iy < image.height && x >= 0 && x < image.width))
            continue;
        int value = PixelLuminance(GetPixelValue(image, static_cast<int>(x), y), channel);
        state->points[n][3] = float(value);
        state->points[n][4] = float(y);
        scratch.push_back(float(value));
        ++n;
    }
    if (n > 0)
        FillFit(state->points, n, 4, 5, FitProfile(scratch.data(), n, int(state->points[0][4])));
    state->count = static_cast<short>(capacity);
}
