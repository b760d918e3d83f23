// fft_image and fft_image_inv: the full complex spectrum of each channel,
// computed through real transforms, which take half the work of complex ones.
#include <algorithm>
#include <complex>
#include <cstddef>
#include <cstdint>

#include "fft_plans.h"
#include "verodyn/src/ops/unary.h"
#include <verodyn/extension.h>
#include <verodyn/operators.h>

using namespace verodyn;
using namespace verodyn::detail;

namespace {

using Complex = std::complex<float>;

// Puts the rows of `plane` where a real transform in place takes them: each
// at the start of a row of a half spectrum (width / 2 + 1 values a row) at `half`.
template <typename T> void load_rows(const T* plane, Complex* half, int width, int height)
{
    const std::size_t w = std::size_t(width), columns = w / 2 + 1;
    for (int y = 0; y < height; ++y)
        std::copy_n(plane + std::size_t(y) * w, w,
                    reinterpret_cast<float*>(half + std::size_t(y) * columns));
}

// Turns the half spectrum at the start of `spectrum` into the full spectrum.
// The spectrum of real samples is Hermitian: the value at (x, y) is the
// conjugate of the one at (-x, -y), taken modulo the size, so the columns
// after width / 2 are conjugates of mirrored ones.
void complete_spectrum(Complex* spectrum, int width, int height)
{
    const std::size_t w = std::size_t(width), columns = w / 2 + 1;
    // Rows move to their full width, the last first: none is overwritten before it moved.
    for (std::size_t y = std::size_t(height); y-- > 1;)
        std::copy_backward(spectrum + y * columns, spectrum + y * columns + columns,
                           spectrum + y * w + columns);
    for (int y = 0; y < height; ++y) {
        Complex* row = spectrum + std::size_t(y) * w;
        const Complex* mirror = spectrum + std::size_t((height - y) % height) * w;
        for (std::size_t x = columns; x < w; ++x)
            row[x] = std::conj(mirror[w - x]);
    }
}

// The real part of an inverse transform is the inverse transform of the
// spectrum's Hermitian part, (Z(x, y) + conj(Z(-x, -y))) / 2, whose left half
// a real inverse transform takes: `half` receives that left half times 2 x `scale`.
void hermitian_half(const Complex* spectrum, Complex* half, int width, int height, float scale)
{
    const std::size_t w = std::size_t(width), columns = w / 2 + 1;
    for (int y = 0; y < height; ++y) {
        const Complex* row = spectrum + std::size_t(y) * w;
        const Complex* mirror = spectrum + std::size_t((height - y) % height) * w;
        Complex* target = half + std::size_t(y) * columns;
        target[0] = (row[0] + std::conj(mirror[0])) * scale;
        for (std::size_t x = 1; x < columns; ++x)
            target[x] = (row[x] + std::conj(mirror[w - x])) * scale;
    }
}

} // namespace

Vstatus fft_image(const Vobject& in, Vobject* out)
{
    return run_unary(
        "fft_image", in, out, [](const VImage& image, std::shared_ptr<VImage>& result) -> Vstatus {
            if (image.type() != VPixelType::Byte && image.type() != VPixelType::Real)
                return VERR_PIXEL_TYPE;
            const int width = image.width(), height = image.height();
            result = VImage::create(VPixelType::Complex, width, height, image.channels());
            // Each channel is transformed in its own plane, which holds the half
            // spectrum the transform gives before it is completed.
            for (int c = 0; c < image.channels(); ++c) {
                auto* spectrum = result->plane_as<Complex>(c);
                if (image.type() == VPixelType::Byte)
                    load_rows(image.plane_as<std::uint8_t>(c), spectrum, width, height);
                else
                    load_rows(image.plane_as<float>(c), spectrum, width, height);
                fft_real_to_half(spectrum, width, height);
                complete_spectrum(spectrum, width, height);
            }
            return V_OK;
        });
}

Vstatus fft_image_inv(const Vobject& in, Vobject* out)
{
    return run_unary("fft_image_inv", in, out,
                     [](const VImage& image, std::shared_ptr<VImage>& result) -> Vstatus {
                         if (image.type() != VPixelType::Complex)
                             return VERR_PIXEL_TYPE;
                         const int width = image.width(), height = image.height();
                         result = VImage::create(VPixelType::Real, width, height, image.channels());
                         auto half = VImage::create(VPixelType::Complex, width / 2 + 1, height, 1);
                         // Halves the sums of the Hermitian part and divides by the pixel count.
                         const float scale = float(0.5 / double(image.pixel_count()));
                         for (int c = 0; c < image.channels(); ++c) {
                             hermitian_half(image.plane_as<Complex>(c), half->plane_as<Complex>(0),
                                            width, height, scale);
                             fft_half_to_real(half->plane_as<Complex>(0),
                                              result->plane_as<float>(c), width, height);
                         }
                         return V_OK;
                     });
}
