// libtiff over bytes in memory, with libtiff's messages kept instead of printed.
#pragma once

#include <tiffio.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace verodyn::detail {

// The "file" libtiff sees: a fixed buffer to read, or a growing one to write.
struct TiffMemory {
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
    std::vector<std::uint8_t>* sink = nullptr;
    std::uint64_t position = 0;
    std::string error; // libtiff's first error message
};

struct TiffCloser {
    void operator()(TIFF* tif) const { TIFFClose(tif); }
};
using TiffHandle = std::unique_ptr<TIFF, TiffCloser>;

// Opens `memory` with mode "r" (reading `data`) or "w" (writing into `sink`).
// Null on failure, with libtiff's reason in memory.error.
TiffHandle open_tiff_memory(TiffMemory& memory, const char* mode);

} // namespace verodyn::detail
