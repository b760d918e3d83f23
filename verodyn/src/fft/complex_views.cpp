// Views of a complex image: phase_deg, power_real, power_byte.
#include <algorithm>
#include <cmath>
#include <complex>
#include <cstddef>
#include <cstdint>
#include <numbers>

#include "verodyn/src/ops/pixel_rules.h"
#include "verodyn/src/ops/unary.h"
#include <verodyn/extension.h>
#include <verodyn/operators.h>

using namespace verodyn;
using namespace verodyn::detail;

namespace {

// Runs `per_plane(in, out, count)` on every channel of a complex image into a
// new image of type `result_type`.
template <typename T, typename PerPlane>
Vstatus map_complex(const char* name, const Vobject& in, Vobject* out, VPixelType result_type,
                    PerPlane per_plane)
{
    return run_unary(
        name, in, out, [&](const VImage& image, std::shared_ptr<VImage>& result) -> Vstatus {
            if (image.type() != VPixelType::Complex)
                return VERR_PIXEL_TYPE;
            result = VImage::create(result_type, image.width(), image.height(), image.channels());
            for (int c = 0; c < image.channels(); ++c)
                per_plane(image.plane_as<std::complex<float>>(c), result->plane_as<T>(c),
                          image.pixel_count());
            return V_OK;
        });
}

} // namespace

Vstatus phase_deg(const Vobject& in, Vobject* out)
{
    return map_complex<float>("phase_deg", in, out, VPixelType::Real,
                              [](const std::complex<float>* z, float* target, std::size_t count) {
                                  constexpr double kDegrees = 180.0 / std::numbers::pi;
                                  for (std::size_t i = 0; i < count; ++i)
                                      target[i] = static_cast<float>(
                                          std::atan2(double(z[i].imag()), double(z[i].real())) *
                                          kDegrees);
                              });
}

Vstatus power_real(const Vobject& in, Vobject* out)
{
    return map_complex<float>("power_real", in, out, VPixelType::Real,
                              [](const std::complex<float>* z, float* target, std::size_t count) {
                                  for (std::size_t i = 0; i < count; ++i)
                                      target[i] = static_cast<float>(
                                          std::hypot(double(z[i].real()), double(z[i].imag())));
                              });
}

Vstatus power_byte(const Vobject& in, Vobject* out)
{
    return map_complex<std::uint8_t>(
        "power_byte", in, out, VPixelType::Byte,
        [](const std::complex<float>* z, std::uint8_t* target, std::size_t count) {
            double largest = 0.0;
            for (std::size_t i = 0; i < count; ++i)
                largest = std::max(largest, std::hypot(double(z[i].real()), double(z[i].imag())));
            const bool scaled = largest > 0.0 && std::isfinite(largest);
            // Dividing last rounds 255 x |z| / largest once, so that a modulus halfway
            // between two levels (255 x |z| exact) rounds up: multiplying by
            // 255 / largest may fall just short of the half.
            for (std::size_t i = 0; i < count; ++i)
                target[i] =
                    scaled ? saturate_byte(255.0 *
                                           std::hypot(double(z[i].real()), double(z[i].imag())) /
                                           largest)
                           : 0;
        });
}
