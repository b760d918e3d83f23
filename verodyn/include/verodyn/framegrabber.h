// Frame-grabber operators. The library loads the plug-in of an interface name,
// VFG<name>.so in any letter case (parVFG<name>.so for the parallel edition,
// libparverodyn.so), searched first in the folders listed in the
// environment variable ONDULA_PLUGIN_PATH (separated by ':'), then in the folder
// of the running program. Each operator returns V_OK (2) or a status: the
// plug-in's own error number (5300-5330, 6001, 8600) unchanged, or one of
// status.h. Handles are positive integers. All operators may be called from
// several threads; calls on one handle are serialised.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include <verodyn/export.h>
#include <verodyn/object.h>
#include <verodyn/tuple.h>

// Opens a frame grabber of interface `name` with the open parameters in their
// order; `field` is "first", "second", "interlaced", "next", "progressive" or
// "default", `external_trigger` "true", "false" or "default" ("default" takes
// the interface's own default). On failure nothing stays open.
VERODYN_API Vstatus open_framegrabber(const char* name, int horizontal_resolution,
                                      int vertical_resolution, int image_width, int image_height,
                                      int start_row, int start_column, const char* field,
                                      int bits_per_channel, const char* color_space, double gain,
                                      const char* external_trigger, const char* camera_type,
                                      const char* device, int port, int line_in, long* handle);

// The same with one-value tuples: integers for the numbers (gain an integer or
// a real; field an integer code or its text; external_trigger 0/1 or its text),
// texts for the others. A tuple of another length or kind gives VERR_PARAM.
VERODYN_API Vstatus open_framegrabber(const VTuple& name, const VTuple& horizontal_resolution,
                                      const VTuple& vertical_resolution, const VTuple& image_width,
                                      const VTuple& image_height, const VTuple& start_row,
                                      const VTuple& start_column, const VTuple& field,
                                      const VTuple& bits_per_channel, const VTuple& color_space,
                                      const VTuple& gain, const VTuple& external_trigger,
                                      const VTuple& camera_type, const VTuple& device,
                                      const VTuple& port, const VTuple& line_in, long* handle);

// Waits for the next image and returns it as one image with one channel per
// plane the plug-in delivered. `out` is written only on success.
VERODYN_API Vstatus grab_image(Vobject* out, long handle);

// Starts an acquisition that grab_image_async collects; `max_delay` in ms.
VERODYN_API Vstatus grab_image_start(long handle, double max_delay);

// Collects the started acquisition, or a new one; the plug-in decides what an
// image older than `max_delay` ms means.
VERODYN_API Vstatus grab_image_async(Vobject* out, long handle, double max_delay);

// The value(s) of a plug-in parameter.
VERODYN_API Vstatus get_framegrabber_param(long handle, const char* name, VTuple* value);

// Sets a plug-in parameter to the values of `value`.
VERODYN_API Vstatus set_framegrabber_param(long handle, const char* name, const VTuple& value);

// Asks interface `name` (loading it if needed) one question: "port",
// "camera_type", "general", "defaults", "parameters", "info_boards",
// "revision", "field", "bits_per_channel", "color_space", "external_trigger"
// or "device". Another query gives VERR_PARAM.
VERODYN_API Vstatus info_framegrabber(const char* name, const char* query, std::string* information,
                                      VTuple* values);

// Closes one frame grabber; its handle is invalid afterwards, even when the
// plug-in reports a failure.
VERODYN_API Vstatus close_framegrabber(long handle);

// Closes every open frame grabber; the first failure is returned.
VERODYN_API Vstatus close_all_framegrabbers();

// ---- Allocation records of the host functions --------------------------

// A block that VXAlloc, VXAllocTmp or image creation gave and that is not yet freed.
struct VXAllocation {
    const void* address;
    std::size_t size;
    std::string file;
    int line;
    bool temporary;
};

// Every live block, oldest first. Tests end by checking that it is empty.
VERODYN_API std::vector<VXAllocation> VXAllocated();
