// VFGTwain (and parVFGTwain): the frame-grabber plug-in of interface "TWAIN".
// It acquires one image at a time from a TWAIN source through the data
// source manager twain_32.so, which every open loads and every close unloads.
// One instance at a time.
#include <chrono>
#include <cmath>
#include <iterator>
#include <vector>

#include "edition.h"
#include "fgint/fghelpers.h"
#include "grab.h"
#include "open.h"
#include "parameters.h"
#include "twain/global_memory.h"

using namespace vfgtwain;

namespace {

TwainInstance g_instance;
FGClass* g_class = nullptr;

TwainInstance& Record(FGInstance* fginst)
{
    return *static_cast<TwainInstance*>(fginst->plugin_instance);
}

FGInstance** AllocInstance(Vproc_handle, FGInstance* fginst)
{
    if (g_instance.in_use)
        return nullptr;
    g_instance = TwainInstance{};
    g_instance.in_use = true;
    fginst->plugin_instance = &g_instance;
    return fg_instance_slot(g_class, 0);
}

FGstatus Open(Vproc_handle proc_id, FGInstance* fginst)
{
    TwainInstance& r = Record(fginst);
    const FGstatus status = OpenTwain(proc_id, fginst, r);
    if (status != FG_SUCCESS)
        r.in_use = false;
    return status;
}

FGstatus Close(Vproc_handle proc_id, FGInstance* fginst)
{
    TwainInstance& r = Record(fginst);
    const FGstatus status = CloseTwain(proc_id, r);
    r = TwainInstance{};
    return status;
}

FGstatus Grab(Vproc_handle proc_id, FGInstance* fginst, VImageRecord* image, int32_t* num_image)
{
    return GrabTwain(proc_id, fginst, Record(fginst), image, num_image);
}

void KeepDelay(FGInstance* fginst, double max_delay)
{
    Record(fginst).max_delay_ms = int32_t(std::lround(max_delay));
}

// No image is taken before the asynchronous grab collects it.
FGstatus GrabStartAsync(Vproc_handle, FGInstance* fginst, double max_delay)
{
    KeepDelay(fginst, max_delay);
    const auto now =
        std::chrono::duration_cast<std::chrono::milliseconds>(twain::PlatformClock().Now());
    TwainInstance& r = Record(fginst);
    r.start_seconds = now.count() / 1000;
    r.start_milliseconds = int32_t(now.count() % 1000);
    fginst->async_grab = 1;
    return FG_SUCCESS;
}

FGstatus GrabAsync(Vproc_handle proc_id, FGInstance* fginst, double max_delay, VImageRecord* image,
                   int32_t* num_image)
{
    KeepDelay(fginst, max_delay);
    return Grab(proc_id, fginst, image, num_image);
}

FGstatus GrabExtra(Vproc_handle, FGInstance*, void*) { return FG_ERR_NOT_SUPPORTED; }

FGstatus GrabExtraAsync(Vproc_handle, FGInstance*, double, void*) { return FG_ERR_NOT_SUPPORTED; }

FGstatus SetParameter(Vproc_handle, FGInstance* fginst, const char* name, const Vcpar* values,
                      int32_t num)
{
    return SetParam(Record(fginst), name, values, num);
}

FGstatus GetParameter(Vproc_handle, FGInstance* fginst, const char* name, Vcpar* values,
                      int32_t* num)
{
    return GetParam(Record(fginst), name, values, num);
}

FGstatus SetLut(Vproc_handle, FGInstance*, const int32_t*, const int32_t*, const int32_t*, int32_t)
{
    return FG_ERR_NOT_SUPPORTED;
}

FGstatus GetLut(Vproc_handle, FGInstance*, int32_t*, int32_t*, int32_t*, int32_t* num)
{
    *num = 0;
    return FG_ERR_NOT_SUPPORTED;
}

// ---- Info ---------------------------------------------------------------

FGstatus Strings(Vproc_handle proc_id, std::vector<const char*> texts, Vcpar** values,
                 int32_t* numValues)
{
    return fg_info_strings(proc_id, texts.data(), int32_t(texts.size()), values, numValues,
                           kSourceFile, __LINE__);
}

FGstatus BitsValues(Vproc_handle proc_id, Vcpar** values, int32_t* numValues)
{
    constexpr int32_t kBits[] = {-1, 1, 8};
    return fg_info_integers(proc_id, kBits, int32_t(std::size(kBits)), values, numValues,
                            kSourceFile, __LINE__);
}

FGstatus Info(Vproc_handle proc_id, int32_t query, const char** info, Vcpar** values,
              int32_t* numValues)
{
    *values = nullptr;
    *numValues = 0;
    if (kParallelEdition && query > FG_INFO_REVISION)
        return fg_info_unsupported(info, values, numValues);
    switch (query) {
    case FG_INFO_PORT:
        *info = "Entry for port parameter is ignored.";
        return FG_SUCCESS;
    case FG_INFO_CAMERA_TYPE:
        *info = "Value list for camera type parameter: Operation mode (interactive or manual).";
        return Strings(proc_id,
                       {"interactive", "interactive:inches", "interactive:centimeters",
                        "interactive:picas", "interactive:points", "interactive:twips",
                        "interactive:pixels", "inches", "centimeters", "picas", "points", "twips",
                        "pixels"},
                       values, numValues);
    case FG_INFO_GENERAL:
        *info = "Verodyn interface for TWAIN devices.";
        return FG_SUCCESS;
    case FG_INFO_DEFAULTS:
        *info = FG_INFO_DEFAULTS_TEXT;
        return VFgGetDefaults(proc_id, g_class, values, numValues);
    case FG_INFO_PARAMETERS: {
        *info = "Additional parameters for this frame grabber.";
        std::vector<const char*> names;
        for (int i = 0; i < ParameterCount(); ++i)
            names.push_back(ParameterName(i));
        return Strings(proc_id, names, values, numValues);
    }
    case FG_INFO_BOARDS:
        *info = "Info about installed TWAIN devices.";
        return FG_SUCCESS;
    case FG_INFO_REVISION:
        *info = "Current interface revision.";
        return Strings(proc_id, {kRevision}, values, numValues);
    case FG_INFO_FIELD:
        *info = "Entry for field parameter is ignored.";
        return FG_SUCCESS;
    case FG_INFO_BITS_PER_CHANNEL:
        *info = "Value list for bits per channel parameter.";
        return BitsValues(proc_id, values, numValues);
    case FG_INFO_COLOR_SPACE:
        *info = "Value list for color space parameter.";
        return Strings(
            proc_id,
            {"none", "bw", "gray", "rgb", "palette", "cmy", "cmyk", "yuv", "yuvk", "ciexyz"},
            values, numValues);
    case FG_INFO_EXTERNAL_TRIGGER:
        *info = "Entry for external trigger parameter is ignored.";
        return FG_SUCCESS;
    case FG_INFO_DEVICE:
        *info = "Value list for device parameter.";
        return Strings(proc_id, {"interactive", "automatic"}, values, numValues);
    }
    return fg_info_unsupported(info, values, numValues);
}

void FillClass(FGClass* fgClass)
{
    fg_class_defaults(fgClass, 1);
    fgClass->FGAllocInstance = AllocInstance;
    fgClass->FGOpen = Open;
    fgClass->FGClose = Close;
    fgClass->FGGrab = Grab;
    fgClass->FGGrabStartAsync = GrabStartAsync;
    fgClass->FGGrabAsync = GrabAsync;
    fgClass->FGGrabExtra = GrabExtra;
    fgClass->FGGrabExtraAsync = GrabExtraAsync;
    fgClass->FGInfo = Info;
    fgClass->FGSetParam = SetParameter;
    fgClass->FGGetParam = GetParameter;
    fgClass->FGSetLut = SetLut;
    fgClass->FGGetLut = GetLut;
    fgClass->horizontal_resolution = -1;
    fgClass->vertical_resolution = -1;
    fgClass->image_width = -1;
    fgClass->image_height = -1;
    fgClass->start_row = -1;
    fgClass->start_column = -1;
    fgClass->field = FG_FIELD_INTERLACED;
    fgClass->bits_per_channel = -1;
    fg_copy_text(fgClass->color_space, sizeof fgClass->color_space, "rgb");
    fg_copy_text(fgClass->camera_type, sizeof fgClass->camera_type, "interactive");
    fg_copy_text(fgClass->device, sizeof fgClass->device, "interactive");
    fgClass->port = 1;
    fgClass->line_in = 1;
}

} // namespace

FG_EXPORT FGstatus FGInit(Vproc_handle, FGClass* fgClass)
{
    g_instance = TwainInstance{};
    g_class = fgClass;
    FillClass(fgClass);
    return FG_SUCCESS;
}
