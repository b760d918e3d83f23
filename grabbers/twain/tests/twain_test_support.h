// Drives VFGTwain (or parVFGTwain) through its callbacks, as the host does, on
// the simulated sources in virtual time. Every test ends with nothing
// allocated through the host, no manager or source open and no memory handle
// alive.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "tests/support/host_allocations.h"
#include "tests/support/scoped_setting.h"
#include <fgint/plugin_driver.h>
#include <twain/simulation.h>
#include <verodyn/framegrabber.h>

using fg::Images;
using fg::Int;
using fg::Real;
using fg::Text;

class TwainTest : public ::testing::Test, protected fg::PluginDriver {
protected:
    TwainTest() : PluginDriver("interactive", "interactive") { }

    void SetUp() override
    {
        twain::UsePlatformClock(clock_);
        twsim::Configure({twsim::SourceConfig{}});
        ASSERT_EQ(Start(), FG_SUCCESS);
    }

    void TearDown() override
    {
        EndTest();
        fg::ExpectNothingAllocated();
        twain::FailGlobalAlloc(0);
        twain::FailGlobalLock(0);
        ExpectNothingOpen();
        twain::UseSteadyPlatformClock();
    }

    static void ExpectNothingOpen()
    {
        const twsim::Counters counters = twsim::Count();
        EXPECT_EQ(counters.managers, 0);
        EXPECT_EQ(counters.sources, 0);
        EXPECT_EQ(counters.handles, 0);
    }

    // The plug-in at `path` (loaded for the program's life) initialised into cls_.
    FGstatus Start(const char* path = TWAIN_PLUGIN_PATH)
    {
        CloseAll();
        return InitPlugin(path);
    }

    // The texts that `action` prints while low-level errors are asked for.
    template <typename Action> static std::string Printed(Action&& action)
    {
        VDoLowError = 1;
        testing::internal::CaptureStderr();
        action();
        std::string text = testing::internal::GetCapturedStderr();
        VDoLowError = 0;
        return text;
    }

    // A flatbed of the default kind whose page is 13 x 7 pixels at 100 dpi.
    static twsim::SourceConfig SmallPage()
    {
        twsim::SourceConfig config;
        config.right = 0.13;
        config.bottom = 0.07;
        return config;
    }

    ondula::VirtualClock clock_;
    // Where the plug-in looks for the manager; unset: in its own folder.
    ScopedVariable managerFolder_{"ONDULA_TWAIN_DIR", nullptr};
};
