// TIFF files of every layout the reader handles, made in memory for the file
// tests and the broken-file corpus.
#pragma once

#include <cstdint>
#include <vector>

#include <tiff.h>

namespace samples {

struct TiffSpec {
    std::uint32_t width = 0, height = 0;
    std::uint16_t bits = 8, samples = 1;
    std::uint16_t photometric = PHOTOMETRIC_MINISBLACK;
    std::uint16_t planar = PLANARCONFIG_CONTIG;
    std::uint16_t compression = COMPRESSION_NONE;
    std::uint16_t sample_format = SAMPLEFORMAT_UINT;
    std::uint32_t tile = 0;              // tile width and height; 0 writes strips
    std::uint32_t rows_per_strip = 0;    // 0: libtiff's default
    bool alpha = false;                  // the last sample is unassociated alpha
    std::vector<std::uint16_t> colormap; // 3 x 2^bits entries: red, green, blue
    // One plane of width x height values per sample, in stored order.
    std::vector<std::vector<std::uint16_t>> planes;
    std::uint16_t orientation = ORIENTATION_TOPLEFT;
};

// The TIFF file of `spec`, written with libtiff.
std::vector<std::uint8_t> make_tiff(const TiffSpec& spec);

// The directory of an uncompressed 8-bit grey TIFF whose strips of
// `rows_per_strip` full rows follow it, one after the other, without its pixels.
std::vector<std::uint8_t> grey_tiff_header(std::uint16_t width, std::uint16_t height,
                                           std::uint16_t rows_per_strip);

// An uncompressed 8-bit grey TIFF of one strip written byte by byte, its
// directory before the pixels: cutting the file cuts the pixel data only.
std::vector<std::uint8_t> handmade_grey_tiff(std::uint16_t width, std::uint16_t height,
                                             const std::vector<std::uint8_t>& pixels);

} // namespace samples
