#pragma once
// Raw DirectShow frames to the host's byte planes: one grey plane, or red,
// green and blue planes, in integer arithmetic. RGB rows are bottom-up when
// the format says so; YUV and Y800 frames are always top-down.
#include <cstddef>
#include <cstdint>

namespace directshow {

enum class PixelFormat { RGB32, RGB24, RGB565, RGB555, RGB8, Y800, UYVY, Y411, Y41P, Unknown };

enum : int32_t { kColourGray = 0, kColourRgb = 2 };

struct FrameLayout {
    PixelFormat format;
    int32_t width;
    int32_t height;
    bool bottom_up;
};

// Planes a grab delivers: 1 for RGB8, Y800 and colour mode gray, else 3.
int ChannelCount(PixelFormat format, int32_t colour_mode);

// Converts `size` bytes of a frame into the ChannelCount planes of width x
// height bytes each. False when the format is unknown or the frame holds
// fewer bytes than the conversion reads (nothing is written then).
bool ConvertFrame(const FrameLayout& layout, int32_t colour_mode, const uint8_t* frame,
                  std::size_t size, uint8_t* const* planes);

} // namespace directshow
