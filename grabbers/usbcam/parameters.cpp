// The fixed parameters, the volatile switch, and property paths for every other name.
#include "parameters.h"

#include <strings.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "dictionary.h"
#include "open.h"
#include "wrapped.h"
#include <fgint/values.h>

namespace usbcam {

using fg::Answer;
using kdTORVANE::acquire::PropertyAccess;

namespace {

constexpr char kRevision[] = "2.2";

// The "Aoi" property and the instance field of each image part parameter.
struct PartParameter {
    const char* name;
    const char* property;
    int32_t FGInstance::*field;
};
constexpr PartParameter kPart[] = {{"image_width", "Aoi/W", &FGInstance::image_width},
                                   {"image_height", "Aoi/H", &FGInstance::image_height},
                                   {"start_row", "Aoi/Y", &FGInstance::start_row},
                                   {"start_column", "Aoi/X", &FGInstance::start_column}};

bool Is(const char* name, const char* parameter) { return strcasecmp(name, parameter) == 0; }

PropertyAccess CameraProperty(const AcquireInstance& r, const char* name)
{
    return r.settings->camera.Property(name);
}

// Volatile mode needs buffers of the instance's own: it takes over the
// camera's when it is their only user.
FGstatus EnableVolatile(Vproc_handle proc_id, FGInstance* fginst, AcquireInstance& r)
{
    BoardInfo& board = *r.board;
    if (!r.own_buffers) {
        if (board.buffer_users == 1) {
            board.BoardFrameBuffer[0] = board.BoardFrameBuffer[1] = nullptr;
            board.buffer_size = 0;
        } else {
            void* own[2] = {};
            for (void*& buffer : own) {
                const FGstatus status = Wrapped(call::kAllocInstanceBuffer, __LINE__, [&] {
                    return VXAlloc(proc_id, BufferSize(fginst), kSourceFile, __LINE__, FG_ALLOC_ID,
                                   &buffer);
                });
                if (status != FG_SUCCESS) {
                    VXFree(proc_id, own[0], kSourceFile, __LINE__, 0);
                    return status;
                }
            }
            r.InstFrameBuffer[0] = own[0];
            r.InstFrameBuffer[1] = own[1];
        }
        --board.buffer_users;
        r.own_buffers = true;
    }
    r.volatile_mode = true;
    fginst->extra_flag = 0;
    fginst->extra_word = 0;
    return FG_SUCCESS;
}

// Back to copying: the instance shares the camera's buffers again where it can.
FGstatus DisableVolatile(Vproc_handle proc_id, FGInstance* fginst, AcquireInstance& r)
{
    BoardInfo& board = *r.board;
    const size_t size = BufferSize(fginst);
    FGstatus status = FG_SUCCESS;
    if (board.instances > 1 && board.BoardFrameBuffer[0] && size_t(board.buffer_size) >= size) {
        for (void*& buffer : r.InstFrameBuffer) {
            const FGstatus freed = Wrapped(call::kFreeInstanceBuffer, __LINE__, [&] {
                return VXFree(proc_id, buffer, kSourceFile, __LINE__, 0);
            });
            if (status == FG_SUCCESS)
                status = freed;
        }
        r.InstFrameBuffer[0] = board.BoardFrameBuffer[0];
        r.InstFrameBuffer[1] = board.BoardFrameBuffer[1];
        ++board.buffer_users;
        r.own_buffers = false;
    } else if (!board.BoardFrameBuffer[0]) {
        board.BoardFrameBuffer[0] = r.InstFrameBuffer[0];
        board.BoardFrameBuffer[1] = r.InstFrameBuffer[1];
        board.buffer_users = 1;
        board.buffer_size = int32_t(size);
        r.own_buffers = false;
    }
    r.volatile_mode = false;
    fginst->extra_flag = 1;
    return status;
}

FGstatus SetVolatile(Vproc_handle proc_id, FGInstance* fginst, AcquireInstance& r,
                     const Vcpar& value)
{
    const char* text = nullptr;
    if (const FGstatus type = fg::TextOf(&value, &text); type != FG_SUCCESS)
        return type;
    const bool enable = std::strcmp(text, "enable") == 0;
    if (!enable && std::strcmp(text, "disable") != 0)
        return FG_ERR_PARAM_VALUE;
    if (enable == r.volatile_mode)
        return FG_SUCCESS;
    return enable ? EnableVolatile(proc_id, fginst, r) : DisableVolatile(proc_id, fginst, r);
}

// An integer written to the camera property `property` of the instance's setting.
FGstatus SetCameraInt(const AcquireInstance& r, const char* property, const Vcpar& value,
                      int32_t* field)
{
    if (value.type != VPAR_INT)
        return FG_ERR_PARAM_TYPE;
    const FGstatus status = Guarded(FG_ERR_PARAM_VALUE, [&]() -> FGstatus {
        CameraProperty(r, property).WriteInt(value.par.l);
        return FG_SUCCESS;
    });
    if (status == FG_SUCCESS)
        *field = value.par.l;
    return status;
}

} // namespace

FGstatus SetParam(Vproc_handle proc_id, FGInstance* fginst, const char* name, const Vcpar* values,
                  int32_t num)
{
    AcquireInstance& r = Record(fginst);
    if (!name)
        return FG_ERR_PARAM_UNKNOWN;
    if (Is(name, "do_abort_grab"))
        return Guarded(FG_ERR_PARAM_VALUE, [&]() -> FGstatus {
            r.request_pending = false;
            ++r.aborts;
            r.board->device->requests().ResetQueue();
            return FG_SUCCESS;
        });
    if (Is(name, "port"))
        return FG_ERR_PARAM_UNKNOWN;
    const bool fixed = Is(name, "volatile") || Is(name, "grab_timeout") ||
                       Is(name, "request_queue_depth") ||
                       std::any_of(std::begin(kPart), std::end(kPart),
                                   [&](const PartParameter& p) { return Is(name, p.name); });
    if (!fixed)
        return SetPath(r, name, values, num);
    if (num < 1 || !values)
        return FG_ERR_PARAM_VALUE;
    const Vcpar& value = values[0];
    if (Is(name, "volatile"))
        return SetVolatile(proc_id, fginst, r, value);
    if (Is(name, "grab_timeout"))
        return SetCameraInt(r, "ImageRequestTimeout_ms", value, &r.grab_timeout);
    if (Is(name, "request_queue_depth")) {
        // The camera holds depth + 1 requests, a count that must fit its integer.
        int32_t depth = 0;
        if (const FGstatus status = fg::IntegerIn(&value, 0, INT32_MAX - 1, &depth);
            status != FG_SUCCESS)
            return status;
        return Guarded(FG_ERR_PARAM_VALUE, [&]() -> FGstatus {
            SetRequestQueueDepth(r, depth);
            return FG_SUCCESS;
        });
    }
    for (const PartParameter& p : kPart)
        if (Is(name, p.name))
            return SetCameraInt(r, p.property, value, &(fginst->*p.field));
    return FG_ERR_PARAM_UNKNOWN;
}

FGstatus GetParam(FGInstance* fginst, const char* name, Vcpar* values, int32_t* num)
{
    AcquireInstance& r = Record(fginst);
    if (!name)
        return FG_ERR_PARAM_UNKNOWN;
    r.texts.clear();
    Answer answer(r.texts);
    FGstatus status = FG_SUCCESS;
    if (Is(name, "volatile")) {
        answer.Text(r.volatile_mode ? "enable" : "disable");
    } else if (Is(name, "volatile_values")) {
        answer.Text("enable");
        answer.Text("disable");
    } else if (Is(name, "revision")) {
        answer.Text(kRevision);
    } else if (Is(name, "grab_timeout")) {
        answer.Int(r.grab_timeout);
    } else if (Is(name, "port")) {
        answer.Int(0);
    } else if (Is(name, "request_queue_depth")) {
        answer.Int(r.board->device->request_queue_depth());
    } else {
        const PartParameter* part = nullptr;
        for (const PartParameter& p : kPart)
            if (Is(name, p.name))
                part = &p;
        if (part)
            status = Guarded(FG_ERR_GET_FAILED, [&]() -> FGstatus {
                answer.Int(CameraProperty(r, part->property).ReadInt());
                return FG_SUCCESS;
            });
        else
            status = Guarded(FG_ERR_PARAM_VALUE, [&]() -> FGstatus {
                return GetPathList(r, name, answer) ? FG_SUCCESS : GetPath(r, name, answer);
            });
    }
    return status == FG_SUCCESS ? answer.Commit(values, num) : status;
}

} // namespace usbcam
