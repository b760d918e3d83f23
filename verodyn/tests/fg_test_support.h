// Shared by the frame-grabber tests: a fixture that ends every test with
// nothing open and nothing allocated, and access to the simulated plug-in.
#pragma once

#include <dlfcn.h>
#include <gtest/gtest.h>

#include "tests/support/host_allocations.h"
#include "tests/support/scoped_setting.h"
#include <fgint/fgint.h>
#include <verodyn/verodyn.h>

class FramegrabberTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        set_check("~give_error");
        std::string text;
        VTuple values;
        ASSERT_EQ(info_framegrabber("MockCam", "general", &text, &values), V_OK);
    }

    void TearDown() override
    {
        EXPECT_EQ(close_all_framegrabbers(), V_OK);
        fg::ExpectNothingAllocated();
        set_check("give_error");
    }

    // A function the simulated plug-in exports for tests.
    template <typename Fn> static Fn* mock(const char* name)
    {
        void* library = dlopen(MOCK_PLUGIN_PATH, RTLD_NOW | RTLD_NOLOAD);
        EXPECT_NE(library, nullptr) << "the host has not loaded " << MOCK_PLUGIN_PATH;
        auto* fn = reinterpret_cast<Fn*>(dlsym(library, name));
        dlclose(library);
        return fn;
    }

    static FGClass* mock_class() { return mock<FGClass*()>("MockClass")(); }
    static int32_t mock_open_count() { return mock<int32_t()>("MockOpenCount")(); }
    static FGInstance last_open() { return *mock<const FGInstance*()>("MockLastOpen")(); }

    static long open_mock(const char* color_space = "default", int bits = -1,
                          const char* device = "0")
    {
        long handle = 0;
        EXPECT_EQ(open_framegrabber("MockCam", 1, 1, 0, 0, 0, 0, "default", bits, color_space, 1.0,
                                    "default", "mock*", device, 0, 0, &handle),
                  V_OK);
        return handle;
    }

    // Opens MockCam on `device`, which the plug-in refuses with `status`:
    // no handle comes back, no slot stays bound and nothing is open.
    static void expect_open_refused(const char* device, Vstatus status)
    {
        long handle = -1;
        EXPECT_EQ(open_framegrabber("MockCam", 1, 1, 0, 0, 0, 0, "default", -1, "default", 1.0,
                                    "default", "mock*", device, 0, 0, &handle),
                  status);
        EXPECT_EQ(handle, -1);
        for (FGInstance* slot : mock_class()->instance)
            EXPECT_EQ(slot, nullptr);
        EXPECT_EQ(mock_open_count(), 0);
    }

    // The instance record of an open handle, found through the class slots.
    static const FGInstance* instance_of_slot(int index) { return mock_class()->instance[index]; }

    ScopedVariable pluginPath_{"ONDULA_PLUGIN_PATH", "/nonexistent:" BROKEN_PLUGIN_DIR};
};
