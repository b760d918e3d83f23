// A session with the device manager and the cameras it lists.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include <kdtorvane/component.h>

namespace kdTORVANE::acquire {

// One connected camera: its device handle, its driver handle while it is open
// and its entry's nine properties.
class DeviceEntry {
public:
    explicit DeviceEntry(HDEV device);

    HDEV device() const { return device_; }
    // KD_INVALID_HANDLE while the device is closed.
    HDRV driver() const { return driver_; }
    bool IsOpen() const { return driver_ != KD_INVALID_HANDLE; }
    // Raises TorvaneAcquireException "open device failed" with the manager's code.
    void Open();
    void Close();

    PropertyAccess DeviceID, Family, FirmwareVersion, LoadSettings, Product, Serial, State,
        UserData, HWUpdateResult;

private:
    HDEV device_;
    HDRV driver_ = KD_INVALID_HANDLE;
};

// An initialisation of the device manager, shared by the session's copies.
// The last copy to end closes the devices still open and then the manager,
// once, however many copies there were.
class DeviceManagerSession {
public:
    // Raises TorvaneAcquireException "DevMgrInit failed" with the manager's code.
    DeviceManagerSession();

    // Takes in the cameras connected since the last refresh.
    void RefreshDeviceList();
    int DeviceCount() const { return int(state_->devices.size()); }
    DeviceEntry& Device(int index) const { return *state_->devices[size_t(index)]; }
    // The first camera whose "Product" matches `pattern` (`wildcard` matching
    // any run of characters) and whose "DeviceID" is `number`, searched with
    // `mode` after a refresh; null when none.
    DeviceEntry* DeviceByFamily(int32_t mode, const std::string& pattern, int32_t number,
                                char wildcard);

private:
    struct State {
        HOBJ device_list = KD_INVALID_HANDLE;
        int32_t changes = -1;
        std::vector<std::unique_ptr<DeviceEntry>> devices;
        ~State();
    };
    std::shared_ptr<State> state_;
};

} // namespace kdTORVANE::acquire
