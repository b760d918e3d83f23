// Image file codecs. A decoder reads a file by position and hands out an image
// only when every pixel was read; an encoder writes byte images of 1 or 3
// channels into bytes in memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "file_bytes.h"
#include <verodyn/object.h>
#include <verodyn/status.h>

namespace verodyn::detail {

// The widest and highest image read: the program keeps sizes in signed 16 bits.
constexpr std::uint32_t kMaxImageSide = 32767;

// V_OK when an image of `width` x `height` pixels, as its file's header gives
// them, may be read; else the status (VERR_IMAGE_TOO_LARGE, or VERR_FILE_FORMAT
// for an empty image) and why in `detail`. Decoders ask before they read pixels.
Vstatus check_image_size(std::uint64_t width, std::uint64_t height, std::string* detail);

// On failure each returns a status of status.h and the reason in `detail`.
Vstatus decode_tiff(const ReadableFile& file, std::shared_ptr<VImage>* image, std::string* detail);
Vstatus decode_jpeg(const ReadableFile& file, std::shared_ptr<VImage>* image, std::string* detail);
enum class ImageFileKind { Tiff, Jpeg, Empty, Other, Unreadable };
// What the first bytes of `file` say it holds.
ImageFileKind image_file_kind(const ReadableFile& file);
// Chooses the decoder by the first bytes of the file.
Vstatus decode_image(const ReadableFile& file, std::shared_ptr<VImage>* image, std::string* detail);

Vstatus encode_tiff(const VImage& image, std::vector<std::uint8_t>* bytes, std::string* detail);
Vstatus encode_jpeg(const VImage& image, int quality, std::vector<std::uint8_t>* bytes,
                    std::string* detail);

} // namespace verodyn::detail
