// JPEG encoding of 8-bit grey or RGB images, baseline, at a given quality.
#include <csetjmp>
#include <cstdlib>
#include <memory>

#include "codecs.h"
#include "jpeg_error.h"

namespace verodyn::detail {

namespace {

// See JpegDecode: the state a longjmp may cross lives in the caller's frame.
struct JpegEncode {
    jpeg_compress_struct info{};
    JpegErrorManager errors{};
    unsigned char* buffer = nullptr; // malloc'd by libjpeg's memory destination
    unsigned long size = 0;
    std::vector<JSAMPLE> row;
    bool done = false;
};

void encode(JpegEncode& job, const VImage& image, int quality)
{
    job.info.err = install_jpeg_errors(job.errors);
    if (setjmp(job.errors.jump)) {
        jpeg_destroy_compress(&job.info);
        return;
    }
    jpeg_create_compress(&job.info);
    jpeg_mem_dest(&job.info, &job.buffer, &job.size);
    const int channels = image.channels();
    job.info.image_width = JDIMENSION(image.width());
    job.info.image_height = JDIMENSION(image.height());
    job.info.input_components = channels;
    job.info.in_color_space = channels == 3 ? JCS_RGB : JCS_GRAYSCALE;
    jpeg_set_defaults(&job.info);
    jpeg_set_quality(&job.info, quality, TRUE);
    jpeg_start_compress(&job.info, TRUE);
    const std::size_t width = std::size_t(image.width());
    while (job.info.next_scanline < job.info.image_height) {
        const std::size_t start = std::size_t(job.info.next_scanline) * width;
        for (int c = 0; c < channels; ++c) {
            const std::uint8_t* plane = image.plane_as<std::uint8_t>(c) + start;
            for (std::size_t x = 0; x < width; ++x)
                job.row[x * std::size_t(channels) + std::size_t(c)] = plane[x];
        }
        JSAMPROW rows[1] = {job.row.data()};
        jpeg_write_scanlines(&job.info, rows, 1);
    }
    jpeg_finish_compress(&job.info);
    jpeg_destroy_compress(&job.info);
    job.done = true;
}

} // namespace

Vstatus encode_jpeg(const VImage& image, int quality, std::vector<std::uint8_t>* bytes,
                    std::string* detail)
{
    JpegEncode job;
    job.row.resize(std::size_t(image.width()) * std::size_t(image.channels()));
    encode(job, image, quality);
    const std::unique_ptr<unsigned char, decltype(&std::free)> owned(job.buffer, &std::free);
    if (!job.done) {
        *detail = job.errors.message;
        return VERR_FILE_WRITE;
    }
    bytes->assign(job.buffer, job.buffer + job.size);
    return V_OK;
}

} // namespace verodyn::detail
