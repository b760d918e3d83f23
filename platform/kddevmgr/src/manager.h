// The simulated device manager: one per process, all of its state behind one lock.
#pragma once

#include <array>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>
#include <variant>
#include <vector>

#include <kddevmgr/simulation.h>

namespace kdmgr {

using Duration = ondula::Clock::Duration;
using Value = std::variant<int64_t, double, std::string>;

// One entry of a translation dictionary.
struct Translation {
    std::string text;
    Value value;
};

// A list or a property, held in a slot of the manager's arena.
struct Component {
    std::string name;
    int32_t type = KD_TYPE_LIST;
    int32_t access = KD_ACCESS_READ;
    HOBJ parent = KD_INVALID_HANDLE;
    std::vector<HOBJ> children;
    int32_t changes = 0;                       // change counter of a list
    std::vector<Value> values;                 // indices 0 ..
    std::array<std::optional<Value>, 3> limit; // indices -1 (maximum), -2 (minimum), -3 (step)
    std::vector<Translation> dictionary;

    bool IsList() const { return type == KD_TYPE_LIST; }
    // The value at `index`, or null.
    Value* At(int32_t index);
};

// What a request takes from the selected setting when it is queued.
struct Snapshot {
    int32_t setting = 0; // position in the settings list
    int32_t expose_us = 0;
    double gain_db = 0;
    int32_t aoi_w = 0, aoi_h = 0, aoi_x = 0, aoi_y = 0;
    int32_t binning = 0x11;
};

struct Request {
    enum class State { Free, Queued, Locked };
    State state = State::Free;
    bool stalled = false;
    Duration finish{};
    Snapshot snapshot;
    int32_t result = KD_REQUEST_OK;
    int32_t width = 0, height = 0, format = KD_PIXEL_MONO8, bytes_per_pixel = 1;
    std::vector<uint8_t> data;
    std::vector<KdChannelDesc> channels;
};

// An opened device: its tree and its requests.
struct Driver {
    HDRV handle = KD_INVALID_HANDLE;
    HOBJ root = KD_INVALID_HANDLE;          // the lists of KdListType, in that order
    std::array<HOBJ, 7> lists{};            // by KdListType
    HOBJ request_count = KD_INVALID_HANDLE; // "System/RequestCount"
    HOBJ frame_count = KD_INVALID_HANDLE;   // "Statistics/FrameCount"
    std::vector<Request> requests;
    std::deque<int32_t> queue; // queued requests, oldest first
    Duration busy_until{};     // when the last queued request finishes
    bool stalled = false;      // a stalled request holds the camera
    int32_t frames = 0;        // frames handed over since the open
    uint64_t resets = 0;       // of the queue, which end the waits in progress
};

struct Device {
    kdsim::CameraConfig config;
    HOBJ entry = KD_INVALID_HANDLE; // in the device list: the device handle
    int stall_in = 0;               // queueings until a stalled one (0: none)
    int request_controls = 1;
    std::optional<Driver> driver;
};

struct Manager {
    std::mutex lock;
    ondula::Clock* clock = nullptr;
    bool configured = false;
    // Configured from ONDULA_KDCAMERAS, and its value then (none: unset): a
    // manager left by every user reads the variable again when it changed.
    bool from_environment = false;
    std::optional<std::string> environment;
    int users = 0;
    int initialisations = 0;
    // Handles are never given twice, while the slots of dead components are
    // reused: a handle of a closed device stays refused once its slot holds
    // a component of a later open.
    std::vector<Component> arena;
    std::unordered_map<HOBJ, size_t> slots; // of the live components
    std::vector<size_t> free_slots;
    HOBJ next_handle = 0;
    HOBJ device_list = KD_INVALID_HANDLE;
    std::vector<Device> devices;
    HDRV next_driver = 1;
    std::map<int, std::vector<std::pair<int, int32_t>>> faults; // ordinal: (calls to go, code)
    std::map<int, int> calls;
    int too_small = 0;
    std::vector<std::unique_ptr<KdImageBuffer>> buffer_objects;

    Duration Now() const { return clock->Now(); }
    // Counts a call of `ordinal` and answers the fault a test set for it, or KD_OK.
    int32_t Enter(KdOrdinal ordinal);
    // Enter, then KD_ERR_NOT_INITIALISED while nobody has initialised.
    int32_t EnterInitialised(KdOrdinal ordinal);

    // The live component `handle`, or null.
    Component* Find(HOBJ handle);
    // The component `handle`, which must be live.
    Component& At(HOBJ handle) { return arena[slots.at(handle)]; }
    const Component& At(HOBJ handle) const { return arena[slots.at(handle)]; }
    HOBJ Add(HOBJ parent, Component component);
    // A deep copy of `source` (with its subtree) as the last entry of `parent`.
    HOBJ Clone(HOBJ source, HOBJ parent, const std::string& name);
    // Ends `handle` and its subtree, freeing their slots.
    void Kill(HOBJ handle);
    // The entry `name` of `list`, or KD_INVALID_HANDLE.
    HOBJ Child(HOBJ list, const std::string& name) const;

    Device* DeviceOfEntry(HDEV device);
    Device* DeviceOfDriver(HDRV driver);
    // The open device whose tree holds `component`, or null.
    Device* DeviceOfComponent(HOBJ component);
    Device* DeviceById(int32_t device_id);
};

// The manager; its lock guards everything in it.
Manager& TheManager();

// Runs `body(manager)` for operation `ordinal` under the lock, once the
// manager is initialised and no fault stands in the way.
template <typename Body> int32_t Locked(KdOrdinal ordinal, Body&& body)
{
    Manager& m = TheManager();
    std::lock_guard guard(m.lock);
    if (const int32_t entered = m.EnterInitialised(ordinal))
        return entered;
    return body(m);
}

// Runs `body(manager, device)` on the open device of `driver`.
template <typename Body> int32_t OnDriver(KdOrdinal ordinal, HDRV driver, Body&& body)
{
    return Locked(ordinal, [&](Manager& m) -> int32_t {
        Device* device = m.DeviceOfDriver(driver);
        return device ? body(m, *device) : KD_ERR_INVALID_DRIVER;
    });
}

// Runs `body(manager, component)` on a live component.
template <typename Body> int32_t OnComponent(KdOrdinal ordinal, HOBJ handle, Body&& body)
{
    return Locked(ordinal, [&](Manager& m) -> int32_t {
        Component* component = m.Find(handle);
        return component ? body(m, *component) : KD_ERR_INVALID_LIST_ID;
    });
}

// Camera trees (camera_tree.cpp).
// The device list's entry of `camera`, appended to the device list.
HOBJ AddDeviceEntry(Manager& m, const kdsim::CameraConfig& camera);
// The tree of an opened device, under a new root.
void BuildDriverTree(Manager& m, Device& device, Driver& driver);

// Values (values.cpp): writes and reads with their checks, under the lock.
// A read of `kind` 0 takes any kind.
int32_t WriteValue(Manager& m, HOBJ property, const Value& value, int32_t index);
int32_t ReadValue(Manager& m, HOBJ property, int32_t index, int32_t kind, Value* value);
// Parses `text` for `property` (through its dictionary where it has one).
int32_t ValueOfText(const Component& property, const std::string& text, Value* value);
std::string TextOfValue(const Component& property, const Value& value);
// A setting's values become those of "Base".
void ResetSetting(Manager& m, HOBJ setting);

// Requests (requests.cpp), under the lock.
// `count` requests and as many entries of the request list.
void ResizeRequests(Manager& m, Driver& driver, int32_t count);
void ResetQueue(Manager& m, Driver& driver);
// Draws the frame of a request that is being handed over (frame.cpp).
void Paint(const kdsim::CameraConfig& camera, int32_t frame, Request& request);

} // namespace kdmgr
