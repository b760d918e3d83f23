// The image records a grab callback fills, and their conversion to an image.
#pragma once

#include <array>

#include <fgint/fgint.h>
#include <verodyn/object.h>

namespace verodyn::fg {

// FG_MAX_CHANNELS zeroed records for one grab. Whatever the plug-in made is
// released with them, so a failed grab leaves no host image behind.
class GrabRecords {
public:
    GrabRecords();
    ~GrabRecords();
    GrabRecords(const GrabRecords&) = delete;
    GrabRecords& operator=(const GrabRecords&) = delete;

    VImageRecord* data() { return records_.data(); }

    // One image with `count` channels copied from the first `count` records,
    // which must all hold a plane of the same kind and size (VERR_FG_IMAGE).
    Vstatus to_object(int count, Vobject* out) const;

private:
    std::array<VImageRecord, FG_MAX_CHANNELS> records_;
};

} // namespace verodyn::fg
