#include "driver_fixture.h"

namespace qdriver::testing {
namespace {

using namespace wire;

using DeviceControlTest = DriverFixture;

TEST_F(DeviceControlTest, NtOpensRunningDevicesByNameOnly)
{
    Load();
    win32::Status error = 0;
    for (const char* path : {"\\\\.\\LPT", "\\\\.\\c832", "\\\\.\\_Default30"})
        EXPECT_NE(driver->Open(path, 0, &error), kInvalidHandle) << path;
    for (const char* path : {"\\\\.\\QUENLO.VXD", "\\\\.\\nothing", "lpt"}) {
        EXPECT_EQ(driver->Open(path, 0, &error), kInvalidHandle) << path;
        EXPECT_EQ(error, win32::kFileNotFound);
    }
    EXPECT_EQ(driver->Close(12345), win32::kInvalidHandle);
}

TEST_F(DeviceControlTest, StartStopAndConflictsFollowTheConfiguration)
{
    Configure("later", {{kPortBase, 0x300}, {kPortCount, 4}, {kDynamic, 1}});
    Configure("clash", {{kPortBase, 0x212}, {kPortCount, 2}, {kDynamic, 1}});
    Configure("shared",
              {{kPortBase, 0x212}, {kPortCount, 2}, {kDynamic, 1}, {kIgnoreConflicts, 1}});
    Load();
    EXPECT_FALSE(driver->IsRunning("later"));
    Handle control = Open(kDefaultDevice);
    Handle lpt = Open("lpt");
    EXPECT_EQ(SendName(control, kStartDevice, "later"), win32::kSuccess);
    EXPECT_TRUE(driver->IsRunning("LATER"));
    EXPECT_EQ(SendName(control, kStartDevice, "later"), win32::kAlreadyExists);
    EXPECT_EQ(SendName(control, kStartDevice, "unknown"), win32::kFileNotFound);
    EXPECT_EQ(SendName(control, kStartDevice, "clash"), win32::kInvalidAddress);
    EXPECT_EQ(SendName(control, kStartDevice, "shared"), win32::kSuccess);
    EXPECT_EQ(SendName(lpt, kStartDevice, "clash"), win32::kInvalidFunction);

    Handle later = Open("later");
    EXPECT_EQ(SendName(control, kStopDevice, "later"), win32::kFileNotFound);
    EXPECT_EQ(SendName(control, kStopDevice, "\\Device\\later"), win32::kSuccess);
    EXPECT_EQ(SendName(control, kStopDevice, "\\Device\\_Default30"), win32::kAccessDenied);
    Words out(1);
    EXPECT_EQ(Send(later, kGetProperty, {0, 1, 0, 0}, &out), win32::kDeviceNotConnected);
    uint32_t returned = 0;
    const char unterminated[3] = {'l', 'p', 't'};
    EXPECT_EQ(driver->Control(control, kStopDevice, unterminated, 3, nullptr, 0, &returned),
              win32::kInvalidParameter);
}

TEST_F(DeviceControlTest, SystemResourcesRefuseDevicesThatDoNotIgnoreConflicts)
{
    Configure("printer", {{kPortBase, 0x37A}, {kPortCount, 1}});
    Configure("irq7", {{kInterruptLevel, 7}});
    Configure("memory", {{kMemBase, 0xD0000}, {kMemCount, 0x1000}});
    Configure("memory2", {{kMemBase, 0xD0800}, {kMemCount, 0x1000}});
    Load({{Resource::Ports, 0x378, 8}, {Resource::Interrupt, 7}});
    EXPECT_TRUE(driver->IsRunning("lpt"));
    EXPECT_FALSE(driver->IsRunning("printer"));
    EXPECT_FALSE(driver->IsRunning("irq7"));
    EXPECT_NE(driver->IsRunning("memory"), driver->IsRunning("memory2"));
}

TEST_F(DeviceControlTest, Windows9xUsesTheVxdAndContexts)
{
    platform = kPlatform9x;
    Load();
    win32::Status error = 0;
    EXPECT_EQ(driver->Open("\\\\.\\lpt", 0, &error), kInvalidHandle);
    Handle vxd = Open("quenlo.vxd");
    Words ctx(1);
    uint32_t returned = 0;
    ASSERT_EQ(driver->Control(vxd, kOpenContext, "lpt", 3, ctx.data(), 4, &returned),
              win32::kSuccess);
    EXPECT_EQ(returned, 4u);
    EXPECT_NE(ctx[0], 0u);
    EXPECT_NE(ctx[0], kNoContext);
    Words other(1);
    ASSERT_EQ(driver->Control(vxd, kOpenContext, "nobody", 6, other.data(), 4, &returned),
              win32::kSuccess);
    EXPECT_EQ(other[0], kNoContext);

    Words q = Queue(1, 0, {{kOpOut + 1, 0, 0x3C}});
    q[0] = ctx[0];
    ASSERT_EQ(Execute(vxd, q), win32::kSuccess);
    EXPECT_EQ(latch->Register(0), 0x3C);
    q[0] = 999;
    EXPECT_EQ(Execute(vxd, q), win32::kDeviceNotConnected);
    EXPECT_EQ(SendName(vxd, kStopDevice, "lpt"), win32::kSuccess);
    EXPECT_FALSE(driver->IsRunning("lpt"));
}

TEST_F(DeviceControlTest, RequestsAreLoggedWithTheirBytesAndFaultsApply)
{
    Load();
    Handle lpt = Open("lpt");
    driver->InjectFault({kGetProperty, win32::kGenFailure, std::nullopt});
    Words out(1);
    EXPECT_EQ(Send(lpt, kGetProperty, {0, 2, 0, 0}, &out), win32::kGenFailure);
    uint32_t returned = 0;
    driver->InjectFault({kGetProperty, win32::kSuccess, 2u});
    EXPECT_EQ(Send(lpt, kGetProperty, {0, 2, 0, 0}, &out, &returned), win32::kSuccess);
    EXPECT_EQ(returned, 2u);
    EXPECT_EQ(Send(lpt, kGetProperty, {0, 2, 0, 0}, &out, &returned), win32::kSuccess);
    EXPECT_EQ(returned, 4u);
    auto log = driver->Log();
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[0].device, "lpt");
    EXPECT_EQ(log[0].code, kGetProperty);
    EXPECT_EQ(log[0].input, (std::vector<uint8_t>{0, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(log[0].status, win32::kGenFailure);
    EXPECT_EQ(log[0].outputLength, 4u);
    driver->ClearLog();
    EXPECT_TRUE(driver->Log().empty());

    for (uint32_t id = 0; id <= kRequestLogLimit; ++id)
        Send(lpt, kGetProperty, {0, id, 0, 0}, &out);
    log = driver->Log();
    ASSERT_EQ(log.size(), kRequestLogLimit);
    EXPECT_EQ(log.front().input[4], 1); // the oldest request made room

    std::vector<uint8_t> big(1 << 20);
    for (uint32_t id = 0; id < 20; ++id) {
        big[4] = uint8_t(id);
        uint32_t returned = 0;
        driver->Control(lpt, kGetProperty, big.data(), uint32_t(big.size()), out.data(), 4,
                        &returned);
    }
    log = driver->Log();
    size_t bytes = 0;
    for (const LoggedRequest& r : log)
        bytes += r.input.size();
    EXPECT_LE(bytes, kRequestLogBytes);
    EXPECT_EQ(log.back().input[4], 19);
}

} // namespace
} // namespace qdriver::testing
