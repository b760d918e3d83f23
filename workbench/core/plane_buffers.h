// Byte planes: the exchange format between the imaging library and the
// program's own algorithms, and the pixel rules built on it.
#pragma once

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

// The grey level or the packed 0x00BBGGRR value of pixel (x, y); -1 outside.
int32_t GetPixelValue(const PlaneView& view, int x, int y);

// Channel 0 red byte, 1 green byte, 2 blue byte, 3 (30 R + 59 G + 11 B) / 100,
// any other channel 0.
int PixelLuminance(int32_t packed, int channel);

inline int RedOf(int32_t packed) { return packed & 0xFF; }
inline int GreenOf(int32_t packed) { return (packed >> 8) & 0xFF; }
inline int BlueOf(int32_t packed) { return (packed >> 16) & 0xFF; }
inline int32_t PackRgb(int r, int g, int b) { return r | (g << 8) | (b << 16); }
