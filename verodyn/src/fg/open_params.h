// The open call's parameters, written into a new instance record.
#pragma once

#include <string>

#include <fgint/fgint.h>
#include <verodyn/status.h>
#include <verodyn/tuple.h>

namespace verodyn::fg {

// The fifteen parameters after the interface name, in the open call's order.
struct OpenArgs {
    const VTuple& horizontal_resolution;
    const VTuple& vertical_resolution;
    const VTuple& image_width;
    const VTuple& image_height;
    const VTuple& start_row;
    const VTuple& start_column;
    const VTuple& field;
    const VTuple& bits_per_channel;
    const VTuple& color_space;
    const VTuple& gain;
    const VTuple& external_trigger;
    const VTuple& camera_type;
    const VTuple& device;
    const VTuple& port;
    const VTuple& line_in;
};

// Fills the parameter block of `inst` (which belongs to `cls`). A "default"
// field or external_trigger takes the class's default. VERR_PARAM, with the
// parameter's name in `detail`, for a value of the wrong kind or a text that
// does not fit its field.
Vstatus fill_instance(const OpenArgs& args, const FGClass& cls, FGInstance* inst,
                      std::string* detail);

} // namespace verodyn::fg
