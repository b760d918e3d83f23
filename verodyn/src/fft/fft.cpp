// fft_image and fft_image_inv: the full complex spectrum of each channel.
#include <algorithm>
#include <complex>
#include <cstddef>
#include <cstdint>

#include "fft_plans.h"
#include "verodyn/extension.h"
#include "verodyn/operators.h"

using namespace verodyn;
using namespace verodyn::detail;

namespace {

template <typename T> void load_plane(const T* in, std::complex<float>* out, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i)
        out[i] = std::complex<float>(static_cast<float>(in[i]), 0.0f);
}

} // namespace

Vstatus fft_image(const Vobject& in, Vobject* out)
{
    return run("fft_image", [&]() -> Vstatus {
        if (!out)
            return VERR_PARAM;
        const VImage* image = first_image(in);
        if (!image)
            return VERR_NO_OBJECT;
        if (image->type() != VPixelType::Byte && image->type() != VPixelType::Real)
            return VERR_PIXEL_TYPE;
        auto result =
            VImage::create(VPixelType::Complex, image->width(), image->height(), image->channels());
        for (int c = 0; c < image->channels(); ++c) {
            auto* spectrum = result->plane_as<std::complex<float>>(c);
            if (image->type() == VPixelType::Byte)
                load_plane(image->plane_as<std::uint8_t>(c), spectrum, image->pixel_count());
            else
                load_plane(image->plane_as<float>(c), spectrum, image->pixel_count());
            fft_in_place(spectrum, image->width(), image->height(), FftDirection::Forward);
        }
        *out = Vobject(std::move(result));
        return V_OK;
    });
}

Vstatus fft_image_inv(const Vobject& in, Vobject* out)
{
    return run("fft_image_inv", [&]() -> Vstatus {
        if (!out)
            return VERR_PARAM;
        const VImage* image = first_image(in);
        if (!image)
            return VERR_NO_OBJECT;
        if (image->type() != VPixelType::Complex)
            return VERR_PIXEL_TYPE;
        auto result =
            VImage::create(VPixelType::Real, image->width(), image->height(), image->channels());
        auto scratch = VImage::create(VPixelType::Complex, image->width(), image->height(), 1);
        auto* samples = scratch->plane_as<std::complex<float>>(0);
        const std::size_t count = image->pixel_count();
        const double scale = 1.0 / static_cast<double>(count);
        for (int c = 0; c < image->channels(); ++c) {
            const auto* spectrum = image->plane_as<std::complex<float>>(c);
            std::copy(spectrum, spectrum + count, samples);
            fft_in_place(samples, image->width(), image->height(), FftDirection::Inverse);
            float* target = result->plane_as<float>(c);
            for (std::size_t i = 0; i < count; ++i)
                target[i] = static_cast<float>(samples[i].real() * scale);
        }
        *out = Vobject(std::move(result));
        return V_OK;
    });
}
