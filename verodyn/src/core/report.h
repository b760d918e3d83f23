// How operators report: one place turns a status into the recorded error and,
// under "give_error", into a VException.
#pragma once

#include <new>
#include <string>
#include <utility>

#include "verodyn/object.h"
#include "verodyn/status.h"

namespace verodyn::detail {

// Returns `status`. A failure is recorded as "<op>: <text>[: <detail>]" and
// thrown as VException while errors are given.
Vstatus report(Vstatus status, const char* op, const std::string& detail = {});

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

} // namespace verodyn::detail
