// Byte planes of an image to the QImage a display window paints.
#pragma once

#include <QImage>

#include "verodyn/object.h"

namespace verodyn::display {

// Copies a "byte" image of 1 or 3 channels into `target`: one channel as
// Format_Grayscale8 (row copies), three as Format_RGB32 (red, green, blue planes
// interleaved). The buffer of `target` is reused when it already has the size
// and format. False when memory is short (`target` is then null).
bool planes_to_qimage(const VImage& image, QImage& target);

} // namespace verodyn::display
