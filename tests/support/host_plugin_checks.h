// What every test of a plug-in loaded by the frame-grabber host checks: the
// frames it hands over, and that nothing of it is left once all is closed.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/gated_clock.h"
#include "tests/support/host_allocations.h"
#include "tests/support/scoped_setting.h"
#include <verodyn/verodyn.h>

// Closes every frame grabber and fails on each block still allocated.
inline void ExpectAllClosedAndFreed()
{
    EXPECT_EQ(close_all_framegrabbers(), V_OK);
    fg::ExpectNothingAllocated();
}

// A test of a plug-in loaded by the host as the workbench loads it: errors
// come back as statuses, the plug-in is found beside the program, and the
// test ends with every frame grabber closed and nothing allocated.
class HostPluginTest : public ::testing::Test {
protected:
    void SetUp() override { set_check("~give_error"); }

    void TearDown() override
    {
        ExpectAllClosedAndFreed();
        set_check("give_error");
    }

    ScopedVariable pluginPath_{"ONDULA_PLUGIN_PATH", nullptr};
};

// How many pixels of the `width` x `height` plane differ from `expected(x, y)`,
// from row `first_row` on.
template <typename Expected>
int WrongPixels(const std::vector<std::uint8_t>& plane, int width, int height, Expected expected,
                int first_row = 0)
{
    int wrong = 0;
    for (int y = first_row; y < height; ++y)
        for (int x = 0; x < width; ++x)
            wrong += plane[std::size_t(y) * std::size_t(width) + std::size_t(x)] != expected(x, y);
    return wrong;
}

// The first channel of the next frame of `handle`, checked to be a byte image
// of `width` x `height` with `channels` channels; empty when it is not.
inline std::vector<std::uint8_t> GrabBytePlane(long handle, int width, int height, int channels = 1)
{
    Vobject image;
    if (grab_image(&image, handle) != V_OK) {
        ADD_FAILURE() << "grab_image failed";
        return {};
    }
    int count = 0;
    EXPECT_EQ(count_channels(image, &count), V_OK);
    EXPECT_EQ(count, channels);
    void* pixels = nullptr;
    std::string type;
    int w = 0, h = 0;
    EXPECT_EQ(get_image_pointer1(image, &pixels, &type, &w, &h), V_OK);
    EXPECT_EQ(type, "byte");
    if (!pixels || w != width || h != height) {
        ADD_FAILURE() << "frame of " << w << " x " << h << ", expected " << width << " x "
                      << height;
        return {};
    }
    const auto* bytes = static_cast<const std::uint8_t*>(pixels);
    return {bytes, bytes + std::size_t(w) * std::size_t(h)};
}

// What one thread does on its own open frame grabber in each round: one
// answer asked, one setting made, one frame grabbed.
struct HandleCalls {
    long handle;
    const char* get;
    const char* set;
    VTuple value;
};

// Runs `rounds` rounds of calls on two handles at once from two threads, as a
// program with two cameras does; every call must succeed.
inline void ExpectCallsOnTwoThreads(const HandleCalls& first, const HandleCalls& second, int rounds)
{
    std::atomic<int> failed{0};
    std::string first_error[2];
    const auto run = [&](const HandleCalls& calls, std::string* error) {
        for (int n = 0; n < rounds; ++n) {
            VTuple answer;
            Vobject frame;
            for (const Vstatus status :
                 {get_framegrabber_param(calls.handle, calls.get, &answer),
                  set_framegrabber_param(calls.handle, calls.set, calls.value),
                  grab_image(&frame, calls.handle)})
                if (status != V_OK && failed++ == 0)
                    *error = vlast_error();
        }
    };
    std::thread other(run, std::cref(second), &first_error[1]);
    run(first, &first_error[0]);
    other.join();
    EXPECT_EQ(failed.load(), 0) << first_error[0] << first_error[1];
}

// Grabs on `handle` on one thread and, once the grab waits for its device on
// `gate`, sets "do_abort_grab" on another: the abort must not wait for the
// grab. The grab's status.
inline Vstatus GrabAbortedWhileItWaits(long handle, GatedClock& gate)
{
    using namespace std::chrono_literals;
    auto grab = std::async(std::launch::async, [&] {
        Vobject frame;
        return grab_image(&frame, handle);
    });
    gate.WaitForSleeper();
    auto abort = std::async(std::launch::async, [&] {
        return set_framegrabber_param(handle, "do_abort_grab", VTuple(0));
    });
    const bool abort_ran = abort.wait_for(60s) == std::future_status::ready;
    gate.Open();
    EXPECT_TRUE(abort_ran) << "the abort waited for the grab";
    EXPECT_EQ(abort.get(), V_OK);
    return grab.get();
}
