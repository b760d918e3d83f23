#include <gtest/gtest.h>

#include "workbench/common/tracker_cursor.h"

namespace {

struct CursorCase {
    TrackerRect rect;
    int size, x, y;
    Qt::CursorShape shape;
};

class TrackerCursorTest : public ::testing::TestWithParam<CursorCase> { };

TEST_P(TrackerCursorTest, ZoneGivesCursor)
{
    const CursorCase& c = GetParam();
    EXPECT_EQ(TrackerCursorShape(c.rect, c.size, c.x, c.y), c.shape);
}

// Rectangle 100,50 - 200,130 with handle size 8: left zone x 101..107, right
// 193..199, top y 51..57, bottom 123..129; middle column 150, middle row 90.
constexpr TrackerRect zone{100, 50, 200, 130};

INSTANTIATE_TEST_SUITE_P(
    Zones, TrackerCursorTest,
    ::testing::Values(CursorCase{zone, 8, 101, 51, Qt::SizeFDiagCursor},
                      CursorCase{zone, 8, 199, 129, Qt::SizeFDiagCursor},
                      CursorCase{zone, 8, 107, 57, Qt::SizeFDiagCursor},
                      CursorCase{zone, 8, 101, 129, Qt::SizeBDiagCursor},
                      CursorCase{zone, 8, 199, 51, Qt::SizeBDiagCursor},
                      CursorCase{zone, 8, 150, 51, Qt::SizeVerCursor},
                      CursorCase{zone, 8, 147, 55, Qt::SizeVerCursor},
                      CursorCase{zone, 8, 146, 55, Qt::ArrowCursor},
                      CursorCase{zone, 8, 153, 125, Qt::SizeVerCursor},
                      CursorCase{zone, 8, 154, 125, Qt::ArrowCursor},
                      CursorCase{zone, 8, 101, 90, Qt::SizeHorCursor},
                      CursorCase{zone, 8, 199, 87, Qt::SizeHorCursor},
                      CursorCase{zone, 8, 199, 86, Qt::ArrowCursor},
                      CursorCase{zone, 8, 105, 93, Qt::SizeHorCursor},
                      CursorCase{zone, 8, 105, 94, Qt::ArrowCursor},
                      // The zones' bounds are strict.
                      CursorCase{zone, 8, 100, 51, Qt::ArrowCursor},
                      CursorCase{zone, 8, 108, 90, Qt::ArrowCursor},
                      CursorCase{zone, 8, 150, 50, Qt::ArrowCursor},
                      CursorCase{zone, 8, 200, 129, Qt::ArrowCursor},
                      CursorCase{zone, 8, 150, 90, Qt::ArrowCursor},
                      CursorCase{zone, 8, 20, 20, Qt::ArrowCursor},
                      // No handles, no zones; an odd size halves to 4.
                      CursorCase{zone, 0, 101, 51, Qt::ArrowCursor},
                      CursorCase{zone, 9, 108, 90, Qt::SizeHorCursor},
                      CursorCase{zone, 9, 101, 87, Qt::SizeHorCursor},
                      CursorCase{zone, 9, 101, 86, Qt::ArrowCursor},
                      // Integer halves truncate: the middle column of -41..0 is -20.
                      CursorCase{{-41, -41, 0, 0}, 8, -17, -40, Qt::SizeVerCursor},
                      CursorCase{{-41, -41, 0, 0}, 8, -24, -40, Qt::ArrowCursor},
                      // An inverted rectangle is taken as it stands.
                      CursorCase{{200, 130, 100, 50}, 8, 201, 131, Qt::SizeFDiagCursor},
                      CursorCase{{200, 130, 100, 50}, 8, 101, 51, Qt::ArrowCursor}));

} // namespace
