#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "metrology/kernels/phase4.h"

using namespace metrology;

namespace {

struct QuadrantCase {
    float num, den, phase;
    int grey;
};

TEST(ComputePhase, QuadrantsRoundingAndGrey)
{
    const QuadrantCase cases[] = {
        {100, 100, 0.785398185f, 31},   // first quadrant: atan(num / den)
        {100, -100, 2.35610175f, 95},   // second: + 3.1415
        {-100, -100, 3.92689824f, 159}, // third: + 3.1415 as well
        {-100, 100, 5.49460173f, 223},  // fourth: + 6.28
        {0, 5, 6.28000021f, 255},       // zero numerator, positive denominator: 6.28
        {0, -5, 3.1415f, 127},          // zero numerator, negative denominator: the half turn
        {255, -1, 1.57462525f, 63},     {-255, -1, 4.70837498f, 191}, {-1, 255, 6.27607822f, 254},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.num) + " / " + std::to_string(c.den));
        EXPECT_EQ(ComputePhase(c.num, c.den), c.phase);
        EXPECT_EQ(WrappedPhase8::Grey(ComputePhase(c.num, c.den)), c.grey);
    }
    EXPECT_EQ(ComputePhase(3, 0), 1e10f);
    EXPECT_EQ(ComputePhase(3, 1e-9f), 1e10f);
}

TEST(WrappedPhase8, GreyIsTruncatedAndClamped)
{
    EXPECT_EQ(WrappedPhase8::Grey(0), 0);
    EXPECT_EQ(WrappedPhase8::Grey(-0.5f), 0);
    EXPECT_EQ(WrappedPhase8::Grey(6.28f), 255); // 255.0000085 is clamped
    EXPECT_EQ(WrappedPhase8::Grey(1e10f), 255);
    EXPECT_EQ(WrappedPhase8::Grey(0.785398185f), 31);
}

TEST(PhaseGrey, PixelRules)
{
    struct Case {
        int i0, i90, i180, i270, grey;
    } cases[] = {
        {10, 50, 10, 50, 0},    // i0 = i180 and i270 = i90
        {10, 50, 10, 90, 63},   // i0 = i180, i270 > i90: a quarter turn
        {10, 90, 10, 50, 191},  // i0 = i180, i270 < i90: three quarters
        {150, 20, 50, 120, 31}, // num = den = 100
        {20, 40, 10, 40, 255},  // num = 0, den > 0: 6.28
        {10, 40, 20, 40, 127},  // num = 0, den < 0: the half turn
        {0, 255, 255, 0, 159},  // num = den = -255
    };
    for (const auto& c : cases)
        EXPECT_EQ(PhaseGrey(c.i0, c.i90, c.i180, c.i270), c.grey)
            << c.i0 << ' ' << c.i90 << ' ' << c.i180 << ' ' << c.i270;
}

TEST(FourImagePhase, TableMatchesThePixelRuleForEveryDifference)
{
    // Two grey values `diff` apart, placed at `base` as far as the byte range allows.
    auto split = [](int diff, int base, std::vector<std::uint8_t>& low,
                    std::vector<std::uint8_t>& high) {
        const int l = std::clamp(base, std::max(0, -diff), std::min(255, 255 - diff));
        low.push_back(std::uint8_t(l));
        high.push_back(std::uint8_t(l + diff));
    };
    std::vector<std::uint8_t> i0, i90, i180, i270;
    for (int num = -255; num <= 255; ++num)
        for (int den = -255; den <= 255; ++den) {
            // The absolute levels vary too: only the differences may matter.
            split(num, (num * 7 + den * 13) & 255, i90, i270);
            split(den, (num * 11 + den * 5) & 255, i180, i0);
        }
    std::vector<std::uint8_t> result(i0.size());
    FourImagePhase(i0.data(), i90.data(), i180.data(), i270.data(), result.data(), result.size());
    for (std::size_t k = 0; k < result.size(); ++k)
        ASSERT_EQ(result[k], PhaseGrey(i0[k], i90[k], i180[k], i270[k])) << k;
}

TEST(ImageToPlane, GreyIsCopiedAndColourUsesTheIntegerGreyFormula)
{
    const std::uint8_t grey[6] = {0, 1, 2, 253, 254, 255};
    std::uint8_t plane[6];
    ImagePlanes one{3, 2, 1, {grey}};
    EXPECT_EQ(ImageToPlane(one, 3, 2, plane), PlaneStatus::Ok);
    EXPECT_EQ(std::vector<std::uint8_t>(plane, plane + 6),
              std::vector<std::uint8_t>(grey, grey + 6));

    const std::uint8_t r[2] = {255, 10}, g[2] = {0, 20}, b[2] = {0, 30};
    ImagePlanes colour{2, 1, 3, {r, g, b}};
    std::uint8_t out[2];
    EXPECT_EQ(ImageToPlane(colour, 2, 1, out), PlaneStatus::Ok);
    EXPECT_EQ(out[0], 76); // 30 x 255 / 100
    EXPECT_EQ(out[1], 18); // (300 + 1180 + 330) / 100

    // Two channels have no blue plane to read: the first is taken as grey.
    ImagePlanes two{2, 1, 2, {r, g}};
    EXPECT_EQ(ImageToPlane(two, 2, 1, out), PlaneStatus::Ok);
    EXPECT_EQ(out[0], 255);
    EXPECT_EQ(out[1], 10);
}

TEST(ImageToPlane, SizeMismatchReadsOnlyTheOverlapAndZeroesTheRest)
{
    const std::vector<std::uint8_t> small(2 * 2, 9);
    std::vector<std::uint8_t> plane(3 * 3, 77);
    EXPECT_EQ(ImageToPlane({2, 2, 1, {small.data()}}, 3, 3, plane.data()),
              PlaneStatus::SizeMismatch);
    EXPECT_EQ(plane, (std::vector<std::uint8_t>{9, 9, 0, 9, 9, 0, 0, 0, 0}));

    std::vector<std::uint8_t> large(4 * 3);
    for (std::size_t i = 0; i < large.size(); ++i)
        large[i] = std::uint8_t(i);
    std::vector<std::uint8_t> two(2 * 2);
    EXPECT_EQ(ImageToPlane({4, 3, 1, {large.data()}}, 2, 2, two.data()), PlaneStatus::SizeMismatch);
    EXPECT_EQ(two, (std::vector<std::uint8_t>{0, 1, 4, 5}));

    EXPECT_EQ(ImageToPlane({2, 2, 0, {}}, 2, 2, two.data()), PlaneStatus::NoPixels);
    EXPECT_EQ(two, (std::vector<std::uint8_t>{0, 0, 0, 0}));
    EXPECT_EQ(ImageToPlane({2, 2, 3, {small.data(), small.data(), nullptr}}, 2, 2, two.data()),
              PlaneStatus::NoPixels);
    EXPECT_STREQ(kImageSizeMessage, "Erreur sur taille image !");
}

} // namespace
