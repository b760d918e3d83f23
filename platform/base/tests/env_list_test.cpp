#include <base/env_list.h>

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(EnvList, EmptyEntriesAreSkippedAndBadOnesReportedByName)
{
    struct Case {
        std::string value;
        std::vector<std::string> taken;
        std::string report;
    };
    const Case cases[] = {
        {"", {}, ""},
        {"a,b", {"a", "b"}, ""},
        {"a,", {"a"}, ""},
        {",,a,,b,", {"a", "b"}, ""},
        {"a,bad,b", {"a", "b"}, "ONDULA_TEST_LIST: entry \"bad\" ignored\n"},
        {"bad", {}, "ONDULA_TEST_LIST: entry \"bad\" ignored\n"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> taken;
        testing::internal::CaptureStderr();
        const int count =
            ondula::take_list_entries("ONDULA_TEST_LIST", c.value, [&](const std::string& entry) {
                if (entry == "bad")
                    return false;
                taken.push_back(entry);
                return true;
            });
        EXPECT_EQ(testing::internal::GetCapturedStderr(), c.report) << c.value;
        EXPECT_EQ(taken, c.taken) << c.value;
        EXPECT_EQ(count, int(c.taken.size())) << c.value;
    }
}

} // namespace
