#include <functional>

#include "hw_fixture.h"

namespace hw::testing {
namespace {

using namespace qdriver::wire;

// The C-832 device with 256 bytes of memory at 0xD0000 and a 4096-byte DMA buffer.
class MemoryTest : public DeviceFixture {
protected:
    HwMemory* memory = nullptr;

    void SetUp() override
    {
        DeviceFixture::SetUp();
        Reconfigure("c832", [](HwDeviceConfig& c) {
            HwConfigureMemRange(&c, 0xD0000, 0x100);
            c.DmaBufSize = 4096;
        });
        Connect("c832");
        memory = HwNewMemory();
    }

    void TearDown() override
    {
        HwDeleteMemory(memory);
        DeviceFixture::TearDown();
    }

    Words LastRequest() const { return InputWords(driver->Log().back()); }
    uint32_t PhysicalLong(uint32_t address) const
    {
        uint32_t value = 0;
        EXPECT_TRUE(driver->ReadPhysical(address, &value, 4));
        return value;
    }
};

TEST_F(MemoryTest, KindAndIndexShapeTheMapRequest)
{
    EXPECT_EQ(HwSetMemoryIndex(memory, 2), 0x20003u);
    EXPECT_EQ(HwGetMemoryIndex(memory), 2u);
    EXPECT_FALSE(HwMapDeviceMemory(memory, device)); // the device has no memory index 2
    EXPECT_EQ(driver->Log().back().code, 0x228124u);
    EXPECT_EQ(driver->Log().back().status, win32::kInvalidParameter);
    EXPECT_EQ(LastRequest(), (Words{0, 3, 0, 0, 0, 0, 0, 2}));
    EXPECT_EQ(memory->kindAndIndex, 0x20003u);
    EXPECT_EQ(HwGetMemoryPointer(memory), nullptr);

    const struct {
        const char* name;
        std::function<BOOL()> map;
        Words request;
        uint32_t physical, length;
    } cases[] = {
        {"physical range",
         [&] { return HwMapMemory(memory, 0x1000, 0x100); },
         {0, 0, 1, 0, 0x1000, 0x100, 0, 0},
         0x1000,
         0x100},
        {"device memory",
         [&] { return HwMapDeviceMemory(memory, device); },
         {0, 1, 0, 0, 0, 0, 0, 0},
         0xD0000,
         0x100},
        {"index 0",
         [&] {
             HwSetMemoryIndex(memory, 0);
             return HwMapDeviceMemory(memory, device);
         },
         {0, 3, 0, 0, 0, 0, 0, 0},
         0xD0000,
         0x100},
        {"DMA buffer",
         [&] { return HwMapDmaBuffer(memory, device); },
         {0, 2, 0, 0, 0, 0, 0, 0},
         0x80000000,
         4096},
        {"the same DMA buffer",
         [&] { return HwMapDmaBuffer(memory, device); },
         {0, 2, 0, 0, 0, 0, 0, 0},
         0x80000000,
         4096},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(c.map());
        EXPECT_EQ(LastRequest(), c.request);
        EXPECT_EQ(driver->Log().back().outputLength, 32u);
        EXPECT_EQ(HwGetPhysicalAddress(memory), c.physical);
        EXPECT_EQ(memory->length, c.length);
        EXPECT_NE(HwGetMemoryPointer(memory), nullptr);
        EXPECT_EQ(memory->device, c.request[1] == 0 ? nullptr : device);
    }
}

TEST_F(MemoryTest, UnmappingSendsTheHandleAndAlwaysClearsTheReply)
{
    driver->ClearLog();
    EXPECT_TRUE(HwUnmapMemory(memory)); // not mapped: no request
    EXPECT_TRUE(driver->Log().empty());

    ASSERT_TRUE(HwMapDeviceMemory(memory, device));
    const uint32_t handle = memory->mapping;
    EXPECT_NE(handle, 0u);
    driver->InjectFault({kUnmapMemory, win32::kGenFailure, std::nullopt});
    EXPECT_FALSE(HwUnmapMemory(memory));
    EXPECT_EQ(driver->Log().back().code, 0x228140u);
    EXPECT_EQ(LastRequest(), (Words{0, 1, handle, 0, 0, 0, 0, 0}));
    EXPECT_EQ(driver->Log().back().outputLength, 0u);
    HwMemory cleared{};
    cleared.kindAndIndex = 1;
    cleared.device = device;
    EXPECT_EQ(std::memcmp(memory, &cleared, sizeof cleared), 0);

    ASSERT_TRUE(HwMapDeviceMemory(memory, device));
    EXPECT_TRUE(HwUnmapMemory(memory));
    EXPECT_EQ(driver->Log().back().status, win32::kSuccess);
}

TEST_F(MemoryTest, ItemsLieAtTheirByteOffsetsAndOnlyWithinTheMapping)
{
    uint8_t bytes[20];
    for (int i = 0; i < 20; ++i)
        bytes[i] = uint8_t(0x10 + i);
    ASSERT_TRUE(driver->WritePhysical(0x2000, bytes, sizeof bytes));
    ASSERT_TRUE(HwMapMemory(memory, 0x2000, 16));
    const struct {
        const char* name;
        uint32_t value;
        uint32_t expected;
    } reads[] = {
        {"byte 3", HwReadByteMem(memory, 3), 0x13},
        {"word 3", HwReadWordMem(memory, 3), 0x1716},
        {"long 3", HwReadLongMem(memory, 3), 0x1F1E1D1C},
        {"byte 16", HwReadByteMem(memory, 16), 0},
        {"word 8", HwReadWordMem(memory, 8), 0},
        {"long 4", HwReadLongMem(memory, 4), 0},
    };
    for (const auto& r : reads)
        EXPECT_EQ(r.value, r.expected) << r.name;

    EXPECT_TRUE(HwWriteWordMem(memory, 1, 0xBEEF));
    EXPECT_TRUE(HwWriteByteMem(memory, 15, 0x77));
    EXPECT_FALSE(HwWriteByteMem(memory, 16, 0x77));
    EXPECT_FALSE(HwWriteLongMem(memory, 4, 0xFFFFFFFF));
    EXPECT_FALSE(HwWriteWordMem(memory, 0x80000000, 1)); // 2 x index beyond 32 bits
    EXPECT_EQ(PhysicalLong(0x2000), 0xBEEF1110u);
    EXPECT_EQ(PhysicalLong(0x200C), 0x771E1D1Cu);
    EXPECT_EQ(PhysicalLong(0x2010), 0x23222120u);

    char text[4] = "xyz";
    EXPECT_EQ(HwWriteMemory(memory, 13, text, 3), HwGetMemoryPointer(memory));
    EXPECT_EQ(HwWriteMemory(memory, 14, text, 3), nullptr);
    char back[4] = {};
    EXPECT_EQ(HwReadMemory(memory, 14, back, 3), nullptr);
    EXPECT_STREQ(back, "");
    EXPECT_EQ(HwReadMemory(memory, 13, back, 3), HwGetMemoryPointer(memory));
    EXPECT_STREQ(back, "xyz");

    auto expectNoBytes = [&] {
        EXPECT_EQ(HwReadLongMem(memory, 0), 0u);
        EXPECT_FALSE(HwWriteByteMem(memory, 0, 1));
        EXPECT_EQ(HwReadMemory(memory, 0, back, 1), nullptr);
        EXPECT_EQ(HwWriteMemory(memory, 0, back, 1), nullptr);
    };
    ASSERT_TRUE(HwUnmapMemory(memory));
    expectNoBytes();
    ASSERT_TRUE(HwMapDeviceMemory(memory, device));
    ASSERT_TRUE(HwStopDevice("c832")); // the driver takes the mapping back
    expectNoBytes();
}

TEST_F(MemoryTest, MappingsOfOneAddressShareTheirBytes)
{
    HwMemory* other = HwNewMemory();
    ASSERT_TRUE(HwMapDeviceMemory(memory, device));
    ASSERT_TRUE(HwMapMemory(other, 0xD0010, 8));
    EXPECT_TRUE(HwWriteLongMem(memory, 5, 0xCAFEF00D));
    EXPECT_EQ(HwReadLongMem(other, 1), 0xCAFEF00Du);
    EXPECT_EQ(PhysicalLong(0xD0014), 0xCAFEF00Du);

    ASSERT_TRUE(HwMapDmaBuffer(memory, device));
    ASSERT_TRUE(HwMapMemory(other, 0x80000000, 4096));
    EXPECT_TRUE(HwWriteLongMem(other, 1023, 0x12345678));
    EXPECT_EQ(HwReadLongMem(memory, 1023), 0x12345678u);
    EXPECT_TRUE(HwDeleteMemory(other));
}

TEST_F(MemoryTest, OwnerlessRecordsReachTheDriverThroughATemporaryDevice)
{
    Boot(kPlatform9x); // where connecting shows in the log
    driver->ClearLog();
    ASSERT_TRUE(HwMapMemory(memory, 0x4000, 8));
    const uint32_t handle = memory->mapping;
    ASSERT_TRUE(HwUnmapMemory(memory));
    ASSERT_TRUE(HwMapMemory(memory, 0x4000, 8));
    const auto log = driver->Log();
    ASSERT_EQ(log.size(), 6u);
    EXPECT_EQ(log[0].code, kOpenContext);
    EXPECT_EQ(InputText(log[0]), "_Default30");
    EXPECT_EQ(InputWords(log[1]), (Words{1, 0, 1, 0, 0x4000, 8, 0, 0}));
    EXPECT_EQ(log[2].code, kOpenContext);
    EXPECT_EQ(InputWords(log[3]), (Words{1, 0, handle, 0, 0, 0, 0, 0}));

    // The temporary device is gone; the mapping it made is not.
    EXPECT_TRUE(HwWriteLongMem(memory, 1, 0x600DF00D));
    EXPECT_EQ(PhysicalLong(0x4004), 0x600DF00Du);
}

} // namespace
} // namespace hw::testing
