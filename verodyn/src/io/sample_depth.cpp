// read_image_depth: the bits per sample an image file stores, from its header
// only: the file is read by position, so a large file costs no more than its header.
#include "codecs.h"
#include "file_bytes.h"
#include "tiff_stream.h"
#include <verodyn/extension.h>
#include <verodyn/operators.h>

using namespace verodyn;
using namespace verodyn::detail;

namespace {

int tiff_bits(const ReadableFile& file)
{
    TiffStream stream;
    stream.source = &file;
    TiffHandle tif = open_tiff_stream(stream, "r");
    std::uint16_t bits = 0;
    if (!tif || !TIFFGetFieldDefaulted(tif.get(), TIFFTAG_BITSPERSAMPLE, &bits))
        return 0;
    return bits;
}

// The sample precision of the first frame header, walking the marker segments.
int jpeg_bits(const ReadableFile& file)
{
    std::uint64_t at = 2;
    std::uint8_t bytes[3];
    for (;;) {
        if (file.read_at(at, bytes, 2) != 2 || bytes[0] != 0xFF)
            return 0;
        const std::uint8_t marker = bytes[1];
        at += 2;
        if (marker == 0xFF) {
            --at; // fill byte
            continue;
        }
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7))
            continue;
        // Segment length (2 bytes), then for a frame header its precision.
        if (marker == 0xDA || marker == 0xD9 || file.read_at(at, bytes, 3) != 3)
            return 0;
        const bool frame =
            marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame)
            return bytes[2];
        at += (std::uint64_t(bytes[0]) << 8) | bytes[1];
    }
}

} // namespace

Vstatus read_image_depth(const char* path, int* bits_per_sample)
{
    return run("read_image_depth", [&]() -> Vstatus {
        if (!path || !bits_per_sample)
            return VERR_PARAM;
        ReadableFile file;
        std::string error;
        if (!file.open(path, &error))
            return VERR_FILE_OPEN;
        int bits = 0;
        switch (image_file_kind(file)) {
        case ImageFileKind::Tiff:
            bits = tiff_bits(file);
            break;
        case ImageFileKind::Jpeg:
            bits = jpeg_bits(file);
            break;
        case ImageFileKind::Unreadable:
            return VERR_FILE_OPEN;
        case ImageFileKind::Empty:
        case ImageFileKind::Other:
            break;
        }
        if (bits <= 0)
            return VERR_FILE_FORMAT;
        *bits_per_sample = bits;
        return V_OK;
    });
}
