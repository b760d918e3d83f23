// TIFF encoding: uncompressed 8-bit grey or RGB (contiguous samples), in strips.
#include "codecs.h"
#include "tiff_stream.h"

namespace verodyn::detail {

Vstatus encode_tiff(const VImage& image, std::vector<std::uint8_t>* bytes, std::string* detail)
{
    TiffStream stream;
    stream.sink = bytes;
    bytes->clear();
    TiffHandle tif = open_tiff_stream(stream, "w");
    if (!tif) {
        *detail = stream.error;
        return VERR_FILE_WRITE;
    }
    const int channels = image.channels();
    const auto width = std::uint32_t(image.width());
    TIFFSetField(tif.get(), TIFFTAG_IMAGEWIDTH, width);
    TIFFSetField(tif.get(), TIFFTAG_IMAGELENGTH, std::uint32_t(image.height()));
    TIFFSetField(tif.get(), TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(tif.get(), TIFFTAG_SAMPLESPERPIXEL, channels);
    TIFFSetField(tif.get(), TIFFTAG_PHOTOMETRIC,
                 channels == 3 ? PHOTOMETRIC_RGB : PHOTOMETRIC_MINISBLACK);
    TIFFSetField(tif.get(), TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tif.get(), TIFFTAG_COMPRESSION, COMPRESSION_NONE);
    TIFFSetField(tif.get(), TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT);
    TIFFSetField(tif.get(), TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(tif.get(), 0));

    std::vector<std::uint8_t> row(std::size_t(width) * std::size_t(channels));
    for (int y = 0; y < image.height(); ++y) {
        const std::size_t start = std::size_t(y) * width;
        for (int c = 0; c < channels; ++c) {
            const std::uint8_t* plane = image.plane_as<std::uint8_t>(c) + start;
            for (std::size_t x = 0; x < width; ++x)
                row[x * std::size_t(channels) + std::size_t(c)] = plane[x];
        }
        if (TIFFWriteScanline(tif.get(), row.data(), std::uint32_t(y), 0) < 0) {
            *detail = stream.error;
            return VERR_FILE_WRITE;
        }
    }
    if (!TIFFFlush(tif.get())) {
        *detail = stream.error;
        return VERR_FILE_WRITE;
    }
    return V_OK;
}

} // namespace verodyn::detail
