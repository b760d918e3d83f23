// Column and row profiles along a segment, with their Gaussian fits.
#pragma once

#include <array>
#include <vector>

#include <imageproc/plane_buffers.h>

// Marker of a buffer float that holds no point, and of a fit that has no result.
constexpr float kNoPoint = 1e10f;
constexpr double kNoFit = 1e10;

// One point: 0 column x, 1 column value, 2 column fit, 3 row value, 4 row y, 5 row fit.
using ProfilePoint = std::array<float, 6>;

// The profile state of a document: channel (0 red or grey, 1 green, 2 blue,
// 3 luminance), segment end points (-1 = none), and the point buffer.
struct ProfileState {
    short channel = 0;
    short x1 = -1, y1 = -1, x2 = -1, y2 = -1;
    short capacity = 800;
    short count = 0;
    std::vector<ProfilePoint> points = std::vector<ProfilePoint>(800);
};

// Centroid of the values with indices counted from 1; kNoFit for no values
// or a sum of at most 1e-6. Uses at most 1024 values.
double ProfileCentroid(const float* values, int n);

// Spread of the values round their centroid; kNoFit when there is no weight.
double ProfileSigma(const float* values, int n);

// exp(-(x - centre)^2 / (2 sigma^2)).
double GaussianValue(double x, double centre, double sigma);

// The fit of one profile whose first value was sampled at coordinate `first`
// and the others one step apart: the centre is the centroid placed on those
// coordinates (the first value counts as index 1, so centre = first - 1 +
// centroid), or 127.0 without one; `fitted` is false when the values give no spread.
struct ProfileFit {
    double centre = 127.0;
    double sigma = kNoFit;
    int amplitude = 0;
    bool fitted = false;
};
ProfileFit FitProfile(const float* values, int n, int first);

// Fills the buffer of `state` for the segment (x1, y1)-(x2, y2) of the image:
// the column profile (one point per integer x), the row profile (one per
// integer y), each with its fit at the stored coordinates; unused floats hold
// kNoPoint. The count becomes the capacity.
void ComputeProfiles(const PlaneView& image, int channel, int x1, int y1, int x2, int y2,
                     ProfileState* state);
