#include "decoder.h"

#include <cstdint>

#include "board_report.h"
#include "dig_command.h"
#include "rename.h"
#include <dvl/dvlbrn.h>
#include <dvl/packet.h>

namespace digdec {

namespace {

// Renames the sister board in the text of parameter i; reports a cut text.
// Only a text parameter holds a text handle: another value that happens to
// equal a live handle must not reach someone else's text.
void rename_parameter(const DigCommandPacket& packet, int i)
{
    if (packet.Kind(i) != dvl::kKindText)
        return;
    uint32_t capacity = 0;
    char* text = DvlTextResolve(packet.TextValue(i), &capacity);
    if (RenameSisterBoard(text, capacity) == RenameResult::kTruncated)
        ReportTextTruncated();
}

std::size_t total_size(const void* packet)
{
    return dvl::Load<uint32_t>(static_cast<const std::byte*>(packet) + dvl::kSizeOffset);
}

} // namespace

void DecodeDigCommand(void* packet)
{
    if (!packet)
        return;
    DigCommand command;
    const bool readable = command.Wrap(packet, total_size(packet));
    DigCommandPacket* p = readable ? &command.packet() : nullptr;
    const uint32_t code = p ? p->Code() & dvl::kCommandMask : 0;

    if (code == kCommandSelect && p->Count() > 1)
        p->SetWord(1, p->Value(1) | kZephonSelectBit);

    DvlBrnProcessCommand(packet);

    // The generic module may have changed the packet: read it afresh.
    if (code != dvl::kCommandNameQuery || !command.Wrap(packet, total_size(packet)))
        return;
    if (p->Count() > 1) {
        const uint32_t which = p->Value(1);
        if ((which == 2 || which == 3) && p->Count() > 2)
            rename_parameter(*p, 2);
        for (int i = 3; which == 2 && i <= 5 && i < p->Count(); ++i)
            rename_parameter(*p, i);
    }
}

} // namespace digdec
