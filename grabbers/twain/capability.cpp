#include "capability.h"

#include <cstring>

#include "dsm.h"

namespace vfgtwain {

namespace {

// The item type each capability is set with.
TW_UINT16 CapItemType(TW_UINT16 cap)
{
    switch (cap) {
    case ICAP_XFERMECH:
    case ICAP_PIXELTYPE:
    case ICAP_UNITS:
    case ICAP_BITDEPTH:
    case ICAP_LIGHTPATH:
        return TWTY_UINT16;
    }
    return TWTY_FIX32;
}

} // namespace

bool GetCapValue(TW_UINT16 cap, twain_codec::CapItem* item)
{
    TW_CAPABILITY capability{cap, 0, nullptr};
    if (Send(To::Source, DG_CONTROL, DAT_CAPABILITY, MSG_GETCURRENT, &capability) != TWRC_SUCCESS) {
        ReportFailure("GetCapValue error: Capability negotiation failed", To::Source,
                      {TWCC_BADCAP, TWCC_BADDEST, TWCC_LOWMEMORY, TWCC_SEQERROR});
        return false;
    }
    twain::GlobalBlock container(capability.hContainer);
    twain::GlobalLockGuard lock(container.Get());
    const char* error = lock.Address()
                            ? twain_codec::ReadCurrentItem(capability.ConType, lock.Address(),
                                                           container.Size(), item)
                            : "GetCapValue error: GlobalLock failed";
    if (error)
        Print(error);
    return !error;
}

bool GetCapReal(TW_UINT16 cap, double* value)
{
    twain_codec::CapItem item;
    return GetCapValue(cap, &item) && twain_codec::ItemToReal(item, value);
}

bool SetCapValue(TW_UINT16 cap, double value)
{
    const TW_UINT16 type = CapItemType(cap);
    twain::GlobalBlock container(twain::GlobalAlloc(sizeof(TW_ONEVALUE)));
    {
        twain::GlobalLockGuard lock(container.Get());
        if (!lock.Address()) {
            Print("SetCapValue error: GlobalAlloc for container failed");
            return false;
        }
        TW_ONEVALUE one{type, 0};
        if (type == TWTY_FIX32) {
            const TW_FIX32 fix = TwainRealToFix32(value);
            std::memcpy(&one.Item, &fix, sizeof fix);
        } else {
            one.Item = TW_UINT32(TW_INT32(value));
        }
        std::memcpy(lock.Address(), &one, sizeof one);
    }
    TW_CAPABILITY capability{cap, TWON_ONEVALUE, container.Get()};
    const TW_UINT16 rc = Send(To::Source, DG_CONTROL, DAT_CAPABILITY, MSG_SET, &capability);
    if (rc == TWRC_FAILURE)
        ReportFailure("SetCapValue error: DG_CONTROL/DAT_CAPABILITY/MSG_SET failed", To::Source,
                      {TWCC_BADCAP, TWCC_BADDEST, TWCC_BADVALUE, TWCC_SEQERROR},
                      "condition code =  ");
    return rc == TWRC_SUCCESS;
}

} // namespace vfgtwain
