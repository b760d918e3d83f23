// Single grabs, copies and the digitizer module road of the simulated
// Zephon II board.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include <dvl/dvlbrn.h>
#include <dvl/packet.h>
#include <dvl/simulated_boards.h>

namespace {

const char* const kZephon = "\\\\.\\D_SYSTEM_ZEPHON_II";

std::string LastError()
{
    char text[DVL_ERROR_TEXT_SIZE];
    DvlAppGetError(0x20000001, text);
    return text;
}

class SingleGrab : public ::testing::Test {
protected:
    void SetUp() override
    {
        dvl::ResetBoards();
        dvl::ClearFaults();
        dvl::SimulatedBoard board = dvl::ZephonBoard();
        board.frame_period = std::chrono::milliseconds(0);
        board.swaps_bytes = true;
        board.formats["D_MONO10"] = {4, 2, 1, 10};
        dvl::RegisterBoard(board);
        ASSERT_NE(DvlAppAlloc(DVL_DEFAULT, &app), 0);
        ASSERT_NE(DvlSysAlloc(kZephon, 0, DVL_DEFAULT, &system), 0);
    }
    void TearDown() override
    {
        DvlAppFree(app);
        EXPECT_EQ(dvl::AllocatedObjects(), 0);
        dvl::ClearFaults();
        dvl::ResetBoards();
    }
    // A digitizer of `format` with a hook that counts grab ends, and a buffer.
    void Digitizer(const char* format, int32_t bands = 1, int32_t bits = 8)
    {
        ASSERT_NE(DvlDigAlloc(system, DVL_DEFAULT, format, DVL_DEFAULT, &digitizer), 0);
        DvlDigHookFunction(digitizer, DVL_GRAB_END, Count, this);
        ASSERT_NE(DvlBufAllocColor(system, bands, 4, 2, bits, 28, &buffer), 0);
    }
    void WaitForEnds(int ends)
    {
        while (grab_ends < ends)
            std::this_thread::yield();
    }
    static int32_t Count(int32_t, DvlId, void* user)
    {
        auto* self = static_cast<SingleGrab*>(user);
        self->hook_thread = std::this_thread::get_id();
        ++self->grab_ends;
        return 0;
    }
    DvlId app = 0, system = 0, digitizer = 0, buffer = 0;
    std::atomic<int> grab_ends{0};
    std::thread::id hook_thread;
};

TEST_F(SingleGrab, AGrabFillsTheBufferOnTheLibrarysThreadThenCallsTheHooks)
{
    Digitizer("D_MONO10", 1, 16);
    EXPECT_EQ(DvlDigInquire(digitizer, DVL_DIG_SIZE_BIT, nullptr), 10);
    DvlDigGrab(digitizer, buffer);
    EXPECT_EQ(LastError(), DVL_NO_ERROR_TEXT);
    WaitForEnds(1);
    EXPECT_NE(hook_thread, std::this_thread::get_id());
    EXPECT_EQ(DvlDigInquire(digitizer, DVL_DIG_GRAB_IN_PROGRESS, nullptr), 0);
    uint8_t words[16] = {};
    DvlBufGet(buffer, words);
    // Pixel (3, 1) of frame 0 is 1: junk 0xA5A5 above the 10 bits, bytes swapped.
    const uint16_t pixel = uint16_t(words[15] | words[14] << 8);
    EXPECT_EQ(pixel, (0xA5A5 & ~0x3FF) | 1);
    uint8_t region[4] = {};
    DvlBufGet2d(buffer, 2, 1, 2, 1, region);
    EXPECT_EQ(region[2], words[14]);
}

TEST_F(SingleGrab, GrabsWaitingForATriggerStartOnItAndAbortsEndThem)
{
    Digitizer("D_CCIR");
    DvlDigControl(digitizer, DVL_DIG_GRAB_TRIGGER, DVL_TRIGGER_ENABLE);
    DvlDigGrab(digitizer, buffer);
    DvlDigControl(digitizer, DVL_DIG_GRAB_TRIGGER, DVL_TRIGGER_FIRE);
    EXPECT_EQ(LastError(), "Software trigger fired without the software trigger source.");
    EXPECT_EQ(DvlDigInquire(digitizer, DVL_DIG_GRAB_IN_PROGRESS, nullptr), 1);
    DvlDigControl(digitizer, DVL_DIG_TRIGGER_SOURCE, DVL_TRIGGER_SOFTWARE);
    DvlDigControl(digitizer, DVL_DIG_GRAB_TRIGGER, DVL_TRIGGER_FIRE);
    WaitForEnds(1);
    DvlDigGrab(digitizer, buffer);
    DvlDigControl(digitizer, DVL_DIG_GRAB_ABORT, DVL_DEFAULT);
    EXPECT_EQ(DvlDigInquire(digitizer, DVL_DIG_GRAB_IN_PROGRESS, nullptr), 0);
    DvlDigGrab(digitizer, buffer);
    dvl::FireHardwareTrigger();
    WaitForEnds(2);
    EXPECT_EQ(grab_ends, 2);
}

TEST_F(SingleGrab, UnhookingWaitsForTheHookInFlight)
{
    ASSERT_NE(DvlDigAlloc(system, DVL_DEFAULT, "D_CCIR", DVL_DEFAULT, &digitizer), 0);
    ASSERT_NE(DvlBufAllocColor(system, 1, 4, 2, 8, 28, &buffer), 0);
    static std::atomic<bool> entered, release;
    entered = release = false;
    DvlHookFn blocking = [](int32_t, DvlId, void*) -> int32_t {
        entered = true;
        while (!release)
            std::this_thread::yield();
        return 0;
    };
    DvlDigHookFunction(digitizer, DVL_GRAB_END, blocking, nullptr);
    DvlDigGrab(digitizer, buffer);
    while (!entered)
        std::this_thread::yield();
    std::atomic<bool> unhooked = false;
    std::thread unhook([&] {
        DvlDigHookFunction(digitizer, DVL_GRAB_END + DVL_UNHOOK, blocking, nullptr);
        unhooked = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_FALSE(unhooked);
    release = true;
    unhook.join();
    EXPECT_TRUE(unhooked);
}

TEST_F(SingleGrab, ColourCopiesArePackedBlueGreenRedOrOneBand)
{
    Digitizer("D_PAL_RGB", 3);
    DvlDigGrab(digitizer, buffer);
    WaitForEnds(1);
    uint8_t packed[24] = {}, green[8] = {}, region[3] = {};
    DvlBufGetColor(buffer, DVL_PACKED_BGR24, DVL_ALL_BANDS, packed);
    DvlBufGetColor(buffer, DVL_PLANAR, DVL_GREEN, green);
    DvlBufGetColor2d(buffer, DVL_PACKED_BGR24, DVL_ALL_BANDS, 3, 1, 1, 1, region);
    // Pixel (3, 1): x / 2 + y / 2 + 85 x band.
    EXPECT_EQ(packed[21], 1 + 170);
    EXPECT_EQ(packed[22], 1 + 85);
    EXPECT_EQ(packed[23], 1);
    EXPECT_EQ(green[7], 1 + 85);
    EXPECT_EQ(region[0], packed[21]);
    DvlBufGetColor(buffer, DVL_PACKED_BGR24, DVL_RED, packed);
    EXPECT_EQ(LastError(), "Copy format not supported.");
}

TEST_F(SingleGrab, FailuresLeaveTheirTextForTheCallingThreadUntilItsNextCall)
{
    dvl::FailNextCall(DVL_ORD_DIG_ALLOC, "Digitizer busy.");
    EXPECT_EQ(DvlDigAlloc(system, DVL_DEFAULT, "D_CCIR", DVL_DEFAULT, &digitizer), 0);
    std::string other_thread;
    std::thread([&] { other_thread = LastError(); }).join();
    EXPECT_EQ(other_thread, DVL_NO_ERROR_TEXT);
    EXPECT_EQ(LastError(), "Digitizer busy.");
    EXPECT_EQ(DvlAppGetError(0, nullptr), 1);
    DvlSysInquire(system, DVL_SYS_BOARD_TYPE, nullptr);
    EXPECT_EQ(LastError(), DVL_NO_ERROR_TEXT);
    DvlDigControl(12345, DVL_DIG_GRAB_MODE, 2);
    EXPECT_EQ(LastError(), "Invalid identifier.");

    dvl::ThrowOnNextCall(DVL_ORD_DIG_ALLOC, 0xE06D7363);
    try {
        DvlDigAlloc(system, DVL_DEFAULT, "D_CCIR", DVL_DEFAULT, &digitizer);
        ADD_FAILURE() << "no exception";
    } catch (const DvlHardwareException& e) {
        EXPECT_EQ(e.code(), 0xE06D7363u);
    }
}

TEST_F(SingleGrab, WithoutItsModuleTheBoardHasNoDigitizer)
{
    dvl::SimulatedBoard board = dvl::ZephonBoard();
    board.number = 1;
    board.module = "DVLABSENT";
    dvl::RegisterBoard(board);
    DvlId other = 0;
    ASSERT_NE(DvlSysAlloc(kZephon, 1, DVL_DEFAULT, &other), 0);
    EXPECT_EQ(DvlDigAlloc(other, DVL_DEFAULT, "D_CCIR", DVL_DEFAULT, &digitizer), 0);
    EXPECT_EQ(LastError().rfind("Digitizer module DVLABSENT cannot be loaded: ", 0), 0u);
}

TEST(Dvlbrn, KeepsTheLatestPacketsWhileRecording)
{
    dvl::BrnClearReceivedPackets();
    for (int32_t n = 0; n < 300; ++n) {
        dvl::PacketWriter packet(7);
        packet.AddInt(n);
        DvlBrnProcessCommand(packet.data());
    }
    auto packets = dvl::BrnReceivedPackets();
    ASSERT_EQ(packets.size(), dvl::kBrnRecordedPackets);
    EXPECT_EQ(dvl::Load<int32_t>(packets[0].data() + dvl::kHeaderSize + dvl::kDescriptorSize), 44);
    dvl::BrnSetRecording(false);
    dvl::BrnClearReceivedPackets();
    DvlBrnProcessCommand(dvl::PacketWriter(7).data());
    EXPECT_TRUE(dvl::BrnReceivedPackets().empty());
    dvl::BrnSetRecording(true);
}

} // namespace
