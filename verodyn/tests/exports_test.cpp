// The imaging libraries export the API of their public headers and nothing else.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "tests/support/dynamic_exports.h"

namespace {

TEST(ExportsTest, EachLibraryExportsItsPublicHeadersOnly)
{
    const struct {
        const char* library;
        std::set<std::string> names;
    } cases[] = {
        {VERODYN_LIBRARY,
         {// Host functions and globals of the frame-grabber plug-ins.
          "IOPrintErrorMessage", "IOSpyProcCall", "VAccessGlVar", "VDoLowError", "VFgGetDefaults",
          "VNewImage", "VNewImagePtr", "VProcessErr", "VROInfo", "VXAlloc", "VXAllocTmp", "VXFree",
          "VXFreeTmp",
          // Objects, tuples and status.
          "VCtrlVal::D", "VCtrlVal::L", "VCtrlVal::S", "VImage::ReleasePixels::operator()",
          "VImage::create", "VImage::plane", "Vobject::append", "Vobject::image",
          "typeinfo for VException", "typeinfo name for VException", "vtable for VException",
          "check_father", "check_give_error", "set_check", "verror_text", "vlast_error",
          "verodyn::report", "parse_pixel_type", "pixel_size", "pixel_type_name",
          // Operators.
          "access_channel", "add_image", "bit_and", "bit_or", "bit_xor", "concat_obj",
          "convert_image_type", "copy_image", "count_channels", "crop_part", "div_image",
          "fft_image", "fft_image_inv", "gen_empty_obj", "gen_image1", "gen_image3",
          "gen_image_const", "get_image_pointer1", "get_image_pointer3", "invert_image",
          "mult_image", "phase_deg", "power_byte", "power_real", "read_image", "read_image_depth",
          "sub_image", "tile_images", "write_image", "zoom_image_size",
          // Frame grabbers.
          "VXAllocated", "close_all_framegrabbers", "close_framegrabber", "get_framegrabber_param",
          "grab_image", "grab_image_async", "grab_image_start", "info_framegrabber",
          "open_framegrabber", "set_framegrabber_param"}},
        {VERODYN_DISPLAY_LIBRARY,
         {"close_window", "disp_obj", "open_window", "set_part", "set_window_extents",
          "window_widget"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ondula::testing::ExportedNames(c.library), c.names) << c.library;
    EXPECT_EQ(ondula::testing::ExportedNames(PARVERODYN_LIBRARY),
              ondula::testing::ExportedNames(VERODYN_LIBRARY));
}

} // namespace
