// Calls into a plug-in: whatever a callback throws stops at the host and
// becomes a status, as nothing may cross the interface but status numbers.
#pragma once

#include <string>

#include <verodyn/status.h>

namespace verodyn::fg {

// The status of the exception being handled (call it from a catch block):
// VERR_NO_MEMORY for std::bad_alloc, else VERR_FG_EXCEPTION with what the
// exception says added to `detail`.
Vstatus plugin_exception(std::string* detail);

// Runs `call`, a call into a plug-in; an exception becomes its status.
template <typename Call> Vstatus guarded_call(std::string* detail, Call&& call)
{
    try {
        return call();
    } catch (...) {
        return plugin_exception(detail);
    }
}

} // namespace verodyn::fg
