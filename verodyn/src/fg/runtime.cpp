// Host data and services of the plug-ins: global 64, error printing, the
// error report of wrapped calls and the call trace.
#include <cstdio>
#include <mutex>
#include <string>
#include <utility>

#include "host.h"
#include <verodyn/status.h>

extern "C" {
int32_t VDoLowError = 0;
VRunInfo VROInfo = {0, 0};
}

namespace {

// Per thread: a plug-in saves, clears and restores it around the images of
// one grab, and grabs of other threads must not see or undo that.
thread_local double t_init_new_image = 1.0;
std::mutex g_print_lock;
thread_local std::string t_plugin_detail;

void print_line(const std::string& line)
{
    std::lock_guard guard(g_print_lock);
    std::fputs(line.c_str(), stderr);
    std::fputc('\n', stderr);
    std::fflush(stderr);
}

std::string located(const char* text, const char* file, int32_t line)
{
    return std::string(text ? text : "") + " (" + (file ? file : "") + ":" + std::to_string(line) +
           ")";
}

} // namespace

namespace verodyn::fg {

bool clear_new_images() { return t_init_new_image != 0.0; }

std::string take_plugin_detail() { return std::exchange(t_plugin_detail, std::string()); }

} // namespace verodyn::fg

extern "C" {

FGstatus VAccessGlVar(Vproc_handle, int32_t id, int32_t mode, double* read_value, double value,
                      const char*, Vkey, int32_t)
{
    if (id != FG_GLOBAL_INIT_NEW_IMAGE)
        return VERR_FG_GLOBAL;
    if (mode == GV_READ_INFO) {
        if (!read_value)
            return VERR_NULL_POINTER;
        *read_value = t_init_new_image;
        return FG_SUCCESS;
    }
    if (mode == GV_WRITE_INFO) {
        t_init_new_image = value;
        return FG_SUCCESS;
    }
    return VERR_FG_GLOBAL;
}

FGstatus IOPrintErrorMessage(const char* text)
{
    try {
        print_line(text ? text : "");
    } catch (...) {
        return VERR_NO_MEMORY;
    }
    return FG_SUCCESS;
}

FGstatus VProcessErr(const char* text, FGstatus err, int32_t line, const char* file)
{
    try {
        t_plugin_detail = located(text, file, line) + " failed with " + std::to_string(err);
        if (VDoLowError)
            print_line(t_plugin_detail);
    } catch (...) {
        return VERR_NO_MEMORY;
    }
    return FG_SUCCESS;
}

FGstatus IOSpyProcCall(const char* text, int32_t line, const char* file)
{
    try {
        print_line("spy: " + located(text, file, line));
    } catch (...) {
        return VERR_NO_MEMORY;
    }
    return FG_SUCCESS;
}

} // extern "C"
