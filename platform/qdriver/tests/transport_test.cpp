#include <qdriver/transport.h>

#include <thread>

#include "driver_fixture.h"
#include "tests/support/scoped_setting.h"
#include <qdriver/address_table.h>

namespace qdriver::testing {
namespace {

class TransportTest : public DriverFixture {
protected:
    void SetUp() override
    {
        DriverFixture::SetUp();
        platform = wire::kPlatform9x;
        ProvisionWorkbenchDevices(*reg, platform);
        shared = std::make_shared<Driver>(DriverOptions{reg, bus, platform, {}});
        UseDriver(shared);
    }
    void TearDown() override { UseDriver(nullptr); }
    std::shared_ptr<Driver> shared;
};

TEST_F(TransportTest, CallsReachTheCurrentDriverAndKeepTheLastErrorPerThread)
{
    EXPECT_EQ(PlatformId(), wire::kPlatform9x);
    SetLastError(0);
    EXPECT_EQ(OpenDevice("\\\\.\\lpt"), kInvalidHandle);
    EXPECT_EQ(LastError(), win32::kFileNotFound);
    std::thread([] { EXPECT_EQ(LastError(), win32::kSuccess); }).join();
    Handle vxd = OpenDevice(wire::kVxdPath);
    ASSERT_NE(vxd, kInvalidHandle);
    uint32_t context = 0, returned = 0;
    ASSERT_TRUE(DeviceControl(vxd, wire::kOpenContext, "lpt", 3, &context, 4, &returned));
    EXPECT_FALSE(DeviceControl(vxd, 0x22FFFC, &context, 4, nullptr, 0, &returned));
    EXPECT_EQ(LastError(), win32::kInvalidFunction);
    EXPECT_FALSE(DeviceControlAsync(vxd, wire::kGetProperty, &context, 4, nullptr, 0, &returned,
                                    [](auto, auto) {}));
    EXPECT_EQ(LastError(), win32::kInvalidParameter);
    EXPECT_TRUE(CancelRequests(vxd));
    EXPECT_TRUE(CloseDevice(vxd));
    EXPECT_FALSE(CloseDevice(vxd));
    EXPECT_EQ(LastError(), win32::kInvalidHandle);
}

TEST(AddressTableTest, TokensStandForAddressesUntilReleased)
{
    uint32_t a = 0, b = 0;
    EXPECT_EQ(RegisterAddress(nullptr), 0u);
    uint32_t ta = RegisterAddress(&a), tb = RegisterAddress(&b);
    EXPECT_NE(ta, 0u);
    EXPECT_NE(ta, tb);
    EXPECT_EQ(AddressOf(ta), &a);
    ReleaseAddress(ta);
    EXPECT_EQ(AddressOf(ta), nullptr);
    EXPECT_EQ(AddressOf(tb), &b);
    ReleaseAddress(tb);
}

} // namespace
} // namespace qdriver::testing

namespace qdriver::testing {
namespace {

TEST(SystemDriverTest, HoldsTheWorkbenchDevicesAndTheirModels)
{
    const auto path = std::filesystem::temp_directory_path() /
                      ("ondula-system-registry-" + std::to_string(::getpid()));
    std::filesystem::remove(path);
    const ScopedVariable registryPath("ONDULA_REGISTRY", path.c_str());
    registry::UseSystem(nullptr);
    UseDriver(nullptr);
    auto driver = CurrentDriver();
    EXPECT_EQ(PlatformId(), wire::kPlatformNt);
    EXPECT_TRUE(driver->IsRunning("c832"));
    EXPECT_TRUE(driver->IsRunning("lpt"));
    EXPECT_TRUE(std::filesystem::exists(path));
    Handle lpt = OpenDevice("\\\\.\\lpt");
    ASSERT_NE(lpt, kInvalidHandle);
    Words q = Queue(2, 0, {{wire::kOpOut + 1, 0, 0x5A}, {wire::kOpIn + 1, 0, 0, 0}});
    uint32_t returned = 0;
    ASSERT_TRUE(DeviceControl(lpt, wire::kExecuteQueue, q.data(), uint32_t(q.size() * 4), q.data(),
                              uint32_t(q.size() * 4), &returned));
    EXPECT_EQ(q[12 + 8 + 2], 0x5Au);
    CloseDevice(lpt);
    // The C-832 card answers its status port, unless its slot is emptied.
    ScopedVariable noCard("ONDULA_NO_C832", nullptr);
    for (bool empty : {false, true}) {
        UseDriver(nullptr);
        noCard.Set(empty ? "1" : nullptr);
        IoBus& bus = CurrentDriver()->Bus();
        bus.Out(0x210, 1, 0x80);
        EXPECT_EQ(bus.In(0x211, 1), empty ? 0xFFu : 0x00u);
    }
    noCard.Set(nullptr);
    UseDriver(nullptr);
    registry::UseSystem(nullptr);
    std::filesystem::remove(path);
}

} // namespace
} // namespace qdriver::testing
