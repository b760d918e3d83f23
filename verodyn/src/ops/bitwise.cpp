// bit_and, bit_or, bit_xor on the integer pixel types.
#include <cstddef>
#include <cstdint>
#include <functional>

#include "pixel_rules.h"
#include "rows.h"
#include <verodyn/extension.h>
#include <verodyn/operators.h>

using namespace verodyn;
using namespace verodyn::detail;

namespace {

template <typename T, typename Op> void combine_image(const VImage& a, const VImage& b, VImage& out)
{
    const Op op;
    for_pixels(a, [&](std::size_t first, std::size_t count) {
        for (int c = 0; c < a.channels(); ++c) {
            const T* pa = a.plane_as<T>(c) + first;
            const T* pb = b.plane_as<T>(c) + first;
            T* po = out.plane_as<T>(c) + first;
            for (std::size_t i = 0; i < count; ++i)
                po[i] = static_cast<T>(op(pa[i], pb[i]));
        }
    });
}

template <template <typename> class Op>
Vstatus bitwise(const char* name, const Vobject& a, const Vobject& b, Vobject* out)
{
    return run(name, [&]() -> Vstatus {
        if (!out)
            return VERR_PARAM;
        const VImage* ia = first_image(a);
        const VImage* ib = first_image(b);
        if (Vstatus status = check_same_layout(ia, ib); status != V_OK)
            return status;
        auto result = VImage::create(ia->type(), ia->width(), ia->height(), ia->channels());
        switch (ia->type()) {
        case VPixelType::Byte:
            combine_image<std::uint8_t, Op<std::uint8_t>>(*ia, *ib, *result);
            break;
        case VPixelType::Uint2:
            combine_image<std::uint16_t, Op<std::uint16_t>>(*ia, *ib, *result);
            break;
        case VPixelType::Int4:
            combine_image<std::int32_t, Op<std::int32_t>>(*ia, *ib, *result);
            break;
        default:
            return VERR_PIXEL_TYPE;
        }
        *out = Vobject(std::move(result));
        return V_OK;
    });
}

} // namespace

Vstatus bit_and(const Vobject& a, const Vobject& b, Vobject* out)
{
    return bitwise<std::bit_and>("bit_and", a, b, out);
}
Vstatus bit_or(const Vobject& a, const Vobject& b, Vobject* out)
{
    return bitwise<std::bit_or>("bit_or", a, b, out);
}
Vstatus bit_xor(const Vobject& a, const Vobject& b, Vobject* out)
{
    return bitwise<std::bit_xor>("bit_xor", a, b, out);
}
