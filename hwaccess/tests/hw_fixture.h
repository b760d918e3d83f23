#pragma once
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "hwaccess/src/platform.h"
#include <hwaccess/client.h>
#include <qdriver/device_keys.h>
#include <qdriver/port_models.h>
#include <qdriver/transport.h>

namespace hw::testing {

using Words = std::vector<uint32_t>;

/// Installs an in-memory registry with the workbench devices and a driver with
/// the given platform id; the bus holds a latch at 0x378 and a scripted card at
/// 0x210.
class HwFixture : public ::testing::Test {
protected:
    std::shared_ptr<registry::Registry> reg = registry::Registry::InMemory();
    std::shared_ptr<qdriver::IoBus> bus = std::make_shared<qdriver::IoBus>();
    std::shared_ptr<qdriver::LatchPorts> latch = std::make_shared<qdriver::LatchPorts>(3);
    std::shared_ptr<qdriver::ScriptedPorts> card = std::make_shared<qdriver::ScriptedPorts>();
    std::shared_ptr<qdriver::Driver> driver;

    void SetUp() override
    {
        bus->Attach(0x378, 3, latch);
        bus->Attach(0x210, 4, card);
        registry::UseSystem(reg);
        Boot(qdriver::wire::kPlatformNt);
    }

    void TearDown() override
    {
        qdriver::UseDriver(nullptr);
        registry::UseSystem(nullptr);
        ForgetPlatformId();
    }

    /// Starts a new driver over the same registry and bus.
    void Boot(int platformId)
    {
        qdriver::ProvisionWorkbenchDevices(*reg, platformId);
        driver =
            std::make_shared<qdriver::Driver>(qdriver::DriverOptions{reg, bus, platformId, {}});
        qdriver::UseDriver(driver);
        ForgetPlatformId();
    }

    /// Changes the stored configuration of device `name` and starts a new NT
    /// driver that reads it.
    template <typename Change> void Reconfigure(const char* name, Change change)
    {
        HwDeviceConfig config;
        hw::HwGetDeviceConfig(name, &config);
        change(config);
        ASSERT_TRUE(hw::HwConfigureDevice(name, &config));
        Boot(qdriver::wire::kPlatformNt);
    }

    /// The input of the n-th logged request, as words.
    static Words InputWords(const qdriver::LoggedRequest& r)
    {
        Words w(r.input.size() / 4);
        std::memcpy(w.data(), r.input.data(), w.size() * 4);
        return w;
    }

    static std::string InputText(const qdriver::LoggedRequest& r)
    {
        return std::string(r.input.begin(), r.input.end());
    }
};

/// An HwFixture whose test drives one device, deleted when the test ends.
class DeviceFixture : public HwFixture {
protected:
    HwDevice* device = nullptr;

    /// Creates the device with `callback` and connects it to device `name`.
    void Connect(const char* name, HwInterruptCallback callback = nullptr)
    {
        device = hw::HwNewDevice(callback);
        ASSERT_TRUE(hw::HwConnectDevice(device, name));
    }

    void TearDown() override
    {
        if (device)
            hw::HwDeleteDevice(device);
        HwFixture::TearDown();
    }
};

} // namespace hw::testing
