// Image file codecs working on bytes in memory. A decoder hands out an image
// only when every pixel was read; an encoder writes byte images of 1 or 3 channels.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "verodyn/object.h"
#include "verodyn/status.h"

namespace verodyn::detail {

// Files whose images have more pixels than this are refused as corrupt.
constexpr std::uint64_t kMaxFilePixels = std::uint64_t(1) << 26;

// On failure each returns a status of status.h and the reason in `detail`.
Vstatus decode_tiff(const std::uint8_t* data, std::size_t size, std::shared_ptr<VImage>* image,
                    std::string* detail);
Vstatus decode_jpeg(const std::uint8_t* data, std::size_t size, std::shared_ptr<VImage>* image,
                    std::string* detail);
// Chooses the decoder by the first bytes of the data.
Vstatus decode_image(const std::uint8_t* data, std::size_t size, std::shared_ptr<VImage>* image,
                     std::string* detail);

Vstatus encode_tiff(const VImage& image, std::vector<std::uint8_t>* bytes, std::string* detail);
Vstatus encode_jpeg(const VImage& image, int quality, std::vector<std::uint8_t>* bytes,
                    std::string* detail);

} // namespace verodyn::detail
