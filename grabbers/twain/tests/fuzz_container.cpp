// Fuzz entry of the capability answers: the first byte picks the container
// kind, the rest is the container block. Any block gives an item or a
// refusal, never a read outside it.
#include <cstdint>
#include <vector>

#include <twain_codec/container.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    // TWON_ONEVALUE ... TWON_ARRAY and their neighbours.
    const TW_UINT16 kind = TW_UINT16(data[0] % 8);
    // A copy of its own size, so that a read beyond it is caught.
    const std::vector<uint8_t> block(data + 1, data + size);
    twain_codec::CapItem item;
    if (!twain_codec::ReadCurrentItem(kind, block.data(), block.size(), &item)) {
        double value = 0;
        twain_codec::ItemToReal(item, &value);
    }
    return 0;
}
