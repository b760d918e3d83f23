// Wrapped calls: every host call or inner step whose failure the plug-in
// reports is traced (while both trace flags of VROInfo are set) and, when it
// fails, reported through VProcessErr, under its text.
#pragma once

#include <new>

#include <fgint/fghelpers.h>

namespace usbcam {

// The file name the host's records show for this plug-in.
constexpr char kSourceFile[] = "CIOKandrisAcquire.cpp";

// The texts of the wrapped calls.
namespace call {
constexpr char kAllocBoard[] = "VAlloc (proc_id,(size_t)sizeof(BoardInfo),&currInst->board)";
constexpr char kFreeBoard[] = "VFree(proc_id,currInst->board)";
constexpr char kFreeBoardBuffer[] = "VFree(proc_id,board->BoardFrameBuffer[i])";
constexpr char kFreeInstanceBuffer[] = "VFree(proc_id,currInst->InstFrameBuffer[i])";
constexpr char kAllocInstanceBuffer[] =
    "VAlloc (proc_id,(size_t)sizeBuffer, &currInst->InstFrameBuffer[i])";
constexpr char kSelectOther[] = "SetInstParam(fginst->fgclass->instance[i])";
constexpr char kSelect[] = "SetInstParam(fginst)";
constexpr char kGrabImg[] = "GrabImg (proc_id, fginst, &pRequest, &requestNr )";
constexpr char kGrab[] = "FGGrab(proc_id, fginst, image, num_image)";
constexpr char kExtractRgb32[] =
    "ExtractChannelsFromRGB32( fginst, reinterpret_cast<VBYTE*>(const_cast<void*>(ib.vpData)), "
    "image[0].pixel.b, image[1].pixel.b, image[2].pixel.b )";
constexpr char kVolatileMono8[] =
    "VNewImagePtr(proc_id, &image[0], BYTE_IMAGE, ib.iWidth, ib.iHeight, ib.vpData, FALSE )";
constexpr char kVolatileMono16[] =
    "VNewImagePtr(proc_id, &image[0], UINT2_IMAGE, ib.iWidth, ib.iHeight, ib.vpData, FALSE)";
constexpr char kVolatileRgb32[] =
    "VNewImagePtr(proc_id, &image[0], INT4_IMAGE, ib.iWidth, ib.iHeight, ib.vpData, FALSE )";
constexpr char kVolatilePlane[] =
    "VNewImagePtr(proc_id, &image[i], BYTE_IMAGE, ib.iWidth, ib.iHeight, (char*)ib.vpData + "
    "ib.pChannels[i].iChannelOffset, FALSE)";
constexpr char kAllocCameraTypes[] = "VAlloc (proc_id,(size_t)(9*sizeof(Vcpar)),&val)";
constexpr char kGetDefaults[] = "VFgGetDefaults(proc_id,fgClass,values,numValues)";
constexpr char kAllocParameters[] = "VAlloc (proc_id,(size_t)(FG_PARAM_NUM*sizeof(Vcpar)),&val)";
constexpr char kAllocDevices[] = "VAlloc( proc_id, (size_t)(devCnt*sizeof(Vcpar)), &val )";
constexpr char kAllocRevision[] = "VAlloc (proc_id,(size_t)(sizeof(Vcpar)),&val)";
} // namespace call

// Traces `text` at `line` while tracing is on.
void Trace(const char* text, int32_t line);
// Reports the failure `status` of `text` at `line`; the status to return.
FGstatus Reported(const char* text, FGstatus status, int32_t line);

// Runs `body`, a wrapped call at `line` of the plug-in.
template <typename Body> FGstatus Wrapped(const char* text, int32_t line, Body&& body)
{
    Trace(text, line);
    const FGstatus status = body();
    return status == FG_SUCCESS ? status : Reported(text, status, line);
}

// The hooks that wrap the steps of fg_make_images_hooked for a call at `line`.
class GlobalStepHooks {
public:
    explicit GlobalStepHooks(int32_t line);
    GlobalStepHooks(const GlobalStepHooks&) = delete;
    GlobalStepHooks& operator=(const GlobalStepHooks&) = delete;
    const FGStepHooks* hooks() const { return &hooks_; }

private:
    int32_t line_;
    FGStepHooks hooks_;
};

// Runs `body`; a camera access error (any exception) becomes `failure`, a
// shortage of memory FG_ERR_NO_MEMORY, so that nothing reaches the host.
template <typename Body> FGstatus Guarded(FGstatus failure, Body&& body) noexcept
{
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return FG_ERR_NO_MEMORY;
    } catch (...) {
        return failure;
    }
}

} // namespace usbcam
