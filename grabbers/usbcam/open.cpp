#include "open.h"

#include <strings.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <new>
#include <utility>

#include "wrapped.h"
#include <fgint/channels.h>

namespace usbcam {

using kdTORVANE::acquire::CameraSettingAccess;
using kdTORVANE::acquire::DeviceEntry;
using kdTORVANE::acquire::PropertyAccess;

namespace {

// Cameras are searched by product pattern and DeviceID, '*' matching any run.
constexpr int32_t kSearchMode = KD_SEARCH_PRODUCT | KD_SEARCH_DEVICE_ID | KD_SEARCH_WILDCARD;
constexpr char kWildcard = '*';
constexpr int32_t kGrabTimeout = 5000;

// The device text as a camera number: a decimal number that fits the record's name.
bool DeviceNumber(const char* device, int32_t* number)
{
    const size_t length = strnlen(device, FG_TEXT_LEN);
    if (length == 0 || length >= kDeviceNameLength)
        return false;
    const auto [end, error] = std::from_chars(device, device + length, *number);
    return error == std::errc() && end == device + length;
}

// The sub-sampling that `resolution` asks of `full` pixels: 1, 2 or 4; 0 for none of them.
int32_t Factor(int32_t resolution, int32_t full)
{
    int32_t factor = resolution;
    if (factor == full)
        factor = 1;
    if (factor == full / 2)
        factor = 2;
    if (factor == full / 4)
        factor = 4;
    return factor == 1 || factor == 2 || factor == 4 ? factor : 0;
}

int32_t SubsamplingCode(int32_t h, int32_t v)
{
    if (h != v)
        return 3;
    return h == 1 ? 0 : h == 2 ? 1 : 2;
}

FGstatus AllocPair(Vproc_handle proc_id, size_t size, void* (&pair)[2])
{
    for (void*& buffer : pair) {
        const FGstatus status = VXAlloc(proc_id, size, kSourceFile, __LINE__, FG_ALLOC_ID, &buffer);
        if (status != FG_SUCCESS)
            return status;
    }
    return FG_SUCCESS;
}

// Frees both buffers, each a wrapped call under `text`; the first failure.
FGstatus FreePair(Vproc_handle proc_id, void* (&pair)[2], const char* text, int32_t line)
{
    FGstatus first = FG_SUCCESS;
    for (void*& buffer : pair) {
        const FGstatus status =
            Wrapped(text, line, [&] { return VXFree(proc_id, buffer, kSourceFile, line, 0); });
        buffer = nullptr;
        if (first == FG_SUCCESS)
            first = status;
    }
    return first;
}

// The camera, its session and its record end with the last instance.
FGstatus EndBoard(Vproc_handle proc_id, AcquireInstance& r)
{
    BoardInfo* board = std::exchange(r.board, nullptr);
    board->device.reset();
    board->session.reset();
    board->~BoardInfo();
    return Wrapped(call::kFreeBoard, __LINE__,
                   [&] { return VXFree(proc_id, board, kSourceFile, __LINE__, 0); });
}

// Undoes a failed open and returns `status`.
FGstatus FreeInstance(Vproc_handle proc_id, AcquireInstance& r, FGstatus status)
{
    BoardInfo& board = *r.board;
    if (!r.own_buffers && board.buffer_users == 0) {
        FreePair(proc_id, board.BoardFrameBuffer, call::kFreeBoardBuffer, __LINE__);
        board.buffer_size = 0;
    }
    if (r.own_buffers)
        FreePair(proc_id, r.InstFrameBuffer, call::kFreeInstanceBuffer, __LINE__);
    r.own_buffers = false;
    r.InstFrameBuffer[0] = r.InstFrameBuffer[1] = nullptr;
    if (r.settings)
        board.device->GiveSettingBack(std::exchange(r.settings, nullptr));
    if (board.instances == 0)
        EndBoard(proc_id, r);
    r.board = nullptr;
    return status;
}

FGstatus OpenCamera(BoardInfo& board, const char* camera_type, int32_t number)
{
    board.session = std::make_unique<DeviceManagerSession>();
    board.session->RefreshDeviceList();
    if (board.session->DeviceCount() == 0)
        return FG_ERR_DEVICE;
    DeviceEntry* entry = board.session->DeviceByFamily(kSearchMode, camera_type, number, kWildcard);
    if (!entry)
        return FG_ERR_OPEN;
    board.device = std::make_unique<DeviceAccess>(*board.session, *entry);
    return FG_SUCCESS;
}

// The image part, checked against the sub-sampled size before any of it is
// written to the setting's "Aoi", with the sub-sampling as the camera's binning.
FGstatus ApplyPart(FGInstance* fginst, const CameraSettingAccess& camera, int32_t h, int32_t v)
{
    const int64_t full_width = fginst->horizontal_resolution;
    const int64_t full_height = fginst->vertical_resolution;
    const int64_t column = fginst->start_column, row = fginst->start_row;
    const int64_t width = fginst->image_width ? fginst->image_width : full_width - 2 * column;
    const int64_t height = fginst->image_height ? fginst->image_height : full_height - 2 * row;
    if (column < 0 || row < 0 || width <= 0 || height <= 0 || column + width > full_width ||
        row + height > full_height)
        return FG_ERR_IMAGE_PART;
    fginst->image_width = int32_t(width);
    fginst->image_height = int32_t(height);
    camera.Property("Aoi/W").WriteInt(int32_t(width));
    camera.Property("Aoi/H").WriteInt(int32_t(height));
    camera.Property("Aoi/X").WriteInt(int32_t(column));
    camera.Property("Aoi/Y").WriteInt(int32_t(row));
    camera.Property("BinningMode").WriteInt(16 * v + h);
    return FG_SUCCESS;
}

// The instance shares the camera's two buffers when they have its size, and
// has two of its own otherwise. Buffer presence is read from the pointers.
FGstatus AllocBuffers(Vproc_handle proc_id, FGInstance* fginst, AcquireInstance& r)
{
    BoardInfo& board = *r.board;
    const size_t size = BufferSize(fginst);
    if (!board.BoardFrameBuffer[0]) {
        board.buffer_size = int32_t(size);
        const FGstatus status = AllocPair(proc_id, size, board.BoardFrameBuffer);
        if (status != FG_SUCCESS)
            return status;
    }
    if (size_t(board.buffer_size) == size) {
        r.InstFrameBuffer[0] = board.BoardFrameBuffer[0];
        r.InstFrameBuffer[1] = board.BoardFrameBuffer[1];
        ++board.buffer_users;
        return FG_SUCCESS;
    }
    r.own_buffers = true;
    return AllocPair(proc_id, size, r.InstFrameBuffer);
}

// Setting, sensor, sub-sampling, part and buffers of an instance whose camera is open.
FGstatus SetUp(Vproc_handle proc_id, FGInstance* fginst, AcquireInstance& r)
{
    DeviceAccess& device = *r.board->device;
    r.settings = device.TakeSetting();
    SetRequestQueueDepth(r, 1);
    SetInstParam(fginst);
    const CameraSettingAccess& camera = r.settings->camera;
    const PropertyAccess gain = camera.Property("Gain_dB");
    gain.WriteReal(std::min(gain.ReadReal(-1), double(fginst->gain)));
    fginst->full_width = device.info().SensorXRes.ReadInt();
    fginst->full_height = device.info().SensorYRes.ReadInt();
    const int32_t h = Factor(fginst->horizontal_resolution, fginst->full_width);
    const int32_t v = Factor(fginst->vertical_resolution, fginst->full_height);
    if (!h || !v)
        return FG_ERR_RESOLUTION;
    fginst->horizontal_resolution = fginst->full_width / h;
    fginst->vertical_resolution = fginst->full_height / v;
    fginst->subsampling = SubsamplingCode(h, v);
    const FGstatus part = ApplyPart(fginst, camera, h, v);
    return part != FG_SUCCESS ? part : AllocBuffers(proc_id, fginst, r);
}

// The open parameters checked before any camera is touched.
FGstatus CheckParameters(FGInstance* fginst, int32_t* number)
{
    if (fginst->port != 0)
        return FG_ERR_PORT;
    if (strcasecmp(fginst->color_space, "default") == 0)
        fg_copy_text(fginst->color_space, sizeof fginst->color_space, "rgb");
    if (const FGstatus status = fg::SetChannelsOfColourSpace(fginst); status != FG_SUCCESS)
        return status;
    if (!(fginst->gain >= 0))
        return FG_ERR_GAIN;
    if (fginst->bits_per_channel == -1)
        fginst->bits_per_channel = 8;
    if (fginst->bits_per_channel < 1 || fginst->bits_per_channel > 16)
        return FG_ERR_BITS_PER_CHANNEL;
    return DeviceNumber(fginst->device, number) ? FG_SUCCESS : FG_ERR_DEVICE;
}

} // namespace

void SetRequestQueueDepth(AcquireInstance& r, int32_t depth)
{
    r.request_pending = false;
    for (AcquireInstance* other : OthersOnBoard(r))
        other->request_pending = false;
    r.board->device->SetRequestQueueDepth(depth);
}

FGstatus Open(Vproc_handle proc_id, FGInstance* fginst)
{
    AcquireInstance& r = Record(fginst);
    fginst->async_grab = 0;
    r.request_pending = r.own_buffers = r.volatile_mode = false;
    r.settings = nullptr;
    r.InstFrameBuffer[0] = r.InstFrameBuffer[1] = nullptr;
    r.grab_timeout = kGrabTimeout;
    int32_t number = 0;
    const FGstatus checked = CheckParameters(fginst, &number);
    if (checked != FG_SUCCESS)
        return checked;

    for (const AcquireInstance& other : ThePlugin().instances)
        if (other.board && strcasecmp(other.board->name, fginst->device) == 0) {
            r.board = other.board;
            break;
        }
    if (r.board) {
        const FGstatus cancelled = Guarded(FG_ERR_OPEN, [&]() -> FGstatus {
            CancelOthers(r);
            return FG_SUCCESS;
        });
        if (cancelled != FG_SUCCESS)
            return FreeInstance(proc_id, r, cancelled);
    } else {
        void* memory = nullptr;
        const FGstatus allocated = Wrapped(call::kAllocBoard, __LINE__, [&] {
            return VXAlloc(proc_id, sizeof(BoardInfo), kSourceFile, __LINE__, FG_ALLOC_ID, &memory);
        });
        if (allocated != FG_SUCCESS)
            return allocated;
        r.board = new (memory) BoardInfo;
        fg_copy_text(r.board->name, sizeof r.board->name, fginst->device);
        const FGstatus found = Guarded(FG_ERR_OPEN, [&]() -> FGstatus {
            return OpenCamera(*r.board, fginst->camera_type, number);
        });
        if (found != FG_SUCCESS)
            return FreeInstance(proc_id, r, found);
    }
    const FGstatus status =
        Guarded(FG_ERR_OPEN, [&]() -> FGstatus { return SetUp(proc_id, fginst, r); });
    if (status != FG_SUCCESS)
        return FreeInstance(proc_id, r, status);
    ++ThePlugin().open_count;
    ++r.board->instances;
    return FG_SUCCESS;
}

FGstatus Close(Vproc_handle proc_id, FGInstance* fginst)
{
    AcquireInstance& r = Record(fginst);
    if (!r.board)
        return FG_SUCCESS;
    BoardInfo& board = *r.board;
    FGstatus status = FG_SUCCESS;
    const auto keep_first = [&](FGstatus s) {
        if (status == FG_SUCCESS)
            status = s;
    };
    // Requests made with this instance's setting must not reach another instance.
    if (std::exchange(r.request_pending, false) && board.instances > 1)
        keep_first(Guarded(FG_ERR_GRAB, [&]() -> FGstatus {
            board.device->requests().ResetQueue();
            return FG_SUCCESS;
        }));
    if (r.own_buffers) {
        keep_first(FreePair(proc_id, r.InstFrameBuffer, call::kFreeInstanceBuffer, __LINE__));
    } else {
        if (board.buffer_users == 1) {
            keep_first(FreePair(proc_id, board.BoardFrameBuffer, call::kFreeBoardBuffer, __LINE__));
            board.buffer_size = 0;
        }
        --board.buffer_users;
    }
    r.InstFrameBuffer[0] = r.InstFrameBuffer[1] = nullptr;
    r.own_buffers = r.volatile_mode = false;
    if (board.instances > 1) {
        --board.instances;
        if (!board.device->GiveSettingBack(r.settings))
            std::fputs("Error while releasing instance data\n", stderr);
        r.settings = nullptr;
        const std::vector<AcquireInstance*> others = OthersOnBoard(r);
        if (board.instances == 1 && others.size() == 1) {
            FGInstance* other = fginst->fgclass->instance[others.front()->slot];
            keep_first(Wrapped(call::kSelectOther, __LINE__, [&] {
                return Guarded(FG_ERR_SET_FAILED,
                               [&]() -> FGstatus { return SetInstParam(other); });
            }));
        }
        r.board = nullptr;
    } else {
        r.settings = nullptr;
        keep_first(EndBoard(proc_id, r));
    }
    --ThePlugin().open_count;
    return status;
}

} // namespace usbcam
