// Control tuples and the value lists that cross the plug-in interface.
#pragma once

#include <string>
#include <vector>

#include <fgint/fgint.h>
#include <verodyn/status.h>
#include <verodyn/tuple.h>

namespace verodyn::fg {

// The values of a tuple as Vcpar entries; the texts they point to live in the list.
class ValueList {
public:
    // VERR_PARAM for an integer outside 32 bits.
    Vstatus assign(const VTuple& tuple);
    const Vcpar* data() const { return values_.data(); }
    int32_t size() const { return int32_t(values_.size()); }

private:
    std::vector<std::string> texts_;
    std::vector<Vcpar> values_;
};

// The tuple of `count` plug-in values; VERR_FG_ANSWER for a bad count or type.
Vstatus to_tuple(const Vcpar* values, int32_t count, VTuple* out);

// One value of a one-value tuple, for the open parameters; VERR_PARAM when the
// tuple has another length or kind.
Vstatus single_int(const VTuple& tuple, int32_t* out);
Vstatus single_real(const VTuple& tuple, double* out);
Vstatus single_text(const VTuple& tuple, std::string* out);

} // namespace verodyn::fg
