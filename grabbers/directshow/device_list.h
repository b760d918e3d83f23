#pragma once
// The video capture devices the system device enumerator lists, and the
// stream capabilities of their capture pins.
#include <string>
#include <vector>

#include <dshow/devices.h>
#include <fgint/fgint.h>

namespace directshow {

inline constexpr int kMaxDevices = 16;

struct Device {
    std::string name; // friendly name, or "(no device name available)"
    dshow::ComPtr<dshow::IMoniker> moniker;
};

// At most 16 devices, in enumeration order. Monikers whose property bag
// fails otherwise than E_NOINTERFACE are skipped. 5 when the enumerator
// cannot be made; a device category without devices is an empty list.
FGstatus ListDevices(std::vector<Device>* devices);

// One stream capability of a capture pin.
struct CapsEntry {
    int device;
    int port;
    std::string text; // "device %d, port %d: <standard prefix><subtype name> (%dx%d)"
    bool supported;   // one of the nine subtypes, at a standard of the table
};

inline constexpr std::size_t kMaxCapsEntries = 500;

// The capabilities of every output pin with IAMStreamConfig of every device
// that binds (at most 16 devices, 500 entries). A device's hardware
// exception passes through.
FGstatus ListStreamCaps(std::vector<CapsEntry>* entries);

} // namespace directshow
