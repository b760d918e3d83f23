// Opening and closing the source of an instance.
#pragma once

#include "instance.h"
#include <fgint/fgint.h>

namespace vfgtwain {

// The open sequence: the device record, the manager, the source `device`
// names ("interactive": the user's choice; "automatic": the default source;
// else a product name in any letter case), and for a bare unit as camera type
// the open parameters, each refusal written back as -1 (or "none"). A failure
// releases everything it took and returns its status.
FGstatus OpenTwain(Vproc_handle proc_id, FGInstance* fginst, TwainInstance& r);

// Closes the source and the manager and releases the device record; FG_SUCCESS
// or the status of freeing the record.
FGstatus CloseTwain(Vproc_handle proc_id, TwainInstance& r);

} // namespace vfgtwain
