/* Plug-ins that fail to start: without FGInit (MOCK_NO_INIT), with an FGInit
 * that fails (MOCK_INIT_FAILS), or one that leaves the class unfilled. Written
 * in C, so that the interface headers are built as C too. */
#include <fgint/fghelpers.h>

#if defined(MOCK_NO_INIT)
FG_EXPORT FGstatus FGStart(Vproc_handle proc_id, FGClass* fgClass)
{
    (void)proc_id;
    (void)fgClass;
    return FG_SUCCESS;
}
#elif defined(MOCK_INIT_FAILS)
FG_EXPORT FGstatus FGInit(Vproc_handle proc_id, FGClass* fgClass)
{
    (void)proc_id;
    (void)fgClass;
    return FG_ERR_OPEN;
}
#else
FG_EXPORT FGstatus FGInit(Vproc_handle proc_id, FGClass* fgClass)
{
    (void)proc_id;
    fg_copy_text(fgClass->device, sizeof fgClass->device, "0");
    fgClass->max_instances = 1;
    return FG_SUCCESS;
}
#endif
