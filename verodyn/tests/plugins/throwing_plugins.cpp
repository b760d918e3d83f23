// Plug-ins that throw across the interface: from FGInit (MOCK_INIT_THROWS), or
// from their callbacks once started (an open of device "throw", every grab,
// parameter and close).
#include <stdexcept>
#include <string_view>

#include <fgint/fghelpers.h>

#if defined(MOCK_INIT_THROWS)
FG_EXPORT FGstatus FGInit(Vproc_handle, FGClass*) { throw std::runtime_error("no camera library"); }
#else
namespace {

FGClass* g_class = nullptr;

[[noreturn]] void Throw() { throw std::runtime_error("camera unplugged"); }

FGInstance** AllocInstance(Vproc_handle, FGInstance*) { return fg_instance_slot(g_class, 0); }

FGstatus Open(Vproc_handle, FGInstance* fginst)
{
    if (std::string_view(fginst->device) == "throw")
        Throw();
    return FG_SUCCESS;
}

FGstatus Close(Vproc_handle, FGInstance*) { Throw(); }
FGstatus Grab(Vproc_handle, FGInstance*, VImageRecord*, int32_t*) { Throw(); }
FGstatus SetParam(Vproc_handle, FGInstance*, const char*, const Vcpar*, int32_t) { Throw(); }

} // namespace

FG_EXPORT FGstatus FGInit(Vproc_handle, FGClass* fgClass)
{
    g_class = fgClass;
    fg_class_defaults(fgClass, 1);
    fgClass->FGAllocInstance = AllocInstance;
    fgClass->FGOpen = Open;
    fgClass->FGClose = Close;
    fgClass->FGGrab = Grab;
    fgClass->FGSetParam = SetParam;
    return FG_SUCCESS;
}
#endif
