// The 3-D view's point cloud of a grey plane: where each point stands and its
// colour on a cyclic ramp, as vertex arrays ready to draw.
#pragma once

#include <cstdint>
#include <vector>

#include <imageproc/plane_buffers.h>

struct RampColour {
    int red = 0;
    int green = 0;
    int blue = 0;
    bool operator==(const RampColour&) const = default;
};

// The colour of grey level g (0..255): black for 0; otherwise, with
// B = 1023 - 4g, (0, B, 255) for g 192..255, (B - 256, 255, 511 - B) for
// 128..191, (255, 767 - B, 0) for 64..127 and (1023 - B, 0, B - 768) for 1..63:
// blue to red through purple, then yellow, cyan and back to blue.
RampColour CloudRamp(int g);

// How many points MakePointCloud makes of a width x height plane (see there).
int CloudPointCount(int width, int height, int step);

// Writes the points of `plane`, width x height bytes row by row, as vertex
// arrays ready to draw: x, y, z floats per point into `positions` and red,
// green, blue bytes (the ramp colour, which the renderer divides by 255)
// into `colours`, each with room for CloudPointCount points. The step is
// clamped to 1..2; columns x = 5, 5 + step, ... while x + step < width - 5
// and rows y = 5, 5 + step, ... while y < height - 5, so an image narrower or
// lower than 11 pixels has no points. With g = plane[width * y + x] a point
// stands at ((x - width / 2) x 0.004, (y - height / 2) x 0.004, g x 0.004),
// integer halves, with colour CloudRamp(g).
void MakePointCloud(const uint8_t* plane, int width, int height, int step, float* positions,
                    uint8_t* colours);

// The grey plane of `image` for the cloud, width x height bytes: the grey
// level of a one-channel image, (30 R + 59 G + 11 B) / 100 of a colour one.
// When the image is not a width x height byte image the plane is all zeros
// and false is returned.
bool CloudGreyPlane(const PlaneView& image, int width, int height, std::vector<uint8_t>* plane);
