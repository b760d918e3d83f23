#include <twain_codec/dib_decoder.h>

#include <cstring>

#include <fgint/fgint.h>

namespace twain_codec {

namespace {

constexpr uint32_t kHeaderBytes = 40;
constexpr uint32_t kRgb = 0;
constexpr uint32_t kBitFields = 3;

constexpr char kCompressed[] = "FGGrab error: Bitmap is compressed; not supported at the moment!";
constexpr char kBadBitCount[] = "FGGrab error: Bad value for biBitCount";
constexpr char kBadCompression[] = "FGGrab error: Bad value for biCompression";
constexpr char kOutside[] = "FGGrab error: Bitmap does not fit in its memory block";

uint16_t U16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }
uint32_t U32(const uint8_t* p) { return uint32_t(U16(p)) | uint32_t(U16(p + 2)) << 16; }

struct Depth {
    int32_t bits;
    int32_t channels;
    int32_t bits_per_channel;
    const char* color_space;
    int32_t pixel_kind;
};

constexpr Depth kDepths[] = {
    {1, 1, 1, "bw", BYTE_IMAGE},      {4, 3, 4, "rgb", BYTE_IMAGE},  {8, 1, 8, "gray", BYTE_IMAGE},
    {16, 1, 16, "gray", UINT2_IMAGE}, {24, 3, 8, "rgb", BYTE_IMAGE}, {32, 3, 8, "rgb", BYTE_IMAGE},
    {48, 3, 16, "rgb", UINT2_IMAGE},
};

// Palette entries (or masks, each an entry's size) before the rows.
uint64_t Entries(int32_t bits, uint32_t colours_used, bool bit_fields, bool after_memory)
{
    if (bit_fields)
        return 3;
    switch (bits) {
    case 1:
        return 2;
    case 4:
        return colours_used ? colours_used : 16;
    case 8:
        return colours_used ? colours_used : 256;
    case 16:
        return after_memory ? 256 : 0;
    }
    return 0;
}

void Indexed(const DibImage& image, const uint8_t* row, uint8_t* grey, uint8_t* const rgb[3])
{
    const int32_t w = image.width;
    if (image.bit_count == 1) {
        for (int32_t x = 0; x < w; ++x)
            grey[x] = (row[x >> 3] >> (7 - (x & 7)) & 1) ? 255 : 0;
    } else if (image.bit_count == 8) {
        for (int32_t x = 0; x < w; ++x)
            grey[x] = image.palette[row[x]][0];
    } else {
        for (int32_t x = 0; x < w; ++x) {
            const uint8_t* entry = image.palette[row[x >> 1] >> ((x & 1) ? 0 : 4) & 15];
            rgb[0][x] = entry[0];
            rgb[1][x] = entry[1];
            rgb[2][x] = entry[2];
        }
    }
}

// Blue, green, red bytes `Step` apart (a constant, so that the loop vectorises).
template <int Step> void Colour8(const uint8_t* row, int32_t w, uint8_t* r, uint8_t* g, uint8_t* b)
{
    for (int32_t x = 0; x < w; ++x) {
        b[x] = row[Step * x];
        g[x] = row[Step * x + 1];
        r[x] = row[Step * x + 2];
    }
}

} // namespace

const char* ReadDib(const uint8_t* bitmap, std::size_t size, bool after_memory_transfer,
                    DibImage* image)
{
    if (!bitmap || size < kHeaderBytes)
        return kOutside;
    const uint32_t header = U32(bitmap);
    if (header < kHeaderBytes || header > size)
        return kOutside;
    const auto width = int32_t(U32(bitmap + 4));
    const auto height = int32_t(U32(bitmap + 8));
    const uint16_t bits = U16(bitmap + 14);
    const uint32_t compression = U32(bitmap + 16);
    if (compression != kRgb && compression != kBitFields)
        return kCompressed;
    const Depth* depth = nullptr;
    for (const Depth& d : kDepths)
        if (d.bits == bits)
            depth = &d;
    if (!depth)
        return kBadBitCount;
    const bool bit_fields = compression == kBitFields;
    if (bit_fields && bits != 16 && bits != 32)
        return kBadCompression;
    if (width <= 0 || height == 0 || height == INT32_MIN)
        return kOutside;
    const uint64_t entries = Entries(bits, U32(bitmap + 32), bit_fields, after_memory_transfer);
    const uint64_t pixels_at = header + 4 * entries;
    const uint64_t row_bytes = (uint64_t(width) * bits + 31) / 32 * 4;
    const uint64_t rows = height < 0 ? uint64_t(-int64_t(height)) : uint64_t(height);
    if (pixels_at > size || (size - pixels_at) / row_bytes < rows)
        return kOutside;
    *image = DibImage{};
    image->width = width;
    image->height = int32_t(rows);
    image->channels = depth->channels;
    image->pixel_kind = depth->pixel_kind;
    image->bits_per_channel = depth->bits_per_channel;
    image->color_space = depth->color_space;
    image->bit_count = bits;
    image->top_down = height < 0;
    image->rows = bitmap + pixels_at;
    image->row_bytes = std::size_t(row_bytes);
    if (bits <= 8 && !bit_fields)
        for (uint64_t i = 0; i < entries && i < 256; ++i) {
            const uint8_t* quad = bitmap + header + 4 * i;
            image->palette[i][0] = quad[2];
            image->palette[i][1] = quad[1];
            image->palette[i][2] = quad[0];
        }
    return nullptr;
}

void ExtractDib(const DibImage& image, void* const planes[3])
{
    const int32_t w = image.width;
    const std::size_t plane_row = std::size_t(w);
    for (int32_t y = 0; y < image.height; ++y) {
        const int32_t stored = image.top_down ? y : image.height - 1 - y;
        const uint8_t* row = image.rows + std::size_t(stored) * image.row_bytes;
        const std::size_t at = std::size_t(y) * plane_row;
        if (image.pixel_kind == UINT2_IMAGE) {
            if (image.channels == 1) {
                std::memcpy(static_cast<uint16_t*>(planes[0]) + at, row, 2 * plane_row);
                continue;
            }
            uint16_t* r = static_cast<uint16_t*>(planes[0]) + at;
            uint16_t* g = static_cast<uint16_t*>(planes[1]) + at;
            uint16_t* b = static_cast<uint16_t*>(planes[2]) + at;
            for (int32_t x = 0; x < w; ++x, row += 6) {
                b[x] = U16(row);
                g[x] = U16(row + 2);
                r[x] = U16(row + 4);
            }
            continue;
        }
        uint8_t* rgb[3] = {};
        for (int c = 0; c < image.channels; ++c)
            rgb[c] = static_cast<uint8_t*>(planes[c]) + at;
        if (image.bit_count <= 8)
            Indexed(image, row, rgb[0], rgb);
        else if (image.bit_count == 24)
            Colour8<3>(row, w, rgb[0], rgb[1], rgb[2]);
        else
            Colour8<4>(row, w, rgb[0], rgb[1], rgb[2]);
    }
}

} // namespace twain_codec
