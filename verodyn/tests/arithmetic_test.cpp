#include <cmath>
#include <limits>

#include "test_images.h"

using namespace testimg;

namespace {

using Arith = Vstatus (*)(const Vobject&, const Vobject&, Vobject*, double, double);

struct ByteCase {
    const char* name;
    Arith op;
    std::uint8_t a, b;
    double factor, offset;
    std::uint8_t expected;
};

class ArithmeticTest : public OperatorTest { };

TEST_F(ArithmeticTest, BytePixelsAreRoundedAndClipped)
{
    const ByteCase cases[] = {
        {"add with the dialog's factor 1 offset 1", add_image, 10, 20, 1.0, 1.0, 31},
        {"add clips at 255", add_image, 200, 100, 1.0, 1.0, 255},
        {"add halves round up", add_image, 1, 2, 0.5, 0.0, 2},
        {"add below half rounds down", add_image, 1, 1, 0.7, 0.0, 1},
        {"sub clips at 0", sub_image, 10, 20, 1.0, 1.0, 0},
        {"sub", sub_image, 20, 10, 1.0, 1.0, 11},
        {"sub negated by the factor", sub_image, 10, 20, -1.0, 0.0, 10},
        {"mult clips", mult_image, 200, 200, 1.0, 1.0, 255},
        {"mult", mult_image, 3, 4, 1.0, 1.0, 13},
        {"div by a zero pixel gives 0", div_image, 7, 0, 1.0, 1.0, 0},
        {"div rounds", div_image, 7, 2, 1.0, 0.0, 4},
        {"div scaled", div_image, 9, 3, 10.0, 0.5, 31},
        {"div zero by zero", div_image, 0, 0, 1.0, 5.0, 0},
    };
    for (const ByteCase& c : cases) {
        Vobject out;
        ASSERT_EQ(c.op(bytes(1, 1, {c.a}), bytes(1, 1, {c.b}), &out, c.factor, c.offset), V_OK)
            << c.name;
        EXPECT_EQ(plane<std::uint8_t>(out)[0], c.expected) << c.name;
        EXPECT_EQ(type_of(out), "byte");
    }
}

TEST_F(ArithmeticTest, RealPixelsAreNeitherRoundedNorClipped)
{
    struct {
        Arith op;
        float a, b;
        float expected;
    } const cases[] = {
        {add_image, 1.5f, 2.25f, 6.5f}, // (1.5 + 2.25) x 2 - 1
        {sub_image, 1.0f, 4.0f, -7.0f}, {mult_image, 300.0f, 2.0f, 1199.0f},
        {div_image, 3.0f, 0.0f, 0.0f},  {div_image, 1.0f, 4.0f, -0.5f},
    };
    for (const auto& c : cases) {
        Vobject a = make<float>("real", 1, 1, {{c.a}}), b = make<float>("real", 1, 1, {{c.b}}), out;
        ASSERT_EQ(c.op(a, b, &out, 2.0, -1.0), V_OK);
        EXPECT_EQ(type_of(out), "real");
        EXPECT_FLOAT_EQ(plane<float>(out)[0], c.expected);
    }
}

TEST_F(ArithmeticTest, EveryShapeAndChannelIsCombinedPixelByPixel)
{
    for (const Shape& s : kShapes)
        for (int channels : {1, 3}) {
            std::vector<std::vector<std::uint8_t>> pa, pb;
            for (int c = 0; c < channels; ++c) {
                pa.push_back(ramp<std::uint8_t>(s.width, s.height, 10 + 40 * c, 7));
                pb.push_back(ramp<std::uint8_t>(s.width, s.height, 90, 3 + c));
            }
            Vobject out;
            ASSERT_EQ(add_image(make("byte", s.width, s.height, pa),
                                make("byte", s.width, s.height, pb), &out, 0.5, 3),
                      V_OK);
            ASSERT_EQ(out.image(0)->channels(), channels);
            for (int c = 0; c < channels; ++c) {
                const auto got = plane<std::uint8_t>(out, c);
                for (std::size_t i = 0; i < got.size(); ++i)
                    ASSERT_EQ(got[i],
                              std::min(255.0, std::floor((pa[c][i] + pb[c][i]) * 0.5 + 3 + 0.5)))
                        << s.width << "x" << s.height << " channel " << c << " pixel " << i;
            }
        }
}

TEST_F(ArithmeticTest, MismatchedOrUnsupportedImagesGiveErrorsAndLeaveTheOutput)
{
    const Vobject a = bytes(2, 2, {1, 2, 3, 4});
    const Vobject marker = bytes(1, 1, {42});
    struct {
        Vobject b;
        Vstatus expected;
    } const cases[] = {
        {bytes(4, 1, {1, 2, 3, 4}), VERR_SIZE_MISMATCH},
        {make<float>("real", 2, 2, {{1, 2, 3, 4}}), VERR_TYPE_MISMATCH},
        {make<std::uint8_t>("byte", 2, 2, {{1, 2, 3, 4}, {1, 2, 3, 4}, {1, 2, 3, 4}}),
         VERR_CHANNEL_MISMATCH},
        {Vobject(), VERR_NO_OBJECT},
    };
    for (Arith op : {add_image, sub_image, mult_image, div_image})
        for (const auto& c : cases) {
            Vobject out = marker;
            EXPECT_EQ(op(a, c.b, &out, 1.0, 0.0), c.expected);
            EXPECT_EQ(out.image(0), marker.image(0));
        }
    Vobject out;
    EXPECT_EQ(add_image(a, a, &out, std::numeric_limits<double>::quiet_NaN(), 0.0), VERR_PARAM);
    EXPECT_EQ(vlast_error(), "add_image: wrong value of a control parameter");
}

TEST_F(ArithmeticTest, BitwiseOperatorsWorkOnEveryIntegerType)
{
    Vobject out;
    const Vobject a = make<std::uint8_t>("byte", 1, 1, {{0xCC}, {0xFF}, {0x00}});
    const Vobject b = make<std::uint8_t>("byte", 1, 1, {{0xAA}, {0x0F}, {0x01}});
    ASSERT_EQ(bit_and(a, b, &out), V_OK);
    EXPECT_EQ(plane<std::uint8_t>(out, 0)[0], 0x88);
    EXPECT_EQ(plane<std::uint8_t>(out, 1)[0], 0x0F);
    ASSERT_EQ(bit_or(a, b, &out), V_OK);
    EXPECT_EQ(plane<std::uint8_t>(out, 0)[0], 0xEE);
    EXPECT_EQ(plane<std::uint8_t>(out, 2)[0], 0x01);
    ASSERT_EQ(bit_xor(a, b, &out), V_OK);
    EXPECT_EQ(plane<std::uint8_t>(out, 0)[0], 0x66);
    EXPECT_EQ(plane<std::uint8_t>(out, 1)[0], 0xF0);

    const Vobject wa = make<std::uint16_t>("uint2", 2, 1, {{0xF0F0, 1}}),
                  wb = make<std::uint16_t>("uint2", 2, 1, {{0x0FF0, 3}});
    ASSERT_EQ(bit_and(wa, wb, &out), V_OK);
    EXPECT_EQ(plane<std::uint16_t>(out), (std::vector<std::uint16_t>{0x00F0, 1}));
    const Vobject ia = make<std::int32_t>("int4", 1, 2, {{-1, 6}}),
                  ib = make<std::int32_t>("int4", 1, 2, {{5, 3}});
    ASSERT_EQ(bit_xor(ia, ib, &out), V_OK);
    EXPECT_EQ(plane<std::int32_t>(out), (std::vector<std::int32_t>{-6, 5}));

    EXPECT_EQ(bit_and(a, bytes(1, 1, {1}), &out), VERR_CHANNEL_MISMATCH);
    EXPECT_EQ(bit_xor(bytes(1, 1, {1}), bytes(1, 2, {1, 2}), &out), VERR_SIZE_MISMATCH);
}

} // namespace
