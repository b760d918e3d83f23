// VFGKandrisAcquire: the frame-grabber plug-in of interface "KandrisAcquire"
// for the kdLyra USB cameras, through the camera access layer over the
// device manager (kddevmgr). Instances that open the same device text share
// one camera. Every callback runs under the plug-in's lock, and no exception
// of the access layer leaves it; a grab leaves the lock while it waits for the
// camera.
#include <string>
#include <vector>

#include "grab.h"
#include "open.h"
#include "parameters.h"
#include "wrapped.h"
#include <fgint/class_record.h>
#include <fgint/info_table.h>
#include <fgint/instance_record.h>

using namespace usbcam;

namespace {

constexpr int32_t kMaxInstances = FG_MAX_INSTANCES;

// Runs a callback's `body` under the plug-in's lock; any escaping exception becomes `failure`.
template <typename Body> FGstatus Locked(FGstatus failure, Body&& body)
{
    std::lock_guard guard(PluginLock());
    return Guarded(failure, std::forward<Body>(body));
}

FGInstance** AllocInstance(Vproc_handle, FGInstance* fginst)
{
    std::lock_guard guard(PluginLock());
    Plugin& plugin = ThePlugin();
    if (plugin.open_count >= kMaxInstances)
        return nullptr;
    return fg::BindFreeRecord(plugin.instances, plugin.fgclass, fginst,
                              [](const AcquireInstance& r) { return !r.board; });
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
FGstatus CameraList(bool boards, std::vector<std::string>* lines)
{
    return Guarded(FG_ERR_OPEN, [&]() -> FGstatus {
        *lines = CameraTexts(boards);
        return lines->empty() ? FG_ERR_OPEN : FG_SUCCESS;
    });
}

FGstatus Boards(std::vector<std::string>* lines) { return CameraList(true, lines); }

FGstatus Devices(std::vector<std::string>* lines) { return CameraList(false, lines); }

const char* const kRevision[] = {"2.2"};
const fg::InfoCallHooks kHooks{Trace, Reported};

const fg::InfoTable kInfo{
    .file = kSourceFile,
    .line = __LINE__,
    .port = {.text = "Unused."},
    .camera_type = {.text = "Value list for CameraType parameter..",
                    .strings = kCameraTypes,
                    .call = call::kAllocCameraTypes},
    .general = {.text = "Verodyn frame grabber interface for KANDRIS devices. Supported devices: "
                        "kdLyra USB cameras"},
    .defaults_call = call::kGetDefaults,
    .parameters = {.text = "Additional parameters for this KANDRIS device.",
                   .strings = kParameters,
                   .call = call::kAllocParameters},
    .boards = {.text = "Info about installed KANDRIS devices.",
               .lines = Boards,
               .call = call::kAllocDevices},
    .revision = {.text = "Current interface revision of the KandrisAcquire interface.",
                 .strings = kRevision,
                 .call = call::kAllocRevision},
    .field = {.text = "Unused."},
    .bits_per_channel = {.text = "Unused."},
    .color_space = {.text = "Unused."},
    .external_trigger = {.text = "Unused."},
    .device = {.text = "Value list for device parameter.",
               .lines = Devices,
               .call = call::kAllocDevices},
    .hooks = &kHooks,
};

FGstatus Info(Vproc_handle proc_id, int32_t query, const char** info, Vcpar** values,
              int32_t* numValues)
{
    std::lock_guard guard(PluginLock());
    return fg::AnswerInfo(kInfo, ThePlugin().fgclass, proc_id, query, info, values, numValues);
}

const fg::ClassRecord kClass{
    .instances = {AllocInstance, OpenInstance, CloseInstance},
    .grabs = {GrabSync, StartAsync, CollectAsync},
    .parameters = {Info, SetParameter, GetParameter},
    .lut = {FGNoOp, FGEmptyQuery},
    .image = {.field = FG_FIELD_INTERLACED, .bits_per_channel = 8, .color_space = "gray"},
    .source = {.camera_type = "kdLyra*", .device = "0", .port = 0, .line_in = 0},
};

} // namespace

FG_EXPORT FGstatus FGInit(Vproc_handle, FGClass* fgClass)
{
    std::lock_guard guard(PluginLock());
    Plugin& plugin = ThePlugin();
    for (int32_t i = 0; i < kMaxInstances; ++i) {
        plugin.instances[i] = AcquireInstance{};
        plugin.instances[i].slot = i;
    }
    plugin.open_count = 0;
    plugin.fgclass = fgClass;
    fg::FillClass(fgClass, kMaxInstances, kClass);
    return FG_SUCCESS;
}
