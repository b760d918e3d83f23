#include "frame_buffers.h"

#include "camera_type.h"

namespace directshow {

FGstatus SizeFrameBuffers(Vproc_handle proc_id, CIODirectShow& r)
{
    std::lock_guard guard(*r.lock);
    const dshow::BITMAPINFOHEADER& bmi = r.wanted_format.bmiHeader;
    const uint64_t size = FrameSize(bmi.biBitCount, bmi.biWidth, bmi.biHeight);
    r.bottom_up = bmi.biHeight > 0;
    if (size >= 0xF0000000u)
        return FG_ERR_DEVICE_CALL;
    if (r.buffer_capacity < size) {
        for (uint8_t*& buffer : r.frame_buffers) {
            VXFree(proc_id, buffer, kSourceFile, __LINE__, 0);
            buffer = nullptr;
        }
        r.buffer_capacity = 0;
        for (uint8_t*& buffer : r.frame_buffers)
            if (const FGstatus status =
                    VXAlloc(proc_id, size, kSourceFile, __LINE__, FG_ALLOC_ID, &buffer);
                status != FG_SUCCESS)
                return status;
        r.buffer_capacity = uint32_t(size);
        r.write_index = 0;
    }
    r.frame_size = uint32_t(size);
    return FG_SUCCESS;
}

} // namespace directshow
