// Copies out of the simulated boards' buffers.
#include <algorithm>

#include <workers/cpu_clones.h>

#include "library.h"
#include <dvl/board.h>

using namespace dvl::internal;

namespace {

int32_t BandIndex(const Buffer& b, int32_t band)
{
    const int32_t index = band == DVL_GREEN ? 1 : band == DVL_BLUE ? 2 : 0;
    return index < b.bands ? index : 0;
}

// Copies the part of the region at (x, y) of width x height that lies in the
// buffer, row by row: `row(source_offset, destination_offset, pixels)`, the
// offsets counted in pixels.
template <typename Row>
void CopyRegion(const Buffer& b, int32_t x, int32_t y, int32_t width, int32_t height, Row row)
{
    const int32_t x0 = std::max(x, 0);
    const int32_t x1 = int32_t(std::min<int64_t>(int64_t(x) + width, b.width));
    const int32_t y0 = std::max(y, 0);
    const int32_t y1 = int32_t(std::min<int64_t>(int64_t(y) + height, b.height));
    for (int32_t line = y0; line < y1 && x0 < x1; ++line)
        row(std::size_t(x0) + std::size_t(b.width) * std::size_t(line),
            std::size_t(x0 - x) + std::size_t(width) * std::size_t(line - y), std::size_t(x1 - x0));
}

void CopyBand(const Buffer& b, int32_t index, int32_t x, int32_t y, int32_t width, int32_t height,
              void* destination)
{
    const uint8_t* plane = b.planes[index].data();
    auto* out = static_cast<uint8_t*>(destination);
    const std::size_t bytes = std::size_t(b.bytes);
    CopyRegion(b, x, y, width, height, [&](std::size_t from, std::size_t to, std::size_t n) {
        std::memcpy(out + to * bytes, plane + from * bytes, n * bytes);
    });
}

// One row of packed blue, green, red bytes; the byte shuffles it vectorises
// into come with AVX2.
ONDULA_AVX2_CLONES void PackBgrRow(const uint8_t* blue, const uint8_t* green, const uint8_t* red,
                                   uint8_t* pixel, std::size_t n)
{
    for (std::size_t i = 0; i < n; ++i, pixel += 3) {
        pixel[0] = blue[i];
        pixel[1] = green[i];
        pixel[2] = red[i];
    }
}

void CopyPackedBgr(const Buffer& b, int32_t x, int32_t y, int32_t width, int32_t height,
                   void* destination)
{
    const uint8_t* red = b.planes[BandIndex(b, DVL_RED)].data();
    const uint8_t* green = b.planes[BandIndex(b, DVL_GREEN)].data();
    const uint8_t* blue = b.planes[BandIndex(b, DVL_BLUE)].data();
    auto* out = static_cast<uint8_t*>(destination);
    CopyRegion(b, x, y, width, height, [&](std::size_t from, std::size_t to, std::size_t n) {
        PackBgrRow(blue + from, green + from, red + from, out + 3 * to, n);
    });
}

void GetColor(int ordinal, DvlId buffer, int32_t format, int32_t band, int32_t x, int32_t y,
              int32_t width, int32_t height, void* destination)
{
    Library& l = Lib();
    std::lock_guard guard(l.lock);
    const Buffer* b = Reach(l, l.buffers, buffer, ordinal);
    if (!b || !destination)
        return;
    if (b->bytes != 1)
        SetError("Colour copies need an 8-bit buffer.");
    else if (format == DVL_PACKED_BGR24 && band == DVL_ALL_BANDS)
        CopyPackedBgr(*b, x, y, width, height, destination);
    else if (format == DVL_PLANAR && band != DVL_ALL_BANDS)
        CopyBand(*b, BandIndex(*b, band), x, y, width, height, destination);
    else
        SetError("Copy format not supported.");
}

} // namespace

extern "C" void DvlBufGet2d(DvlId buffer, int32_t x, int32_t y, int32_t width, int32_t height,
                            void* destination)
{
    Library& l = Lib();
    std::lock_guard guard(l.lock);
    const Buffer* b = Reach(l, l.buffers, buffer, DVL_ORD_BUF_GET_2D);
    if (b && destination)
        CopyBand(*b, 0, x, y, width, height, destination);
}

extern "C" void DvlBufGet(DvlId buffer, void* destination)
{
    Library& l = Lib();
    std::lock_guard guard(l.lock);
    const Buffer* b = Reach(l, l.buffers, buffer, DVL_ORD_BUF_GET);
    if (!b || !destination)
        return;
    auto* out = static_cast<uint8_t*>(destination);
    for (int32_t band = 0; band < b->bands; ++band)
        out = std::copy(b->planes[band].begin(), b->planes[band].end(), out);
}

extern "C" void DvlBufGetColor(DvlId buffer, int32_t format, int32_t band, void* destination)
{
    Library& l = Lib();
    int32_t width = 0, height = 0;
    {
        std::lock_guard guard(l.lock);
        if (const Buffer* b = Find(l.buffers, buffer)) {
            width = b->width;
            height = b->height;
        }
    }
    GetColor(DVL_ORD_BUF_GET_COLOR, buffer, format, band, 0, 0, width, height, destination);
}

extern "C" void DvlBufGetColor2d(DvlId buffer, int32_t format, int32_t band, int32_t x, int32_t y,
                                 int32_t width, int32_t height, void* destination)
{
    GetColor(DVL_ORD_BUF_GET_COLOR_2D, buffer, format, band, x, y, width, height, destination);
}
