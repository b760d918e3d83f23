// VFGTwain (and parVFGTwain): the frame-grabber plug-in of interface "TWAIN".
// It acquires one image at a time from a TWAIN source through the data
// source manager twain_32.so, which every open loads and every close unloads.
// One instance at a time.
#include <chrono>
#include <cmath>
#include <string>
#include <vector>

#include "edition.h"
#include "grab.h"
#include "open.h"
#include "parameters.h"
#include <fgint/class_record.h>
#include <fgint/fghelpers.h>
#include <fgint/info_table.h>
#include <twain/global_memory.h>

using namespace vfgtwain;

namespace {

TwainInstance g_instance;
FGClass* g_class = nullptr;

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

// ---- Info ---------------------------------------------------------------

const char* const kCameraTypes[] = {"interactive",
                                    "interactive:inches",
                                    "interactive:centimeters",
                                    "interactive:picas",
                                    "interactive:points",
                                    "interactive:twips",
                                    "interactive:pixels",
                                    "inches",
                                    "centimeters",
                                    "picas",
                                    "points",
                                    "twips",
                                    "pixels"};
const char* const kRevisions[] = {kRevision};
const int32_t kBits[] = {-1, 1, 8};
const char* const kColourSpaces[] = {"none", "bw",   "gray", "rgb",  "palette",
                                     "cmy",  "cmyk", "yuv",  "yuvk", "ciexyz"};
const char* const kDevices[] = {"interactive", "automatic"};

// The parallel edition answers the queries up to the revision only.
const fg::InfoTable kInfo{
    .file = kSourceFile,
    .line = __LINE__,
    .port = {.text = "Entry for port parameter is ignored."},
    .camera_type = {.text = "Value list for camera type parameter: Operation mode (interactive "
                            "or manual).",
                    .strings = kCameraTypes},
    .general = {.text = "Verodyn interface for TWAIN devices."},
    .parameters = {.text = "Additional parameters for this frame grabber.",
                   .lines = ParameterNames},
    .boards = {.text = "Info about installed TWAIN devices."},
    .revision = {.text = "Current interface revision.", .strings = kRevisions},
    .field = {.text = "Entry for field parameter is ignored."},
    .bits_per_channel = {.text = "Value list for bits per channel parameter.", .integers = kBits},
    .color_space = {.text = "Value list for color space parameter.", .strings = kColourSpaces},
    .external_trigger = {.text = "Entry for external trigger parameter is ignored."},
    .device = {.text = "Value list for device parameter.", .strings = kDevices},
    .last_query = kParallelEdition ? FG_INFO_REVISION : FG_INFO_DEVICE,
};

const fg::ClassRecord kClass{
    .instances = {AllocInstance, Open, Close},
    .grabs = {Grab, GrabStartAsync, GrabAsync},
    .extra_grabs = {fg::GrabExtraUnsupported, fg::GrabExtraAsyncUnsupported},
    .parameters = {fg::InfoFrom<kInfo, g_class>, SetParameter, GetParameter},
    .lut = {fg::SetLutUnsupported, fg::GetLutUnsupported},
    .image = {.field = FG_FIELD_INTERLACED, .bits_per_channel = -1, .color_space = "rgb"},
    .source = {.camera_type = "interactive", .device = "interactive", .port = 1, .line_in = 1},
};

} // namespace

FG_EXPORT FGstatus FGInit(Vproc_handle, FGClass* fgClass)
{
    g_instance = TwainInstance{};
    g_class = fgClass;
    fg::FillClass(fgClass, 1, kClass);
    // -1: the resolution and image part the source has.
    fgClass->horizontal_resolution = fgClass->vertical_resolution = -1;
    fgClass->image_width = fgClass->image_height = -1;
    fgClass->start_row = fgClass->start_column = -1;
    return FG_SUCCESS;
}
