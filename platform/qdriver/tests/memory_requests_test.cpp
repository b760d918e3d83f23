#include <fstream>
#include <string>

#include "driver_fixture.h"
#include <qdriver/address_table.h>

namespace qdriver::testing {
namespace {

using namespace wire;

// "c832" with 256 bytes of memory at 0xD0000 and a 0x1800-byte DMA buffer;
// "dma" with a DMA buffer only.
class MemoryRequestTest : public DriverFixture {
protected:
    void SetUp() override
    {
        DriverFixture::SetUp();
        Configure("c832", {{kPortBase, 0x210},
                           {kPortCount, 4},
                           {kMemBase, 0xD0000},
                           {kMemCount, 0x100},
                           {kDmaBufSize, 0x1800}});
        Configure("dma", {{kDmaBufSize, 16}});
        Load();
    }

    win32::Status Map(const std::string& device, const Words& request, Words* reply)
    {
        reply->assign(8, 0);
        return Send(Open(device), kMapMemory, request, reply);
    }
};

TEST_F(MemoryRequestTest, RefusedMapRequests)
{
    const struct {
        const char* name;
        const char* device;
        Words request;
        win32::Status status;
    } cases[] = {
        {"index 1", "c832", {0, 3, 0, 0, 0, 0, 0, 1}, win32::kInvalidParameter},
        {"no memory range", "dma", {0, 1, 0, 0, 0, 0, 0, 0}, win32::kInvalidParameter},
        {"no DMA buffer", "lpt", {0, 2, 0, 0, 0, 0, 0, 0}, win32::kInvalidParameter},
        {"empty range", "_Default30", {0, 0, 1, 0, 0x1000, 0, 0, 0}, win32::kInvalidParameter},
        {"beyond 4 GiB",
         "_Default30",
         {0, 0, 1, 0, 0xFFFFF000, 0x1001, 0, 0},
         win32::kInvalidParameter},
        {"unknown kind", "_Default30", {0, 4, 1, 0, 0x1000, 8, 0, 0}, win32::kInvalidParameter},
        {"short request", "_Default30", {0, 0, 1, 0, 0x1000, 8}, win32::kInsufficientBuffer},
    };
    for (const auto& c : cases) {
        Words reply;
        EXPECT_EQ(Map(c.device, c.request, &reply), c.status) << c.name;
    }
}

TEST_F(MemoryRequestTest, AMappingLivesUntilItsDeviceUnmapsIt)
{
    Words reply(8);
    const Handle maker = Open("_Default30");
    ASSERT_EQ(Send(maker, kMapMemory, {0, 0, 1, 0, 0x5002, 8, 0, 0}, &reply), win32::kSuccess);
    EXPECT_EQ(reply[0], 0x5002u);
    EXPECT_EQ(reply[1], 8u);
    EXPECT_EQ(Words(reply.begin() + 4, reply.end()), Words(4, 0));
    const uint32_t token = reply[2], handle = reply[3];
    auto* mapped = static_cast<uint8_t*>(AddressOf(token));
    ASSERT_NE(mapped, nullptr);
    ASSERT_EQ(driver->Close(maker), win32::kSuccess);

    mapped[7] = 0xA5;
    uint8_t back = 0;
    ASSERT_TRUE(driver->ReadPhysical(0x5009, &back, 1));
    EXPECT_EQ(back, 0xA5);

    const Words unmap = {0, 0, handle, 0, 0, 0, 0, 0};
    EXPECT_EQ(Send(Open("c832"), kUnmapMemory, unmap), win32::kInvalidParameter); // not its own
    EXPECT_EQ(Send(Open("_Default30"), kUnmapMemory, unmap), win32::kSuccess);
    EXPECT_EQ(AddressOf(token), nullptr);
    EXPECT_EQ(Send(Open("_Default30"), kUnmapMemory, unmap), win32::kInvalidParameter);
}

TEST_F(MemoryRequestTest, EachDeviceHasOneDmaBufferOfItsOwn)
{
    const std::pair<const char*, Words> maps[] = {
        {"c832", {0x80000000, 0x1800}}, {"c832", {0x80000000, 0x1800}}, {"dma", {0x80002000, 16}}};
    for (const auto& [device, expected] : maps) {
        Words reply;
        ASSERT_EQ(Map(device, {0, 2, 0, 0, 0, 0, 0, 0}, &reply), win32::kSuccess);
        EXPECT_EQ(Words(reply.begin(), reply.begin() + 2), expected) << device;
    }
    Words device;
    ASSERT_EQ(Map("c832", {0, 1, 0, 0, 0, 0, 0, 0}, &device), win32::kSuccess);
    EXPECT_EQ(Words(device.begin(), device.begin() + 2), (Words{0xD0000, 0x100}));
}

// How many views of physical memory the process holds.
size_t PhysicalViews()
{
    std::ifstream maps("/proc/self/maps");
    size_t views = 0;
    for (std::string line; std::getline(maps, line);)
        views += line.find("qdriver-physical") != std::string::npos;
    return views;
}

TEST_F(MemoryRequestTest, AStopTakesBackTheMappingsAndTheDmaBufferOfItsDevice)
{
    const size_t before = PhysicalViews();
    const Handle control = Open("_Default30");
    std::vector<uint32_t> previousTokens;
    for (int start = 0; start < 3; ++start) {
        SCOPED_TRACE(start);
        if (start > 0) {
            ASSERT_EQ(SendName(control, kStopDevice, "\\Device\\c832"), win32::kSuccess);
            ASSERT_EQ(SendName(control, kStartDevice, "c832"), win32::kSuccess);
        }
        Words dma, memory;
        ASSERT_EQ(Map("c832", {0, 2, 0, 0, 0, 0, 0, 0}, &dma), win32::kSuccess);
        ASSERT_EQ(Map("c832", {0, 1, 0, 0, 0, 0, 0, 0}, &memory), win32::kSuccess);
        EXPECT_EQ(dma[0], 0x80000000u); // the buffer's place is free again
        EXPECT_EQ(PhysicalViews(), before + 2);
        for (uint32_t token : previousTokens)
            EXPECT_EQ(AddressOf(token), nullptr);
        previousTokens = {dma[2], memory[2]};
    }
    Words other;
    ASSERT_EQ(Map("dma", {0, 2, 0, 0, 0, 0, 0, 0}, &other), win32::kSuccess);
    EXPECT_EQ(other[0], 0x80002000u); // beside the running device's buffer
}

} // namespace
} // namespace qdriver::testing
