// VFGMockCam: a frame-grabber plug-in written only against fgint, with a
// simulated camera of full_width x full_height pixels: the image size asked
// at open, else 8 x 4. Besides its own test parameters it answers the camera
// parameters the workbench's settings dialogs use. Tests drive it through the
// host and inspect it through the Mock* functions; copies of it stand in for
// other interfaces.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include <fgint/fghelpers.h>
#include <fgint/instance_record.h>

namespace {

constexpr int kRecords = 4;
constexpr int32_t kMaxInstances = 2;
constexpr int32_t kWidth = 8;
constexpr int32_t kHeight = 4;

// An IEEE-1394 range answer: minimum, maximum, step, value to start with.
constexpr int32_t kShutterRange[4] = {1, 4095, 1, 500};
constexpr int32_t kVideoGainRange[4] = {0, 1023, 1, 100};

struct MockRecord {
    bool used = false;
    int32_t width = 0;
    int32_t height = 0;
    void* buffer = nullptr; // width * height bytes from VXAlloc: the camera's frame
    int32_t bad_channel = -1;
    int32_t report_channels = -1; // channel count the grab reports; -1: the true one
    int32_t list_length = 0;
    int32_t max_delay = 0;
    int frame = 0;
    bool volatile_mode = false;
    std::vector<std::string> echo_texts;
    std::vector<Vcpar> echo;
    int32_t expose_us = 20000;
    double gain_db = 0; // the open's gain
    Vcpar shutter{};    // integer or "auto"
    Vcpar video_gain{}; // integer or "auto"
};

std::size_t Pixels(const MockRecord& r) { return std::size_t(r.width) * std::size_t(r.height); }

Vcpar IntPar(int32_t value)
{
    Vcpar p{};
    p.type = VPAR_INT;
    p.par.l = value;
    return p;
}

Vcpar RealPar(double value)
{
    Vcpar p{};
    p.type = VPAR_REAL;
    p.par.f = value;
    return p;
}

MockRecord g_records[kRecords];
int32_t g_open_count = 0;
int g_init_calls = 0;
FGClass* g_class = nullptr;
FGInstance g_last_open;

constexpr auto& record = fg::Record<MockRecord>;

FGInstance* g_foreign_slot = nullptr;

FGInstance** alloc_instance(Vproc_handle, FGInstance* fginst)
{
    if (g_open_count >= g_class->max_instances)
        return nullptr;
    if (std::strcmp(fginst->device, "foreign_slot") == 0)
        return &g_foreign_slot;
    return fg::BindFreeRecord(g_records, g_class, fginst,
                              [](const MockRecord& r) { return !r.used; });
}

FGstatus open_instance(Vproc_handle proc_id, FGInstance* fginst)
{
    g_last_open = *fginst;
    MockRecord& r = record(fginst);
    // The widest and tallest image its simulated sensor makes.
    constexpr int32_t kLargest = 8192;
    const bool sized = fginst->image_width > 0 && fginst->image_height > 0;
    if (sized && (fginst->image_width > kLargest || fginst->image_height > kLargest))
        return FG_ERR_RESOLUTION;
    r.width = sized ? fginst->image_width : kWidth;
    r.height = sized ? fginst->image_height : kHeight;
    FGstatus status = VXAlloc(proc_id, Pixels(r), __FILE__, __LINE__, FG_ALLOC_ID, &r.buffer);
    if (status != FG_SUCCESS)
        return status;
    if (std::strcmp(fginst->device, "fail") == 0) {
        VXFree(proc_id, r.buffer, __FILE__, __LINE__, 0);
        r.buffer = nullptr;
        status = FG_ERR_DEVICE;
        return VProcessErr("OpenDevice(fginst->device)", status, __LINE__, __FILE__) == FG_SUCCESS
                   ? status
                   : FG_ERR_OPEN;
    }
    for (std::size_t i = 0; i < Pixels(r); ++i)
        static_cast<uint8_t*>(r.buffer)[i] = uint8_t(100 + i);
    r.used = true;
    r.expose_us = 20000;
    r.gain_db = fginst->gain;
    r.shutter = IntPar(kShutterRange[3]);
    r.video_gain = IntPar(kVideoGainRange[3]);
    r.bad_channel = -1;
    r.report_channels = -1;
    r.list_length = 0;
    r.volatile_mode = false;
    r.frame = 0;
    ++g_open_count;
    fginst->full_width = r.width;
    fginst->full_height = r.height;
    fginst->num_channels = std::strcmp(fginst->color_space, "rgb") == 0 ? 3 : 1;
    if (fginst->bits_per_channel == -1)
        fginst->bits_per_channel = 8;
    if (std::strcmp(fginst->color_space, "default") == 0)
        fg_copy_text(fginst->color_space, sizeof fginst->color_space, "gray");
    fginst->async_grab = 0;
    return FG_SUCCESS;
}

FGstatus close_instance(Vproc_handle proc_id, FGInstance* fginst)
{
    MockRecord& r = record(fginst);
    VXFree(proc_id, r.buffer, __FILE__, __LINE__, 0);
    r = MockRecord{};
    --g_open_count;
    return FG_SUCCESS;
}

// Makes the images in the order every plug-in keeps: save, clear, make, restore.
FGstatus make_images(Vproc_handle proc_id, FGInstance* fginst, VImageRecord* image, int32_t kind)
{
    const MockRecord& r = record(fginst);
    double saved = 0;
    FGstatus status = VAccessGlVar(proc_id, FG_GLOBAL_INIT_NEW_IMAGE, GV_READ_INFO, &saved, 0.0,
                                   nullptr, nullptr, 0);
    if (status != FG_SUCCESS)
        return status;
    status = VAccessGlVar(proc_id, FG_GLOBAL_INIT_NEW_IMAGE, GV_WRITE_INFO, nullptr, 0.0, nullptr,
                          nullptr, 0);
    if (status != FG_SUCCESS)
        return status;
    FGstatus made = FG_SUCCESS;
    for (int32_t i = 0; i < fginst->num_channels && made == FG_SUCCESS; ++i)
        made = VNewImage(proc_id, &image[i], i == r.bad_channel ? 77 : kind, r.width, r.height);
    status = VAccessGlVar(proc_id, FG_GLOBAL_INIT_NEW_IMAGE, GV_WRITE_INFO, nullptr, saved, nullptr,
                          nullptr, 0);
    return made != FG_SUCCESS ? made : status;
}

// Channel c, pixel i of frame f: 10 c + i + f (16-bit planes add 1000).
FGstatus grab(Vproc_handle proc_id, FGInstance* fginst, VImageRecord* image, int32_t* num_image)
{
    MockRecord& r = record(fginst);
    if (r.volatile_mode) {
        const FGstatus status =
            VNewImagePtr(proc_id, &image[0], BYTE_IMAGE, r.width, r.height, r.buffer, 0);
        if (status != FG_SUCCESS)
            return status;
        *num_image = 1;
        return FG_SUCCESS;
    }
    const bool wide = fginst->bits_per_channel > 8;
    const FGstatus status = make_images(proc_id, fginst, image, wide ? UINT2_IMAGE : BYTE_IMAGE);
    if (status != FG_SUCCESS)
        return status;
    const std::size_t pixels = Pixels(r);
    for (int32_t c = 0; c < fginst->num_channels; ++c) {
        if (wide) {
            for (std::size_t i = 0; i < pixels; ++i)
                image[c].pixel.u[i] = uint16_t(1000 + 10 * c + i + r.frame);
            image[c].num_bits = 16;
        } else {
            uint8_t* p = image[c].pixel.b;
            for (std::size_t i = 0; i < pixels; ++i)
                p[i] = uint8_t(10 * c + i + r.frame);
        }
    }
    ++r.frame;
    *num_image = r.report_channels < 0 ? fginst->num_channels : r.report_channels;
    return FG_SUCCESS;
}

FGstatus grab_start_async(Vproc_handle, FGInstance* fginst, double max_delay)
{
    record(fginst).max_delay = int32_t(max_delay + 0.5);
    return FG_SUCCESS;
}

FGstatus grab_async(Vproc_handle proc_id, FGInstance* fginst, double max_delay, VImageRecord* image,
                    int32_t* num_image)
{
    record(fginst).max_delay = int32_t(max_delay + 0.5);
    fginst->async_grab = 1;
    return grab(proc_id, fginst, image, num_image);
}

FGstatus grab_extra(Vproc_handle, FGInstance*, void*) { return FG_ERR_NOT_SUPPORTED; }
FGstatus grab_extra_async(Vproc_handle, FGInstance*, double, void*) { return FG_ERR_NOT_SUPPORTED; }

const char* const kParameters[] = {"bad_channel",     "echo",    "gain", "list", "list_length",
                                   "report_channels", "volatile"};
const char* const kBoards[] = {"mock board 0", "mock board 1"};

FGstatus info(Vproc_handle proc_id, int32_t query, const char** text, Vcpar** values,
              int32_t* numValues)
{
    switch (query) {
    case FG_INFO_GENERAL:
        *text = "VFGMockCam - simulated camera for the host tests.";
        *values = nullptr;
        *numValues = 0;
        return FG_SUCCESS;
    case FG_INFO_DEFAULTS:
        *text = FG_INFO_DEFAULTS_TEXT;
        return VFgGetDefaults(proc_id, g_class, values, numValues);
    case FG_INFO_PARAMETERS:
        *text = "Additional parameters for this frame grabber.";
        return fg_info_strings(proc_id, kParameters, 7, values, numValues, __FILE__, __LINE__);
    case FG_INFO_BOARDS:
        *text = "Simulated boards.";
        return fg_info_strings(proc_id, kBoards, 2, values, numValues, __FILE__, __LINE__);
    }
    return fg_info_unsupported(text, values, numValues);
}

// The camera parameters: "Camera/Expose_us" (integer), "Camera/Gain_dB"
// (real or integer), "shutter" and "video_gain" (integer or "auto").
FGstatus set_camera_param(MockRecord& r, const char* name, const Vcpar& value)
{
    const bool number = value.type == VPAR_INT || value.type == VPAR_REAL;
    const bool automatic = value.type == VPAR_STRING && std::strcmp(value.par.s, "auto") == 0;
    if (std::strcmp(name, "Camera/Expose_us") == 0) {
        if (value.type != VPAR_INT)
            return FG_ERR_PARAM_TYPE;
        r.expose_us = value.par.l;
    } else if (std::strcmp(name, "Camera/Gain_dB") == 0) {
        if (!number)
            return FG_ERR_PARAM_TYPE;
        r.gain_db = value.type == VPAR_INT ? value.par.l : value.par.f;
    } else {
        Vcpar* target = std::strcmp(name, "shutter") == 0      ? &r.shutter
                        : std::strcmp(name, "video_gain") == 0 ? &r.video_gain
                                                               : nullptr;
        if (!target)
            return FG_ERR_PARAM_UNKNOWN;
        if (value.type != VPAR_INT && !automatic)
            return FG_ERR_PARAM_TYPE;
        *target = automatic ? value : IntPar(value.par.l);
        if (automatic)
            target->par.s = "auto";
    }
    return FG_SUCCESS;
}

// The answer to a camera parameter, or false for another name.
bool get_camera_param(const MockRecord& r, const char* name, std::vector<Vcpar>* answer)
{
    const int32_t* range = std::strcmp(name, "shutter_range") == 0      ? kShutterRange
                           : std::strcmp(name, "video_gain_range") == 0 ? kVideoGainRange
                                                                        : nullptr;
    if (range)
        *answer = {IntPar(range[0]), IntPar(range[1]), IntPar(range[2]), IntPar(range[3])};
    else if (std::strcmp(name, "Camera/Expose_us") == 0)
        *answer = {IntPar(r.expose_us)};
    else if (std::strcmp(name, "Camera/Gain_dB") == 0)
        *answer = {RealPar(r.gain_db)};
    else if (std::strcmp(name, "shutter") == 0)
        *answer = {r.shutter};
    else if (std::strcmp(name, "video_gain") == 0)
        *answer = {r.video_gain};
    else
        return false;
    return true;
}

FGstatus set_param(Vproc_handle, FGInstance* fginst, const char* name, const Vcpar* values,
                   int32_t num)
{
    MockRecord& r = record(fginst);
    if (std::strcmp(name, "echo") == 0) {
        r.echo_texts.clear();
        r.echo.assign(values, values + num);
        for (int32_t i = 0; i < num; ++i)
            if (values[i].type == VPAR_STRING)
                r.echo_texts.emplace_back(values[i].par.s);
        std::size_t next = 0;
        for (Vcpar& v : r.echo)
            if (v.type == VPAR_STRING)
                v.par.s = r.echo_texts[next++].c_str();
        return FG_SUCCESS;
    }
    if (num != 1)
        return FG_ERR_PARAM_VALUE;
    if (const FGstatus camera = set_camera_param(r, name, values[0]);
        camera != FG_ERR_PARAM_UNKNOWN)
        return camera;
    if (std::strcmp(name, "volatile") == 0) {
        if (values[0].type != VPAR_STRING)
            return FG_ERR_PARAM_TYPE;
        r.volatile_mode = std::strcmp(values[0].par.s, "enable") == 0;
        return FG_SUCCESS;
    }
    int32_t* target = std::strcmp(name, "bad_channel") == 0       ? &r.bad_channel
                      : std::strcmp(name, "list_length") == 0     ? &r.list_length
                      : std::strcmp(name, "report_channels") == 0 ? &r.report_channels
                                                                  : nullptr;
    if (!target)
        return FG_ERR_PARAM_UNKNOWN;
    if (values[0].type != VPAR_INT)
        return FG_ERR_PARAM_TYPE;
    *target = values[0].par.l;
    return FG_SUCCESS;
}

FGstatus get_param(Vproc_handle, FGInstance* fginst, const char* name, Vcpar* values, int32_t* num)
{
    const MockRecord& r = record(fginst);
    if (std::vector<Vcpar> camera; get_camera_param(r, name, &camera)) {
        if (int32_t(camera.size()) > *num) {
            *num = int32_t(camera.size());
            return FG_ERR_PARAM_VALUE;
        }
        std::copy(camera.begin(), camera.end(), values);
        *num = int32_t(camera.size());
        return FG_SUCCESS;
    }
    if (std::strcmp(name, "gain") == 0) {
        if (*num < 1)
            return FG_ERR_PARAM_VALUE;
        values[0].type = VPAR_REAL;
        values[0].par.f = fginst->gain;
        *num = 1;
        return FG_SUCCESS;
    }
    const bool list = std::strcmp(name, "list") == 0;
    if (!list && std::strcmp(name, "echo") != 0)
        return FG_ERR_PARAM_UNKNOWN;
    const int32_t needed = list ? r.list_length : int32_t(r.echo.size());
    if (needed > *num) {
        *num = needed;
        return FG_ERR_PARAM_VALUE;
    }
    for (int32_t i = 0; i < needed; ++i) {
        if (list) {
            values[i].type = VPAR_INT;
            values[i].par.l = i;
        } else {
            values[i] = r.echo[i];
        }
    }
    *num = needed;
    return FG_SUCCESS;
}

} // namespace

FG_EXPORT FGstatus FGInit(Vproc_handle, FGClass* fgClass)
{
    ++g_init_calls;
    for (MockRecord& r : g_records)
        r = MockRecord{};
    g_open_count = 0;
    g_class = fgClass;
    fg_class_defaults(fgClass, kMaxInstances);
    fgClass->FGAllocInstance = alloc_instance;
    fgClass->FGOpen = open_instance;
    fgClass->FGClose = close_instance;
    fgClass->FGGrab = grab;
    fgClass->FGGrabStartAsync = grab_start_async;
    fgClass->FGGrabAsync = grab_async;
    fgClass->FGGrabExtra = grab_extra;
    fgClass->FGGrabExtraAsync = grab_extra_async;
    fgClass->FGInfo = info;
    fgClass->FGSetParam = set_param;
    fgClass->FGGetParam = get_param;
    fgClass->FGSetLut = nullptr;
    fgClass->FGGetLut = nullptr;
    fgClass->field = FG_FIELD_INTERLACED;
    fgClass->bits_per_channel = 8;
    fg_copy_text(fgClass->color_space, sizeof fgClass->color_space, "gray");
    fg_copy_text(fgClass->camera_type, sizeof fgClass->camera_type, "mock*");
    fg_copy_text(fgClass->device, sizeof fgClass->device, "0");
    fgClass->port = 0;
    fgClass->line_in = 0;
    return FG_SUCCESS;
}

// ---- What the tests inspect --------------------------------------------

FG_EXPORT FGClass* MockClass() { return g_class; }
FG_EXPORT int MockInitCalls() { return g_init_calls; }
FG_EXPORT int32_t MockOpenCount() { return g_open_count; }
FG_EXPORT const FGInstance* MockLastOpen() { return &g_last_open; }
FG_EXPORT int32_t MockMaxDelay(const FGInstance* fginst)
{
    return static_cast<const MockRecord*>(fginst->plugin_instance)->max_delay;
}
FG_EXPORT uint8_t* MockFrameBuffer(const FGInstance* fginst)
{
    return static_cast<uint8_t*>(static_cast<const MockRecord*>(fginst->plugin_instance)->buffer);
}
