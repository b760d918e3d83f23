#include "tests/support/host_plugin_checks.h"
#include "zephon_test_support.h"

namespace {

TEST(ZephonHost, TheWorkbenchsOpenDeliversChangingFrames)
{
    dvl::RegisterBoard(Board(24));
    long handle = -1;
    ASSERT_EQ(open_framegrabber("ZephonII", 1, 1, 0, 0, 0, 0, "default", -1, "default", -1.0,
                                "false", "D_CCIR", "ZEPHON_II:0", -1, 1, &handle),
              V_OK);
    Vobject first, second;
    ASSERT_EQ(grab_image(&first, handle), V_OK);
    ASSERT_EQ(grab_image(&second, handle), V_OK);
    ASSERT_FALSE(first.empty());
    EXPECT_EQ(first.image()->width(), 768);
    EXPECT_EQ(first.image()->height(), 576);
    EXPECT_NE(first.image()->plane_as<uint8_t>(0)[0], second.image()->plane_as<uint8_t>(0)[0]);
    VTuple timeout;
    ASSERT_EQ(get_framegrabber_param(handle, "grab_timeout", &timeout), V_OK);
    EXPECT_EQ(timeout, VTuple(5000));
    EXPECT_EQ(close_framegrabber(handle), V_OK);
    EXPECT_EQ(dvl::AllocatedObjects(), 0);
    EXPECT_TRUE(VXAllocated().empty());
    dvl::ResetBoards();
}

TEST(ZephonHost, TwoBoardsOnTwoThreads)
{
    dvl::RegisterBoard(Board(24));
    dvl::RegisterBoard(Board(24, "\\\\.\\D_SYSTEM_ZEPHON_II", 1));
    long handles[2] = {};
    for (const char* device : {"ZEPHON_II:0", "ZEPHON_II:1"})
        ASSERT_EQ(open_framegrabber("ZephonII", 1, 1, 0, 0, 0, 0, "default", -1, "default", -1.0,
                                    "false", "D_CCIR", device, -1, 1, &handles[device[10] - '0']),
                  V_OK);
    set_check("~give_error");
    ExpectCallsOnTwoThreads(
        {handles[0], "grab_timeout", "start_async_after_grab_async", VTuple("disable")},
        {handles[1], "trigger_source", "start_async_after_grab_async", VTuple("enable")}, 400);
    set_check("give_error");
    EXPECT_EQ(close_all_framegrabbers(), V_OK);
    EXPECT_EQ(dvl::AllocatedObjects(), 0);
    dvl::ResetBoards();
}

} // namespace
