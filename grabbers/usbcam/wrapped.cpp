#include "wrapped.h"

namespace usbcam {

void Trace(const char* text, int32_t line)
{
    if (VROInfo.spy_active && VROInfo.spy_proc_calls)
        IOSpyProcCall(text, line, kSourceFile);
}

FGstatus Reported(const char* text, FGstatus status, int32_t line)
{
    const FGstatus answer = VProcessErr(text, status, line, kSourceFile);
    return answer == FG_SUCCESS ? status : answer;
}

namespace {

// The texts of the steps: save, clear and restore the global variable.
const char* const kGlobalSteps[] = {
    "VAccessGlVar(proc_id,64,GV_READ_INFO,&save,(double)0,(char *)NULL,(Vkey)NULL,0)",
    "VAccessGlVar(proc_id,64,GV_WRITE_INFO,NULL,(double)0,(char *)NULL,(Vkey)NULL,0)",
    "VAccessGlVar(proc_id,64,GV_WRITE_INFO,NULL,(double)save,(char *)NULL,(Vkey)NULL,0)"};

} // namespace

GlobalStepHooks::GlobalStepHooks(int32_t line)
    : line_(line),
      hooks_{this,
             [](void* context, int32_t step) {
                 Trace(kGlobalSteps[step], static_cast<GlobalStepHooks*>(context)->line_);
             },
             [](void* context, int32_t step, FGstatus status) {
                 return Reported(kGlobalSteps[step], status,
                                 static_cast<GlobalStepHooks*>(context)->line_);
             }}
{
}

} // namespace usbcam
