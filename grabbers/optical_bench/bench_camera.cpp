// The optical bench's camera on the host interface: each grab renders, at the
// camera's size, what the scene of the bench shows at that moment (one grey
// channel of 8 bits). The size is the open's image part, else 640 x 480, and
// "ImageWidth" and "ImageHeight" change it as the workbench asks. Frames come
// at 25 a second, as the cameras it stands for deliver them.
#include <chrono>
#include <cstring>
#include <mutex>
#include <utility>

#include <clock/frame_pacer.h>

#include <fgint/class_record.h>
#include <fgint/fghelpers.h>
#include <fgint/info_table.h>
#include <fgint/instance_record.h>
#include <fgint/values.h>
#include <optical_bench/scene.h>

namespace {

constexpr int32_t kMaxInstances = 4;
constexpr int32_t kDefaultWidth = 640;
constexpr int32_t kDefaultHeight = 480;
constexpr int32_t kLargestSide = 4096;
constexpr auto kFramePeriod = std::chrono::milliseconds(40);

struct Camera {
    bool used = false;
    int32_t width = 0;
    int32_t height = 0;
    ondula::FramePacer pacer{ondula::SteadyClock(), kFramePeriod};
};

Camera g_cameras[kMaxInstances];
// Guards which records are handed out: handles open and close on any thread.
std::mutex g_records_lock;
FGClass* g_class = nullptr;

constexpr auto& CameraOf = fg::Record<Camera>;

FGInstance** AllocInstance(Vproc_handle, FGInstance* fginst)
{
    std::lock_guard guard(g_records_lock);
    return fg::BindFreeRecord(g_cameras, g_class, fginst,
                              [](Camera& camera) { return !std::exchange(camera.used, true); });
}

// Gives the record of `fginst` back, to be handed out again.
void Release(FGInstance* fginst)
{
    std::lock_guard guard(g_records_lock);
    CameraOf(fginst) = Camera{};
}

bool IsSide(int32_t value) { return value > 0 && value <= kLargestSide; }

FGstatus Open(Vproc_handle, FGInstance* fginst)
{
    const bool gray = std::strcmp(fginst->color_space, "default") == 0 ||
                      std::strcmp(fginst->color_space, "gray") == 0;
    const bool bits = fginst->bits_per_channel == -1 || fginst->bits_per_channel == 8;
    if (!bits || !gray) {
        Release(fginst);
        return bits ? FG_ERR_COLOR_SPACE : FG_ERR_BITS_PER_CHANNEL;
    }
    const bool sized = IsSide(fginst->image_width) && IsSide(fginst->image_height);
    Camera& camera = CameraOf(fginst);
    camera.width = sized ? fginst->image_width : kDefaultWidth;
    camera.height = sized ? fginst->image_height : kDefaultHeight;
    fginst->full_width = camera.width;
    fginst->full_height = camera.height;
    fginst->num_channels = 1;
    fginst->bits_per_channel = 8;
    fg_copy_text(fginst->color_space, sizeof fginst->color_space, "gray");
    fginst->async_grab = 0;
    return FG_SUCCESS;
}

FGstatus Close(Vproc_handle, FGInstance* fginst)
{
    Release(fginst);
    return FG_SUCCESS;
}

FGstatus Grab(Vproc_handle proc_id, FGInstance* fginst, VImageRecord* image, int32_t* num_image)
{
    Camera& camera = CameraOf(fginst);
    camera.pacer.WaitForFrame();
    const FGstatus status =
        fg_make_images(proc_id, image, 1, BYTE_IMAGE, camera.width, camera.height);
    if (status != FG_SUCCESS)
        return status;
    optical_bench::RenderScene(image[0].pixel.b, camera.width, camera.height);
    *num_image = 1;
    return FG_SUCCESS;
}

FGstatus GrabStartAsync(Vproc_handle, FGInstance*, double) { return FG_SUCCESS; }

FGstatus GrabAsync(Vproc_handle proc_id, FGInstance* fginst, double, VImageRecord* image,
                   int32_t* num_image)
{
    return Grab(proc_id, fginst, image, num_image);
}

const char* const kParameters[] = {"ImageWidth", "ImageHeight"};
const char* const kBoards[] = {"optical bench camera"};

const fg::InfoTable kInfo{
    .file = __FILE__,
    .line = __LINE__,
    .general = {.text = "VFGKandrisAcquire - the optical bench's camera."},
    .parameters = {.text = "Additional parameters for this frame grabber.", .strings = kParameters},
    .boards = {.text = "The optical bench.", .strings = kBoards},
};

// The side that parameter `name` sets, or null.
int32_t* SideOf(Camera& camera, const char* name)
{
    return std::strcmp(name, "ImageWidth") == 0    ? &camera.width
           : std::strcmp(name, "ImageHeight") == 0 ? &camera.height
                                                   : nullptr;
}

FGstatus SetParam(Vproc_handle, FGInstance* fginst, const char* name, const Vcpar* values,
                  int32_t num)
{
    Camera& camera = CameraOf(fginst);
    int32_t* side = SideOf(camera, name);
    if (!side)
        return FG_ERR_PARAM_UNKNOWN;
    if (num != 1)
        return FG_ERR_PARAM_VALUE;
    const FGstatus status = fg::IntegerIn(values, 1, kLargestSide, side);
    if (status != FG_SUCCESS)
        return status;
    fginst->full_width = camera.width;
    fginst->full_height = camera.height;
    return FG_SUCCESS;
}

FGstatus GetParam(Vproc_handle, FGInstance* fginst, const char* name, Vcpar* values, int32_t* num)
{
    const int32_t* side = SideOf(CameraOf(fginst), name);
    if (!side)
        return FG_ERR_PARAM_UNKNOWN;
    if (*num < 1) {
        *num = 1;
        return FG_ERR_PARAM_VALUE;
    }
    values[0] = fg::Int(*side);
    *num = 1;
    return FG_SUCCESS;
}

const fg::ClassRecord kClass{
    .instances = {AllocInstance, Open, Close},
    .grabs = {Grab, GrabStartAsync, GrabAsync},
    .extra_grabs = {fg::GrabExtraUnsupported, fg::GrabExtraAsyncUnsupported},
    .parameters = {fg::InfoFrom<kInfo, g_class>, SetParam, GetParam},
    .image = {.field = FG_FIELD_PROGRESSIVE, .bits_per_channel = 8, .color_space = "gray"},
    .source = {.camera_type = "kdLyra*", .device = "0", .port = 0, .line_in = -1},
};

} // namespace

FG_EXPORT FGstatus FGInit(Vproc_handle, FGClass* fgClass)
{
    for (Camera& camera : g_cameras)
        camera = Camera{};
    g_class = fgClass;
    fg::FillClass(fgClass, kMaxInstances, kClass);
    return FG_SUCCESS;
}
