#pragma once
// The device's own dialogs: the property pages of the capture filter, its
// capture and preview pins, the crossbars and the TV tuner, and the Video
// for Windows source and format dialogs.
#include <vector>

#include "record.h"
#include <fgint/fgint.h>

namespace directshow {

// "available_dialogs": the names of the dialogs the device offers, in the
// order of the dialog table.
FGstatus AvailableDialogs(const CIODirectShow& record, std::vector<Vcpar>* answer);

// "do_open_dialog": shows the dialog the value names, with the graph torn
// down behind the capture filter; then the wanted format becomes the one the
// capture pin is set to and the graph is reconnected. 5325 for a value that
// is not a string, 5326 for an unknown name, 5321 for a dialog the device
// does not offer, else 1 (later failures are reported by their messages).
FGstatus OpenDialog(CIODirectShow& record, FGInstance* fginst, const Vcpar* values, int32_t num);

} // namespace directshow
