#include <sys/mman.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <limits>
#include <new>

#include <verodyn/object.h>

namespace {

// Each pixel type's name and size in bytes, in the order of VPixelType.
struct PixelTypeFacts {
    const char* name;
    std::size_t size;
};

constexpr PixelTypeFacts kPixelTypes[] = {
    {"byte", 1}, {"uint2", 2}, {"int4", 4}, {"real", 4}, {"complex", 8}};
static_assert(std::size(kPixelTypes) == std::size_t(VPixelType::Complex) + 1);

// A value outside the enum reads as a byte.
const PixelTypeFacts& facts_of(VPixelType type)
{
    const auto index = std::size_t(type);
    return kPixelTypes[index < std::size(kPixelTypes) ? index : 0];
}

} // namespace

const char* pixel_type_name(VPixelType type) { return facts_of(type).name; }

bool parse_pixel_type(std::string_view name, VPixelType* type)
{
    for (std::size_t i = 0; i < std::size(kPixelTypes); ++i)
        if (name == kPixelTypes[i].name) {
            *type = VPixelType(i);
            return true;
        }
    return false;
}

std::size_t pixel_size(VPixelType type) { return facts_of(type).size; }

void VImage::ReleasePixels::operator()(std::byte* p) const
{
    if (mapped)
        ::munmap(p, mapped);
    else
        std::free(p);
}

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

// The pixels of large images are mapped from the system on their own: they
// come cleared, so no pass clears them, and on huge pages where the system
// gives them on request, so a 6 MB plane takes 3 page faults instead of 1536,
// which would cost more than most operators' own work.
constexpr std::size_t kHugePage = std::size_t(2) << 20;

// `bytes` (a whole number of huge pages), starting on a huge page; null when
// the system refuses.
std::byte* map_pixels(std::size_t bytes)
{
    // One huge page more is mapped, then the ends are trimmed.
    const std::size_t length = bytes + kHugePage;
    void* mapping =
        ::mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapping == MAP_FAILED)
        return nullptr;
    auto* base = static_cast<std::byte*>(mapping);
    const std::size_t head =
        (kHugePage - reinterpret_cast<std::uintptr_t>(base) % kHugePage) % kHugePage;
    if (head > 0)
        ::munmap(base, head);
    ::munmap(base + head + bytes, length - head - bytes);
    ::madvise(base + head, bytes, MADV_HUGEPAGE);
    return base + head;
}
} // namespace

std::shared_ptr<VImage> VImage::create(VPixelType type, int width, int height, int channels)
{
    if (width <= 0 || height <= 0 || channels <= 0)
        throw std::bad_alloc();
    // A plane of more bytes than a size can count would wrap to a small one.
    const std::size_t pixels = std::size_t(width) * std::size_t(height);
    if (pixels > (std::numeric_limits<std::size_t>::max() - kAlign) / pixel_size(type))
        throw std::bad_alloc();
    const std::size_t plane = pixels * pixel_size(type);
    const std::size_t stride = aligned_plane_bytes(plane);
    if (stride > std::numeric_limits<std::size_t>::max() / std::size_t(channels))
        throw std::bad_alloc();
    const std::size_t total = stride * std::size_t(channels);
    std::unique_ptr<std::byte, ReleasePixels> memory;
    if (total >= 2 * kHugePage) {
        if (total > std::numeric_limits<std::size_t>::max() - 2 * kHugePage)
            throw std::bad_alloc();
        const std::size_t mapped = (total + kHugePage - 1) / kHugePage * kHugePage;
        memory = {map_pixels(mapped), ReleasePixels{mapped}};
    } else {
        memory.reset(static_cast<std::byte*>(std::aligned_alloc(kAlign, total)));
        if (memory)
            std::memset(memory.get(), 0, total);
    }
    if (!memory)
        throw std::bad_alloc();
    std::shared_ptr<VImage> image(new VImage(type, width, height, channels));
    image->data_ = std::move(memory);
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
