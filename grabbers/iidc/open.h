// Connecting an instance's camera and setting it up as the open call asks.
#pragma once

#include "instance.h"
#include <fgint/fgint.h>

namespace iidc {

// FGOpen after binding: maps the device, makes and connects the camera,
// applies camera_type, bits, colour space, trigger and image part, and starts
// capture with one queued-frame budget. On failure nothing stays connected,
// busy or loaded (the caller frees the record).
FGstatus OpenCamera(IIDCInstance& r, FGInstance* fginst, NodeTable& nodes);

// Frees the camera's node, disconnects and deletes the camera, unloads the extension.
void ReleaseCamera(IIDCInstance& r, NodeTable& nodes);

// The format a camera_type text asks for (with "default", chosen by the
// camera from the resolutions), after restarting the camera's format list.
FGstatus SelectCameraType(IIDCInstance& r, const char* text, int32_t horizontal_resolution,
                          int32_t vertical_resolution, uint32_t* format);

// Reads the colour coding, format, sizes, positions, packet size and trigger
// word into the record; the full image and the host's sizes and resolutions
// follow the camera's size.
FGstatus ReadImageFormat(IIDCInstance& r, FGInstance* fginst);

// Reads back the frame buffers the camera made (parameter 33).
bool ReadBufferCount(IIDCInstance& r);

} // namespace iidc
