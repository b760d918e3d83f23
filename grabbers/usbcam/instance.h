// The plug-in's records: one per FGClass slot, and one per opened camera
// shared by the instances that open the same device text.
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include <fgint/fgint.h>
#include <fgint/instance_record.h>
#include <kdtorvane/device.h>

namespace usbcam {

using kdTORVANE::acquire::DeviceAccess;
using kdTORVANE::acquire::DeviceManagerSession;
using kdTORVANE::acquire::DevicePropertyDictionary;

constexpr size_t kDeviceNameLength = 260;

// Host memory (VXAlloc), constructed in place; freed by the last instance's close.
struct BoardInfo {
    char name[kDeviceNameLength] = {}; // the device text it was opened with
    void* BoardFrameBuffer[2] = {};    // present while the first is not null
    int32_t buffer_size = 0;           // bytes of each
    int32_t buffer_users = 0;
    int32_t instances = 0;
    std::unique_ptr<DeviceManagerSession> session;
    std::unique_ptr<DeviceAccess> device; // destroyed before the session
};

struct AcquireInstance {
    BoardInfo* board = nullptr; // null exactly while the record is free
    bool request_pending = false;
    int32_t slot = 0;
    int32_t max_delay = 0;                // ms
    ondula::Clock::Duration start_time{}; // of the last asynchronous queueing, on kdClock()
    void* InstFrameBuffer[2] = {};
    bool own_buffers = false;
    bool volatile_mode = false;
    DevicePropertyDictionary* settings = nullptr; // owned by the camera's DeviceAccess
    int32_t grab_timeout = 5000;
    uint32_t aborts = 0;            // do_abort_grab calls, counted for a grab that waits
    std::vector<std::string> texts; // of the last FGGetParam answer
};

// The plug-in's statics.
struct Plugin {
    AcquireInstance instances[FG_MAX_INSTANCES];
    int32_t open_count = 0;
    FGClass* fgclass = nullptr;
};

Plugin& ThePlugin();

// The lock every callback holds while it runs.
std::mutex& PluginLock();

// Leaves the plug-in's lock, which the calling callback holds, for the scope:
// a grab waits for the camera without it, so that other callbacks, the
// instance's do_abort_grab among them, run meanwhile.
class PluginLockReleased {
public:
    PluginLockReleased() { PluginLock().unlock(); }
    ~PluginLockReleased() { PluginLock().lock(); }
    PluginLockReleased(const PluginLockReleased&) = delete;
    PluginLockReleased& operator=(const PluginLockReleased&) = delete;
};

// The record bound to the host's instance at allocation.
inline constexpr auto& Record = fg::Record<AcquireInstance>;

// The records other than `r` that are open on `r`'s camera.
std::vector<AcquireInstance*> OthersOnBoard(const AcquireInstance& r);

// Clears the pending request of the other instances of `r`'s camera; when
// one had a request pending, the camera's queue is reset so that no request
// made with another setting stays queued. Raises camera access errors.
void CancelOthers(AcquireInstance& r);

// Makes the instance's own setting the one the camera's next requests use;
// 1, or raises camera access errors.
FGstatus SetInstParam(FGInstance* fginst);

// Bytes of one frame buffer of the instance: image_width x ((bits_per_channel
// + 7) / 8) x num_channels x image_height.
size_t BufferSize(const FGInstance* fginst);

} // namespace usbcam
