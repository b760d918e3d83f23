#include "resize_rules.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

namespace {

int DocumentSide(double side) { return static_cast<int>(std::clamp(side, 1.0, double(INT16_MAX))); }

} // namespace

int SmallestResizePercent(int width) { return std::max(width >= 150 ? 15000 / width : 100, 20); }

ResizedSize SizeAtPercent(int percent, int width, int height)
{
    return {DocumentSide(percent * width * 0.01), DocumentSide(percent * height * 0.01)};
}

std::string ResizeRangeText(int smallest, int percent)
{
    char text[64];
    std::snprintf(text, sizeof text, "Coef[%d,%d]: %d %%", smallest, kLargestResizePercent,
                  percent);
    return text;
}

std::string ResizeSizeText(int percent, int smallest, int width, int height)
{
    const ResizedSize now = SizeAtPercent(percent, width, height);
    char text[160];
    std::snprintf(text, sizeof text, "Dimensions (pixel): %d x %d\nMini: %d x %d\nMaxi: %d x %d",
                  now.width, now.height, width * smallest / 100, height * smallest / 100, 2 * width,
                  2 * height);
    return text;
}
