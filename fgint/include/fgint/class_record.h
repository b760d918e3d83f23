// What a plug-in's FGInit writes into the host's class record: the callbacks
// it offers and the defaults of the open parameters.
#pragma once

#include <fgint/fgint.h>

namespace fg {

// The callbacks by kind (a null one is not offered) and the open defaults.
struct ClassRecord {
    struct {
        FGAllocInstanceProc alloc;
        FGOpenProc open;
        FGCloseProc close;
    } instances;
    struct {
        FGGrabProc sync;
        FGGrabStartAsyncProc start_async;
        FGGrabAsyncProc async;
    } grabs;
    struct {
        FGGrabExtraProc sync = nullptr;
        FGGrabExtraAsyncProc async = nullptr;
    } extra_grabs = {};
    struct {
        FGInfoProc info;
        FGSetParamProc set;
        FGGetParamProc get;
    } parameters;
    struct {
        FGSetLutProc set = nullptr;
        FGGetLutProc get = nullptr;
    } lut = {};
    struct {
        int32_t field;
        int32_t bits_per_channel;
        const char* color_space;
    } image;
    struct {
        const char* camera_type;
        const char* device;
        int32_t port;
        int32_t line_in;
    } source;
};

// The marks of a done FGInit, `max_instances`, the usual image part
// (fg_class_defaults) and `record`.
void FillClass(FGClass* fgClass, int32_t max_instances, const ClassRecord& record);

// The answers of a plug-in without the extra grabs or a look-up table.
FGstatus GrabExtraUnsupported(Vproc_handle proc_id, FGInstance* fginst, void* args);
FGstatus GrabExtraAsyncUnsupported(Vproc_handle proc_id, FGInstance* fginst, double max_delay,
                                   void* args);
FGstatus SetLutUnsupported(Vproc_handle proc_id, FGInstance* fginst, const int32_t* red,
                           const int32_t* green, const int32_t* blue, int32_t num);
// Tells an empty table (*num 0).
FGstatus GetLutUnsupported(Vproc_handle proc_id, FGInstance* fginst, int32_t* red, int32_t* green,
                           int32_t* blue, int32_t* num);

} // namespace fg
