// add_image, sub_image, mult_image, div_image: (a op b) x factor + offset, pixel
// by pixel and channel by channel.
#include <cmath>
#include <cstddef>

#include "pixel_rules.h"
#include "rows.h"
#include <verodyn/extension.h>
#include <verodyn/operators.h>

using namespace verodyn;
using namespace verodyn::detail;

namespace {

enum class ArithOp { Add, Sub, Mult, Div };

template <typename T> T store(double value);
template <> std::uint8_t store<std::uint8_t>(double value) { return saturate_byte(value); }
template <> float store<float>(double value) { return static_cast<float>(value); }

template <typename T, ArithOp op>
void combine_plane(const T* a, const T* b, T* out, std::size_t count, double factor, double offset)
{
    for (std::size_t i = 0; i < count; ++i) {
        const double x = a[i], y = b[i];
        double value;
        if constexpr (op == ArithOp::Add)
            value = x + y;
        else if constexpr (op == ArithOp::Sub)
            value = x - y;
        else if constexpr (op == ArithOp::Mult)
            value = x * y;
        else {
            if (y == 0.0) {
                out[i] = T(0);
                continue;
            }
            value = x / y;
        }
        out[i] = store<T>(value * factor + offset);
    }
}

template <typename T, ArithOp op>
void combine_image(const VImage& a, const VImage& b, VImage& out, double factor, double offset)
{
    for_pixels(a, [&](std::size_t first, std::size_t count) {
        for (int c = 0; c < a.channels(); ++c)
            combine_plane<T, op>(a.plane_as<T>(c) + first, b.plane_as<T>(c) + first,
                                 out.plane_as<T>(c) + first, count, factor, offset);
    });
}

template <ArithOp op>
Vstatus arithmetic(const char* name, const Vobject& a, const Vobject& b, Vobject* out,
                   double factor, double offset)
{
    return run(name, [&]() -> Vstatus {
        if (!out || !std::isfinite(factor) || !std::isfinite(offset))
            return VERR_PARAM;
        const VImage* ia = first_image(a);
        const VImage* ib = first_image(b);
        if (Vstatus status = check_same_layout(ia, ib); status != V_OK)
            return status;
        if (ia->type() != VPixelType::Byte && ia->type() != VPixelType::Real)
            return VERR_PIXEL_TYPE;
        auto result = VImage::create(ia->type(), ia->width(), ia->height(), ia->channels());
        if (ia->type() == VPixelType::Byte)
            combine_image<std::uint8_t, op>(*ia, *ib, *result, factor, offset);
        else
            combine_image<float, op>(*ia, *ib, *result, factor, offset);
        *out = Vobject(std::move(result));
        return V_OK;
    });
}

} // namespace

Vstatus add_image(const Vobject& a, const Vobject& b, Vobject* out, double factor, double offset)
{
    return arithmetic<ArithOp::Add>("add_image", a, b, out, factor, offset);
}

Vstatus sub_image(const Vobject& a, const Vobject& b, Vobject* out, double factor, double offset)
{
    return arithmetic<ArithOp::Sub>("sub_image", a, b, out, factor, offset);
}

Vstatus mult_image(const Vobject& a, const Vobject& b, Vobject* out, double factor, double offset)
{
    return arithmetic<ArithOp::Mult>("mult_image", a, b, out, factor, offset);
}

Vstatus div_image(const Vobject& a, const Vobject& b, Vobject* out, double factor, double offset)
{
    return arithmetic<ArithOp::Div>("div_image", a, b, out, factor, offset);
}
