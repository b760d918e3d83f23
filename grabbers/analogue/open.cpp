#include "open.h"

#include <strings.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>

#include "board_access.h"
#include "device.h"
#include "grab.h"
#include <fgint/channels.h>
#include <fgint/fghelpers.h>

namespace zephon {

namespace {

constexpr int32_t kAppControlItem = 0x40000000;
constexpr int32_t kGrabModeAtOpen = 2;
// The attribute of a grab buffer of one band, and of a colour one.
constexpr struct {
    int32_t mono, colour;
} kBufferAttribute{28, 2076};
// The smallest frame the grab buffers hold: a smaller one is raised to it.
constexpr struct {
    int32_t width, height;
} kMinimumSize{512, 480};

int32_t GrabEndHook(int32_t, DvlId, void* user_data)
{
    auto& r = *static_cast<ZephonInstance*>(user_data);
    std::lock_guard guard(r.lock);
    r.grab_end_event.Set();
    return 0;
}

void HardwareException(const DvlHardwareException& e)
{
    char text[96];
    std::snprintf(text, sizeof text, "Exception %x during framegrabber initialization",
                  unsigned(e.code()));
    LowError(text);
}

constexpr int32_t kUnusedItems[] = {1008, 1010, 1014, 4011};

int32_t Inquire(DvlId digitizer, int32_t item)
{
    int32_t value = 0;
    DvlDigInquire(digitizer, item, &value);
    return value;
}

// An item of the format the grabs copy by; false, reported, when the digitizer refuses it.
bool InquireFormat(DvlId digitizer, int32_t item, int32_t* value)
{
    *value = Inquire(digitizer, item);
    return LibraryOk();
}

// The board `r` takes: a shareable one of another record with the same
// device, or none; FG_ERR_DEVICE_BUSY for one that cannot be shared.
FGstatus FindSharedBoard(ZephonInstance& r, const char* device, std::span<ZephonInstance> all,
                         ZephonBoard** board)
{
    *board = nullptr;
    for (ZephonInstance& other : all) {
        if (&other == &r || !other.board || strcasecmp(other.board->device, device) != 0)
            continue;
        if (!Shareable(other.board->board_type))
            return FG_ERR_DEVICE_BUSY;
        *board = other.board;
    }
    return FG_SUCCESS;
}

// A board record for `device` with its system; FG_ERR_OPEN when the system
// cannot be allocated.
FGstatus NewBoard(Vproc_handle proc_id, const char* device, const DeviceAddress& address,
                  ZephonBoard** result)
{
    void* memory = nullptr;
    const FGstatus status =
        VXAlloc(proc_id, sizeof(ZephonBoard), kSourceFile, __LINE__, FG_ALLOC_ID, &memory);
    if (status != FG_SUCCESS)
        return status;
    auto* board = new (memory) ZephonBoard;
    fg_copy_text(board->device, sizeof board->device, device);
    board->application = TakeApplication();
    *result = board;
    DvlSysAlloc(address.descriptor, address.number, DVL_DEFAULT, &board->system);
    if (!LibraryOk() || board->system == 0)
        return FG_ERR_OPEN;
    DvlAppControl(kAppControlItem, 0);
    DvlSysInquire(board->system, DVL_SYS_BOARD_TYPE, &board->board_type);
    return FG_SUCCESS;
}

void FreeBoard(Vproc_handle proc_id, ZephonBoard* board)
{
    if (board->system)
        DvlSysFree(board->system);
    if (board->application)
        ReleaseApplication();
    board->~ZephonBoard();
    VXFree(proc_id, board, kSourceFile, __LINE__, 0);
}

// Everything of `r` but its board; FG_ERR_DEVICE_CALL when a buffer cannot be freed.
FGstatus ReleaseDigitizer(Vproc_handle proc_id, ZephonInstance& r)
{
    FGstatus status = FG_SUCCESS;
    if (r.digitizer)
        DvlDigHookFunction(r.digitizer, DVL_UNHOOK, GrabEndHook, &r);
    r.grab_end_event.Reset();
    for (DvlId& buffer : r.grab_buffers) {
        if (buffer) {
            DvlBufFree(buffer);
            if (!LibraryOk() && status == FG_SUCCESS)
                status = FG_ERR_DEVICE_CALL;
        }
        buffer = 0;
    }
    if (r.digitizer)
        DvlDigFree(r.digitizer);
    r.digitizer = 0;
    VXFree(proc_id, r.grey_buffer, kSourceFile, __LINE__, 0);
    r.grey_buffer = nullptr;
    return status;
}

// Lets go of the board: the last user frees it.
void LeaveBoard(Vproc_handle proc_id, ZephonInstance& r)
{
    if (r.board->reference_count > 1)
        --r.board->reference_count;
    else
        FreeBoard(proc_id, r.board);
    r.board = nullptr;
}

FGstatus AllocateDigitizer(ZephonInstance& r, FGInstance* fginst)
{
    int32_t number = DVL_DEFAULT;
    if (r.board->board_type == kTypeCameraLink) {
        if (fginst->port < -1 || fginst->port > 15)
            return FG_ERR_PORT;
        fginst->port = std::max(fginst->port, 0);
        number = fginst->port;
    }
    try {
        DvlDigAlloc(r.board->system, number, fginst->camera_type, DVL_DEFAULT, &r.digitizer);
        if (!LibraryOk() || r.digitizer == 0)
            return FG_ERR_OPEN;
        DvlDigHookFunction(r.digitizer, DVL_GRAB_END, GrabEndHook, &r);
        if (!LibraryOk())
            return FG_ERR_OPEN;
        DvlDigControl(r.digitizer, DVL_DIG_GRAB_MODE, kGrabModeAtOpen);
        return LibraryOk() ? FG_SUCCESS : FG_ERR_OPEN;
    } catch (const DvlHardwareException& e) {
        HardwareException(e);
        return FG_ERR_OPEN;
    }
}

// Channel, trigger and time-out of the digitizer.
FGstatus Configure(ZephonInstance& r, FGInstance* fginst)
{
    if (r.board->board_type != kTypeCameraLink) {
        if (!ChannelOfPort(fginst->port, &r.channel))
            return FG_ERR_PORT;
        DvlDigChannel(r.digitizer, r.channel);
        if (!LibraryOk())
            return FG_ERR_OPEN;
    }
    DvlDigControl(r.digitizer, DVL_DIG_GRAB_TRIGGER,
                  fginst->external_trigger ? DVL_TRIGGER_ENABLE : DVL_TRIGGER_DISABLE);
    if (!LibraryOk())
        return fginst->external_trigger ? FG_ERR_MODE : FG_ERR_OPEN;
    DvlDigControl(r.digitizer, DVL_DIG_GRAB_TIMEOUT, r.grab_timeout);
    return LibraryOk() ? FG_SUCCESS : FG_ERR_OPEN;
}

// Reads the digitizer's format and writes what the grabs deliver back.
FGstatus Describe(ZephonInstance& r, FGInstance* fginst)
{
    r.trigger_signal = Inquire(r.digitizer, DVL_DIG_TRIGGER_SIGNAL);
    r.trigger_source = Inquire(r.digitizer, DVL_DIG_TRIGGER_SOURCE);
    if (!InquireFormat(r.digitizer, DVL_DIG_SIZE_X, &fginst->full_width) ||
        !InquireFormat(r.digitizer, DVL_DIG_SIZE_Y, &fginst->full_height) ||
        !InquireFormat(r.digitizer, DVL_DIG_SIZE_BIT, &r.digitizer_bits))
        return FG_ERR_OPEN;
    // Read as the library expects them read, though nothing here uses their
    // values: a refusal is reported and the open goes on.
    for (int32_t item : kUnusedItems) {
        Inquire(r.digitizer, item);
        LibraryOk();
    }
    if (!InquireFormat(r.digitizer, DVL_DIG_SIZE_BAND, &r.digitizer_bands))
        return FG_ERR_OPEN;
    if (r.digitizer_bits > 8 && r.digitizer_bands > 1)
        return FG_ERR_BITS_PER_CHANNEL;
    fginst->horizontal_resolution = fginst->image_width = fginst->full_width;
    fginst->vertical_resolution = fginst->image_height = fginst->full_height;
    fginst->start_row = fginst->start_column = 0;
    fginst->field = FG_FIELD_INTERLACED;
    fginst->bits_per_channel = std::max(r.digitizer_bits, 8);
    return fginst->bits_per_channel > 16 ? FG_ERR_BITS_PER_CHANNEL : FG_SUCCESS;
}

FGstatus AllocateBuffers(Vproc_handle proc_id, ZephonInstance& r, FGInstance* fginst)
{
    int32_t width = Inquire(r.digitizer, DVL_DIG_SIZE_X);
    int32_t height = Inquire(r.digitizer, DVL_DIG_SIZE_Y);
    if (width < kMinimumSize.width || height < kMinimumSize.height) {
        r.size_raised = true;
        width = std::max(width, kMinimumSize.width);
        height = std::max(height, kMinimumSize.height);
    }
    const int32_t bands = std::max(Inquire(r.digitizer, DVL_DIG_SIZE_BAND), 1);
    const int32_t bits = fginst->bits_per_channel <= 8 ? 8 : 16;
    const int32_t attribute = bands == 1 ? kBufferAttribute.mono : kBufferAttribute.colour;
    for (DvlId& buffer : r.grab_buffers) {
        DvlBufAllocColor(r.board->system, bands, width, height, bits, attribute, &buffer);
        if (!LibraryOk() || buffer == 0)
            return FG_ERR_NO_MEMORY;
    }
    r.buffer_index = 0;
    if (bands > 1 && std::strcmp(fginst->color_space, "gray") == 0)
        return VXAlloc(proc_id, std::size_t(fginst->image_width) * fginst->image_height * 3,
                       kSourceFile, __LINE__, FG_ALLOC_ID, &r.grey_buffer);
    return FG_SUCCESS;
}

FGstatus ReadColourSpace(FGInstance* fginst)
{
    if (std::strcmp(fginst->color_space, "default") == 0)
        fg_copy_text(fginst->color_space, sizeof fginst->color_space, "gray");
    return fg::SetChannelsOfColourSpace(fginst);
}

void ResetRecord(ZephonInstance& r, FGInstance* fginst)
{
    fginst->async_grab = 0;
    r.fginst = fginst;
    r.grab_running = false;
    r.buffer_index = 0;
    r.grey_buffer = nullptr;
    r.size_raised = false;
    r.digitizer = 0;
    r.grab_buffers = {};
    r.grab_timeout = kDefaultGrabTimeout;
    r.trigger_signal = r.trigger_source = DVL_DEFAULT;
    r.start_async_after_grab_async = true;
    r.channel = DVL_DEFAULT;
}

// The steps of an open after the record is reset; `board_is_new` tells the
// release what the open took.
FGstatus OpenSteps(Vproc_handle proc_id, ZephonInstance& r, FGInstance* fginst,
                   std::span<ZephonInstance> all, bool* board_is_new)
{
    if (const FGstatus status = CheckLibraryVersion(); status != FG_SUCCESS)
        return status;
    char device[kDeviceTextSize];
    fg_copy_text(device, sizeof device, fginst->device);
    DeviceAddress address;
    if (!ParseDevice(device, &address))
        return FG_ERR_DEVICE;
    if (fginst->port < -1 || fginst->port > 23)
        return FG_ERR_PORT;
    if (const FGstatus status = ReadColourSpace(fginst); status != FG_SUCCESS)
        return status;
    if (const FGstatus status = FindSharedBoard(r, device, all, &r.board); status != FG_SUCCESS)
        return status;
    if (r.board) {
        AbortOtherGrabs(r, all);
    } else {
        *board_is_new = true;
        if (const FGstatus status = NewBoard(proc_id, device, address, &r.board);
            status != FG_SUCCESS)
            return status;
    }
    for (auto step : {AllocateDigitizer, Configure, Describe})
        if (const FGstatus status = step(r, fginst); status != FG_SUCCESS)
            return status;
    return AllocateBuffers(proc_id, r, fginst);
}

} // namespace

FGstatus OpenInstance(Vproc_handle proc_id, ZephonInstance& r, FGInstance* fginst,
                      std::span<ZephonInstance> all)
{
    ResetRecord(r, fginst);
    bool board_is_new = false;
    const FGstatus status = OpenSteps(proc_id, r, fginst, all, &board_is_new);
    if (status == FG_SUCCESS) {
        ++r.board->reference_count;
        return FG_SUCCESS;
    }
    ReleaseDigitizer(proc_id, r);
    if (r.board && board_is_new)
        LeaveBoard(proc_id, r);
    r.board = nullptr;
    return status;
}

FGstatus CloseInstance(Vproc_handle proc_id, ZephonInstance& r)
{
    FGstatus status = FG_SUCCESS;
    if (GrabRunning(r)) {
        status = AbortGrab(r);
        SetGrabRunning(r, false);
    }
    const FGstatus released = ReleaseDigitizer(proc_id, r);
    LeaveBoard(proc_id, r);
    return status != FG_SUCCESS ? status : released;
}

} // namespace zephon
