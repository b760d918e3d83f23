#include <cstring>

#include "driver_fixture.h"

namespace qdriver::testing {
namespace {

using namespace wire;

class PortRequestsTest : public DriverFixture {
protected:
    void SetUp() override
    {
        DriverFixture::SetUp();
        Load();
        lpt = Open("lpt");
        c832 = Open("c832");
        control = Open(kDefaultDevice);
    }
    Handle lpt = kInvalidHandle, c832 = kInvalidHandle, control = kInvalidHandle;
};

TEST_F(PortRequestsTest, MappedPortsBecomeReachableAndConflictsAreRefusedInTheReply)
{
    Words reply(6, 0xEE);
    uint32_t returned = 0;
    ASSERT_EQ(Send(control, kMapPorts, {0, 1, 0, 0x2F8, 8, 0, 0, 0}, &reply, &returned),
              win32::kSuccess);
    EXPECT_EQ(returned, 24u);
    EXPECT_EQ(reply, (Words{1, 1, 0x2F8, 8, 1, 1}));
    auto serial = std::make_shared<ScriptedPorts>(0x60);
    bus->Attach(0x2F8, 8, serial);
    Words q = Queue(1, 0, {{kOpIn + 1, 0x2FD, 0, 0}});
    ASSERT_EQ(Execute(control, q), win32::kSuccess);
    EXPECT_EQ(q[14], 0x60u);

    ASSERT_EQ(Send(control, kMapPorts, {0, 1, 0, 0x378, 2, 0, 0, 0}, &reply, &returned),
              win32::kSuccess);
    EXPECT_EQ(reply[1], 0u);
    EXPECT_EQ(Send(control, kMapPorts, {0, 0, 0, 0x378, 2, 0, 0, 0}, &reply), win32::kNotSupported);
    EXPECT_EQ(Send(control, kMapPorts, {0, 1, 0, 0xFFFF, 2, 0, 0, 0}, &reply),
              win32::kInvalidParameter);

    EXPECT_EQ(Send(control, kUnmapPorts, {0, 1, 0, 0}), win32::kSuccess);
    EXPECT_EQ(Send(control, kUnmapPorts, {0, 1, 0, 0}), win32::kInvalidParameter);
    EXPECT_EQ(Execute(control, q), win32::kAccessDenied);
}

TEST_F(PortRequestsTest, BlockTransfersMoveItemsWithStrideOrAutoIncrement)
{
    uint8_t data[3] = {0x10, 0x20, 0x30};
    uint32_t returned = 0;
    EXPECT_EQ(driver->Control(lpt, kBlockWriteDirect, Words{0, 0, 0, 3, 1, 1, 0, 0}.data(), 32,
                              data, 3, &returned),
              win32::kAccessDenied);
    EXPECT_TRUE(latch->Writes().empty());
    ASSERT_EQ(driver->Control(lpt, kBlockWriteDirect, Words{0, 0, 0, 2, 1, 1, 0, 0}.data(), 32,
                              data, 3, &returned),
              win32::kSuccess);
    EXPECT_EQ(latch->Register(0), 0x10);
    EXPECT_EQ(latch->Register(1), 0x20);

    std::vector<uint8_t> buffered(32 + 4);
    Words header = {0, 0, 0, 4, 2, 0, 0, 0};
    std::memcpy(buffered.data(), header.data(), 32);
    buffered[32] = 0x01, buffered[33] = 0x02, buffered[34] = 0x03, buffered[35] = 0x04;
    ASSERT_EQ(driver->Control(c832, kBlockWrite, buffered.data(), 36, nullptr, 0, &returned),
              win32::kSuccess);
    auto accesses = card->Accesses();
    ASSERT_EQ(accesses.size(), 2u);
    EXPECT_EQ(accesses[0], (PortAccess{true, 0, 2, 0x0201}));
    EXPECT_EQ(accesses[1], (PortAccess{true, 0, 2, 0x0403}));

    card->Script(1, {0xA1, 0xA2});
    card->Script(3, {0xB1});
    uint8_t read[2] = {};
    ASSERT_EQ(driver->Control(c832, kBlockRead, Words{0, 1, 2, 2, 1, 0, 0, 0}.data(), 32, read, 2,
                              &returned),
              win32::kSuccess);
    EXPECT_EQ(returned, 2u);
    EXPECT_EQ(read[0], 0xA1);
    EXPECT_EQ(read[1], 0xB1);

    EXPECT_EQ(driver->Control(c832, kBlockReadDirect, Words{0, 1, 1, 4, 1, 0, 0, 0}.data(), 32,
                              read, 2, &returned),
              win32::kInsufficientBuffer);
    EXPECT_EQ(driver->Control(c832, kBlockReadDirect, Words{0, 3, 1, 2, 2, 0, 0, 0}.data(), 32,
                              read, 2, &returned),
              win32::kAccessDenied);
    EXPECT_EQ(driver->Control(c832, kBlockReadDirect, Words{0, 1, 1, 3, 2, 0, 0, 0}.data(), 32,
                              read, 2, &returned),
              win32::kInvalidParameter);
}

TEST_F(PortRequestsTest, BusDataShowsVendorAndDeviceAndTakesWrites)
{
    Configure("pci", {{kInterfaceType, 5}, {kVendorID, 0x10B5}, {kDeviceID, 0x9050}});
    uint32_t returned = 0;
    std::string name = "pci";
    ASSERT_EQ(driver->Control(control, kStartDevice, name.c_str(), 4, nullptr, 0, &returned),
              win32::kSuccess);
    Handle pci = Open("pci");
    Words ids(1);
    ASSERT_EQ(Send(pci, kGetBusData, {0, 0, 4, 0, 0, 0, 0, 0}, &ids, &returned), win32::kSuccess);
    EXPECT_EQ(returned, 4u);
    EXPECT_EQ(ids[0], 0x905010B5u);
    Words write = {0, 0x40, 4, 0, 0, 0, 0, 0xCAFEF00D};
    ASSERT_EQ(Send(pci, kSetBusData, write), win32::kSuccess);
    ASSERT_EQ(Send(pci, kGetBusData, {0, 0x40, 4, 0, 0, 0, 0, 0}, &ids), win32::kSuccess);
    EXPECT_EQ(ids[0], 0xCAFEF00Du);
    EXPECT_EQ(Send(pci, kGetBusData, {0, 0xFE, 4, 0, 0, 0, 0, 0}, &ids), win32::kInvalidParameter);
}

TEST_F(PortRequestsTest, PropertiesReportInterruptState)
{
    Words value(1, 0xEE);
    ASSERT_EQ(Send(lpt, kGetProperty, {0, 1, 0, 0}, &value), win32::kSuccess);
    EXPECT_EQ(value[0], 0u);
    EXPECT_EQ(Send(lpt, kSetProperty, {0, 1, 1, 0}), win32::kInvalidParameter);
    EXPECT_EQ(Send(lpt, kSetProperty, {0, 1, 0, 0}), win32::kSuccess);
    EXPECT_EQ(Send(lpt, kSetProperty, {0, 2, 1, 0}), win32::kAccessDenied);
    EXPECT_EQ(Send(lpt, kGetProperty, {0, 3, 0, 0}, &value), win32::kInvalidParameter);
    Words reply(5);
    ASSERT_EQ(Send(lpt, kConnectInterrupt, {0, 1, 0, 5, 5, 1}, &reply), win32::kSuccess);
    EXPECT_EQ(reply, (Words{3, 5, 5, 1, 0}));
    ASSERT_EQ(Send(lpt, kGetProperty, {0, 2, 0, 0}, &value), win32::kSuccess);
    EXPECT_EQ(value[0], 1u);
    EXPECT_EQ(Send(lpt, kSetProperty, {0, 1, 1, 0}), win32::kSuccess);
    ASSERT_EQ(Send(lpt, kGetProperty, {0, 1, 0, 0}, &value), win32::kSuccess);
    EXPECT_EQ(value[0], 1u);
    EXPECT_EQ(Send(lpt, kSetProperty, {0, 1, 2, 0}), win32::kInvalidParameter);
}

} // namespace
} // namespace qdriver::testing
