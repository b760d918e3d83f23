#include "grab.h"

#include <algorithm>
#include <chrono>
#include <climits>
#include <cmath>
#include <cstring>
#include <utility>

#include "wrapped.h"

namespace usbcam {

using kdTORVANE::acquire::ImageRequest;
using kdTORVANE::acquire::ImageRequestControl;

namespace {

// The request a grab holds, given back to the camera when another takes its
// place or the grab ends, whatever the outcome.
class TakenRequest {
public:
    TakenRequest() = default;
    TakenRequest(ImageRequestControl& control, int32_t number) : control_(&control), number_(number)
    {
    }
    TakenRequest(const TakenRequest&) = delete;
    TakenRequest& operator=(TakenRequest&& other) noexcept
    {
        Release();
        control_ = std::exchange(other.control_, nullptr);
        number_ = other.number_;
        return *this;
    }
    ~TakenRequest() { Release(); }

    // Takes the finished request `number` (none when negative) in place of
    // the one held when its result is OK, and gives it back otherwise.
    void TakeIfOk(ImageRequestControl& control, int32_t number)
    {
        if (number < 0)
            return;
        TakenRequest candidate(control, number);
        if (candidate.request().Result() == KD_REQUEST_OK)
            *this = std::move(candidate);
    }
    void Release() noexcept
    {
        if (!control_)
            return;
        try {
            control_->Unlock(number_);
        } catch (...) {
            // The camera takes its requests back when its queue is reset.
        }
        control_ = nullptr;
    }
    bool held() const { return control_ != nullptr; }
    const ImageRequest& request() const { return control_->Request(number_); }

private:
    ImageRequestControl* control_ = nullptr;
    int32_t number_ = -1;
};

int32_t RoundedDelay(double max_delay)
{
    if (std::isnan(max_delay))
        return 0;
    return int32_t(std::clamp(max_delay + 0.5, double(INT32_MIN), double(INT32_MAX)));
}

int64_t AgeMs(const AcquireInstance& r)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(kdClock().Now() - r.start_time)
        .count();
}

// The instance's setting is selected again when another instance may have selected its own.
FGstatus SelectOwnSetting(FGInstance* fginst)
{
    if (Record(fginst).board->instances <= 1)
        return FG_SUCCESS;
    return Wrapped(call::kSelect, __LINE__, [&] {
        return Guarded(FG_ERR_GRAB, [&]() -> FGstatus { return SetInstParam(fginst); });
    });
}

void QueueDepth(AcquireInstance& r)
{
    DeviceAccess& device = *r.board->device;
    for (int32_t i = 0; i < device.request_queue_depth(); ++i)
        device.requests().Queue();
}

// Waits for a finished request without the plug-in's lock; none when the
// instance's grab was aborted since `aborts` was read.
int32_t WaitForRequest(const AcquireInstance& r, ImageRequestControl& control, uint32_t aborts)
{
    const int32_t timeout_ms = r.grab_timeout;
    if (r.aborts != aborts)
        return -1;
    const PluginLockReleased released;
    return control.Wait(timeout_ms);
}

// An asynchronous grab leaves the next request queued for the next one.
FGstatus QueueNext(FGInstance* fginst, AcquireInstance& r, ImageRequestControl& control)
{
    if (fginst->async_grab) {
        control.Queue();
        r.start_time = kdClock().Now();
        r.request_pending = true;
    }
    return FG_SUCCESS;
}

// Obtains a finished request into `taken` (left empty when none came).
FGstatus GrabImg(FGInstance* fginst, TakenRequest& taken)
{
    AcquireInstance& r = Record(fginst);
    ImageRequestControl& control = r.board->device->requests();
    const uint32_t aborts = r.aborts;
    CancelOthers(r);
    bool late = false;
    if (!r.request_pending) {
        const FGstatus selected = SelectOwnSetting(fginst);
        if (selected != FG_SUCCESS)
            return selected;
    } else if (!fginst->async_grab) {
        control.ResetQueue();
        r.request_pending = false;
    } else {
        taken.TakeIfOk(control, WaitForRequest(r, control, aborts));
        if (taken.held()) {
            r.request_pending = false;
            if (AgeMs(r) <= r.max_delay)
                return QueueNext(fginst, r, control);
            taken.Release(); // too old
        } else {
            late = true;
        }
    }
    if (!late)
        control.Queue();
    const int32_t number = WaitForRequest(r, control, aborts);
    if (number >= 0) {
        control.RefreshRequestList();
        taken.TakeIfOk(control, number);
    }
    r.request_pending = false;
    if (late && AgeMs(r) > r.max_delay) {
        control.Queue();
        taken.TakeIfOk(control, WaitForRequest(r, control, aborts));
    }
    // Nothing came: what is still queued is dropped, so that no later grab takes it.
    if (!taken.held()) {
        control.ResetQueue();
        return FG_SUCCESS;
    }
    return QueueNext(fginst, r, control);
}

// Whether the frame's data holds `count` planes of its size.
bool FrameFits(const KdImageBuffer& ib, int32_t count, int32_t bytes_per_pixel)
{
    if (ib.iWidth <= 0 || ib.iHeight <= 0 || !ib.vpData || ib.iSize < 0)
        return false;
    const int64_t plane = int64_t(ib.iWidth) * ib.iHeight;
    if (ib.pixelFormat != KD_PIXEL_PLANAR)
        return plane * bytes_per_pixel <= ib.iSize;
    if (count < 1 || count > FG_MAX_CHANNELS || !ib.pChannels)
        return false;
    for (int32_t i = 0; i < count; ++i) {
        const int64_t offset = ib.pChannels[i].iChannelOffset;
        if (offset < 0 || offset + plane > ib.iSize)
            return false;
    }
    return true;
}

const uint8_t* Plane(const KdImageBuffer& ib, int32_t channel)
{
    return static_cast<const uint8_t*>(ib.vpData) + ib.pChannels[channel].iChannelOffset;
}

FGstatus ExtractChannelsFromRGB32(const FGInstance* fginst, const uint8_t* source, uint8_t* red,
                                  uint8_t* green, uint8_t* blue)
{
    const size_t count = size_t(fginst->image_width) * size_t(fginst->image_height);
    for (size_t i = 0; i < count; ++i, source += 4) {
        red[i] = source[2];
        green[i] = source[1];
        blue[i] = source[0];
    }
    return FG_SUCCESS;
}

// Host images over the request's buffer, which the host copies once the grab
// has returned. Another instance of the camera may refill the buffer before
// then, so while the camera is shared the host copies it now (`copy`), under
// the plug-in's lock; an instance opened meanwhile gets its handle only once
// the host has copied the buffer.
FGstatus PointImages(Vproc_handle proc_id, const KdImageBuffer& ib, int32_t count, int32_t copy,
                     VImageRecord* image)
{
    void* data = const_cast<void*>(ib.vpData);
    const int32_t w = ib.iWidth, h = ib.iHeight;
    switch (ib.pixelFormat) {
    case KD_PIXEL_MONO8:
        return Wrapped(call::kVolatileMono8, __LINE__, [&] {
            return VNewImagePtr(proc_id, &image[0], BYTE_IMAGE, w, h, data, copy);
        });
    case KD_PIXEL_MONO16: {
        const FGstatus status = Wrapped(call::kVolatileMono16, __LINE__, [&] {
            return VNewImagePtr(proc_id, &image[0], UINT2_IMAGE, w, h, data, copy);
        });
        image[0].num_bits = 16;
        return status;
    }
    case KD_PIXEL_RGB32:
        return Wrapped(call::kVolatileRgb32, __LINE__, [&] {
            return VNewImagePtr(proc_id, &image[0], INT4_IMAGE, w, h, data, copy);
        });
    }
    for (int32_t i = 0; i < count; ++i) {
        auto* plane = const_cast<uint8_t*>(Plane(ib, i));
        const FGstatus status = Wrapped(call::kVolatilePlane, __LINE__, [&] {
            return VNewImagePtr(proc_id, &image[i], BYTE_IMAGE, w, h, plane, copy);
        });
        if (status != FG_SUCCESS)
            return status;
    }
    return FG_SUCCESS;
}

FGstatus CopyImages(Vproc_handle proc_id, const FGInstance* fginst, const KdImageBuffer& ib,
                    int32_t count, VImageRecord* image)
{
    const bool wide = ib.pixelFormat == KD_PIXEL_MONO16;
    const GlobalStepHooks hooks(__LINE__);
    const FGstatus made =
        fg_make_images_hooked(proc_id, image, count, wide ? UINT2_IMAGE : BYTE_IMAGE, ib.iWidth,
                              ib.iHeight, hooks.hooks());
    if (made != FG_SUCCESS)
        return made;
    const size_t plane = size_t(ib.iWidth) * size_t(ib.iHeight);
    const auto* data = static_cast<const uint8_t*>(ib.vpData);
    switch (ib.pixelFormat) {
    case KD_PIXEL_MONO8:
        std::memcpy(image[0].pixel.b, data, plane);
        return FG_SUCCESS;
    case KD_PIXEL_MONO16:
        std::memcpy(image[0].pixel.u, data, 2 * plane);
        image[0].num_bits = 16;
        return FG_SUCCESS;
    case KD_PIXEL_RGB32:
        return Wrapped(call::kExtractRgb32, __LINE__, [&] {
            return ExtractChannelsFromRGB32(fginst, data, image[0].pixel.b, image[1].pixel.b,
                                            image[2].pixel.b);
        });
    }
    for (int32_t i = 0; i < count; ++i)
        std::memcpy(image[i].pixel.b, Plane(ib, i), plane);
    return FG_SUCCESS;
}

// The host images of the frame; 5321 for a pixel format it has none for.
FGstatus MakeImages(Vproc_handle proc_id, FGInstance* fginst, const AcquireInstance& r,
                    const KdImageBuffer& ib, VImageRecord* image, int32_t* num_image)
{
    int32_t count = 1, bytes_per_pixel = 1;
    switch (ib.pixelFormat) {
    case KD_PIXEL_MONO8:
        break;
    case KD_PIXEL_MONO16:
        bytes_per_pixel = 2;
        break;
    case KD_PIXEL_RGB32:
        count = r.volatile_mode ? 1 : 3;
        bytes_per_pixel = 4;
        break;
    case KD_PIXEL_PLANAR:
        count = ib.iChannelCount;
        break;
    default:
        return FG_ERR_PARAM_UNKNOWN;
    }
    if (!FrameFits(ib, count, bytes_per_pixel))
        return FG_ERR_GRAB;
    fginst->image_width = ib.iWidth;
    fginst->image_height = ib.iHeight;
    fginst->bits_per_channel = ib.pixelFormat == KD_PIXEL_MONO16 ? 16 : 8;
    const int32_t shared = r.board->instances > 1;
    const FGstatus status = r.volatile_mode ? PointImages(proc_id, ib, count, shared, image)
                                            : CopyImages(proc_id, fginst, ib, count, image);
    if (status == FG_SUCCESS)
        fginst->num_channels = *num_image = count;
    return status;
}

} // namespace

FGstatus Grab(Vproc_handle proc_id, FGInstance* fginst, VImageRecord* image, int32_t* num_image)
{
    TakenRequest taken;
    FGstatus status = Wrapped(call::kGrabImg, __LINE__, [&] {
        return Guarded(FG_ERR_GRAB, [&]() -> FGstatus { return GrabImg(fginst, taken); });
    });
    if (status == FG_SUCCESS && !taken.held())
        status = FG_ERR_GRAB;
    if (status == FG_SUCCESS)
        status = Guarded(FG_ERR_GRAB, [&]() -> FGstatus {
            return MakeImages(proc_id, fginst, Record(fginst), taken.request().ImageBuffer(), image,
                              num_image);
        });
    fginst->async_grab = 0;
    return status;
}

FGstatus GrabStartAsync(FGInstance* fginst, double max_delay)
{
    AcquireInstance& r = Record(fginst);
    r.max_delay = RoundedDelay(max_delay);
    return Guarded(FG_ERR_GRAB, [&]() -> FGstatus {
        CancelOthers(r);
        if (r.request_pending) {
            r.board->device->requests().ResetQueue();
            r.request_pending = false;
        } else if (const FGstatus selected = SelectOwnSetting(fginst); selected != FG_SUCCESS) {
            return selected;
        }
        QueueDepth(r);
        r.start_time = kdClock().Now();
        r.request_pending = true;
        return FG_SUCCESS;
    });
}

FGstatus GrabAsync(Vproc_handle proc_id, FGInstance* fginst, double max_delay, VImageRecord* image,
                   int32_t* num_image)
{
    AcquireInstance& r = Record(fginst);
    r.max_delay = RoundedDelay(max_delay);
    fginst->async_grab = 1;
    if (!r.request_pending) {
        const FGstatus queued = Guarded(FG_ERR_GRAB, [&]() -> FGstatus {
            const FGstatus selected = SelectOwnSetting(fginst);
            if (selected != FG_SUCCESS)
                return selected;
            QueueDepth(r);
            r.request_pending = true;
            return FG_SUCCESS;
        });
        if (queued != FG_SUCCESS) {
            fginst->async_grab = 0;
            return queued;
        }
    }
    return Wrapped(call::kGrab, __LINE__, [&] { return Grab(proc_id, fginst, image, num_image); });
}

} // namespace usbcam
