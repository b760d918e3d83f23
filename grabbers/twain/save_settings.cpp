#include "save_settings.h"

#include <cmath>

#include "capability.h"
#include "dsm.h"
#include "names.h"
#include <fgint/fghelpers.h>

namespace vfgtwain {

namespace {

int32_t RoundedOr(bool known, double value) { return known ? int32_t(std::lround(value)) : -1; }

// The units the source uses from now on; -1 when they cannot be told.
int SettleUnits(FGInstance* fginst, TW_UINT16 wanted)
{
    double units = wanted;
    const char* name = nullptr;
    if (SetCapValue(ICAP_UNITS, wanted)) {
        name = kUnitNames[wanted];
    } else if (!GetCapReal(ICAP_UNITS, &units)) {
        Print("SaveSettings error: Current units cannot be determined; CameraType is set to "
              "'interactive'!");
    } else {
        name = NameOf(kUnitNames, units);
        if (!name)
            Print("SaveSettings error: Your device delivered an unknown unit; CameraType is set "
                  "to 'interactive'!");
    }
    fg_copy_text(fginst->camera_type, sizeof fginst->camera_type, name ? name : "interactive");
    return name ? int(units) : -1;
}

} // namespace

void SaveSettings(FGInstance* fginst, TW_UINT16 wanted)
{
    const int units = SettleUnits(fginst, wanted);
    // Dots a unit, and whether they are known; pixels: one dot a unit.
    double x = 1.0, y = 1.0;
    bool x_known = true, y_known = true;
    if (units == TWUN_PIXELS) {
        double x_scaling = 0, y_scaling = 0, width = 0, height = 0;
        x_known = GetCapReal(ICAP_XSCALING, &x_scaling) && GetCapReal(ICAP_PHYSICALWIDTH, &width);
        y_known = GetCapReal(ICAP_YSCALING, &y_scaling) && GetCapReal(ICAP_PHYSICALHEIGHT, &height);
        fginst->horizontal_resolution = x_known ? int32_t(x_scaling * width) : -1;
        fginst->vertical_resolution = y_known ? int32_t(y_scaling * height) : -1;
        x_known = y_known = true;
    } else {
        x_known = GetCapReal(ICAP_XRESOLUTION, &x);
        y_known = GetCapReal(ICAP_YRESOLUTION, &y);
        fginst->horizontal_resolution = RoundedOr(x_known, x);
        fginst->vertical_resolution = RoundedOr(y_known, y);
    }
    TW_IMAGELAYOUT layout{};
    if (Send(To::Source, DG_IMAGE, DAT_IMAGELAYOUT, MSG_GET, &layout) == TWRC_SUCCESS) {
        const double left = TwainFix32ToReal(layout.Frame.Left);
        const double top = TwainFix32ToReal(layout.Frame.Top);
        fginst->image_width = RoundedOr(x_known, (TwainFix32ToReal(layout.Frame.Right) - left) * x);
        fginst->image_height =
            RoundedOr(y_known, (TwainFix32ToReal(layout.Frame.Bottom) - top) * y);
        fginst->start_column = RoundedOr(x_known, left * x);
        fginst->start_row = RoundedOr(y_known, top * y);
    } else {
        Print("SaveSettings error: Image layout cannot be determined; ImageWidth, ImageHeight, "
              "StartColumn, StartRow are set to -1");
        fginst->image_width = fginst->image_height = fginst->start_column = fginst->start_row = -1;
    }
    double pixel_type = -1, bit_depth = -1;
    if (GetCapReal(ICAP_PIXELTYPE, &pixel_type) && NameOf(kPixelTypeNames, pixel_type))
        fg_copy_text(fginst->color_space, sizeof fginst->color_space,
                     NameOf(kPixelTypeNames, pixel_type));
    if (GetCapReal(ICAP_BITDEPTH, &bit_depth))
        fginst->bits_per_channel = int32_t(bit_depth);
}

} // namespace vfgtwain
