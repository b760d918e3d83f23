#include <gtest/gtest.h>

#include <cmath>

#include <imageproc/line.h>
#include <imageproc/plane_buffers.h>
#include <imageproc/profiles.h>
#include <verodyn/operators.h>

namespace {

TEST(TestPattern, CornersOf640x480)
{
    Vobject image;
    ASSERT_TRUE(MakeImageFromPlanes(TestPattern(640, 480), &image));
    PlaneView v = ViewPlanes(image);
    ASSERT_EQ(v.channels, 3);
    EXPECT_EQ(GetPixelValue(v, 0, 0), PackRgb(0, 0, 255));
    EXPECT_EQ(GetPixelValue(v, 639, 479), PackRgb(254, 254, 1));
    EXPECT_EQ(GetPixelValue(v, 640, 0), -1);
    EXPECT_EQ(GetPixelValue(v, 0, -1), -1);
}

TEST(PixelLuminance, Channels)
{
    const int32_t packed = PackRgb(200, 100, 50);
    EXPECT_EQ(packed, 0x003264C8);
    EXPECT_EQ(PixelLuminance(packed, 0), 200);
    EXPECT_EQ(PixelLuminance(packed, 1), 100);
    EXPECT_EQ(PixelLuminance(packed, 2), 50);
    EXPECT_EQ(PixelLuminance(packed, 3), (30 * 200 + 59 * 100 + 11 * 50) / 100);
    EXPECT_EQ(PixelLuminance(packed, 4), 0);
}

TEST(PlaneBuffers, GreyRoundTrip)
{
    PlaneBuffers p;
    p.width = 3;
    p.height = 2;
    p.channels = 1;
    p.planes[0] = {1, 2, 3, 4, 5, 6};
    Vobject image;
    ASSERT_TRUE(MakeImageFromPlanes(p, &image));
    PlaneBuffers back;
    ASSERT_TRUE(ReadPlanes(image, &back));
    EXPECT_EQ(back.channels, 1);
    EXPECT_EQ(back.planes[0], p.planes[0]);
    EXPECT_EQ(GetPixelValue(ViewPlanes(image), 2, 1), 6);
    EXPECT_FALSE(ReadPlanes(Vobject(), &back));
}

TEST(ProfileFit, CentroidSigmaGaussian)
{
    const float v[] = {0, 10, 20, 10, 0};
    EXPECT_DOUBLE_EQ(ProfileCentroid(v, 5), 3.0);
    EXPECT_DOUBLE_EQ(ProfileSigma(v, 5), std::sqrt(0.5));
    EXPECT_DOUBLE_EQ(GaussianValue(3, 3, 2), 1.0);
    EXPECT_DOUBLE_EQ(GaussianValue(5, 3, 2), std::exp(-0.5));
    EXPECT_EQ(ProfileCentroid(v, 0), kNoFit);
    const float black[] = {0, 0, 0};
    EXPECT_EQ(ProfileCentroid(black, 3), kNoFit);
    EXPECT_EQ(ProfileSigma(black, 3), kNoFit);
    ProfileFit f = FitProfile(black, 3, 10);
    EXPECT_FALSE(f.fitted);
    EXPECT_EQ(f.centre, 127.0);
    // All the weight on one sample: a centre but no width, hence no curve.
    const float spike[] = {0, 0, 50, 0};
    f = FitProfile(spike, 4, 10);
    EXPECT_DOUBLE_EQ(f.centre, 12.0);
    EXPECT_EQ(f.sigma, 0.0);
    EXPECT_EQ(f.amplitude, 50);
    EXPECT_FALSE(f.fitted);
}

TEST(CLine, LinesAndIntersections)
{
    const CLine line;
    EXPECT_EQ(line.m_fPi, 3.14159274f);
    struct Case {
        float x1, y1, x2, y2, angle, intercept;
    };
    for (const Case& c :
         {Case{1, 1, 1, 1, kNoLine, kNoLine}, Case{0, 2, 4, 6, 0.785398185f, 2},
          Case{3, 1, 3, 5, 1.57079637f, kNoLine}, Case{3, 5, 3, 1, -1.57079637f, kNoLine}}) {
        float angle, intercept;
        line.LineFromPoints(c.x1, c.y1, c.x2, c.y2, &angle, &intercept);
        EXPECT_EQ(angle, c.angle) << c.x2 << "," << c.y2;
        EXPECT_EQ(intercept, c.intercept) << c.x2 << "," << c.y2;
    }
    struct Crossing {
        float xa, ya, angleA, xb, yb, angleB, x, y;
    };
    for (const Crossing& c : {Crossing{2, 0, 1.5707964f, 0, 1, 0, 2, 1},
                              Crossing{0, 0, 0.785398185f, 3, 0, 1.5707964f, 3, 3},
                              Crossing{0, 0, 0.5f, 1, 1, -0.5f, kNoLine, kNoLine},
                              Crossing{0, 0, 1.5707964f, 1, 0, 1.5707964f, kNoLine, kNoLine},
                              Crossing{0, 0, 0.785398185f, 0, 2, 0, 2, 2}}) {
        float x, y;
        line.Intersection(c.xa, c.ya, c.angleA, c.xb, c.yb, c.angleB, &x, &y);
        EXPECT_EQ(x, c.x) << c.angleA << " " << c.angleB;
        EXPECT_EQ(y, c.y) << c.angleA << " " << c.angleB;
    }
}

// Single-precision crossings fall just short of a pixel edge on some samples
// and take the row or column before it: x 1 of (0,0)-(2,6) lies at y 2.9999995.
TEST(ComputeProfiles, SamplesFollowSinglePrecisionCrossings)
{
    Vobject image;
    ASSERT_TRUE(MakeImageFromPlanes(TestPattern(100, 50), &image));
    struct Case {
        int x2, y2, channel, point, field;
        float value;
    };
    for (const Case& c : {Case{2, 6, 1, 1, 1, 2 * 255 / 50}, Case{2, 4, 0, 2, 3, 0},
                          Case{2, 4, 1, 1, 1, 2 * 255 / 50}}) {
        ProfileState s;
        ComputeProfiles(ViewPlanes(image), c.channel, 0, 0, c.x2, c.y2, &s);
        EXPECT_EQ(s.points[c.point][c.field], c.value) << c.x2 << "," << c.y2;
    }
}

TEST(ComputeProfiles, OneBrightPixelGivesNoFitNeverNaN)
{
    PlaneBuffers p;
    p.width = p.height = 20;
    p.channels = 1;
    p.planes[0].assign(400, 0);
    p.planes[0][5 + 20 * 5] = 200;
    Vobject image;
    ASSERT_TRUE(MakeImageFromPlanes(p, &image));
    ProfileState s;
    ComputeProfiles(ViewPlanes(image), 0, 0, 0, 10, 10, &s);
    EXPECT_EQ(s.points[5][1], 200);
    EXPECT_EQ(s.points[5][3], 200);
    for (int n = 0; n < 10; ++n) {
        EXPECT_EQ(s.points[n][2], kNoPoint) << n;
        EXPECT_EQ(s.points[n][5], kNoPoint) << n;
    }
}

Vobject Grey(int w, int h, uint8_t value)
{
    PlaneBuffers p;
    p.width = w;
    p.height = h;
    p.channels = 1;
    p.planes[0].assign(std::size_t(w) * h, value);
    Vobject image;
    MakeImageFromPlanes(p, &image);
    return image;
}

TEST(ComputeProfiles, HorizontalSegmentOnGradient)
{
    Vobject image;
    ASSERT_TRUE(MakeImageFromPlanes(TestPattern(100, 50), &image));
    ProfileState s;
    ComputeProfiles(ViewPlanes(image), 0, 10, 20, 30, 20, &s);
    EXPECT_EQ(s.count, 800);
    for (int n = 0; n < 20; ++n) {
        EXPECT_EQ(s.points[n][0], 10 + n);
        EXPECT_EQ(s.points[n][1], (10 + n) * 255 / 100);
        EXPECT_FALSE(std::isnan(s.points[n][2]));
    }
    EXPECT_EQ(s.points[20][0], kNoPoint);
    EXPECT_EQ(s.points[0][3], kNoPoint); // a horizontal segment has no row profile
}

TEST(ComputeProfiles, VerticalSegmentHasEmptyColumnProfile)
{
    Vobject image = Grey(40, 40, 100);
    ProfileState s;
    ComputeProfiles(ViewPlanes(image), 0, 5, 2, 5, 12, &s);
    EXPECT_EQ(s.points[0][0], kNoPoint);
    for (int n = 0; n < 10; ++n) {
        EXPECT_EQ(s.points[n][4], 2 + n);
        EXPECT_EQ(s.points[n][3], 100);
    }
    EXPECT_EQ(FitProfile(nullptr, 0, 5).centre, 127.0);
}

TEST(ComputeProfiles, BlackProfileGivesNoFitNeverNaN)
{
    Vobject image = Grey(40, 40, 0);
    ProfileState s;
    ComputeProfiles(ViewPlanes(image), 0, 0, 0, 30, 30, &s);
    for (int n = 0; n < 30; ++n) {
        EXPECT_EQ(s.points[n][1], 0);
        EXPECT_EQ(s.points[n][2], kNoPoint);
        EXPECT_EQ(s.points[n][5], kNoPoint);
    }
}

TEST(ComputeProfiles, LongProfileStopsAtCapacity)
{
    Vobject image = Grey(1000, 10, 7);
    ProfileState s;
    ComputeProfiles(ViewPlanes(image), 0, 0, 5, 999, 5, &s);
    EXPECT_EQ(s.points[799][0], 799);
    EXPECT_EQ(int(s.points.size()), 800);
}

TEST(ComputeProfiles, PointsJustAboveTheImageAreSkipped)
{
    // At x = 1 the line is at y = -0.5, which truncation alone would take for row 0.
    Vobject image = Grey(10, 10, 30);
    ProfileState s;
    ComputeProfiles(ViewPlanes(image), 0, 0, -1, 4, 1, &s);
    EXPECT_EQ(s.points[0][0], 2);
    EXPECT_EQ(s.points[1][0], 3);
    EXPECT_EQ(s.points[2][0], kNoPoint);
    // Row y = 0 meets the line at x = 2; row -1 lies outside.
    EXPECT_EQ(s.points[0][4], 0);
    EXPECT_EQ(s.points[1][4], kNoPoint);
}

TEST(ComputeProfiles, FitIsEvaluatedAtStoredCoordinates)
{
    // The segment starts left of the image: the first stored point is x = 0.
    Vobject image = Grey(20, 20, 50);
    ProfileState s;
    ComputeProfiles(ViewPlanes(image), 0, -5, 10, 15, 10, &s);
    EXPECT_EQ(s.points[0][0], 0);
    ProfileFit f = FitProfile(std::vector<float>(15, 50).data(), 15, 0);
    EXPECT_DOUBLE_EQ(f.centre, 7.0);
    EXPECT_FLOAT_EQ(s.points[0][2], float(GaussianValue(0, f.centre, f.sigma) * 50));
}

TEST(ComputeProfiles, FitCentreStandsOnTheBrightestColumnAndRow)
{
    // A symmetric bump centred on x = 12 along row 10, and on y = 6 along column 3.
    PlaneBuffers planes;
    planes.width = planes.height = 20;
    planes.channels = 1;
    planes.planes[0].assign(400, 0);
    auto& p = planes.planes[0];
    for (int d = -2; d <= 2; ++d) {
        p[12 + d + 20 * 10] = static_cast<unsigned char>(100 - 30 * std::abs(d));
        p[3 + 20 * (6 + d)] = static_cast<unsigned char>(100 - 30 * std::abs(d));
    }
    Vobject image;
    ASSERT_TRUE(MakeImageFromPlanes(planes, &image));
    ProfileState row, column;
    ComputeProfiles(ViewPlanes(image), 0, -4, 10, 19, 10, &row);
    ComputeProfiles(ViewPlanes(image), 0, 3, 1, 3, 15, &column);
    int peak = 0;
    for (int i = 1; i < 19; ++i)
        if (row.points[i][2] > row.points[peak][2])
            peak = i;
    EXPECT_EQ(row.points[peak][0], 12);
    EXPECT_FLOAT_EQ(row.points[peak][2], 100);
    peak = 0;
    for (int i = 1; i < 14; ++i)
        if (column.points[i][5] > column.points[peak][5])
            peak = i;
    EXPECT_EQ(column.points[peak][4], 6);
    EXPECT_FLOAT_EQ(column.points[peak][5], 100);
}

} // namespace
