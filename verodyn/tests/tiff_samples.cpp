#include "tiff_samples.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <stdexcept>

#include <tiffio.h>

namespace samples {

namespace {

// Packs the samples of pixels [x0, x0 + count) of row y, for the planes
// `first` to `last`, at spec.bits each.
void pack(const TiffSpec& spec, std::uint32_t y, std::uint32_t x0, std::uint32_t count,
          std::size_t first, std::size_t last, std::uint8_t* out)
{
    std::size_t bit = 0;
    for (std::uint32_t x = x0; x < x0 + count; ++x)
        for (std::size_t s = first; s < last; ++s) {
            const std::uint16_t v = x < spec.width && y < spec.height
                                        ? spec.planes[s][std::size_t(y) * spec.width + x]
                                        : 0;
            if (spec.bits == 16) {
                std::memcpy(out + bit / 8, &v, 2);
            } else if (spec.bits == 8) {
                out[bit / 8] = std::uint8_t(v);
            } else if (v) { // fewer than 8 bits, first pixel in the high bits
                out[bit / 8] |= std::uint8_t(v << (8 - spec.bits - bit % 8));
            }
            bit += spec.bits;
        }
}

} // namespace

std::vector<std::uint8_t> make_tiff(const TiffSpec& spec)
{
    // libtiff writes into an anonymous file in memory, read back once it is closed.
    struct MemoryFile {
        int fd = memfd_create("sample.tif", MFD_CLOEXEC);
        ~MemoryFile() { ::close(fd); }
    } file;
    std::unique_ptr<TIFF, void (*)(TIFF*)> tif(TIFFFdOpen(::dup(file.fd), "sample.tif", "w"),
                                               [](TIFF* t) { TIFFClose(t); });
    if (file.fd < 0 || !tif)
        throw std::runtime_error("cannot make the sample TIFF");
    TIFF* t = tif.get();
    TIFFSetField(t, TIFFTAG_IMAGEWIDTH, spec.width);
    TIFFSetField(t, TIFFTAG_IMAGELENGTH, spec.height);
    TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, spec.bits);
    TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, spec.samples);
    TIFFSetField(t, TIFFTAG_PHOTOMETRIC, spec.photometric);
    TIFFSetField(t, TIFFTAG_PLANARCONFIG, spec.planar);
    TIFFSetField(t, TIFFTAG_COMPRESSION, spec.compression);
    TIFFSetField(t, TIFFTAG_SAMPLEFORMAT, spec.sample_format);
    TIFFSetField(t, TIFFTAG_ORIENTATION, spec.orientation);
    if (spec.alpha) {
        const std::uint16_t extra[] = {EXTRASAMPLE_UNASSALPHA};
        TIFFSetField(t, TIFFTAG_EXTRASAMPLES, 1, extra);
    }
    if (!spec.colormap.empty()) {
        const std::size_t n = spec.colormap.size() / 3;
        TIFFSetField(t, TIFFTAG_COLORMAP, spec.colormap.data(), spec.colormap.data() + n,
                     spec.colormap.data() + 2 * n);
    }
    const bool contig = spec.planar == PLANARCONFIG_CONTIG;
    const std::size_t groups = contig ? 1 : spec.samples;
    auto range = [&](std::size_t g) {
        return contig ? std::pair<std::size_t, std::size_t>{0, spec.samples}
                      : std::pair<std::size_t, std::size_t>{g, g + 1};
    };
    bool ok = true;
    if (spec.tile) {
        TIFFSetField(t, TIFFTAG_TILEWIDTH, spec.tile);
        TIFFSetField(t, TIFFTAG_TILELENGTH, spec.tile);
        std::vector<std::uint8_t> tile(std::size_t(TIFFTileSize(t)));
        const std::size_t row_bytes = std::size_t(TIFFTileRowSize(t));
        for (std::size_t g = 0; g < groups; ++g)
            for (std::uint32_t y = 0; y < spec.height; y += spec.tile)
                for (std::uint32_t x = 0; x < spec.width; x += spec.tile) {
                    std::fill(tile.begin(), tile.end(), 0);
                    for (std::uint32_t r = 0; r < spec.tile; ++r)
                        pack(spec, y + r, x, spec.tile, range(g).first, range(g).second,
                             &tile[r * row_bytes]);
                    ok = ok && TIFFWriteTile(t, tile.data(), x, y, 0, std::uint16_t(g)) >= 0;
                }
    } else {
        TIFFSetField(t, TIFFTAG_ROWSPERSTRIP,
                     spec.rows_per_strip ? spec.rows_per_strip : TIFFDefaultStripSize(t, 0));
        std::vector<std::uint8_t> row(std::size_t(TIFFScanlineSize(t)));
        for (std::size_t g = 0; g < groups; ++g)
            for (std::uint32_t y = 0; y < spec.height; ++y) {
                std::fill(row.begin(), row.end(), 0);
                pack(spec, y, 0, spec.width, range(g).first, range(g).second, row.data());
                ok = ok && TIFFWriteScanline(t, row.data(), y, std::uint16_t(g)) >= 0;
            }
    }
    if (!ok || !TIFFFlush(t))
        throw std::runtime_error("cannot make the sample TIFF");
    tif.reset();
    std::vector<std::uint8_t> bytes(std::size_t(::lseek(file.fd, 0, SEEK_END)));
    if (::pread(file.fd, bytes.data(), bytes.size(), 0) != ssize_t(bytes.size()))
        throw std::runtime_error("cannot read the sample TIFF back");
    return bytes;
}

std::vector<std::uint8_t> grey_tiff_header(std::uint16_t width, std::uint16_t height,
                                           std::uint16_t rows_per_strip)
{
    struct Entry {
        std::uint16_t tag, type;
        std::uint32_t count, value;
    };
    constexpr std::uint16_t kShort = 3, kLong = 4;
    const std::uint32_t strips = (height + rows_per_strip - 1u) / rows_per_strip;
    const std::uint32_t strip_bytes = std::uint32_t(width) * rows_per_strip;
    // One strip is described in the directory itself; more in two arrays after it.
    const std::uint32_t entries = 9, arrays = 8 + 2 + entries * 12 + 4;
    const std::uint32_t data_offset = arrays + (strips > 1 ? 8 * strips : 0);
    const Entry ifd[entries] = {
        {256, kShort, 1, width},
        {257, kShort, 1, height},
        {258, kShort, 1, 8},
        {259, kShort, 1, 1},
        {262, kShort, 1, 1},
        {273, kLong, strips, strips > 1 ? arrays : data_offset},
        {277, kShort, 1, 1},
        {278, kShort, 1, rows_per_strip},
        {279, kLong, strips, strips > 1 ? arrays + 4 * strips : strip_bytes},
    };
    std::vector<std::uint8_t> bytes = {'I', 'I', 42, 0, 8, 0, 0, 0};
    auto put = [&](std::uint32_t value, int size) {
        for (int i = 0; i < size; ++i)
            bytes.push_back(std::uint8_t(value >> (8 * i)));
    };
    put(entries, 2);
    for (const Entry& e : ifd) {
        put(e.tag, 2);
        put(e.type, 2);
        put(e.count, 4);
        put(e.value, 4);
    }
    put(0, 4);
    if (strips > 1) {
        for (std::uint32_t i = 0; i < strips; ++i)
            put(data_offset + i * strip_bytes, 4);
        for (std::uint32_t i = 0; i < strips; ++i)
            put(strip_bytes, 4);
    }
    return bytes;
}

std::vector<std::uint8_t> handmade_grey_tiff(std::uint16_t width, std::uint16_t height,
                                             const std::vector<std::uint8_t>& pixels)
{
    std::vector<std::uint8_t> bytes = grey_tiff_header(width, height, height);
    bytes.insert(bytes.end(), pixels.begin(), pixels.end());
    return bytes;
}

} // namespace samples
