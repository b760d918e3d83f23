// libtiff over a file read by position or a growing buffer in memory, with
// libtiff's messages kept instead of printed.
#pragma once

#include <tiffio.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "file_bytes.h"

namespace verodyn::detail {

// The "file" libtiff sees: a file to read, or a growing buffer to write.
struct TiffStream {
    const ReadableFile* source = nullptr;
    std::vector<std::uint8_t>* sink = nullptr;
    std::uint64_t position = 0;
    bool read_short = false; // a read asked for bytes past the end of the file
    std::string error;       // libtiff's first error message
};

struct TiffCloser {
    void operator()(TIFF* tif) const { TIFFClose(tif); }
};
using TiffHandle = std::unique_ptr<TIFF, TiffCloser>;

// Opens `stream` with mode "r" (reading `source`) or "w" (writing into `sink`).
// Null on failure, with libtiff's reason in stream.error.
TiffHandle open_tiff_stream(TiffStream& stream, const char* mode);

} // namespace verodyn::detail
