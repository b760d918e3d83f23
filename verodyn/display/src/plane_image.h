// The planes of an image to the QImage a display window paints.
#pragma once

#include <QImage>

#include <verodyn/object.h>

namespace verodyn::display {

// Copies an image of 1 or 3 channels into `target`: one channel as
// Format_Grayscale8 (row copies), three as Format_RGB32 (red, green, blue planes
// interleaved). "byte" planes are shown as they are; "real" planes, and the
// modulus of "complex" ones, are scaled linearly per channel, the smallest value
// to 0 and the largest to 255 (rounded to the nearest; a constant channel gives
// 0; NaN and infinities give 0 and count for neither end). The buffer of
// `target` is reused when it already has the size and format. False when memory
// is short (`target` is then null).
bool planes_to_qimage(const VImage& image, QImage& target);

} // namespace verodyn::display
