// Per-pixel conversions of one image: invert_image, convert_image_type, access_channel.
#include <cstddef>
#include <cstring>

#include "pixel_rules.h"
#include "rows.h"
#include "unary.h"
#include <verodyn/extension.h>
#include <verodyn/operators.h>

using namespace verodyn;
using namespace verodyn::detail;

namespace {

template <typename To> To convert_value(double value);
template <> std::uint8_t convert_value<std::uint8_t>(double value) { return saturate_byte(value); }
template <> float convert_value<float>(double value) { return static_cast<float>(value); }

template <typename From, typename To>
void convert_plane(const VImage& image, const From* in, To* out)
{
    for_pixels(image, [&](std::size_t first, std::size_t count) {
        for (std::size_t i = first; i < first + count; ++i)
            out[i] = convert_value<To>(static_cast<double>(in[i]));
    });
}

template <typename To> bool convert_image(const VImage& in, VImage& out)
{
    for (int c = 0; c < in.channels(); ++c) {
        To* target = out.plane_as<To>(c);
        switch (in.type()) {
        case VPixelType::Byte:
            convert_plane(in, in.plane_as<std::uint8_t>(c), target);
            break;
        case VPixelType::Uint2:
            convert_plane(in, in.plane_as<std::uint16_t>(c), target);
            break;
        case VPixelType::Int4:
            convert_plane(in, in.plane_as<std::int32_t>(c), target);
            break;
        case VPixelType::Real:
            convert_plane(in, in.plane_as<float>(c), target);
            break;
        case VPixelType::Complex:
            return false;
        }
    }
    return true;
}

} // namespace

Vstatus invert_image(const Vobject& in, Vobject* out)
{
    return run_unary(
        "invert_image", in, out,
        [](const VImage& image, std::shared_ptr<VImage>& result) -> Vstatus {
            if (image.type() != VPixelType::Byte)
                return VERR_PIXEL_TYPE;
            result = VImage::create(image.type(), image.width(), image.height(), image.channels());
            for_pixels(image, [&](std::size_t first, std::size_t count) {
                for (int c = 0; c < image.channels(); ++c) {
                    const std::uint8_t* source = image.plane_as<std::uint8_t>(c) + first;
                    std::uint8_t* target = result->plane_as<std::uint8_t>(c) + first;
                    for (std::size_t i = 0; i < count; ++i)
                        target[i] = static_cast<std::uint8_t>(255 - source[i]);
                }
            });
            return V_OK;
        });
}

Vstatus convert_image_type(const Vobject& in, Vobject* out, const char* type_name)
{
    return run("convert_image_type", [&]() -> Vstatus {
        VPixelType target;
        if (!out || !type_name || !parse_pixel_type(type_name, &target) ||
            (target != VPixelType::Byte && target != VPixelType::Real))
            return VERR_PARAM;
        const VImage* image = first_image(in);
        if (!image)
            return VERR_NO_OBJECT;
        auto result = VImage::create(target, image->width(), image->height(), image->channels());
        const bool converted = target == VPixelType::Byte
                                   ? convert_image<std::uint8_t>(*image, *result)
                                   : convert_image<float>(*image, *result);
        if (!converted)
            return VERR_PIXEL_TYPE;
        *out = Vobject(std::move(result));
        return V_OK;
    });
}

Vstatus access_channel(const Vobject& in, Vobject* out, int channel)
{
    return run_unary("access_channel", in, out,
                     [&](const VImage& image, std::shared_ptr<VImage>& result) -> Vstatus {
                         if (channel < 1 || channel > image.channels())
                             return VERR_CHANNEL;
                         result = VImage::create(image.type(), image.width(), image.height(), 1);
                         std::memcpy(result->plane(0), image.plane(channel - 1),
                                     image.plane_bytes());
                         return V_OK;
                     });
}
