#include "adapt_media_type.h"

#include "camera_type.h"
#include "capture_graph.h"
#include "low_error.h"
#include "wanted_type.h"

namespace directshow {

using namespace dshow;

FGstatus AdaptToMediaType(CIODirectShow& r, FGInstance* fginst)
{
    ComPtr<IPin> pin;
    if (!FindCapturePin(r, fginst->port, &pin)) {
        LowError(fginst->port == -1 ? "Error in AdaptToMediaType(): FindPin() failed!"
                                    : "Error in AdaptToMediaType(): GetPin() failed!");
        return FG_ERR_DEVICE_CALL;
    }
    const ComPtr<IAMStreamConfig> config = pin.As<IAMStreamConfig>();
    if (!config) {
        LowError("Error in AdaptToMediaType(): Couldn't retrieve IAMStreamConfig interface!");
        return FG_ERR_DEVICE_CALL;
    }
    MediaType type;
    if (const HRESULT hr = config->GetFormat(&type); FAILED(hr)) {
        LowError("Error in AdaptToMediaType(): IAMStreamConfig::GetFormat() failed! (error %8X)",
                 Code(hr));
        return FG_ERR_DEVICE_CALL;
    }
    const VIDEOINFOHEADER* format = VideoInfoOf(type);
    if (type.majortype != MEDIATYPE_Video || !format)
        return FG_ERR_DEVICE_CALL;
    AdoptMediaType(type, *format, &r);
    if (r.decoder) {
        int32_t standard = 0;
        if (FAILED(r.decoder->get_TVFormat(&standard)))
            return FG_ERR_DEVICE_CALL;
        r.video_standard = standard;
    }
    r.use_device_format = 0;
    WriteBackCameraType(r.wanted_format, r.wanted_type.subtype, r.video_standard, r.colour_mode,
                        fginst);
    return FG_SUCCESS;
}

} // namespace directshow
