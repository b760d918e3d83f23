// Any request to a device: the first byte picks the control code, the rest is
// the input (an op queue gets the right version word; a memory mapping made
// is undone). The driver must answer
// without touching memory outside the buffers and without running forever.
#include <cstdint>
#include <cstring>
#include <vector>

#include <qdriver/device_keys.h>
#include <qdriver/driver.h>
#include <qdriver/port_space.h>

namespace {

// A card whose status bit toggles on every read, keeping no history.
class TogglingPorts : public qdriver::PortSpace {
public:
    uint32_t In(uint32_t offset, uint32_t) override { return (offset << 4) | (toggle_ ^= 0x80); }
    void Out(uint32_t, uint32_t, uint32_t) override { }

private:
    uint32_t toggle_ = 0;
};

struct Machine {
    std::shared_ptr<qdriver::Driver> driver;
    qdriver::Handle card = qdriver::kInvalidHandle;
    Machine()
    {
        auto reg = registry::Registry::InMemory();
        qdriver::ProvisionWorkbenchDevices(*reg, qdriver::wire::kPlatformNt);
        auto bus = std::make_shared<qdriver::IoBus>();
        bus->Attach(0x210, 4, std::make_shared<TogglingPorts>());
        driver = std::make_shared<qdriver::Driver>(
            qdriver::DriverOptions{reg, bus, qdriver::wire::kPlatformNt, {}, 1000});
        win32::Status error = 0;
        card = driver->Open("\\\\.\\c832", 0, &error);
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace qdriver::wire;
    static const uint32_t codes[] = {
        kExecuteQueue, kGetProperty,      kSetProperty,         kMapPorts,         kUnmapPorts,
        kBlockRead,    kBlockReadDirect,  kBlockWrite,          kBlockWriteDirect, kGetBusData,
        kSetBusData,   kConnectInterrupt, kDisconnectInterrupt, kWaitInterrupt,    kStartDevice,
        kStopDevice,   kMapMemory,        kUnmapMemory};
    static Machine machine;
    if (size == 0)
        return 0;
    const uint32_t code = codes[data[0] % (sizeof codes / sizeof codes[0])];
    std::vector<uint8_t> input(data + 1, data + size);
    if (code == kExecuteQueue && input.size() >= 8)
        PutWord(input.data(), 1, kQueueVersion);
    std::vector<uint8_t> output(code == kExecuteQueue ? input.size() : 1024);
    uint32_t returned = 0;
    machine.driver->Control(machine.card, code, input.data(), uint32_t(input.size()), output.data(),
                            uint32_t(output.size()), &returned);
    // A mapping is given back at once, so that the machine's memory stays bounded.
    if (code == kMapMemory && returned == kMapMemoryReplySize) {
        uint8_t unmap[kUnmapMemoryRequestSize] = {};
        PutWord(unmap, 2, GetWord(output.data(), 3));
        machine.driver->Control(machine.card, kUnmapMemory, unmap, sizeof unmap, nullptr, 0,
                                &returned);
    }
    machine.driver->ClearLog();
    return 0;
}
