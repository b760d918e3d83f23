// For libraries that add operators to Verodyn (its display windows are one):
// what makes an operator report its failures as the library's own do.
#pragma once

#include <new>
#include <string>
#include <utility>

#include <verodyn/export.h>
#include <verodyn/object.h>
#include <verodyn/status.h>

namespace verodyn {

// Returns `status`. A failure is recorded as "<op>: <text>[: <detail>]" (see
// vlast_error) and thrown as VException while errors are given.
VERODYN_API Vstatus report(Vstatus status, const char* op, const std::string& detail = {});

// Runs `body` (which returns a Vstatus), turning an allocation failure into
// VERR_NO_MEMORY, and reports the result under the operator's name.
template <typename Body> Vstatus run(const char* op, Body&& body)
{
    Vstatus status;
    try {
        status = std::forward<Body>(body)();
    } catch (const std::bad_alloc&) {
        status = VERR_NO_MEMORY;
    }
    return report(status, op);
}

// The first image of `object`, or null when it has none.
inline const VImage* first_image(const Vobject& object)
{
    return object.empty() ? nullptr : object.image(0).get();
}

// The first image of `object` into `image` when it is a one- or three-channel
// "byte" image (what the display and the file writers take), else the status
// that says why not.
inline Vstatus first_byte_image(const Vobject& object, const VImage** image)
{
    *image = first_image(object);
    if (!*image)
        return VERR_NO_OBJECT;
    if ((*image)->type() != VPixelType::Byte)
        return VERR_PIXEL_TYPE;
    if ((*image)->channels() != 1 && (*image)->channels() != 3)
        return VERR_CHANNEL;
    return V_OK;
}

} // namespace verodyn
