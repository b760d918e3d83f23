// The host's VNewImagePtr as the plug-in meets it in the host tests: this
// program exports its own, which lets a test act once the plug-in has decided
// to lend its buffer, then hands the call on to the host's.
#include <dlfcn.h>

#include <utility>

#include "lending_host.h"

std::function<void()> g_before_lending;

extern "C" FGstatus VNewImagePtr(Vproc_handle proc_id, VImageRecord* image, int32_t kind,
                                 int32_t width, int32_t height, void* data, int32_t copy)
{
    using Host =
        FGstatus (*)(Vproc_handle, VImageRecord*, int32_t, int32_t, int32_t, void*, int32_t);
    static const auto host = reinterpret_cast<Host>(dlsym(RTLD_NEXT, "VNewImagePtr"));
    if (!copy && g_before_lending)
        std::exchange(g_before_lending, nullptr)();
    return host(proc_id, image, kind, width, height, data, copy);
}
