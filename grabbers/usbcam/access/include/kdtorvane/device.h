// An opened camera: its image requests, settings, information and the
// dictionaries of property paths.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include <kdtorvane/session.h>

namespace kdTORVANE::acquire {

// Property paths: list names from the start of a walk down to the property,
// joined with "/" ("Camera/Expose_us"), each with its property's handle.
using PathMap = std::map<std::string, HOBJ>;

// Enters into `paths` the integer, real and string properties under
// `first` and its following siblings, recursing into lists; a path found
// again keeps its first property.
void Walk(HOBJ first, const std::string& prefix, PathMap& paths);

// One request of the camera, with the image-buffer object the manager made for it.
class ImageRequest {
public:
    ImageRequest(HDRV driver, int32_t number);
    ~ImageRequest();
    ImageRequest(const ImageRequest&) = delete;
    ImageRequest& operator=(const ImageRequest&) = delete;

    int32_t number() const { return number_; }
    // KD_REQUEST_OK for a frame.
    int32_t Result() const;
    // The frame of the finished request; valid until the request is queued again.
    const KdImageBuffer& ImageBuffer() const;

private:
    HDRV driver_;
    int32_t number_;
    KdImageBuffer* buffer_ = nullptr;
};

// The camera's request machinery: it opens the device when needed and finds
// the lists of settings, requests, image request control and "System".
class ImageRequestControl {
public:
    explicit ImageRequestControl(DeviceEntry& entry);

    HDRV driver() const { return entry_.driver(); }
    const ListAccess& settings() const { return settings_; }

    // Image request objects made or freed to match the request list.
    void RefreshRequestList();
    // The setting the next queued requests are made with: written into the
    // "Setting" of the first image request control entry. Raises
    // TorvaneAcquireException when the list has no entry.
    void Select(HOBJ setting) const;
    // Writes "RequestCount" and refreshes the request list.
    void SetRequestCount(int32_t count);

    void Queue() const;
    // The number of the oldest finished request, locked, or a negative
    // number when none finished within `timeout_ms`.
    int32_t Wait(int32_t timeout_ms) const;
    void Unlock(int32_t number) const;
    void ResetQueue() const;
    ImageRequest& Request(int32_t number) const { return *requests_.at(size_t(number)); }

private:
    DeviceEntry& entry_;
    ListAccess settings_, requests_list_, control_, system_;
    PropertyAccess request_count_;
    std::vector<std::unique_ptr<ImageRequest>> requests_;
};

// A setting's "Camera" list: its fourteen properties and those of "Aoi"
// ("Aoi/W", "Aoi/H", "Aoi/X", "Aoi/Y").
class CameraSettingAccess {
public:
    // Raises TorvaneAcquireException "Couldn't find setting <name>" when there is none.
    CameraSettingAccess(const ListAccess& settings, const std::string& name);

    PropertyAccess Property(const std::string& name) const { return properties_.at(name); }

private:
    std::map<std::string, PropertyAccess> properties_;
};

struct InfoLists;

// The camera's "Info" list and its "Camera" list (sensor); raises
// TorvaneAcquireException "Couldn't find 'Info' list" when there is none.
class DeviceInfoAccess {
public:
    explicit DeviceInfoAccess(DeviceEntry& entry);

    PropertyAccess DriverDate, DriverVersion, State, LoadedSettings, FirmwareVersion;
    PropertyAccess SensorFPGAVersion, SensorCaps, SensorXRes, SensorYRes, SensorColorMode,
        SensorType;

private:
    explicit DeviceInfoAccess(const InfoLists& lists);
};

// An instance's own setting: its list, its properties by path and its camera list.
struct DevicePropertyDictionary {
    DevicePropertyDictionary(const ListAccess& settings, const std::string& name);

    ListAccess setting;
    CameraSettingAccess camera;
    PathMap paths; // relative to the setting
};

// One opened camera, shared by the instances that use it.
class DeviceAccess {
public:
    // Opens the camera and builds its dictionary over "Info", "Statistics",
    // "System" and "IOSubSystem".
    DeviceAccess(DeviceManagerSession session, DeviceEntry& entry);
    // Resets the request queue and closes the camera.
    ~DeviceAccess();
    DeviceAccess(const DeviceAccess&) = delete;
    DeviceAccess& operator=(const DeviceAccess&) = delete;

    ImageRequestControl& requests() { return requests_; }
    const DeviceInfoAccess& info() const { return info_; }
    const PathMap& dictionary() const { return dictionary_; }

    // A setting for a new instance: the first given back (reset to "Base"),
    // else a new one "VerodynSetting_<n>" made from "Base".
    DevicePropertyDictionary* TakeSetting();
    // False when `setting` is not one of this camera's.
    bool GiveSettingBack(const DevicePropertyDictionary* setting);
    // The setting the next requests are made with.
    void Select(const DevicePropertyDictionary& setting)
    {
        requests_.Select(setting.setting.handle());
    }

    // How many requests an asynchronous start queues; the camera gets one more.
    int32_t request_queue_depth() const { return depth_; }
    // Resets the request queue first, so that no request in use is freed.
    void SetRequestQueueDepth(int32_t depth);

private:
    struct Entry {
        std::unique_ptr<DevicePropertyDictionary> dictionary;
        int next_free = -1;
    };

    DeviceManagerSession session_;
    DeviceEntry& entry_;
    ImageRequestControl requests_;
    DeviceInfoAccess info_;
    PathMap dictionary_;
    int32_t depth_ = 1;
    std::vector<Entry> settings_;
    int first_free_ = -1;
};

} // namespace kdTORVANE::acquire
