#include <dshow/frames.h>

#include <algorithm>
#include <cstring>

#include <dshow/media_type.h>

namespace dshow::sim {
namespace {

enum class Layout { Rgb32, Rgb24, Rgb565, Rgb555, Grey, Uyvy, Yuy2, Yuv411 };

struct Format {
    GUID subtype;
    Layout layout;
    int bits;
    bool rgb; // rows follow the sign of the height
};

constexpr Format kFormats[] = {
    {MEDIASUBTYPE_RGB32, Layout::Rgb32, 32, true},
    {MEDIASUBTYPE_RGB24, Layout::Rgb24, 24, true},
    {MEDIASUBTYPE_RGB565, Layout::Rgb565, 16, true},
    {MEDIASUBTYPE_RGB555, Layout::Rgb555, 16, true},
    {MEDIASUBTYPE_RGB8, Layout::Grey, 8, true},
    {MEDIASUBTYPE_Y800, Layout::Grey, 8, false},
    {MEDIASUBTYPE_UYVY, Layout::Uyvy, 16, false},
    {MEDIASUBTYPE_YUY2, Layout::Yuy2, 16, false},
    {MEDIASUBTYPE_Y411, Layout::Yuv411, 12, false},
    {MEDIASUBTYPE_Y41P, Layout::Yuv411, 12, false},
};

const Format* FindFormat(const GUID& subtype)
{
    for (const Format& f : kFormats)
        if (f.subtype == subtype)
            return &f;
    return nullptr;
}

constexpr uint8_t kBars[8][3] = {{255, 255, 255}, {255, 255, 0}, {0, 255, 255}, {0, 255, 0},
                                 {255, 0, 255},   {255, 0, 0},   {0, 0, 255},   {0, 0, 0}};

uint8_t Clamp(int value) { return uint8_t(std::clamp(value, 0, 255)); }

int Luma(const uint8_t* p) { return (77 * p[0] + 150 * p[1] + 29 * p[2] + 128) >> 8; }

// Chroma of `count` neighbouring pixels from their mean colour.
void Chroma(const uint8_t* p, int count, uint8_t* u, uint8_t* v)
{
    int r = 0, g = 0, b = 0;
    for (int i = 0; i < count; ++i) {
        r += p[3 * i];
        g += p[3 * i + 1];
        b += p[3 * i + 2];
    }
    r /= count;
    g /= count;
    b /= count;
    *u = Clamp(((-43 * r - 85 * g + 128 * b + 128) >> 8) + 128);
    *v = Clamp(((128 * r - 107 * g - 21 * b + 128) >> 8) + 128);
}

void FromYuv(int y, int u, int v, uint8_t* p)
{
    u -= 128;
    v -= 128;
    p[0] = Clamp((256 * y + 358 * v + 128) >> 8);
    p[1] = Clamp((256 * y - 88 * u - 182 * v + 128) >> 8);
    p[2] = Clamp((256 * y + 453 * u + 128) >> 8);
}

// Index of the picture row that frame row `row` holds.
int32_t SourceRow(const Format& f, bool bottom_up, int32_t height, int32_t row)
{
    return f.rgb && bottom_up ? height - 1 - row : row;
}

void EncodePixels(const Format& f, const uint8_t* p, std::size_t count, uint8_t* out)
{
    for (std::size_t i = 0; i < count; ++i, p += 3) {
        const unsigned r = p[0], g = p[1], b = p[2];
        switch (f.layout) {
        case Layout::Rgb32:
            out[4 * i + 3] = 0;
            [[fallthrough]];
        case Layout::Rgb24: {
            uint8_t* q = out + i * (f.bits / 8);
            q[0] = uint8_t(b);
            q[1] = uint8_t(g);
            q[2] = uint8_t(r);
            break;
        }
        case Layout::Rgb565:
        case Layout::Rgb555: {
            const unsigned word = f.layout == Layout::Rgb565
                                      ? (r >> 3) << 11 | (g >> 2) << 5 | b >> 3
                                      : (r >> 3) << 10 | (g >> 3) << 5 | b >> 3;
            out[2 * i] = uint8_t(word);
            out[2 * i + 1] = uint8_t(word >> 8);
            break;
        }
        default:
            out[i] = uint8_t(Luma(p));
        }
    }
}

void DecodePixels(const Format& f, const uint8_t* in, std::size_t count, uint8_t* p)
{
    for (std::size_t i = 0; i < count; ++i, p += 3) {
        switch (f.layout) {
        case Layout::Rgb32:
        case Layout::Rgb24: {
            const uint8_t* q = in + i * (f.bits / 8);
            p[0] = q[2];
            p[1] = q[1];
            p[2] = q[0];
            break;
        }
        case Layout::Rgb565:
        case Layout::Rgb555: {
            const unsigned word = in[2 * i] | in[2 * i + 1] << 8;
            const bool wide = f.layout == Layout::Rgb565;
            p[0] = uint8_t((word >> (wide ? 11 : 10)) << 3);
            p[1] = uint8_t(wide ? (word >> 5 & 0x3F) << 2 : (word >> 5 & 0x1F) << 3);
            p[2] = uint8_t((word & 0x1F) << 3);
            break;
        }
        default:
            p[0] = p[1] = p[2] = in[i];
        }
    }
}

// Byte positions of U, V and the Y values of one chroma group.
struct Group {
    int pixels;
    int bytes;
    int u, v;
    int y[4];
};

constexpr Group GroupOf(Layout layout)
{
    switch (layout) {
    case Layout::Uyvy:
        return {2, 4, 0, 2, {1, 3}};
    case Layout::Yuy2:
        return {2, 4, 1, 3, {0, 2}};
    default:
        return {4, 6, 0, 3, {1, 2, 4, 5}};
    }
}

bool IsYuv(Layout layout)
{
    return layout == Layout::Uyvy || layout == Layout::Yuy2 || layout == Layout::Yuv411;
}

} // namespace

Picture ReferencePicture(int32_t width, int32_t height, uint32_t frame, int32_t scene)
{
    Picture picture{width, height, std::vector<uint8_t>(std::size_t(width) * height * 3)};
    uint8_t* p = picture.rgb.data();
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x, p += 3) {
            if (y == 0 && x < 16) {
                std::memset(p, (frame >> x & 1) ? 255 : 0, 3);
                continue;
            }
            if (scene == kNoSignal)
                continue;
            const uint64_t shifted = (uint64_t(x) + 4 * uint64_t(frame)) % uint64_t(width);
            std::memcpy(p, kBars[(shifted * 8 / uint64_t(width) + uint64_t(scene)) % 8], 3);
        }
    return picture;
}

int BitsPerPixel(const GUID& subtype)
{
    const Format* f = FindFormat(subtype);
    return f ? f->bits : 0;
}

std::size_t FrameBytes(const GUID& subtype, int32_t width, int32_t height)
{
    if (width <= 0 || height <= 0)
        return 0;
    return std::size_t(BitsPerPixel(subtype)) * std::size_t(width) * std::size_t(height) / 8;
}

bool EncodePicture(const Picture& picture, const GUID& subtype, bool bottom_up, uint8_t* out,
                   std::size_t capacity)
{
    const Format* f = FindFormat(subtype);
    const std::size_t bytes = FrameBytes(subtype, picture.width, picture.height);
    if (!f || bytes == 0 || bytes > capacity)
        return false;
    std::memset(out, 0, bytes);
    const std::size_t pixels = std::size_t(picture.width) * std::size_t(picture.height);
    if (IsYuv(f->layout)) {
        const Group g = GroupOf(f->layout);
        for (std::size_t i = 0; i + std::size_t(g.pixels) <= pixels; i += std::size_t(g.pixels)) {
            const uint8_t* p = &picture.rgb[3 * i];
            uint8_t* q = out + i / std::size_t(g.pixels) * std::size_t(g.bytes);
            Chroma(p, g.pixels, &q[g.u], &q[g.v]);
            for (int k = 0; k < g.pixels; ++k)
                q[g.y[k]] = uint8_t(Luma(p + 3 * k));
        }
        return true;
    }
    const std::size_t row_bytes = std::size_t(picture.width) * std::size_t(f->bits / 8);
    for (int32_t row = 0; row < picture.height; ++row)
        EncodePixels(*f,
                     &picture.rgb[std::size_t(SourceRow(*f, bottom_up, picture.height, row)) *
                                  std::size_t(picture.width) * 3],
                     std::size_t(picture.width), out + std::size_t(row) * row_bytes);
    return true;
}

bool DecodePicture(const GUID& subtype, bool bottom_up, int32_t width, int32_t height,
                   const uint8_t* data, std::size_t size, Picture* picture)
{
    const Format* f = FindFormat(subtype);
    const std::size_t bytes = FrameBytes(subtype, width, height);
    if (!f || bytes == 0 || bytes > size)
        return false;
    *picture = {width, height, std::vector<uint8_t>(std::size_t(width) * height * 3)};
    const std::size_t pixels = std::size_t(width) * std::size_t(height);
    if (IsYuv(f->layout)) {
        const Group g = GroupOf(f->layout);
        for (std::size_t i = 0; i + std::size_t(g.pixels) <= pixels; i += std::size_t(g.pixels)) {
            const uint8_t* q = data + i / std::size_t(g.pixels) * std::size_t(g.bytes);
            for (int k = 0; k < g.pixels; ++k)
                FromYuv(q[g.y[k]], q[g.u], q[g.v], &picture->rgb[3 * (i + std::size_t(k))]);
        }
        return true;
    }
    const std::size_t row_bytes = std::size_t(width) * std::size_t(f->bits / 8);
    for (int32_t row = 0; row < height; ++row)
        DecodePixels(*f, data + std::size_t(row) * row_bytes, std::size_t(width),
                     &picture->rgb[std::size_t(SourceRow(*f, bottom_up, height, row)) *
                                   std::size_t(width) * 3]);
    return true;
}

uint32_t FrameNumberOf(const uint8_t* top_row)
{
    uint32_t frame = 0;
    for (int bit = 0; bit < 16; ++bit)
        if (top_row[bit] > 127)
            frame |= 1u << bit;
    return frame;
}

} // namespace dshow::sim
