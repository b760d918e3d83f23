#pragma once
#include <gtest/gtest.h>

#include <vector>

#include <qdriver/device_keys.h>
#include <qdriver/driver.h>
#include <qdriver/port_models.h>

namespace qdriver::testing {

using Words = std::vector<uint32_t>;

/// An op queue of `capacity` ops and `extra` data bytes holding `ops`.
inline Words Queue(uint32_t capacity, uint32_t extra, const std::vector<Words>& ops)
{
    Words q(12 + 8 * capacity + (extra + 3) / 4, 0);
    q[1] = wire::kQueueVersion;
    q[3] = uint32_t(ops.size());
    q[4] = capacity;
    q[5] = wire::kQueueExecuting;
    q[8] = q[9] = extra;
    for (size_t i = 0; i < ops.size(); ++i)
        for (size_t w = 0; w < ops[i].size(); ++w)
            q[12 + 8 * i + w] = ops[i][w];
    return q;
}

/// A driver over an in-memory registry holding the workbench devices, with a
/// latch at 0x378 and a scripted model at 0x210 on its bus.
class DriverFixture : public ::testing::Test {
protected:
    std::shared_ptr<registry::Registry> reg = registry::Registry::InMemory();
    std::shared_ptr<IoBus> bus = std::make_shared<IoBus>();
    std::shared_ptr<LatchPorts> latch = std::make_shared<LatchPorts>(3);
    std::shared_ptr<ScriptedPorts> card = std::make_shared<ScriptedPorts>();
    std::unique_ptr<Driver> driver;
    int platform = wire::kPlatformNt;

    void SetUp() override
    {
        bus->Attach(0x378, 3, latch);
        bus->Attach(0x210, 4, card);
    }

    void Load(std::vector<Resource> systemResources = {}, uint32_t cap = 100000)
    {
        ProvisionWorkbenchDevices(*reg, platform);
        driver = std::make_unique<Driver>(
            DriverOptions{reg, bus, platform, std::move(systemResources), cap});
    }

    /// Writes a device key with the given DWORD values.
    void Configure(const std::string& name, std::vector<std::pair<const char*, uint32_t>> values)
    {
        registry::HKEY key = 0;
        ASSERT_EQ(reg->CreateKey(registry::kLocalMachine, DeviceParentPath(platform) + "\\" + name,
                                 registry::kKeyAllAccess, &key),
                  0);
        for (auto [value, data] : values)
            reg->SetDword(key, value, data);
        reg->CloseKey(key);
    }

    Handle Open(const std::string& name, uint32_t flags = 0)
    {
        win32::Status error = 0;
        Handle h = driver->Open("\\\\.\\" + name, flags, &error);
        EXPECT_NE(h, kInvalidHandle) << name << " error " << error;
        return h;
    }

    win32::Status Send(Handle h, uint32_t code, const Words& in, Words* out = nullptr,
                       uint32_t* returned = nullptr)
    {
        uint32_t got = 0;
        auto status =
            driver->Control(h, code, in.data(), uint32_t(in.size() * 4),
                            out ? out->data() : nullptr, out ? uint32_t(out->size() * 4) : 0, &got);
        if (returned)
            *returned = got;
        return status;
    }

    /// Sends `name` with its terminating zero.
    win32::Status SendName(Handle h, uint32_t code, const std::string& name)
    {
        uint32_t returned = 0;
        std::string bytes = name + '\0';
        return driver->Control(h, code, bytes.data(), uint32_t(bytes.size()), nullptr, 0,
                               &returned);
    }

    win32::Status Execute(Handle h, Words& queue)
    {
        Words out(queue.size(), 0xEEEEEEEE);
        auto status = Send(h, wire::kExecuteQueue, queue, &out);
        if (status == win32::kSuccess)
            queue = out;
        return status;
    }
};

} // namespace qdriver::testing
