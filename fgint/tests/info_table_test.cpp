#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <fgint/info_table.h>
#include <verodyn/framegrabber.h>

namespace {

std::vector<std::string> g_calls;

FGstatus Failing(std::vector<std::string>*) { return FG_ERR_DEVICE; }

const int32_t kBits[] = {8, 16};
const char* const kNames[] = {"a", "b"};
const fg::InfoCallHooks kHooks{[](const char* call, int32_t) { g_calls.push_back(call); },
                               [](const char* call, FGstatus status, int32_t) {
                                   g_calls.push_back(std::string("failed ") + call);
                                   return status;
                               }};

const fg::InfoTable kTable{
    .file = "plugin.cpp",
    .line = 7,
    .general = {.text = "general"},
    .defaults_call = "defaults",
    .parameters = {.text = "parameters", .strings = kNames, .call = "names"},
    .boards = {.text = "boards", .lines = Failing, .call = "boards"},
    .revision = {.text_of = [] { return "computed"; }},
    .bits_per_channel = {.text = "bits", .integers = kBits},
    .last_query = FG_INFO_BITS_PER_CHANNEL,
    .hooks = &kHooks,
};

// Each query's text, values ("a,b"), status and the host calls it traced.
TEST(InfoTable, AnswersEachQueryFromTheTable)
{
    struct Case {
        int32_t query;
        std::string info, values;
        FGstatus status;
        std::vector<std::string> calls;
    };
    const Case cases[] = {
        {FG_INFO_GENERAL, "general", "", FG_SUCCESS, {}},
        {FG_INFO_PARAMETERS, "parameters", "a,b", FG_SUCCESS, {"names"}},
        {FG_INFO_BOARDS, "boards", "", FG_ERR_DEVICE, {}},
        {FG_INFO_REVISION, "computed", "", FG_SUCCESS, {}},
        {FG_INFO_BITS_PER_CHANNEL, "bits", "8,16", FG_SUCCESS, {}},
        {FG_INFO_PORT, "Unsupported query!", "", FG_SUCCESS, {}},
        {7, "Unsupported query!", "", FG_SUCCESS, {}},
        {FG_INFO_COLOR_SPACE, "Unsupported query!", "", FG_SUCCESS, {}},
        {-1, "Unsupported query!", "", FG_SUCCESS, {}},
    };
    for (const Case& c : cases) {
        g_calls.clear();
        const char* info = nullptr;
        Vcpar* values = nullptr;
        int32_t count = -1;
        EXPECT_EQ(fg::AnswerInfo(kTable, nullptr, 1, c.query, &info, &values, &count), c.status);
        std::string text;
        for (int32_t n = 0; n < count; ++n)
            text +=
                (n ? "," : "") + (values[n].type == VPAR_STRING ? std::string(values[n].par.s)
                                                                : std::to_string(values[n].par.l));
        EXPECT_STREQ(info, c.info.c_str()) << c.query;
        EXPECT_EQ(text, c.values) << c.query;
        EXPECT_EQ(g_calls, c.calls) << c.query;
        if (count > 0) {
            EXPECT_EQ(VXAllocated().back().file, "plugin.cpp");
        }
        VXFree(1, values, __FILE__, __LINE__, 0);
    }
}

// The defaults come from the class record, under the traced call's name.
TEST(InfoTable, AnswersTheDefaultsOfTheClass)
{
    FGClass cls{};
    cls.field = FG_FIELD_PROGRESSIVE;
    g_calls.clear();
    const char* info = nullptr;
    Vcpar* values = nullptr;
    int32_t count = 0;
    EXPECT_EQ(fg::AnswerInfo(kTable, &cls, 1, FG_INFO_DEFAULTS, &info, &values, &count),
              FG_SUCCESS);
    EXPECT_STREQ(info, FG_INFO_DEFAULTS_TEXT);
    ASSERT_EQ(count, 15);
    EXPECT_STREQ(values[6].par.s, "progressive");
    EXPECT_EQ(g_calls, std::vector<std::string>{"defaults"});
    VXFree(1, values, __FILE__, __LINE__, 0);
}

} // namespace
