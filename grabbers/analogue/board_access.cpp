#include "board_access.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <mutex>

namespace zephon {

namespace {

constexpr double kRequiredVersion = 7.5;
constexpr int32_t kErrorMode = 0x20000001; // the last call's error, as text

std::mutex g_application_lock;
DvlId g_application = 0;
int g_application_references = 0;

} // namespace

bool LibraryOk()
{
    char text[DVL_ERROR_TEXT_SIZE] = {};
    DvlAppGetError(kErrorMode, text);
    if (std::strcmp(text, DVL_NO_ERROR_TEXT) == 0)
        return true;
    IOPrintErrorMessage(text);
    return false;
}

void LowError(const char* text)
{
    if (VDoLowError)
        IOPrintErrorMessage(text);
}

DvlId TakeApplication()
{
    std::lock_guard guard(g_application_lock);
    if (g_application_references == 0 && DvlAppAlloc(DVL_DEFAULT, &g_application) == 0)
        return g_application = 0;
    ++g_application_references;
    return g_application;
}

void ReleaseApplication()
{
    std::lock_guard guard(g_application_lock);
    if (g_application_references == 0 || --g_application_references > 0)
        return;
    DvlAppFree(g_application);
    g_application = 0;
}

FGstatus CheckLibraryVersion()
{
    double version = 0;
    if (TakeApplication()) {
        DvlAppInquire(DVL_APP_VERSION, &version);
        ReleaseApplication();
    }
    if (std::fabs(version - kRequiredVersion) < 1e-9)
        return FG_SUCCESS;
    char text[128];
    std::snprintf(text, sizeof text, "Wrong version of dvl.dll found: %4.2f instead of %4.2f.",
                  version, kRequiredVersion);
    LowError(text);
    return FG_ERR_LIB_VERSION;
}

} // namespace zephon
