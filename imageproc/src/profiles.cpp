#include <imageproc/profiles.h>

#include <algorithm>
#include <cmath>

#include <imageproc/line.h>
#include <imageproc/plane_buffers.h>

namespace {

constexpr int kMaxFitSamples = 1024;

// Where one profile stands in a point: its coordinate, its value and its fit.
struct ProfileSlots {
    int coord, value, fit;
};
constexpr ProfileSlots kColumnProfile{0, 1, 2};
constexpr ProfileSlots kRowProfile{4, 3, 5};

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

    // One profile: a point per integer step from `first` to `end` whose
    // crossing lies in the image, its coordinate, value and fit in `slots`. A
    // vertical segment never meets a vertical line, a horizontal one never a
    // horizontal line.
    auto profile = [&](bool alongColumns, int first, int end, const ProfileSlots& slots) {
        scratch.clear();
        int n = 0;
        for (int step = first; step < end && n < capacity; ++step) {
            float x, y;
            if (alongColumns)
                line.Intersection(x1, y1, angle, step, 0, kVertical, &x, &y);
            else
                line.Intersection(x1, y1, angle, 0, step, 0, &x, &y);
            if (!(x >= 0 && x < image.width && y >= 0 && y < image.height))
                continue;
            const int column = alongColumns ? step : static_cast<int>(x);
            const int row = alongColumns ? static_cast<int>(y) : step;
            const int value = PixelLuminance(GetPixelValue(image, column, row), channel);
            state->points[n][slots.coord] = float(step);
            state->points[n][slots.value] = float(value);
            scratch.push_back(float(value));
            ++n;
        }
        // The fit stands on the stored coordinates, not on the segment start:
        // points outside the image are skipped, and the centroid counts from 1.
        if (n > 0)
            FillFit(state->points, n, slots.coord, slots.fit,
                    FitProfile(scratch.data(), n, int(state->points[0][slots.coord])));
    };
    profile(true, std::min(x1, x2), std::max(x1, x2), kColumnProfile);
    profile(false, std::min(y1, y2), std::max(y1, y2), kRowProfile);
    state->count = static_cast<short>(capacity);
}
