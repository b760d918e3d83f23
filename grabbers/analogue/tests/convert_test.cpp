#include <gtest/gtest.h>

#include "analogue/frame_copy.h"

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
