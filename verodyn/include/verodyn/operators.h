// The image operators. Each returns V_OK (2) or a status number of status.h,
// and records the failure (vlast_error); under set_check("give_error") a
// failure throws VException instead. An output object is written only on success.
// Unless stated otherwise an operator works on the first image of its input object.
#pragma once

#include <string>

#include "verodyn/object.h"
#include "verodyn/tuple.h"

// ---- Images ----------------------------------------------------------------

// A one-channel image of type "byte", "uint2", "int4", "real" or "complex",
// copied from the plane at `plane` (width x height pixels, row by row).
Vstatus gen_image1(Vobject* out, const char* type, int width, int height, const void* plane);
// A three-channel image copied from three planes.
Vstatus gen_image3(Vobject* out, const char* type, int width, int height, const void* red,
                   const void* green, const void* blue);
// A one-channel image of the given type whose pixels are all 0.
Vstatus gen_image_const(Vobject* out, const char* type, int width, int height);
// An object without images.
Vstatus gen_empty_obj(Vobject* out);
Vstatus count_channels(const Vobject& image, int* count);
// The first channel's plane, read and written in place (it stays valid while
// an object holds the image), with its type name and size. Null outputs are skipped.
Vstatus get_image_pointer1(const Vobject& image, void** plane, std::string* type, int* width,
                           int* height);
// The three planes of a three-channel image.
Vstatus get_image_pointer3(const Vobject& image, void** red, void** green, void** blue,
                           std::string* type, int* width, int* height);
// An independent copy of every image of the object.
Vstatus copy_image(const Vobject& in, Vobject* out);
// The images of `a` followed by those of `b`.
Vstatus concat_obj(const Vobject& a, const Vobject& b, Vobject* out);
