#include <functional>

#include "hw_fixture.h"

namespace hw::testing {
namespace {

using namespace qdriver::wire;

// The C-832 device with memory at 0xD0000 and an interrupt on level 5: a
// connected record, a memory object and, once served, the service thread.
class MisuseTest : public DeviceFixture {
protected:
    HwMemory* memory = nullptr;
    HwThread* thread = nullptr;

    void SetUp() override
    {
        DeviceFixture::SetUp();
        Reconfigure("c832", [](HwDeviceConfig& c) {
            HwConfigurePortRange(&c, 0x210, 4);
            HwConfigureInterrupt(&c, 5);
            HwConfigureMemRange(&c, 0xD0000, 0x100);
        });
    }

    void Start()
    {
        Connect("c832");
        memory = HwNewMemory();
    }

    /// Deletes the record while the memory object still maps through i
    void DeleteDeviceUnderMapping()
    {
        ASSERT_TRUE(HwMapDeviceMemory(memory, device));
        ASSERT_TRUE(HwDeleteDevice(std::exchange(device, nullptr)));
    }

    /// Maps physical memory, then maps the memory object again with `map`
    /// onto the deleted device: the refused call keeps the mapping it had.
    BOOL MapOntoDeletedDevice(BOOL (*map)(HwMemory*, HwDevice*))
    {
        EXPECT_TRUE(HwMapMemory(memory, 0xD0000, 0x100));
        HwDevice* deleted = std::exchange(device, nullptr);
        EXPECT_TRUE(HwDeleteDevice(deleted));
        const BOOL mapped = map(memory, deleted);
        const win32::Status error = qdriver::LastError();
        EXPECT_NE(HwGetMemoryPointer(memory), nullptr);
        EXPECT_EQ(memory->device, nullptr);
        qdriver::SetLastError(error);
        return mapped;
    }

    /// Ends `object` with `end`, then answers `end` given it again.
    template <typename T> static BOOL Twice(BOOL (*end)(T*), T* object)
    {
        EXPECT_TRUE(end(object));
        return end(object);
    }

    void Serve()
    {
        ASSERT_TRUE(HwConnectInterrupt(device, 5));
        thread = QnloCreateThread(HwIsrThreadProc, device);
        ASSERT_TRUE(HwEnableIsr(device, thread, nullptr));
    }

    void Finish()
    {
        if (device) {
            EXPECT_TRUE(HwDeleteDevice(std::exchange(device, nullptr)));
        }
        if (memory)
            HwDeleteMemory(std::exchange(memory, nullptr));
        if (thread) {
            EXPECT_TRUE(QnloCloseThread(std::exchange(thread, nullptr)));
        }
    }
};

TEST_F(MisuseTest, DeletedObjectsFailWithABadHandleInsteadOfBeingUsed)
{
    const struct {
        const char* misuse;
        std::function<BOOL()> run;
    } cases[] = {
        {"a memory object unmapped after its device was deleted",
         [this] {
             DeleteDeviceUnderMapping();
             return HwUnmapMemory(memory);
         }},
        {"a memory object unmapped through a new device at its deleted device's address",
         [this] {
             DeleteDeviceUnderMapping();
             device = HwNewDevice(nullptr);
             EXPECT_TRUE(HwConnectDevice(device, "lpt"));
             return HwUnmapMemory(memory);
         }},
        {"a memory object mapped again after its device was deleted",
         [this] {
             DeleteDeviceUnderMapping();
             return HwMapMemoryEx(memory, 0, 0, 0, 0);
         }},
        {"a memory object deleted after its device was deleted",
         [this] {
             DeleteDeviceUnderMapping();
             return HwDeleteMemory(std::exchange(memory, nullptr));
         }},
        {"device memory mapped onto a deleted device",
         [this] { return MapOntoDeletedDevice(HwMapDeviceMemory); }},
        {"a DMA buffer mapped onto a deleted device",
         [this] { return MapOntoDeletedDevice(HwMapDmaBuffer); }},
        {"a deleted device asked whether it is connected",
         [this] {
             HwDevice* deleted = std::exchange(device, nullptr);
             EXPECT_TRUE(HwDeleteDevice(deleted));
             return BOOL(IsDeviceConnected(deleted));
         }},
        {"a device deleted twice",
         [this] { return Twice(HwDeleteDevice, std::exchange(device, nullptr)); }},
        {"a record its caller constructed, deleted as if the library had made it",
         [] {
             HwDevice embedded;
             CommonConstructDevice(&embedded, nullptr);
             const BOOL deleted = HwDeleteDevice(&embedded);
             const win32::Status error = qdriver::LastError();
             EXPECT_TRUE(HwConnectDevice(&embedded, "lpt")); // still whole
             EXPECT_TRUE(CommonDestroyDevice(&embedded));
             qdriver::SetLastError(error);
             return deleted;
         }},
        {"a memory object deleted twice",
         [this] { return Twice(HwDeleteMemory, std::exchange(memory, nullptr)); }},
        {"a thread closed twice",
         [this] { return Twice(QnloCloseThread, QnloCreateThread(HwIsrThreadProc, device)); }},
        {"interrupt service stopped after its thread's handle was closed",
         [this] {
             Serve();
             EXPECT_TRUE(QnloCloseThread(std::exchange(thread, nullptr)));
             const BOOL stopped = HwDisableIsr(device);
             const win32::Status error = qdriver::LastError();
             uint32_t delivery = 0xEE;
             EXPECT_TRUE(HwGetProperty(device, kPropertyInterruptEnabled, &delivery));
             EXPECT_EQ(delivery, 0u); // stopped all the same
             EXPECT_EQ(device->interruptThread, nullptr);
             qdriver::SetLastError(error);
             return stopped;
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.misuse);
        Start();
        qdriver::SetLastError(win32::kSuccess);
        EXPECT_FALSE(c.run());
        EXPECT_EQ(qdriver::LastError(), win32::kInvalidHandle);
        Finish();
    }
}

} // namespace
} // namespace hw::testing
