#include <twain_codec/container.h>

#include <cstring>

namespace twain_codec {

namespace {

constexpr char kArray[] = "GetCapValue error: ConType not supported at the moment";
constexpr char kBadKind[] = "GetCapValue error: Your driver delivered a bad ConType value";
constexpr char kBadType[] = "GetCapValue error: ItemType not supported so far";
constexpr char kOutside[] = "GetCapValue error: Container does not fit in its memory block";

template <typename T> T Read(const uint8_t* at)
{
    T value;
    std::memcpy(&value, at, sizeof value);
    return value;
}

void Decode(TW_UINT16 type, const uint8_t* at, CapItem* item)
{
    item->type = type;
    switch (type) {
    case TWTY_INT8:
        item->integer = Read<TW_INT8>(at);
        return;
    case TWTY_INT16:
        item->integer = Read<TW_INT16>(at);
        return;
    case TWTY_INT32:
        item->integer = Read<TW_INT32>(at);
        return;
    case TWTY_UINT8:
        item->integer = Read<TW_UINT8>(at);
        return;
    case TWTY_UINT16:
        item->integer = Read<TW_UINT16>(at);
        return;
    case TWTY_UINT32:
        item->integer = TW_INT32(Read<TW_UINT32>(at));
        return;
    case TWTY_FIX32:
        item->fix = Read<TW_FIX32>(at);
        return;
    case TWTY_FRAME:
        item->frame = Read<TW_FRAME>(at);
        return;
    }
}

bool Readable(TW_UINT16 type)
{
    return (type >= TWTY_INT8 && type <= TWTY_UINT32) || type == TWTY_FIX32 || type == TWTY_FRAME;
}

} // namespace

const char* ReadCurrentItem(TW_UINT16 con_type, const void* container, std::size_t size,
                            CapItem* item)
{
    if (con_type == TWON_ARRAY)
        return kArray;
    if (con_type != TWON_ONEVALUE && con_type != TWON_ENUMERATION && con_type != TWON_RANGE)
        return kBadKind;
    const auto* bytes = static_cast<const uint8_t*>(container);
    if (!bytes || size < sizeof(TW_UINT16))
        return kOutside;
    const auto type = Read<TW_UINT16>(bytes);
    if (!Readable(type) || (con_type == TWON_RANGE && type == TWTY_FRAME))
        return kBadType;
    const std::size_t item_size = TwainItemSize(type);
    std::size_t at = 0;
    if (con_type == TWON_ONEVALUE) {
        at = offsetof(TW_ONEVALUE, Item);
    } else if (con_type == TWON_RANGE) {
        at = offsetof(TW_RANGE, CurrentValue);
    } else {
        if (size < offsetof(TW_ENUMERATION, ItemList))
            return kOutside;
        const auto count = Read<TW_UINT32>(bytes + offsetof(TW_ENUMERATION, NumItems));
        const auto index = Read<TW_UINT32>(bytes + offsetof(TW_ENUMERATION, CurrentIndex));
        if (index >= count)
            return kOutside;
        at = offsetof(TW_ENUMERATION, ItemList) + std::size_t(index) * item_size;
    }
    if (at > size || size - at < item_size)
        return kOutside;
    Decode(type, bytes + at, item);
    return nullptr;
}

bool ItemToReal(const CapItem& item, double* value)
{
    if (item.type == TWTY_FRAME)
        return false;
    *value = item.type == TWTY_FIX32 ? TwainFix32ToReal(item.fix) : double(item.integer);
    return true;
}

} // namespace twain_codec
