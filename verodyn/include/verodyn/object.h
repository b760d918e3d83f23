// Image objects: a Vobject is empty or a tuple of images; each image has one
// pixel type, one size and one or more channels.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <verodyn/export.h>
#include <verodyn/status.h>

enum class VPixelType { Byte, Uint2, Int4, Real, Complex };

// "byte" (uint8), "uint2" (uint16), "int4" (int32), "real" (float),
// "complex" (two floats: real part, imaginary part).
VERODYN_API const char* pixel_type_name(VPixelType type);
VERODYN_API bool parse_pixel_type(std::string_view name, VPixelType* type);
VERODYN_API std::size_t pixel_size(VPixelType type);

// One image. Each channel is an unpadded plane of width x height pixels, row by
// row, pixel (x, y) at index x + width * y; planes are 64-byte aligned.
class VImage {
public:
    // A zero-filled image; throws std::bad_alloc when memory is short.
    VERODYN_API static std::shared_ptr<VImage> create(VPixelType type, int width, int height,
                                                      int channels);

    VPixelType type() const { return type_; }
    int width() const { return width_; }
    int height() const { return height_; }
    int channels() const { return channels_; }
    std::size_t pixel_count() const { return std::size_t(width_) * std::size_t(height_); }
    std::size_t plane_bytes() const { return pixel_count() * pixel_size(type_); }

    VERODYN_API void* plane(int channel);
    VERODYN_API const void* plane(int channel) const;
    template <typename T> T* plane_as(int channel) { return static_cast<T*>(plane(channel)); }
    template <typename T> const T* plane_as(int channel) const
    {
        return static_cast<const T*>(plane(channel));
    }

    VImage(const VImage&) = delete;
    VImage& operator=(const VImage&) = delete;

private:
    // Gives the pixels back: unmaps those mapped on their own (`mapped` bytes),
    // else frees them.
    struct ReleasePixels {
        ReleasePixels() : mapped(0) { }
        explicit ReleasePixels(std::size_t mapped_bytes) : mapped(mapped_bytes) { }
        VERODYN_API void operator()(std::byte* p) const;
        std::size_t mapped;
    };
    VImage(VPixelType type, int width, int height, int channels);

    VPixelType type_;
    int width_;
    int height_;
    int channels_;
    std::unique_ptr<std::byte, ReleasePixels> data_;
};

// An image object. Copies share their images (as the handles of the library
// do): writing through a plane pointer is seen by every copy; copy_image makes
// an independent image.
class Vobject {
public:
    Vobject() = default;
    explicit Vobject(std::shared_ptr<VImage> image) { images_.push_back(std::move(image)); }

    bool empty() const { return images_.empty(); }
    std::size_t count() const { return images_.size(); }
    // The i-th image (0-based); null when there is none.
    VERODYN_API const std::shared_ptr<VImage>& image(std::size_t i = 0) const;

    VERODYN_API void append(const Vobject& other);
    void clear() { images_.clear(); }

private:
    std::vector<std::shared_ptr<VImage>> images_;
};
