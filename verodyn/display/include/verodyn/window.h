// Display windows of the imaging library: Qt widgets known by an integer handle.
// Every function here runs on the GUI thread of a QApplication; called elsewhere
// it returns VERR_NO_DISPLAY. Failures are reported like every operator's
// (status returned, or VException under set_check("give_error")).
#pragma once

#include <verodyn/export.h>
#include <verodyn/object.h>

class QWidget;

// A display window: a child widget of `father` at (column, row) of size width x
// height, or a top-level window when `father` is null. Which fathers are
// accepted depends on set_check("father"/"~father") (see status.h). `mode` is
// "visible"; `machine` is "" (this display). The window only shows images: its
// mouse events go to the father. Until set_part is called the part shown is
// rows 0..height, columns 0..width (the image at 1:1 from its origin).
VERODYN_API Vstatus open_window(int row, int column, int width, int height, QWidget* father,
                                const char* mode, const char* machine, long* handle);
// Destroys the window and frees its handle. A window destroyed already together
// with its father is simply forgotten.
VERODYN_API Vstatus close_window(long handle);
// Moves the window to (column, row) of its father and resizes it; the part
// shown is kept and scaled to the new size.
VERODYN_API Vstatus set_window_extents(long handle, int row, int column, int width, int height);
// The image part shown: rows row1..row2, columns column1..column2, taken as
// half-open ranges (row2 and column2 are the first row and column past the
// part), so set_part(h, 0, 0, height, width) shows a width x height image 1:1 in
// a window of that size. The part is scaled to fill the window; pixels of the
// part outside the image are black.
VERODYN_API Vstatus set_part(long handle, int row1, int column1, int row2, int column2);
// Shows the first image of the object (1 or 3 channels) in the window: "byte"
// channels as they are; "real" channels, and "complex" ones by their modulus,
// scaled linearly channel by channel so that the smallest value shows as 0 and
// the largest as 255 (rounded to the nearest; a constant channel shows as 0;
// NaN and infinities show as 0). Other pixel types give VERR_PIXEL_TYPE. The
// planes are copied, so the object may change or go once this returns.
VERODYN_API Vstatus disp_obj(const Vobject& image, long handle);
// The widget of a window handle, or null (for the program's overlays and tests).
VERODYN_API QWidget* window_widget(long handle);
