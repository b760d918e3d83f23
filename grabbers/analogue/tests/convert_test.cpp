#include <gtest/gtest.h>

#include <vector>

#include <analogue/frame_copy.h>

namespace {

TEST(ZephonConvert, GreyWeighsBlueGreenRed)
{
    const uint8_t bgr[] = {255, 255, 255, 0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255, 10, 20, 30};
    uint8_t grey[6] = {};
    zephon::GreyFromPackedBgr(bgr, grey, 6);
    // (145971 b + 596793 g + 303858 r + 512) >> 20
    const uint8_t expected[] = {254, 0, 35, 145, 73, 21};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(grey[i], expected[i]) << i;
    // Every blue and green level against every red level in a spread.
    std::vector<uint8_t> many;
    for (const int red : {0, 1, 127, 128, 254, 255})
        for (int green = 0; green < 256; ++green)
            for (int blue = 0; blue < 256; ++blue)
                many.insert(many.end(), {uint8_t(blue), uint8_t(green), uint8_t(red)});
    std::vector<uint8_t> out(many.size() / 3);
    zephon::GreyFromPackedBgr(many.data(), out.data(), out.size());
    for (std::size_t i = 0; i < out.size(); ++i) {
        const uint32_t b = many[3 * i], g = many[3 * i + 1], r = many[3 * i + 2];
        ASSERT_EQ(out[i], (145971 * b + 596793 * g + 303858 * r + 512) >> 20)
            << b << " " << g << " " << r;
    }
}

TEST(ZephonConvert, MaskKeepsTheDigitizersBitsAfterTheSwap)
{
    struct Case {
        int32_t bits;
        bool swap;
        uint16_t in, out;
    };
    for (const Case& c : {Case{10, false, 0xA7FF, 0x3FF}, Case{12, false, 0xF123, 0x123},
                          Case{14, false, 0xFFFF, 0x3FFF}, Case{16, false, 0xBEEF, 0xBEEF},
                          Case{10, true, 0x12A6, 0x212}, Case{8, true, 0x3412, 0x34}}) {
        uint16_t pixel = c.in;
        zephon::MaskPixels(&pixel, 1, c.bits, c.swap);
        EXPECT_EQ(pixel, c.out) << c.bits << (c.swap ? " swapped" : "");
    }
}

} // namespace
