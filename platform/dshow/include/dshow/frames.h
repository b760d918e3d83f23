#pragma once
// The simulated picture: moving colour bars with the frame number in the
// first 16 pixels of the top row (white for a set bit, black for a clear one,
// lowest bit first), encoded from RGB into any subtype the devices offer, and
// decoded back by the colour converter.
#include <cstddef>
#include <cstdint>
#include <vector>

#include <dshow/export.h>
#include <dshow/guid.h>

namespace dshow::sim {

// Top-down R, G, B bytes.
struct Picture {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint8_t> rgb;
};

// What a capture card's source shows: the bars turned by that many bars,
// or nothing (black below the frame number's row).
inline constexpr int32_t kNoSignal = -1;

DSHOW_API Picture ReferencePicture(int32_t width, int32_t height, uint32_t frame,
                                   int32_t scene = 0);

// Bits a pixel of a subtype the simulation can encode, 0 for others.
DSHOW_API int BitsPerPixel(const GUID& subtype);
// Bytes of one frame: bits x width x height / 8.
DSHOW_API std::size_t FrameBytes(const GUID& subtype, int32_t width, int32_t height);

// Writes `picture` as `subtype` (RGB rows bottom-up when `bottom_up`) into
// `out`; false when the subtype is unknown or `capacity` too small.
DSHOW_API bool EncodePicture(const Picture& picture, const GUID& subtype, bool bottom_up,
                             uint8_t* out, std::size_t capacity);
// Reads a frame of `subtype`; false when unknown or `size` too small.
DSHOW_API bool DecodePicture(const GUID& subtype, bool bottom_up, int32_t width, int32_t height,
                             const uint8_t* data, std::size_t size, Picture* picture);

// The frame number carried by the first 16 pixels of a top row of grey (or
// single-channel) values.
DSHOW_API uint32_t FrameNumberOf(const uint8_t* top_row);

} // namespace dshow::sim
