// parVFGTwain, driven as the parallel edition of the library drives it: an
// earlier revision that answers info queries 0 to 6 only and takes the window
// that has the keyboard focus as its parent.
#include "info_cases.h"
#include "twain_test_support.h"

namespace {

using TwainParallelEditionTest = TwainTest;

TEST_F(TwainParallelEditionTest, AnswersItsQueriesAndLooksForTheFocusWindow)
{
    for (const InfoCase& c : kInfoCases)
        EXPECT_EQ(Answer(cls_, c.query), c.parallel.empty() ? c.answer : c.parallel) << c.query;
    FGInstance& i = Request();
    FGstatus status = 0;
    EXPECT_EQ(Printed([&] { status = Open(i); }), "FGOpen error: GetFocus() delivered NULL\n");
    EXPECT_EQ(status, FG_SUCCESS);
    EXPECT_EQ(Get(i, "revision"), "2.4");
}

} // namespace
