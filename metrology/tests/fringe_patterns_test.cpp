#include <gtest/gtest.h>

#include <vector>

#include "metrology/kernels/fringe_patterns.h"

using namespace metrology;

namespace {

TEST(MirePattern, FourShiftsAtContrastOneAndMean127)
{
    const MireSettings settings{30, 1.0f, 127};
    EXPECT_EQ(MireGrey(0, settings, 0.0f), 254);
    EXPECT_EQ(MireGrey(0, settings, 0.5f), 126); // cos of the float quarter turn is just below 0
    EXPECT_EQ(MireGrey(0, settings, 1.0f), 0);
    EXPECT_EQ(MireGrey(0, settings, 1.5f), 127);
    EXPECT_EQ(MireGrey(15, settings, 0.0f), 0);
}

TEST(MirePattern, ValuesAbove255AreClamped)
{
    const MireSettings bright{30, 1.0f, 200};
    EXPECT_EQ(MireGrey(0, bright, 0.0f), 255);
    EXPECT_EQ(MireGrey(1, bright, 0.0f), 255);
    EXPECT_EQ(MireGrey(15, bright, 0.0f), 0);
}

TEST(MirePattern, PeriodOneGivesUniformImages)
{
    const MireSettings settings{1, 0.3f, 101};
    std::vector<std::uint8_t> plane(7 * 3);
    MakeMirePattern(plane.data(), 7, 3, settings, 0.0f);
    EXPECT_EQ(plane, std::vector<std::uint8_t>(plane.size(), 131)); // 1.3 x 101
    MakeMirePattern(plane.data(), 7, 3, settings, 1.0f);
    EXPECT_EQ(plane, std::vector<std::uint8_t>(plane.size(), 70)); // 0.7 x 101
}

TEST(FringePatterns, PeriodBelowOneCountsAsOne)
{
    EXPECT_EQ(MireGrey(3, {0, 0.3f, 101}, 0.0f), MireGrey(3, {1, 0.3f, 101}, 0.0f));
    EXPECT_EQ(MireGrey(3, {-4, 0.3f, 101}, 1.0f), 70);
    EXPECT_EQ(ProjectorFringeGrey(0, 0, 0.5f), 254);
    EXPECT_EQ(ProjectorFringeGrey(5, -3, 0.0f), ProjectorFringeGrey(5, 1, 0.0f));
}

TEST(MirePattern, SettingsAreClampedAsStored)
{
    const MireSettings low = ClampMireSettings({0, -0.5f, -3});
    EXPECT_EQ(low.period, 1);
    EXPECT_EQ(low.contrast, 0.0f);
    EXPECT_EQ(low.mean, 0);
    const MireSettings high = ClampMireSettings({45, 1.5f, 300});
    EXPECT_EQ(high.period, 45);
    EXPECT_EQ(high.contrast, 1.0f);
    EXPECT_EQ(high.mean, 255);
}

TEST(ProjectorPattern, SineWithAmplitude127)
{
    EXPECT_EQ(ProjectorFringeGrey(0, 40, 0.0f), 127);
    EXPECT_EQ(ProjectorFringeGrey(10, 40, 0.0f), 254);
    EXPECT_EQ(ProjectorFringeGrey(20, 40, 0.0f), 126);
    EXPECT_EQ(ProjectorFringeGrey(30, 40, 0.0f), 0);
    EXPECT_EQ(ProjectorFringeGrey(0, 40, 0.5f), 254);
    EXPECT_EQ(ProjectorFringeGrey(8, 32, 0.0f), 254);

    std::vector<std::uint8_t> plane(40 * 2);
    MakeFringePattern(plane.data(), 40, 2, 40, 0.0f);
    for (int x = 0; x < 40; ++x) {
        EXPECT_EQ(plane[x], ProjectorFringeGrey(x, 40, 0.0f));
        EXPECT_EQ(plane[40 + x], plane[x]);
        EXPECT_LE(plane[x], 254);
    }
}

} // namespace
