// TIFF decoding. Grey (8 or 16 bits), RGB (8 or 16 bits, alpha dropped) and
// 8-bit palette images are read sample by sample from strips or tiles, either
// planar configuration; any other layout libtiff can render (bilevel, 4-bit,
// CMYK, YCbCr...) goes through its RGBA renderer. 16-bit samples are scaled to
// 8 bits by v x 255 / 65535, rounded.
#include <algorithm>
#include <array>
#include <cstring>

#include "codecs.h"
#include "tiff_memory.h"

namespace verodyn::detail {

namespace {

struct Layout {
    std::uint32_t width = 0, height = 0;
    std::uint16_t bits = 0, samples = 0, planar = 0, photometric = 0, format = 0;
    std::size_t sample_bytes() const { return bits / 8u; }
    // Bytes of one pixel in one strip or tile: all samples when contiguous.
    std::size_t chunk_pixel_bytes() const
    {
        return sample_bytes() * (planar == PLANARCONFIG_CONTIG ? samples : 1u);
    }
};

// Reads the strips or tiles holding `sample` (all samples when contiguous)
// into `out`, width x height pixels of chunk_pixel_bytes() each.
bool read_chunks(TIFF* tif, const Layout& layout, std::uint16_t sample, std::vector<std::uint8_t>& out)
{
    const std::size_t pixel = layout.chunk_pixel_bytes();
    const std::size_t width = layout.width, height = layout.height;
    out.assign(width * height * pixel, 0);
    if (TIFFIsTiled(tif)) {
        std::uint32_t tile_width = 0, tile_height = 0;
        TIFFGetField(tif, TIFFTAG_TILEWIDTH, &tile_width);
        TIFFGetField(tif, TIFFTAG_TILELENGTH, &tile_height);
        const tmsize_t tile_size = TIFFTileSize(tif);
        if (tile_width == 0 || tile_height == 0 || tile_size <= 0 ||
            std::uint64_t(TIFFTileRowSize(tif)) != std::uint64_t(tile_width) * pixel ||
            std::uint64_t(tile_size) < std::uint64_t(tile_width) * tile_height * pixel)
            return false;
        std::vector<std::uint8_t> tile(static_cast<std::size_t>(tile_size));
        for (std::uint32_t y = 0; y < height; y += tile_height)
            for (std::uint32_t x = 0; x < width; x += tile_width) {
                const ttile_t index = TIFFComputeTile(tif, x, y, 0, sample);
                if (TIFFReadEncodedTile(tif, index, tile.data(), tile_size) != tile_size)
                    return false;
                const std::size_t rows = std::min<std::size_t>(tile_height, height - y);
                const std::size_t columns = std::min<std::size_t>(tile_width, width - x);
                for (std::size_t r = 0; r < rows; ++r)
                    std::memcpy(&out[((y + r) * width + x) * pixel], &tile[r * tile_width * pixel], columns * pixel);
            }
        return true;
    }
    std::uint32_t rows_per_strip = 0;
    TIFFGetFieldDefaulted(tif, TIFFTAG_ROWSPERSTRIP, &rows_per_strip);
    rows_per_strip = std::min<std::uint32_t>(rows_per_strip, layout.height);
    if (rows_per_strip == 0 || std::uint64_t(TIFFScanlineSize64(tif)) != width * pixel)
        return false;
    for (std::uint32_t y = 0; y < height; y += rows_per_strip) {
        const std::size_t rows = std::min<std::size_t>(rows_per_strip, height - y);
        const auto wanted = tmsize_t(rows * width * pixel);
        const tstrip_t strip = TIFFComputeStrip(tif, y, sample);
        if (TIFFReadEncodedStrip(tif, strip, &out[y * width * pixel], wanted) != wanted)
            return false;
    }
    return true;
}

// The 8-bit value of every possible sample, so the pixel loops only look up.
struct SampleMap {
    std::vector<std::uint8_t> values;
    SampleMap(std::size_t bits, bool inverted) : values(std::size_t(1) << bits)
    {
        const std::size_t top = values.size() - 1;
        for (std::size_t v = 0; v <= top; ++v) {
            const std::size_t scaled = (v * 255 + top / 2) / top;
            values[v] = std::uint8_t(inverted ? 255 - scaled : scaled);
        }
    }
};

// Copies sample `offset` of every pixel of `raw` (pixels of `stride` samples) through `map`.
void extract(const std::vector<std::uint8_t>& raw, const Layout& layout, std::size_t stride, std::size_t offset,
             const SampleMap& map, std::uint8_t* plane)
{
    const std::size_t count = std::size_t(layout.width) * layout.height;
    if (layout.bits == 8) {
        for (std::size_t i = 0; i < count; ++i)
            plane[i] = map.values[raw[i * stride + offset]];
    } else {
        const auto* samples = reinterpret_cast<const std::uint16_t*>(raw.data());
        for (std::size_t i = 0; i < count; ++i)
            plane[i] = map.values[samples[i * stride + offset]];
    }
}

// Fills `image` from the samples `sources` (one per channel) of a grey or RGB file.
bool read_direct(TIFF* tif, const Layout& layout, const std::vector<std::uint16_t>& sources, VImage& image)
{
    const bool inverted = layout.photometric == PHOTOMETRIC_MINISWHITE;
    const SampleMap map(layout.bits, inverted);
    std::vector<std::uint8_t> raw;
    if (layout.planar == PLANARCONFIG_CONTIG) {
        if (!read_chunks(tif, layout, 0, raw))
            return false;
        for (std::size_t c = 0; c < sources.size(); ++c)
            extract(raw, layout, layout.samples, sources[c], map, image.plane_as<std::uint8_t>(int(c)));
        return true;
    }
    for (std::size_t c = 0; c < sources.size(); ++c) {
        if (!read_chunks(tif, layout, sources[c], raw))
            return false;
        extract(raw, layout, 1, 0, map, image.plane_as<std::uint8_t>(int(c)));
    }
    return true;
}

bool read_palette(TIFF* tif, const Layout& layout, VImage& image)
{
    std::uint16_t *red = nullptr, *green = nullptr, *blue = nullptr;
    if (!TIFFGetField(tif, TIFFTAG_COLORMAP, &red, &green, &blue))
        return false;
    std::vector<std::uint8_t> indices;
    if (!read_chunks(tif, layout, 0, indices))
        return false;
    // Some writers store 8-bit colour values in the 16-bit colour map.
    bool eight_bit_map = true;
    for (int i = 0; i < 256; ++i)
        if (red[i] > 255 || green[i] > 255 || blue[i] > 255)
            eight_bit_map = false;
    const SampleMap scale(16, false);
    std::array<std::array<std::uint8_t, 256>, 3> colours;
    const std::uint16_t* maps[3] = {red, green, blue};
    for (int c = 0; c < 3; ++c)
        for (int i = 0; i < 256; ++i)
            colours[c][i] = eight_bit_map ? std::uint8_t(maps[c][i]) : scale.values[maps[c][i]];
    const std::size_t count = std::size_t(layout.width) * layout.height;
    for (int c = 0; c < 3; ++c) {
        std::uint8_t* plane = image.plane_as<std::uint8_t>(c);
        for (std::size_t i = 0; i < count; ++i)
            plane[i] = colours[c][indices[i]];
    }
    return true;
}

bool read_rendered(TIFF* tif, const Layout& layout, VImage& image, std::string* reason)
{
    char message[1024] = "";
    if (!TIFFRGBAImageOK(tif, message)) {
        *reason = message;
        return false;
    }
    std::vector<std::uint32_t> raster(std::size_t(layout.width) * layout.height);
    if (!TIFFReadRGBAImageOriented(tif, layout.width, layout.height, raster.data(), ORIENTATION_TOPLEFT, 1))
        return false;
    std::uint8_t* planes[3] = {};
    for (int c = 0; c < image.channels(); ++c)
        planes[c] = image.plane_as<std::uint8_t>(c);
    for (std::size_t i = 0; i < raster.size(); ++i) {
        planes[0][i] = std::uint8_t(TIFFGetR(raster[i]));
        if (image.channels() == 3) {
            planes[1][i] = std::uint8_t(TIFFGetG(raster[i]));
            planes[2][i] = std::uint8_t(TIFFGetB(raster[i]));
        }
    }
    return true;
}

bool read_layout(TIFF* tif, Layout* layout)
{
    if (!TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &layout->width) ||
        !TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &layout->height))
        return false;
    TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &layout->bits);
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &layout->samples);
    TIFFGetFieldDefaulted(tif, TIFFTAG_PLANARCONFIG, &layout->planar);
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLEFORMAT, &layout->format);
    if (!TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &layout->photometric))
        layout->photometric = layout->samples >= 3 ? PHOTOMETRIC_RGB : PHOTOMETRIC_MINISBLACK;
    return layout->samples > 0;
}

} // namespace

Vstatus decode_tiff(const std::uint8_t* data, std::size_t size, std::shared_ptr<VImage>* image, std::string* detail)
{
    TiffMemory memory;
    memory.data = data;
    memory.size = size;
    TiffHandle tif = open_tiff_memory(memory, "r");
    Layout layout;
    if (!tif || !read_layout(tif.get(), &layout)) {
        *detail = memory.error.empty() ? "no image size" : memory.error;
        return VERR_FILE_FORMAT;
    }
    const std::uint64_t pixels = std::uint64_t(layout.width) * layout.height;
    if (pixels == 0 || pixels > kMaxFilePixels) {
        *detail = "image size " + std::to_string(layout.width) + " x " + std::to_string(layout.height) + " refused";
        return VERR_FILE_FORMAT;
    }

    const bool unsigned_samples = layout.format == SAMPLEFORMAT_UINT || layout.format == SAMPLEFORMAT_VOID;
    const bool grey = layout.photometric == PHOTOMETRIC_MINISBLACK || layout.photometric == PHOTOMETRIC_MINISWHITE;
    const bool rgb = layout.photometric == PHOTOMETRIC_RGB && layout.samples >= 3;
    const bool palette = layout.photometric == PHOTOMETRIC_PALETTE && layout.bits == 8 && layout.samples == 1;
    const bool direct = unsigned_samples && (layout.bits == 8 || layout.bits == 16) && (grey || rgb);

    auto result = VImage::create(VPixelType::Byte, int(layout.width), int(layout.height), grey ? 1 : 3);
    bool read;
    if (direct)
        read = read_direct(tif.get(), layout, rgb ? std::vector<std::uint16_t>{0, 1, 2} : std::vector<std::uint16_t>{0},
                           *result);
    else if (palette && unsigned_samples)
        read = read_palette(tif.get(), layout, *result);
    else
        read = read_rendered(tif.get(), layout, *result, &memory.error);
    if (!read) {
        *detail = memory.error.empty() ? "unreadable image data" : memory.error;
        return VERR_FILE_FORMAT;
    }
    *image = std::move(result);
    return V_OK;
}

} // namespace verodyn::detail
