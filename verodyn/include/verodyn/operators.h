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

// The operators below are implemented in the ops/, io/ and fft/ parts of the
// library; their rules (rounding, scaling, edge cases) are documented with them.
Vstatus invert_image(const Vobject& in, Vobject* out);
Vstatus fft_image(const Vobject& in, Vobject* out);
Vstatus fft_image_inv(const Vobject& in, Vobject* out);
Vstatus phase_deg(const Vobject& in, Vobject* out);
Vstatus power_real(const Vobject& in, Vobject* out);
Vstatus power_byte(const Vobject& in, Vobject* out);
Vstatus convert_image_type(const Vobject& in, Vobject* out, const char* type);
Vstatus access_channel(const Vobject& in, Vobject* out, int channel);
Vstatus tile_images(const Vobject& in, Vobject* out, int columns, const char* mode);
Vstatus crop_part(const Vobject& in, Vobject* out, int row, int column, int width, int height);
Vstatus zoom_image_size(const Vobject& in, Vobject* out, int width, int height, const char* interpolation);

// ---- Between two images ----------------------------------------------------
Vstatus add_image(const Vobject& a, const Vobject& b, Vobject* out, double factor, double offset);
Vstatus sub_image(const Vobject& a, const Vobject& b, Vobject* out, double factor, double offset);
Vstatus mult_image(const Vobject& a, const Vobject& b, Vobject* out, double factor, double offset);
Vstatus div_image(const Vobject& a, const Vobject& b, Vobject* out, double factor, double offset);
Vstatus bit_and(const Vobject& a, const Vobject& b, Vobject* out);
Vstatus bit_or(const Vobject& a, const Vobject& b, Vobject* out);
Vstatus bit_xor(const Vobject& a, const Vobject& b, Vobject* out);

// ---- Files -----------------------------------------------------------------
// Reads a TIFF or JPEG file (by content, not by suffix) into a "byte" image.
Vstatus read_image(Vobject* out, const char* path);
// Writes "tiff" (lossless) or "jpeg30" (JPEG quality 30); `fill` is accepted
// and unused. The file is replaced only once completely written.
Vstatus write_image(const Vobject& image, const char* format, int fill, const char* path);
