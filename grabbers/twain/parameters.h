// The parameters of set_framegrabber_param and get_framegrabber_param: most
// are capabilities of the source, "userinterface" the instance's own flag and
// "revision" the plug-in's.
#pragma once

#include <string>
#include <vector>

#include <fgint/fgint.h>

namespace vfgtwain {

// The names, in the order of the info answer.
FGstatus ParameterNames(std::vector<std::string>* lines);

// Checks the value's type (5325), then its range or name (5326), and sets it:
// FG_ERR_SET_FAILED, with the text printed, when the source refuses. An
// unknown or read-only name gives 5321.
FGstatus SetParameter(Vproc_handle proc_id, FGInstance* fginst, const char* name,
                      const Vcpar* values, int32_t num);

// One value: the capability's current value (a name for named values), the
// flag or the revision. FG_ERR_GET_FAILED, with the text printed, when the
// source does not tell it.
FGstatus GetParameter(Vproc_handle proc_id, FGInstance* fginst, const char* name, Vcpar* values,
                      int32_t* num);

} // namespace vfgtwain
