#include <gtest/gtest.h>

#include <cstdlib>

#include <dshow/frames.h>
#include <dshow/media_type.h>

namespace {

using namespace dshow;

TEST(FramesTest, EverySubtypeCarriesTheFrameNumberAndTheBarsThroughEncoding)
{
    const GUID subtypes[] = {MEDIASUBTYPE_RGB32,  MEDIASUBTYPE_RGB24, MEDIASUBTYPE_RGB565,
                             MEDIASUBTYPE_RGB555, MEDIASUBTYPE_RGB8,  MEDIASUBTYPE_Y800,
                             MEDIASUBTYPE_UYVY,   MEDIASUBTYPE_YUY2,  MEDIASUBTYPE_Y411,
                             MEDIASUBTYPE_Y41P};
    const sim::Picture reference = sim::ReferencePicture(64, 4, 0xA5C3);
    for (const GUID& subtype : subtypes)
        for (const bool bottom_up : {false, true}) {
            std::vector<uint8_t> frame(sim::FrameBytes(subtype, 64, 4));
            ASSERT_TRUE(
                sim::EncodePicture(reference, subtype, bottom_up, frame.data(), frame.size()));
            EXPECT_FALSE(
                sim::EncodePicture(reference, subtype, bottom_up, frame.data(), frame.size() - 1));
            sim::Picture back;
            ASSERT_TRUE(
                sim::DecodePicture(subtype, bottom_up, 64, 4, frame.data(), frame.size(), &back));
            uint8_t red[16];
            for (int x = 0; x < 16; ++x)
                red[x] = back.rgb[3 * std::size_t(x)];
            EXPECT_EQ(sim::FrameNumberOf(red), 0xA5C3u) << subtype.Data1;
            if (subtype == MEDIASUBTYPE_RGB8 || subtype == MEDIASUBTYPE_Y800)
                continue;
            for (std::size_t i = 3 * 64; i < reference.rgb.size(); ++i) // below the number
                EXPECT_NEAR(back.rgb[i], reference.rgb[i], 8) << subtype.Data1 << " byte " << i;
        }
}

} // namespace
