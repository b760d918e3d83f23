// JPEG decoding: grey files give one channel, colour files (YCbCr, RGB, CMYK
// or YCCK) three.
#include <csetjmp>
#include <new>

#include <jerror.h>

#include "codecs.h"
#include "jpeg_error.h"

namespace verodyn::detail {

namespace {

// libjpeg's data source: the file, read a piece at a time as the decoder asks.
struct FileSource {
    jpeg_source_mgr base{}; // first, so that libjpeg's pointer to it is one to the whole
    const ReadableFile* file = nullptr;
    std::uint64_t next_piece = 0; // file offset of the piece after the buffer
    JOCTET buffer[65536];
};

FileSource& source_of(j_decompress_ptr info) { return *reinterpret_cast<FileSource*>(info->src); }

void init_source(j_decompress_ptr) { }
void term_source(j_decompress_ptr) { }

boolean fill_input_buffer(j_decompress_ptr info)
{
    FileSource& source = source_of(info);
    const std::int64_t got =
        source.file->read_at(source.next_piece, source.buffer, sizeof source.buffer);
    if (got < 0)
        ERREXIT(info, JERR_FILE_READ);
    source.base.next_input_byte = source.buffer;
    if (got == 0) {
        // The data ends without its end marker: said by a warning (which the
        // error manager turns into an error), then an end marker is supplied.
        WARNMS(info, JWRN_JPEG_EOF);
        source.buffer[0] = 0xFF;
        source.buffer[1] = JPEG_EOI;
        source.base.bytes_in_buffer = 2;
        return TRUE;
    }
    source.next_piece += std::uint64_t(got);
    source.base.bytes_in_buffer = std::size_t(got);
    return TRUE;
}

void skip_input_data(j_decompress_ptr info, long count)
{
    FileSource& source = source_of(info);
    if (count <= 0)
        return;
    if (std::size_t(count) <= source.base.bytes_in_buffer) {
        source.base.next_input_byte += count;
        source.base.bytes_in_buffer -= std::size_t(count);
        return;
    }
    source.next_piece += std::size_t(count) - source.base.bytes_in_buffer;
    source.base.bytes_in_buffer = 0;
}

void install_source(jpeg_decompress_struct& info, FileSource& source, const ReadableFile& file)
{
    source.file = &file;
    source.base.init_source = init_source;
    source.base.fill_input_buffer = fill_input_buffer;
    source.base.skip_input_data = skip_input_data;
    source.base.resync_to_restart = jpeg_resync_to_restart;
    source.base.term_source = term_source;
    info.src = &source.base;
}

// Everything the decoder touches between setjmp and longjmp lives here, in the
// caller's frame, so a jump back leaves it in a defined state.
struct JpegDecode {
    jpeg_decompress_struct info{};
    JpegErrorManager errors{};
    FileSource source;
    std::shared_ptr<VImage> image;
    Vstatus status = VERR_FILE_FORMAT;
    std::string reason;
};

void copy_row(const JSAMPLE* row, VImage& image, JDIMENSION y)
{
    const std::size_t width = std::size_t(image.width());
    const int channels = image.channels();
    for (int c = 0; c < channels; ++c) {
        std::uint8_t* target = image.plane_as<std::uint8_t>(c) + std::size_t(y) * width;
        for (std::size_t x = 0; x < width; ++x)
            target[x] = row[x * std::size_t(channels) + std::size_t(c)];
    }
}

// CMYK is rendered as libtiff renders CMYK TIFF files, so that both read
// alike: red, green and blue are (255 - K) x (255 - C, M or Y) / 255, truncated.
// Files with Adobe's marker store every ink inverted (255 is no ink).
void copy_cmyk_row(const JSAMPLE* row, bool inverted, VImage& image, JDIMENSION y)
{
    const std::size_t width = std::size_t(image.width());
    const unsigned flip = inverted ? 255 : 0;
    for (int c = 0; c < 3; ++c) {
        std::uint8_t* target = image.plane_as<std::uint8_t>(c) + std::size_t(y) * width;
        for (std::size_t x = 0; x < width; ++x) {
            const unsigned ink = row[4 * x + std::size_t(c)] ^ flip;
            const unsigned black = row[4 * x + 3] ^ flip;
            target[x] = std::uint8_t((255 - black) * (255 - ink) / 255);
        }
    }
}

// Has only trivially destructible locals: the error manager may longjmp out of any libjpeg call.
void decode(JpegDecode& job, const ReadableFile& file)
{
    job.info.err = install_jpeg_errors(job.errors);
    if (setjmp(job.errors.jump)) {
        job.reason = job.errors.message;
        jpeg_destroy_decompress(&job.info);
        return;
    }
    jpeg_create_decompress(&job.info);
    install_source(job.info, job.source, file);
    jpeg_read_header(&job.info, TRUE);
    const bool grey = job.info.jpeg_color_space == JCS_GRAYSCALE;
    const bool cmyk =
        job.info.jpeg_color_space == JCS_CMYK || job.info.jpeg_color_space == JCS_YCCK;
    job.info.out_color_space = grey ? JCS_GRAYSCALE : cmyk ? JCS_CMYK : JCS_RGB;
    if (const Vstatus size =
            check_image_size(job.info.image_width, job.info.image_height, &job.reason);
        size != V_OK) {
        job.status = size;
        jpeg_destroy_decompress(&job.info);
        return;
    }
    try {
        job.image = VImage::create(VPixelType::Byte, int(job.info.image_width),
                                   int(job.info.image_height), grey ? 1 : 3);
    } catch (const std::bad_alloc&) {
        job.status = VERR_NO_MEMORY;
        jpeg_destroy_decompress(&job.info);
        return;
    }
    jpeg_start_decompress(&job.info);
    JSAMPARRAY row = (*job.info.mem->alloc_sarray)(
        reinterpret_cast<j_common_ptr>(&job.info), JPOOL_IMAGE,
        job.info.output_width * JDIMENSION(job.info.output_components), 1);
    while (job.info.output_scanline < job.info.output_height) {
        const JDIMENSION y = job.info.output_scanline;
        if (jpeg_read_scanlines(&job.info, row, 1) != 1) {
            job.reason = "image data ends early";
            jpeg_destroy_decompress(&job.info);
            return;
        }
        if (cmyk)
            copy_cmyk_row(row[0], job.info.saw_Adobe_marker, *job.image, y);
        else
            copy_row(row[0], *job.image, y);
    }
    jpeg_finish_decompress(&job.info);
    jpeg_destroy_decompress(&job.info);
    job.status = V_OK;
}

} // namespace

Vstatus decode_jpeg(const ReadableFile& file, std::shared_ptr<VImage>* image, std::string* detail)
{
    JpegDecode job;
    decode(job, file);
    if (job.status != V_OK) {
        *detail = job.reason;
        return job.status;
    }
    *image = std::move(job.image);
    return V_OK;
}

} // namespace verodyn::detail
