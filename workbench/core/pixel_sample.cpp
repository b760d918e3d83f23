#include "pixel_sample.h"

#include <cmath>
#include <complex>
#include <cstdint>
#include <cstdio>

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

std::string SampleValueText(double value)
{
    char text[64];
    const bool whole = std::fabs(value) < 1e15 && value == std::trunc(value);
    std::snprintf(text, sizeof text, whole ? "%.0f" : "%g", value);
    return text;
}
