#include "print_scale.h"

#include <algorithm>

PrintViewport PrintScale(int pageWidth, int pageHeight, int width, int height)
{
    PrintViewport v;
    if (width <= 0 || height <= 0)
        return v;
    v.scale = std::min(double(pageWidth) / width, double(pageHeight) / height);
    v.width = static_cast<int>(width * v.scale);
    v.height = static_cast<int>(height * v.scale);
    return v;
}
