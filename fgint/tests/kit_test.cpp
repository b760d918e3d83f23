#include <utility>

#include <gtest/gtest.h>

#include <fgint/channels.h>
#include <fgint/fghelpers.h>
#include <fgint/instance_record.h>
#include <fgint/shared_library.h>

namespace {

TEST(Channels, GrayAndRgbToTheLetterElseTheColourSpaceIsRefused)
{
    struct Case {
        const char* space;
        FGstatus status;
        int32_t channels;
    };
    for (const Case& c :
         {Case{"gray", FG_SUCCESS, 1}, Case{"rgb", FG_SUCCESS, 3},
          Case{"RGB", FG_ERR_COLOR_SPACE, -1}, Case{"default", FG_ERR_COLOR_SPACE, -1},
          Case{"", FG_ERR_COLOR_SPACE, -1}}) {
        FGInstance fginst{};
        fg_copy_text(fginst.color_space, sizeof fginst.color_space, c.space);
        fginst.num_channels = -1;
        EXPECT_EQ(fg::SetChannelsOfColourSpace(&fginst), c.status) << c.space;
        EXPECT_EQ(fginst.num_channels, c.channels) << c.space;
    }
}

TEST(BindFreeRecord, FirstRecordTakenInSlotOrderElseNone)
{
    bool taken[3] = {true, false, false};
    FGClass fgclass{};
    const auto take = [](bool& t) { return !std::exchange(t, true); };
    for (const int32_t slot : {1, 2}) {
        FGInstance fginst{};
        EXPECT_EQ(fg::BindFreeRecord(taken, &fgclass, &fginst, take), &fgclass.instance[slot]);
        EXPECT_EQ(fginst.plugin_instance, &taken[slot]);
    }
    FGInstance refused{};
    EXPECT_EQ(fg::BindFreeRecord(taken, &fgclass, &refused, take), nullptr);
    EXPECT_EQ(refused.plugin_instance, nullptr);
}

TEST(SharedLibrary, EntriesWhileOpenNoneAfterwards)
{
    using Cosine = double (*)(double);
    fg::SharedLibrary library;
    EXPECT_FALSE(library.Open("/no/such/library.so"));
    EXPECT_FALSE(library.IsOpen());
    EXPECT_EQ(library.Entry<Cosine>("cos"), nullptr);
    ASSERT_TRUE(library.Open("libm.so.6"));
    const Cosine cosine = library.Entry<Cosine>("cos");
    ASSERT_NE(cosine, nullptr);
    EXPECT_EQ(cosine(0.0), 1.0);
    EXPECT_EQ(library.Entry<Cosine>("no_such_entry"), nullptr);
    EXPECT_TRUE(library.Close());
    EXPECT_FALSE(library.IsOpen());
    EXPECT_EQ(library.Entry<Cosine>("cos"), nullptr);
    EXPECT_TRUE(library.Close());
}

} // namespace
