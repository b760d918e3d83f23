// Simulated generic digitizer module DVLBRN.
#include <dvl/dvlbrn.h>

#include <algorithm>
#include <cstring>
#include <deque>
#include <mutex>

#include <dvl/dvl.h>
#include <dvl/packet.h>

namespace {

struct BrnState {
    std::mutex lock;
    std::deque<std::vector<std::byte>> received;
    bool recording = true;
    std::array<std::string, 4> names = dvl::BrnDefaultNames();
};

BrnState& state()
{
    static BrnState instance;
    return instance;
}

void write_text(uint32_t handle, const std::string& name)
{
    uint32_t capacity = 0;
    char* buffer = DvlTextResolve(handle, &capacity);
    if (!buffer)
        return;
    const std::size_t length = std::min<std::size_t>(name.size(), capacity - 1);
    std::memcpy(buffer, name.data(), length);
    buffer[length] = '\0';
}

} // namespace

extern "C" void DvlBrnProcessCommand(void* packet)
{
    if (!packet)
        return;
    auto* bytes = static_cast<std::byte*>(packet);
    const uint32_t total =
        std::max<uint32_t>(dvl::Load<uint32_t>(bytes + dvl::kSizeOffset), dvl::kHeaderSize);
    BrnState& s = state();
    std::lock_guard guard(s.lock);
    if (s.recording) {
        if (s.received.size() == dvl::kBrnRecordedPackets)
            s.received.pop_front();
        s.received.emplace_back(bytes, bytes + total);
    }

    const uint32_t command = dvl::Load<uint32_t>(bytes + dvl::kCodeOffset) & dvl::kCommandMask;
    std::vector<std::size_t> offsets;
    if (command != dvl::kCommandNameQuery || !dvl::WalkParameters(bytes, total, offsets))
        return;
    for (std::size_t i = 2; i <= 5 && i < offsets.size(); ++i) {
        const std::byte* descriptor = bytes + offsets[i];
        if (dvl::DescriptorKind(dvl::Load<uint16_t>(descriptor)) != dvl::kKindText)
            continue;
        write_text(dvl::Load<uint32_t>(descriptor + dvl::kDescriptorSize), s.names[i - 2]);
    }
}

namespace dvl {

std::vector<std::vector<std::byte>> BrnReceivedPackets()
{
    std::lock_guard guard(state().lock);
    return {state().received.begin(), state().received.end()};
}

void BrnSetRecording(bool on)
{
    std::lock_guard guard(state().lock);
    state().recording = on;
}

void BrnClearReceivedPackets()
{
    std::lock_guard guard(state().lock);
    state().received.clear();
}

void BrnSetNames(const std::array<std::string, 4>& names)
{
    std::lock_guard guard(state().lock);
    state().names = names;
}

const std::array<std::string, 4>& BrnDefaultNames()
{
    static const std::array<std::string, 4> names = {"Brenna", "Brenna Dig", "Brenna Dig 0",
                                                     "Brenna on Brenna"};
    return names;
}

} // namespace dvl
