#include "open.h"

#include <strings.h>

#include <cstring>

#include "capability.h"
#include "dsm.h"
#include "edition.h"
#include "names.h"
#include <fgint/fghelpers.h>

namespace vfgtwain {

namespace {

// How camera_type asks the source to be run.
struct Mode {
    bool valid = false;
    bool interactive = false; // "interactive" or "interactive:<unit>"
    int units = -1;           // the unit named, or -1
};

Mode ParseCameraType(const char* camera_type)
{
    constexpr char kInteractive[] = "interactive";
    constexpr size_t kLength = sizeof kInteractive - 1;
    Mode mode;
    if (std::strcmp(camera_type, kInteractive) == 0) {
        mode.valid = mode.interactive = true;
    } else if (std::strncmp(camera_type, kInteractive, kLength) == 0 &&
               camera_type[kLength] == ':') {
        mode.units = IndexOf(kUnitNames, camera_type + kLength + 1);
        mode.valid = mode.interactive = mode.units >= 0;
    } else {
        mode.units = IndexOf(kUnitNames, camera_type);
        mode.valid = mode.units >= 0;
    }
    return mode;
}

FGstatus ChooseSource(const char* device)
{
    TW_IDENTITY& source = SourceIdentity();
    source = TW_IDENTITY{};
    if (std::strcmp(device, "interactive") == 0) {
        const TW_UINT16 rc = Send(To::Manager, DG_CONTROL, DAT_IDENTITY, MSG_USERSELECT, &source);
        if (rc == TWRC_CANCEL)
            Print("FGOpen error: DG_CONTROL/DAT_IDENTITY/MSG_USERSELECT aborted with ESC");
        else if (rc != TWRC_SUCCESS)
            ReportFailure("FGOpen error: DG_CONTROL/DAT_IDENTITY/MSG_USERSELECT failed",
                          To::Manager, kAnyCondition);
        return rc == TWRC_SUCCESS ? FG_SUCCESS : FG_ERR_OPEN;
    }
    if (std::strcmp(device, "automatic") == 0) {
        if (Send(To::Manager, DG_CONTROL, DAT_IDENTITY, MSG_GETDEFAULT, &source) == TWRC_SUCCESS)
            return FG_SUCCESS;
        ReportFailure("FGOpen error: DG_CONTROL/DAT_IDENTITY/MSG_GETDEFAULT failed", To::Manager,
                      {TWCC_LOWMEMORY}, kConditionPrefix,
                      "condition code = TWCC_NODS: no data source available");
        return FG_ERR_OPEN;
    }
    if (Send(To::Manager, DG_CONTROL, DAT_IDENTITY, MSG_GETFIRST, &source) != TWRC_SUCCESS) {
        ReportFailure("FGOpen error: DG_CONTROL/DAT_IDENTITY/MSG_GETFIRST failed", To::Manager,
                      {TWCC_LOWMEMORY}, kConditionPrefix,
                      "condition code = TWCC_NODS: no sources can be found");
        return FG_ERR_OPEN;
    }
    while (strcasecmp(source.ProductName, device) != 0) {
        const TW_UINT16 rc = Send(To::Manager, DG_CONTROL, DAT_IDENTITY, MSG_GETNEXT, &source);
        if (rc == TWRC_ENDOFLIST)
            return FG_ERR_OPEN;
        if (rc != TWRC_SUCCESS) {
            ReportFailure("FGOpen error: DG_CONTROL/DAT_IDENTITY/MSG_GETNEXT failed", To::Manager,
                          kAnyCondition);
            return FG_ERR_DEVICE;
        }
    }
    return FG_SUCCESS;
}

void SetResolutions(FGInstance* fginst, int units)
{
    if (fginst->horizontal_resolution == -1 || fginst->vertical_resolution == -1)
        return;
    if (units != TWUN_PIXELS) {
        if (!SetCapValue(ICAP_XRESOLUTION, fginst->horizontal_resolution)) {
            Print("FGOpen error: Resolution in x direction can not be set on your device and "
                  "remains unchanged!");
            fginst->horizontal_resolution = -1;
        }
        if (!SetCapValue(ICAP_YRESOLUTION, fginst->vertical_resolution)) {
            Print("FGOpen error: Resolution in y direction can not be set on your device and "
                  "remains unchanged!");
            fginst->vertical_resolution = -1;
        }
        return;
    }
    // A size in pixels is a scaling of the whole page.
    double width = 0, height = 0;
    if (!GetCapReal(ICAP_PHYSICALWIDTH, &width) || !GetCapReal(ICAP_PHYSICALHEIGHT, &height) ||
        width <= 0 || height <= 0) {
        Print("FGOpen error: Maximum image size can not be requested on your device. Try to set "
              "scaling via set_framegrabber_param()!");
        fginst->horizontal_resolution = fginst->vertical_resolution = -1;
        return;
    }
    if (!SetCapValue(ICAP_XSCALING, fginst->horizontal_resolution / width)) {
        Print("FGOpen error: Scaling factor in x direction can not be set on your device and "
              "remains unchanged!");
        fginst->horizontal_resolution = -1;
    }
    if (!SetCapValue(ICAP_YSCALING, fginst->vertical_resolution / height)) {
        Print("FGOpen error: Scaling factor in y direction can not be set on your device and "
              "remains unchanged!");
        fginst->vertical_resolution = -1;
    }
}

void SetImagePart(FGInstance* fginst, int units)
{
    if (fginst->image_width == -1 || fginst->image_height == -1 || fginst->start_row == -1 ||
        fginst->start_column == -1)
        return;
    double x = 1.0, y = 1.0; // dots a unit
    bool set = true;
    if (units != TWUN_PIXELS && (!GetCapReal(ICAP_XRESOLUTION, &x) ||
                                 !GetCapReal(ICAP_YRESOLUTION, &y) || x == 0 || y == 0)) {
        Print("FGOpen error: Image part can not be set (resolution could not be negotiated on "
              "your device!)");
        set = false;
    }
    if (set) {
        TW_IMAGELAYOUT layout{};
        layout.Frame = {TwainRealToFix32(fginst->start_column / x),
                        TwainRealToFix32(fginst->start_row / y),
                        TwainRealToFix32((double(fginst->start_column) + fginst->image_width) / x),
                        TwainRealToFix32((double(fginst->start_row) + fginst->image_height) / y)};
        set = Send(To::Source, DG_IMAGE, DAT_IMAGELAYOUT, MSG_SET, &layout) == TWRC_SUCCESS;
        if (!set)
            Print("FGOpen error: Image part can not be set on your device and remains unchanged!");
    }
    if (!set)
        fginst->image_width = fginst->image_height = fginst->start_row = fginst->start_column = -1;
}

// The open parameters for a bare unit; a status.
FGstatus Negotiate(FGInstance* fginst, int units)
{
    if (!SetCapValue(ICAP_UNITS, units)) {
        Print("FGOpen error: Units are not accepted by your device");
        return FG_ERR_CAMERA_TYPE;
    }
    SetResolutions(fginst, units);
    SetImagePart(fginst, units);
    const int pixel_type = IndexOf(kPixelTypeNames, fginst->color_space);
    if (pixel_type < 0)
        return FG_ERR_COLOR_SPACE;
    if (!SetCapValue(ICAP_PIXELTYPE, pixel_type)) {
        Print("FGOpen error: Your value for ColorSpace is not accepted by your device and remains "
              "unchanged!");
        fg_copy_text(fginst->color_space, sizeof fginst->color_space, "none");
    }
    if (fginst->bits_per_channel == -1)
        return FG_SUCCESS;
    if (fginst->bits_per_channel < 1)
        return FG_ERR_BITS_PER_CHANNEL;
    if (!SetCapValue(ICAP_BITDEPTH, fginst->bits_per_channel)) {
        Print("FGOpen error: Your value for BitsPerChannel is not accepted by your device and "
              "remains unchanged!");
        fginst->bits_per_channel = -1;
    }
    return FG_SUCCESS;
}

// What follows the manager's open; a status, everything taken released by the caller.
FGstatus OpenSourceAndNegotiate(FGInstance* fginst, TwainInstance& r, bool* source_open)
{
    FGstatus status = ChooseSource(fginst->device);
    if (status != FG_SUCCESS)
        return status;
    if (Send(To::Manager, DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, &SourceIdentity()) !=
        TWRC_SUCCESS) {
        ReportFailure("FGOpen error: DG_CONTROL/DAT_IDENTITY/MSG_OPENDS failed", To::Manager,
                      {TWCC_LOWMEMORY, TWCC_MAXCONNECTIONS, TWCC_OPERATIONERROR});
        return FG_ERR_OPEN;
    }
    *source_open = true;
    const Mode mode = ParseCameraType(fginst->camera_type);
    if (!mode.valid)
        return FG_ERR_CAMERA_TYPE;
    if (!mode.interactive) {
        status = Negotiate(fginst, mode.units);
        if (status != FG_SUCCESS)
            return status;
    }
    r.show_ui = mode.interactive;
    r.keep_settings = mode.interactive && mode.units >= 0;
    if (r.keep_settings)
        r.kept_units = TW_UINT16(mode.units);
    return FG_SUCCESS;
}

} // namespace

FGstatus OpenTwain(Vproc_handle proc_id, FGInstance* fginst, TwainInstance& r)
{
    fginst->async_grab = 0;
    r.show_ui = true;
    r.keep_settings = false;
    void* block = nullptr;
    FGstatus status =
        VXAlloc(proc_id, sizeof(TwainDevice), kSourceFile, __LINE__, FG_ALLOC_ID, &block);
    if (status != FG_SUCCESS)
        return status;
    auto* device = static_cast<TwainDevice*>(block);
    std::memset(device, 0, sizeof *device);
    if (!fg_copy_text(device->name, sizeof device->name, fginst->device)) {
        VXFree(proc_id, device, kSourceFile, __LINE__, 0);
        return FG_ERR_DEVICE;
    }
    if (!LoadManager()) {
        VXFree(proc_id, device, kSourceFile, __LINE__, 0);
        return FG_ERR_OPEN;
    }
    if (kParallelEdition)
        Print("FGOpen error: GetFocus() delivered NULL");
    TW_MEMREF parent = nullptr; // there are no windows
    if (Send(To::Manager, DG_CONTROL, DAT_PARENT, MSG_OPENDSM, &parent) != TWRC_SUCCESS) {
        ReportFailure("FGOpen error: DG_CONTROL/DAT_PARENT/MSG_OPENDSM failed", To::Manager,
                      {TWCC_LOWMEMORY, TWCC_SEQERROR});
        UnloadManager();
        VXFree(proc_id, device, kSourceFile, __LINE__, 0);
        return FG_ERR_OPEN;
    }
    bool source_open = false;
    status = OpenSourceAndNegotiate(fginst, r, &source_open);
    if (status != FG_SUCCESS) {
        if (source_open)
            Send(To::Manager, DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, &SourceIdentity());
        Send(To::Manager, DG_CONTROL, DAT_PARENT, MSG_CLOSEDSM, &parent);
        UnloadManager();
        VXFree(proc_id, device, kSourceFile, __LINE__, 0);
        return status;
    }
    ++device->references;
    r.device = device;
    return FG_SUCCESS;
}

FGstatus CloseTwain(Vproc_handle proc_id, TwainInstance& r)
{
    if (Send(To::Manager, DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, &SourceIdentity()) != TWRC_SUCCESS)
        ReportFailure("FGClose error: DG_CONTROL/DAT_IDENTITY/MSG_CLOSEDS failed", To::Manager,
                      kAnyCondition);
    TW_MEMREF parent = nullptr;
    if (Send(To::Manager, DG_CONTROL, DAT_PARENT, MSG_CLOSEDSM, &parent) != TWRC_SUCCESS)
        ReportFailure(nullptr, To::Manager, kAnyCondition);
    UnloadManager();
    FGstatus status = FG_SUCCESS;
    if (r.device && --r.device->references == 0)
        status = VXFree(proc_id, r.device, kSourceFile, __LINE__, 0);
    r.device = nullptr;
    return status;
}

} // namespace vfgtwain
