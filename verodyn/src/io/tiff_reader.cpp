// TIFF decoding. Grey (8 or 16 bits), RGB (8 or 16 bits, alpha dropped) and
// 8-bit palette images are read sample by sample from strips or tiles, either
// planar configuration; any other layout libtiff can render (bilevel, 4-bit,
// CMYK, YCbCr...) goes through its RGBA renderer. 16-bit samples are scaled to
// 8 bits by v x 255 / 65535, rounded. Every path decodes in stored order; the
// Orientation tag is then applied once, by flips and, for the four orientations
// whose rows are columns of the picture, a transpose.
#include <algorithm>
#include <cstring>

#include "codecs.h"
#include "tiff_stream.h"

namespace verodyn::detail {

namespace {

// More samples per pixel than this are left to libtiff's renderer.
constexpr std::uint16_t kMaxSamples = 8;

struct Layout {
    std::uint32_t width = 0, height = 0;
    std::uint16_t bits = 0, samples = 0, planar = 0, photometric = 0, format = 0, orientation = 0;
    std::size_t sample_bytes() const { return bits / 8u; }
    // Bytes of one pixel in one strip or tile: all samples when contiguous.
    std::size_t chunk_pixel_bytes() const
    {
        return sample_bytes() * (planar == PLANARCONFIG_CONTIG ? samples : 1u);
    }
};

// One strip or tile as delivered: `rows` rows of `columns` pixels placed at
// (x, y) of the image, row r starting at data + r x row_bytes.
struct Chunk {
    const std::uint8_t* data;
    std::size_t row_bytes;
    std::uint32_t x, y, columns, rows;
};

// Calls `take(chunk)` for every strip or tile holding `sample` (all samples
// when contiguous), in order; false when one cannot be read whole.
template <typename Take>
bool for_each_chunk(TIFF* tif, const Layout& layout, std::uint16_t sample, Take&& take)
{
    const std::uint64_t pixel = layout.chunk_pixel_bytes();
    const std::uint32_t width = layout.width, height = layout.height;
    if (TIFFIsTiled(tif)) {
        std::uint32_t tile_width = 0, tile_height = 0;
        TIFFGetField(tif, TIFFTAG_TILEWIDTH, &tile_width);
        TIFFGetField(tif, TIFFTAG_TILELENGTH, &tile_height);
        const std::uint64_t tile_pixels = std::uint64_t(tile_width) * tile_height;
        // A tile may overhang the image, but not by more than a small image needs.
        if (tile_pixels == 0 ||
            tile_pixels > std::max<std::uint64_t>(std::uint64_t(width) * height, 1u << 20) ||
            std::uint64_t(TIFFTileRowSize64(tif)) != tile_width * pixel ||
            TIFFTileSize64(tif) < tile_pixels * pixel)
            return false;
        const auto tile_size = tmsize_t(tile_pixels * pixel);
        std::vector<std::uint8_t> tile(static_cast<std::size_t>(tile_size));
        for (std::uint32_t y = 0; y < height; y += tile_height)
            for (std::uint32_t x = 0; x < width; x += tile_width) {
                if (TIFFReadEncodedTile(tif, TIFFComputeTile(tif, x, y, 0, sample), tile.data(),
                                        tile_size) != tile_size)
                    return false;
                take(Chunk{tile.data(), std::size_t(tile_width * pixel), x, y,
                           std::min(tile_width, width - x), std::min(tile_height, height - y)});
            }
        return true;
    }
    std::uint32_t rows_per_strip = 0;
    TIFFGetFieldDefaulted(tif, TIFFTAG_ROWSPERSTRIP, &rows_per_strip);
    rows_per_strip = std::min(rows_per_strip, height);
    if (rows_per_strip == 0 || std::uint64_t(TIFFScanlineSize64(tif)) != width * pixel)
        return false;
    std::vector<std::uint8_t> strip(static_cast<std::size_t>(rows_per_strip * width * pixel));
    for (std::uint32_t y = 0; y < height; y += rows_per_strip) {
        const std::uint32_t rows = std::min(rows_per_strip, height - y);
        const auto wanted = tmsize_t(rows * width * pixel);
        if (TIFFReadEncodedStrip(tif, TIFFComputeStrip(tif, y, sample), strip.data(), wanted) !=
            wanted)
            return false;
        take(Chunk{strip.data(), std::size_t(width * pixel), 0, y, width, rows});
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
    // Whether every 8-bit sample keeps its value, so that rows may be copied whole.
    bool keeps_bytes() const
    {
        for (std::size_t v = 0; v < values.size(); ++v)
            if (values[v] != v)
                return false;
        return values.size() == 256;
    }
};

// Copies sample `offset` of each pixel of the chunk (pixels of `stride`
// samples of `bits` bits) through `map` into the image plane.
void extract(const Chunk& chunk, unsigned bits, std::size_t stride, std::size_t offset,
             const SampleMap& map, VImage& image, int channel)
{
    const std::size_t width = std::size_t(image.width());
    const bool copy_rows = bits == 8 && stride == 1 && map.keeps_bytes();
    for (std::uint32_t r = 0; r < chunk.rows; ++r) {
        const std::uint8_t* row = chunk.data + r * chunk.row_bytes;
        std::uint8_t* target =
            image.plane_as<std::uint8_t>(channel) + (chunk.y + r) * width + chunk.x;
        if (copy_rows) {
            std::memcpy(target, row + offset, chunk.columns);
        } else if (bits == 8) {
            for (std::uint32_t x = 0; x < chunk.columns; ++x)
                target[x] = map.values[row[x * stride + offset]];
        } else {
            for (std::uint32_t x = 0; x < chunk.columns; ++x) {
                std::uint16_t sample;
                std::memcpy(&sample, row + 2 * (x * stride + offset), 2);
                target[x] = map.values[sample];
            }
        }
    }
}

// Fills `image` from the samples `sources` (one per channel) of a grey or RGB file.
bool read_direct(TIFF* tif, const Layout& layout, const std::vector<std::uint16_t>& sources,
                 VImage& image)
{
    const SampleMap map(layout.bits, layout.photometric == PHOTOMETRIC_MINISWHITE);
    if (layout.planar == PLANARCONFIG_CONTIG)
        return for_each_chunk(tif, layout, 0, [&](const Chunk& chunk) {
            for (std::size_t c = 0; c < sources.size(); ++c)
                extract(chunk, layout.bits, layout.samples, sources[c], map, image, int(c));
        });
    for (std::size_t c = 0; c < sources.size(); ++c)
        if (!for_each_chunk(tif, layout, sources[c], [&](const Chunk& chunk) {
                extract(chunk, layout.bits, 1, 0, map, image, int(c));
            }))
            return false;
    return true;
}

bool read_palette(TIFF* tif, const Layout& layout, VImage& image)
{
    std::uint16_t *red = nullptr, *green = nullptr, *blue = nullptr;
    if (!TIFFGetField(tif, TIFFTAG_COLORMAP, &red, &green, &blue))
        return false;
    // Some writers store 8-bit colour values in the 16-bit colour map.
    bool eight_bit_map = true;
    for (int i = 0; i < 256; ++i)
        if (red[i] > 255 || green[i] > 255 || blue[i] > 255)
            eight_bit_map = false;
    const SampleMap scale(16, false);
    SampleMap colours[3] = {SampleMap(8, false), SampleMap(8, false), SampleMap(8, false)};
    const std::uint16_t* maps[3] = {red, green, blue};
    for (int c = 0; c < 3; ++c)
        for (int i = 0; i < 256; ++i)
            colours[c].values[std::size_t(i)] =
                eight_bit_map ? std::uint8_t(maps[c][i]) : scale.values[maps[c][i]];
    return for_each_chunk(tif, layout, 0, [&](const Chunk& chunk) {
        for (int c = 0; c < 3; ++c)
            extract(chunk, 8, 1, 0, colours[c], image, c);
    });
}

bool read_rendered(TIFF* tif, const Layout& layout, VImage& image, std::string* reason)
{
    char message[1024] = "";
    if (!TIFFRGBAImageOK(tif, message)) {
        *reason = message;
        return false;
    }
    // Asking for the file's own orientation keeps the stored order, as on the other paths.
    std::vector<std::uint32_t> raster(std::size_t(layout.width) * layout.height);
    if (!TIFFReadRGBAImageOriented(tif, layout.width, layout.height, raster.data(),
                                   layout.orientation, 1))
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

// The picture as it is meant to be seen, from `stored` whose rows are in file
// order; a top-left (or unknown) orientation gives `stored` itself.
std::shared_ptr<VImage> oriented(std::shared_ptr<VImage> stored, std::uint16_t orientation)
{
    const std::ptrdiff_t w = stored->width(), h = stored->height();
    // The seen pixel (x, y) is stored at first + x * step_x + y * step_y.
    std::ptrdiff_t first, step_x, step_y;
    switch (orientation) {
    case ORIENTATION_TOPRIGHT:
        first = w - 1, step_x = -1, step_y = w;
        break;
    case ORIENTATION_BOTRIGHT:
        first = h * w - 1, step_x = -1, step_y = -w;
        break;
    case ORIENTATION_BOTLEFT:
        first = (h - 1) * w, step_x = 1, step_y = -w;
        break;
    case ORIENTATION_LEFTTOP:
        first = 0, step_x = w, step_y = 1;
        break;
    case ORIENTATION_RIGHTTOP:
        first = (h - 1) * w, step_x = -w, step_y = 1;
        break;
    case ORIENTATION_RIGHTBOT:
        first = h * w - 1, step_x = -w, step_y = -1;
        break;
    case ORIENTATION_LEFTBOT:
        first = w - 1, step_x = w, step_y = -1;
        break;
    default:
        return stored;
    }
    const bool transposed = orientation >= ORIENTATION_LEFTTOP;
    const std::ptrdiff_t seen_width = transposed ? h : w, seen_height = transposed ? w : h;
    auto seen =
        VImage::create(VPixelType::Byte, int(seen_width), int(seen_height), stored->channels());
    for (int c = 0; c < stored->channels(); ++c) {
        const std::uint8_t* from = stored->plane_as<std::uint8_t>(c) + first;
        std::uint8_t* to = seen->plane_as<std::uint8_t>(c);
        for (std::ptrdiff_t y = 0; y < seen_height; ++y, to += seen_width)
            for (std::ptrdiff_t x = 0; x < seen_width; ++x)
                to[x] = from[x * step_x + y * step_y];
    }
    return seen;
}

// The most bytes one stored byte of a strip or tile can decode to.
std::uint64_t greatest_expansion(TIFF* tif)
{
    std::uint16_t compression = COMPRESSION_NONE;
    TIFFGetFieldDefaulted(tif, TIFFTAG_COMPRESSION, &compression);
    switch (compression) {
    case COMPRESSION_NONE:
        return 1;
    case COMPRESSION_PACKBITS: // two bytes repeat one 128 times
        return 64;
    case COMPRESSION_ADOBE_DEFLATE:
    case COMPRESSION_DEFLATE: // deflate's own bound
        return 1032;
    case COMPRESSION_LZW: // a code of 9 bits or more stands for 4096 bytes at most
        return 4096;
    case COMPRESSION_CCITTRLE:
    case COMPRESSION_CCITTRLEW:
    case COMPRESSION_CCITTFAX3:
    case COMPRESSION_CCITTFAX4: // one bit may repeat the row above
        return 8 * std::max<std::uint64_t>(TIFFScanlineSize64(tif), 1);
    default:
        return std::uint64_t(1) << 16;
    }
}

// Bytes of the strip or tile `index` once decoded; tiles are whole even at
// the image's edges, the last strip of a plane holds the rows left.
std::uint64_t decoded_size(TIFF* tif, std::uint32_t index, std::uint32_t height)
{
    if (TIFFIsTiled(tif))
        return TIFFTileSize64(tif);
    std::uint32_t rows_per_strip = 0;
    TIFFGetFieldDefaulted(tif, TIFFTAG_ROWSPERSTRIP, &rows_per_strip);
    rows_per_strip = std::clamp(rows_per_strip, 1u, height);
    const std::uint32_t strips_per_plane = (height - 1) / rows_per_strip + 1;
    const std::uint32_t first_row = index % strips_per_plane * rows_per_strip;
    return TIFFVStripSize64(tif, std::min(rows_per_strip, height - first_row));
}

// Whether the strips or tiles the directory declares lie within the file and
// can expand to the image it declares; else why in `detail`. Asked before
// anything of the image's size is allocated.
bool stored_data_suffices(TIFF* tif, std::uint32_t height, std::uint64_t file_size,
                          std::string* detail)
{
    const bool tiled = TIFFIsTiled(tif);
    const std::uint32_t chunks = tiled ? TIFFNumberOfTiles(tif) : TIFFNumberOfStrips(tif);
    std::uint64_t stored = 0, declared = 0;
    bool overflows = false;
    for (std::uint32_t i = 0; i < chunks; ++i) {
        const std::uint64_t offset = TIFFGetStrileOffset(tif, i);
        const std::uint64_t count = TIFFGetStrileByteCount(tif, i);
        if (offset > file_size || count > file_size - offset) {
            *detail =
                (tiled ? "tile " : "strip ") + std::to_string(i) + " lies past the end of the file";
            return false;
        }
        stored += count;
        overflows =
            overflows || __builtin_add_overflow(declared, decoded_size(tif, i, height), &declared);
    }
    if (overflows || declared / greatest_expansion(tif) > stored) {
        *detail = "image data of " +
                  (overflows ? std::string("over 2^64") : std::to_string(declared)) +
                  " bytes cannot come from " + std::to_string(stored) + " stored bytes";
        return false;
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
    TIFFGetFieldDefaulted(tif, TIFFTAG_ORIENTATION, &layout->orientation);
    if (!TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &layout->photometric))
        layout->photometric = layout->samples >= 3 ? PHOTOMETRIC_RGB : PHOTOMETRIC_MINISBLACK;
    return layout->samples > 0;
}

} // namespace

Vstatus decode_tiff(const ReadableFile& file, std::shared_ptr<VImage>* image, std::string* detail)
{
    TiffStream stream;
    stream.source = &file;
    TiffHandle tif = open_tiff_stream(stream, "r");
    Layout layout;
    if (!tif || !read_layout(tif.get(), &layout)) {
        *detail = stream.error.empty() ? "no image size" : stream.error;
        return VERR_FILE_FORMAT;
    }
    if (const Vstatus size = check_image_size(layout.width, layout.height, detail); size != V_OK)
        return size;
    // A tag libtiff could not read whole was dropped: a palette file without
    // its colour map would read as grey.
    if (stream.read_short) {
        *detail = "the directory refers to data past the end of the file";
        return VERR_FILE_FORMAT;
    }
    if (!stored_data_suffices(tif.get(), layout.height, file.size(), detail))
        return VERR_FILE_FORMAT;

    const bool unsigned_samples =
        layout.format == SAMPLEFORMAT_UINT || layout.format == SAMPLEFORMAT_VOID;
    const bool grey = layout.photometric == PHOTOMETRIC_MINISBLACK ||
                      layout.photometric == PHOTOMETRIC_MINISWHITE;
    const bool rgb = layout.photometric == PHOTOMETRIC_RGB && layout.samples >= 3;
    const bool palette =
        layout.photometric == PHOTOMETRIC_PALETTE && layout.bits == 8 && layout.samples == 1;
    const bool direct = unsigned_samples && (layout.bits == 8 || layout.bits == 16) &&
                        layout.samples <= kMaxSamples && (grey || rgb);

    auto result =
        VImage::create(VPixelType::Byte, int(layout.width), int(layout.height), grey ? 1 : 3);
    bool read;
    if (direct)
        read = read_direct(
            tif.get(), layout,
            rgb ? std::vector<std::uint16_t>{0, 1, 2} : std::vector<std::uint16_t>{0}, *result);
    else if (palette && unsigned_samples)
        read = read_palette(tif.get(), layout, *result);
    else
        read = read_rendered(tif.get(), layout, *result, &stream.error);
    if (!read) {
        *detail = stream.error.empty() ? "unreadable image data" : stream.error;
        return VERR_FILE_FORMAT;
    }
    *image = oriented(std::move(result), layout.orientation);
    return V_OK;
}

} // namespace verodyn::detail
