// The mouse cursor over a zone tracker.
#pragma once

#include <QtCore/qnamespace.h>

#include "rect_tracker.h"

// The cursor for the mouse at (x, y) over rectangle `r` with handle size s.
// Four zones lie along the edges: left l < x < l + s, right r - s < x < r,
// top t < y < t + s, bottom b - s < y < b. The first that applies: the
// diagonal NW-SE cursor (SizeFDiag) in the left and top or the right and bottom
// zones, NE-SW (SizeBDiag) in the left and bottom or right and top zones,
// SizeVer in the top or bottom zone within s / 2 of the middle column
// (l + r) / 2, SizeHor in the left or right zone within s / 2 of the middle row,
// else Arrow. Halves are integer divisions; `r` is used as it stands.
Qt::CursorShape TrackerCursorShape(const TrackerRect& r, int handleSize, int x, int y);
