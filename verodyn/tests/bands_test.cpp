// Images large enough for the operators to split their rows into bands: every
// pixel of every band comes out as a one-pixel image would give it.
#include <cstdint>

#include "test_images.h"

using namespace testimg;

namespace {

constexpr int kWidth = 301, kHeight = 700;

// Channel c of pixel i of the three-channel test image: a different pattern per channel.
std::uint8_t Source(int c, std::size_t i) { return std::uint8_t(i * (c + 1) + 7 * (i / kWidth)); }

class BandsTest : public OperatorTest {
protected:
    static Vobject Image()
    {
        std::vector<std::vector<std::uint8_t>> planes(3);
        for (int c = 0; c < 3; ++c)
            for (std::size_t i = 0; i < std::size_t(kWidth) * kHeight; ++i)
                planes[c].push_back(Source(c, i));
        return make<std::uint8_t>("byte", kWidth, kHeight, planes);
    }
};

TEST_F(BandsTest, EveryRowOfEveryChannel)
{
    const Vobject image = Image();
    Vobject sum, inverted, xored, real;
    ASSERT_EQ(add_image(image, image, &sum, 0.5, 3.0), V_OK);
    ASSERT_EQ(invert_image(image, &inverted), V_OK);
    ASSERT_EQ(bit_xor(image, inverted, &xored), V_OK);
    ASSERT_EQ(convert_image_type(image, &real, "real"), V_OK);
    int wrong = 0;
    for (int c = 0; c < 3; ++c) {
        const auto s = plane<std::uint8_t>(sum, c), n = plane<std::uint8_t>(inverted, c),
                   x = plane<std::uint8_t>(xored, c);
        const auto r = plane<float>(real, c);
        for (std::size_t i = 0; i < std::size_t(kWidth) * kHeight; ++i) {
            const std::uint8_t v = Source(c, i);
            wrong +=
                s[i] != std::min(v + 3, 255) || n[i] != 255 - v || x[i] != 255 || r[i] != float(v);
        }
    }
    EXPECT_EQ(wrong, 0);
}

TEST_F(BandsTest, ZoomSamplesEveryTargetRow)
{
    Vobject zoomed;
    ASSERT_EQ(zoom_image_size(Image(), &zoomed, 150, 1400, "constant"), V_OK);
    int wrong = 0;
    for (int c = 0; c < 3; ++c) {
        const auto z = plane<std::uint8_t>(zoomed, c);
        for (int y = 0; y < 1400; ++y)
            for (int x = 0; x < 150; ++x) {
                const std::size_t source =
                    std::size_t(y / 2) * kWidth + std::size_t((2 * x + 1) * kWidth / 300);
                wrong += z[std::size_t(y) * 150 + std::size_t(x)] != Source(c, source);
            }
    }
    EXPECT_EQ(wrong, 0);
}

} // namespace
