#include "qdriver/transport.h"

#include <thread>

#include "driver_fixture.h"
#include "qdriver/address_table.h"

namespace qdriver::testing {
namespace {

class TransportTest : public DriverFixture {
 protected:
  void SetUp() override {
    DriverFixture::SetUp();
    platform = wire::kPlatform9x;
    ProvisionWorkbenchDevices(*reg, platform);
    shared = std::make_shared<Driver>(DriverOptions{reg, bus, platform, {}});
    UseDriver(shared);
  }
  void TearDown() override { UseDriver(nullptr); }
  std::shared_ptr<Driver> shared;
};

TEST_F(TransportTest, CallsReachTheCurrentDriverAndKeepTheLastErrorPerThread) {
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
  EXPECT_FALSE(DeviceControlAsync(vxd, wire::kGetProperty, &context, 4, nullptr, 0, &returned, [](auto, auto) {}));
  EXPECT_EQ(LastError(), win32::kInvalidParameter);
  EXPECT_TRUE(CancelRequests(vxd));
  EXPECT_TRUE(CloseDevice(vxd));
  EXPECT_FALSE(CloseDevice(vxd));
  EXPECT_EQ(LastError(), win32::kInvalidHandle);
}

TEST(AddressTableTest, TokensStandForAddressesUntilReleased) {
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

}  // namespace
}  // namespace qdriver::testing
