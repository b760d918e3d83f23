#include <csignal>

#include "hw_fixture.h"
#include "hwaccess/src/debug_output.h"
#include <hwaccess/client.h>

namespace hw::testing {
namespace {

using namespace qdriver::wire;

class DeviceTest : public HwFixture { };

TEST_F(DeviceTest, PlatformTestsFollowTheDriverAndCacheOnlyKnownIds)
{
    EXPECT_TRUE(IsOnNT());
    EXPECT_FALSE(IsOn95());
    auto nt = driver;
    Boot(kPlatform9x);
    EXPECT_TRUE(IsOn95());
    qdriver::UseDriver(
        std::make_shared<qdriver::Driver>(qdriver::DriverOptions{reg, bus, kPlatformNt, {}}));
    EXPECT_TRUE(IsOn95()); // cached
    ForgetPlatformId();
    qdriver::UseDriver(std::make_shared<qdriver::Driver>(qdriver::DriverOptions{reg, bus, 3, {}}));
    EXPECT_FALSE(IsOnNT());
    EXPECT_FALSE(IsOn95());
    qdriver::UseDriver(nt);
    EXPECT_TRUE(IsOnNT()); // another id was not cached
}

TEST_F(DeviceTest, ConstructionConnectionAndDisconnection)
{
    HwDevice* device = HwNewDevice(nullptr);
    ASSERT_NE(device, nullptr);
    EXPECT_EQ(device->syncHandle, -1);
    EXPECT_EQ(device->overlappedHandle, -1);
    EXPECT_EQ(device->callerData, nullptr);
    EXPECT_NE(device->stopEvent, nullptr);
    EXPECT_TRUE(HwDisconnectDevice(device)); // never connected: nothing
    ASSERT_TRUE(HwConnectDevice(device, nullptr));
    EXPECT_NE(device->syncHandle, -1);
    EXPECT_NE(device->overlappedHandle, -1);
    EXPECT_EQ(device->driverContext, 0u);
    uint32_t value = 7;
    ASSERT_TRUE(HwGetProperty(device, 2, &value));
    EXPECT_EQ(driver->Log().back().device, "_Default30");
    EXPECT_FALSE(HwConnectDevice(device, "nothing"));
    EXPECT_EQ(qdriver::LastError(), win32::kFileNotFound);
    EXPECT_EQ(device->syncHandle, -1);
    ASSERT_TRUE(HwConnectDevice(device, "lpt"));
    HwDeleteDevice(device);
}

TEST_F(DeviceTest, ReconnectingClosesTheOldHandles)
{
    HwDevice device;
    CommonConstructDevice(&device, nullptr);
    ASSERT_TRUE(HwConnectDevice(&device, "lpt"));
    const int32_t oldSync = device.syncHandle, oldOverlapped = device.overlappedHandle;
    ASSERT_TRUE(HwConnectDevice(&device, "c832"));
    for (int32_t old : {oldSync, oldOverlapped}) {
        EXPECT_FALSE(qdriver::CloseDevice(old));
        EXPECT_EQ(qdriver::LastError(), win32::kInvalidHandle);
    }
    CommonDestroyDevice(&device);
    EXPECT_EQ(device.syncHandle, -1);
    EXPECT_EQ(device.stopEvent, nullptr);
}

TEST_F(DeviceTest, Windows9xConnectsWithAContextHandshake)
{
    Boot(kPlatform9x);
    HwDevice* device = HwNewDevice(nullptr);
    ASSERT_TRUE(HwConnectDevice(device, "lpt"));
    auto log = driver->Log();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].code, 0x228198u);
    EXPECT_EQ(log[0].device, "QUENLO.VXD");
    EXPECT_EQ(InputText(log[0]), "lpt");
    EXPECT_EQ(log[0].outputLength, 4u);
    EXPECT_EQ(device->driverContext, 3u); // "_Default30" 1, "c832" 2, "lpt" 3
    ASSERT_TRUE(HwSetProperty(device, 1, 0));
    EXPECT_EQ(InputWords(driver->Log().back()), (Words{3, 1, 0, 0}));
    const int32_t vxdHandle = device->syncHandle;

    EXPECT_FALSE(HwConnectDevice(device, "absent")); // the driver answers context -1
    EXPECT_EQ(device->syncHandle, -1);
    EXPECT_FALSE(qdriver::CloseDevice(vxdHandle));
    HwDeleteDevice(device);
}

TEST_F(DeviceTest, PropertyRequestsCarryContextIdValueAndZero)
{
    HwDevice* device = HwNewDevice(nullptr);
    ASSERT_TRUE(HwConnectDevice(device, "c832"));
    uint32_t value = 0xEE;
    ASSERT_TRUE(HwGetProperty(device, 2, &value));
    EXPECT_EQ(value, 0u);
    auto get = driver->Log().back();
    EXPECT_EQ(get.code, 0x228148u);
    EXPECT_EQ(InputWords(get), (Words{0, 2, 0, 0}));
    EXPECT_EQ(get.outputLength, 4u);
    EXPECT_FALSE(HwSetProperty(device, 1, 1)); // interrupt not connected
    auto set = driver->Log().back();
    EXPECT_EQ(set.code, 0x22814Cu);
    EXPECT_EQ(InputWords(set), (Words{0, 1, 1, 0}));
    EXPECT_EQ(set.outputLength, 0u);
    HwDeleteDevice(device);
}

TEST_F(DeviceTest, StartIsSkippedForRunningDevicesAndStopNamesFollowThePlatform)
{
    registry::HKEY key = 0;
    reg->CreateKey(registry::kLocalMachine, qdriver::DeviceParentPath(kPlatformNt) + "\\later",
                   registry::kKeyAllAccess, &key);
    reg->SetDword(key, "Dynamic", 1);
    reg->CloseKey(key);
    Boot(kPlatformNt);
    EXPECT_TRUE(HwIsDeviceRunning("lpt"));
    driver->ClearLog();
    EXPECT_TRUE(HwStartDevice("lpt"));
    EXPECT_TRUE(driver->Log().empty());
    EXPECT_FALSE(HwIsDeviceRunning("later"));
    EXPECT_TRUE(HwStartDevice("later"));
    auto start = driver->Log().back();
    EXPECT_EQ(start.code, 0x228190u);
    EXPECT_EQ(start.device, "_Default30");
    EXPECT_EQ(InputText(start), std::string("later\0", 6));
    EXPECT_TRUE(HwStopDevice("later"));
    auto stop = driver->Log().back();
    EXPECT_EQ(stop.code, 0x228194u);
    EXPECT_EQ(InputText(stop), std::string("\\Device\\later\0", 14));
    EXPECT_FALSE(HwStopDevice("later")); // the driver refuses: no such device any more
    EXPECT_FALSE(HwStartDevice("unknown"));
    EXPECT_EQ(qdriver::LastError(), win32::kFileNotFound);

    Boot(kPlatform9x);
    EXPECT_TRUE(HwStopDevice("lpt"));
    auto stop9x = driver->Log().back();
    EXPECT_EQ(stop9x.device, "QUENLO.VXD");
    EXPECT_EQ(InputText(stop9x), std::string("lpt\0", 4));
    EXPECT_FALSE(HwIsDeviceRunning("lpt"));
}

TEST_F(DeviceTest, TraceIsBoundedAndAssertionFailuresOnlyLog)
{
    std::vector<std::string> lines;
    SetDebugSink([&](std::string_view text) { lines.emplace_back(text); });
    HwTrace("%s-%d", "port", 5);
    HwTrace("%s", std::string(2000, 'x').c_str());
    auto previous = std::signal(SIGTRAP, [](int) { std::abort(); });
    HwAssertionFailure("qnlo.c", 42);
    std::signal(SIGTRAP, previous);
    SetDebugSink(nullptr);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "port-5");
    EXPECT_EQ(lines[1], std::string(511, 'x'));
    EXPECT_EQ(lines[2], "Quenlo Assertion Failed: File qnlo.c, Line 42\n");
}

} // namespace
} // namespace hw::testing
