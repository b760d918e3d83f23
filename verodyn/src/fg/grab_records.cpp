// Host images of a grab: VNewImage, VNewImagePtr and the records that hold them.
#include <cstring>
#include <mutex>

#include "grab_records.h"
#include "host.h"
#include <verodyn/status.h>

namespace {

bool pixel_type_of(int32_t kind, VPixelType* type)
{
    switch (kind) {
    case BYTE_IMAGE:
        *type = VPixelType::Byte;
        return true;
    case UINT2_IMAGE:
        *type = VPixelType::Uint2;
        return true;
    case INT4_IMAGE:
        *type = VPixelType::Int4;
        return true;
    }
    return false;
}

// Checks a record and its plane's size; VERR_* or FG_SUCCESS.
FGstatus plane_bytes(const VImageRecord* image, int32_t kind, int32_t width, int32_t height,
                     std::size_t* bytes)
{
    VPixelType type;
    if (!image)
        return VERR_NULL_POINTER;
    if (!pixel_type_of(kind, &type))
        return VERR_FG_PIXEL_KIND;
    if (width <= 0 || height <= 0)
        return VERR_PARAM;
    // Two 31-bit sizes times 4 bytes still fit in 64 bits.
    *bytes = std::size_t(width) * std::size_t(height) * pixel_size(type);
    return FG_SUCCESS;
}

void release(VImageRecord* image)
{
    verodyn::fg::tracked_free(image->owned, false);
    image->owned = nullptr;
    image->pixel.p = nullptr;
}

void describe(VImageRecord* image, int32_t kind, int32_t width, int32_t height, void* plane)
{
    image->kind = kind;
    image->pixel.p = plane;
    image->width = width;
    image->height = height;
}

// Held shared by every grab that holds lent planes, alone by an open that waits for them.
std::shared_mutex& lent_planes()
{
    static std::shared_mutex lock;
    return lock;
}

thread_local verodyn::fg::GrabRecords* t_grab = nullptr;

} // namespace

extern "C" {

FGstatus VNewImage(Vproc_handle, VImageRecord* image, int32_t kind, int32_t width, int32_t height)
{
    std::size_t bytes = 0;
    const FGstatus checked = plane_bytes(image, kind, width, height, &bytes);
    if (checked != FG_SUCCESS)
        return checked;
    release(image);
    void* plane = nullptr;
    const FGstatus status = verodyn::fg::tracked_alloc(bytes, __FILE__, __LINE__, false, &plane);
    if (status != FG_SUCCESS)
        return status;
    if (verodyn::fg::clear_new_images())
        std::memset(plane, 0, bytes);
    image->owned = plane;
    describe(image, kind, width, height, plane);
    return FG_SUCCESS;
}

FGstatus VNewImagePtr(Vproc_handle proc_id, VImageRecord* image, int32_t kind, int32_t width,
                      int32_t height, void* data, int32_t copy)
{
    std::size_t bytes = 0;
    const FGstatus checked = plane_bytes(image, kind, width, height, &bytes);
    if (checked != FG_SUCCESS)
        return checked;
    if (!data)
        return VERR_NULL_POINTER;
    if (copy) {
        const FGstatus status = VNewImage(proc_id, image, kind, width, height);
        if (status == FG_SUCCESS)
            std::memcpy(image->pixel.p, data, bytes);
        return status;
    }
    verodyn::fg::GrabRecords::note_lent_plane();
    release(image);
    describe(image, kind, width, height, data);
    return FG_SUCCESS;
}

} // extern "C"

namespace verodyn::fg {

GrabRecords::GrabRecords() : records_{} { t_grab = this; }

GrabRecords::~GrabRecords()
{
    t_grab = nullptr;
    for (VImageRecord& image : records_)
        release(&image);
}

void GrabRecords::note_lent_plane()
{
    if (t_grab && !t_grab->loan_.owns_lock())
        t_grab->loan_ = std::shared_lock(lent_planes());
}

void wait_for_lent_planes() { std::lock_guard wait(lent_planes()); }

Vstatus GrabRecords::to_object(int count, Vobject* out) const
{
    if (count < 1 || count > FG_MAX_CHANNELS)
        return VERR_FG_IMAGE;
    const VImageRecord& first = records_[0];
    VPixelType type;
    if (!pixel_type_of(first.kind, &type))
        return VERR_FG_IMAGE;
    for (int i = 0; i < count; ++i) {
        const VImageRecord& r = records_[i];
        if (!r.pixel.p || r.kind != first.kind || r.width != first.width ||
            r.height != first.height)
            return VERR_FG_IMAGE;
    }
    auto image = VImage::create(type, first.width, first.height, count);
    for (int i = 0; i < count; ++i)
        std::memcpy(image->plane(i), records_[i].pixel.p, image->plane_bytes());
    *out = Vobject(std::move(image));
    return V_OK;
}

} // namespace verodyn::fg
