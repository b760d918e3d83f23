#include <gtest/gtest.h>

#include <dvl/dvl.h>
#include <dvl/reports.h>
#include <dvl/text_buffer.h>

TEST(DvlErrorReport, ThreeOrdinalsMakeOneRecordedReport)
{
    dvl::ClearRecordedReports();
    const DvlErrorContext context = DvlOpenErrorContext("Internal", 0, 0, 0, 0, 0, 0x10000000, 0);
    ASSERT_NE(context, 0);
    EXPECT_EQ(DvlAddErrorMessage(context, 101, "Fatal memory error.",
                                 "Not enough memory to process.", 0, 0),
              DVL_OK);
    EXPECT_TRUE(dvl::RecordedReports().empty());
    EXPECT_EQ(DvlRaiseError(context), DVL_OK);

    const auto reports = dvl::RecordedReports();
    ASSERT_EQ(reports.size(), 1u);
    const dvl::Report& r = reports[0];
    EXPECT_EQ(r.origin, "Internal");
    EXPECT_EQ(r.open_args, (std::array<int32_t, 7>{0, 0, 0, 0, 0, 0x10000000, 0}));
    EXPECT_EQ(r.code, 101);
    EXPECT_EQ(r.title, "Fatal memory error.");
    EXPECT_EQ(r.text, "Not enough memory to process.");
    EXPECT_EQ(r.ordinals, (std::vector<int>{169, 172, 1223}));
}

TEST(DvlErrorReport, RaisedOrUnknownContextIsRefused)
{
    const DvlErrorContext context = DvlOpenErrorContext("Internal", 0, 0, 0, 0, 0, 0x10000000, 0);
    ASSERT_EQ(DvlRaiseError(context), DVL_OK);
    EXPECT_EQ(DvlRaiseError(context), DVL_UNKNOWN_CONTEXT);
    EXPECT_EQ(DvlAddErrorMessage(context, 101, "a", "b", 0, 0), DVL_UNKNOWN_CONTEXT);
    EXPECT_EQ(DvlAddErrorMessage(0, 101, "a", "b", 0, 0), DVL_UNKNOWN_CONTEXT);
}

TEST(DvlText, BufferKeepsItsCapacityAndCutsLongTexts)
{
    dvl::TextBuffer text(8, "Brenna digitizer");
    uint32_t capacity = 0;
    const char* bytes = DvlTextResolve(text.handle(), &capacity);
    ASSERT_NE(bytes, nullptr);
    EXPECT_EQ(capacity, 8u);
    EXPECT_STREQ(bytes, "Brenna ");
    EXPECT_EQ(text.str(), "Brenna ");
}

TEST(DvlText, UnknownFreedAndEmptyHandlesResolveToNothing)
{
    uint32_t capacity = 99;
    EXPECT_EQ(DvlTextResolve(0, &capacity), nullptr);
    EXPECT_EQ(capacity, 0u);
    EXPECT_EQ(DvlTextCreate(0, "x"), 0u);

    DvlText handle = DvlTextCreate(4, nullptr);
    ASSERT_NE(handle, 0u);
    EXPECT_STREQ(DvlTextResolve(handle, nullptr), "");
    DvlTextFree(handle);
    EXPECT_EQ(DvlTextResolve(handle, &capacity), nullptr);
}

TEST(DvlText, MovedBufferKeepsOneOwner)
{
    dvl::TextBuffer a(16, "Brenna");
    const DvlText handle = a.handle();
    dvl::TextBuffer b(std::move(a));
    EXPECT_EQ(a.handle(), 0u);
    EXPECT_EQ(b.handle(), handle);
    EXPECT_EQ(b.str(), "Brenna");
    dvl::TextBuffer c(4, "x");
    c = std::move(b);
    EXPECT_EQ(c.str(), "Brenna");
}
