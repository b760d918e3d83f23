#include <sys/mman.h>

#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>

#include "verodyn/object.h"

const char* pixel_type_name(VPixelType type)
{
    switch (type) {
    case VPixelType::Byte:
        return "byte";
    case VPixelType::Uint2:
        return "uint2";
    case VPixelType::Int4:
        return "int4";
    case VPixelType::Real:
        return "real";
    case VPixelType::Complex:
        return "complex";
    }
    return "byte";
}

bool parse_pixel_type(std::string_view name, VPixelType* type)
{
    static constexpr VPixelType all[] = {VPixelType::Byte, VPixelType::Uint2, VPixelType::Int4,
                                         VPixelType::Real, VPixelType::Complex};
    for (VPixelType candidate : all)
        if (name == pixel_type_name(candidate)) {
            *type = candidate;
            return true;
        }
    return false;
}

std::size_t pixel_size(VPixelType type)
{
    switch (type) {
    case VPixelType::Byte:
        return 1;
    case VPixelType::Uint2:
        return 2;
    case VPixelType::Int4:
        return 4;
    case VPixelType::Real:
        return 4;
    case VPixelType::Complex:
        return 8;
    }
    return 1;
}

void VImage::FreeAligned::operator()(std::byte* p) const { std::free(p); }

VImage::VImage(VPixelType type, int width, int height, int channels)
    : type_(type), width_(width), height_(height), channels_(channels)
{
}

namespace {
constexpr std::size_t kAlign = 64;
std::size_t aligned_plane_bytes(std::size_t bytes)
{
    return (bytes + kAlign - 1) / kAlign * kAlign;
}

// Large images are put on huge pages where the system gives them on request:
// a 6 MB plane then takes 3 page faults instead of 1536, which would cost more
// than most operators' own work.
void* allocate_pixels(std::size_t bytes)
{
    constexpr std::size_t kHugePage = std::size_t(2) << 20;
    if (bytes < 2 * kHugePage)
        return std::aligned_alloc(kAlign, bytes);
    const std::size_t rounded = (bytes + kHugePage - 1) / kHugePage * kHugePage;
    void* memory = std::aligned_alloc(kHugePage, rounded);
    if (memory)
        ::madvise(memory, rounded, MADV_HUGEPAGE);
    return memory;
}
} // namespace

std::shared_ptr<VImage> VImage::create(VPixelType type, int width, int height, int channels)
{
    if (width <= 0 || height <= 0 || channels <= 0)
        throw std::bad_alloc();
    const std::size_t plane = std::size_t(width) * std::size_t(height) * pixel_size(type);
    const std::size_t stride = aligned_plane_bytes(plane);
    if (stride > std::numeric_limits<std::size_t>::max() / std::size_t(channels))
        throw std::bad_alloc();
    const std::size_t total = stride * std::size_t(channels);
    void* memory = allocate_pixels(total);
    if (!memory)
        throw std::bad_alloc();
    std::memset(memory, 0, total);
    std::shared_ptr<VImage> image(new VImage(type, width, height, channels));
    image->data_.reset(static_cast<std::byte*>(memory));
    return image;
}

void* VImage::plane(int channel)
{
    if (channel < 0 || channel >= channels_)
        return nullptr;
    return data_.get() + aligned_plane_bytes(plane_bytes()) * std::size_t(channel);
}

const void* VImage::plane(int channel) const { return const_cast<VImage*>(this)->plane(channel); }

const std::shared_ptr<VImage>& Vobject::image(std::size_t i) const
{
    static const std::shared_ptr<VImage> none;
    return i < images_.size() ? images_[i] : none;
}

void Vobject::append(const Vobject& other)
{
    images_.insert(images_.end(), other.images_.begin(), other.images_.end());
}
