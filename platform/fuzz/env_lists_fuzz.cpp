// Fuzz entry of the camera and source lists in ONDULA_* variables: the first
// byte picks the variable, the rest is its value. The simulator that reads it
// starts with the entries it knows and ends cleanly, whatever the value.
#include <dlfcn.h>
#include <stdlib.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include <fgcamera/fgcamera.h>
#include <fgcamera/simulation.h>
#include <kddevmgr/kddevmgr.h>
#include <kddevmgr/simulation.h>
#include <twain/protocol.h>
#include <twain/simulation.h>

namespace {

void Kandris()
{
    kdsim::ConfigureFromEnvironment();
    HOBJ devices = 0;
    if (kdInitialise(&devices) != KD_OK || kdClose() != KD_OK)
        std::abort();
}

void FireWire()
{
    fgsim::ConfigureFromEnvironment();
    if (FGInitModule(nullptr) != FCE_NOERROR || FGExitModule() != FCE_NOERROR)
        std::abort();
}

void Twain()
{
    static const auto entry =
        reinterpret_cast<DSM_ENTRYPROC>(::dlsym(::dlopen(MANAGER_PATH, RTLD_NOW), "DSM_Entry"));
    twsim::ConfigureFromEnvironment();
    TW_IDENTITY application{};
    TW_MEMREF parent = nullptr;
    if (entry(&application, nullptr, DG_CONTROL, DAT_PARENT, MSG_OPENDSM, &parent) != TWRC_SUCCESS)
        std::abort();
    TW_IDENTITY source{};
    TW_UINT16 rc = entry(&application, nullptr, DG_CONTROL, DAT_IDENTITY, MSG_GETFIRST, &source);
    while (rc == TWRC_SUCCESS)
        rc = entry(&application, nullptr, DG_CONTROL, DAT_IDENTITY, MSG_GETNEXT, &source);
    if (entry(&application, nullptr, DG_CONTROL, DAT_PARENT, MSG_CLOSEDSM, &parent) != TWRC_SUCCESS)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const struct {
        const char* variable;
        void (*start)();
    } lists[] = {{"ONDULA_KDCAMERAS", Kandris},
                 {"ONDULA_FGCAMERA", FireWire},
                 {"ONDULA_TWAIN_SOURCES", Twain}};
    if (size == 0)
        return 0;
    const auto& list = lists[data[0] % 3];
    // A variable holds no zero byte: the value ends at the first one.
    const std::string value(reinterpret_cast<const char*>(data + 1), size - 1);
    ::setenv(list.variable, value.c_str(), 1);
    list.start();
    ::unsetenv(list.variable);
    return 0;
}
