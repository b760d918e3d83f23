#include <gtest/gtest.h>

#include <vector>

#include "workbench/core/false_colour.h"
#include "workbench/core/live_difference.h"
#include "workbench/core/live_view_layout.h"
#include "workbench/core/zone_rules.h"

namespace {

TEST(FalseColour, EachBandGivesItsHueAndOutOfRangeGreyIsClamped)
{
    struct Case {
        int grey;
        Rgb8 colour;
    };
    for (Case c : {Case{0, {0, 0, 0}}, Case{31, {93, 93, 93}}, Case{32, {0, 96, 96}},
                   Case{64, {30, 30, 96}}, Case{127, {251, 0, 251}}, Case{128, {96, 0, 0}},
                   Case{191, {0, 251, 0}}, Case{192, {96, 96, 0}}, Case{224, {128, 128, 128}},
                   Case{255, {252, 252, 252}}, Case{-4, {0, 0, 0}}, Case{300, {252, 252, 252}}})
        EXPECT_EQ(FalseColour(c.grey), c.colour) << c.grey;
}

TEST(LiveDifference, AbsoluteAmplifiedDifferenceClampedTo255)
{
    EXPECT_EQ(AmplifiedDifference(90, 100, 8), 80);
    EXPECT_EQ(AmplifiedDifference(140, 100, 8), 255);
    EXPECT_EQ(AmplifiedDifference(200, 0, 32767), 255);
}

TEST(LiveDifference, GainTextGivesAbsoluteValueBoundedTo16Bits)
{
    struct Case {
        const char* text;
        int gain;
        const char* shown;
    };
    for (Case c : {Case{"-3", 3, "3"}, Case{"abc", 1, "1"}, Case{"", 1, "1"}, Case{"12x", 12, "12"},
                   Case{"99999", 32767, "32767"}, Case{"65536", 32767, "32767"},
                   Case{"-2147483648", 32767, "32767"}, Case{"0", 0, "0"}}) {
        const GainEntry e = GainFromText(c.text);
        EXPECT_EQ(e.gain, c.gain) << c.text;
        EXPECT_EQ(e.text, c.shown) << c.text;
    }
}

TEST(LiveViewLayout, GreyOfOneOrThreePlanesWithinBothSizes)
{
    const uint8_t red[4] = {100, 0, 255, 10}, green[4] = {100, 0, 255, 20},
                  blue[4] = {100, 255, 255, 30};
    PlaneView colour{2, 2, 3, {red, green, blue}};
    std::vector<uint8_t> grey(9, 7);
    GreyOfPlanes(colour, 3, 3, grey.data());
    EXPECT_EQ(grey, (std::vector<uint8_t>{100, 28, 7, 255, 18, 7, 7, 7, 7}));
}

TEST(ZoneRules, ExtractionZoneIsOrderedClippedAndMustExceed100Pixels)
{
    struct Case {
        int left, top, right, bottom, scrollX, scrollY;
        ImageZone zone;
        bool large;
    };
    for (Case c : {Case{10, 10, 111, 111, 0, 0, {10, 10, 111, 111}, true},
                   Case{10, 10, 110, 210, 0, 0, {10, 10, 110, 210}, false},
                   Case{211, 10, 10, 211, 0, 0, {10, 10, 211, 211}, true},
                   Case{10, 250, 150, 20, 5, 7, {15, 27, 155, 257}, true},
                   Case{300, 400, 500, 700, 0, 0, {300, 400, 400, 480}, false},
                   Case{-50, -50, 150, 200, 0, 0, {0, 0, 150, 200}, true}}) {
        const ImageZone z =
            ExtractionZone(c.left, c.top, c.right, c.bottom, c.scrollX, c.scrollY, 400, 480);
        EXPECT_EQ(z, c.zone) << c.left << "," << c.top;
        EXPECT_EQ(ExtractionLargeEnough(z), c.large) << c.left << "," << c.top;
    }
}

TEST(ZoneRules, MaskZoneNeedsEdgesPastTheOriginAndAnArea)
{
    ImageZone zone;
    EXPECT_TRUE(MaskTrackerZone(30, 20, 10, 10, 2, 3, &zone));
    EXPECT_EQ(zone, (ImageZone{32, 23, 12, 13}));
    EXPECT_FALSE(MaskTrackerZone(0, 10, 30, 20, 0, 0, &zone));
    EXPECT_FALSE(MaskTrackerZone(10, 10, 30, 0, 0, 0, &zone));
    EXPECT_FALSE(MaskTrackerZone(10, 10, 10, 20, 0, 0, &zone));
    EXPECT_FALSE(MaskTrackerZone(10, 10, 30, 10, 0, 0, &zone));
}

} // namespace
