// The triplets an open source answers, in the protocol's states 4 to 7.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>

#include "manager.h"

namespace twsim::detail {

namespace {

// The states in which a triplet is in order.
struct Rule {
    TW_UINT32 dg;
    TW_UINT16 dat;
    TW_UINT16 msg;
    int low, high;
};

constexpr Rule kRules[] = {
    {DG_CONTROL, DAT_CAPABILITY, MSG_GET, 4, 7},
    {DG_CONTROL, DAT_CAPABILITY, MSG_GETCURRENT, 4, 7},
    {DG_CONTROL, DAT_CAPABILITY, MSG_SET, 4, 4},
    {DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, 4, 4},
    {DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, 5, 5},
    {DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT, 5, 7},
    {DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, 6, 7},
    {DG_CONTROL, DAT_SETUPMEMXFER, MSG_GET, 4, 6},
    {DG_CONTROL, DAT_SETUPFILEXFER, MSG_GET, 4, 6},
    {DG_CONTROL, DAT_SETUPFILEXFER, MSG_SET, 4, 6},
    {DG_IMAGE, DAT_IMAGEINFO, MSG_GET, 6, 7},
    {DG_IMAGE, DAT_IMAGELAYOUT, MSG_GET, 4, 6},
    {DG_IMAGE, DAT_IMAGELAYOUT, MSG_SET, 4, 4},
    {DG_IMAGE, DAT_PALETTE8, MSG_GET, 4, 6},
    {DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, 6, 6},
    {DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, 6, 7},
    {DG_IMAGE, DAT_IMAGEFILEXFER, MSG_GET, 6, 6},
};

const Rule* FindRule(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg)
{
    for (const Rule& rule : kRules)
        if (rule.dg == dg && rule.dat == dat && rule.msg == msg)
            return &rule;
    return nullptr;
}

// The page of the transfer under way (state 7) or of the next one.
Page CurrentPage(const OpenSource& s)
{
    Page page;
    page.width = std::max(1, int32_t(std::lround((s.right - s.left) * s.x_dpi * s.x_scaling)));
    page.height = std::max(1, int32_t(std::lround((s.bottom - s.top) * s.y_dpi * s.y_scaling)));
    page.bits = s.bit_depth;
    page.pixel_type = s.pixel_type;
    page.number = s.state == 7 ? s.transfers : s.transfers + 1;
    page.top_down = s.config->top_down;
    page.compressed = s.config->compressed;
    return page;
}

// A transfer starts: state 7, and the image gets its number.
void StartTransfer(Manager& m, OpenSource& s)
{
    s.state = 7;
    ++s.transfers;
    ++m.transfers;
}

TW_UINT16 Fail(OpenSource& s, TW_UINT16 cc)
{
    s.condition = cc;
    return TWRC_FAILURE;
}

TW_UINT16 Enable(OpenSource& s, TW_USERINTERFACE* ui)
{
    s.state = 5;
    s.user_pending = true;
    if (!ui->ShowUI && s.config->needs_user_interface) {
        ui->ShowUI = 1;
        return TWRC_CHECKSTATUS;
    }
    return TWRC_SUCCESS;
}

TW_UINT16 Disable(Manager& m, OpenSource& s)
{
    s.state = 4;
    s.user_pending = false;
    std::erase_if(m.queue, [&](const DSM_MESSAGE& message) { return message.SourceId == s.id; });
    return TWRC_SUCCESS;
}

TW_UINT16 ProcessEvent(const OpenSource& s, TW_EVENT* event)
{
    const auto* message = static_cast<const DSM_MESSAGE*>(event->pEvent);
    if (message && message->SourceId == s.id) {
        event->TWMessage = message->Message;
        return TWRC_DSEVENT;
    }
    event->TWMessage = MSG_NULL;
    return TWRC_NOTDSEVENT;
}

TW_UINT16 EndTransfer(OpenSource& s, TW_PENDINGXFERS* pending)
{
    pending->Count = 0;
    s.state = 5;
    s.cancel = false;
    s.next_row = 0;
    return TWRC_SUCCESS;
}

TW_UINT16 ImageInfo(const OpenSource& s, TW_IMAGEINFO* info)
{
    const Page page = CurrentPage(s);
    *info = TW_IMAGEINFO{};
    info->XResolution = TwainRealToFix32(s.x_dpi / UnitsPerInch(s.units, s.x_dpi));
    info->YResolution = TwainRealToFix32(s.y_dpi / UnitsPerInch(s.units, s.y_dpi));
    info->ImageWidth = page.width;
    info->ImageLength = page.height;
    const bool colour = page.bits >= 24;
    info->SamplesPerPixel = colour ? 3 : 1;
    for (int i = 0; i < info->SamplesPerPixel; ++i)
        info->BitsPerSample[i] = TW_INT16(page.bits == 48 ? 16 : colour ? 8 : page.bits);
    info->BitsPerPixel = TW_INT16(page.bits);
    info->PixelType = TW_INT16(page.pixel_type);
    info->Compression = page.compressed ? TWCP_PACKBITS : TWCP_NONE;
    return TWRC_SUCCESS;
}

TW_UINT16 GetLayout(const OpenSource& s, TW_IMAGELAYOUT* layout)
{
    const double x = UnitsPerInch(s.units, s.x_dpi);
    const double y = UnitsPerInch(s.units, s.y_dpi);
    *layout = TW_IMAGELAYOUT{};
    layout->Frame = {TwainRealToFix32(s.left * x), TwainRealToFix32(s.top * y),
                     TwainRealToFix32(s.right * x), TwainRealToFix32(s.bottom * y)};
    layout->DocumentNumber = layout->PageNumber = layout->FrameNumber = 1;
    return TWRC_SUCCESS;
}

// A frame inside the physical page, with some area.
TW_UINT16 SetLayout(OpenSource& s, const TW_IMAGELAYOUT& layout)
{
    const double x = UnitsPerInch(s.units, s.x_dpi);
    const double y = UnitsPerInch(s.units, s.y_dpi);
    const double left = TwainFix32ToReal(layout.Frame.Left) / x;
    const double top = TwainFix32ToReal(layout.Frame.Top) / y;
    const double right = TwainFix32ToReal(layout.Frame.Right) / x;
    const double bottom = TwainFix32ToReal(layout.Frame.Bottom) / y;
    constexpr double kSlack = 1e-3; // a fixed-point value's rounding
    const SourceConfig& c = *s.config;
    if (!(left >= 0 && top >= 0 && right > left && bottom > top &&
          right <= c.physical_width + kSlack && bottom <= c.physical_height + kSlack))
        return Fail(s, TWCC_BADVALUE);
    s.left = left;
    s.top = top;
    s.right = right;
    s.bottom = bottom;
    return TWRC_SUCCESS;
}

TW_UINT16 SetupMemory(const OpenSource& s, TW_SETUPMEMXFER* setup)
{
    const Page page = CurrentPage(s);
    const auto row = TW_UINT32(RowBytes(page.width, page.bits));
    setup->MinBufSize = row;
    setup->MaxBufSize = row * TW_UINT32(page.height);
    setup->Preferred = row * s.config->strip_rows;
    return TWRC_SUCCESS;
}

TW_UINT16 SetupFile(OpenSource& s, TW_MEMREF data, bool set)
{
    auto* setup = static_cast<TW_SETUPFILEXFER*>(data);
    if (!set) {
        *setup = TW_SETUPFILEXFER{};
        std::snprintf(setup->FileName, sizeof setup->FileName, "%s", s.file_name.c_str());
        setup->Format = s.file_format;
        return TWRC_SUCCESS;
    }
    if (setup->Format != TWFF_BMP || !std::memchr(setup->FileName, 0, sizeof setup->FileName))
        return Fail(s, TWCC_BADVALUE);
    s.file_name = setup->FileName;
    s.file_format = setup->Format;
    return TWRC_SUCCESS;
}

TW_UINT16 NativeTransfer(Manager& m, OpenSource& s, TW_HANDLE* out)
{
    if (s.cancel) {
        s.state = 7;
        return TWRC_CANCEL;
    }
    const std::vector<uint8_t> bitmap = Bitmap(CurrentPage(s));
    const size_t size = bitmap.size() - std::min<size_t>(s.config->bitmap_cut, bitmap.size());
    twain::GlobalBlock block(twain::GlobalAlloc(size));
    twain::GlobalLockGuard lock(block.Get());
    if (!lock.Address())
        return Fail(s, TWCC_LOWMEMORY);
    std::memcpy(lock.Address(), bitmap.data(), size);
    StartTransfer(m, s);
    *out = block.Release();
    return TWRC_XFERDONE;
}

TW_UINT16 MemoryTransfer(Manager& m, OpenSource& s, TW_IMAGEMEMXFER* strip)
{
    if (s.cancel) {
        s.state = 7;
        return TWRC_CANCEL;
    }
    if (s.state == 6)
        StartTransfer(m, s);
    const Page page = CurrentPage(s);
    const auto row = TW_UINT32(RowBytes(page.width, page.bits));
    if (!(strip->Memory.Flags & TWMF_POINTER) || !strip->Memory.TheMem ||
        strip->Memory.Length < row)
        return Fail(s, TWCC_BADVALUE);
    const bool outside = s.config->strip_outside && s.next_row == 0;
    const TW_UINT32 rows = outside ? 1
                                   : std::min({s.config->strip_rows, strip->Memory.Length / row,
                                               TW_UINT32(page.height - s.next_row)});
    auto* memory = static_cast<uint8_t*>(strip->Memory.TheMem);
    for (TW_UINT32 r = 0; r < rows; ++r)
        StripRow(page, s.next_row + int32_t(r), memory + r * row);
    strip->Compression = page.compressed ? TWCP_PACKBITS : TWCP_NONE;
    strip->BytesPerRow = row;
    strip->Columns = TW_UINT32(page.width);
    strip->Rows = rows;
    strip->XOffset = 0;
    strip->YOffset = outside ? TW_UINT32(page.height) : TW_UINT32(s.next_row);
    strip->BytesWritten = rows * row;
    s.next_row += int32_t(rows);
    return s.next_row >= page.height ? TWRC_XFERDONE : TWRC_SUCCESS;
}

TW_UINT16 FileTransfer(Manager& m, OpenSource& s)
{
    if (s.cancel) {
        s.state = 7;
        return TWRC_CANCEL;
    }
    const std::vector<uint8_t> file = BitmapFile(CurrentPage(s));
    std::ofstream out(s.file_name, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(file.data()), std::streamsize(file.size()));
    if (!out.flush())
        return Fail(s, TWCC_OPERATIONERROR);
    m.last_file = s.file_name;
    StartTransfer(m, s);
    return TWRC_XFERDONE;
}

} // namespace

void ResetSource(OpenSource& s)
{
    const SourceConfig& c = *s.config;
    s.state = 4;
    s.condition = TWCC_SUCCESS;
    s.units = c.units.empty() ? TWUN_INCHES : c.units.front();
    s.x_dpi = s.y_dpi = c.resolution;
    s.x_scaling = s.y_scaling = 1.0;
    s.left = c.left;
    s.top = c.top;
    s.right = c.right;
    s.bottom = c.bottom;
    s.pixel_type = c.pixel_type;
    s.bit_depth = c.bit_depth;
    s.xfer_mech = c.xfer_mech;
    s.file_name = c.file_name;
    s.file_format = c.file_format;
}

void UserActs(Manager& m, OpenSource& s)
{
    s.user_pending = false;
    switch (m.user.action) {
    case UserAction::Transfer:
    case UserAction::Cancel:
        s.state = 6;
        s.cancel = m.user.action == UserAction::Cancel;
        m.queue.push_back({s.id, MSG_XFERREADY});
        return;
    case UserAction::CloseRequest:
        m.queue.push_back({s.id, MSG_CLOSEDSREQ});
        return;
    case UserAction::Silent:
        return;
    }
}

TW_UINT16 SourceEntry(Manager& m, OpenSource& s, TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg,
                      TW_MEMREF data)
{
    const Rule* rule = FindRule(dg, dat, msg);
    if (!rule)
        return Fail(s, TWCC_BADPROTOCOL);
    if (s.state < rule->low || s.state > rule->high)
        return Fail(s, TWCC_SEQERROR);
    if (!data && dat != DAT_IMAGEFILEXFER)
        return Fail(s, TWCC_BADVALUE);
    switch (dat) {
    case DAT_CAPABILITY: {
        auto* capability = static_cast<TW_CAPABILITY*>(data);
        const TW_UINT16 cc =
            msg == MSG_SET ? SetCapability(s, *capability) : GetCapability(s, capability);
        return cc == TWCC_SUCCESS ? TWRC_SUCCESS : Fail(s, cc);
    }
    case DAT_USERINTERFACE:
        return msg == MSG_ENABLEDS ? Enable(s, static_cast<TW_USERINTERFACE*>(data))
                                   : Disable(m, s);
    case DAT_EVENT:
        return ProcessEvent(s, static_cast<TW_EVENT*>(data));
    case DAT_PENDINGXFERS:
        return EndTransfer(s, static_cast<TW_PENDINGXFERS*>(data));
    case DAT_SETUPMEMXFER:
        return SetupMemory(s, static_cast<TW_SETUPMEMXFER*>(data));
    case DAT_SETUPFILEXFER:
        return SetupFile(s, data, msg == MSG_SET);
    case DAT_IMAGEINFO:
        return ImageInfo(s, static_cast<TW_IMAGEINFO*>(data));
    case DAT_IMAGELAYOUT:
        return msg == MSG_SET ? SetLayout(s, *static_cast<TW_IMAGELAYOUT*>(data))
                              : GetLayout(s, static_cast<TW_IMAGELAYOUT*>(data));
    case DAT_PALETTE8:
        Palette(CurrentPage(s), static_cast<TW_PALETTE8*>(data));
        return TWRC_SUCCESS;
    case DAT_IMAGENATIVEXFER:
        return NativeTransfer(m, s, static_cast<TW_HANDLE*>(data));
    case DAT_IMAGEMEMXFER:
        return MemoryTransfer(m, s, static_cast<TW_IMAGEMEMXFER*>(data));
    }
    return FileTransfer(m, s);
}

} // namespace twsim::detail
