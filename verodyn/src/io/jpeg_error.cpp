#include "jpeg_error.h"

#include <cstring>

#include <jerror.h>

namespace verodyn::detail {

namespace {

[[noreturn]] void jump_back(j_common_ptr common)
{
    auto* manager = reinterpret_cast<JpegErrorManager*>(common->err);
    manager->base.format_message(common, manager->message);
    std::longjmp(manager->jump, 1);
}

// Warnings that image data is missing or damaged: libjpeg would go on and fill
// the rest of the image with grey or wrong values, so they are errors. Others
// (stray bytes before a marker, unknown JFIF revision...) leave every pixel
// intact and are common in camera files, so they pass.
bool damages_pixels(int code)
{
    switch (code) {
    case JWRN_JPEG_EOF:
    case JWRN_HIT_MARKER:
    case JWRN_MUST_RESYNC:
    case JWRN_HUFF_BAD_CODE:
    case JWRN_ARITH_BAD_CODE:
    case JWRN_BOGUS_PROGRESSION:
        return true;
    default:
        return false;
    }
}

void emit_message(j_common_ptr common, int level)
{
    if (level < 0 && damages_pixels(common->err->msg_code))
        jump_back(common);
}

void output_message(j_common_ptr) { }

} // namespace

jpeg_error_mgr* install_jpeg_errors(JpegErrorManager& manager)
{
    jpeg_error_mgr* base = jpeg_std_error(&manager.base);
    base->error_exit = jump_back;
    base->emit_message = emit_message;
    base->output_message = output_message;
    manager.message[0] = '\0';
    return base;
}

} // namespace verodyn::detail
