// Device-independent bitmaps, as TWAIN sources hand them, into host planes.
// A bitmap is a 40-byte (or longer) header, a palette or colour masks, and
// rows padded to 4 bytes, bottom row first unless the height is negative.
// Every read stays inside the block the bitmap came in.
#pragma once

#include <cstddef>
#include <cstdint>

namespace twain_codec {

// What a bitmap gives a grab, and where its pixels are.
struct DibImage {
    // The images and the fields the grab writes back.
    int32_t width = 0;
    int32_t height = 0;
    int32_t channels = 0;   // 1 or 3
    int32_t pixel_kind = 0; // BYTE_IMAGE or UINT2_IMAGE
    int32_t bits_per_channel = 0;
    const char* color_space = "";
    // The pixels.
    int32_t bit_count = 0;
    bool top_down = false;
    const uint8_t* rows = nullptr; // the first row stored
    std::size_t row_bytes = 0;     // padded
    uint8_t palette[256][3] = {};  // red, green, blue; entries the bitmap lacks are black
};

// Reads the header of the `size` bytes at `bitmap`. A bitmap that a memory
// transfer built carries 256 palette entries at 16 bits a pixel. By bits a
// pixel: 1 one channel of 0 or 255 ("bw"); 4 three channels from the palette,
// high nibble first ("rgb", 4 written back); 8 one channel, the red of the
// palette entry ("gray"); 16 one 16-bit channel ("gray"); 24 and 32 three
// channels ("rgb", 8); 48 three 16-bit channels ("rgb", 16). Returns null, or
// the text of why the bitmap cannot be taken: compressed, another bit count,
// bit fields other than at 16 or 32 bits, or a header, palette or rows that
// do not fit in `size` bytes.
const char* ReadDib(const uint8_t* bitmap, std::size_t size, bool after_memory_transfer,
                    DibImage* image);

// Writes the pixels into `planes` (image.channels planes of width x height
// pixels of image.pixel_kind, top row first).
void ExtractDib(const DibImage& image, void* const planes[3]);

} // namespace twain_codec
