/*
 * Conventions every plug-in follows, written once: bounded text copies, the
 * "Unsupported query!" answer, one-block string lists, the images of a grab,
 * the class record's defaults and instance slots.
 */
#ifndef FGINT_FGHELPERS_H
#define FGINT_FGHELPERS_H

#include <string.h>

#include <fgint/fgint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Copies `src` into `dst` of `capacity` bytes, always terminated (a null
 * source gives ""). Returns 1 when it fit, 0 when it was cut short. */
static inline int fg_copy_text(char* dst, size_t capacity, const char* src)
{
    if (capacity == 0)
        return 0;
    size_t n = src ? strlen(src) : 0;
    const int fits = n < capacity;
    if (!fits)
        n = capacity - 1;
    if (n)
        memcpy(dst, src, n);
    dst[n] = '\0';
    return fits;
}

/* The answer to query 7 and to every code outside 0-12. */
static inline FGstatus fg_info_unsupported(const char** info, Vcpar** values, int32_t* numValues)
{
    *info = FG_INFO_UNSUPPORTED_TEXT;
    *values = NULL;
    *numValues = 0;
    return FG_SUCCESS;
}

/* A list of `count` strings as one VXAlloc block: the Vcpar array first, the
 * texts behind it (a null text becomes ""), so that one VXFree releases both.
 * `file` and `line` name the caller for the host's allocation records. A
 * failing VXAlloc status is returned with *values null and *numValues 0. */
static inline FGstatus fg_info_strings(Vproc_handle proc_id, const char* const* texts,
                                       int32_t count, Vcpar** values, int32_t* numValues,
                                       const char* file, int32_t line)
{
    *values = NULL;
    *numValues = 0;
    if (count <= 0)
        return FG_SUCCESS;
    size_t bytes = (size_t)count * sizeof(Vcpar);
    for (int32_t i = 0; i < count; ++i)
        bytes += (texts[i] ? strlen(texts[i]) : 0) + 1;
    void* block = NULL;
    const FGstatus status = VXAlloc(proc_id, bytes, file, line, FG_ALLOC_ID, &block);
    if (status != FG_SUCCESS)
        return status;
    Vcpar* list = (Vcpar*)block;
    char* text = (char*)(list + count);
    for (int32_t i = 0; i < count; ++i) {
        const char* source = texts[i] ? texts[i] : "";
        const size_t n = strlen(source) + 1;
        memcpy(text, source, n);
        list[i].par.s = text;
        list[i].type = VPAR_STRING;
        text += n;
    }
    *values = list;
    *numValues = count;
    return FG_SUCCESS;
}

/* The steps of fg_make_images that go to host global 64, in their order. */
enum { FG_STEP_SAVE_GLOBAL, FG_STEP_CLEAR_GLOBAL, FG_STEP_RESTORE_GLOBAL };

/* How a plug-in that traces its host calls follows fg_make_images_hooked:
 * `before` runs ahead of each step; `failed` gets a step's failing status and
 * answers the status that takes its place. */
typedef struct FGStepHooks {
    void* context;
    void (*before)(void* context, int32_t step);
    FGstatus (*failed)(void* context, int32_t step, FGstatus status);
} FGStepHooks;

/* One step of fg_make_images on host global 64; `saved` receives (save) or
 * gives (restore) its value. */
static inline FGstatus fg_global_step(Vproc_handle proc_id, const FGStepHooks* hooks, int32_t step,
                                      double* saved)
{
    if (hooks)
        hooks->before(hooks->context, step);
    FGstatus status =
        step == FG_STEP_SAVE_GLOBAL
            ? VAccessGlVar(proc_id, FG_GLOBAL_INIT_NEW_IMAGE, GV_READ_INFO, saved, 0.0, NULL, NULL,
                           0)
            : VAccessGlVar(proc_id, FG_GLOBAL_INIT_NEW_IMAGE, GV_WRITE_INFO, NULL,
                           step == FG_STEP_RESTORE_GLOBAL ? *saved : 0.0, NULL, NULL, 0);
    if (status != FG_SUCCESS && hooks)
        status = hooks->failed(hooks->context, step, status);
    return status;
}

/* A list of `count` integers as one VXAlloc block, as fg_info_strings. */
static inline FGstatus fg_info_integers(Vproc_handle proc_id, const int32_t* numbers, int32_t count,
                                        Vcpar** values, int32_t* numValues, const char* file,
                                        int32_t line)
{
    *values = NULL;
    *numValues = 0;
    if (count <= 0)
        return FG_SUCCESS;
    void* block = NULL;
    const FGstatus status =
        VXAlloc(proc_id, (size_t)count * sizeof(Vcpar), file, line, FG_ALLOC_ID, &block);
    if (status != FG_SUCCESS)
        return status;
    Vcpar* list = (Vcpar*)block;
    for (int32_t i = 0; i < count; ++i) {
        memset(&list[i], 0, sizeof list[i]);
        list[i].par.l = numbers[i];
        list[i].type = VPAR_INT;
    }
    *values = list;
    *numValues = count;
    return FG_SUCCESS;
}

/* The host images of one grab, in the order every plug-in keeps: host global
 * 64 is saved and cleared (the plug-in fills every pixel), `count` images of
 * `kind` and width x height are made into image[0 .. count-1], stopping at
 * the first failure, and the global is restored. Returns the first failing
 * status, that of the images before that of the global. `hooks` may be null. */
static inline FGstatus fg_make_images_hooked(Vproc_handle proc_id, VImageRecord* image,
                                             int32_t count, int32_t kind, int32_t width,
                                             int32_t height, const FGStepHooks* hooks)
{
    double saved = 0;
    FGstatus status = fg_global_step(proc_id, hooks, FG_STEP_SAVE_GLOBAL, &saved);
    if (status != FG_SUCCESS)
        return status;
    status = fg_global_step(proc_id, hooks, FG_STEP_CLEAR_GLOBAL, &saved);
    if (status != FG_SUCCESS)
        return status;
    FGstatus made = FG_SUCCESS;
    for (int32_t i = 0; i < count && made == FG_SUCCESS; ++i)
        made = VNewImage(proc_id, &image[i], kind, width, height);
    status = fg_global_step(proc_id, hooks, FG_STEP_RESTORE_GLOBAL, &saved);
    return made != FG_SUCCESS ? made : status;
}

static inline FGstatus fg_make_images(Vproc_handle proc_id, VImageRecord* image, int32_t count,
                                      int32_t kind, int32_t width, int32_t height)
{
    return fg_make_images_hooked(proc_id, image, count, kind, width, height, NULL);
}

/* The class record as FGInit leaves it before the plug-in's own entry points
 * and defaults: the marks of a done FGInit, `max_instances`, and the usual
 * image part (the whole frame at full resolution, gain 1, no external
 * trigger). */
static inline void fg_class_defaults(FGClass* fgClass, int32_t max_instances)
{
    fgClass->init_mark = 2;
    fgClass->init_flag = 1;
    fgClass->init_zero = 0;
    fgClass->max_instances = max_instances;
    fgClass->horizontal_resolution = 1;
    fgClass->vertical_resolution = 1;
    fgClass->image_width = 0;
    fgClass->image_height = 0;
    fgClass->start_row = 0;
    fgClass->start_column = 0;
    fgClass->gain = 1.0f;
    fgClass->external_trigger = 0;
}

/* The address of slot `index` of `fgClass` (the answer of FGAllocInstance). */
static inline FGInstance** fg_instance_slot(FGClass* fgClass, int32_t index)
{
    return &fgClass->instance[index];
}

#ifdef __cplusplus
}
#endif

#endif
