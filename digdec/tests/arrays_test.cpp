// The growable arrays and the tables built on them.
#include <gtest/gtest.h>

#include "digdec/src/growable_array.h"
#include <dvl/reports.h>

using namespace digdec;

namespace {

// Allocates normally until told to fail.
struct SwitchableAllocator {
    static inline bool fail = false;
    static void* Allocate(std::size_t bytes)
    {
        return fail ? nullptr : HeapAllocator::Allocate(bytes);
    }
    static void Free(void* block) { HeapAllocator::Free(block); }
};

class Arrays : public ::testing::Test {
protected:
    void SetUp() override { dvl::ClearRecordedReports(); }
    void TearDown() override { SwitchableAllocator::fail = false; }
};

} // namespace

TEST_F(Arrays, NewRecordIsMinusOneMinusOneThenZeros)
{
    RecordArray records;
    ASSERT_TRUE(records.Resize(2, false));
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(records[i].index, -1);
        EXPECT_EQ(records[i].kind, -1);
        EXPECT_EQ(records[i].flags, 0);
        EXPECT_EQ(records[i].size, 0);
        EXPECT_EQ(records[i].word0, 0u);
        EXPECT_EQ(records[i].word1, 0u);
    }
}

TEST_F(Arrays, ResizeKeepsOrDropsElements)
{
    struct Step {
        int size;
        bool keep;
        std::vector<uint8_t> expected;
    };
    const Step steps[] = {
        {5, true, {0, 0, 0, 0, 0}},
        {7, true, {1, 2, 3, 4, 5, 0, 0}},
        {3, true, {1, 2, 3}},
        {4, false, {0, 0, 0, 0}},
    };
    ByteArray bytes;
    for (const Step& s : steps) {
        ASSERT_TRUE(bytes.Resize(s.size, s.keep));
        EXPECT_EQ(bytes.size(), s.size);
        EXPECT_EQ(bytes.used(), s.size);
        EXPECT_EQ(std::vector<uint8_t>(bytes.data(), bytes.data() + s.size), s.expected);
        for (int i = 0; i < s.size; ++i)
            bytes[i] = static_cast<uint8_t>(i + 1);
    }
}

TEST_F(Arrays, SameSizeKeepsStorageAndZeroOrLessFreesIt)
{
    ByteArray bytes;
    ASSERT_TRUE(bytes.Resize(4, false));
    uint8_t* storage = bytes.data();
    bytes[0] = 9;
    ASSERT_TRUE(bytes.Resize(4, false));
    EXPECT_EQ(bytes.data(), storage);
    EXPECT_EQ(bytes[0], 9);
    for (int n : {0, -3}) {
        ASSERT_TRUE(bytes.Resize(4, false));
        ASSERT_TRUE(bytes.Resize(n, true));
        EXPECT_EQ(bytes.data(), nullptr);
        EXPECT_EQ(bytes.size(), 0);
        EXPECT_EQ(bytes.used(), 0);
    }
}

TEST_F(Arrays, FailedAllocationIsReportedAndLeavesArrayUnchanged)
{
    GrowableArray<ParamRecord, SwitchableAllocator> records;
    ASSERT_TRUE(records.Resize(2, false));
    records[1].word0 = 77;
    const ParamRecord* storage = records.data();

    SwitchableAllocator::fail = true;
    EXPECT_FALSE(records.Resize(50, true));
    EXPECT_EQ(records.data(), storage);
    EXPECT_EQ(records.size(), 2);
    EXPECT_EQ(records.used(), 2);
    EXPECT_EQ(records[1].word0, 77u);

    const auto reports = dvl::RecordedReports();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].ordinals, (std::vector<int>{169, 172, 1223}));
    EXPECT_EQ(reports[0].origin, "Internal");
    EXPECT_EQ(reports[0].open_args, (std::array<int32_t, 7>{0, 0, 0, 0, 0, 0x10000000, 0}));
    EXPECT_EQ(reports[0].code, 101);
    EXPECT_EQ(reports[0].title, "Fatal memory error.");
    EXPECT_EQ(reports[0].text, "Not enough memory to process.");
    EXPECT_EQ(reports[0].message_args, (std::array<int32_t, 2>{0, 0}));
}

TEST_F(Arrays, InlineTableMovesOutForThirteenAndBack)
{
    InlineTable<uint32_t, 12> table;
    ASSERT_TRUE(table.Grow(12));
    EXPECT_TRUE(table.inside());
    for (int i = 0; i < 12; ++i)
        table[i] = static_cast<uint32_t>(i * 3);
    ASSERT_TRUE(table.Grow(13));
    EXPECT_FALSE(table.inside());
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(table[i], static_cast<uint32_t>(i * 3));
    EXPECT_EQ(table[12], 0u);
    ASSERT_TRUE(table.Grow(5));
    EXPECT_EQ(table.size(), 13);
    table.Clear();
    EXPECT_TRUE(table.inside());
    EXPECT_EQ(table.size(), 0);
}

TEST_F(Arrays, InlineTableKeepsItsEntriesWhenGrowingFails)
{
    InlineTable<uint32_t, 12, SwitchableAllocator> table;
    ASSERT_TRUE(table.Grow(3));
    table[2] = 5;
    SwitchableAllocator::fail = true;
    EXPECT_FALSE(table.Grow(13));
    EXPECT_EQ(table.size(), 3);
    EXPECT_EQ(table[2], 5u);
    EXPECT_EQ(dvl::RecordedReports().size(), 1u);
}
