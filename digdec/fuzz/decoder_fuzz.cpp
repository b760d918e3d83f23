// Fuzzes the decoder entry with arbitrary packets. The input is the packet
// itself; its declared size is kept within the input, since the board library
// guarantees that much. Parameters 2 to 5 of a well-formed packet are pointed
// at real text buffers whose capacities come from the input's first bytes.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "digdec/src/decoder.h"
#include <dvl/dvlbrn.h>
#include <dvl/packet.h>
#include <dvl/reports.h>
#include <dvl/text_buffer.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<std::byte> packet(std::max(size, dvl::kHeaderSize));
    if (size > 0)
        std::memcpy(packet.data(), data, size);
    const uint32_t declared = dvl::Load<uint32_t>(packet.data() + dvl::kSizeOffset);
    if (declared > packet.size())
        dvl::Store<uint32_t>(packet.data() + dvl::kSizeOffset,
                             static_cast<uint32_t>(packet.size()));

    std::vector<dvl::TextBuffer> texts;
    std::vector<std::size_t> offsets;
    if (dvl::WalkParameters(packet.data(), packet.size(), offsets)) {
        for (std::size_t i = 2; i <= 5 && i < offsets.size(); ++i) {
            std::byte* at = packet.data() + offsets[i];
            if (dvl::ValueSize(dvl::DescriptorKind(dvl::Load<uint16_t>(at))) < 4)
                continue;
            const uint32_t capacity = 1 + static_cast<uint8_t>(packet[i]) % 160;
            texts.emplace_back(capacity, "");
            dvl::Store<uint32_t>(at + dvl::kDescriptorSize, texts.back().handle());
        }
    }
    digdec::DecodeDigCommand(packet.data());
    dvl::BrnClearReceivedPackets();
    dvl::ClearRecordedReports();
    return 0;
}
