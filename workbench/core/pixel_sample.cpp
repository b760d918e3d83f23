#include "pixel_sample.h"

#include <complex>
#include <cstdint>

#include <verodyn/object.h>

PixelSample SamplePixel(const Vobject& image, int x, int y)
{
    PixelSample sample;
    const auto& first = image.image(0);
    if (!first || first->type() == VPixelType::Byte)
        return sample;
    sample.parts = first->type() == VPixelType::Complex ? 2 : 1;
    if (x < 0 || y < 0 || x >= first->width() || y >= first->height())
        return sample;
    sample.onImage = true;
    const std::size_t i = std::size_t(x) + std::size_t(first->width()) * std::size_t(y);
    switch (first->type()) {
    case VPixelType::Uint2:
        sample.re = first->plane_as<std::uint16_t>(0)[i];
        break;
    case VPixelType::Int4:
        sample.re = first->plane_as<std::int32_t>(0)[i];
        break;
    case VPixelType::Real:
        sample.re = first->plane_as<float>(0)[i];
        break;
    default: {
        const std::complex<float> z = first->plane_as<std::complex<float>>(0)[i];
        sample.re = z.real();
        sample.im = z.imag();
    }
    }
    return sample;
}
