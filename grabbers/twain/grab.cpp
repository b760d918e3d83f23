#include "grab.h"

#include <chrono>

#include "capability.h"
#include "dsm.h"
#include "save_settings.h"
#include "transfer.h"
#include <fgint/fghelpers.h>
#include <twain_codec/dib_decoder.h>

namespace vfgtwain {

namespace {

// The grab waits for the source's messages in turns this long, and gives up
// after this much silence, so that a dead source never hangs the program.
constexpr TW_UINT32 kTurnMs = 100;
constexpr std::chrono::seconds kSilenceLimit{60};

Outcome Transfer(Transferred* transferred)
{
    double mechanism = -1;
    Outcome outcome = Outcome::Failed;
    if (GetCapReal(ICAP_XFERMECH, &mechanism)) {
        if (mechanism == TWSX_NATIVE)
            outcome = TransferNative(transferred);
        else if (mechanism == TWSX_MEMORY)
            outcome = TransferMemory(transferred);
        else if (mechanism == TWSX_FILE)
            outcome = TransferFile(transferred);
        else
            Print("FGGrab error: Source delivered an unknown transfer mechanism");
    }
    if (outcome == Outcome::Cancelled)
        Print("FGGrab info: User has aborted image transfer with ESC");
    TW_PENDINGXFERS pending{};
    if (Send(To::Source, DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &pending) != TWRC_SUCCESS)
        ReportFailure("FGGrab error: DG_CONTROL/DAT_PENDINGXFERS/MSG_ENDXFER failed", To::Source,
                      {TWCC_BADDEST, TWCC_SEQERROR});
    return outcome;
}

// The source's messages until one transfer is over, the source asks to be
// closed or falls silent. True when an image came.
bool RunMessages(Transferred* transferred)
{
    ondula::Clock& clock = twain::PlatformClock();
    ondula::Deadline silence(clock, kSilenceLimit);
    for (;;) {
        DSM_MESSAGE message{};
        if (!WaitMessage(&message, kTurnMs)) {
            if (!silence.Expired())
                continue;
            Print("FGGrab error: No message from the source for 60 s");
            return false;
        }
        silence = ondula::Deadline(clock, kSilenceLimit);
        TW_EVENT event{&message, MSG_NULL};
        if (Send(To::Source, DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT, &event) != TWRC_DSEVENT)
            continue; // no window here would take it
        if (event.TWMessage == MSG_CLOSEDSREQ)
            return false;
        if (event.TWMessage == MSG_XFERREADY)
            return Transfer(transferred) == Outcome::Image;
    }
}

bool Disable()
{
    TW_USERINTERFACE ui{};
    if (Send(To::Source, DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, &ui) == TWRC_SUCCESS)
        return true;
    ReportFailure("FGGrab error: DG_CONTROL/DAT_USERINTERFACE/MSG_DISABLEDS failed", To::Source,
                  {TWCC_BADDEST, TWCC_SEQERROR});
    return false;
}

// The bitmap into host images, with the fields it decides written back.
FGstatus Decode(Vproc_handle proc_id, FGInstance* fginst, const Transferred& transferred,
                VImageRecord* image, int32_t* num_image)
{
    twain::GlobalLockGuard lock(transferred.bitmap.Get());
    if (!lock.Address()) {
        Print("FGGrab error: GlobalLock failed");
        return FG_ERR_GRAB;
    }
    twain_codec::DibImage dib;
    const char* error =
        twain_codec::ReadDib(static_cast<const uint8_t*>(lock.Address()), transferred.bitmap.Size(),
                             transferred.after_memory_transfer, &dib);
    if (error) {
        Print(error);
        return FG_ERR_GRAB;
    }
    fginst->bits_per_channel = dib.bits_per_channel;
    fg_copy_text(fginst->color_space, sizeof fginst->color_space, dib.color_space);
    fginst->image_width = dib.width;
    fginst->image_height = dib.height;
    const FGstatus status =
        fg_make_images(proc_id, image, dib.channels, dib.pixel_kind, dib.width, dib.height);
    if (status != FG_SUCCESS)
        return status;
    void* planes[3] = {};
    for (int32_t c = 0; c < dib.channels; ++c)
        planes[c] = image[c].pixel.p;
    twain_codec::ExtractDib(dib, planes);
    *num_image = dib.channels;
    return FG_SUCCESS;
}

} // namespace

FGstatus GrabTwain(Vproc_handle proc_id, FGInstance* fginst, const TwainInstance& r,
                   VImageRecord* image, int32_t* num_image)
{
    TW_USERINTERFACE ui{TW_BOOL(r.show_ui), 0, nullptr};
    const TW_UINT16 rc = Send(To::Source, DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, &ui);
    if (rc != TWRC_SUCCESS && rc != TWRC_CHECKSTATUS) {
        ReportFailure("FGGrab error: DG_CONTROL/DAT_USERINTERFACE/MSG_ENABLEDS failed", To::Source,
                      {TWCC_BADDEST, TWCC_LOWMEMORY, TWCC_OPERATIONERROR, TWCC_SEQERROR});
        Disable();
        return FG_ERR_GRAB;
    }
    Transferred transferred;
    bool got = false;
    if (rc == TWRC_CHECKSTATUS)
        Print("FGGrab error: Your source doesn't work without displaying the user interface!");
    else
        got = RunMessages(&transferred);
    if (!Disable() || !got)
        return FG_ERR_GRAB;
    // Asked as every grab asks them; the bitmap alone decides the images.
    twain_codec::CapItem ignored;
    GetCapValue(ICAP_PIXELTYPE, &ignored);
    GetCapValue(ICAP_BITDEPTH, &ignored);
    const FGstatus status = Decode(proc_id, fginst, transferred, image, num_image);
    if (status != FG_SUCCESS)
        return status;
    fginst->async_grab = 0;
    if (r.keep_settings)
        SaveSettings(fginst, r.kept_units);
    return FG_SUCCESS;
}

} // namespace vfgtwain
