// The digitizer commands the library sends to a board's digitizer module, as
// layout-700 packets.
#include <array>

#include "library.h"
#include <dvl/dvlbrn.h>
#include <dvl/packet.h>
#include <dvl/text_buffer.h>

namespace dvl::internal {

namespace {

constexpr char kCommandExport[] = "DDZephonIIDigCommandDecoder";
constexpr int32_t kNameDigitizer = 2; // which names the name query asks for
constexpr uint32_t kNameCapacity = 64;

// The board's module, loaded on first use; null when the board has none.
const DigitizerModule* ModuleOf(Library& l, const Digitizer& d, bool* failed)
{
    *failed = false;
    const std::string& name = l.systems.at(d.system).board.module;
    if (name.empty())
        return nullptr;
    DigitizerModule& module = l.modules[name];
    if (!module.loaded() && module.Open(name, kCommandExport) != DVL_OK) {
        SetError("Digitizer module " + name + " cannot be loaded: " + module.error());
        *failed = true;
        return nullptr;
    }
    return &module;
}

} // namespace

bool AnnounceDigitizer(Library& l, Digitizer& d, int32_t number)
{
    bool failed = false;
    const DigitizerModule* module = ModuleOf(l, d, &failed);
    if (!module)
        return !failed;
    PacketWriter allocate(kCommandAllocate);
    allocate.AddInt(d.system).AddInt(number);
    module->Send(allocate.data());

    std::array<TextBuffer, 4> names = {TextBuffer(kNameCapacity), TextBuffer(kNameCapacity),
                                       TextBuffer(kNameCapacity), TextBuffer(kNameCapacity)};
    PacketWriter query(kCommandNameQuery);
    query.AddInt(number).AddInt(kNameDigitizer);
    for (const TextBuffer& name : names)
        query.AddText(name.handle());
    module->Send(query.data());
    d.name = names[0].str();
    return true;
}

void AnnounceGrab(Library& l, const Digitizer& d)
{
    bool failed = false;
    if (const DigitizerModule* module = ModuleOf(l, d, &failed)) {
        PacketWriter grab(kCommandGrabStart);
        grab.AddInt(d.system);
        module->Send(grab.data());
    }
}

} // namespace dvl::internal
