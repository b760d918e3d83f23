#include "grab.h"

#include <cstring>

#include "board_access.h"
#include <analogue/frame_copy.h>
#include <fgint/delay.h>
#include <fgint/fghelpers.h>

namespace zephon {

namespace {

int64_t ElapsedMs(const ZephonInstance& r)
{
    const auto elapsed = dvl::LibraryClock().Now() - r.grab_start;
    return std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count();
}

bool GrabInProgress(const ZephonInstance& r)
{
    return DvlDigInquire(r.digitizer, DVL_DIG_GRAB_IN_PROGRESS, nullptr) != 0;
}

// Starts a grab into the current buffer with the event reset.
FGstatus StartGrab(ZephonInstance& r)
{
    {
        std::lock_guard guard(r.lock);
        r.grab_end_event.Reset();
    }
    DvlDigGrab(r.digitizer, r.grab_buffers[r.buffer_index]);
    return LibraryOk() ? FG_SUCCESS : FG_ERR_GRAB;
}

// Waits for the grab to end; a grab that does not end in time is aborted.
FGstatus WaitForGrab(ZephonInstance& r, int64_t timeout_ms)
{
    if (timeout_ms > 0 &&
        r.grab_end_event.Wait(dvl::LibraryClock(), std::chrono::milliseconds(timeout_ms)))
        return FG_SUCCESS;
    AbortGrab(r);
    SetGrabRunning(r, false);
    return FG_ERR_TIMEOUT;
}

FGstatus FreshGrab(ZephonInstance& r)
{
    if (const FGstatus status = StartGrab(r); status != FG_SUCCESS)
        return status;
    return WaitForGrab(r, r.grab_timeout);
}

// Steps of a grab up to a filled buffer, which is then the one before
// `buffer_index`.
FGstatus FillBuffer(ZephonInstance& r, bool async)
{
    FGstatus status = FG_SUCCESS;
    if (!GrabRunning(r)) {
        status = FreshGrab(r);
    } else if (!async) {
        AbortGrab(r);
        SetGrabRunning(r, false);
        status = FreshGrab(r);
    } else {
        const int64_t elapsed = ElapsedMs(r);
        // The board clears "in progress" before its grab-end call has set the
        // event, so a grab that is not in progress may still be ending: its
        // event, not the inquiry, says it is over.
        if (GrabInProgress(r) || !r.grab_end_event.Wait(dvl::LibraryClock(), {})) {
            status = WaitForGrab(r, r.grab_timeout - elapsed);
            if (status != FG_SUCCESS)
                return status;
        }
        SetGrabRunning(r, false);
        if (elapsed > r.max_delay)
            status = FreshGrab(r);
    }
    if (status != FG_SUCCESS)
        return status;
    r.buffer_index ^= 1;
    if (async && r.start_async_after_grab_async) {
        if (const FGstatus started = StartGrab(r); started != FG_SUCCESS)
            return started;
        SetGrabRunning(r, true);
        r.grab_start = dvl::LibraryClock().Now();
    }
    return FG_SUCCESS;
}

// Open refuses more than 16 bits.
int32_t PixelKind(int32_t bits) { return bits <= 8 ? BYTE_IMAGE : UINT2_IMAGE; }

// The first band of a monochrome buffer into `plane`, masked to the
// digitizer's bits when they are over 8.
void CopyMono(const ZephonInstance& r, DvlId buffer, VImageRecord& image, int32_t width,
              int32_t height)
{
    if (r.size_raised)
        DvlBufGet2d(buffer, 0, 0, width, height, image.pixel.p);
    else
        DvlBufGet(buffer, image.pixel.p);
    if (r.digitizer_bits > 8)
        MaskPixels(image.pixel.u, std::size_t(width) * height, r.digitizer_bits,
                   r.board->board_type == kTypeCameraLink);
}

void CopyColour(const ZephonInstance& r, DvlId buffer, int32_t format, int32_t band, void* out,
                int32_t width, int32_t height)
{
    if (r.size_raised)
        DvlBufGetColor2d(buffer, format, band, 0, 0, width, height, out);
    else
        DvlBufGetColor(buffer, format, band, out);
}

void CopyFrame(const ZephonInstance& r, DvlId buffer, VImageRecord* image, int32_t count,
               int32_t width, int32_t height)
{
    const std::size_t pixels = std::size_t(width) * height;
    if (r.digitizer_bands != 1 && count == 1) {
        CopyColour(r, buffer, DVL_PACKED_BGR24, DVL_ALL_BANDS, r.grey_buffer, width, height);
        GreyFromPackedBgr(r.grey_buffer, image[0].pixel.b, pixels);
        return;
    }
    if (r.digitizer_bands != 1) {
        const int32_t bands[] = {DVL_RED, DVL_GREEN, DVL_BLUE};
        for (int32_t i = 0; i < 3; ++i)
            CopyColour(r, buffer, DVL_PLANAR, bands[i], image[i].pixel.p, width, height);
        return;
    }
    CopyMono(r, buffer, image[0], width, height);
    const std::size_t bytes = pixels * (r.digitizer_bits > 8 ? 2 : 1);
    for (int32_t i = 1; i < count; ++i)
        std::memcpy(image[i].pixel.p, image[0].pixel.p, bytes);
}

} // namespace

FGstatus AbortGrab(ZephonInstance& r)
{
    if (!GrabInProgress(r))
        return FG_SUCCESS;
    DvlDigControl(r.digitizer, DVL_DIG_GRAB_ABORT, DVL_DEFAULT);
    return LibraryOk() ? FG_SUCCESS : FG_ERR_DEVICE_CALL;
}

void EndAbortedWait(ZephonInstance& r)
{
    std::lock_guard guard(r.lock);
    r.grab_end_event.Cancel();
}

void AbortOtherGrabs(ZephonInstance& r, std::span<ZephonInstance> all)
{
    std::lock_guard guard(r.board->lock);
    for (ZephonInstance& other : all)
        if (&other != &r && other.board == r.board && other.grab_running) {
            DvlDigControl(other.digitizer, DVL_DIG_GRAB_ABORT, DVL_DEFAULT);
            other.grab_running = false;
            EndAbortedWait(other);
        }
}

FGstatus GrabStartAsync(ZephonInstance& r, std::span<ZephonInstance> all, double max_delay)
{
    r.max_delay = fg::RoundedDelay(max_delay);
    AbortOtherGrabs(r, all);
    if (GrabRunning(r))
        AbortGrab(r);
    if (const FGstatus status = StartGrab(r); status != FG_SUCCESS) {
        SetGrabRunning(r, false);
        return status;
    }
    SetGrabRunning(r, true);
    r.grab_start = dvl::LibraryClock().Now();
    return FG_SUCCESS;
}

FGstatus Grab(Vproc_handle proc_id, ZephonInstance& r, std::span<ZephonInstance> all,
              int32_t open_count, VImageRecord* image, int32_t* num_image)
{
    FGInstance* fginst = r.fginst;
    const bool async = fginst->async_grab != 0;
    fginst->async_grab = 0;
    if (open_count > 1)
        AbortOtherGrabs(r, all);
    if (const FGstatus status = FillBuffer(r, async); status != FG_SUCCESS)
        return status;
    const DvlId filled = r.grab_buffers[r.buffer_index ^ 1];
    const int32_t count = fginst->num_channels;
    const int32_t width = fginst->image_width, height = fginst->image_height;
    if (const FGstatus status = fg_make_images(proc_id, image, count,
                                               PixelKind(fginst->bits_per_channel), width, height);
        status != FG_SUCCESS)
        return status;
    *num_image = count;
    CopyFrame(r, filled, image, count, width, height);
    return FG_SUCCESS;
}

} // namespace zephon
