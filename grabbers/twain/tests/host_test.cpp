// VFGTwain loaded by the host, opened as the workbench opens source 1.
#include <gtest/gtest.h>

#include "tests/support/host_plugin_checks.h"
#include <twain/simulation.h>
#include <verodyn/verodyn.h>

namespace {

class TwainHostTest : public HostPluginTest {
protected:
    void SetUp() override
    {
        twsim::ConfigureFromEnvironment();
        HostPluginTest::SetUp();
    }

    void TearDown() override
    {
        HostPluginTest::TearDown();
        const twsim::Counters counters = twsim::Count();
        EXPECT_EQ(counters.managers, 0);
        EXPECT_EQ(counters.sources, 0);
        EXPECT_EQ(counters.handles, 0);
    }

    ScopedVariable managerFolder_{"ONDULA_TWAIN_DIR", nullptr};
};

TEST_F(TwainHostTest, SourceOneGivesTheDefaultPage)
{
    std::string text;
    VTuple names;
    ASSERT_EQ(info_framegrabber("TWAIN", "parameters", &text, &names), V_OK);
    EXPECT_EQ(names.length(), 20u);
    long handle = 0;
    ASSERT_EQ(open_framegrabber("TWAIN", 1, 1, 0, 0, 0, 0, "default", -1, "default", -1.0,
                                "default", "interactive:inches", "interactive", -1, 1, &handle),
              V_OK);
    Vobject image;
    ASSERT_EQ(grab_image(&image, handle), V_OK);
    void* planes[3] = {};
    std::string type;
    int width = 0, height = 0;
    ASSERT_EQ(get_image_pointer3(image, &planes[0], &planes[1], &planes[2], &type, &width, &height),
              V_OK);
    EXPECT_EQ(type, "byte");
    ASSERT_EQ(width, 640);
    ASSERT_EQ(height, 480);
    int wrong = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const size_t at = size_t(y) * size_t(width) + size_t(x);
            wrong += static_cast<const uint8_t*>(planes[0])[at] != uint8_t(x);
            wrong += static_cast<const uint8_t*>(planes[1])[at] != uint8_t(y);
            wrong += static_cast<const uint8_t*>(planes[2])[at] != 1;
        }
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(close_framegrabber(handle), V_OK);
}

} // namespace
