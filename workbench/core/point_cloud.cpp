#include "point_cloud.h"

#include <algorithm>

namespace {

// Scene units per pixel and per grey level.
constexpr float kUnit = 0.004f;
// Points keep this far from every edge of the image.
constexpr int kBorder = 5;

// How many of first, first + step, ... lie at or before `last`.
int Steps(int first, int last, int step) { return last < first ? 0 : (last - first) / step + 1; }

// Columns while x + step < width - kBorder, rows while y < height - kBorder.
int CloudColumns(int width, int step) { return Steps(kBorder, width - kBorder - step - 1, step); }
int CloudRows(int height, int step) { return Steps(kBorder, height - kBorder - 1, step); }

} // namespace

RampColour CloudRamp(int g)
{
    if (g <= 0)
        return {};
    const int b = 1023 - 4 * g;
    if (b <= 255)
        return {0, b, 255};
    if (b <= 511)
        return {b - 256, 255, 511 - b};
    if (b <= 767)
        return {255, 767 - b, 0};
    return {1023 - b, 0, b - 768};
}

int CloudPointCount(int width, int height, int step)
{
    step = std::clamp(step, 1, 2);
    return CloudColumns(width, step) * CloudRows(height, step);
}

void MakePointCloud(const uint8_t* plane, int width, int height, int step, float* positions,
                    uint8_t* colours)
{
    step = std::clamp(step, 1, 2);
    const int columns = CloudColumns(width, step), rows = CloudRows(height, step);
    const int halfWidth = width / 2, halfHeight = height / 2;
    for (int r = 0; r < rows; ++r) {
        const int y = kBorder + r * step;
        const uint8_t* row = plane + size_t(width) * y;
        for (int k = 0; k < columns; ++k) {
            const int x = kBorder + k * step;
            const RampColour c = CloudRamp(row[x]);
            *positions++ = float(x - halfWidth) * kUnit;
            *positions++ = float(y - halfHeight) * kUnit;
            *positions++ = float(row[x]) * kUnit;
            *colours++ = uint8_t(c.red);
            *colours++ = uint8_t(c.green);
            *colours++ = uint8_t(c.blue);
        }
    }
}

bool CloudGreyPlane(const PlaneView& image, int width, int height, std::vector<uint8_t>* plane)
{
    plane->assign(size_t(std::max(width, 0)) * size_t(std::max(height, 0)), 0);
    if (image.channels == 0 || image.width != width || image.height != height)
        return false;
    for (size_t i = 0; i < plane->size(); ++i)
        (*plane)[i] =
            image.channels == 1
                ? image.planes[0][i]
                : uint8_t(PixelLuminance(
                      PackRgb(image.planes[0][i], image.planes[1][i], image.planes[2][i]), 3));
    return true;
}
