// VFGZephonII: the frame-grabber plug-in of interface "ZephonII" for the
// Zephon-II family of analogue boards, through the board library (dvl).
// Each FGClass slot has its own instance record; instances on one board share
// its record when the board type allows it.
#include <array>
#include <cstring>
#include <mutex>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "board_access.h"
#include "grab.h"
#include "instance.h"
#include "open.h"
#include "parameters.h"
#include <fgint/class_record.h>
#include <fgint/delay.h>
#include <fgint/fghelpers.h>
#include <fgint/info_table.h>
#include <fgint/instance_record.h>
#include <registry/registry.h>

using namespace zephon;

namespace {

constexpr char kDcfKey[] = "Software\\Dravik\\Imaging Board";
constexpr uint32_t kDcfDirectoryLimit = 1000;

std::array<ZephonInstance, FG_MAX_INSTANCES> g_records;
int32_t g_open_count = 0;
FGClass* g_class = nullptr;
// Opens and closes one at a time: they walk and change the board records.
std::mutex g_open_lock;

std::span<ZephonInstance> Records() { return g_records; }

FGInstance** AllocInstance(Vproc_handle, FGInstance* fginst)
{
    std::lock_guard guard(g_open_lock);
    if (g_open_count >= FG_MAX_INSTANCES)
        return nullptr;
    return fg::BindFreeRecord(g_records, g_class, fginst,
                              [](ZephonInstance& r) { return !std::exchange(r.handed_out, true); });
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
    Record(fginst).max_delay = fg::RoundedDelay(max_delay);
    fginst->async_grab = 1;
    return GrabSync(proc_id, fginst, image, num_image);
}

// ---- Info ---------------------------------------------------------------

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

FGstatus CameraTypes(std::vector<std::string>* lines)
{
    *lines = {"CAMFILE:",  "dcf",      DcfDirectory(), "D_CCIR",         "D_CCIR_VIA_RGB",
              "D_DEFAULT", "D_NTSC",   "D_NTSC_RGB",   "D_NTSC_YC",      "D_PAL",
              "D_PAL_RGB", "D_PAL_YC", "D_RS170",      "D_RS170_VIA_RGB"};
    return FG_SUCCESS;
}

// The boards answer no list: the board library is asked for its version
// while no board is open.
FGstatus Boards(std::vector<std::string>*)
{
    return OpenCount() > 0 ? FG_SUCCESS : CheckLibraryVersion();
}

// The ports 0 to 23, and -1 for none.
constexpr auto kPorts = [] {
    std::array<int32_t, 25> ports{};
    for (int32_t i = 0; i < 24; ++i)
        ports[size_t(i)] = i;
    ports[24] = -1;
    return ports;
}();
const char* const kRevision[] = {"2.2"};
const char* const kColourSpaces[] = {"gray", "rgb"};
const char* const kTriggers[] = {"true", "false"};
const char* const kDevices[] = {
    "ZEPHON_II:0",      "ZEPHON_II:1",      "ZEPHON_II:2",      "ZEPHON_II:3",
    "ZEPHON_II_1394:0", "ZEPHON_II_1394:1", "ZEPHON_II_1394:2", "ZEPHON_II_1394:3",
    "ZEPHON_II_CL:0",   "ZEPHON_II_CL:1",   "ZEPHON_II_CL:2",   "ZEPHON_II_CL:3",
    "ZEPHON_II_DIG:0",  "ZEPHON_II_DIG:1",  "ZEPHON_II_DIG:2",  "ZEPHON_II_DIG:3"};

const fg::InfoTable kInfo{
    .file = kSourceFile,
    .line = __LINE__,
    .port = {.text = "Value list for port parameter.", .integers = kPorts},
    .camera_type = {.text = "DCF file specifying the desired camera configuration.",
                    .lines = CameraTypes},
    .general = {.text = "Verodyn frame grabber interface for Dravik Zephon-II boards."},
    .parameters = {.text = "Additional parameters for this frame grabber.",
                   .strings = ParameterNames()},
    .boards = {.text = "Info about installed DRAVIK Zephon-II boards.", .lines = Boards},
    .revision = {.text = "Current interface revision.", .strings = kRevision},
    .field = {.text = "Value list for field parameter."},
    .bits_per_channel = {.text = "Value list for bits per channel parameter."},
    .color_space = {.text = "Value list for color space parameter.", .strings = kColourSpaces},
    .external_trigger = {.text = "Value list for external trigger parameter.",
                         .strings = kTriggers},
    .device = {.text = "Value list for device parameter.", .strings = kDevices},
};

const fg::ClassRecord kClass{
    .instances = {AllocInstance, Open, Close},
    .grabs = {GrabSync, StartAsync, CollectAsync},
    .parameters = {fg::InfoFrom<kInfo, g_class>, SetParameter, GetParameter},
    .image = {.field = FG_FIELD_INTERLACED, .bits_per_channel = 8, .color_space = "gray"},
    .source = {.camera_type = "D_DEFAULT", .device = "0", .port = -1, .line_in = 0},
};

} // namespace

FG_EXPORT FGstatus FGInit(Vproc_handle, FGClass* fgClass)
{
    std::lock_guard guard(g_open_lock);
    for (ZephonInstance& r : g_records) {
        r.handed_out = false;
        r.board = nullptr;
    }
    g_open_count = 0;
    g_class = fgClass;
    fg::FillClass(fgClass, FG_MAX_INSTANCES, kClass);
    return FG_SUCCESS;
}
