// Byte planes: the exchange format between the imaging library and the
// program's own algorithms, and the pixel rules built on it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include <verodyn/object.h>

// One (grey) or three (red, green, blue) planes of width x height bytes,
// row-major without padding, pixel (x, y) at index x + width * y.
struct PlaneBuffers {
    int width = 0;
    int height = 0;
    int channels = 0;
    std::vector<uint8_t> planes[3];
};

// Copies the planes of a one- or three-channel "byte" image; false when the
// object holds no such image.
bool ReadPlanes(const Vobject& image, PlaneBuffers* planes);

// A new "byte" image copied from one or three planes; false on failure (the
// library's failure is not thrown, whatever its check mode).
bool MakeImageFromPlanes(const PlaneBuffers& planes, Vobject* image);
// The same under the library's check mode: the status, or its exception.
Vstatus GenImageFromPlanes(const PlaneBuffers& planes, Vobject* image);

// How ReadThreePlanes went.
enum class PlaneCopy { Done, SizeDiffers, NoImage };

// The planes R, G, B of a one- or three-channel "byte" image, each of width x
// height, the size its document states; a one-channel image gives its grey
// plane three times and `channels` 1. No byte beyond the image is read: when
// its size differs, the part inside both sizes is copied, the rest is 0, and
// SizeDiffers is returned. NoImage (planes untouched) when there is no such image.
PlaneCopy ReadThreePlanes(const Vobject& image, int width, int height, PlaneBuffers* planes);

// The three-channel gradient of a new document: R = x * 255 / width,
// G = y * 255 / height, B = 255 - R.
PlaneBuffers TestPattern(int width, int height);

// Read-only access to the planes of an image, taken in place.
struct PlaneView {
    int width = 0;
    int height = 0;
    int channels = 0;
    const uint8_t* planes[3] = {nullptr, nullptr, nullptr};
};

// The planes of the first image of `image`, in place; channels 0 when it has
// no one- or three-channel "byte" image.
PlaneView ViewPlanes(const Vobject& image);

// Size and channel count of the first image of `image`, whatever its pixel
// type; all 0 without an image.
struct ImageShape {
    int width = 0;
    int height = 0;
    int channels = 0;
};
ImageShape ShapeOf(const Vobject& image);

// A digest of the pixel type, size and pixels of every image of `image`: equal
// digests tell an image that has not changed.
std::size_t ImageFingerprint(const Vobject& image);

// The grey level or the packed 0x00BBGGRR value of pixel (x, y); -1 outside.
int32_t GetPixelValue(const PlaneView& view, int x, int y);

// The grey level of a colour: (30 R + 59 G + 11 B) / 100, which is R when R = G = B.
inline int GreyLevel(int r, int g, int b) { return (30 * r + 59 * g + 11 * b) / 100; }

// Channel 0 red byte, 1 green byte, 2 blue byte, 3 (30 R + 59 G + 11 B) / 100,
// any other channel 0.
int PixelLuminance(int32_t packed, int channel);

inline int RedOf(int32_t packed) { return packed & 0xFF; }
inline int GreenOf(int32_t packed) { return (packed >> 8) & 0xFF; }
inline int BlueOf(int32_t packed) { return (packed >> 16) & 0xFF; }
inline int32_t PackRgb(int r, int g, int b) { return r | (g << 8) | (b << 16); }
