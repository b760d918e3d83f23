// The imaging libraries export the API of their public headers and nothing else.
#include <gtest/gtest.h>

#include <cxxabi.h>

#include <cstdlib>
#include <memory>
#include <regex>
#include <set>
#include <string>

#include "dynamic_exports.h"

namespace {

std::string demangled(const std::string& name)
{
    int status = 0;
    const std::unique_ptr<char, decltype(&std::free)> text(
        abi::__cxa_demangle(name.c_str(), nullptr, nullptr, &status), &std::free);
    return status == 0 ? text.get() : name;
}

// An instance of an inline or template item of the standard library or Qt:
// every module that uses one may carry it, and the C++ ABI needs them to stay
// visible so that all modules agree on a single copy.
bool foreign_instance(bool vague, const std::string& name)
{
    static const std::regex kForeign(
        R"(^((typeinfo|typeinfo name|vtable) for )?([^(<]* )?(std|Q[A-Za-z]*)::)");
    return vague && std::regex_search(name, kForeign);
}

// The linker's markers of the data segment's ends, and what the address
// sanitizer adds beside each exported variable.
bool tool_symbol(const std::string& name)
{
    return name == "__bss_start" || name == "_edata" || name == "_end" ||
           name.starts_with("__odr_asan");
}

// "name(parameters) const" and "name[abi:tag]()" as "name".
std::string without_signature(std::string name)
{
    name = std::regex_replace(name, std::regex(R"(\[abi:[^\]]*\])"), "");
    const std::size_t end = name.rfind(')');
    if (end == std::string::npos)
        return name;
    int depth = 0;
    for (std::size_t i = end + 1; i-- > 0;) {
        depth += name[i] == ')' ? 1 : name[i] == '(' ? -1 : 0;
        if (depth == 0)
            return name.substr(0, i);
    }
    return name;
}

std::set<std::string> exported_names(const std::string& library)
{
    std::set<std::string> names;
    for (const auto& symbol : ondula::testing::DynamicExports(library)) {
        const std::string name = demangled(symbol.name);
        if (!foreign_instance(symbol.vague, name) && !tool_symbol(name))
            names.insert(without_signature(name));
    }
    return names;
}

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
        EXPECT_EQ(exported_names(c.library), c.names) << c.library;
    EXPECT_EQ(exported_names(PARVERODYN_LIBRARY), exported_names(VERODYN_LIBRARY));
}

} // namespace
