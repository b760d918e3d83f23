// VFGDirectShow: the frame-grabber plug-in of the interface "DirectShow". It
// grabs from any video capture device through a capture graph that ends in
// its own renderer filter, of which the plug-in is also the COM server.
#include <strings.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "camera_type.h"
#include "capture_graph.h"
#include "crossbar.h"
#include "device_dialogs.h"
#include "device_list.h"
#include "device_parameters.h"
#include "frame_buffers.h"
#include "grab.h"
#include "lists.h"
#include "low_error.h"
#include "record.h"
#include "server_exports.h"
#include <dshow/platform.h>
#include <fgint/class_record.h>
#include <fgint/fghelpers.h>
#include <fgint/info_table.h>
#include <fgint/instance_record.h>
#include <fgint/values.h>

namespace directshow {
namespace {

using namespace dshow;

constexpr const char* kRevision = "2.9";
constexpr const char* kRegistrationMutex = "register_vfg_directshow_mutex";

CIODirectShow g_records[kRecordCount];
FGClass* g_class = nullptr;
int32_t g_open_count = 0;
// Kept open for the life of the process once the classes are registered.
std::unique_ptr<NamedMutex> g_registration;

const char* const kParameters[] = {"revision",
                                   "grab_timeout",
                                   "available_pins",
                                   "available_pin_names",
                                   "do_stop_grabbing",
                                   "brightness",
                                   "contrast",
                                   "hue",
                                   "saturation",
                                   "sharpness",
                                   "gamma",
                                   "color_enable",
                                   "white_balance",
                                   "backlight_compensation",
                                   "video_gain",
                                   "brightness_range",
                                   "contrast_range",
                                   "hue_range",
                                   "saturation_range",
                                   "sharpness_range",
                                   "gamma_range",
                                   "color_enable_range",
                                   "white_balance_range",
                                   "backlight_compensation_range",
                                   "video_gain_range",
                                   "frame_rate",
                                   "available_frame_rates",
                                   "pan",
                                   "tilt",
                                   "roll",
                                   "zoom",
                                   "exposure",
                                   "iris",
                                   "focus",
                                   "pan_range",
                                   "tilt_range",
                                   "roll_range",
                                   "zoom_range",
                                   "exposure_range",
                                   "iris_range",
                                   "focus_range",
                                   "flip_horizontal",
                                   "flip_vertical",
                                   "flip_horizontal_range",
                                   "flip_vertical_range",
                                   "external_trigger",
                                   "external_trigger_range",
                                   "do_force_trigger",
                                   "available_connectors",
                                   "connector",
                                   "do_open_dialog",
                                   "available_dialogs"};
static_assert(std::size(kParameters) == 52);

// Registers the renderer class once a process... and a desktop session.
void RegisterOnce()
{
    if (NamedMutex::Open(kRegistrationMutex))
        return;
    if (FAILED(DllRegisterServer())) {
        LowError("Warning in RegisterVFGDirectShow(): DllRegisterServer failed!");
        return;
    }
    g_registration = NamedMutex::Create(kRegistrationMutex);
}

// The wanted type of `request` into the record and the instance.
void ApplyCameraType(const CameraTypeRequest& request, CIODirectShow& r, FGInstance* fginst)
{
    r.use_device_format = request.device_format || request.custom;
    r.device_format_requested = r.use_device_format;
    r.video_standard = request.video_standard;
    if (request.subtype) {
        r.wanted_format = request.format;
        r.wanted_type = VideoTypeOver(request.subtype->guid, &r.wanted_format);
    }
    if (request.custom) {
        r.custom_format = 1;
        r.custom_subtype = request.custom_subtype;
        VIDEOINFOHEADER format = request.custom_format;
        r.custom_type = MediaType(VideoTypeOver(request.custom_subtype, &format));
    }
    if (!request.device_format) {
        fginst->full_width = request.width;
        fginst->full_height = request.height;
    }
}

FGstatus Open(Vproc_handle proc_id, FGInstance* fginst)
{
    CIODirectShow& r = Record(fginst);
    RegisterOnce();
    fginst->async_grab = 0;
    r.write_index = 0;
    r.lock = std::make_unique<std::mutex>();
    r.wanted_format = VIDEOINFOHEADER{};
    r.wanted_type = VideoTypeOver(GUID_NULL, &r.wanted_format);
    r.video_standard = 0;
    r.grab_timeout = 5000;
    r.custom_format = 0;
    r.custom_type = MediaType();

    std::vector<Device> devices;
    if (const FGstatus status = ListDevices(&devices); status != FG_SUCCESS)
        return Release(proc_id, r, status);
    if (strcasecmp(fginst->device, "default") == 0)
        fg_copy_text(fginst->device, sizeof fginst->device, "0");
    r.device_index = -1;
    for (std::size_t i = 0; i < devices.size() && r.device_index < 0; ++i)
        if (strcasecmp(devices[i].name.c_str(), fginst->device) == 0 ||
            std::to_string(i) == fginst->device)
            r.device_index = int32_t(i);
    if (r.device_index < 0)
        return Release(proc_id, r, FG_ERR_DEVICE);

    CameraTypeRequest request;
    if (const FGstatus status = ParseCameraType(fginst->camera_type, &request);
        status != FG_SUCCESS)
        return Release(proc_id, r, status);
    ApplyCameraType(request, r, fginst);
    if (const FGstatus status =
            InitCapture(proc_id, r, fginst, devices[std::size_t(r.device_index)].moniker.get());
        status != FG_SUCCESS)
        return Release(proc_id, r, status);
    if (const FGstatus status = SizeFrameBuffers(proc_id, r); status != FG_SUCCESS)
        return Release(proc_id, r, status);
    if (strcasecmp(fginst->color_space, "gray") == 0) {
        r.colour_mode = kColourGray;
    } else if (strcasecmp(fginst->color_space, "rgb") == 0) {
        r.colour_mode = kColourRgb;
    } else {
        LowError("Error in FGOpen(): Invalid color space!");
        return Release(proc_id, r, FG_ERR_COLOR_SPACE);
    }
    WriteBackCameraType(r.wanted_format, r.wanted_type.subtype, r.video_standard, r.colour_mode,
                        fginst);
    fginst->full_width = fginst->image_width;
    fginst->full_height = fginst->image_height;
    ++g_open_count;
    return FG_SUCCESS;
}

FGInstance** FGAllocInstance(Vproc_handle, FGInstance* fginst)
{
    if (g_open_count >= kRecordCount)
        return nullptr;
    return fg::BindFreeRecord(g_records, g_class, fginst,
                              [](const CIODirectShow& r) { return !r.target_filter; });
}

FGstatus FGOpen(Vproc_handle proc_id, FGInstance* fginst)
{
    try {
        return Open(proc_id, fginst);
    } catch (const std::bad_alloc&) {
        return Release(proc_id, Record(fginst), FG_ERR_OPEN);
    }
}

FGstatus FGClose(Vproc_handle proc_id, FGInstance* fginst)
{
    CIODirectShow& r = Record(fginst);
    if (r.target_filter)
        --g_open_count;
    return Release(proc_id, r, FG_SUCCESS);
}

FGstatus CameraTypes(std::vector<std::string>* lines)
{
    std::vector<CapsEntry> entries;
    FGstatus status;
    try {
        status = ListStreamCaps(&entries);
    } catch (const HardwareException& e) {
        LowError("Exception %x in QueryCameraTypes()", e.code);
        return FG_ERR_DEVICE_CALL;
    }
    if (status != FG_SUCCESS)
        return status;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const CapsEntry& e = entries[i];
        if (i == 0 || e.device != entries[i - 1].device || e.port != entries[i - 1].port)
            lines->push_back("device " + std::to_string(e.device) + ", port " +
                             std::to_string(e.port) + ": default");
        if (e.supported)
            lines->push_back(e.text);
    }
    return FG_SUCCESS;
}

FGstatus Boards(std::vector<std::string>* lines)
{
    std::vector<Device> devices;
    if (const FGstatus status = ListDevices(&devices); status != FG_SUCCESS)
        return status;
    for (const Device& d : devices)
        lines->push_back("device:" + d.name);
    return FG_SUCCESS;
}

const char* GeneralText()
{
    // Each thread's text stays valid until it asks again.
    thread_local char text[160];
    uint32_t most = 0, least = 0;
    if (!GetFileVersion("quartz.dll", &most, &least))
        return "Verodyn frame grabber interface for DirectShow capture devices.";
    std::snprintf(text, sizeof text,
                  "Verodyn frame grabber interface for DirectShow capture devices "
                  "(quartz.dll version:%d.%02d).",
                  int(most >> 16), int(most & 0xFFFF));
    return text;
}

const int32_t kPorts[] = {-1};
const char* const kRevisions[] = {kRevision};
const char* const kColourSpaces[] = {"gray", "rgb"};
const char* const kTriggers[] = {"true", "false"};
const char* const kDevices[] = {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"};

const fg::InfoTable kInfo{
    .file = kSourceFile,
    .line = __LINE__,
    .port = {.text = "Value list for port parameter (number of the capture device's output pin "
                     "or -1).",
             .integers = kPorts},
    .camera_type = {.text = "Info about the available media types.", .lines = CameraTypes},
    .general = {.text_of = GeneralText},
    .parameters = {.text = "Additional parameters for this frame grabber.", .strings = kParameters},
    .boards = {.text = "Info about installed WDM video capture devices.", .lines = Boards},
    .revision = {.text = "Current interface revision.", .strings = kRevisions},
    .field = {.text = "Value list for field parameter."},
    .bits_per_channel = {.text = "Value list for bits per channel parameter."},
    .color_space = {.text = "Value list for color space parameter.", .strings = kColourSpaces},
    .external_trigger = {.text = "Value list for external trigger parameter.",
                         .strings = kTriggers},
    .device = {.text = "Value list for device parameter (name of the capture device).",
               .strings = kDevices},
};

FGstatus SetParameter(FGInstance* fginst, const char* name, const Vcpar* values, int32_t num)
{
    CIODirectShow& r = Record(fginst);
    if (strcasecmp(name, "do_stop_grabbing") == 0)
        return r.media_control ? StopGrabbing(r) : FG_SUCCESS;
    if (strcasecmp(name, "grab_timeout") == 0) {
        if (num < 1 || values[0].type != VPAR_INT)
            return FG_ERR_PARAM_TYPE;
        if (values[0].par.l < 0)
            return FG_ERR_PARAM_VALUE;
        r.grab_timeout = values[0].par.l;
        return FG_SUCCESS;
    }
    if (strcasecmp(name, "connector") == 0)
        return SetConnector(r, values, num);
    if (strcasecmp(name, "do_open_dialog") == 0)
        return OpenDialog(r, fginst, values, num);
    if (const FGstatus status = SetVideoControl(r, fginst, name, values, num);
        status != FG_ERR_PARAM_UNKNOWN)
        return status;
    return SetDeviceProperty(r, fginst, name, values, num);
}

FGstatus FGSetParam(Vproc_handle proc_id, FGInstance* fginst, const char* name, const Vcpar* values,
                    int32_t num)
{
    const FGstatus status = SetParameter(fginst, name, values, num);
    // A setting that reconnected the graph (and left it stopped) may have
    // changed the negotiated format: the buffers follow it. Other settings
    // leave the format, and so the buffers, as they are.
    CIODirectShow& r = Record(fginst);
    const FGstatus sized = r.target_filter ? SizeFrameBuffers(proc_id, r) : FG_SUCCESS;
    return status == FG_SUCCESS ? sized : status;
}

FGstatus Answer(CIODirectShow& r, const char* name, std::vector<Vcpar>* answer)
{
    if (strcasecmp(name, "revision") == 0) {
        answer->push_back(fg::Text(kRevision));
        return FG_SUCCESS;
    }
    if (strcasecmp(name, "grab_timeout") == 0) {
        answer->push_back(fg::Int(r.grab_timeout));
        return FG_SUCCESS;
    }
    if (const FGstatus status = GetList(r, name, answer, &r.answer_texts);
        status != FG_ERR_PARAM_UNKNOWN)
        return status;
    if (const FGstatus status = GetCrossbarParameter(r, name, answer);
        status != FG_ERR_PARAM_UNKNOWN)
        return status;
    if (strcasecmp(name, "available_dialogs") == 0)
        return AvailableDialogs(r, answer);
    if (const FGstatus status = GetVideoControl(r, name, answer); status != FG_ERR_PARAM_UNKNOWN)
        return status;
    return GetDeviceProperty(r, name, answer);
}

FGstatus FGGetParam(Vproc_handle, FGInstance* fginst, const char* name, Vcpar* values, int32_t* num)
{
    std::vector<Vcpar> answer;
    try {
        if (const FGstatus status = Answer(Record(fginst), name, &answer); status != FG_SUCCESS)
            return status;
    } catch (const std::bad_alloc&) {
        return FG_ERR_NO_MEMORY;
    }
    if (*num < int32_t(answer.size())) {
        *num = int32_t(answer.size());
        return FG_ERR_PARAM_VALUE;
    }
    std::copy(answer.begin(), answer.end(), values);
    *num = int32_t(answer.size());
    return FG_SUCCESS;
}

const fg::ClassRecord kClass{
    .instances = {FGAllocInstance, FGOpen, FGClose},
    .grabs = {FGGrab, FGGrabStartAsync, FGGrabAsync},
    .parameters = {fg::InfoFrom<kInfo, g_class>, FGSetParam, FGGetParam},
    .image = {.field = FG_FIELD_INTERLACED, .bits_per_channel = 8, .color_space = "rgb"},
    .source = {.camera_type = "default", .device = "0", .port = -1, .line_in = 1},
};

} // namespace
} // namespace directshow

FG_EXPORT FGstatus FGInit(Vproc_handle, FGClass* fgClass)
{
    using namespace directshow;
    for (int i = 0; i < kRecordCount; ++i) {
        g_records[i] = CIODirectShow{};
        g_records[i].slot = i;
        g_records[i].frame_status = FG_SUCCESS;
    }
    g_open_count = 0;
    fg::FillClass(fgClass, kRecordCount, kClass);
    g_class = fgClass;
    return FG_SUCCESS;
}
