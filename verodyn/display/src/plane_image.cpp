#include "plane_image.h"

#include <cstdint>
#include <cstring>

namespace verodyn::display {

namespace {

void copy_grey(const VImage& image, QImage& target)
{
    const int width = image.width();
    const auto* source = image.plane_as<std::uint8_t>(0);
    const qsizetype stride = target.bytesPerLine();
    uchar* bits = target.bits();
    if (stride == width) {
        std::memcpy(bits, source, image.plane_bytes());
        return;
    }
    for (int y = 0; y < image.height(); ++y)
        std::memcpy(bits + y * stride, source + std::size_t(y) * width, std::size_t(width));
}

void interleave_rgb(const VImage& image, QImage& target)
{
    const int width = image.width();
    const auto* red = image.plane_as<std::uint8_t>(0);
    const auto* green = image.plane_as<std::uint8_t>(1);
    const auto* blue = image.plane_as<std::uint8_t>(2);
    const qsizetype stride = target.bytesPerLine();
    uchar* bits = target.bits();
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(bits + y * stride);
        const std::size_t offset = std::size_t(y) * width;
        const std::uint8_t* r = red + offset;
        const std::uint8_t* g = green + offset;
        const std::uint8_t* b = blue + offset;
        for (int x = 0; x < width; ++x)
            row[x] = 0xFF000000u | std::uint32_t(r[x]) << 16 | std::uint32_t(g[x]) << 8 | b[x];
    }
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
    if (image.channels() == 1)
        copy_grey(image, target);
    else
        interleave_rgb(image, target);
    return true;
}

} // namespace verodyn::display
