#include <cmath>
#include <limits>

#include "test_images.h"

using namespace testimg;

namespace {

class ChannelsTest : public OperatorTest { };

TEST_F(ChannelsTest, InvertGivesTheNegativeOfEveryChannelEvenInPlace)
{
    for (const Shape& s : kShapes) {
        const auto r = ramp<std::uint8_t>(s.width, s.height, 0, 37),
                   g = ramp<std::uint8_t>(s.width, s.height, 200, 1);
        Vobject image = make<std::uint8_t>("byte", s.width, s.height, {r, g, r});
        ASSERT_EQ(invert_image(image, &image), V_OK);
        const auto nr = plane<std::uint8_t>(image, 0), ng = plane<std::uint8_t>(image, 1);
        for (std::size_t i = 0; i < r.size(); ++i) {
            EXPECT_EQ(nr[i], 255 - r[i]);
            EXPECT_EQ(ng[i], 255 - g[i]);
        }
    }
    Vobject out;
    ASSERT_EQ(invert_image(bytes(3, 1, {0, 200, 255}), &out), V_OK);
    EXPECT_EQ(plane<std::uint8_t>(out), (std::vector<std::uint8_t>{255, 55, 0}));
    EXPECT_EQ(invert_image(Vobject(), &out), VERR_NO_OBJECT);
}

TEST_F(ChannelsTest, ConvertToByteRoundsAndClipsEveryType)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    Vobject out;
    ASSERT_EQ(
        convert_image_type(
            make<float>("real", 8, 1, {{-3.2f, 0.49f, 0.5f, 127.5f, 254.4f, 254.6f, 300.0f, nan}}),
            &out, "byte"),
        V_OK);
    EXPECT_EQ(type_of(out), "byte");
    EXPECT_EQ(plane<std::uint8_t>(out),
              (std::vector<std::uint8_t>{0, 0, 1, 128, 254, 255, 255, 0}));
    ASSERT_EQ(
        convert_image_type(make<std::uint16_t>("uint2", 3, 1, {{7, 255, 1000}}), &out, "byte"),
        V_OK);
    EXPECT_EQ(plane<std::uint8_t>(out), (std::vector<std::uint8_t>{7, 255, 255}));
    ASSERT_EQ(convert_image_type(make<std::int32_t>("int4", 3, 1, {{-5, 9, 70000}}), &out, "byte"),
              V_OK);
    EXPECT_EQ(plane<std::uint8_t>(out), (std::vector<std::uint8_t>{0, 9, 255}));
    ASSERT_EQ(convert_image_type(make<std::uint8_t>("byte", 2, 1, {{3, 4}, {5, 6}, {7, 8}}), &out,
                                 "real"),
              V_OK);
    EXPECT_EQ(type_of(out), "real");
    EXPECT_EQ(plane<float>(out, 2), (std::vector<float>{7.0f, 8.0f}));

    EXPECT_EQ(convert_image_type(bytes(1, 1, {1}), &out, "uint2"), VERR_PARAM);
    EXPECT_EQ(convert_image_type(bytes(1, 1, {1}), &out, "bite"), VERR_PARAM);
}

TEST_F(ChannelsTest, AccessChannelCountsFromOneAndKeepsTheType)
{
    const Vobject colour = make<std::uint8_t>("byte", 2, 1, {{10, 11}, {20, 21}, {30, 31}});
    Vobject out;
    for (int channel = 1; channel <= 3; ++channel) {
        ASSERT_EQ(access_channel(colour, &out, channel), V_OK);
        EXPECT_EQ(out.image(0)->channels(), 1);
        EXPECT_EQ(plane<std::uint8_t>(out),
                  (std::vector<std::uint8_t>{std::uint8_t(10 * channel),
                                             std::uint8_t(10 * channel + 1)}));
    }
    ASSERT_EQ(access_channel(make<float>("real", 1, 1, {{2.5f}}), &out, 1), V_OK);
    EXPECT_EQ(type_of(out), "real");
    EXPECT_EQ(access_channel(colour, &out, 0), VERR_CHANNEL);
    EXPECT_EQ(access_channel(colour, &out, 4), VERR_CHANNEL);
    EXPECT_EQ(access_channel(bytes(1, 1, {1}), &out, 2), VERR_CHANNEL);
}

} // namespace
