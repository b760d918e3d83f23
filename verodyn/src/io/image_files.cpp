// read_image and write_image.
#include <cstring>
#include <new>
#include <string_view>

#include "codecs.h"
#include "file_bytes.h"
#include <verodyn/extension.h>
#include <verodyn/operators.h>

namespace verodyn::detail {

Vstatus check_image_size(std::uint64_t width, std::uint64_t height, std::string* detail)
{
    *detail = "image of " + std::to_string(width) + " x " + std::to_string(height) + " pixels";
    if (width == 0 || height == 0)
        return VERR_FILE_FORMAT;
    if (width > kMaxImageSide || height > kMaxImageSide)
        return VERR_IMAGE_TOO_LARGE;
    detail->clear();
    return V_OK;
}

ImageFileKind image_file_kind(const ReadableFile& file)
{
    static constexpr std::uint8_t kTiffLittle[] = {'I', 'I', 42, 0}, kTiffBig[] = {'M', 'M', 0, 42},
                                  kBigTiffLittle[] = {'I', 'I', 43, 0},
                                  kBigTiffBig[] = {'M', 'M', 0, 43}, kJpeg[] = {0xFF, 0xD8, 0xFF};
    std::uint8_t head[4] = {};
    const std::int64_t size = file.read_at(0, head, sizeof head);
    auto starts_with = [&](const std::uint8_t* magic, std::int64_t length) {
        return size >= length && std::memcmp(head, magic, std::size_t(length)) == 0;
    };
    if (size < 0)
        return ImageFileKind::Unreadable;
    if (starts_with(kTiffLittle, 4) || starts_with(kTiffBig, 4) || starts_with(kBigTiffLittle, 4) ||
        starts_with(kBigTiffBig, 4))
        return ImageFileKind::Tiff;
    if (starts_with(kJpeg, 3))
        return ImageFileKind::Jpeg;
    return size == 0 ? ImageFileKind::Empty : ImageFileKind::Other;
}

Vstatus decode_image(const ReadableFile& file, std::shared_ptr<VImage>* image, std::string* detail)
{
    switch (image_file_kind(file)) {
    case ImageFileKind::Tiff:
        return decode_tiff(file, image, detail);
    case ImageFileKind::Jpeg:
        return decode_jpeg(file, image, detail);
    case ImageFileKind::Unreadable:
        *detail = "read error";
        return VERR_FILE_OPEN;
    case ImageFileKind::Empty:
        *detail = "empty file";
        return VERR_FILE_FORMAT;
    case ImageFileKind::Other:
        break;
    }
    *detail = "neither TIFF nor JPEG";
    return VERR_FILE_FORMAT;
}

} // namespace verodyn::detail

using namespace verodyn;
using namespace verodyn::detail;

namespace {

// As run(), with a reason the body may give.
template <typename Body> Vstatus run_with_detail(const char* op, Body&& body)
{
    std::string detail;
    Vstatus status;
    try {
        status = body(detail);
    } catch (const std::bad_alloc&) {
        status = VERR_NO_MEMORY;
    }
    return report(status, op, detail);
}

} // namespace

Vstatus read_image(Vobject* out, const char* path)
{
    return run_with_detail("read_image", [&](std::string& detail) -> Vstatus {
        if (!out || !path)
            return VERR_PARAM;
        ReadableFile file;
        if (!file.open(path, &detail))
            return VERR_FILE_OPEN;
        std::shared_ptr<VImage> image;
        if (Vstatus status = decode_image(file, &image, &detail); status != V_OK) {
            detail = std::string(path) + ": " + detail;
            return status;
        }
        *out = Vobject(std::move(image));
        return V_OK;
    });
}

Vstatus write_image(const Vobject& object, const char* format, int, const char* path)
{
    return run_with_detail("write_image", [&](std::string& detail) -> Vstatus {
        if (!format || !path || !*path)
            return VERR_PARAM;
        const std::string_view name(format);
        if (name != "tiff" && name != "jpeg30")
            return VERR_FILE_FORMAT_NAME;
        const VImage* image = nullptr;
        if (const Vstatus usable = first_byte_image(object, &image); usable != V_OK)
            return usable;
        std::vector<std::uint8_t> bytes;
        const Vstatus encoded = name == "tiff" ? encode_tiff(*image, &bytes, &detail)
                                               : encode_jpeg(*image, 30, &bytes, &detail);
        if (encoded != V_OK)
            return encoded;
        if (!ondula::write_file_atomically(path, bytes, &detail))
            return VERR_FILE_WRITE;
        return V_OK;
    });
}
