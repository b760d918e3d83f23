#include <gtest/gtest.h>

#include "workbench/core/overlay_rules.h"
#include "workbench/core/point_cloud.h"
#include "workbench/core/profile_workbook.h"

namespace {

constexpr float U = kNoPoint;

// A profile of `n` points, each given as its six floats.
ProfileState Profile(std::vector<ProfilePoint> points)
{
    ProfileState p;
    p.count = static_cast<short>(points.size());
    p.points = std::move(points);
    return p;
}

TEST(Overlays, CrossLabels)
{
    struct Case {
        int channels;
        int32_t value;
        bool calibrated;
        float scale, factor;
        const char* text;
    };
    const Case cases[] = {
        {1, 200, false, 1, 1, "W:200"},
        {1, 200, true, 4, 0.1f, "Z:5.000"},
        {3, 0x00332211, false, 1, 1, "R:17,V:34,B:51"},
        {3, 0x00332211, true, 2, 1, "ZR:8.500"},
        {1, -1, false, 1, 1, ""},
        {0, 200, false, 1, 1, ""},
        {2, 200, true, 1, 1, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CrossLabel(c.channels, c.value, c.calibrated, c.scale, c.factor), c.text)
            << c.channels << " " << c.value;

    // Other pixel types, as the values pane reads them.
    struct SampleCase {
        PixelSample sample;
        bool calibrated;
        const char* text;
    };
    const SampleCase samples[] = {
        {{1, 40000, 0, true}, false, "W:40000"},
        {{1, -1234567890, 0, true}, false, "W:-1234567890"},
        {{1, 0.125, 0, true}, false, "W:0.125"},
        {{1, 200, 0, true}, true, "Z:5.000"},
        {{2, 2.5, -1, true}, true, "Re:2.5,Im:-1"},
        {{1, 0, 0, false}, false, ""},
    };
    for (const SampleCase& c : samples)
        EXPECT_EQ(CrossLabel(c.sample, c.calibrated, 4, 0.1f), c.text) << c.text;
}

TEST(Overlays, ProfilesOfAZoneMoreThanTenPixelsLong)
{
    EXPECT_TRUE(ProfilesOfZone(21, 15, 10, 10).horizontal);
    EXPECT_FALSE(ProfilesOfZone(21, 15, 10, 10).vertical);
    EXPECT_FALSE(ProfilesOfZone(10, 10, 15, 15).Any());
    EXPECT_TRUE(ProfilesOfZone(10, 10, 20, 21).vertical);
}

TEST(Overlays, CurvesSkipUnsetSamplesInClientCoordinates)
{
    const ProfileState p = Profile({
        {U, U, U, U, U, U},
        {12, 40.7f, 30, 50, 20, 7},
        {13, 41, U, 60, 21, U},
        {U, U, U, U, U, U},
        {15, 42, 31, 70.9f, 23, 9},
    });
    struct Case {
        ProfileCurve curve;
        std::vector<OverlayPoint> points;
    };
    // Image height 100, scrolled by (2, 3).
    const Case cases[] = {
        {ProfileCurve::Horizontal, {{10, 56}, {11, 56}, {13, 55}}},
        {ProfileCurve::HorizontalGauss, {{10, 67}, {13, 66}}},
        {ProfileCurve::Vertical, {{48, 17}, {58, 18}, {68, 20}}},
        {ProfileCurve::VerticalGauss, {{5, 17}, {7, 20}}},
    };
    for (const Case& c : cases) {
        OverlayPath path = ProfileCurvePath(p, c.curve, 100, 2, 3);
        EXPECT_FALSE(path.startsWithMove);
        EXPECT_EQ(path.points, c.points) << int(c.curve);
    }
    ProfileState first = p;
    first.points[0] = {10, 1, U, U, U, U};
    EXPECT_TRUE(ProfileCurvePath(first, ProfileCurve::Horizontal, 100, 0, 0).startsWithMove);
    first.count = 0;
    EXPECT_TRUE(ProfileCurvePath(first, ProfileCurve::Horizontal, 100, 0, 0).points.empty());
}

TEST(Overlays, GaussWidthMarks)
{
    // Fit 10, 50, 100, 50, 10 over x (and y) 3..7: level trunc(100) x 0.1353...
    std::vector<ProfilePoint> points = {{U, U, U, U, U, U}};
    const float fit[] = {10, 50, 100.8f, 50, 10};
    for (int i = 0; i < 5; ++i)
        points.push_back({float(3 + i), 0, fit[i], 0, float(3 + i), fit[i]});
    points.push_back({U, U, U, U, U, U});
    ProfileState p = Profile(points);
    EXPECT_EQ(GaussWidthMarks(p, true, 640, 480), (std::vector<OverlayPoint>{{4, 430}, {6, 430}}));
    EXPECT_EQ(GaussWidthMarks(p, false, 640, 480), (std::vector<OverlayPoint>{{50, 4}, {50, 6}}));
    // Marks outside the image are left out.
    EXPECT_EQ(GaussWidthMarks(p, true, 5, 480), (std::vector<OverlayPoint>{{4, 430}}));
    EXPECT_TRUE(GaussWidthMarks(p, false, 50, 480).empty());
    EXPECT_EQ(GaussWidthMarks(p, true, 640, 40), (std::vector<OverlayPoint>{}));
    // A maximum below 1 gives level 0: the first and last set samples, whose
    // marks stand on the bottom edge and the left column, outside the image.
    for (ProfilePoint& q : p.points)
        if (q[2] != U)
            q[2] = q[5] = 0.5f;
    EXPECT_TRUE(GaussWidthMarks(p, true, 640, 480).empty());
    EXPECT_TRUE(GaussWidthMarks(p, false, 640, 480).empty());
    EXPECT_TRUE(GaussWidthMarks(Profile({{U, U, U, U, U, U}}), true, 640, 480).empty());
}

TEST(PointCloud, RampColours)
{
    const std::pair<int, RampColour> cases[] = {
        {0, {0, 0, 0}},       {1, {4, 0, 251}},     {63, {252, 0, 3}},
        {64, {255, 0, 0}},    {127, {255, 252, 0}}, {128, {255, 255, 0}},
        {191, {3, 255, 252}}, {192, {0, 255, 255}}, {255, {0, 3, 255}},
    };
    for (const auto& [g, colour] : cases)
        EXPECT_EQ(CloudRamp(g), colour) << g;
}

TEST(PointCloud, PointsKeepFiveFromTheEdges)
{
    struct Case {
        int width, height, step, count;
    };
    const Case cases[] = {
        {20, 13, 1, 9 * 3}, {20, 13, 0, 9 * 3}, {20, 13, 2, 4 * 2}, {20, 13, 5, 4 * 2},
        {12, 11, 1, 1},     {11, 40, 1, 0},     {40, 10, 1, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CloudPointCount(c.width, c.height, c.step), c.count)
            << c.width << "x" << c.height << " step " << c.step;
    // The first point is pixel (5, 5), against integer halves (10, 6); the
    // 27 points fill the arrays exactly.
    std::vector<uint8_t> plane(20 * 13, 0);
    plane[20 * 5 + 5] = 1;
    plane[20 * 5 + 6] = 200;
    std::vector<float> positions(3 * 27 + 1, -1.0f);
    std::vector<uint8_t> colours(3 * 27 + 1, 7);
    MakePointCloud(plane.data(), 20, 13, 1, positions.data(), colours.data());
    EXPECT_FLOAT_EQ(positions[0], -5 * 0.004f);
    EXPECT_FLOAT_EQ(positions[1], -1 * 0.004f);
    EXPECT_FLOAT_EQ(positions[2], 1 * 0.004f);
    EXPECT_FLOAT_EQ(positions[5], 200 * 0.004f);
    EXPECT_EQ(std::vector<uint8_t>(colours.begin(), colours.begin() + 9),
              (std::vector<uint8_t>{4, 0, 251, 0, 223, 255, 0, 0, 0}));
    EXPECT_NE(positions[3 * 27 - 1], -1.0f);
    EXPECT_EQ(positions.back(), -1.0f);
    EXPECT_EQ(colours.back(), 7);
}

TEST(PointCloud, GreyPlaneOfTheSourceImage)
{
    const uint8_t red[2] = {100, 0}, green[2] = {200, 255}, blue[2] = {50, 9};
    std::vector<uint8_t> grey;
    EXPECT_TRUE(CloudGreyPlane(PlaneView{2, 1, 3, {red, green, blue}}, 2, 1, &grey));
    EXPECT_EQ(grey, (std::vector<uint8_t>{153, 151}));
    // An image not of its document's size gives a flat plane.
    EXPECT_FALSE(CloudGreyPlane(PlaneView{2, 1, 1, {green}}, 3, 1, &grey));
    EXPECT_EQ(grey, (std::vector<uint8_t>(3, 0)));
}

TEST(ProfileExport, CellsHoldTheNumbersOfTheirTexts)
{
    ProfileState p = Profile({{123, 200, 12.5f, 80, 7, 3.7f}, {124, U, 13, U, 8, U}});
    p.x2 = p.y2 = 20;
    ProfileExportSource s{&p, true, false, 7.0f, false, 2.0f};
    const std::optional<double> E;
    using Row = std::array<std::optional<double>, 6>;
    ProfileWorkbook book = BuildProfileWorkbook(s);
    EXPECT_EQ(book.rows, (std::vector<Row>{{123, 200, 12, 7, 80, 4}, {124, E, 13, 8, E, E}}));
    s.calibratedXY = s.calibratedZ = true;
    book = BuildProfileWorkbook(s);
    EXPECT_EQ(book.rows,
              (std::vector<Row>{{17.57, 100, 6.25, 1.0, 40, 1.85}, {17.71, E, 6.5, 1.143, E, E}}));
    EXPECT_EQ(book.titles[5], "GaussV(mm)");
    EXPECT_EQ(book.charts[3].title, "Profil vertical\n(A tourner dans le sens horaire)");
    EXPECT_TRUE(book.charts[3].xScientific && book.charts[3].yScientific);
    p.count = 0; // never computed: the columns, but no row and so no chart
    book = BuildProfileWorkbook(s);
    EXPECT_EQ(book.titles[5], "GaussV(mm)");
    EXPECT_TRUE(book.rows.empty());
    EXPECT_TRUE(book.charts.empty());
}

} // namespace
