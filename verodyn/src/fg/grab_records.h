// The image records a grab callback fills, and their conversion to an image.
#pragma once

#include <array>
#include <shared_mutex>

#include <fgint/fgint.h>
#include <verodyn/object.h>

namespace verodyn::fg {

// FG_MAX_CHANNELS zeroed records for one grab. Whatever the plug-in made is
// released with them, so a failed grab leaves no host image behind.
//
// A plug-in may lend the host its own memory (VNewImagePtr without a copy)
// that it gives back to its device once the grab returns, after deciding,
// under its own lock, that no other instance can refill it. An open of
// another instance waits (wait_for_lent_planes) until the host has copied
// what was lent, so that decision holds until then. While they live, the
// records of a grab on this thread keep such a loan.
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

    // Notes a plane lent by the plug-in of the grab running on this thread, if any.
    static void note_lent_plane();

private:
    std::array<VImageRecord, FG_MAX_CHANNELS> records_;
    std::shared_lock<std::shared_mutex> loan_;
};

// Returns once every plane lent to a grab that began before has been copied.
void wait_for_lent_planes();

} // namespace verodyn::fg
