// Fuzz entry of the image file reader: any bytes give a complete image or an
// error status with no image, never a crash.
#include <cstdint>
#include <cstdlib>

#include "codecs.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::shared_ptr<VImage> image;
    std::string detail;
    const Vstatus status = verodyn::detail::decode_image(data, size, &image, &detail);
    if ((status == V_OK) != (image != nullptr))
        std::abort();
    if (image && (image->width() <= 0 || image->height() <= 0 || image->type() != VPixelType::Byte))
        std::abort();
    return 0;
}
