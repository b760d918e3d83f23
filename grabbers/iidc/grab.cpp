#include "grab.h"

#include "low_error.h"
#include <fgint/delay.h>
#include <fgint/fghelpers.h>
#include <iidc/colour_conversion.h>

namespace iidc {

namespace {

struct UtcStamp {
    int second;      // 0-59
    int millisecond; // 0-999
};

UtcStamp StampOf(const FILETIME& time)
{
    const uint64_t ticks = uint64_t(time.dwHighDateTime) << 32 | time.dwLowDateTime;
    const uint64_t milliseconds = ticks / 10000;
    return {int(milliseconds / 1000 % 60), int(milliseconds % 1000)};
}

// Under the lock.
void DiscardLocked(IIDCInstance& r)
{
    r.camera->DiscardFrames();
    r.queued = 0;
}

// Under the lock.
bool QueueBufferLocked(IIDCInstance& r)
{
    const uint32_t code = r.camera->PutFrame(nullptr);
    if (code != FCE_NOERROR) {
        LowError("Could not push frame buffer", "CFGCamera::PutFrame(NULL)", code);
        DiscardLocked(r);
        return false;
    }
    ++r.queued;
    return true;
}

FGstatus Convert(const IIDCInstance& r, const FGFRAME& frame, VImageRecord* image)
{
    ConversionContext context;
    context.coding = uint32_t(r.coding);
    context.color_space = r.color_space;
    context.bits = r.bits;
    context.swap_bytes = r.swap_bytes;
    context.full_width = r.full_width;
    context.width = r.part.width;
    context.height = r.part.height;
    context.start_column = r.part.start_column;
    context.start_row = r.part.start_row;
    context.x_step = r.part.x_step;
    context.y_step = r.part.y_step;
    context.frame = frame.pData;
    context.frame_length = frame.Length;
    for (int32_t i = 0; i < r.channels; ++i)
        context.planes[i] = image[i].pixel.p;
    return ConvertFrame(context);
}

// Takes the oldest queued frame into the images and gives its buffer back.
FGstatus TakeFrame(Vproc_handle proc_id, IIDCInstance& r, VImageRecord* image, int32_t* num_image)
{
    FGFRAME frame{};
    const uint32_t code = r.camera->GetFrame(&frame, uint32_t(r.grab_timeout));
    if (code != FCE_NOERROR) {
        LowError("Could not acquire image", "CFGCamera::GetFrame", code);
        std::lock_guard guard(r.lock);
        DiscardLocked(r);
        return FG_ERR_TIMEOUT;
    }
    {
        std::lock_guard guard(r.lock);
        --r.queued;
    }
    FGstatus status =
        fg_make_images(proc_id, image, r.channels, r.bits == 8 ? BYTE_IMAGE : UINT2_IMAGE,
                       r.part.width, r.part.height);
    if (status == FG_SUCCESS) {
        const UtcStamp stamp = StampOf(frame.Time);
        for (int32_t i = 0; i < r.channels; ++i) {
            image[i].timestamp_ms = uint16_t(stamp.millisecond);
            image[i].timestamp_second = uint8_t(stamp.second);
        }
        status = Convert(r, frame, image);
    }
    std::lock_guard guard(r.lock);
    const uint32_t put = r.camera->PutFrame(&frame);
    if (put != FCE_NOERROR) {
        LowError("Could not return frame buffer", "CFGCamera::PutFrame", put);
        DiscardLocked(r);
        if (status == FG_SUCCESS)
            status = put == FCE_TIMEOUT ? FG_ERR_TIMEOUT : FG_ERR_GRAB;
    }
    if (status == FG_SUCCESS)
        *num_image = r.channels;
    return status;
}

} // namespace

FGstatus Grab(Vproc_handle proc_id, IIDCInstance& r, VImageRecord* image, int32_t* num_image)
{
    {
        std::lock_guard guard(r.lock);
        if (r.queued)
            DiscardLocked(r);
        if (!QueueBufferLocked(r))
            return FG_ERR_GRAB;
    }
    return TakeFrame(proc_id, r, image, num_image);
}

FGstatus GrabStartAsync(IIDCInstance& r, double max_delay)
{
    std::lock_guard guard(r.lock);
    if (r.queued)
        DiscardLocked(r);
    if (!QueueBufferLocked(r))
        return FG_ERR_GRAB;
    r.max_delay = fg::RoundedDelay(max_delay);
    return FG_SUCCESS;
}

FGstatus GrabAsync(Vproc_handle proc_id, IIDCInstance& r, double max_delay, VImageRecord* image,
                   int32_t* num_image)
{
    {
        std::lock_guard guard(r.lock);
        if (r.queued == 0) {
            if (!QueueBufferLocked(r))
                return FG_ERR_GRAB;
            r.max_delay = fg::RoundedDelay(max_delay);
        }
        if (r.start_async_after_grab_async) {
            if (!QueueBufferLocked(r))
                return FG_ERR_GRAB;
            r.max_delay = fg::RoundedDelay(max_delay);
        }
    }
    const FGstatus status = TakeFrame(proc_id, r, image, num_image);
    if (status != FG_SUCCESS)
        return status;
    const UtcStamp now = StampOf(FGFileTime(FGClock().Now()));
    int32_t now_ms = now.second * 1000 + now.millisecond;
    const int32_t taken_ms = image[0].timestamp_second * 1000 + image[0].timestamp_ms;
    if (now_ms < taken_ms)
        now_ms += 60000;
    return now_ms - taken_ms > r.max_delay ? FG_ERR_TIMEOUT : FG_SUCCESS;
}

void AbortGrab(IIDCInstance& r)
{
    std::lock_guard guard(r.lock);
    if (r.queued)
        DiscardLocked(r);
}

} // namespace iidc
