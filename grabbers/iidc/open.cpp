#include "open.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "camera_type.h"
#include "device_map.h"
#include "low_error.h"
#include <fgint/fghelpers.h>
#include <iidc/colour_conversion.h>

namespace iidc {

IIDCCamera::~IIDCCamera() = default;

namespace {

constexpr uint32_t kTriggerOn = 0x02000000u;

bool CreateCamera(IIDCInstance& r)
{
    r.extension.Load(r.guid.High >> 8);
    CFGCamera* camera = r.extension.Loaded() ? r.extension.CreateCamera() : new IIDCCamera;
    if (camera && camera->Connect(&r.guid, nullptr) == FCE_NOERROR) {
        r.camera.reset(camera);
        return true;
    }
    delete camera;
    r.extension.Unload();
    return false;
}

bool Read(IIDCInstance& r, uint16_t id, const char* call, uint32_t* value)
{
    return CameraOk(r.camera->GetParameter(id, value), "Could not read image format from camera",
                    call);
}

FGstatus ChooseBits(FGInstance* fginst, int32_t coding, int32_t* bits)
{
    if (fginst->bits_per_channel == -1)
        fginst->bits_per_channel =
            coding == CM_Y16 || coding == CM_RGB16 || coding == CM_RAW16 ? 16 : 8;
    *bits = fginst->bits_per_channel;
    if (*bits < 8 || *bits > 16) {
        LowError("Bits per channel not in range 8...16.");
        return FG_ERR_BITS_PER_CHANNEL;
    }
    return FG_SUCCESS;
}

FGstatus ChooseColourSpace(FGInstance* fginst, int32_t coding, int32_t* space)
{
    const char* text = fginst->color_space;
    if (std::strcmp(text, "default") == 0) {
        *space = coding == CM_Y8 || coding == CM_Y16                                 ? kGray
                 : coding == CM_YUV411 || coding == CM_YUV422 || coding == CM_YUV444 ? kYuv
                                                                                     : kRgb;
        static const char* const kNames[] = {"gray", "rgb", "yuv"};
        fg_copy_text(fginst->color_space, sizeof fginst->color_space, kNames[*space]);
    } else if (std::strcmp(text, "gray") == 0) {
        *space = kGray;
    } else if (std::strcmp(text, "rgb") == 0) {
        *space = kRgb;
    } else if (std::strcmp(text, "yuv") == 0) {
        *space = kYuv;
    } else {
        LowError("Destination color space not supported.");
        return FG_ERR_COLOR_SPACE;
    }
    return FG_SUCCESS;
}

// A size of 0 asks for what leaves as much of `full` after the part as
// `start` before it: none when the start lies past the middle.
int32_t Centred(int32_t full, int32_t start)
{
    return int32_t(std::clamp<int64_t>(int64_t(full) - 2 * int64_t(start), 0, full));
}

// The part of the open call; a resolution of 2 takes every second pixel.
FGstatus OpenPart(IIDCInstance& r, FGInstance* fginst, int32_t horizontal_resolution,
                  int32_t vertical_resolution)
{
    ImagePart part{fginst->image_width,
                   fginst->image_height,
                   fginst->start_column,
                   fginst->start_row,
                   horizontal_resolution == 2 ? 2 : 1,
                   vertical_resolution == 2 ? 2 : 1};
    const bool negative =
        part.width < 0 || part.height < 0 || part.start_column < 0 || part.start_row < 0;
    if (part.width == 0)
        part.width = Centred(r.full_width, part.start_column);
    if (part.height == 0)
        part.height = Centred(r.full_height, part.start_row);
    part.width /= part.x_step;
    part.height /= part.y_step;
    if (negative || part.width <= 0 || part.height <= 0 ||
        int64_t(part.start_column) + int64_t(part.width) * part.x_step > r.full_width ||
        int64_t(part.start_row) + int64_t(part.height) * part.y_step > r.full_height) {
        LowError("Image position/size out of range.");
        return FG_ERR_IMAGE_PART;
    }
    r.part = part;
    fginst->image_width = part.width;
    fginst->image_height = part.height;
    return FG_SUCCESS;
}

bool StartCapture(IIDCInstance& r)
{
    static constexpr struct {
        uint16_t id;
        uint32_t value;
        const char* call;
    } kTransfer[] = {
        {FGP_FRAMEBUFFERCOUNT, 3, "CFGCamera::SetParameter(FGP_FRAMEBUFFERCOUNT)"},
        {FGP_DMAMODE, 1, "CFGCamera::SetParameter(FGP_DMAMODE)"},
        {FGP_USEIRMFORBW, 1, "CFGCamera::SetParameter(FGP_USEIRMFORBW)"},
        {FGP_ADJUSTPARAMETERS, 0, "CFGCamera::SetParameter(FGP_ADJUSTPARAMETERS)"},
        {FGP_STARTIMMEDIATELY, 0, "CFGCamera::SetParameter(FGP_STARTIMMEDIATELY)"},
    };
    for (const auto& setting : kTransfer)
        if (!CameraOk(r.camera->SetParameter(setting.id, setting.value),
                      "Could not set transfer parameters", setting.call))
            return false;
    return CameraOk(r.camera->OpenCapture(), "Could not start DMA", "CFGCamera::OpenCapture") &&
           CameraOk(r.camera->StartDevice(), "Could not start camera", "CFGCamera::StartDevice") &&
           ReadBufferCount(r);
}

// Steps after the connection: format, bits, colour space, trigger, part, capture.
FGstatus SetUp(IIDCInstance& r, FGInstance* fginst)
{
    const int32_t horizontal_resolution = fginst->horizontal_resolution;
    const int32_t vertical_resolution = fginst->vertical_resolution;
    uint32_t format = 0;
    FGstatus status = SelectCameraType(r, fginst->camera_type, horizontal_resolution,
                                       vertical_resolution, &format);
    if (status != FG_SUCCESS)
        return status;
    fg_copy_text(fginst->camera_type, sizeof fginst->camera_type,
                 FormatText(format, false).c_str());
    if (!CameraOk(r.camera->SetParameter(FGP_IMAGEFORMAT, format),
                  "Could not set selected image format",
                  "CFGCamera::SetParameter(FGP_IMAGEFORMAT)"))
        return FG_ERR_CAMERA_TYPE;
    r.format = format;
    if (IsFormat7(format) &&
        ((horizontal_resolution > 2 &&
          !CameraOk(r.camera->SetParameter(FGP_XSIZE, uint32_t(horizontal_resolution)),
                    "Could not set horizontal resolution in camera",
                    "CFGCamera::SetParameter(FGP_XSIZE)")) ||
         (vertical_resolution > 2 &&
          !CameraOk(r.camera->SetParameter(FGP_YSIZE, uint32_t(vertical_resolution)),
                    "Could not set vertical resolution in camera",
                    "CFGCamera::SetParameter(FGP_YSIZE)"))))
        return FG_ERR_CAMERA_TYPE;
    uint32_t coding = 0;
    if (!Read(r, FGP_COLORFORMAT, "CFGCamera::GetParameter(FGP_COLORFORMAT)", &coding))
        return FG_ERR_OPEN;
    r.coding = int32_t(coding);
    if ((status = ChooseBits(fginst, r.coding, &r.bits)) != FG_SUCCESS ||
        (status = ChooseColourSpace(fginst, r.coding, &r.color_space)) != FG_SUCCESS)
        return status;
    r.channels = r.color_space == kGray ? 1 : 3;
    fginst->num_channels = r.channels;
    if (!CameraOk(r.camera->SetParameter(FGP_TRIGGER, 0), "Selected trigger mode not supported",
                  "CFGCamera::SetParameter(FGP_TRIGGER)") ||
        (fginst->external_trigger &&
         !CameraOk(r.camera->SetParameter(FGP_TRIGGER, kTriggerOn),
                   "Selected trigger mode not supported", "CFGCamera::SetParameter(FGP_TRIGGER)")))
        return FG_ERR_MODE;
    if ((status = ReadImageFormat(r, fginst)) != FG_SUCCESS ||
        (status = OpenPart(r, fginst, horizontal_resolution, vertical_resolution)) != FG_SUCCESS)
        return status;
    if (!StartCapture(r))
        return FG_ERR_OPEN;
    r.queued = 0;
    return FG_SUCCESS;
}

} // namespace

FGstatus SelectCameraType(IIDCInstance& r, const char* text, int32_t horizontal_resolution,
                          int32_t vertical_resolution, uint32_t* format)
{
    r.camera->SetParameter(FGP_ENUMIMAGEFORMAT, 0);
    if (std::strcmp(text, "default") != 0) {
        if (ParseCameraType(text, format))
            return FG_SUCCESS;
        LowError("Could not select format/mode/rate with given camera type.");
        return FG_ERR_CAMERA_TYPE;
    }
    const auto standard = [](int32_t resolution) { return resolution == 1 || resolution == 2; };
    uint32_t request = 0xFFFFFFFFu;
    const char* description = "Could not set image format with standard resolution";
    if (!standard(horizontal_resolution) || !standard(vertical_resolution)) {
        const int index = StandardResolution(horizontal_resolution, vertical_resolution);
        if (index < 0)
            return FG_ERR_RESOLUTION;
        request = uint32_t(index) * 65536 + 0xFFFF;
        description = "Could not set image format with given resolution";
    }
    if (!CameraOk(r.camera->SetParameter(FGP_IMAGEFORMAT, request), description,
                  "CFGCamera::SetParameter(FGP_IMAGEFORMAT)") ||
        !CameraOk(r.camera->GetParameter(FGP_IMAGEFORMAT, format), description,
                  "CFGCamera::GetParameter(FGP_IMAGEFORMAT)"))
        return FG_ERR_CAMERA_TYPE;
    return FG_SUCCESS;
}

FGstatus ReadImageFormat(IIDCInstance& r, FGInstance* fginst)
{
    uint32_t coding = 0, x_size = 0, y_size = 0, x_position = 0, y_position = 0, packet = 0;
    if (!Read(r, FGP_COLORFORMAT, "CFGCamera::GetParameter(FGP_COLORFORMAT)", &coding) ||
        !Read(r, FGP_IMAGEFORMAT, "CFGCamera::GetParameter(FGP_IMAGEFORMAT)", &r.format) ||
        !Read(r, FGP_XSIZE, "CFGCamera::GetParameter(FGP_XSIZE)", &x_size) ||
        !Read(r, FGP_YSIZE, "CFGCamera::GetParameter(FGP_YSIZE)", &y_size) ||
        !Read(r, FGP_XPOSITION, "CFGCamera::GetParameter(FGP_XPOSITION)", &x_position) ||
        !Read(r, FGP_YPOSITION, "CFGCamera::GetParameter(FGP_YPOSITION)", &y_position) ||
        !Read(r, FGP_PACKETSIZE, "CFGCamera::GetParameter(FGP_PACKETSIZE)", &packet) ||
        !Read(r, FGP_TRIGGER, "CFGCamera::GetParameter(FGP_TRIGGER)", &r.trigger))
        return FG_ERR_OPEN;
    r.coding = int32_t(coding);
    r.x_size = r.full_width = int32_t(x_size);
    r.y_size = r.full_height = int32_t(y_size);
    r.x_position = int32_t(x_position);
    r.y_position = int32_t(y_position);
    r.packet_size = int32_t(packet);
    fginst->full_width = fginst->horizontal_resolution = r.full_width;
    fginst->full_height = fginst->vertical_resolution = r.full_height;
    return FG_SUCCESS;
}

bool ReadBufferCount(IIDCInstance& r)
{
    uint32_t count = 0;
    if (!CameraOk(r.camera->GetParameter(FGP_FRAMEBUFFERCOUNT, &count),
                  "Could not read number of frame buffers",
                  "CFGCamera::GetParameter(FGP_FRAMEBUFFERCOUNT)"))
        return false;
    r.buffer_count = int32_t(count);
    return true;
}

FGstatus OpenCamera(IIDCInstance& r, FGInstance* fginst, NodeTable& nodes)
{
    fginst->async_grab = 0;
    r.grab_timeout = 5000;
    r.swap_bytes = false;
    r.start_async_after_grab_async = true;
    r.max_delay = 0;
    r.register_address = 0;
    if (r.camera) {
        LowError("Camera already connected.");
        return FG_ERR_DEVICE_BUSY;
    }
    const int node = MapDevice(fginst->device, nodes);
    if (node < 0) {
        LowError("Could not map device name to GUID.");
        return FG_ERR_DEVICE;
    }
    r.guid = nodes.nodes[node].Guid;
    if (!CreateCamera(r)) {
        LowError("Could not instantiate camera object", "CreateCamera", 1019);
        return FG_ERR_OPEN;
    }
    std::snprintf(fginst->device, sizeof fginst->device, "%08X%08X", r.guid.High, r.guid.Low);
    nodes.nodes[node].Busy = 1;
    r.node = node;
    const FGstatus status = SetUp(r, fginst);
    if (status != FG_SUCCESS)
        ReleaseCamera(r, nodes);
    return status;
}

void ReleaseCamera(IIDCInstance& r, NodeTable& nodes)
{
    if (r.camera) {
        nodes.nodes[r.node].Busy = 0;
        r.camera->Disconnect();
        r.camera.reset();
    }
    r.extension.Unload();
    r.queued = 0;
}

} // namespace iidc
