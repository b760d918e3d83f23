// Plug-ins that fail to start: without FGInit (MOCK_NO_INIT), with an FGInit
// that fails (MOCK_INIT_FAILS), or one that leaves the class unfilled.
#include "fgint/fgint.h"

#if defined(MOCK_NO_INIT)
FG_EXPORT FGstatus FGStart(Vproc_handle, FGClass*) { return FG_SUCCESS; }
#elif defined(MOCK_INIT_FAILS)
FG_EXPORT FGstatus FGInit(Vproc_handle, FGClass*) { return FG_ERR_OPEN; }
#else
FG_EXPORT FGstatus FGInit(Vproc_handle, FGClass* fgClass)
{
    fgClass->max_instances = 1;
    return FG_SUCCESS;
}
#endif
