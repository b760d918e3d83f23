#include <imageproc/plane_buffers.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <string_view>

#include <verodyn/operators.h>

#include <imageproc/quiet_library.h>

PlaneView ViewPlanes(const Vobject& image)
{
    PlaneView view;
    const auto& first = image.image(0);
    if (!first || first->type() != VPixelType::Byte)
        return view;
    int channels = first->channels();
    if (channels != 1 && channels != 3)
        return view;
    view.width = first->width();
    view.height = first->height();
    view.channels = channels;
    for (int c = 0; c < channels; ++c)
        view.planes[c] = first->plane_as<uint8_t>(c);
    return view;
}

std::size_t ImageFingerprint(const Vobject& image)
{
    std::size_t digest = image.count();
    const auto mix = [&digest](std::size_t value) {
        digest ^= value + 0x9E3779B97F4A7C15ULL + (digest << 6) + (digest >> 2);
    };
    for (std::size_t i = 0; i < image.count(); ++i) {
        const VImage& one = *image.image(i);
        mix(static_cast<std::size_t>(one.type()));
        mix(static_cast<std::size_t>(one.width()));
        mix(static_cast<std::size_t>(one.height()));
        mix(static_cast<std::size_t>(one.channels()));
        for (int c = 0; c < one.channels(); ++c)
            mix(std::hash<std::string_view>{}(
                std::string_view(static_cast<const char*>(one.plane(c)), one.plane_bytes())));
    }
    return digest;
}

ImageShape ShapeOf(const Vobject& image)
{
    const auto& first = image.image(0);
    return first ? ImageShape{first->width(), first->height(), first->channels()} : ImageShape{};
}

bool ReadPlanes(const Vobject& image, PlaneBuffers* planes)
{
    PlaneView view = ViewPlanes(image);
    if (view.channels == 0)
        return false;
    std::size_t n = std::size_t(view.width) * std::size_t(view.height);
    planes->width = view.width;
    planes->height = view.height;
    planes->channels = view.channels;
    for (int c = 0; c < 3; ++c)
        planes->planes[c].clear();
    for (int c = 0; c < view.channels; ++c)
        planes->planes[c].assign(view.planes[c], view.planes[c] + n);
    return true;
}

bool MakeImageFromPlanes(const PlaneBuffers& p, Vobject* image)
{
    QuietLibrary quiet;
    return (p.channels == 1 || p.channels == 3) && GenImageFromPlanes(p, image) == V_OK;
}

Vstatus GenImageFromPlanes(const PlaneBuffers& p, Vobject* image)
{
    if (p.channels == 1)
        return gen_image1(image, "byte", p.width, p.height, p.planes[0].data());
    return gen_image3(image, "byte", p.width, p.height, p.planes[0].data(), p.planes[1].data(),
                      p.planes[2].data());
}

PlaneCopy ReadThreePlanes(const Vobject& image, int width, int height, PlaneBuffers* planes)
{
    const PlaneView view = ViewPlanes(image);
    if (view.channels == 0 || width < 0 || height < 0)
        return PlaneCopy::NoImage;
    const std::size_t n = std::size_t(width) * std::size_t(height);
    planes->width = width;
    planes->height = height;
    planes->channels = view.channels;
    const bool sameSize = view.width == width && view.height == height;
    const int rows = std::min(height, view.height);
    const std::size_t columns = std::size_t(std::min(width, view.width));
    for (int c = 0; c < 3; ++c) {
        std::vector<uint8_t>& plane = planes->planes[c];
        const uint8_t* source = view.planes[view.channels == 3 ? c : 0];
        if (sameSize) {
            plane.assign(source, source + n);
            continue;
        }
        plane.assign(n, 0);
        for (int y = 0; y < rows; ++y)
            std::memcpy(plane.data() + std::size_t(y) * std::size_t(width),
                        source + std::size_t(y) * std::size_t(view.width), columns);
    }
    return sameSize ? PlaneCopy::Done : PlaneCopy::SizeDiffers;
}

PlaneBuffers TestPattern(int width, int height)
{
    PlaneBuffers p;
    p.width = width;
    p.height = height;
    p.channels = 3;
    std::size_t n = std::size_t(width) * std::size_t(height);
    for (auto& plane : p.planes)
        plane.resize(n);
    for (int y = 0; y < height; ++y) {
        uint8_t g = static_cast<uint8_t>(y * 255 / height);
        std::size_t row = std::size_t(y) * std::size_t(width);
        for (int x = 0; x < width; ++x) {
            uint8_t r = static_cast<uint8_t>(x * 255 / width);
            p.planes[0][row + x] = r;
            p.planes[1][row + x] = g;
            p.planes[2][row + x] = static_cast<uint8_t>(255 - r);
        }
    }
    return p;
}

int32_t GetPixelValue(const PlaneView& v, int x, int y)
{
    if (v.channels == 0 || x < 0 || y < 0 || x >= v.width || y >= v.height)
        return -1;
    std::size_t i = std::size_t(x) + std::size_t(v.width) * std::size_t(y);
    if (v.channels == 1)
        return v.planes[0][i];
    return PackRgb(v.planes[0][i], v.planes[1][i], v.planes[2][i]);
}

int PixelLuminance(int32_t packed, int channel)
{
    switch (channel) {
    case 0:
        return RedOf(packed);
    case 1:
        return GreenOf(packed);
    case 2:
        return BlueOf(packed);
    case 3:
        return GreyLevel(RedOf(packed), GreenOf(packed), BlueOf(packed));
    default:
        return 0;
    }
}
