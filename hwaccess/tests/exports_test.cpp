#include "hwaccess/qnlo34.h"

#include <dlfcn.h>

#include "hw_fixture.h"

namespace hw::testing {
namespace {

class ExportsTest : public HwFixture { };

TEST_F(ExportsTest, ShortRecordsLeaveBytes68To95Untouched)
{
    HwDeviceConfig c;
    std::memset(&c, 0xCC, sizeof c);
    EXPECT_EQ(::HwZeroDeviceConfig(&c), 0);
    EXPECT_EQ(c.recordSize, 0xCCCCCCCCu);
    EXPECT_FALSE(::HwConfigureIsrIdOp(&c, 0x81, 1, 2, 3));
    EXPECT_FALSE(::HwConfigureMemoryIo(&c, 1));
    ASSERT_TRUE(::HwGetDeviceConfig("c832", &c));
    EXPECT_EQ(c.PortBase, 0x210u);
    EXPECT_EQ(c.InterfaceType, 1u);
    const uint8_t* tail = reinterpret_cast<const uint8_t*>(&c) + 68;
    EXPECT_EQ(std::vector<uint8_t>(tail, tail + 28), std::vector<uint8_t>(28, 0xCC));
    char name[40];
    ASSERT_TRUE(::HwEnumerateDevices(1, name, &c));
    EXPECT_STREQ(name, "lpt");
    EXPECT_EQ(c.busFlag, 1u);
    EXPECT_EQ(std::vector<uint8_t>(tail, tail + 28), std::vector<uint8_t>(28, 0xCC));

    ::HwConfigureIgnoreConflicts(&c, 1);
    c.IsrOp = 0;
    ASSERT_TRUE(::HwConfigureDevice("short", &c));
    HwDeviceConfig full;
    std::memset(&full, 0, sizeof full);
    full.recordSize = 96;
    full.IsrIdOp = 0x55;
    ASSERT_TRUE(::HwGetDeviceConfig("short", &full));
    EXPECT_EQ(full.IsrIdOp, 0u); // nothing beyond the short record was stored
    EXPECT_EQ(full.MemoryIo, 0u);
    EXPECT_EQ(full.DmaBufSize, 0u);
    EXPECT_EQ(full.PortBase, 0x378u);
    EXPECT_EQ(full.IgnoreConflicts, 1u);
}

TEST_F(ExportsTest, FullRecordsExchangeTheExtraWords)
{
    HwDeviceConfig c;
    std::memset(&c, 0, sizeof c);
    c.recordSize = 96;
    c.InterfaceType = 1;
    EXPECT_TRUE(::HwConfigureIsrIdOp(&c, 0x81, 1, 0x80, 0x80));
    EXPECT_TRUE(::HwConfigureMemoryIo(&c, 1));
    c.DmaBufSize = 4096;
    ASSERT_TRUE(::HwConfigureDevice("full", &c));
    HwDeviceConfig back;
    std::memset(&back, 0, sizeof back);
    back.recordSize = 96;
    ASSERT_TRUE(::HwGetDeviceConfig("full", &back));
    EXPECT_EQ(back.IsrIdMask, 0x80u);
    EXPECT_EQ(back.MemoryIo, 1u);
    EXPECT_EQ(back.DmaBufSize, 4096u);
}

TEST_F(ExportsTest, PortExportsReachTheLatch)
{
    HwDevice* lpt = ::HwNewDevice(nullptr);
    ASSERT_TRUE(::HwConnectDevice(lpt, "lpt"));
    EXPECT_TRUE(::HwOutp(lpt, 0, 0x81));
    EXPECT_EQ(latch->Register(0), 0x81);
    EXPECT_EQ(::HwInp(lpt, 0), 0x81);
    EXPECT_TRUE(::IsOnNT());
    EXPECT_TRUE(::HwDeleteDevice(lpt));
}

TEST(Qnlo34Test, ExportsEveryFunctionByItsCName)
{
    void* library = dlopen("libQnlo34.so", RTLD_NOW | RTLD_NOLOAD);
    ASSERT_NE(library, nullptr);
    const char* names[] = {"IsOnNT",
                           "IsOn95",
                           "HwTrace",
                           "HwAssertionFailure",
                           "HwNewDevice",
                           "CommonConstructDevice",
                           "HwConnectDevice",
                           "HwDisconnectDevice",
                           "HwDeleteDevice",
                           "CommonDestroyDevice",
                           "HwSetProperty",
                           "HwGetProperty",
                           "HwStartDevice",
                           "HwStopDevice",
                           "HwIsDeviceRunning",
                           "HwAllocateOpQueue",
                           "HwDeleteOpQueue",
                           "HwGetQueueBuffer",
                           "HwEnableQueueOption",
                           "HwQueueInPort",
                           "HwQueueInp",
                           "HwQueueInpw",
                           "HwQueueInpl",
                           "HwQueueOutPort",
                           "HwQueueOutp",
                           "HwQueueOutpw",
                           "HwQueueOutpl",
                           "HwQueueBufInPort",
                           "HwQueueBufInp",
                           "HwQueueBufInpw",
                           "HwQueueBufInpl",
                           "HwQueueBufOutPort",
                           "HwQueueBufOutp",
                           "HwQueueBufOutpw",
                           "HwQueueBufOutpl",
                           "HwQueueAndTemp",
                           "HwQueueOrTemp",
                           "HwQueueWhileInpAnd",
                           "HwQueueWhileInpEqual",
                           "HwQueueLoopBack",
                           "HwQueueBreakIfAnd",
                           "HwExecute",
                           "HwInp",
                           "HwInpw",
                           "HwInpl",
                           "HwOutp",
                           "HwOutpw",
                           "HwOutpl",
                           "HwAutoIncReadPort",
                           "HwAutoIncWritePort",
                           "HwMapPorts",
                           "HwMapPortsEx",
                           "HwUnmapPorts",
                           "HwGetBusDataByOffset",
                           "HwSetBusDataByOffset",
                           "HwZeroDeviceConfig",
                           "HwConfigurePortRange",
                           "HwConfigureInterrupt",
                           "HwConfigureIsrOp",
                           "HwConfigureIsrIdOp",
                           "HwConfigureMemRange",
                           "HwConfigureIgnoreConflicts",
                           "HwConfigureMemoryIo",
                           "HwConfigureDevice",
                           "HwGetDeviceConfig",
                           "HwEnumerateDevices",
                           "HwDeleteDeviceConfiguration",
                           "HwIsDriverConfigured",
                           "HwConfigureDriver"};
    EXPECT_EQ(sizeof names / sizeof names[0], 69u);
    for (const char* name : names)
        EXPECT_NE(dlsym(library, name), nullptr) << name;
    dlclose(library);
}

} // namespace
} // namespace hw::testing
