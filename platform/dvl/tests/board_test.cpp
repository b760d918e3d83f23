#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include <dvl/simulated_boards.h>

namespace {

const char* const kTalvo = "\\\\.\\D_SYSTEM_TALVO";

class Board : public ::testing::Test {
protected:
    void SetUp() override
    {
        dvl::ResetBoards();
        dvl::ClearFaults();
    }
    void TearDown() override
    {
        DvlAppFree(app);
        EXPECT_EQ(dvl::AllocatedObjects(), 0);
        dvl::ClearFaults();
        dvl::ResetBoards();
    }
    // Application, the Talvo system, its digitizer and a buffer of its size.
    void AllocateTalvo()
    {
        ASSERT_NE(DvlAppAlloc(DVL_DEFAULT, &app), 0);
        ASSERT_NE(DvlSysAlloc(kTalvo, 0, 0, &system), 0);
        ASSERT_NE(DvlDigAlloc(system, DVL_DEFAULT, "CCIR.dcf", DVL_DEFAULT, &digitizer), 0);
        ASSERT_NE(DvlBufAllocColor(system, 1, 768, 576, 8, 60, &buffer), 0);
    }
    DvlId app = 0, system = 0, digitizer = 0, buffer = 0;
};

TEST_F(Board, TheTalvoBoardAnswersItsInquiriesAndIsAddressedOnce)
{
    AllocateTalvo();
    int32_t value = -1;
    EXPECT_EQ(DvlSysInquire(system, DVL_SYS_DIGITIZER_COUNT, &value), 1);
    EXPECT_EQ(value, 1);
    EXPECT_EQ(DvlDigInquire(digitizer, DVL_DIG_SIZE_X, nullptr), 768);
    EXPECT_EQ(DvlDigInquire(digitizer, DVL_DIG_SIZE_Y, nullptr), 576);
    EXPECT_EQ(DvlDigInquire(digitizer, DVL_DIG_SIZE_BAND, nullptr), 1);
    double version = 0;
    DvlAppInquire(DVL_APP_VERSION, &version);
    EXPECT_EQ(version, 7.5);
    EXPECT_EQ(DvlAppInquire(DVL_APP_BUFFER_COUNT, nullptr), 1);

    DvlId again = -1, display = 0;
    EXPECT_EQ(DvlSysAlloc(kTalvo, DVL_DEFAULT, 0, &again), 0);
    EXPECT_EQ(again, 0);
    EXPECT_EQ(DvlDigAlloc(system, 0, "pal.dcf", 0, nullptr), 0);
    EXPECT_EQ(DvlDigAlloc(system, 1, "ccir.dcf", 0, nullptr), 0);
    EXPECT_EQ(DvlSysAlloc("\\\\.\\D_SYSTEM_OTHER", 0, 0, nullptr), 0);
    ASSERT_NE(DvlDispAlloc(system, DVL_DEFAULT, "D_DEFAULT", DVL_DEFAULT, &display), 0);
    EXPECT_EQ(DvlDispInquire(display, DVL_DISP_MODE, nullptr), DVL_DISP_WINDOWED);
    // Freeing the application frees what is left on its system.
}

TEST_F(Board, AFaultyOrdinalFailsOrGivesNoIdentifier)
{
    struct Case {
        int ordinal;
        dvl::Fault fault;
        DvlId answer; // 0 or "non-zero" (1)
    };
    for (Case c : {Case{DVL_ORD_APP_ALLOC, dvl::Fault::Fails, 0},
                   Case{DVL_ORD_SYS_ALLOC, dvl::Fault::Fails, 0},
                   Case{DVL_ORD_DIG_ALLOC, dvl::Fault::ZeroIdentifier, 1},
                   Case{DVL_ORD_BUF_ALLOC_COLOR, dvl::Fault::Fails, 0},
                   Case{DVL_ORD_DISP_ALLOC, dvl::Fault::ZeroIdentifier, 1}}) {
        dvl::SetFault(c.ordinal, c.fault);
        DvlId id = -1, answer = -1;
        DvlAppAlloc(0, &app);
        DvlSysAlloc(kTalvo, 0, 0, &system);
        switch (c.ordinal) {
        case DVL_ORD_APP_ALLOC:
            answer = DvlAppAlloc(0, &id);
            break;
        case DVL_ORD_SYS_ALLOC:
            answer = DvlSysAlloc(kTalvo, 0, 0, &id);
            break;
        case DVL_ORD_DIG_ALLOC:
            answer = DvlDigAlloc(system, 0, "ccir.dcf", 0, &id);
            break;
        case DVL_ORD_BUF_ALLOC_COLOR:
            answer = DvlBufAllocColor(system, 1, 8, 8, 8, 60, &id);
            break;
        default:
            answer = DvlDispAlloc(system, 0, "D_DEFAULT", 0, &id);
        }
        EXPECT_EQ(answer != 0, c.answer != 0) << c.ordinal;
        EXPECT_EQ(id, 0) << c.ordinal;
        dvl::ClearFaults();
        DvlAppFree(app);
        EXPECT_EQ(dvl::AllocatedObjects(), 0) << c.ordinal;
    }
    app = 0;
}

TEST_F(Board, AContinuousGrabDrawsMovingFramesIntoTheSelectedWindowUntilHalted)
{
    dvl::SimulatedBoard fast = dvl::TalvoBoard();
    fast.frame_period = std::chrono::milliseconds(1);
    dvl::RegisterBoard(fast);
    AllocateTalvo();
    std::atomic<int> frames{0};
    std::atomic<int> firstPixel{-1};
    std::vector<uint8_t> seen;
    dvl::RegisterWindow(42, [&](const dvl::FrameView& f) {
        EXPECT_EQ(f.width, 768);
        EXPECT_EQ(f.bands, 1);
        firstPixel = f.planes[0][0];
        ++frames;
    });
    DvlId display = 0;
    DvlDispAlloc(system, 0, "D_DEFAULT", 0, &display);
    DvlDispSelectWindow(display, buffer, 42);
    EXPECT_EQ(frames, 1); // the cleared buffer, at once
    EXPECT_EQ(firstPixel, 0);
    DvlDigGrabContinuous(digitizer, buffer);
    while (frames < 4)
        std::this_thread::yield();
    DvlDigHalt(digitizer);
    const int halted = frames;
    EXPECT_NE(firstPixel, 0);

    // A region beyond the buffer is clipped; a band the buffer lacks reads band 0.
    std::vector<uint8_t> red(770 * 2, 7), blue(770 * 2, 7);
    DvlBufGetColor2d(buffer, 0xFF00, DVL_RED, 766, 575, 4, 2, red.data());
    DvlBufGetColor2d(buffer, 0xFF00, DVL_BLUE, 766, 575, 4, 2, blue.data());
    EXPECT_EQ(red, blue);
    EXPECT_EQ(std::vector<uint8_t>(red.begin() + 2, red.begin() + 8),
              (std::vector<uint8_t>{7, 7, 7, 7, 7, 7}));
    DvlBufClear(buffer, 0, 0);
    DvlBufGetColor2d(buffer, 0xFF00, DVL_RED, 0, 0, 2, 1, red.data());
    EXPECT_EQ(red[0], 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_EQ(frames, halted);
    dvl::UnregisterWindow(42);
}

} // namespace
