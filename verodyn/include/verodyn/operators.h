// The image operators. Each returns V_OK (2) or a status number of status.h,
// and records the failure (vlast_error); under set_check("give_error") a
// failure throws VException instead. An output object is written only on success.
// Unless stated otherwise an operator works on the first image of its input object.
// The output object may be an input object: it then receives a new image, and
// plane addresses taken from it before stay valid only while another object
// still holds the old image.
#pragma once

#include <string>

#include <verodyn/export.h>
#include <verodyn/object.h>
#include <verodyn/tuple.h>

// ---- Images ----------------------------------------------------------------

// A one-channel image of type "byte", "uint2", "int4", "real" or "complex",
// copied from the plane at `plane` (width x height pixels, row by row).
VERODYN_API Vstatus gen_image1(Vobject* out, const char* type, int width, int height,
                               const void* plane);
// A three-channel image copied from three planes.
VERODYN_API Vstatus gen_image3(Vobject* out, const char* type, int width, int height,
                               const void* red, const void* green, const void* blue);
// A one-channel image of the given type whose pixels are all 0.
VERODYN_API Vstatus gen_image_const(Vobject* out, const char* type, int width, int height);
// An object without images.
VERODYN_API Vstatus gen_empty_obj(Vobject* out);
VERODYN_API Vstatus count_channels(const Vobject& image, int* count);
// The first channel's plane, read and written in place (it stays valid while
// an object holds the image), with its type name and size. Null outputs are skipped.
VERODYN_API Vstatus get_image_pointer1(const Vobject& image, void** plane, std::string* type,
                                       int* width, int* height);
// The three planes of a three-channel image.
VERODYN_API Vstatus get_image_pointer3(const Vobject& image, void** red, void** green, void** blue,
                                       std::string* type, int* width, int* height);
// An independent copy of every image of the object.
VERODYN_API Vstatus copy_image(const Vobject& in, Vobject* out);
// The images of `a` followed by those of `b`.
VERODYN_API Vstatus concat_obj(const Vobject& a, const Vobject& b, Vobject* out);

// Negative of a "byte" image, 255 - v in every channel.
VERODYN_API Vstatus invert_image(const Vobject& in, Vobject* out);

// ---- FFT family: each channel is transformed on its own -------------------
// Forward 2-D FFT of a "byte" or "real" image into a "complex" image of the
// same size, unnormalised (pixel (0, 0) holds the sum of the pixels, the DC
// term), unshifted. Plans are chosen by FFTW's estimate, so the first transform
// of a size is as prompt as the others and a result is the same in every run.
VERODYN_API Vstatus fft_image(const Vobject& in, Vobject* out);
// Inverse 2-D FFT of a "complex" image, divided by the pixel count so that
// fft_image_inv(fft_image(x)) = x; the real part is returned as "real".
VERODYN_API Vstatus fft_image_inv(const Vobject& in, Vobject* out);
// Phase of a "complex" image in degrees, atan2(imaginary, real), in [-180, 180], as "real".
VERODYN_API Vstatus phase_deg(const Vobject& in, Vobject* out);
// Modulus of a "complex" image as "real".
VERODYN_API Vstatus power_real(const Vobject& in, Vobject* out);
// Modulus of a "complex" image as "byte", scaled linearly per channel so that
// the largest modulus gives 255: round(255 x |z| / max |z|); an all-zero channel gives 0.
VERODYN_API Vstatus power_byte(const Vobject& in, Vobject* out);

// ---- Type, channels, geometry ----------------------------------------------
// Converts a "byte", "uint2", "int4" or "real" image to `type` "byte" (values
// rounded to the nearest, halves up, then clipped to 0..255; NaN gives 0, no
// scaling) or "real". "complex" images and other targets are refused.
VERODYN_API Vstatus convert_image_type(const Vobject& in, Vobject* out, const char* type);
// Channel `channel` (counted from 1) as a one-channel image of the same type.
VERODYN_API Vstatus access_channel(const Vobject& in, Vobject* out, int channel);
// Puts all images of `in` (same type, size and channels) side by side, `columns`
// per row, filled row by row ("horizontal", the only mode); cells left over in
// the last row are 0. More columns than images gives one row.
VERODYN_API Vstatus tile_images(const Vobject& in, Vobject* out, int columns, const char* mode);
// The part of the rectangle (row, column, width, height) that lies inside the
// image; a rectangle wholly outside gives VERR_OUTSIDE. Any pixel type.
VERODYN_API Vstatus crop_part(const Vobject& in, Vobject* out, int row, int column, int width,
                              int height);
// Resizes to width x height by nearest neighbour ("constant", the only mode):
// target pixel x takes source pixel floor((x + 0.5) x source width / width),
// rows alike, so the same size gives the image back unchanged. Any pixel type.
VERODYN_API Vstatus zoom_image_size(const Vobject& in, Vobject* out, int width, int height,
                                    const char* interpolation);

// ---- Between two images ----------------------------------------------------
// Both images must have the same pixel type (VERR_TYPE_MISMATCH), size
// (VERR_SIZE_MISMATCH) and channel count (VERR_CHANNEL_MISMATCH); channels are
// combined pairwise.
//
// Arithmetic on "byte" or "real" images: (a op b) x factor + offset, computed in
// double precision; "byte" results are rounded to the nearest (halves up) and
// clipped to 0..255, "real" results are kept as they are. In div_image a zero
// pixel of `b` gives a result pixel of 0, whatever the factor and offset.
VERODYN_API Vstatus add_image(const Vobject& a, const Vobject& b, Vobject* out, double factor,
                              double offset);
VERODYN_API Vstatus sub_image(const Vobject& a, const Vobject& b, Vobject* out, double factor,
                              double offset);
VERODYN_API Vstatus mult_image(const Vobject& a, const Vobject& b, Vobject* out, double factor,
                               double offset);
VERODYN_API Vstatus div_image(const Vobject& a, const Vobject& b, Vobject* out, double factor,
                              double offset);
// Bitwise operations on "byte", "uint2" or "int4" images.
VERODYN_API Vstatus bit_and(const Vobject& a, const Vobject& b, Vobject* out);
VERODYN_API Vstatus bit_or(const Vobject& a, const Vobject& b, Vobject* out);
VERODYN_API Vstatus bit_xor(const Vobject& a, const Vobject& b, Vobject* out);

// ---- Files -----------------------------------------------------------------
// Reads a TIFF or JPEG file (recognised by its content, not its suffix) into a
// "byte" image. TIFF: 8- or 16-bit grey (one channel; 16 bits scaled by
// 255 / 65535, rounded), 8- or 16-bit RGB (three channels; alpha dropped),
// palette (three channels), from strips or tiles, contiguous or planar, any
// compression libtiff decodes; other layouts (bilevel, CMYK, YCbCr...) are
// rendered to RGB, or to grey for black-and-white ones. The Orientation tag is
// honoured for every layout: the image is flipped, or for the four orientations
// whose rows are columns of the picture transposed (width and height swapped),
// so it comes out top row first, left column first. Only the first image of
// a multi-page file is read. JPEG: grey (one channel) or colour (three); CMYK
// and YCCK are rendered to RGB as CMYK TIFF files are, (255 - K) x (255 - ink)
// / 255, with the inverted inks of files that carry Adobe's marker; flaws that
// leave every pixel intact (such as stray bytes before a marker) are let pass.
// The file is read only as far as its image needs: the header decides the size
// before any pixel is read, and an image wider or higher than 32767 pixels
// gives VERR_IMAGE_TOO_LARGE. Missing or unreadable files give VERR_FILE_OPEN;
// empty, truncated, corrupt or unsupported files VERR_FILE_FORMAT; an image
// larger than memory allows VERR_NO_MEMORY. `out` is written only when every
// pixel was read.
VERODYN_API Vstatus read_image(Vobject* out, const char* path);
// Writes a "byte" image of 1 or 3 channels as "tiff" (uncompressed, lossless)
// or "jpeg30" (baseline JPEG, quality 30); `fill` is accepted and unused. The
// file is written beside `path` under a temporary name, flushed, and renamed
// over `path` (keeping a replaced file's permissions; through a symbolic link,
// over the file it names) only once complete, so a failure (VERR_FILE_WRITE)
// leaves an existing file as it was. A file the caller may not write is not
// replaced (VERR_FILE_WRITE).
VERODYN_API Vstatus write_image(const Vobject& image, const char* format, int fill,
                                const char* path);

// The bits per sample stored in the TIFF or JPEG file at `path` (TIFF: those of
// its first image; JPEG: the sample precision), read from the header without
// the pixel data: what read_image scales to 8 bits when it is more.
// VERR_FILE_OPEN for a missing or unreadable file, VERR_FILE_FORMAT for
// anything else that has no such header.
VERODYN_API Vstatus read_image_depth(const char* path, int* bits_per_sample);
