#include "pixel_conversion.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include <workers/cpu_clones.h>
#include <workers/worker_pool.h>

namespace directshow {
namespace {

// To 0..255 by comparisons rather than a table lookup, so that the YUV loops
// vectorise.
inline uint8_t Clamp16(int16_t x) { return uint8_t(std::clamp<int16_t>(x, 0, 255)); }

inline uint8_t Grey(unsigned b, unsigned g, unsigned r)
{
    return uint8_t((145971 * b + 596793 * g + 303858 * r + 512) >> 20);
}

// One pixel from luma `y` and the chroma terms of its group: each colour is
// (256 y + 128 + k x (c - 128)) >> 8, which is y + ((128 + k x (c - 128)) >> 8)
// since 256 y drops out of the shift whole. The terms are worked out in 16-bit
// lanes: red and green halve their even factors (358 = 2 x 179, -88 = 2 x -44,
// -182 = 2 x -91) and shift by 7; blue takes 453 = 256 + 197 and its 256 (u - 128)
// out of the shift too. Every product then stays within +-25216 and every sum
// within +-227 + 255.
struct Chroma {
    int16_t red, green, blue;

    Chroma(int16_t u, int16_t v)
    {
        const int16_t du = int16_t(u - 128), dv = int16_t(v - 128);
        red = int16_t((64 + 179 * dv) >> 7);
        green = int16_t((64 - 44 * du - 91 * dv) >> 7);
        blue = int16_t(du + ((128 + 197 * du) >> 8));
    }

    void Pixel(int16_t y, uint8_t* r, uint8_t* g, uint8_t* b) const
    {
        *r = Clamp16(int16_t(y + red));
        *g = Clamp16(int16_t(y + green));
        *b = Clamp16(int16_t(y + blue));
    }
};

// Frames are spread over the workers in bands of about 64K pixels; smaller
// frames stay on the calling thread.
constexpr int kBandPixels = 1 << 16;

int BytesPerPixel(PixelFormat format)
{
    switch (format) {
    case PixelFormat::RGB32:
        return 4;
    case PixelFormat::RGB24:
        return 3;
    case PixelFormat::RGB565:
    case PixelFormat::RGB555:
        return 2;
    default:
        return 1;
    }
}

// Bytes the conversion reads from a frame of `pixels` pixels.
std::size_t BytesRead(PixelFormat format, int32_t mode, std::size_t pixels)
{
    switch (format) {
    case PixelFormat::UYVY:
        return mode == kColourRgb ? pixels / 2 * 4 : pixels * 2;
    case PixelFormat::Y411:
    case PixelFormat::Y41P: {
        if (mode == kColourRgb)
            return pixels / 4 * 6;
        const std::size_t pairs = pixels / 2;
        return pairs == 0 ? 0 : (pairs - 1) / 2 * 6 + ((pairs - 1) % 2 ? 6 : 3);
    }
    default:
        return pixels * std::size_t(BytesPerPixel(format));
    }
}

// Source row of output row `row`.
const uint8_t* Row(const FrameLayout& l, const uint8_t* frame, int32_t row)
{
    const int32_t source = l.bottom_up ? l.height - 1 - row : row;
    return frame +
           std::size_t(source) * std::size_t(l.width) * std::size_t(BytesPerPixel(l.format));
}

// A row of B, G, R bytes `Step` apart into red, green, blue or (no green) grey.
template <std::size_t Step>
ONDULA_AVX2_CLONES void BgrRow(const uint8_t* s, std::size_t width, bool colour, uint8_t* red,
                               uint8_t* green, uint8_t* blue)
{
    if (colour)
        for (std::size_t x = 0; x < width; ++x, s += Step) {
            red[x] = s[2];
            green[x] = s[1];
            blue[x] = s[0];
        }
    else
        for (std::size_t x = 0; x < width; ++x, s += Step)
            red[x] = Grey(s[0], s[1], s[2]);
}

void RgbRows(const FrameLayout& l, int32_t mode, const uint8_t* frame, uint8_t* const* planes)
{
    const std::size_t width = std::size_t(l.width);
    ondula::ParallelFor(l.height, std::max(1, kBandPixels / l.width), [&](int first, int end) {
        for (int32_t row = first; row < end; ++row) {
            const uint8_t* s = Row(l, frame, row);
            const std::size_t at = std::size_t(row) * width;
            const bool colour = mode == kColourRgb && l.format != PixelFormat::RGB8;
            uint8_t* grey = planes[0] + at;
            uint8_t* red = planes[0] + at;
            uint8_t* green = colour ? planes[1] + at : nullptr;
            uint8_t* blue = colour ? planes[2] + at : nullptr;
            switch (l.format) {
            case PixelFormat::RGB8:
                std::memcpy(grey, s, width);
                break;
            case PixelFormat::RGB32:
                BgrRow<4>(s, width, colour, red, green, blue);
                break;
            case PixelFormat::RGB24:
                BgrRow<3>(s, width, colour, red, green, blue);
                break;
            case PixelFormat::RGB565:
                for (std::size_t x = 0; x < width; ++x, s += 2) {
                    const unsigned d = unsigned(s[0]) | unsigned(s[1]) << 8;
                    if (colour) {
                        red[x] = uint8_t(s[1] & 0xF8);
                        green[x] = uint8_t((d >> 3) & 0xFC);
                        blue[x] = uint8_t(s[0] << 3);
                    } else {
                        grey[x] = Grey((d & 0x1F) << 3, (d >> 3) & 0xFC, (d >> 11) << 3);
                    }
                }
                break;
            default: // RGB555
                for (std::size_t x = 0; x < width; ++x, s += 2) {
                    const unsigned d = unsigned(s[0]) | unsigned(s[1]) << 8;
                    if (colour) {
                        red[x] = uint8_t((d >> 7) & 0xF8);
                        green[x] = uint8_t((d >> 2) & 0xF8);
                        blue[x] = uint8_t(s[0] << 3);
                    } else {
                        grey[x] = Grey((d & 0x1F) << 3, (d >> 2) & 0xF8, (d >> 7) & 0xF8);
                    }
                }
            }
        }
    });
}

// The two pixels of a pair with one chroma term, as the two bytes of a plane.
inline void PixelPair(int16_t y0, int16_t y1, int16_t term, uint8_t* plane)
{
    const uint16_t two = uint16_t(Clamp16(int16_t(y0 + term)) | Clamp16(int16_t(y1 + term)) << 8);
    std::memcpy(plane, &two, 2);
}

// A pair is read as one 32-bit word and written as two bytes of each plane, which
// spares the vectorised loop the shuffles of four interleaved byte streams.
ONDULA_AVX2_CLONES void UyvyPairs(std::size_t pairs, const uint8_t* s, uint8_t* r, uint8_t* g,
                                  uint8_t* b)
{
    static_assert(std::endian::native == std::endian::little, "U is a pair's low byte");
    for (std::size_t p = 0; p < pairs; ++p) {
        uint32_t word;
        std::memcpy(&word, s + 4 * p, 4);
        const int16_t u = int16_t(word & 255), y0 = int16_t(word >> 8 & 255),
                      v = int16_t(word >> 16 & 255), y1 = int16_t(word >> 24);
        const Chroma c(u, v);
        PixelPair(y0, y1, c.red, r + 2 * p);
        PixelPair(y0, y1, c.green, g + 2 * p);
        PixelPair(y0, y1, c.blue, b + 2 * p);
    }
}

void UyvyFrame(std::size_t pixels, int32_t mode, const uint8_t* s, uint8_t* const* planes)
{
    uint8_t* r = planes[0];
    if (mode != kColourRgb) {
        for (std::size_t i = 0; i < pixels; ++i)
            r[i] = s[2 * i + 1];
        return;
    }
    const int pairs = int(pixels / 2);
    ondula::ParallelFor(pairs, kBandPixels / 2, [&](int first, int end) {
        const std::size_t at = 2 * std::size_t(first);
        UyvyPairs(std::size_t(end - first), s + 2 * at, r + at, planes[1] + at, planes[2] + at);
    });
}

void Yuv411Frame(std::size_t pixels, int32_t mode, const uint8_t* s, uint8_t* const* planes)
{
    uint8_t* r = planes[0];
    if (mode != kColourRgb) {
        for (std::size_t pair = 0; pair < pixels / 2; ++pair) {
            const uint8_t* group = s + pair / 2 * 6 + (pair % 2 ? 4 : 1);
            r[2 * pair] = group[0];
            r[2 * pair + 1] = group[1];
        }
        return;
    }
    uint8_t* g = planes[1];
    uint8_t* b = planes[2];
    static constexpr int kY[4] = {1, 2, 4, 5};
    for (std::size_t i = 0; i + 3 < pixels; i += 4, s += 6) {
        const Chroma c(s[0], s[3]);
        for (std::size_t k = 0; k < 4; ++k)
            c.Pixel(s[kY[k]], &r[i + k], &g[i + k], &b[i + k]);
    }
}

} // namespace

int ChannelCount(PixelFormat format, int32_t colour_mode)
{
    return format == PixelFormat::RGB8 || format == PixelFormat::Y800 || colour_mode == kColourGray
               ? 1
               : 3;
}

bool ConvertFrame(const FrameLayout& l, int32_t colour_mode, const uint8_t* frame, std::size_t size,
                  uint8_t* const* planes)
{
    if (l.width <= 0 || l.height <= 0)
        return l.format != PixelFormat::Unknown;
    const std::size_t pixels = std::size_t(l.width) * std::size_t(l.height);
    if (l.format == PixelFormat::Unknown || BytesRead(l.format, colour_mode, pixels) > size)
        return false;
    switch (l.format) {
    case PixelFormat::Y800:
        std::memcpy(planes[0], frame, pixels);
        break;
    case PixelFormat::UYVY:
        UyvyFrame(pixels, colour_mode, frame, planes);
        break;
    case PixelFormat::Y411:
    case PixelFormat::Y41P:
        Yuv411Frame(pixels, colour_mode, frame, planes);
        break;
    default:
        if (l.format == PixelFormat::RGB8 && !l.bottom_up)
            std::memcpy(planes[0], frame, pixels);
        else
            RgbRows(l, colour_mode, frame, planes);
    }
    return true;
}

} // namespace directshow
