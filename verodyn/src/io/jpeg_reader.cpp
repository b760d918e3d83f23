// JPEG decoding: grey files give one channel, colour (YCbCr or RGB) files three;
// CMYK files are refused.
#include <csetjmp>
#include <new>

#include "codecs.h"
#include "jpeg_error.h"

namespace verodyn::detail {

namespace {

// Everything the decoder touches between setjmp and longjmp lives here, in the
// caller's frame, so a jump back leaves it in a defined state.
struct JpegDecode {
    jpeg_decompress_struct info{};
    JpegErrorManager errors{};
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

// Has only trivially destructible locals: the error manager may longjmp out of any libjpeg call.
void decode(JpegDecode& job, const std::uint8_t* data, std::size_t size)
{
    job.info.err = install_jpeg_errors(job.errors);
    if (setjmp(job.errors.jump)) {
        job.reason = job.errors.message;
        jpeg_destroy_decompress(&job.info);
        return;
    }
    jpeg_create_decompress(&job.info);
    jpeg_mem_src(&job.info, data, static_cast<unsigned long>(size));
    jpeg_read_header(&job.info, TRUE);
    if (job.info.jpeg_color_space == JCS_CMYK || job.info.jpeg_color_space == JCS_YCCK) {
        job.reason = "CMYK JPEG files are not supported";
        jpeg_destroy_decompress(&job.info);
        return;
    }
    const bool grey = job.info.jpeg_color_space == JCS_GRAYSCALE;
    job.info.out_color_space = grey ? JCS_GRAYSCALE : JCS_RGB;
    const std::uint64_t pixels = std::uint64_t(job.info.image_width) * job.info.image_height;
    if (pixels == 0 || pixels > kMaxFilePixels) {
        job.reason = "image size refused";
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
        copy_row(row[0], *job.image, y);
    }
    jpeg_finish_decompress(&job.info);
    jpeg_destroy_decompress(&job.info);
    job.status = V_OK;
}

} // namespace

Vstatus decode_jpeg(const std::uint8_t* data, std::size_t size, std::shared_ptr<VImage>* image,
                    std::string* detail)
{
    JpegDecode job;
    decode(job, data, size);
    if (job.status != V_OK) {
        *detail = job.reason;
        return job.status;
    }
    *image = std::move(job.image);
    return V_OK;
}

} // namespace verodyn::detail
