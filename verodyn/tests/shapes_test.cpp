// Every operator against every pixel type, channel count and shape: accepted
// types give a result of the documented type and size, the others VERR_PIXEL_TYPE.
#include <functional>
#include <set>

#include "test_images.h"

using namespace testimg;

namespace {

using Op = std::function<Vstatus(const Vobject&, Vobject*)>;
const VPixelType kAll[] = {VPixelType::Byte, VPixelType::Uint2, VPixelType::Int4, VPixelType::Real,
                           VPixelType::Complex};
const std::set<VPixelType> kEvery(std::begin(kAll), std::end(kAll));

struct OperatorRule {
    const char* name;
    Op op;
    std::set<VPixelType> accepted;
    const char* result_type;  // null: the input's type
    bool one_channel = false; // the result has one channel whatever the input
};

const OperatorRule kRules[] = {
    {"invert_image", invert_image, {VPixelType::Byte}, nullptr},
    {"fft_image", fft_image, {VPixelType::Byte, VPixelType::Real}, "complex"},
    {"fft_image_inv", fft_image_inv, {VPixelType::Complex}, "real"},
    {"phase_deg", phase_deg, {VPixelType::Complex}, "real"},
    {"power_real", power_real, {VPixelType::Complex}, "real"},
    {"power_byte", power_byte, {VPixelType::Complex}, "byte"},
    {"convert_image_type",
     [](const Vobject& in, Vobject* out) { return convert_image_type(in, out, "byte"); },
     {VPixelType::Byte, VPixelType::Uint2, VPixelType::Int4, VPixelType::Real},
     "byte"},
    {"access_channel", [](const Vobject& in, Vobject* out) { return access_channel(in, out, 1); },
     kEvery, nullptr, true},
    {"crop_part",
     [](const Vobject& in, Vobject* out) { return crop_part(in, out, 0, 0, 1000, 1000); }, kEvery,
     nullptr},
    {"zoom_image_size",
     [](const Vobject& in, Vobject* out) {
         return zoom_image_size(in, out, in.image(0)->width(), in.image(0)->height(), "constant");
     },
     kEvery, nullptr},
    {"tile_images",
     [](const Vobject& in, Vobject* out) { return tile_images(in, out, 1, "horizontal"); }, kEvery,
     nullptr},
    {"add_image",
     [](const Vobject& in, Vobject* out) { return add_image(in, in, out, 1, 0); },
     {VPixelType::Byte, VPixelType::Real},
     nullptr},
    {"div_image",
     [](const Vobject& in, Vobject* out) { return div_image(in, in, out, 1, 0); },
     {VPixelType::Byte, VPixelType::Real},
     nullptr},
    {"bit_xor",
     [](const Vobject& in, Vobject* out) { return bit_xor(in, in, out); },
     {VPixelType::Byte, VPixelType::Uint2, VPixelType::Int4},
     nullptr},
};

class ShapesTest : public OperatorTest { };

TEST_F(ShapesTest, EveryOperatorHandlesEveryTypeChannelCountAndShape)
{
    for (const OperatorRule& rule : kRules)
        for (VPixelType type : kAll)
            for (int channels : {1, 3})
                for (const Shape& s : kShapes) {
                    const Vobject in(VImage::create(type, s.width, s.height, channels));
                    Vobject out;
                    const Vstatus status = rule.op(in, &out);
                    SCOPED_TRACE(std::string(rule.name) + " " + pixel_type_name(type) + " " +
                                 std::to_string(channels) + "ch " + std::to_string(s.width) + "x" +
                                 std::to_string(s.height));
                    if (!rule.accepted.count(type)) {
                        EXPECT_EQ(status, VERR_PIXEL_TYPE);
                        EXPECT_TRUE(out.empty());
                        continue;
                    }
                    ASSERT_EQ(status, V_OK);
                    const VImage& result = *out.image(0);
                    EXPECT_STREQ(pixel_type_name(result.type()),
                                 rule.result_type ? rule.result_type : pixel_type_name(type));
                    EXPECT_EQ(result.width(), s.width);
                    EXPECT_EQ(result.height(), s.height);
                    EXPECT_EQ(result.channels(), rule.one_channel ? 1 : channels);
                }
}

} // namespace
