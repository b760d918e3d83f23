// twain_32.so: the manager's entry points, over the simulated sources of
// libtwainsim.so.
#include "manager.h"

#define DSM_EXPORT extern "C" __attribute__((visibility("default")))

DSM_EXPORT TW_UINT16 DSM_Entry(TW_IDENTITY* origin, TW_IDENTITY* dest, TW_UINT32 dg, TW_UINT16 dat,
                               TW_UINT16 msg, TW_MEMREF data)
{
    return twsim::detail::Entry(origin, dest, dg, dat, msg, data);
}

DSM_EXPORT TW_UINT16 DSM_WaitEvent(DSM_MESSAGE* message, TW_UINT32 milliseconds)
{
    return twsim::detail::WaitEvent(message, milliseconds);
}
