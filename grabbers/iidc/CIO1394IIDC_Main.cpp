// VFG1394IIDC: the frame-grabber plug-in of interface "1394IIDC" for IEEE-1394
// cameras that follow the IIDC standard, through the camera library
// (fgcamera). FGInit reads the cameras once; each FGClass slot has its own
// instance record with its lock.
#include <cstdio>
#include <string>
#include <vector>

#include "grab.h"
#include "instance.h"
#include "low_error.h"
#include "open.h"
#include "parameters.h"
#include <fgint/class_record.h>
#include <fgint/fghelpers.h>
#include <fgint/info_table.h>
#include <fgint/instance_record.h>
#include <iidc/colour_conversion.h>

using namespace iidc;

namespace {

// The name the host's allocation records show for this plug-in.
constexpr char kSourceFile[] = "CIO1394IIDC_Main.cpp";

NodeTable g_nodes;
IIDCInstance g_instances[FG_MAX_INSTANCES];
int32_t g_open_count = 0;
FGClass* g_class = nullptr;

// Ends the camera library when the host unloads the plug-in.
struct ModuleExit {
    ~ModuleExit() { FGExitModule(); }
} g_module_exit;

void FreeRecord(IIDCInstance& r)
{
    if (r.in_use) {
        r.in_use = false;
        --g_open_count;
    }
}

FGInstance** AllocInstance(Vproc_handle, FGInstance* fginst)
{
    if (g_open_count >= int32_t(g_nodes.count))
        return nullptr;
    return fg::BindFreeRecord(g_instances, g_class, fginst, [](IIDCInstance& r) {
        if (r.in_use)
            return false;
        r.in_use = true;
        ++g_open_count;
        r.camera.reset();
        return true;
    });
}

FGstatus Open(Vproc_handle, FGInstance* fginst)
{
    IIDCInstance& r = Record(fginst);
    const FGstatus status = OpenCamera(r, fginst, g_nodes);
    if (status != FG_SUCCESS)
        FreeRecord(r);
    return status;
}

FGstatus Close(Vproc_handle, FGInstance* fginst)
{
    IIDCInstance& r = Record(fginst);
    ReleaseCamera(r, g_nodes);
    r.texts.clear();
    FreeRecord(r);
    return FG_SUCCESS;
}

FGstatus GrabSync(Vproc_handle proc_id, FGInstance* fginst, VImageRecord* image, int32_t* num_image)
{
    return Grab(proc_id, Record(fginst), image, num_image);
}

FGstatus StartAsync(Vproc_handle, FGInstance* fginst, double max_delay)
{
    return GrabStartAsync(Record(fginst), max_delay);
}

FGstatus CollectAsync(Vproc_handle proc_id, FGInstance* fginst, double max_delay,
                      VImageRecord* image, int32_t* num_image)
{
    return GrabAsync(proc_id, Record(fginst), max_delay, image, num_image);
}

FGstatus SetParameter(Vproc_handle, FGInstance* fginst, const char* name, const Vcpar* values,
                      int32_t num)
{
    return SetParam(Record(fginst), fginst, name, values, num);
}

FGstatus GetParameter(Vproc_handle, FGInstance* fginst, const char* name, Vcpar* values,
                      int32_t* num)
{
    return GetParam(Record(fginst), fginst, name, values, num);
}

FGstatus SetLut(Vproc_handle, FGInstance* fginst, const int32_t* red, const int32_t* green,
                const int32_t* blue, int32_t num)
{
    IIDCInstance& r = Record(fginst);
    if (!r.extension.Loaded())
        return FG_ERR_NOT_SUPPORTED;
    return r.extension.SetLut(r.camera.get(), red, green, blue, num);
}

FGstatus GetLut(Vproc_handle proc_id, FGInstance* fginst, int32_t* red, int32_t* green,
                int32_t* blue, int32_t* num)
{
    IIDCInstance& r = Record(fginst);
    if (!r.extension.Loaded())
        return fg::GetLutUnsupported(proc_id, fginst, red, green, blue, num);
    return r.extension.GetLut(r.camera.get(), red, green, blue, num);
}

// ---- Info ---------------------------------------------------------------

// One text a camera: "device:<GUID> card.id:<card>.<node>" (boards) or the GUID.
std::vector<std::string> CameraTexts(bool boards)
{
    std::vector<std::string> texts;
    for (uint32_t i = 0; i < g_nodes.count; ++i) {
        const FGNODEINFO& node = g_nodes.nodes[i];
        char text[96];
        if (boards)
            std::snprintf(text, sizeof text, "device:%08X%08X card.id:%01d.%02d", node.Guid.High,
                          node.Guid.Low, node.CardNumber, node.NodeId);
        else
            std::snprintf(text, sizeof text, "%08X%08X", node.Guid.High, node.Guid.Low);
        texts.push_back(text);
    }
    return texts;
}

FGstatus Boards(std::vector<std::string>* lines)
{
    *lines = CameraTexts(true);
    return FG_SUCCESS;
}

FGstatus Devices(std::vector<std::string>* lines)
{
    *lines = CameraTexts(false);
    return FG_SUCCESS;
}

FGstatus ParameterNames(std::vector<std::string>* lines)
{
    for (int i = 0; i < kParameterCount; ++i)
        lines->push_back(ParameterName(i));
    return FG_SUCCESS;
}

const char* const kCameraTypes[] = {"default"};
const char* const kRevision[] = {"2.0"};
const int32_t kBits[] = {8, 9, 10, 11, 12, 13, 14, 15, 16};
const char* const kColourSpaces[] = {"gray", "rgb", "yuv", "default"};
const char* const kTriggers[] = {"false", "true"};

const fg::InfoTable kInfo{
    .file = kSourceFile,
    .line = __LINE__,
    .port = {.text = "Unused"},
    .camera_type = {.text = "Specify camera type as 'Format:Mode:Rate' (DCAM) or "
                            "'Resolution.Color.Rate' (FireGrab) or 'default'.",
                    .strings = kCameraTypes},
    .general = {.text = "VFG1394IIDC - Universal frame grabber interface for IIDC 1394 compliant "
                        "cameras via FirePackage."},
    .parameters = {.text = "Additional parameters for this frame grabber.",
                   .lines = ParameterNames},
    .boards = {.text = "Information about actually installed IIDC 1394 compliant cameras.",
               .lines = Boards},
    .revision = {.text = "Current interface revision.", .strings = kRevision},
    .field = {.text = "Unused"},
    .bits_per_channel = {.text = "Value list for bits per channel parameter.", .integers = kBits},
    .color_space = {.text = "Value list of color space parameter.", .strings = kColourSpaces},
    .external_trigger = {.text = "Value list for external trigger parameter.",
                         .strings = kTriggers},
    .device = {.text = "Specify device by one of the listed GUIDs.", .lines = Devices},
};

const fg::ClassRecord kClass{
    .instances = {AllocInstance, Open, Close},
    .grabs = {GrabSync, StartAsync, CollectAsync},
    .extra_grabs = {fg::GrabExtraUnsupported, fg::GrabExtraAsyncUnsupported},
    .parameters = {fg::InfoFrom<kInfo, g_class>, SetParameter, GetParameter},
    .lut = {SetLut, GetLut},
    .image = {.field = FG_FIELD_PROGRESSIVE, .bits_per_channel = -1, .color_space = "default"},
    .source = {.camera_type = "default", .device = "-1", .port = 0, .line_in = 0},
};

} // namespace

FG_EXPORT FGstatus FGInit(Vproc_handle, FGClass* fgClass)
{
    g_open_count = 0;
    for (IIDCInstance& r : g_instances) {
        r.camera.reset();
        r.extension.Unload();
        r.in_use = false;
    }
    uint32_t code = FGInitModule(nullptr);
    if (code != FCE_NOERROR) {
        LowError("Could not initialize interface module", "FGInitModule", code);
        return FG_ERR_OPEN;
    }
    g_nodes.count = 0;
    code = FGGetNodeList(g_nodes.nodes, kMaxNodes, &g_nodes.count);
    if (code != FCE_NOERROR) {
        LowError("Could not get list of connected cameras.", "FGGetNodeList", code);
        g_nodes.count = 0;
        FGExitModule();
        return FG_ERR_OPEN;
    }
    if (g_nodes.count == 0) {
        FGExitModule();
        return FG_ERR_OPEN;
    }
    Tables();
    g_class = fgClass;
    fg::FillClass(fgClass, int32_t(g_nodes.count), kClass);
    return FG_SUCCESS;
}
