#include "zone_rules.h"

#include <algorithm>
#include <utility>

ImageZone ExtractionZone(int left, int top, int right, int bottom, int scrollX, int scrollY,
                         int width, int height)
{
    int x0 = scrollX + left, x1 = scrollX + right;
    int y0 = scrollY + top, y1 = scrollY + bottom;
    if (x1 < x0)
        std::swap(x0, x1);
    if (y1 < y0)
        std::swap(y0, y1);
    x0 = std::clamp(x0, 0, width);
    x1 = std::clamp(x1, 0, width);
    y0 = std::clamp(y0, 0, height);
    y1 = std::clamp(y1, 0, height);
    return {x0, y0, x1, y1};
}

bool MaskTrackerZone(int left, int top, int right, int bottom, int scrollX, int scrollY,
                     ImageZone* zone)
{
    const ImageZone z{scrollX + left, scrollY + top, scrollX + right, scrollY + bottom};
    if (z.x0 <= 0 || z.y0 <= 0 || z.x1 <= 0 || z.y1 <= 0 || z.x0 == z.x1 || z.y0 == z.y1)
        return false;
    *zone = z;
    return true;
}
