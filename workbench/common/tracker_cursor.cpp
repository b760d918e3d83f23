#include "tracker_cursor.h"

#include <cstdlib>

Qt::CursorShape TrackerCursorShape(const TrackerRect& r, int handleSize, int x, int y)
{
    const int s = handleSize;
    const bool left = r.left < x && x < r.left + s;
    const bool right = r.right - s < x && x < r.right;
    const bool top = r.top < y && y < r.top + s;
    const bool bottom = r.bottom - s < y && y < r.bottom;
    if ((left && top) || (right && bottom))
        return Qt::SizeFDiagCursor;
    if ((left && bottom) || (right && top))
        return Qt::SizeBDiagCursor;
    if ((top || bottom) && std::abs(x - (r.left + r.right) / 2) < s / 2)
        return Qt::SizeVerCursor;
    if ((left || right) && std::abs(y - (r.top + r.bottom) / 2) < s / 2)
        return Qt::SizeHorCursor;
    return Qt::ArrowCursor;
}
