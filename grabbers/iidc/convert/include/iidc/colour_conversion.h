// Conversion of an IIDC camera frame into the planes of host images: the
// image part is cut from the frame, in the frame's colour coding, and written
// as gray (one plane), rgb or yuv (three planes, in the order of the letters),
// 8 bits a channel or 9 to 16 bits in 16-bit words. No GUI, no camera: plain
// bytes in, planes out.
#pragma once

#include <cstddef>
#include <cstdint>

#include <fgint/fgint.h>

namespace iidc {

enum ColourSpace : int32_t { kGray = 0, kRgb = 1, kYuv = 2 };

// The fixed-point YUV tables of the 8-bit conversions. For sample i and
// c = i - 128, u[i] holds trunc(1.771 c) in its high and trunc(-0.3457 c) in
// its low 16 bits, v[i] trunc(1.4022 c) and trunc(-0.7144 c), each half a
// signed 16-bit value.
struct YuvTables {
    int32_t u[256];
    int32_t v[256];
};

// The tables, built at the first call.
const YuvTables& Tables();

inline int32_t High(int32_t entry) { return entry >> 16; }
inline int32_t Low(int32_t entry) { return int16_t(entry & 0xFFFF); }

struct ConversionContext {
    uint32_t coding;     // CM_Y8 ... CM_Y16 (fgcamera.h); others are refused
    int32_t color_space; // ColourSpace
    int32_t bits;        // 8, or 9 to 16 for 16-bit planes
    bool swap_bytes;     // Y16 samples are low byte first
    int32_t full_width;  // pixels a frame row
    int32_t width;       // the part, in output pixels
    int32_t height;
    int32_t start_column; // the part's first pixel in the frame
    int32_t start_row;
    int32_t x_step = 1; // frame pixels between two output pixels (2: every second)
    int32_t y_step = 1;
    const uint8_t* frame = nullptr;
    size_t frame_length = 0;
    void* planes[3] = {}; // width x height each, uint8_t or uint16_t
};

// Writes the part into the planes. FG_ERR_GRAB (5306) for a coding outside
// Y8 ... Y16 or a frame that does not hold the part; FG_ERR_RESOLUTION (5307)
// for a 16-bit part from YUV411 whose start column or width is not a multiple
// of 4, or to rgb or yuv from YUV422 whose start column or width is odd.
FGstatus ConvertFrame(const ConversionContext& context);

} // namespace iidc
