#pragma once
// Where the driver and its library keep device configurations in the registry
// (local-machine hive): one key per device name below the devices' parent key,
// holding REG_DWORD values named as below.
#include <array>
#include <string>

#include <qdriver/export.h>
#include <registry/registry.h>

namespace qdriver {

inline constexpr const char* kDriverName = "Quenlo";

inline constexpr const char* kInterfaceType = "InterfaceType";
inline constexpr const char* kBusNumber = "BusNumber";
inline constexpr const char* kVendorID = "VendorID";
inline constexpr const char* kDeviceID = "DeviceID";
inline constexpr const char* kPortBase = "PortBase";
inline constexpr const char* kPortCount = "PortCount";
inline constexpr const char* kInterruptLevel = "InterruptLevel";
inline constexpr const char* kIsrOp = "IsrOp";
inline constexpr const char* kIsrData = "IsrData";
inline constexpr const char* kIsrOffset = "IsrOffset";
inline constexpr const char* kDynamic = "Dynamic";
inline constexpr const char* kIgnoreConflicts = "IgnoreConflicts";
inline constexpr const char* kMemBase = "MemBase";
inline constexpr const char* kMemCount = "MemCount";
inline constexpr const char* kIsrIdOp = "IsrIdOp";
inline constexpr const char* kIsrIdMask = "IsrIdMask";
inline constexpr const char* kIsrIdOffset = "IsrIdOffset";
inline constexpr const char* kIsrIdValue = "IsrIdValue";
inline constexpr const char* kMemoryIo = "MemoryIo";
inline constexpr const char* kDmaBufSize = "DmaBufSize";

/// Every value a device key may hold.
inline constexpr std::array<const char*, 20> kDeviceValueNames = {
    kInterfaceType, kBusNumber,       kVendorID,   kDeviceID, kPortBase,
    kPortCount,     kInterruptLevel,  kIsrOp,      kIsrData,  kIsrOffset,
    kDynamic,       kIgnoreConflicts, kMemBase,    kMemCount, kIsrIdOp,
    kIsrIdMask,     kIsrIdOffset,     kIsrIdValue, kMemoryIo, kDmaBufSize};

/// Interface type of a bus whose devices are found by VendorID and DeviceID.
inline constexpr uint32_t kInterfaceVendorBus = 5;
/// Interface type a configuration has when it names none (ISA).
inline constexpr uint32_t kInterfaceDefault = 1;

/// "System\CurrentControlSet\Services\Quenlo" on NT, "...\Services\VxD\Quenlo" on 9x.
QDRIVER_API std::string ServiceKeyPath(int platformId);
/// The key whose subkeys are the devices: the service key's "Parameters" on NT,
/// the service key itself on Windows 9x.
QDRIVER_API std::string DeviceParentPath(int platformId);

/// Writes the configurations the workbench relies on when they are missing:
/// "c832" (ISA bus, ports 0x210-0x213) and "lpt" (internal bus 0, ports
/// 0x378-0x379), both ignoring resource conflicts.
QDRIVER_API registry::Status ProvisionWorkbenchDevices(registry::Registry& registry,
                                                       int platformId);

} // namespace qdriver
