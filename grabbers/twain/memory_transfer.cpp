// Memory transfer: the source sends the image in strips, which are copied
// into a bitmap built here (40-byte header, palette, rows padded to 4 bytes,
// top row first) so that every transfer ends in the same kind of bitmap.
#include <algorithm>
#include <cstring>
#include <utility>

#include "capability.h"
#include "dsm.h"
#include "transfer.h"

namespace vfgtwain {

namespace {

constexpr uint32_t kHeaderBytes = 40;
constexpr uint64_t kLargestBitmap = 1ull << 31;
constexpr char kMemoryError[] = "Error during Memory Transfer!";
constexpr char kAllocError[] = "GlobalAlloc Failed during Memory Transfer!";
constexpr char kStripFailed[] = "DG_IMAGE/DAT_IMAGEMEMXFER/MSG_GET";

// The low `bytes` bytes of `value`, least significant first as bitmaps hold them.
void Put(uint8_t* at, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        at[i] = uint8_t(value >> (8 * i));
}

// The bitmap being built and where its rows go.
struct Layout {
    int32_t width = 0;
    int32_t height = 0;
    int32_t bits = 0;
    uint32_t palette_entries = 0;
    uint64_t row_bytes = 0;
    uint64_t size = 0;
};

// Palette entries the bitmap carries: every index at 1, 4 and 8 bits, and 256
// at 16 bits, as the decoder expects of a bitmap built here.
Layout LayoutOf(const TW_IMAGEINFO& info)
{
    Layout l;
    l.width = info.ImageWidth;
    l.height = info.ImageLength;
    l.bits = info.BitsPerPixel;
    l.palette_entries = l.bits == 1 || l.bits == 4 || l.bits == 8 ? 1u << l.bits
                        : l.bits == 16                            ? 256
                                                                  : 0;
    l.row_bytes = (uint64_t(std::max(l.width, 0)) * uint64_t(std::max(l.bits, 0)) + 31) / 32 * 4;
    l.size =
        kHeaderBytes + 4ull * l.palette_entries + l.row_bytes * uint64_t(std::max(l.height, 0));
    return l;
}

void WriteHeader(const Layout& l, const TW_PALETTE8& palette, uint8_t* bitmap)
{
    Put(bitmap, kHeaderBytes, 4);
    Put(bitmap + 4, uint32_t(l.width), 4);
    Put(bitmap + 8, uint32_t(-l.height), 4);
    Put(bitmap + 12, 1, 2);
    Put(bitmap + 14, uint32_t(l.bits), 2);
    Put(bitmap + 20, uint32_t(l.row_bytes * uint64_t(l.height)), 4);
    Put(bitmap + 32, l.bits <= 8 ? l.palette_entries : 0, 4);
    for (uint32_t i = 0; i < l.palette_entries && i < palette.NumColors && i < 256; ++i) {
        uint8_t* quad = bitmap + kHeaderBytes + 4 * i;
        quad[0] = palette.Colors[i].Channel3;
        quad[1] = palette.Colors[i].Channel2;
        quad[2] = palette.Colors[i].Channel1;
    }
}

// A strip that lies inside the image and inside the buffer it came in.
bool StripFits(const Layout& l, const TW_IMAGEMEMXFER& s, uint32_t buffer)
{
    const uint64_t bits = uint64_t(l.bits);
    const uint64_t strip_row = (uint64_t(s.Columns) * bits + 7) / 8;
    return s.Rows > 0 && s.Columns > 0 && uint64_t(s.XOffset) + s.Columns <= uint64_t(l.width) &&
           uint64_t(s.YOffset) + s.Rows <= uint64_t(l.height) && s.XOffset * bits % 8 == 0 &&
           s.BytesPerRow >= strip_row && uint64_t(s.Rows - 1) * s.BytesPerRow + strip_row <= buffer;
}

// Copies the strip's rows, turning red-first samples into the bitmap's blue first.
void CopyStrip(const Layout& l, const TW_IMAGEMEMXFER& s, const uint8_t* buffer, uint8_t* rows)
{
    const uint64_t bits = uint64_t(l.bits);
    const size_t bytes = size_t((uint64_t(s.Columns) * bits + 7) / 8);
    const int swap = l.bits == 24 || l.bits == 32 ? 1 : l.bits == 48 ? 2 : 0;
    const size_t step = size_t(l.bits / 8);
    for (uint32_t r = 0; r < s.Rows; ++r) {
        uint8_t* target = rows + (uint64_t(s.YOffset) + r) * l.row_bytes + s.XOffset * bits / 8;
        std::memcpy(target, buffer + uint64_t(r) * s.BytesPerRow, bytes);
        if (swap)
            for (size_t x = 0; x + step <= bytes; x += step)
                for (int k = 0; k < swap; ++k)
                    std::swap(target[x + k], target[x + 2 * swap + k]);
    }
}

} // namespace

Outcome TransferMemory(Transferred* out)
{
    TW_IMAGEINFO info{};
    if (Send(To::Source, DG_IMAGE, DAT_IMAGEINFO, MSG_GET, &info) != TWRC_SUCCESS) {
        ReportFailure(kMemoryError, To::Source, kAnyCondition);
        return Outcome::Failed;
    }
    // Asked as every memory transfer asks them; the strips carry what counts.
    twain_codec::CapItem units;
    GetCapValue(ICAP_UNITS, &units);
    if (info.Compression != TWCP_NONE) {
        Print("FGGrab error: Bitmap is compressed; not supported at the moment!");
        return Outcome::Failed;
    }
    const Layout layout = LayoutOf(info);
    if (layout.width <= 0 || layout.height <= 0 || layout.bits <= 0) {
        Print(kMemoryError);
        return Outcome::Failed;
    }
    if (layout.size > kLargestBitmap) {
        Print(kAllocError);
        return Outcome::Failed;
    }
    TW_PALETTE8 palette{};
    if (layout.bits <= 8 &&
        Send(To::Source, DG_IMAGE, DAT_PALETTE8, MSG_GET, &palette) != TWRC_SUCCESS) {
        ReportFailure(kMemoryError, To::Source, kAnyCondition);
        return Outcome::Failed;
    }
    TW_SETUPMEMXFER setup{};
    if (Send(To::Source, DG_CONTROL, DAT_SETUPMEMXFER, MSG_GET, &setup) != TWRC_SUCCESS) {
        ReportFailure("DG_CONTROL/DAT_SETUPMEMXFER/MSG_GET", To::Source, kAnyCondition);
        return Outcome::Failed;
    }
    // The strip buffer: the size the source prefers, at least one row, at most the image.
    const uint64_t one_row = (uint64_t(layout.width) * uint64_t(layout.bits) + 7) / 8;
    const auto buffer_size =
        uint32_t(std::clamp<uint64_t>(setup.Preferred, one_row, one_row * uint64_t(layout.height)));
    twain::GlobalBlock strip_block(twain::GlobalAlloc(buffer_size));
    out->bitmap.Reset(twain::GlobalAlloc(size_t(layout.size)));
    twain::GlobalLockGuard strip_lock(strip_block.Get());
    twain::GlobalLockGuard bitmap_lock(out->bitmap.Get());
    auto* buffer = static_cast<uint8_t*>(strip_lock.Address());
    auto* bitmap = static_cast<uint8_t*>(bitmap_lock.Address());
    if (!buffer || !bitmap) {
        Print(kAllocError);
        return Outcome::Failed;
    }
    WriteHeader(layout, palette, bitmap);
    uint8_t* rows = bitmap + kHeaderBytes + 4 * layout.palette_entries;
    out->after_memory_transfer = true;
    // Each strip brings at least one pixel: more strips than pixels is a source
    // that repeats itself.
    for (uint64_t strips = 0; strips < uint64_t(layout.width) * uint64_t(layout.height); ++strips) {
        TW_IMAGEMEMXFER strip{};
        strip.Memory = {TWMF_APPOWNS | TWMF_POINTER, buffer_size, buffer};
        const TW_UINT16 rc = Send(To::Source, DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, &strip);
        if (rc == TWRC_CANCEL)
            return Outcome::Cancelled;
        if (rc == TWRC_FAILURE) {
            ReportFailure(kStripFailed, To::Source, kAnyCondition);
            return Outcome::Failed;
        }
        if (rc != TWRC_SUCCESS && rc != TWRC_XFERDONE) {
            Print("DG_IMAGE/DAT_IMAGEMEMXFER/MSG_GET\nUnknown Return Code");
            return Outcome::Failed;
        }
        if (strip.Compression != TWCP_NONE) {
            Print("FGGrab error: Bitmap is compressed; not supported at the moment!");
            return Outcome::Failed;
        }
        if (!StripFits(layout, strip, buffer_size)) {
            Print(kMemoryError);
            return Outcome::Failed;
        }
        CopyStrip(layout, strip, buffer, rows);
        if (rc == TWRC_XFERDONE)
            return Outcome::Image;
    }
    Print(kMemoryError);
    return Outcome::Failed;
}

} // namespace vfgtwain
