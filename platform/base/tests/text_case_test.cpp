#include <base/text_case.h>

#include <gtest/gtest.h>

namespace ondula {
namespace {

TEST(TextCaseTest, FoldsAsciiLettersOnly)
{
    EXPECT_EQ(lowered("VFG1394IIDC.so"), "vfg1394iidc.so");
    EXPECT_EQ(lowered("\\\\.\\QUENLO.VXD \xC9"), "\\\\.\\quenlo.vxd \xC9");
    const struct {
        const char* a;
        const char* b;
        bool equal;
    } cases[] = {
        {"Quartz.DLL", "quartz.dll", true},
        {"_Default30", "_default30", true},
        {"lpt", "lpt1", false},
        {"", "", true},
        {"\xC9", "\xE9", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(equal_ignoring_case(c.a, c.b), c.equal) << c.a << " " << c.b;
}

} // namespace
} // namespace ondula
