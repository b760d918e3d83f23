#include "instance.h"

namespace usbcam {

Plugin& ThePlugin()
{
    static Plugin plugin;
    return plugin;
}

std::mutex& PluginLock()
{
    static std::mutex lock;
    return lock;
}

std::vector<AcquireInstance*> OthersOnBoard(const AcquireInstance& r)
{
    std::vector<AcquireInstance*> others;
    for (AcquireInstance& other : ThePlugin().instances)
        if (&other != &r && other.board && other.board == r.board)
            others.push_back(&other);
    return others;
}

void CancelOthers(AcquireInstance& r)
{
    bool cancelled = false;
    for (AcquireInstance* other : OthersOnBoard(r)) {
        cancelled = cancelled || other->request_pending;
        other->request_pending = false;
    }
    if (cancelled)
        r.board->device->requests().ResetQueue();
}

FGstatus SetInstParam(FGInstance* fginst)
{
    AcquireInstance& r = Record(fginst);
    r.board->device->Select(*r.settings);
    return FG_SUCCESS;
}

size_t BufferSize(const FGInstance* fginst)
{
    return size_t(fginst->image_width) * size_t((fginst->bits_per_channel + 7) / 8) *
           size_t(fginst->num_channels) * size_t(fginst->image_height);
}

} // namespace usbcam
