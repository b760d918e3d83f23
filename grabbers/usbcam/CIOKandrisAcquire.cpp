// VFGKandrisAcquire: the frame-grabber plug-in of interface "KandrisAcquire"
// for the kdLyra USB cameras, through the camera access layer over the
// device manager (kddevmgr). Instances that open the same device text share
// one camera. Every callback runs under the plug-in's lock, and no exception
// of the access layer leaves it.
#include <mutex>
#include <string>
#include <vector>

#include "grab.h"
#include "open.h"
#include "parameters.h"
#include "wrapped.h"

using namespace usbcam;

namespace {

constexpr int32_t kMaxInstances = FG_MAX_INSTANCES;

std::mutex g_lock;

// Runs a callback's `body` under the plug-in's lock; any escaping exception becomes `failure`.
template <typename Body> FGstatus Locked(FGstatus failure, Body&& body)
{
    std::lock_guard guard(g_lock);
    return Guarded(failure, std::forward<Body>(body));
}

FGInstance** AllocInstance(Vproc_handle, FGInstance* fginst)
{
    std::lock_guard guard(g_lock);
    Plugin& plugin = ThePlugin();
    if (plugin.open_count >= kMaxInstances)
        return nullptr;
    for (AcquireInstance& r : plugin.instances)
        if (!r.board) {
            fginst->plugin_instance = &r;
            return fg_instance_slot(plugin.fgclass, r.slot);
        }
    return nullptr;
}

FGstatus OpenInstance(Vproc_handle proc_id, FGInstance* fginst)
{
    return Locked(FG_ERR_OPEN, [&] { return Open(proc_id, fginst); });
}

FGstatus CloseInstance(Vproc_handle proc_id, FGInstance* fginst)
{
    return Locked(FG_ERR_OPEN, [&] { return Close(proc_id, fginst); });
}

FGstatus GrabSync(Vproc_handle proc_id, FGInstance* fginst, VImageRecord* image, int32_t* num_image)
{
    return Locked(FG_ERR_GRAB, [&] { return Grab(proc_id, fginst, image, num_image); });
}

FGstatus StartAsync(Vproc_handle, FGInstance* fginst, double max_delay)
{
    return Locked(FG_ERR_GRAB, [&] { return GrabStartAsync(fginst, max_delay); });
}

FGstatus CollectAsync(Vproc_handle proc_id, FGInstance* fginst, double max_delay,
                      VImageRecord* image, int32_t* num_image)
{
    return Locked(FG_ERR_GRAB,
                  [&] { return GrabAsync(proc_id, fginst, max_delay, image, num_image); });
}

FGstatus SetParameter(Vproc_handle proc_id, FGInstance* fginst, const char* name,
                      const Vcpar* values, int32_t num)
{
    return Locked(FG_ERR_PARAM_VALUE, [&] { return SetParam(proc_id, fginst, name, values, num); });
}

FGstatus GetParameter(Vproc_handle, FGInstance* fginst, const char* name, Vcpar* values,
                      int32_t* num)
{
    return Locked(FG_ERR_PARAM_VALUE, [&] { return GetParam(fginst, name, values, num); });
}

FGstatus FGNoOp(Vproc_handle, FGInstance*, const int32_t*, const int32_t*, const int32_t*, int32_t)
{
    return FG_SUCCESS;
}

FGstatus FGEmptyQuery(Vproc_handle, FGInstance*, int32_t*, int32_t*, int32_t*, int32_t* num)
{
    *num = 0;
    return FG_SUCCESS;
}

// ---- Info ---------------------------------------------------------------

const char* const kCameraTypes[] = {"kdLyra*",    "kdLyra-A2C", "kdLyra-A2G",
                                    "kdLyra-B5C", "kdLyra-B5G", "kdLyra-B4C",
                                    "kdLyra-B4G", "kdLyra-A1C", "kdLyra-A1G"};

const char* const kParameters[] = {"available_param_access",
                                   "available_param_descriptions",
                                   "available_param_names",
                                   "available_param_types",
                                   "do_abort_grab",
                                   "grab_timeout",
                                   "image_height",
                                   "image_width",
                                   "readable_device_properties",
                                   "readable_instance_properties",
                                   "request_queue_depth",
                                   "revision",
                                   "start_column",
                                   "start_row",
                                   "writeable_device_properties",
                                   "writeable_instance_properties",
                                   "volatile",
                                   "volatile_values"};

// A list of strings allocated as one block, a wrapped call under `text`.
FGstatus Strings(Vproc_handle proc_id, const char* text, int32_t line,
                 const std::vector<const char*>& texts, Vcpar** values, int32_t* numValues)
{
    return Wrapped(text, line, [&] {
        return fg_info_strings(proc_id, texts.data(), int32_t(texts.size()), values, numValues,
                               kSourceFile, line);
    });
}

// One text a connected camera, asked of a session of its own: "camera type:
// <Product>,device: <DeviceID>,GUID: <Serial>" (boards), else the DeviceID.
std::vector<std::string> CameraTexts(bool boards)
{
    kdTORVANE::acquire::DeviceManagerSession session;
    session.RefreshDeviceList();
    std::vector<std::string> texts;
    for (int i = 0; i < session.DeviceCount(); ++i) {
        const auto& entry = session.Device(i);
        const std::string id = std::to_string(entry.DeviceID.ReadInt());
        texts.push_back(boards ? "camera type: " + entry.Product.ReadText() + ",device: " + id +
                                     ",GUID: " + entry.Serial.ReadText()
                               : id);
    }
    return texts;
}

// The cameras as strings; 5312 when there is none.
FGstatus CameraList(Vproc_handle proc_id, bool boards, Vcpar** values, int32_t* numValues)
{
    return Guarded(FG_ERR_OPEN, [&]() -> FGstatus {
        const std::vector<std::string> texts = CameraTexts(boards);
        if (texts.empty())
            return FG_ERR_OPEN;
        std::vector<const char*> pointers;
        for (const std::string& text : texts)
            pointers.push_back(text.c_str());
        return Strings(proc_id, call::kAllocDevices, __LINE__, pointers, values, numValues);
    });
}

FGstatus Info(Vproc_handle proc_id, int32_t query, const char** info, Vcpar** values,
              int32_t* numValues)
{
    std::lock_guard guard(g_lock);
    *values = nullptr;
    *numValues = 0;
    switch (query) {
    case FG_INFO_PORT:
    case FG_INFO_FIELD:
    case FG_INFO_BITS_PER_CHANNEL:
    case FG_INFO_COLOR_SPACE:
    case FG_INFO_EXTERNAL_TRIGGER:
        *info = "Unused.";
        return FG_SUCCESS;
    case FG_INFO_CAMERA_TYPE:
        *info = "Value list for CameraType parameter..";
        return Strings(proc_id, call::kAllocCameraTypes, __LINE__,
                       {std::begin(kCameraTypes), std::end(kCameraTypes)}, values, numValues);
    case FG_INFO_GENERAL:
        *info = "Verodyn frame grabber interface for KANDRIS devices. Supported devices: kdLyra "
                "USB cameras";
        return FG_SUCCESS;
    case FG_INFO_DEFAULTS:
        *info = FG_INFO_DEFAULTS_TEXT;
        return Wrapped(call::kGetDefaults, __LINE__, [&] {
            return VFgGetDefaults(proc_id, ThePlugin().fgclass, values, numValues);
        });
    case FG_INFO_PARAMETERS:
        *info = "Additional parameters for this KANDRIS device.";
        return Strings(proc_id, call::kAllocParameters, __LINE__,
                       {std::begin(kParameters), std::end(kParameters)}, values, numValues);
    case FG_INFO_BOARDS:
        *info = "Info about installed KANDRIS devices.";
        return CameraList(proc_id, true, values, numValues);
    case FG_INFO_REVISION:
        *info = "Current interface revision of the KandrisAcquire interface.";
        return Strings(proc_id, call::kAllocRevision, __LINE__, {"2.2"}, values, numValues);
    case FG_INFO_DEVICE:
        *info = "Value list for device parameter.";
        return CameraList(proc_id, false, values, numValues);
    }
    return fg_info_unsupported(info, values, numValues);
}

void FillClass(FGClass* fgClass)
{
    fg_class_defaults(fgClass, kMaxInstances);
    fgClass->FGAllocInstance = AllocInstance;
    fgClass->FGOpen = OpenInstance;
    fgClass->FGClose = CloseInstance;
    fgClass->FGGrab = GrabSync;
    fgClass->FGGrabStartAsync = StartAsync;
    fgClass->FGGrabAsync = CollectAsync;
    fgClass->FGInfo = Info;
    fgClass->FGSetParam = SetParameter;
    fgClass->FGGetParam = GetParameter;
    fgClass->FGSetLut = FGNoOp;
    fgClass->FGGetLut = FGEmptyQuery;
    fgClass->field = FG_FIELD_INTERLACED;
    fgClass->bits_per_channel = 8;
    fg_copy_text(fgClass->color_space, sizeof fgClass->color_space, "gray");
    fg_copy_text(fgClass->camera_type, sizeof fgClass->camera_type, "kdLyra*");
    fg_copy_text(fgClass->device, sizeof fgClass->device, "0");
    fgClass->port = 0;
    fgClass->line_in = 0;
}

} // namespace

FG_EXPORT FGstatus FGInit(Vproc_handle, FGClass* fgClass)
{
    std::lock_guard guard(g_lock);
    Plugin& plugin = ThePlugin();
    for (int32_t i = 0; i < kMaxInstances; ++i) {
        plugin.instances[i] = AcquireInstance{};
        plugin.instances[i].slot = i;
    }
    plugin.open_count = 0;
    plugin.fgclass = fgClass;
    FillClass(fgClass);
    return FG_SUCCESS;
}
