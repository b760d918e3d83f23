// VFGZephonII: the frame-grabber plug-in of interface "ZephonII" for the
// Zephon-II family of analogue boards, through the board library (dvl).
// Each FGClass slot has its own instance record; instances on one board share
// its record when the board type allows it.
#include <array>
#include <cmath>
#include <cstring>
#include <mutex>
#include <span>
#include <string>
#include <vector>

#include "board_access.h"
#include "fgint/fghelpers.h"
#include "grab.h"
#include "instance.h"
#include "open.h"
#include "parameters.h"
#include "registry/registry.h"

using namespace zephon;

namespace {

constexpr char kDcfKey[] = "Software\\Dravik\\Imaging Board";
constexpr uint32_t kDcfDirectoryLimit = 1000;

std::array<ZephonInstance, FG_MAX_INSTANCES> g_records;
int32_t g_open_count = 0;
FGClass* g_class = nullptr;
// Opens and closes one at a time: they walk and change the board records.
std::mutex g_open_lock;

ZephonInstance& Record(FGInstance* fginst)
{
    return *static_cast<ZephonInstance*>(fginst->plugin_instance);
}

std::span<ZephonInstance> Records() { return g_records; }

FGInstance** AllocInstance(Vproc_handle, FGInstance* fginst)
{
    std::lock_guard guard(g_open_lock);
    if (g_open_count >= FG_MAX_INSTANCES)
        return nullptr;
    for (ZephonInstance& r : g_records)
        if (!r.handed_out) {
            r.handed_out = true;
            fginst->plugin_instance = &r;
            return fg_instance_slot(g_class, r.slot);
        }
    return nullptr;
}

FGstatus Open(Vproc_handle proc_id, FGInstance* fginst)
{
    std::lock_guard guard(g_open_lock);
    ZephonInstance& r = Record(fginst);
    const FGstatus status = OpenInstance(proc_id, r, fginst, Records());
    if (status == FG_SUCCESS)
        ++g_open_count;
    else
        r.handed_out = false;
    return status;
}

FGstatus Close(Vproc_handle proc_id, FGInstance* fginst)
{
    std::lock_guard guard(g_open_lock);
    --g_open_count;
    ZephonInstance& r = Record(fginst);
    r.handed_out = false;
    return CloseInstance(proc_id, r);
}

int32_t OpenCount()
{
    std::lock_guard guard(g_open_lock);
    return g_open_count;
}

FGstatus GrabSync(Vproc_handle proc_id, FGInstance* fginst, VImageRecord* image, int32_t* num_image)
{
    return Grab(proc_id, Record(fginst), Records(), OpenCount(), image, num_image);
}

FGstatus StartAsync(Vproc_handle, FGInstance* fginst, double max_delay)
{
    return GrabStartAsync(Record(fginst), Records(), max_delay);
}

FGstatus CollectAsync(Vproc_handle proc_id, FGInstance* fginst, double max_delay,
                      VImageRecord* image, int32_t* num_image)
{
    Record(fginst).max_delay = int32_t(std::lround(max_delay));
    fginst->async_grab = 1;
    return GrabSync(proc_id, fginst, image, num_image);
}

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

// ---- Info ---------------------------------------------------------------

FGstatus Strings(Vproc_handle proc_id, const std::vector<const char*>& texts, Vcpar** values,
                 int32_t* numValues)
{
    return fg_info_strings(proc_id, texts.data(), int32_t(texts.size()), values, numValues,
                           kSourceFile, __LINE__);
}

// The folder of the board's camera files, "\" when the registry does not tell.
std::string DcfDirectory()
{
    auto store = registry::Registry::FromFile(registry::DefaultRegistryPath());
    registry::HKEY key = 0;
    if (store->OpenKey(registry::kLocalMachine, kDcfKey, registry::kKeyRead, &key) !=
        win32::kSuccess)
        return "\\";
    char text[kDcfDirectoryLimit] = {};
    uint32_t size = sizeof text;
    const auto status = store->QueryValue(key, "Directory", nullptr, text, &size);
    store->CloseKey(key);
    if (status != win32::kSuccess)
        return "\\";
    return std::string(text, strnlen(text, size));
}

FGstatus PortValues(Vproc_handle proc_id, Vcpar** values, int32_t* numValues)
{
    constexpr int32_t kCount = 25;
    void* block = nullptr;
    const FGstatus status =
        VXAlloc(proc_id, kCount * sizeof(Vcpar), kSourceFile, __LINE__, FG_ALLOC_ID, &block);
    if (status != FG_SUCCESS)
        return status;
    auto* list = static_cast<Vcpar*>(block);
    for (int32_t i = 0; i < kCount; ++i) {
        list[i] = Vcpar{};
        list[i].par.l = i < kCount - 1 ? i : -1;
        list[i].type = VPAR_INT;
    }
    *values = list;
    *numValues = kCount;
    return FG_SUCCESS;
}

FGstatus Info(Vproc_handle proc_id, int32_t query, const char** info, Vcpar** values,
              int32_t* numValues)
{
    *values = nullptr;
    *numValues = 0;
    switch (query) {
    case FG_INFO_PORT:
        *info = "Value list for port parameter.";
        return PortValues(proc_id, values, numValues);
    case FG_INFO_CAMERA_TYPE: {
        *info = "DCF file specifying the desired camera configuration.";
        const std::string directory = DcfDirectory();
        return Strings(proc_id,
                       {"CAMFILE:", "dcf", directory.c_str(), "D_CCIR", "D_CCIR_VIA_RGB",
                        "D_DEFAULT", "D_NTSC", "D_NTSC_RGB", "D_NTSC_YC", "D_PAL", "D_PAL_RGB",
                        "D_PAL_YC", "D_RS170", "D_RS170_VIA_RGB"},
                       values, numValues);
    }
    case FG_INFO_GENERAL:
        *info = "Verodyn frame grabber interface for Dravik Zephon-II boards.";
        return FG_SUCCESS;
    case FG_INFO_DEFAULTS:
        *info = FG_INFO_DEFAULTS_TEXT;
        return VFgGetDefaults(proc_id, g_class, values, numValues);
    case FG_INFO_PARAMETERS: {
        *info = "Additional parameters for this frame grabber.";
        std::vector<const char*> names;
        for (int i = 0; i < kParameterCount; ++i)
            names.push_back(ParameterName(i));
        return Strings(proc_id, names, values, numValues);
    }
    case FG_INFO_BOARDS:
        *info = "Info about installed DRAVIK Zephon-II boards.";
        return OpenCount() > 0 ? FG_SUCCESS : CheckLibraryVersion();
    case FG_INFO_REVISION:
        *info = "Current interface revision.";
        return Strings(proc_id, {"2.2"}, values, numValues);
    case FG_INFO_FIELD:
        *info = "Value list for field parameter.";
        return FG_SUCCESS;
    case FG_INFO_BITS_PER_CHANNEL:
        *info = "Value list for bits per channel parameter.";
        return FG_SUCCESS;
    case FG_INFO_COLOR_SPACE:
        *info = "Value list for color space parameter.";
        return Strings(proc_id, {"gray", "rgb"}, values, numValues);
    case FG_INFO_EXTERNAL_TRIGGER:
        *info = "Value list for external trigger parameter.";
        return Strings(proc_id, {"true", "false"}, values, numValues);
    case FG_INFO_DEVICE:
        *info = "Value list for device parameter.";
        return Strings(proc_id,
                       {"ZEPHON_II:0", "ZEPHON_II:1", "ZEPHON_II:2", "ZEPHON_II:3",
                        "ZEPHON_II_1394:0", "ZEPHON_II_1394:1", "ZEPHON_II_1394:2",
                        "ZEPHON_II_1394:3", "ZEPHON_II_CL:0", "ZEPHON_II_CL:1", "ZEPHON_II_CL:2",
                        "ZEPHON_II_CL:3", "ZEPHON_II_DIG:0", "ZEPHON_II_DIG:1", "ZEPHON_II_DIG:2",
                        "ZEPHON_II_DIG:3"},
                       values, numValues);
    }
    return fg_info_unsupported(info, values, numValues);
}

void FillClass(FGClass* fgClass)
{
    fg_class_defaults(fgClass, FG_MAX_INSTANCES);
    fgClass->FGAllocInstance = AllocInstance;
    fgClass->FGOpen = Open;
    fgClass->FGClose = Close;
    fgClass->FGGrab = GrabSync;
    fgClass->FGGrabStartAsync = StartAsync;
    fgClass->FGGrabAsync = CollectAsync;
    fgClass->FGInfo = Info;
    fgClass->FGSetParam = SetParameter;
    fgClass->FGGetParam = GetParameter;
    fgClass->field = FG_FIELD_INTERLACED;
    fgClass->bits_per_channel = 8;
    fg_copy_text(fgClass->color_space, sizeof fgClass->color_space, "gray");
    fg_copy_text(fgClass->camera_type, sizeof fgClass->camera_type, "D_DEFAULT");
    fg_copy_text(fgClass->device, sizeof fgClass->device, "0");
    fgClass->port = -1;
    fgClass->line_in = 0;
}

} // namespace

FG_EXPORT FGstatus FGInit(Vproc_handle, FGClass* fgClass)
{
    std::lock_guard guard(g_open_lock);
    for (int32_t i = 0; i < FG_MAX_INSTANCES; ++i) {
        g_records[i].handed_out = false;
        g_records[i].board = nullptr;
        g_records[i].slot = i;
    }
    g_open_count = 0;
    g_class = fgClass;
    FillClass(fgClass);
    return FG_SUCCESS;
}
