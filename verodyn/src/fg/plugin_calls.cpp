#include "plugin_calls.h"

#include <exception>
#include <new>

namespace verodyn::fg {

Vstatus plugin_exception(std::string* detail)
{
    std::string what;
    try {
        throw;
    } catch (const std::bad_alloc&) {
        return VERR_NO_MEMORY;
    } catch (const std::exception& e) {
        what = e.what();
    } catch (...) {
        what = "unknown exception";
    }
    *detail += (detail->empty() ? "" : ": ") + what;
    return VERR_FG_EXCEPTION;
}

} // namespace verodyn::fg
