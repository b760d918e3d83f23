// The page of the sources: its pixels, palettes, bitmaps and strip rows.
#include <cstring>

#include "manager.h"

namespace twsim {

namespace detail {

namespace {

constexpr uint32_t kHeaderBytes = 40;
constexpr uint32_t kBitmapRgb = 0;
constexpr uint32_t kBitmapRle8 = 1; // stands for any compression
constexpr uint32_t kBitmapBitFields = 3;

void Put16(uint8_t* at, uint32_t value)
{
    at[0] = uint8_t(value);
    at[1] = uint8_t(value >> 8);
}

void Put32(uint8_t* at, uint32_t value)
{
    Put16(at, value);
    Put16(at + 2, value >> 16);
}

// Writes row y; `bgr` puts blue first, as bitmaps do.
void Row(const Page& page, int32_t y, bool bgr, uint8_t* out)
{
    const uint32_t n = page.number;
    const int32_t w = page.width;
    const uint32_t uy = uint32_t(y);
    switch (page.bits) {
    case 1:
    case 4:
    case 8: {
        const int bits = page.bits;
        const uint32_t mask = (1u << bits) - 1;
        std::memset(out, 0, size_t(RowBytes(w, bits)));
        for (int32_t x = 0; x < w; ++x) {
            const uint32_t index = (uint32_t(x) + uy + n) & mask;
            const int64_t bit = int64_t(x) * bits;
            out[bit / 8] |= uint8_t(index << (8 - bits - bit % 8));
        }
        return;
    }
    case 16:
        for (int32_t x = 0; x < w; ++x)
            Put16(out + 2 * x, 256 * uint32_t(x) + uy + n);
        return;
    case 24:
    case 32: {
        const int step = page.bits / 8;
        for (int32_t x = 0; x < w; ++x) {
            uint8_t* p = out + int64_t(x) * step;
            p[bgr ? 2 : 0] = uint8_t(x);
            p[1] = uint8_t(uy);
            p[bgr ? 0 : 2] = uint8_t(n);
            if (step == 4)
                p[3] = 0;
        }
        return;
    }
    case 48:
        for (int32_t x = 0; x < w; ++x) {
            uint8_t* p = out + int64_t(x) * 6;
            Put16(p + (bgr ? 4 : 0), 256 * uint32_t(x) + uy);
            Put16(p + 2, 256 * uy + n);
            Put16(p + (bgr ? 0 : 4), 256 * n + uint32_t(x));
        }
        return;
    }
    std::memset(out, 0, size_t(RowBytes(w, page.bits)));
}

uint32_t PaletteEntries(const Page& page)
{
    return page.bits == 1 || page.bits == 4 || page.bits == 8 ? 1u << page.bits : 0;
}

// Where the rows start in the page's bitmap: after the header, the palette
// and the masks.
uint32_t PixelsAt(const Page& page)
{
    return kHeaderBytes + 4 * (PaletteEntries(page) + (page.bits == 32 ? 3 : 0));
}

} // namespace

std::vector<uint8_t> BitmapFile(const Page& page)
{
    constexpr uint32_t kFileHeaderBytes = 14;
    const std::vector<uint8_t> bitmap = Bitmap(page);
    std::vector<uint8_t> file(kFileHeaderBytes + bitmap.size());
    file[0] = 'B';
    file[1] = 'M';
    Put32(&file[2], uint32_t(file.size()));
    Put32(&file[10], kFileHeaderBytes + PixelsAt(page));
    std::memcpy(&file[kFileHeaderBytes], bitmap.data(), bitmap.size());
    return file;
}

int32_t RowBytes(int32_t width, int bits) { return int32_t((int64_t(width) * bits + 7) / 8); }

int32_t PaddedRowBytes(int32_t width, int bits)
{
    return int32_t((int64_t(width) * bits + 31) / 32 * 4);
}

void StripRow(const Page& page, int32_t y, uint8_t* out) { Row(page, y, false, out); }

void Palette(const Page& page, TW_PALETTE8* palette)
{
    const int bits = page.bits <= 8 ? page.bits : 8;
    const int entries = 1 << bits;
    const bool grey = page.pixel_type == TWPT_BW || page.pixel_type == TWPT_GRAY || page.bits > 8;
    *palette = TW_PALETTE8{};
    palette->NumColors = TW_UINT16(entries);
    for (int i = 0; i < entries; ++i) {
        TW_ELEMENT8& e = palette->Colors[i];
        e.Index = uint8_t(i);
        if (grey) {
            e.Channel1 = e.Channel2 = e.Channel3 = uint8_t(i * 255 / (entries - 1));
        } else {
            e.Channel1 = uint8_t(255 - i);
            e.Channel2 = uint8_t(i);
            e.Channel3 = uint8_t(3 * i);
        }
    }
}

} // namespace detail

std::vector<uint8_t> Bitmap(const Page& page)
{
    using namespace detail;
    const uint32_t pixels_at = PixelsAt(page);
    const uint32_t entries = PaletteEntries(page);
    const bool masks = page.bits == 32;
    const uint32_t row_bytes = uint32_t(PaddedRowBytes(page.width, page.bits));
    std::vector<uint8_t> bytes(pixels_at + size_t(row_bytes) * uint32_t(page.height));
    uint8_t* h = bytes.data();
    Put32(h, kHeaderBytes);
    Put32(h + 4, uint32_t(page.width));
    Put32(h + 8, uint32_t(page.top_down ? -page.height : page.height));
    Put16(h + 12, 1);
    Put16(h + 14, page.bits);
    Put32(h + 16, page.compressed ? kBitmapRle8 : masks ? kBitmapBitFields : kBitmapRgb);
    Put32(h + 20, row_bytes * uint32_t(page.height));
    if (entries) {
        TW_PALETTE8 palette;
        Palette(page, &palette);
        for (uint32_t i = 0; i < entries; ++i) {
            uint8_t* q = h + kHeaderBytes + 4 * i;
            q[0] = palette.Colors[i].Channel3;
            q[1] = palette.Colors[i].Channel2;
            q[2] = palette.Colors[i].Channel1;
        }
    }
    if (masks) {
        Put32(h + kHeaderBytes, 0x00FF0000);
        Put32(h + kHeaderBytes + 4, 0x0000FF00);
        Put32(h + kHeaderBytes + 8, 0x000000FF);
    }
    for (int32_t y = 0; y < page.height; ++y) {
        const int32_t stored = page.top_down ? y : page.height - 1 - y;
        Row(page, y, true, h + pixels_at + size_t(stored) * row_bytes);
    }
    return bytes;
}

} // namespace twsim
