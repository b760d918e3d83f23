#include <hwaccess/qnlo34.h>

#include <dlfcn.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <set>

#include "hw_fixture.h"
#include "tests/support/dynamic_exports.h"
#include <hwaccess/client.h>

namespace hw::testing {
namespace {

class ExportsTest : public HwFixture { };

// Bytes 68-95 of a record, where a short-record caller's memory may hold anything.
std::vector<uint8_t> Tail(const HwDeviceConfig& c)
{
    const auto* bytes = reinterpret_cast<const uint8_t*>(&c);
    return {bytes + HW_SHORT_CONFIG_SIZE, bytes + HW_FULL_CONFIG_SIZE};
}

TEST_F(ExportsTest, RecordExportsExchangeTheShortRecordOnly)
{
    HwDeviceConfig c;
    std::memset(&c, 0xCC, sizeof c);
    c.recordSize = 96; // even a size word of 96 there is the caller's, not a full record
    const std::vector<uint8_t> tail = Tail(c);
    EXPECT_EQ(::HwZeroDeviceConfig(&c), 0);
    EXPECT_EQ(c.InterfaceType, 0u);
    ASSERT_TRUE(::HwGetDeviceConfig("c832", &c));
    EXPECT_EQ(c.PortBase, 0x210u);
    EXPECT_EQ(c.InterfaceType, 1u);
    EXPECT_EQ(Tail(c), tail);
    char name[40];
    ASSERT_TRUE(::HwEnumerateDevices(1, name, &c));
    EXPECT_STREQ(name, "lpt");
    EXPECT_EQ(c.busFlag, 1u);
    EXPECT_EQ(Tail(c), tail);

    ::HwConfigureIgnoreConflicts(&c, 1);
    c.IsrOp = 0;
    ASSERT_TRUE(::HwConfigureDevice("short", &c));
    EXPECT_EQ(Tail(c), tail);
    HwDeviceConfig stored;
    ASSERT_TRUE(hw::HwGetDeviceConfig("short", &stored));
    EXPECT_EQ(stored.PortBase, 0x378u);
    EXPECT_EQ(stored.IgnoreConflicts, 1u);
    EXPECT_EQ(stored.IsrIdOp, 0u); // nothing beyond the short record was stored
    EXPECT_EQ(stored.IsrIdMask, 0u);
    EXPECT_EQ(stored.MemoryIo, 0u);
    EXPECT_EQ(stored.DmaBufSize, 0u);
}

TEST_F(ExportsTest, FullRecordWordsAreNeverSetThroughTheShortRecordExports)
{
    HwDeviceConfig c;
    std::memset(&c, 0xCC, sizeof c);
    for (uint32_t size : {0xCCCCCCCCu, 96u}) {
        c.recordSize = size;
        EXPECT_FALSE(::HwConfigureIsrIdOp(&c, 0x81, 1, 2, 3));
        EXPECT_FALSE(::HwConfigureMemoryIo(&c, 1));
        EXPECT_EQ(c.IsrIdMask, 0xCCCCCCCCu);
        EXPECT_EQ(c.MemoryIo, 0xCCCCCCCCu);
    }
}

// A short record that ends where the caller's readable memory ends.
TEST_F(ExportsTest, ShortRecordExportsReadNothingPastTheShortRecord)
{
    const auto page = static_cast<size_t>(::sysconf(_SC_PAGESIZE));
    void* mapped =
        ::mmap(nullptr, 2 * page, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    ASSERT_NE(mapped, MAP_FAILED);
    auto unmap = [page](char* at) { ::munmap(at, 2 * page); };
    std::unique_ptr<char, decltype(unmap)> pages(static_cast<char*>(mapped), unmap);
    ASSERT_EQ(::mprotect(pages.get() + page, page, PROT_NONE), 0);
    auto* c = reinterpret_cast<HwDeviceConfig*>(pages.get() + page - HW_SHORT_CONFIG_SIZE);
    EXPECT_EQ(::HwZeroDeviceConfig(c), 0);
    EXPECT_FALSE(::HwConfigureIsrIdOp(c, 0x81, 1, 2, 3));
    EXPECT_FALSE(::HwConfigureMemoryIo(c, 1));
    ASSERT_TRUE(::HwGetDeviceConfig("c832", c));
    EXPECT_EQ(c->PortBase, 0x210u);
    char name[40];
    ASSERT_TRUE(::HwEnumerateDevices(1, name, c));
    EXPECT_EQ(c->busFlag, 1u);
    c->IsrOp = 0;
    EXPECT_TRUE(::HwConfigureDevice("short", c));
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

TEST_F(ExportsTest, InterruptThreadAndMemoryExportsReachTheDriver)
{
    HwDevice* lpt = ::HwNewDevice(nullptr);
    ASSERT_TRUE(::HwConnectDevice(lpt, "lpt"));
    ASSERT_TRUE(::HwConnectInterrupt(lpt, 7));
    HwThread* thread = ::QnloCreateThread(::HwIsrThreadProc, lpt);
    ASSERT_TRUE(::HwEnableIsr(lpt, thread, nullptr));
    EXPECT_TRUE(::HwDisableIsr(lpt));
    uint32_t code = 0xEE;
    EXPECT_TRUE(::QnloWaitForThread(thread, 0));
    EXPECT_TRUE(::QnloGetExitCodeThread(thread, &code));
    EXPECT_EQ(code, 0u);
    EXPECT_TRUE(::QnloCloseThread(thread));

    HwMemory* memory = ::HwNewMemory();
    ASSERT_TRUE(::HwMapMemory(memory, 0x1000, 4));
    EXPECT_TRUE(::HwWriteLongMem(memory, 0, 0x01020304));
    uint32_t value = 0;
    ASSERT_TRUE(driver->ReadPhysical(0x1000, &value, 4));
    EXPECT_EQ(value, 0x01020304u);
    EXPECT_TRUE(::HwDeleteMemory(memory));
    EXPECT_TRUE(::HwDeleteDevice(lpt));
}

TEST_F(ExportsTest, RecordFunctionsAnswerFalseForANullRecord)
{
    const std::pair<const char*, BOOL> calls[] = {
        {"HwConfigurePortRange", ::HwConfigurePortRange(nullptr, 0x300, 8)},
        {"HwConfigureInterrupt", ::HwConfigureInterrupt(nullptr, 7)},
        {"HwConfigureIsrOp", ::HwConfigureIsrOp(nullptr, 1, 2, 3)},
        {"HwConfigureIsrIdOp", ::HwConfigureIsrIdOp(nullptr, 1, 2, 3, 4)},
        {"HwConfigureMemRange", ::HwConfigureMemRange(nullptr, 0xD0000, 0x1000)},
        {"HwConfigureIgnoreConflicts", ::HwConfigureIgnoreConflicts(nullptr, 1)},
        {"HwConfigureMemoryIo", ::HwConfigureMemoryIo(nullptr, 1)},
        {"HwZeroDeviceConfig", ::HwZeroDeviceConfig(nullptr)},
    };
    for (auto [name, result] : calls)
        EXPECT_FALSE(result) << name;
}

TEST(Qnlo34Test, ExportsItsCFunctionsAndNothingElse)
{
    const std::set<std::string> listed = {
#define HW_FUNCTION(form, result, name, parameters, arguments) #name,
#include <hwaccess/hw_functions.def>
#undef HW_FUNCTION
    };
    EXPECT_EQ(std::count_if(listed.begin(), listed.end(),
                            [](const std::string& name) { return !name.starts_with("Qnlo"); }),
              98);
    Dl_info library{};
    ASSERT_NE(dladdr(reinterpret_cast<void*>(&::HwInp), &library), 0);
    std::set<std::string> exported;
    for (const auto& symbol : ondula::testing::DynamicExports(library.dli_fname))
        exported.insert(symbol.name);
    EXPECT_EQ(exported, listed);
}

// Both faces of the library in this process and another process configure
// devices in one registry file; none of them loses another's device.
class SharedRegistryFileTest : public HwFixture {
protected:
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("ondula-hw-" + std::to_string(::getpid()));

    SharedRegistryFileTest()
    {
        std::filesystem::remove_all(dir);
        reg = registry::Registry::FromFile(dir / "registry");
    }
    ~SharedRegistryFileTest() override { std::filesystem::remove_all(dir); }
};

TEST_F(SharedRegistryFileTest, EveryWriterKeepsTheOthersDevices)
{
    HwDeviceConfig config;
    hw::HwZeroDeviceConfig(&config);
    hw::HwConfigurePortRange(&config, 0x300, 8);
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(::HwConfigureDevice("forked", &config) ? 0 : 1);
    int status = -1;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_EQ(status, 0);
    ASSERT_TRUE(hw::HwConfigureDevice("client", &config));
    ASSERT_TRUE(::HwConfigureDevice("exported", &config));
    EXPECT_TRUE(::HwGetDeviceConfig("client", &config));
    EXPECT_TRUE(hw::HwGetDeviceConfig("exported", &config));

    registry::UseSystem(registry::Registry::FromFile(dir / "registry"));
    std::vector<std::string> names;
    char name[HW_DEVICE_NAME_CHARS];
    for (uint32_t i = 0; hw::HwEnumerateDevices(i, name, &config); ++i)
        names.push_back(name);
    EXPECT_EQ(names, (std::vector<std::string>{"c832", "client", "exported", "forked", "lpt"}));
}

} // namespace
} // namespace hw::testing
