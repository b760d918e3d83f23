// Fuzz entry of the bitmap decoder: the first byte says whether a memory
// transfer built the bitmap, the rest is the bitmap. Any bytes give planes or
// a refusal, never a read outside them.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include <fgint/fgint.h>
#include <twain_codec/dib_decoder.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    // A copy of its own size, so that a read beyond it is caught.
    const std::vector<uint8_t> bitmap(data + 1, data + size);
    twain_codec::DibImage image;
    if (twain_codec::ReadDib(bitmap.data(), bitmap.size(), data[0] & 1, &image))
        return 0;
    if (image.width <= 0 || image.height <= 0 || (image.channels != 1 && image.channels != 3))
        std::abort();
    const size_t bytes = image.pixel_kind == UINT2_IMAGE ? 2 : 1;
    std::vector<uint8_t> planes[3];
    void* targets[3] = {};
    for (int c = 0; c < image.channels; ++c) {
        planes[c].resize(size_t(image.width) * size_t(image.height) * bytes);
        targets[c] = planes[c].data();
    }
    twain_codec::ExtractDib(image, targets);
    return 0;
}
