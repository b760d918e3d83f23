// A libjpeg error manager that prints nothing and never exits: errors, and
// warnings that image data is missing or corrupt, jump back to the caller's
// setjmp; other warnings are ignored.
#pragma once

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace verodyn::detail {

struct JpegErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

// Installs the manager into `common` (a compress or decompress object's .err).
jpeg_error_mgr* install_jpeg_errors(JpegErrorManager& manager);

} // namespace verodyn::detail
