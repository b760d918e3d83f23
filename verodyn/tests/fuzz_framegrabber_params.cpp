// Fuzz entry of the frame-grabber parameters: the first byte picks one of the
// simulated interfaces, opened as the workbench opens it; each following line
// sets a parameter ("name", then its values, tab-separated: a whole number, a
// real or a text) or, after a '?', reads one. Any setting is taken or refused.
#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include <verodyn/framegrabber.h>
#include <verodyn/status.h>

#include "held_plugins.h"

namespace {

struct Opening {
    const char* name;
    const char* field;
    const char* color_space;
    double gain;
    const char* external_trigger;
    const char* camera_type;
    const char* device;
    int port;
};

constexpr Opening kOpenings[] = {
    {"DirectShow", "default", "rgb", -1.0, "false", "default", "0", -1},
    {"1394IIDC", "default", "default", -1.0, "default", "0:5:4", "default", -1},
    {"Twain", "default", "default", -1.0, "default", "interactive:inches", "interactive", -1},
    {"KandrisAcquire", "default", "default", 15.0, "false", "kdLyra*", "0", 0},
    {"MockCam", "progressive", "rgb", 2.5, "true", "any", "0", 0},
};

// A value as a whole number, a real or a text, whichever reads it whole.
VCtrlVal value_of(const std::string& text)
{
    char* end = nullptr;
    const long long whole = std::strtoll(text.c_str(), &end, 10);
    if (!text.empty() && *end == '\0')
        return VCtrlVal(whole);
    const double real = std::strtod(text.c_str(), &end);
    if (!text.empty() && *end == '\0')
        return VCtrlVal(real);
    return VCtrlVal(text);
}

std::vector<std::string> split(std::string_view line, char separator)
{
    std::vector<std::string> parts(1);
    for (const char c : line)
        if (c == separator)
            parts.emplace_back();
        else
            parts.back() += c;
    return parts;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool ready = HoldPlugins();
    if (size == 0 || !ready)
        return 0;
    const Opening& o = kOpenings[data[0] % (sizeof kOpenings / sizeof kOpenings[0])];
    long handle = -1;
    if (open_framegrabber(o.name, 1, 1, 0, 0, 0, 0, o.field, -1, o.color_space, o.gain,
                          o.external_trigger, o.camera_type, o.device, o.port, -1, &handle) != V_OK)
        return 0;
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    for (const std::string& line : split(text, '\n')) {
        const std::vector<std::string> fields = split(line, '\t');
        const std::string& name = fields[0];
        // A dialog waits for its user, whom a fuzzer does not have.
        std::string lower = name;
        std::transform(lower.begin(), lower.end(), lower.begin(),
                       [](unsigned char c) { return char(std::tolower(c)); });
        if (lower.find("dialog") != std::string::npos)
            continue;
        if (name.starts_with("?")) {
            VTuple answer;
            get_framegrabber_param(handle, name.c_str() + 1, &answer);
            continue;
        }
        VTuple values;
        for (std::size_t i = 1; i < fields.size(); ++i)
            values.append(value_of(fields[i]));
        set_framegrabber_param(handle, name.c_str(), values);
    }
    close_framegrabber(handle);
    return 0;
}
