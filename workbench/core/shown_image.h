// The picture of an image as the program shows and copies it: "byte" images
// as they are; "real" and "complex" ones scaled into grey levels.
#pragma once

#include <verodyn/object.h>

// The "byte" image shown for `image`. A "real" channel is scaled linearly, its
// smallest finite value to 0 and its largest to 255 (rounded; a constant
// channel gives 0, NaN and infinities 0). A "complex" channel, and a "real"
// one without negative value when `spectrum` (an image of the FFT family), is
// scaled the same way on log(1 + modulus), so that more than the mean shows.
// False when `image` holds no "byte", "real" or "complex" image.
bool ShownImage(const Vobject& image, bool spectrum, Vobject* shown);
