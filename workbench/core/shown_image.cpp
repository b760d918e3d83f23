#include "shown_image.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdint>
#include <limits>
#include <vector>

namespace {

// Scales `values` into `out`: the smallest finite value 0, the largest 255.
void ScaleToBytes(const std::vector<float>& values, std::uint8_t* out)
{
    float low = std::numeric_limits<float>::infinity(), high = -low;
    for (float v : values)
        if (std::isfinite(v)) {
            low = std::min(low, v);
            high = std::max(high, v);
        }
    if (!(high > low)) {
        std::fill(out, out + values.size(), std::uint8_t(0));
        return;
    }
    const double factor = 255.0 / (double(high) - double(low));
    for (std::size_t i = 0; i < values.size(); ++i)
        out[i] = std::isfinite(values[i])
                     ? static_cast<std::uint8_t>((double(values[i]) - low) * factor + 0.5)
                     : 0;
}

// The values of channel `c` on the scale they are shown on.
std::vector<float> ShownValues(const VImage& image, int c, bool spectrum)
{
    const std::size_t count = image.pixel_count();
    std::vector<float> values(count);
    if (image.type() == VPixelType::Complex) {
        const auto* z = image.plane_as<std::complex<float>>(c);
        for (std::size_t i = 0; i < count; ++i)
            values[i] = static_cast<float>(std::log1p(std::abs(std::complex<double>(z[i]))));
        return values;
    }
    const float* v = image.plane_as<float>(c);
    values.assign(v, v + count);
    if (spectrum && std::none_of(values.begin(), values.end(), [](float x) { return x < 0; }))
        for (float& x : values)
            x = std::log1p(x);
    return values;
}

} // namespace

bool ShownImage(const Vobject& image, bool spectrum, Vobject* shown)
{
    const std::shared_ptr<VImage>& in = image.image();
    if (!in)
        return false;
    if (in->type() == VPixelType::Byte) {
        *shown = image;
        return true;
    }
    if (in->type() != VPixelType::Real && in->type() != VPixelType::Complex)
        return false;
    auto out = VImage::create(VPixelType::Byte, in->width(), in->height(), in->channels());
    for (int c = 0; c < in->channels(); ++c)
        ScaleToBytes(ShownValues(*in, c, spectrum), out->plane_as<std::uint8_t>(c));
    *shown = Vobject(std::move(out));
    return true;
}
