#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "digdec/src/rename.h"

using digdec::RenameResult;

TEST(RenameSisterBoard, FirstBrennaOnlyAndWithinBothBuffers)
{
    struct Case {
        uint32_t capacity;
        std::string text;
        std::string expected;
        RenameResult result;
    };
    const std::string long_tail(120, 'x');
    const Case cases[] = {
        {64, "Brenna", "Zephon II Dig", RenameResult::kRenamed},
        {64, "Brenna-2", "Zephon II Dig-2", RenameResult::kRenamed},
        {64, "My Brenna card", "My Zephon II Dig card", RenameResult::kRenamed},
        {64, "Brenna on Brenna", "Zephon II Dig on Brenna", RenameResult::kRenamed},
        {64, "brenna", "brenna", RenameResult::kUnchanged},
        {64, "", "", RenameResult::kUnchanged},
        {14, "Brenna", "Zephon II Dig", RenameResult::kRenamed},
        {10, "Brenna", "Zephon II", RenameResult::kTruncated},
        {7, "Brenna", "Zephon", RenameResult::kTruncated},
        {16, "Brenna 0123", "Zephon II Dig 0", RenameResult::kTruncated},
        {200, "Brenna" + long_tail, ("Zephon II Dig" + long_tail).substr(0, 127),
         RenameResult::kTruncated},
    };
    for (const Case& c : cases) {
        std::vector<char> buffer(c.capacity + 8, '#');
        std::memcpy(buffer.data(), c.text.c_str(), c.text.size() + 1);
        EXPECT_EQ(digdec::RenameSisterBoard(buffer.data(), c.capacity), c.result) << c.text;
        EXPECT_EQ(std::string(buffer.data()), c.expected) << c.text;
        EXPECT_EQ(std::string(buffer.data() + c.capacity, 8), std::string(8, '#'))
            << "written past capacity";
    }
}

TEST(RenameSisterBoard, UnterminatedOrMissingTextIsLeftAlone)
{
    char bytes[6] = {'B', 'r', 'e', 'n', 'n', 'a'};
    EXPECT_EQ(digdec::RenameSisterBoard(bytes, sizeof bytes), RenameResult::kUnchanged);
    EXPECT_EQ(std::memcmp(bytes, "Brenna", 6), 0);
    EXPECT_EQ(digdec::RenameSisterBoard(nullptr, 10), RenameResult::kUnchanged);
}
