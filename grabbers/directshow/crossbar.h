#pragma once
// The crossbar input that feeds the capture filter: reading it, routing
// another one there, and the names of the physical connectors.
#include <vector>

#include "record.h"
#include <fgint/fgint.h>

namespace directshow {

// The crossbar input routed to the capture filter's analogue video input
// (-1 when that input is not connected). 1, or 5 with a message.
FGstatus GetPhysicalConnector(const CIODirectShow& r, int32_t* input);

// Routes crossbar input `input` to the capture filter, connecting the
// crossbar first when none of its outputs that can take it leads there.
// 1, or 5 with a message.
FGstatus SetPhysicalConnector(CIODirectShow& r, int32_t input);

// Set "connector": route input `connector_list`[index] (the value) there.
FGstatus SetConnector(CIODirectShow& r, const Vcpar* values, int32_t num);

// "connector", "available_connectors" (the names of the video inputs) and
// "connector_range"; FG_ERR_PARAM_UNKNOWN for other names.
FGstatus GetCrossbarParameter(const CIODirectShow& r, const char* name, std::vector<Vcpar>* answer);

} // namespace directshow
