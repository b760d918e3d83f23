#include "create_packet.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "board_report.h"
#include "dig_command_packet610.h"
#include "dig_command_packet700.h"

namespace digdec {

std::unique_ptr<DigCommandPacket> CreateDigCommandPacket(uint32_t code, int count, int extra,
                                                         int version)
{
    std::unique_ptr<DigCommandPacket> packet;
    if (version == dvl::kLayout610) {
        auto* made = new (std::nothrow) DigCommandPacket610(count, extra);
        if (made && !made->ok()) {
            delete made;
            return nullptr;
        }
        packet.reset(made);
    } else if (version == dvl::kLayout700) {
        auto* made = new (std::nothrow) DigCommandPacket700();
        if (made && !made->Reset(count)) {
            delete made;
            return nullptr;
        }
        packet.reset(made);
    } else {
        return nullptr;
    }
    if (!packet) {
        ReportOutOfMemory();
        return nullptr;
    }
    packet->SetCode(code);
    return packet;
}

namespace {

void copy_header(const DigCommandPacket& from, DigCommandPacket& to)
{
    to.SetCode(from.Code());
    to.SetWordA(from.WordA());
    to.SetWordB(from.WordB());
    to.SetWordC(from.WordC());
}

int all_params(const DigCommandPacket& packet)
{
    return dynamic_cast<const DigCommandPacket610*>(&packet) ? packet.Count() + packet.ExtraCount()
                                                             : packet.Count();
}

bool copy_into_700(const DigCommandPacket& from, DigCommandPacket700& to)
{
    if (dynamic_cast<const DigCommandPacket700*>(&from))
        return to.CopyPacket(from.Bytes(), from.TotalSize());
    DigCommandPacket700 staged;
    copy_header(from, staged);
    for (int i = 0; i < all_params(from); ++i)
        if (!staged.SetWide(i, from.WideValue(i)))
            return false;
    return to.CopyPacket(staged.Bytes(), staged.TotalSize());
}

bool copy_into_610(const DigCommandPacket& from, DigCommandPacket610& to)
{
    auto& source = const_cast<DigCommandPacket&>(from);
    const bool from_610 = dynamic_cast<const DigCommandPacket610*>(&from) != nullptr;
    const int total = all_params(from);
    const int main = from_610 ? from.Count() : std::min(total, to.MainCapacity());
    const int extra = total - main;
    if (main > to.MainCapacity() || extra > to.ExtraCapacity())
        return false;
    to.Reset(main);
    to.SetExtraCount(extra);
    copy_header(from, to);
    for (int i = 0; i < total; ++i) {
        const std::size_t size =
            from_610 ? DigCommandPacket610::kSlotSize : dvl::ValueSize(from.Kind(i));
        if (size > 0)
            std::memcpy(to.ValueAddress(i), source.ValueAddress(i), size);
    }
    return true;
}

} // namespace

bool CopyDigCommandPacket(const DigCommandPacket& from, DigCommandPacket& to)
{
    if (auto* to700 = dynamic_cast<DigCommandPacket700*>(&to))
        return copy_into_700(from, *to700);
    if (auto* to610 = dynamic_cast<DigCommandPacket610*>(&to))
        return copy_into_610(from, *to610);
    return false;
}

} // namespace digdec
