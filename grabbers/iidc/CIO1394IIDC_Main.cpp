// VFG1394IIDC: the frame-grabber plug-in of interface "1394IIDC" for IEEE-1394
// cameras that follow the IIDC standard, through the camera library
// (fgcamera). FGInit reads the cameras once; each FGClass slot has its own
// instance record with its lock.
#include <cstdio>
#include <iterator>
#include <string>
#include <vector>

#include "fgint/fghelpers.h"
#include "grab.h"
#include "iidc/colour_conversion.h"
#include "instance.h"
#include "low_error.h"
#include "open.h"
#include "parameters.h"

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

IIDCInstance& Record(FGInstance* fginst)
{
    return *static_cast<IIDCInstance*>(fginst->plugin_instance);
}

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
    for (int32_t i = 0; i < FG_MAX_INSTANCES; ++i) {
        IIDCInstance& r = g_instances[i];
        if (!r.in_use) {
            r.in_use = true;
            ++g_open_count;
            r.camera.reset();
            fginst->plugin_instance = &r;
            return fg_instance_slot(g_class, i);
        }
    }
    return nullptr;
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

FGstatus GrabExtra(Vproc_handle, FGInstance*, void*) { return FG_ERR_NOT_SUPPORTED; }

FGstatus GrabExtraAsync(Vproc_handle, FGInstance*, double, void*) { return FG_ERR_NOT_SUPPORTED; }

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

FGstatus GetLut(Vproc_handle, FGInstance* fginst, int32_t* red, int32_t* green, int32_t* blue,
                int32_t* num)
{
    IIDCInstance& r = Record(fginst);
    if (!r.extension.Loaded()) {
        *num = 0;
        return FG_ERR_NOT_SUPPORTED;
    }
    return r.extension.GetLut(r.camera.get(), red, green, blue, num);
}

// ---- Info ---------------------------------------------------------------

FGstatus Strings(Vproc_handle proc_id, const std::vector<std::string>& texts, Vcpar** values,
                 int32_t* numValues)
{
    std::vector<const char*> pointers;
    for (const std::string& text : texts)
        pointers.push_back(text.c_str());
    return fg_info_strings(proc_id, pointers.data(), int32_t(pointers.size()), values, numValues,
                           kSourceFile, __LINE__);
}

FGstatus BitsValues(Vproc_handle proc_id, Vcpar** values, int32_t* numValues)
{
    constexpr int32_t kBits[] = {8, 9, 10, 11, 12, 13, 14, 15, 16};
    return fg_info_integers(proc_id, kBits, int32_t(std::size(kBits)), values, numValues,
                            kSourceFile, __LINE__);
}

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

FGstatus Info(Vproc_handle proc_id, int32_t query, const char** info, Vcpar** values,
              int32_t* numValues)
{
    *values = nullptr;
    *numValues = 0;
    switch (query) {
    case FG_INFO_PORT:
    case FG_INFO_FIELD:
        *info = "Unused";
        return FG_SUCCESS;
    case FG_INFO_CAMERA_TYPE:
        *info = "Specify camera type as 'Format:Mode:Rate' (DCAM) or 'Resolution.Color.Rate' "
                "(FireGrab) or 'default'.";
        return Strings(proc_id, {"default"}, values, numValues);
    case FG_INFO_GENERAL:
        *info = "VFG1394IIDC - Universal frame grabber interface for IIDC 1394 compliant cameras "
                "via FirePackage.";
        return FG_SUCCESS;
    case FG_INFO_DEFAULTS:
        *info = FG_INFO_DEFAULTS_TEXT;
        return VFgGetDefaults(proc_id, g_class, values, numValues);
    case FG_INFO_PARAMETERS: {
        *info = "Additional parameters for this frame grabber.";
        std::vector<std::string> names;
        for (int i = 0; i < kParameterCount; ++i)
            names.push_back(ParameterName(i));
        return Strings(proc_id, names, values, numValues);
    }
    case FG_INFO_BOARDS:
        *info = "Information about actually installed IIDC 1394 compliant cameras.";
        return Strings(proc_id, CameraTexts(true), values, numValues);
    case FG_INFO_REVISION:
        *info = "Current interface revision.";
        return Strings(proc_id, {"2.0"}, values, numValues);
    case FG_INFO_BITS_PER_CHANNEL:
        *info = "Value list for bits per channel parameter.";
        return BitsValues(proc_id, values, numValues);
    case FG_INFO_COLOR_SPACE:
        *info = "Value list of color space parameter.";
        return Strings(proc_id, {"gray", "rgb", "yuv", "default"}, values, numValues);
    case FG_INFO_EXTERNAL_TRIGGER:
        *info = "Value list for external trigger parameter.";
        return Strings(proc_id, {"false", "true"}, values, numValues);
    case FG_INFO_DEVICE:
        *info = "Specify device by one of the listed GUIDs.";
        return Strings(proc_id, CameraTexts(false), values, numValues);
    }
    return fg_info_unsupported(info, values, numValues);
}

void FillClass(FGClass* fgClass)
{
    fg_class_defaults(fgClass, int32_t(g_nodes.count));
    fgClass->FGAllocInstance = AllocInstance;
    fgClass->FGOpen = Open;
    fgClass->FGClose = Close;
    fgClass->FGGrab = GrabSync;
    fgClass->FGGrabStartAsync = StartAsync;
    fgClass->FGGrabAsync = CollectAsync;
    fgClass->FGGrabExtra = GrabExtra;
    fgClass->FGGrabExtraAsync = GrabExtraAsync;
    fgClass->FGInfo = Info;
    fgClass->FGSetParam = SetParameter;
    fgClass->FGGetParam = GetParameter;
    fgClass->FGSetLut = SetLut;
    fgClass->FGGetLut = GetLut;
    fgClass->field = FG_FIELD_PROGRESSIVE;
    fgClass->bits_per_channel = -1;
    fg_copy_text(fgClass->color_space, sizeof fgClass->color_space, "default");
    fg_copy_text(fgClass->camera_type, sizeof fgClass->camera_type, "default");
    fg_copy_text(fgClass->device, sizeof fgClass->device, "-1");
    fgClass->port = 0;
    fgClass->line_in = 0;
}

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
    FillClass(fgClass);
    return FG_SUCCESS;
}
