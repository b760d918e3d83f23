#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "platform.h"
#include <hwaccess/client.h>
#include <qdriver/device_keys.h>
#include <registry/registry.h>
#include <registry/service_manager.h>

namespace hw {
namespace {

using registry::HKEY;
using registry::Registry;
using namespace qdriver;

int ConfigPlatform() { return Personality(IsOn95()); }

std::string DeviceKeyPath(const char* name)
{
    return DeviceParentPath(ConfigPlatform()) + "\\" + name;
}

// A key below the local machine, opened (or created with the keys missing on
// its path) with `access`; closed when it goes. False when it could not be had.
class Key {
public:
    enum Mode { kOpen, kCreate };
    Key(Registry& reg, Mode mode, const std::string& path, uint32_t access) : reg_(reg)
    {
        const registry::Status status =
            mode == kOpen ? reg.OpenKey(registry::kLocalMachine, path, access, &handle_)
                          : reg.CreateKey(registry::kLocalMachine, path, access, &handle_);
        open_ = status == win32::kSuccess;
    }
    ~Key()
    {
        if (open_)
            reg_.CloseKey(handle_);
    }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
    explicit operator bool() const { return open_; }
    HKEY get() const { return handle_; }

private:
    Registry& reg_;
    HKEY handle_ = 0;
    bool open_ = false;
};

// A port or memory range of a configuration: its fields and the names of its stored values.
struct RangeFields {
    uint32_t HwDeviceConfig::*used;
    uint32_t HwDeviceConfig::*base;
    uint32_t HwDeviceConfig::*count;
    const char* baseName;
    const char* countName;
};

constexpr RangeFields kPortRange{&HwDeviceConfig::portRangeUsed, &HwDeviceConfig::PortBase,
                                 &HwDeviceConfig::PortCount, kPortBase, kPortCount};
constexpr RangeFields kMemRange{&HwDeviceConfig::memRangeUsed, &HwDeviceConfig::MemBase,
                                &HwDeviceConfig::MemCount, kMemBase, kMemCount};

void UseRange(HwDeviceConfig& c, const RangeFields& range, uint32_t base, uint32_t count)
{
    c.*range.used = 1;
    c.*range.base = base;
    c.*range.count = count;
}

// Applies `set` to the record; false for a null one.
template <typename Set> BOOL Configure(HwDeviceConfig* config, Set set)
{
    if (!config)
        return false;
    set(*config);
    return true;
}

std::optional<uint32_t> ReadDword(Registry& reg, HKEY key, const char* name)
{
    uint32_t value = 0;
    if (reg.QueryDword(key, name, &value) != win32::kSuccess)
        return std::nullopt;
    return value;
}

// Writes the values of a configuration in their order; false at the first
// value that cannot be written.
bool WriteConfig(Registry& reg, HKEY key, const HwDeviceConfig& c)
{
    std::vector<std::pair<const char*, uint32_t>> values;
    auto addRange = [&](const RangeFields& range) {
        if (!(c.*range.used))
            return;
        values.emplace_back(range.baseName, c.*range.base);
        values.emplace_back(range.countName, c.*range.count);
    };
    if (c.InterfaceType != kInterfaceDefault)
        values.emplace_back(kInterfaceType, c.InterfaceType);
    if (c.InterfaceType == kInterfaceVendorBus) {
        values.emplace_back(kVendorID, c.IgnoreConflicts);
        values.emplace_back(kDeviceID, c.DeviceID);
    } else if (c.InterfaceType != kInterfaceDefault) {
        values.emplace_back(kBusNumber, c.BusNumber);
    }
    addRange(kPortRange);
    if (c.interruptUsed)
        values.emplace_back(kInterruptLevel, c.InterruptLevel);
    if (c.IsrOp) {
        values.emplace_back(kIsrOp, c.IsrOp);
        values.emplace_back(kIsrOffset, c.IsrOffset);
        values.emplace_back(kIsrData, c.IsrData);
    }
    if (c.IsrIdOp) {
        values.emplace_back(kIsrIdOp, c.IsrIdOp);
        values.emplace_back(kIsrIdOffset, c.IsrIdOffset);
        values.emplace_back(kIsrIdMask, c.IsrIdMask);
        values.emplace_back(kIsrIdValue, c.IsrIdValue);
    }
    if (c.Dynamic)
        values.emplace_back(kDynamic, 1);
    addRange(kMemRange);
    if (c.InterfaceType != kInterfaceVendorBus && c.IgnoreConflicts)
        values.emplace_back(kIgnoreConflicts, 1);
    if (c.MemoryIo)
        values.emplace_back(kMemoryIo, 1);
    if (IsFullConfig(c))
        values.emplace_back(kDmaBufSize, c.DmaBufSize);
    for (auto [name, value] : values)
        if (reg.SetDword(key, name, value) != win32::kSuccess)
            return false;
    return true;
}

// The device values as stored, to put back when a new configuration fails.
struct StoredValue {
    const char* name;
    registry::ValueType type;
    std::vector<uint8_t> data;
};

std::vector<StoredValue> Snapshot(Registry& reg, HKEY key)
{
    std::vector<StoredValue> stored;
    for (const char* name : kDeviceValueNames) {
        uint32_t size = 0;
        registry::ValueType type{};
        if (reg.QueryValue(key, name, &type, nullptr, &size) != win32::kSuccess)
            continue;
        std::vector<uint8_t> data(size);
        if (reg.QueryValue(key, name, &type, data.data(), &size) == win32::kSuccess)
            stored.push_back({name, type, std::move(data)});
    }
    return stored;
}

bool DeleteDeviceValues(Registry& reg, HKEY key)
{
    for (const char* name : kDeviceValueNames) {
        registry::Status s = reg.DeleteValue(key, name);
        if (s != win32::kSuccess && s != win32::kFileNotFound)
            return false;
    }
    return true;
}

void Restore(Registry& reg, HKEY key, const std::vector<StoredValue>& stored)
{
    DeleteDeviceValues(reg, key);
    for (const StoredValue& v : stored)
        reg.SetValue(key, v.name, v.type, v.data.data(), static_cast<uint32_t>(v.data.size()));
}

// Reads into a reset record.
void ReadConfig(Registry& reg, HKEY key, HwDeviceConfig* c)
{
    auto read = [&](const char* name) { return ReadDword(reg, key, name); };
    auto flag = [&](const char* name) -> uint32_t { return read(name).value_or(0) != 0; };
    // A value that is not stored leaves the field as it is.
    auto readInto = [&](const char* name, uint32_t* field) {
        if (auto v = read(name))
            *field = *v;
    };
    // A range is used only when both its base and its count are stored.
    auto range = [&](const RangeFields& fields) {
        auto b = read(fields.baseName), n = read(fields.countName);
        if (b && n)
            UseRange(*c, fields, *b, *n);
    };
    readInto(kBusNumber, &c->BusNumber);
    readInto(kInterfaceType, &c->InterfaceType);
    if (c->InterfaceType == kInterfaceVendorBus) {
        readInto(kVendorID, &c->IgnoreConflicts);
        readInto(kDeviceID, &c->DeviceID);
    }
    range(kPortRange);
    if (auto level = read(kInterruptLevel)) {
        c->interruptUsed = 1;
        c->InterruptLevel = *level;
    }
    if (auto op = read(kIsrOp); op && *op) {
        c->IsrOp = *op;
        readInto(kIsrOffset, &c->IsrOffset);
        readInto(kIsrData, &c->IsrData);
    }
    if (auto op = read(kIsrIdOp); op && *op) {
        c->IsrIdOp = *op;
        readInto(kIsrIdOffset, &c->IsrIdOffset);
        readInto(kIsrIdMask, &c->IsrIdMask);
        readInto(kIsrIdValue, &c->IsrIdValue);
    }
    c->Dynamic = flag(kDynamic);
    range(kMemRange);
    if (c->InterfaceType != kInterfaceVendorBus)
        c->IgnoreConflicts = flag(kIgnoreConflicts);
    c->MemoryIo = flag(kMemoryIo);
    if (IsFullConfig(*c))
        readInto(kDmaBufSize, &c->DmaBufSize);
}

bool ReadDevice(Registry& reg, const std::string& path, HwDeviceConfig* config)
{
    HwZeroDeviceConfig(config);
    const Key key(reg, Key::kOpen, path, registry::kKeyRead);
    if (!key)
        return false;
    ReadConfig(reg, key.get(), config);
    return true;
}

// Opens or creates `path` and applies `fill` to it, then flushes; false when a step fails.
template <typename Fill> bool WriteKey(Registry& reg, const std::string& path, Fill fill)
{
    const Key key(reg, Key::kCreate, path, registry::kKeyAllAccess);
    return key && fill(key.get()) && reg.Flush(key.get()) == win32::kSuccess;
}

} // namespace

int HwZeroDeviceConfig(HwDeviceConfig* config)
{
    if (!config)
        return 0;
    std::memset(config, 0, sizeof *config);
    config->InterfaceType = kInterfaceDefault;
    config->recordSize = HW_FULL_CONFIG_SIZE;
    return 0;
}

BOOL HwConfigurePortRange(HwDeviceConfig* config, uint32_t base, uint32_t count)
{
    return Configure(config, [&](HwDeviceConfig& c) { UseRange(c, kPortRange, base, count); });
}

BOOL HwConfigureInterrupt(HwDeviceConfig* config, uint32_t level)
{
    return Configure(config, [&](HwDeviceConfig& c) {
        c.interruptUsed = 1;
        c.InterruptLevel = level;
    });
}

BOOL HwConfigureIsrOp(HwDeviceConfig* config, uint32_t op, uint32_t offset, uint32_t data)
{
    return Configure(config, [&](HwDeviceConfig& c) {
        c.IsrOp = op;
        c.IsrOffset = offset;
        c.IsrData = data;
    });
}

BOOL HwConfigureIsrIdOp(HwDeviceConfig* config, uint32_t op, uint32_t offset, uint32_t mask,
                        uint32_t value)
{
    return Configure(config, [&](HwDeviceConfig& c) {
        c.IsrIdOp = op;
        c.IsrIdOffset = offset;
        c.IsrIdMask = mask;
        c.IsrIdValue = value;
    });
}

BOOL HwConfigureMemRange(HwDeviceConfig* config, uint32_t base, uint32_t count)
{
    return Configure(config, [&](HwDeviceConfig& c) { UseRange(c, kMemRange, base, count); });
}

BOOL HwConfigureIgnoreConflicts(HwDeviceConfig* config, BOOL flag)
{
    return Configure(config, [&](HwDeviceConfig& c) { c.IgnoreConflicts = flag; });
}

BOOL HwConfigureMemoryIo(HwDeviceConfig* config, BOOL flag)
{
    return Configure(config, [&](HwDeviceConfig& c) { c.MemoryIo = flag; });
}

BOOL HwConfigureDevice(const char* name, const HwDeviceConfig* config)
{
    if (!name || !*name || !config)
        return false;
    auto reg = registry::System();
    const Key key(*reg, Key::kCreate, DeviceKeyPath(name), registry::kKeyAllAccess);
    if (!key)
        return false;
    const std::vector<StoredValue> previous = Snapshot(*reg, key.get());
    const bool written =
        DeleteDeviceValues(*reg, key.get()) && WriteConfig(*reg, key.get(), *config);
    if (!written)
        Restore(*reg, key.get(), previous);
    return reg->Flush(key.get()) == win32::kSuccess && written;
}

BOOL HwGetDeviceConfig(const char* name, HwDeviceConfig* config)
{
    if (!config)
        return false;
    if (!name || !*name) {
        HwZeroDeviceConfig(config);
        return false;
    }
    return ReadDevice(*registry::System(), DeviceKeyPath(name), config);
}

BOOL HwEnumerateDevices(uint32_t index, char* name, HwDeviceConfig* config)
{
    if (!name || !config)
        return false;
    auto reg = registry::System();
    const Key parent(*reg, Key::kOpen, DeviceParentPath(ConfigPlatform()), registry::kKeyRead);
    if (!parent)
        return false;
    char found[HW_DEVICE_NAME_CHARS];
    for (uint32_t i = 0, fitting = 0;; ++i) {
        uint32_t chars = sizeof found;
        registry::Status s = reg->EnumKey(parent.get(), i, found, &chars);
        if (s == win32::kMoreData)
            continue; // a name too long for the caller's buffer
        if (s != win32::kSuccess)
            return false;
        if (fitting++ < index)
            continue;
        HwDeviceConfig read;
        if (!ReadDevice(*reg, DeviceParentPath(ConfigPlatform()) + "\\" + found, &read))
            return false;
        read.busFlag = read.InterfaceType != kInterfaceDefault;
        std::memcpy(name, found, chars + 1);
        *config = read;
        return true;
    }
}

BOOL HwDeleteDeviceConfiguration(const char* name)
{
    if (!name || !*name)
        return false;
    auto reg = registry::System();
    const Key parent(*reg, Key::kOpen, DeviceParentPath(ConfigPlatform()), registry::kKeyAllAccess);
    if (!parent)
        return false;
    if (reg->DeleteKey(parent.get(), name) != win32::kSuccess)
        return false;
    reg->Flush(parent.get());
    return true;
}

BOOL HwIsDriverConfigured()
{
    auto reg = registry::System();
    return bool(Key(*reg, Key::kOpen, ServiceKeyPath(ConfigPlatform()), registry::kKeyRead));
}

BOOL HwConfigureDriver()
{
    auto reg = registry::System();
    if (IsOn95()) {
        return WriteKey(*reg, "System\\CurrentControlSet\\Services\\VxD\\QUENLO", [&](HKEY key) {
            return reg->SetString(key, "StaticVxD", registry::ValueType::Sz, "QUENLO.VXD") ==
                   win32::kSuccess;
        });
    }
    registry::ServiceConfig service{kDriverName,
                                    kDriverName,
                                    registry::kServiceKernelDriver,
                                    registry::kServiceAutoStart,
                                    registry::kServiceErrorNormal,
                                    "\\SystemRoot\\System32\\Drivers\\quenlo.sys"};
    registry::Status created = registry::CreateService(*reg, service);
    if (created != win32::kSuccess && created != win32::kServiceExists)
        return false;
    auto nothing = [](HKEY) { return true; };
    const std::string serviceKey = ServiceKeyPath(wire::kPlatformNt);
    return WriteKey(*reg, serviceKey, nothing) &&
           WriteKey(*reg, serviceKey + "\\Parameters", nothing) &&
           WriteKey(*reg, "System\\CurrentControlSet\\Services\\EventLog\\System\\Quenlo",
                    [&](HKEY key) {
                        return reg->SetString(
                                   key, "EventMessageFile", registry::ValueType::ExpandSz,
                                   "%SystemRoot%\\System32\\IoLogMsg.dll;%SystemRoot%"
                                   "\\System32\\Drivers\\Quenlo.sys") == win32::kSuccess &&
                               reg->SetDword(key, "TypesSupported", 7) == win32::kSuccess;
                    });
}

} // namespace hw
