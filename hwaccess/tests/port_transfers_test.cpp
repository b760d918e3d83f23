#include "hw_fixture.h"
#include <hwaccess/client.h>

namespace hw::testing {
namespace {

using namespace qdriver::wire;

class PortTransfersTest : public DeviceFixture {
protected:
    void ConnectAndClearLog(const char* name)
    {
        Connect(name);
        driver->ClearLog();
    }
};

TEST_F(PortTransfersTest, BlockReadsAreBufferedUpTo1000BytesOnNt)
{
    ConnectAndClearLog("c832");
    std::vector<uint8_t> buffer(1001);
    card->Script(0, {0x3C});
    ASSERT_TRUE(HwAutoIncReadPort(device, 0, 0, buffer.data(), 1000, 1));
    ASSERT_TRUE(HwAutoIncReadPort(device, 0, 0, buffer.data(), 1001, 1));
    ASSERT_TRUE(HwAutoIncReadPort(device, 1, 0, buffer.data(), 2, 5));
    auto log = driver->Log();
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[0].code, 0x228180u);
    EXPECT_EQ(InputWords(log[0]), (Words{0, 0, 0, 1000, 1, 0, 0, 0}));
    EXPECT_EQ(log[0].outputLength, 1000u);
    EXPECT_EQ(log[1].code, 0x228161u);
    EXPECT_EQ(InputWords(log[1]), (Words{0, 0, 0, 1001, 1, 0, 0, 0}));
    EXPECT_EQ(InputWords(log[2]), (Words{0, 1, 0, 2, 1, 1, 0, 0}));
    EXPECT_EQ(buffer[1000], 0x3C);
}

TEST_F(PortTransfersTest, BlockWritesJoinHeaderAndDataUpTo1000BytesOnNt)
{
    ConnectAndClearLog("lpt");
    const uint8_t data[2] = {0x11, 0x22};
    ASSERT_TRUE(HwAutoIncWritePort(device, 0, 0, data, 2, 5));
    EXPECT_EQ(latch->Register(0), 0x11);
    EXPECT_EQ(latch->Register(1), 0x22);
    auto buffered = driver->Log().back();
    EXPECT_EQ(buffered.code, 0x228184u);
    EXPECT_EQ(buffered.input.size(), 34u);
    EXPECT_EQ(buffered.outputLength, 0u);
    EXPECT_EQ(buffered.input[32], 0x11);
    std::vector<uint8_t> big(1001, 0x7E);
    ASSERT_TRUE(HwAutoIncWritePort(device, 0, 0, big.data(), 1001, 1));
    auto direct = driver->Log().back();
    EXPECT_EQ(direct.code, 0x228166u);
    EXPECT_EQ(InputWords(direct), (Words{0, 0, 0, 1001, 1, 0, 0, 0}));
    EXPECT_EQ(direct.outputLength, 1001u);
    EXPECT_EQ(latch->Register(0), 0x7E);
    driver->ClearLog();
    EXPECT_FALSE(HwAutoIncWritePort(device, 0, 0, nullptr, 2, 1));
    EXPECT_EQ(qdriver::LastError(), win32::kInvalidParameter);
    EXPECT_FALSE(HwSetBusDataByOffset(device, 0, nullptr, 2));
    EXPECT_TRUE(driver->Log().empty());
}

TEST_F(PortTransfersTest, Windows9xAlwaysTransfersDirect)
{
    Boot(kPlatform9x);
    ConnectAndClearLog("lpt");
    uint8_t data[2] = {1, 2};
    ASSERT_TRUE(HwAutoIncWritePort(device, 0, 1, data, 2, 1));
    ASSERT_TRUE(HwAutoIncReadPort(device, 0, 1, data, 2, 1));
    auto log = driver->Log();
    EXPECT_EQ(log[0].code, 0x228166u);
    EXPECT_EQ(log[1].code, 0x228161u);
    EXPECT_EQ(InputWords(log[1]), (Words{3, 0, 1, 2, 1, 0, 0, 0}));
    EXPECT_EQ(data[1], 2);
}

TEST_F(PortTransfersTest, Windows9xRequestsStartWithTheDeviceContext)
{
    Boot(kPlatform9x);
    ConnectAndClearLog("lpt");
    ASSERT_EQ(device->driverContext, 3u);
    uint32_t value = 0, read = 0;
    const uint8_t data[1] = {0x44};
    HwOpQueue* q = HwAllocateOpQueue(0, 1, 0);
    HwQueueOutp(q, 0, 0x44);
    ASSERT_TRUE(HwExecute(device, q));
    HwDeleteOpQueue(q);
    EXPECT_EQ(latch->Register(0), 0x44);
    EXPECT_EQ(HwInp(device, 0), 0x44);
    ASSERT_TRUE(HwMapPorts(device, 0x2F8, 8, &value));
    ASSERT_TRUE(HwUnmapPorts(device, value));
    ASSERT_TRUE(HwSetBusDataByOffset(device, 0, data, 1));
    ASSERT_TRUE(HwGetBusDataByOffset(device, 0, &read, 1));
    EXPECT_EQ(read, 0x44u);
    ASSERT_TRUE(HwGetProperty(device, 1, &value));
    const uint32_t codes[] = {0x228120, 0x228120, 0x228150, 0x228154, 0x2281A0, 0x22819C, 0x228148};
    auto log = driver->Log();
    ASSERT_EQ(log.size(), std::size(codes));
    for (size_t i = 0; i < log.size(); ++i) {
        EXPECT_EQ(log[i].code, codes[i]) << i;
        EXPECT_EQ(InputWords(log[i])[0], 3u) << std::hex << codes[i];
    }
}

TEST_F(PortTransfersTest, MapPortsSendsItsWordsInOrderAndNeedsA24ByteReply)
{
    ConnectAndClearLog(nullptr);
    uint32_t value = 0x99;
    ASSERT_TRUE(HwMapPortsEx(device, 0x2F8, 8, 1, 0, &value));
    EXPECT_EQ(driver->Log().back().code, 0x228150u);
    EXPECT_EQ(InputWords(driver->Log().back()), (Words{0, 1, 0, 0x2F8, 8, 0x99, 0, 0}));
    EXPECT_EQ(driver->Log().back().outputLength, 24u);
    EXPECT_EQ(value, 1u);
    uint32_t second = 0;
    ASSERT_TRUE(HwMapPorts(device, 0x3F8, 8, &second));
    EXPECT_EQ(InputWords(driver->Log().back()), (Words{0, 1, 0, 0x3F8, 8, 0, 0, 0}));
    EXPECT_EQ(second, 2u);

    uint32_t untouched = 0x55;
    EXPECT_FALSE(HwMapPorts(device, 0x210, 2, &untouched)); // refused: the card owns it
    EXPECT_EQ(untouched, 0x55u);
    driver->InjectFault({kMapPorts, win32::kSuccess, 20u});
    EXPECT_FALSE(HwMapPorts(device, 0x2E8, 8, &untouched));
    EXPECT_EQ(untouched, 0x55u);
    EXPECT_FALSE(HwMapPorts(device, 0x2E8, 8, nullptr));

    ASSERT_TRUE(HwUnmapPorts(device, 1));
    EXPECT_EQ(driver->Log().back().code, 0x228154u);
    EXPECT_EQ(InputWords(driver->Log().back()), (Words{0, 1, 0, 0}));
    EXPECT_FALSE(HwUnmapPorts(device, 1));
}

TEST_F(PortTransfersTest, BusDataTravelsAfterAHeaderWithDataAtByte28)
{
    ConnectAndClearLog("c832");
    const uint8_t data[3] = {0xA1, 0xA2, 0xA3};
    ASSERT_TRUE(HwSetBusDataByOffset(device, 0x10, data, 3));
    auto set = driver->Log().back();
    EXPECT_EQ(set.code, 0x2281A0u);
    EXPECT_EQ(set.input.size(), 35u);
    EXPECT_EQ(set.outputLength, 0u);
    EXPECT_EQ(std::vector<uint8_t>(set.input.begin(), set.input.begin() + 12),
              (std::vector<uint8_t>{0, 0, 0, 0, 0x10, 0, 0, 0, 3, 0, 0, 0}));
    EXPECT_EQ(std::vector<uint8_t>(set.input.begin() + 12, set.input.end()),
              (std::vector<uint8_t>{0, 0, 0, 0, 0,    0,    0,    0, 0, 0, 0, 0,
                                    0, 0, 0, 0, 0xA1, 0xA2, 0xA3, 0, 0, 0, 0}));
    uint8_t read[3] = {};
    ASSERT_TRUE(HwGetBusDataByOffset(device, 0x10, read, 3));
    EXPECT_EQ(driver->Log().back().code, 0x22819Cu);
    EXPECT_EQ(InputWords(driver->Log().back()), (Words{0, 0x10, 3, 0, 0, 0, 0, 0}));
    EXPECT_EQ(read[2], 0xA3);
    EXPECT_FALSE(HwSetBusDataByOffset(device, 0, data, 0xFFFFFFF0u));
}

} // namespace
} // namespace hw::testing
