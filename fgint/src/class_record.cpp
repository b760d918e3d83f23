#include <fgint/class_record.h>

#include <fgint/fghelpers.h>

namespace fg {

void FillClass(FGClass* fgClass, int32_t max_instances, const ClassRecord& record)
{
    fg_class_defaults(fgClass, max_instances);
    fgClass->FGAllocInstance = record.instances.alloc;
    fgClass->FGOpen = record.instances.open;
    fgClass->FGClose = record.instances.close;
    fgClass->FGGrab = record.grabs.sync;
    fgClass->FGGrabStartAsync = record.grabs.start_async;
    fgClass->FGGrabAsync = record.grabs.async;
    fgClass->FGGrabExtra = record.extra_grabs.sync;
    fgClass->FGGrabExtraAsync = record.extra_grabs.async;
    fgClass->FGInfo = record.parameters.info;
    fgClass->FGSetParam = record.parameters.set;
    fgClass->FGGetParam = record.parameters.get;
    fgClass->FGSetLut = record.lut.set;
    fgClass->FGGetLut = record.lut.get;
    fgClass->field = record.image.field;
    fgClass->bits_per_channel = record.image.bits_per_channel;
    fg_copy_text(fgClass->color_space, sizeof fgClass->color_space, record.image.color_space);
    fg_copy_text(fgClass->camera_type, sizeof fgClass->camera_type, record.source.camera_type);
    fg_copy_text(fgClass->device, sizeof fgClass->device, record.source.device);
    fgClass->port = record.source.port;
    fgClass->line_in = record.source.line_in;
}

FGstatus GrabExtraUnsupported(Vproc_handle, FGInstance*, void*) { return FG_ERR_NOT_SUPPORTED; }

FGstatus GrabExtraAsyncUnsupported(Vproc_handle, FGInstance*, double, void*)
{
    return FG_ERR_NOT_SUPPORTED;
}

FGstatus SetLutUnsupported(Vproc_handle, FGInstance*, const int32_t*, const int32_t*,
                           const int32_t*, int32_t)
{
    return FG_ERR_NOT_SUPPORTED;
}

FGstatus GetLutUnsupported(Vproc_handle, FGInstance*, int32_t*, int32_t*, int32_t*, int32_t* num)
{
    *num = 0;
    return FG_ERR_NOT_SUPPORTED;
}

} // namespace fg
