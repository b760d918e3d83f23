// The host's VXAlloc as the plug-in meets it in these tests: this program
// exports its own, which hands every call on to the host's until a test asks
// it to fail one.
#include <dlfcn.h>

#include "usbcam_test_support.h"
#include <verodyn/status.h>

int g_allocations_before_failure = -1;

extern "C" FGstatus VXAlloc(Vproc_handle proc_id, size_t size, const char* file, int32_t line,
                            int32_t id, void* pointer_address)
{
    using HostAlloc = FGstatus (*)(Vproc_handle, size_t, const char*, int32_t, int32_t, void*);
    static const auto host = reinterpret_cast<HostAlloc>(dlsym(RTLD_NEXT, "VXAlloc"));
    if (g_allocations_before_failure == 0) {
        *static_cast<void**>(pointer_address) = nullptr;
        return VERR_NO_MEMORY;
    }
    if (g_allocations_before_failure > 0)
        --g_allocations_before_failure;
    return host(proc_id, size, file, line, id, pointer_address);
}
