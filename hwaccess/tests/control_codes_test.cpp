#include <gtest/gtest.h>

#include <qdriver/wire.h>

namespace qdriver::wire {
namespace {

TEST(ControlCodesTest, EachCodeIsItsFunctionMethodAndAccessOnDeviceType22)
{
    struct Code {
        uint32_t code, value, function, method;
    };
    for (const Code& c :
         {Code{kExecuteQueue, 0x228120, 0x48, 0}, Code{kMapMemory, 0x228124, 0x49, 0},
          Code{kUnmapMemory, 0x228140, 0x50, 0}, Code{kWaitInterrupt, 0x228144, 0x51, 0},
          Code{kGetProperty, 0x228148, 0x52, 0}, Code{kSetProperty, 0x22814C, 0x53, 0},
          Code{kMapPorts, 0x228150, 0x54, 0}, Code{kUnmapPorts, 0x228154, 0x55, 0},
          Code{kConnectInterrupt, 0x228158, 0x56, 0}, Code{kDisconnectInterrupt, 0x22815C, 0x57, 0},
          Code{kBlockReadDirect, 0x228161, 0x58, 1}, Code{kBlockWriteDirect, 0x228166, 0x59, 2},
          Code{kBlockRead, 0x228180, 0x60, 0}, Code{kBlockWrite, 0x228184, 0x61, 0},
          Code{kStartDevice, 0x228190, 0x64, 0}, Code{kStopDevice, 0x228194, 0x65, 0},
          Code{kOpenContext, 0x228198, 0x66, 0}, Code{kGetBusData, 0x22819C, 0x67, 0},
          Code{kSetBusData, 0x2281A0, 0x68, 0}}) {
        EXPECT_EQ(c.code, c.value) << std::hex << c.value;
        EXPECT_EQ(DeviceTypeOf(c.value), 0x22u);
        EXPECT_EQ(AccessOf(c.value), 2u) << std::hex << c.value; // FILE_WRITE_ACCESS
        EXPECT_EQ(FunctionOf(c.value), c.function) << std::hex << c.value;
        EXPECT_EQ(MethodOf(c.value), c.method) << std::hex << c.value;
    }
}

} // namespace
} // namespace qdriver::wire
