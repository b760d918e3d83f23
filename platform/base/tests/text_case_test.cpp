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

TEST(TextCaseTest, FoldsLatinGreekAndCyrillicCapitalsOfUtf8)
{
    const struct {
        const char* text;
        const char* lowered;
    } cases[] = {
        {"ÀÖØÞ ×ß", "àöøþ ×ß"},
        {"ĀĮĲĶĹŇŊŶŸŹŽ ŒÇ", "āįĳķĺňŋŷÿźž œç"},
        {"İı ſ ĸ ŉ", "İı ſ ĸ ŉ"},
        {"ΆΈΊΌΎΏ ΑΡΣΫ ς", "άέίόύώ αρσϋ ς"},
        {"ЀЏАЯ ѐя", "ѐџая ѐя"},
        {"€ 😀 Ǆ", "€ 😀 Ǆ"},
        {"\xC9\x41 \xC3", "\xC9\x61 \xC3"},
        {"\xC0\x81Z \xC3\xC3\x80", "\xC0\x81z \xC3\xC3\xA0"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(lowered_utf8(c.text), c.lowered) << c.text;
}

} // namespace
} // namespace ondula
