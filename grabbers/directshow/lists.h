#pragma once
// The lists an open record answers: the output pins of the capture filter
// (numbers and names), the stream capabilities of every device, and the
// frame rates of the wanted format.
#include <string>
#include <vector>

#include "record.h"
#include <fgint/fgint.h>

namespace directshow {

// "available_pins", "available_pin_names", "available_media_types",
// "available_frame_rates"; FG_ERR_PARAM_UNKNOWN for other names. Texts of
// the answer are kept in `texts` until its next use.
FGstatus GetList(const CIODirectShow& r, const char* name, std::vector<Vcpar>* answer,
                 std::vector<std::string>* texts);

} // namespace directshow
