// Drives VFGZephonII through its callbacks, as the host does, on the
// simulated boards of the board library with frame period 0 and in virtual
// time. Every test ends with nothing allocated by the host functions and
// nothing left in the board library.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "tests/support/host_allocations.h"
#include <dvl/dvlbrn.h>
#include <dvl/simulated_boards.h>
#include <fgint/fghelpers.h>
#include <fgint/plugin_driver.h>
#include <verodyn/framegrabber.h>

using fg::Images;
using fg::Int;
using fg::Real;
using fg::Text;

// Pixel (x, y) of the 16-bit first image of a grab.
inline uint16_t Word(const Images& images, int x, int y)
{
    return images.record[0].pixel.u[y * images.record[0].width + x];
}

// A Zephon II board whose frames come at once.
inline dvl::SimulatedBoard Board(int32_t type, const char* descriptor = "\\\\.\\D_SYSTEM_ZEPHON_II",
                                 int32_t number = 0)
{
    dvl::SimulatedBoard board = dvl::ZephonBoard();
    board.descriptor = descriptor;
    board.number = number;
    board.board_type = type;
    board.frame_period = std::chrono::milliseconds(0);
    board.swaps_bytes = type == 50;
    return board;
}

class ZephonTest : public ::testing::Test, public fg::PluginDriver {
protected:
    static constexpr const char* kCamera = "D_CCIR";
    static constexpr const char* kDevice = "ZEPHON_II:0";

    ZephonTest() : PluginDriver(kCamera, kDevice) { }

    void SetUp() override
    {
        dvl::ResetBoards();
        dvl::ClearFaults();
        dvl::UseClock(clock_);
        dvl::RegisterBoard(Board(24));
        ASSERT_EQ(InitPlugin(ZEPHON_PLUGIN_PATH), FG_SUCCESS);
    }

    void TearDown() override
    {
        EndTest();
        fg::ExpectNothingAllocated();
        EXPECT_EQ(dvl::AllocatedObjects(), 0);
        dvl::ClearFaults();
        dvl::ResetBoards();
        dvl::UseSteadyClock();
    }

    // Open parameters as the workbench gives them, kept for the test's length.
    FGInstance& Request(const char* camera_type = kCamera, const char* device = kDevice,
                        const char* color_space = "default", int32_t port = -1)
    {
        FGInstance& i = PluginDriver::Request(camera_type, device);
        i.bits_per_channel = -1;
        fg_copy_text(i.color_space, sizeof i.color_space, color_space);
        i.gain = -1.0f;
        i.port = port;
        i.line_in = 1;
        return i;
    }

    FGInstance& Opened(const char* camera_type = kCamera, const char* device = kDevice,
                       const char* color_space = "default", int32_t port = -1)
    {
        FGInstance& i = Request(camera_type, device, color_space, port);
        EXPECT_EQ(Open(i), FG_SUCCESS) << camera_type << " on " << device;
        return i;
    }

    // The info answer's texts (or integers), joined by ','.
    std::string InfoValues(int32_t query, FGstatus* status = nullptr, std::string* info = nullptr)
    {
        const char* text = nullptr;
        Vcpar* values = nullptr;
        int32_t count = -1;
        const FGstatus result = cls_.FGInfo(1, query, &text, &values, &count);
        if (status)
            *status = result;
        if (info)
            *info = text ? text : "";
        std::string joined;
        for (int32_t n = 0; n < count; ++n)
            joined +=
                (n ? "," : "") + (values[n].type == VPAR_STRING ? std::string(values[n].par.s)
                                                                : std::to_string(values[n].par.l));
        VXFree(1, values, __FILE__, __LINE__, 0);
        return joined;
    }

    ondula::VirtualClock clock_;
};
