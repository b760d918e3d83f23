#include "restart.h"

#include <cmath>

#include "camera_type.h"
#include "low_error.h"
#include "open.h"

namespace iidc {

FGstatus FrameRate(IIDCInstance& r, double* rate)
{
    if (!IsFormat7(r.format)) {
        *rate = 1.875 * std::ldexp(1.0, int(r.format & 0xFF));
        return FG_SUCCESS;
    }
    uint32_t bytes = 0;
    if (r.packet_size <= 0 || r.camera->GetParameter(FGP_FRAMEMEMORYSIZE, &bytes) != FCE_NOERROR)
        return FG_ERR_GET_FAILED;
    *rate = 1.0 / (double(bytes) / r.packet_size * 0.000125);
    return FG_SUCCESS;
}

FGstatus Restart(IIDCInstance& r, const std::function<FGstatus()>& change)
{
    double rate = 0;
    const bool rate_known = FrameRate(r, &rate) == FG_SUCCESS;
    if (!CameraOk(r.camera->StopDevice(), "Could not stop camera", "CFGCamera::StopDevice"))
        return FG_ERR_OPEN;
    if (rate_known && rate != 0)
        FGClock().SleepFor(std::chrono::milliseconds(100 + int64_t(1000 / rate)));
    if (!CameraOk(r.camera->CloseCapture(), "Could not stop DMA", "CFGCamera::CloseCapture"))
        return FG_ERR_OPEN;
    {
        std::lock_guard guard(r.lock);
        r.queued = 0;
    }
    const FGstatus status = change();
    if (!CameraOk(r.camera->OpenCapture(), "Could not start DMA", "CFGCamera::OpenCapture") ||
        !CameraOk(r.camera->StartDevice(), "Could not start camera", "CFGCamera::StartDevice") ||
        !ReadBufferCount(r))
        return FG_ERR_RESTART;
    return status;
}

} // namespace iidc
