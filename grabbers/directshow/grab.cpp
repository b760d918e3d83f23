#include "grab.h"

#include <chrono>

#include "camera_type.h"
#include "capture_graph.h"
#include "low_error.h"
#include "record.h"
#include <fgint/delay.h>
#include <fgint/fghelpers.h>

namespace directshow {
namespace {

using std::chrono::milliseconds;

ondula::Clock::Duration Now() { return dshow::PlatformClock().Now(); }

// Waits for a sample unless an asynchronous acquisition already holds a fresh
// one, then takes the buffer it is in. 1 with `*index`, 5322 or 5306.
FGstatus TriggerGrab(CIODirectShow& r, FGInstance* fginst, int* index)
{
    bool wait = true;
    {
        std::lock_guard guard(*r.lock);
        if (!fginst->async_grab) {
            r.frame_event->Reset();
        } else if (r.frame_ready) {
            const auto age = std::chrono::duration_cast<milliseconds>(Now() - r.async_start);
            wait = age.count() > r.max_delay;
            if (wait)
                r.frame_event->Reset();
        }
    }
    if (wait) {
        RunGraph(r);
        if (!r.frame_event->Wait(milliseconds(r.grab_timeout)))
            return FG_ERR_TIMEOUT;
        std::lock_guard guard(*r.lock);
        if (r.frame_status != FG_SUCCESS)
            return r.frame_status;
    } else {
        r.frame_event->Reset();
    }
    {
        std::lock_guard guard(*r.lock);
        *index = r.write_index;
        r.frame_ready = 0;
        r.write_index ^= 1;
    }
    if (fginst->async_grab) {
        RunGraph(r);
        std::lock_guard guard(*r.lock);
        r.async_start = Now();
    }
    return FG_SUCCESS;
}

FGstatus Grab(Vproc_handle proc_id, FGInstance* fginst, VImageRecord* image, int32_t* num_image)
{
    CIODirectShow& r = Record(fginst);
    if (!r.target_filter)
        return FG_ERR_NOT_OPEN;
    int index = 0;
    if (const FGstatus status = TriggerGrab(r, fginst, &index); status != FG_SUCCESS)
        return status;
    const SubtypeInfo* subtype = FindSubtype(r.wanted_type.subtype);
    const PixelFormat format = subtype ? subtype->format : PixelFormat::Unknown;
    const int channels = ChannelCount(format, r.colour_mode);
    const FGstatus made = fg_make_images(proc_id, image, channels, BYTE_IMAGE, fginst->image_width,
                                         fginst->image_height);
    if (made != FG_SUCCESS)
        return made;
    *num_image = channels;
    uint8_t* planes[3] = {};
    for (int i = 0; i < channels; ++i)
        planes[i] = image[i].pixel.b;
    const FrameLayout layout{format, fginst->image_width, fginst->image_height, r.bottom_up != 0};
    if (!ConvertFrame(layout, r.colour_mode, r.frame_buffers[index], r.frame_size, planes)) {
        LowError("Error in FGGrab(): Unknown media sub type! (%d)",
                 r.colour_mode == kColourRgb ? 2 : 1);
        return FG_ERR_GRAB;
    }
    return FG_SUCCESS;
}

} // namespace

FGstatus FGGrab(Vproc_handle proc_id, FGInstance* fginst, VImageRecord* image, int32_t* num_image)
{
    // Cleared on every way out: a failed asynchronous grab must not make the
    // next synchronous one take an old sample.
    const FGstatus status = Grab(proc_id, fginst, image, num_image);
    fginst->async_grab = 0;
    return status;
}

FGstatus FGGrabStartAsync(Vproc_handle, FGInstance* fginst, double max_delay)
{
    CIODirectShow& r = Record(fginst);
    if (!r.target_filter)
        return FG_ERR_NOT_OPEN;
    {
        std::lock_guard guard(*r.lock);
        r.max_delay = fg::RoundedDelay(max_delay);
        r.frame_ready = 0;
    }
    // Not under the lock: the streaming thread takes it while the graph's
    // filters take theirs.
    RunGraph(r);
    std::lock_guard guard(*r.lock);
    r.async_start = Now();
    return FG_SUCCESS;
}

FGstatus FGGrabAsync(Vproc_handle proc_id, FGInstance* fginst, double max_delay,
                     VImageRecord* image, int32_t* num_image)
{
    CIODirectShow& r = Record(fginst);
    if (r.target_filter) {
        std::lock_guard guard(*r.lock);
        r.max_delay = fg::RoundedDelay(max_delay);
    }
    fginst->async_grab = 1;
    return FGGrab(proc_id, fginst, image, num_image);
}

} // namespace directshow
