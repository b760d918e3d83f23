#include "plane_image.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

#include <workers/worker_pool.h>

namespace verodyn::display {

namespace {

// Scales `values` linearly into `out`: smallest finite value 0, largest 255.
void scale_to_bytes(const float* values, std::size_t count, std::uint8_t* out)
{
    float low = std::numeric_limits<float>::infinity(), high = -low;
    for (std::size_t i = 0; i < count; ++i)
        if (std::isfinite(values[i])) {
            low = std::min(low, values[i]);
            high = std::max(high, values[i]);
        }
    if (!(high > low)) {
        std::fill(out, out + count, std::uint8_t(0));
        return;
    }
    const double factor = 255.0 / (double(high) - double(low));
    for (std::size_t i = 0; i < count; ++i)
        out[i] = std::isfinite(values[i])
                     ? static_cast<std::uint8_t>((double(values[i]) - low) * factor + 0.5)
                     : 0;
}

// The byte plane shown for channel `c`: the image's own for "byte", else a
// scaled copy kept in `scaled`.
const std::uint8_t* shown_plane(const VImage& image, int c, std::vector<std::uint8_t>& scaled)
{
    if (image.type() == VPixelType::Byte)
        return image.plane_as<std::uint8_t>(c);
    const std::size_t count = image.pixel_count();
    scaled.resize(count);
    if (image.type() == VPixelType::Real) {
        scale_to_bytes(image.plane_as<float>(c), count, scaled.data());
        return scaled.data();
    }
    const auto* z = image.plane_as<std::complex<float>>(c);
    std::vector<float> modulus(count);
    for (std::size_t i = 0; i < count; ++i) {
        const double re = z[i].real(), im = z[i].imag();
        modulus[i] = static_cast<float>(std::sqrt(re * re + im * im));
    }
    scale_to_bytes(modulus.data(), count, scaled.data());
    return scaled.data();
}

void copy_grey(const VImage& image, const std::uint8_t* source, QImage& target)
{
    const int width = image.width();
    const qsizetype stride = target.bytesPerLine();
    uchar* bits = target.bits();
    if (stride == width) {
        std::memcpy(bits, source, image.pixel_count());
        return;
    }
    for (int y = 0; y < image.height(); ++y)
        std::memcpy(bits + y * stride, source + std::size_t(y) * width, std::size_t(width));
}

void interleave_rgb(const VImage& image, const std::uint8_t* const planes[3], QImage& target)
{
    const int width = image.width();
    const std::uint8_t* red = planes[0];
    const std::uint8_t* green = planes[1];
    const std::uint8_t* blue = planes[2];
    const qsizetype stride = target.bytesPerLine();
    uchar* bits = target.bits();
    // Rows in bands over the workers; the image's own memory only is touched.
    ondula::ParallelFor(image.height(), std::max(1, (1 << 16) / width), [=](int first, int end) {
        // Locals, not the closure's copies, which the stores might alias.
        const int w = width;
        for (int y = first; y < end; ++y) {
            auto* row = reinterpret_cast<std::uint32_t*>(bits + y * stride);
            const std::size_t offset = std::size_t(y) * w;
            const std::uint8_t* r = red + offset;
            const std::uint8_t* g = green + offset;
            const std::uint8_t* b = blue + offset;
            for (int x = 0; x < w; ++x)
                row[x] = 0xFF000000u | std::uint32_t(r[x]) << 16 | std::uint32_t(g[x]) << 8 | b[x];
        }
    });
}

} // namespace

bool planes_to_qimage(const VImage& image, QImage& target)
{
    const QImage::Format format =
        image.channels() == 1 ? QImage::Format_Grayscale8 : QImage::Format_RGB32;
    const QSize size(image.width(), image.height());
    if (target.size() != size || target.format() != format)
        target = QImage(size, format);
    if (target.isNull())
        return false;
    std::vector<std::uint8_t> scaled[3];
    const std::uint8_t* planes[3] = {};
    for (int c = 0; c < image.channels(); ++c)
        planes[c] = shown_plane(image, c, scaled[c]);
    if (image.channels() == 1)
        copy_grey(image, planes[0], target);
    else
        interleave_rgb(image, planes, target);
    return true;
}

} // namespace verodyn::display
