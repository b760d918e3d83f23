// Lists kept in environment variables: entries separated by ','.
#pragma once

#include <functional>
#include <string>

namespace ondula {

// Hands each entry of `value`, the content of the variable `variable`, to
// `take` in order. Empty entries (",,", a trailing ',') are skipped; an entry
// that `take` refuses is reported on the standard error with the variable's
// name and the entry, and the others are kept. The number of entries taken.
int take_list_entries(const char* variable, const std::string& value,
                      const std::function<bool(const std::string&)>& take);

} // namespace ondula
