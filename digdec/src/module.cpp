// The module DVLZPH2D: its module entry and its one command export.
#include "decoder.h"
#include <dvl/digitizer_module.h>

// The decoder keeps no per-module state, so it accepts every load.
extern "C" __attribute__((visibility("default"))) int DvlModuleEntry(void*) { return 1; }

extern "C" __attribute__((visibility("default"))) void DDZephonIIDigCommandDecoder(void* packet)
{
    digdec::DecodeDigCommand(packet);
}
