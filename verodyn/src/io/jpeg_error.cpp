#include "jpeg_error.h"

#include <cstring>

namespace verodyn::detail {

namespace {

[[noreturn]] void jump_back(j_common_ptr common)
{
    auto* manager = reinterpret_cast<JpegErrorManager*>(common->err);
    manager->base.format_message(common, manager->message);
    std::longjmp(manager->jump, 1);
}

// Level -1 is a warning that the data is corrupt: libjpeg would go on and fill
// the rest of the image with grey, so it is treated as an error.
void emit_message(j_common_ptr common, int level)
{
    if (level < 0)
        jump_back(common);
}

void output_message(j_common_ptr) {}

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
