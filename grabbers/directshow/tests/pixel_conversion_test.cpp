#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "grabbers/directshow/pixel_conversion.h"

namespace {

using namespace directshow;
using Planes = std::vector<std::vector<uint8_t>>;

constexpr uint8_t kUntouched = 0xEE;

TEST(PixelConversionTest, EachSubtypeAndColourMode)
{
    struct Case {
        const char* what;
        FrameLayout layout;
        int32_t mode;
        std::vector<uint8_t> frame;
        Planes planes; // expected; kUntouched where nothing may be written
    };
    const Case cases[] = {
        {"white RGB24 grey",
         {PixelFormat::RGB24, 1, 1, false},
         kColourGray,
         {255, 255, 255},
         {{254}}},
        {"RGB24 bottom-up 2 x 2",
         {PixelFormat::RGB24, 2, 2, true},
         kColourRgb,
         {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12},
         {{9, 12, 3, 6}, {8, 11, 2, 5}, {7, 10, 1, 4}}},
        {"RGB24 top-down grey",
         {PixelFormat::RGB24, 1, 2, false},
         kColourGray,
         {0, 0, 255, 255, 0, 0},
         {{73, 35}}},
        {"RGB32", {PixelFormat::RGB32, 1, 1, false}, kColourRgb, {1, 2, 3, 4}, {{3}, {2}, {1}}},
        {"RGB565 0xFFFF",
         {PixelFormat::RGB565, 1, 1, false},
         kColourRgb,
         {0xFF, 0xFF},
         {{248}, {252}, {248}}},
        {"RGB565 0xFFFF grey",
         {PixelFormat::RGB565, 1, 1, false},
         kColourGray,
         {0xFF, 0xFF},
         {{249}}},
        {"RGB555 0x7FFF",
         {PixelFormat::RGB555, 1, 1, false},
         kColourRgb,
         {0xFF, 0x7F},
         {{248}, {248}, {248}}},
        {"RGB8 bottom-up", {PixelFormat::RGB8, 1, 2, true}, kColourRgb, {1, 2}, {{2, 1}}},
        {"Y800", {PixelFormat::Y800, 2, 1, false}, kColourRgb, {7, 9}, {{7, 9}}},
        {"UYVY 16/128/128",
         {PixelFormat::UYVY, 2, 1, false},
         kColourRgb,
         {128, 16, 128, 16},
         {{16, 16}, {16, 16}, {16, 16}}},
        {"UYVY clamps high",
         {PixelFormat::UYVY, 2, 1, false},
         kColourRgb,
         {128, 255, 255, 0},
         {{255, 178}, {165, 0}, {255, 0}}},
        {"UYVY clamps low",
         {PixelFormat::UYVY, 2, 1, false},
         kColourRgb,
         {0, 0, 128, 0},
         {{0, 0}, {44, 44}, {0, 0}}},
        {"UYVY grey", {PixelFormat::UYVY, 2, 1, false}, kColourGray, {1, 2, 3, 4}, {{2, 4}}},
        {"UYVY 1 x 1",
         {PixelFormat::UYVY, 1, 1, false},
         kColourRgb,
         {128, 16},
         {{kUntouched}, {kUntouched}, {kUntouched}}},
        {"Y411 grey",
         {PixelFormat::Y411, 4, 1, false},
         kColourGray,
         {10, 1, 2, 20, 4, 5},
         {{1, 2, 4, 5}}},
        {"Y41P rgb",
         {PixelFormat::Y41P, 4, 1, false},
         kColourRgb,
         {128, 1, 2, 128, 4, 5},
         {{1, 2, 4, 5}, {1, 2, 4, 5}, {1, 2, 4, 5}}},
        {"Y411 3 x 1",
         {PixelFormat::Y411, 3, 1, false},
         kColourRgb,
         {128, 1, 2, 128, 4},
         {{kUntouched, kUntouched, kUntouched},
          {kUntouched, kUntouched, kUntouched},
          {kUntouched, kUntouched, kUntouched}}},
    };
    for (const Case& c : cases) {
        Planes out(c.planes.size(), std::vector<uint8_t>(c.planes[0].size(), kUntouched));
        uint8_t* planes[3] = {};
        for (std::size_t i = 0; i < out.size(); ++i)
            planes[i] = out[i].data();
        EXPECT_EQ(ChannelCount(c.layout.format, c.mode), int(c.planes.size())) << c.what;
        EXPECT_TRUE(ConvertFrame(c.layout, c.mode, c.frame.data(), c.frame.size(), planes))
            << c.what;
        EXPECT_EQ(out, c.planes) << c.what;
    }
}

// The luma is taken out of the shift: every luma with every U and V pair
// still gives (256 y + 128 + k x (c - 128)) >> 8, clamped.
TEST(PixelConversionTest, UyvyMatchesTheIntegerRuleForEveryLumaAndChroma)
{
    constexpr int32_t kWidth = 2 * 65536;
    std::vector<uint8_t> frame(2 * std::size_t(kWidth)), r(kWidth), g(kWidth), b(kWidth);
    uint8_t* planes[3] = {r.data(), g.data(), b.data()};
    auto rule = [](int y, int k) { return std::clamp((256 * y + 128 + k) >> 8, 0, 255); };
    int wrong = 0;
    for (int luma = 0; luma < 256; ++luma) {
        for (int pair = 0; pair < 65536; ++pair) {
            uint8_t* s = frame.data() + 4 * std::size_t(pair);
            s[0] = uint8_t(pair >> 8);
            s[1] = uint8_t(luma);
            s[2] = uint8_t(pair);
            s[3] = uint8_t(255 - luma);
        }
        ASSERT_TRUE(ConvertFrame({PixelFormat::UYVY, kWidth, 1, false}, kColourRgb, frame.data(),
                                 frame.size(), planes));
        for (int i = 0; i < kWidth; ++i) {
            const int y = i % 2 ? 255 - luma : luma, u = (i / 2 >> 8) - 128,
                      v = (i / 2 & 255) - 128;
            wrong += r[std::size_t(i)] != rule(y, 358 * v) ||
                     g[std::size_t(i)] != rule(y, -88 * u - 182 * v) ||
                     b[std::size_t(i)] != rule(y, 453 * u);
        }
    }
    EXPECT_EQ(wrong, 0);
}

TEST(PixelConversionTest, NeverReadsPastTheFrame)
{
    struct Case {
        PixelFormat format;
        int32_t mode;
        std::size_t needed; // bytes of a 4 x 2 frame the conversion reads
    };
    const Case cases[] = {
        {PixelFormat::RGB24, kColourRgb, 24},     {PixelFormat::RGB565, kColourGray, 16},
        {PixelFormat::UYVY, kColourGray, 16},     {PixelFormat::Y411, kColourRgb, 12},
        {PixelFormat::Y411, kColourGray, 12},     {PixelFormat::Y800, kColourGray, 8},
        {PixelFormat::Unknown, kColourGray, 1000}};
    for (const Case& c : cases) {
        std::vector<uint8_t> frame(c.needed), r(8), g(8), b(8);
        uint8_t* planes[3] = {r.data(), g.data(), b.data()};
        EXPECT_FALSE(
            ConvertFrame({c.format, 4, 2, true}, c.mode, frame.data(), c.needed - 1, planes));
        EXPECT_EQ(ConvertFrame({c.format, 4, 2, true}, c.mode, frame.data(), c.needed, planes),
                  c.format != PixelFormat::Unknown);
    }
}

} // namespace
