// The module DVLZPH2D: its module entry and its one command export.
#include "decoder.h"
#include "dvl/digitizer_module.h"

namespace {

void* module_handle = nullptr;

} // namespace

extern "C" __attribute__((visibility("default"))) int DvlModuleEntry(void* handle)
{
    module_handle = handle;
    return 1;
}

extern "C" __attribute__((visibility("default"))) void DDZephonIIDigCommandDecoder(void* packet)
{
    digdec::DecodeDigCommand(packet);
}
