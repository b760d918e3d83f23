// The entry points of a camera vendor's extension library FEX<vendor>.so,
// where <vendor> is the vendor id (upper 24 bits of the GUID's high half) in
// six upper-case hexadecimal digits. The IIDC plug-in looks for it beside
// itself and uses it only when it exports all five, under these names.
#pragma once

#include <fgcamera/fgcamera.h>
#include <fgint/fgint.h>

extern "C" {

// "CreateCamera": a new camera object of the vendor's own class, not yet
// connected; the plug-in deletes it before unloading the library.
typedef CFGCamera* (*FexCreateCameraProc)();
// "SetLut", "GetLut": the look-up table of the camera; the last argument is
// the number of entries (GetLut: out, 0 when the camera has no table).
typedef FGstatus (*FexSetLutProc)(CFGCamera* camera, const int32_t* red, const int32_t* green,
                                  const int32_t* blue, int32_t num);
typedef FGstatus (*FexGetLutProc)(CFGCamera* camera, int32_t* red, int32_t* green, int32_t* blue,
                                  int32_t* num);
// "SetParam", "GetParam": parameters the plug-in does not know, with the
// host's conventions (GetParam: `num` in/out as in FGGetParam).
typedef FGstatus (*FexSetParamProc)(CFGCamera* camera, const char* name, const Vcpar* values,
                                    int32_t num);
typedef FGstatus (*FexGetParamProc)(CFGCamera* camera, const char* name, Vcpar* values,
                                    int32_t* num);

} // extern "C"
