// Writes the corpus of image files the reader must survive: a few good TIFF
// and JPEG files of each layout, and broken variants of each (cut short,
// bytes overwritten), plus hand-picked malformed headers. Usage: make_read_corpus <folder>.
#include <fstream>
#include <iterator>
#include <string>

#include "tests/support/corpus_folder.h"
#include "verodyn/tests/tiff_samples.h"
#include <verodyn/operators.h>

namespace {

using corpus::Bytes;

std::vector<std::uint16_t> pattern(std::size_t n, unsigned step, unsigned limit = 256)
{
    std::vector<std::uint16_t> v(n);
    for (std::size_t i = 0; i < n; ++i)
        v[i] = std::uint16_t(i * step % limit);
    return v;
}

samples::TiffSpec spec(std::uint16_t bits, std::uint16_t samples, std::uint16_t photometric)
{
    samples::TiffSpec s;
    s.width = 13;
    s.height = 7;
    s.bits = bits;
    s.samples = samples;
    s.photometric = photometric;
    const unsigned limit = bits == 1 ? 2u : bits == 16 ? 65536u : 256u;
    for (std::uint16_t i = 0; i < samples; ++i)
        s.planes.push_back(pattern(13 * 7, 37u * (i + 1u) + (bits == 16 ? 1000u : 0u), limit));
    return s;
}

// A JPEG file written by the library, as bytes (`scratch` is the file it goes through).
Bytes jpeg(int channels, const std::filesystem::path& scratch)
{
    auto image = VImage::create(VPixelType::Byte, 16, 8, channels);
    for (int c = 0; c < channels; ++c)
        for (std::size_t i = 0; i < image->pixel_count(); ++i)
            image->plane_as<std::uint8_t>(c)[i] = std::uint8_t(i * 5 + 40 * std::size_t(c));
    write_image(Vobject(image), "jpeg30", 0, scratch.c_str());
    std::ifstream in(scratch, std::ios::binary);
    Bytes bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::filesystem::remove(scratch);
    return bytes;
}

} // namespace

int main(int argc, char** argv)
{
    const std::filesystem::path folder = corpus::FolderOf(argc, argv);
    auto write = [&](const std::string& name, const Bytes& bytes) {
        corpus::Write(folder / name, bytes);
    };

    samples::TiffSpec tiled = spec(8, 1, PHOTOMETRIC_MINISBLACK);
    tiled.tile = 16;
    tiled.compression = COMPRESSION_LZW;
    samples::TiffSpec planes = spec(8, 3, PHOTOMETRIC_RGB);
    planes.planar = PLANARCONFIG_SEPARATE;
    planes.rows_per_strip = 2;
    samples::TiffSpec rgba = spec(8, 4, PHOTOMETRIC_RGB);
    rgba.alpha = true;
    samples::TiffSpec palette = spec(8, 1, PHOTOMETRIC_PALETTE);
    for (int c = 0; c < 3; ++c)
        for (unsigned i = 0; i < 256; ++i)
            palette.colormap.push_back(std::uint16_t(i * 97u * unsigned(c + 1)));
    samples::TiffSpec deflate = spec(8, 3, PHOTOMETRIC_RGB);
    deflate.compression = COMPRESSION_DEFLATE;

    const Bytes handmade = samples::handmade_grey_tiff(13, 7, Bytes(13 * 7, 99));
    const std::pair<std::string, Bytes> good[] = {
        {"grey.tif", samples::make_tiff(spec(8, 1, PHOTOMETRIC_MINISBLACK))},
        {"grey16.tif", samples::make_tiff(spec(16, 1, PHOTOMETRIC_MINISBLACK))},
        {"bilevel.tif", samples::make_tiff(spec(1, 1, PHOTOMETRIC_MINISWHITE))},
        {"tiled_lzw.tif", samples::make_tiff(tiled)},
        {"rgb_planes.tif", samples::make_tiff(planes)},
        {"rgba.tif", samples::make_tiff(rgba)},
        {"palette.tif", samples::make_tiff(palette)},
        {"rgb_deflate.tif", samples::make_tiff(deflate)},
        {"handmade.tif", handmade},
        {"grey.jpg", jpeg(1, folder / "scratch.jpg")},
        {"colour.jpg", jpeg(3, folder / "scratch.jpg")},
    };
    for (const auto& [name, bytes] : good) {
        write(name, bytes);
        const std::size_t size = bytes.size();
        for (std::size_t cut : {size / 3, 2 * size / 3, size - 1}) {
            Bytes part(bytes.begin(), bytes.begin() + std::ptrdiff_t(cut));
            write("cut" + std::to_string(cut) + "_" + name, part);
        }
        for (std::size_t at : {std::size_t(4), size / 5, size / 2, size - 10}) {
            Bytes flipped = bytes;
            flipped[at] ^= 0xFF;
            write("flip" + std::to_string(at) + "_" + name, flipped);
        }
    }

    write("empty", {});
    write("tiff_magic_only", {'I', 'I', 42, 0});
    write("tiff_directory_far_away", {'M', 'M', 0, 42, 0x7F, 0xFF, 0xFF, 0xFF});
    write("jpeg_magic_only", {0xFF, 0xD8, 0xFF});
    Bytes huge = handmade; // 65535 x 65535 pixels claimed
    corpus::Put(huge, 18, 65535, 2);
    corpus::Put(huge, 30, 65535, 2);
    write("tiff_huge_size", huge);
    Bytes long_strip = handmade; // strip byte count far beyond the file
    corpus::Put(long_strip, 8 + 2 + 8 * 12 + 8, 0x7FFFFFF0, 4);
    write("tiff_long_strip", long_strip);
    Bytes wide_sample = handmade; // 8 samples per pixel with one strip of 91 bytes
    corpus::Put(wide_sample, 8 + 2 + 6 * 12 + 8, 8, 2);
    write("tiff_many_samples", wide_sample);
    return 0;
}
