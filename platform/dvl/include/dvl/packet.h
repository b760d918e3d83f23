// Digitizer command packets, layout 700: the wire format that the board library
// hands to digitizer modules. Little-endian and packed; every field is read and
// written through Load/Store, never through a cast.
//
//   offset 0  int16  layout version (700)      offset 12 uint32 command code
//   offset 2  int16  parameter count           offset 16 uint32 header word B
//   offset 4  uint32 total size in bytes       offset 20 uint32 header word C
//   offset 8  uint32 header word A             offset 24 the parameters
//
// A parameter is a 16-bit descriptor (bits 0-8 kind, 9-10 flags, 11-15 index)
// followed by its value; parameter i starts where parameter i - 1 ends. A
// well-formed packet's parameters end exactly at its total size, which is
// where the next parameter is appended.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include <dvl/export.h>

namespace dvl {

inline constexpr int16_t kLayout700 = 700;
inline constexpr int16_t kLayout610 = 610;

inline constexpr std::size_t kHeaderSize = 24;
inline constexpr std::size_t kVersionOffset = 0;
inline constexpr std::size_t kCountOffset = 2;
inline constexpr std::size_t kSizeOffset = 4;
inline constexpr std::size_t kWordAOffset = 8;
inline constexpr std::size_t kCodeOffset = 12;
inline constexpr std::size_t kWordBOffset = 16;
inline constexpr std::size_t kWordCOffset = 20;
inline constexpr std::size_t kDescriptorSize = 2;

// Command codes and the flags carried beside them.
inline constexpr uint32_t kCommandMask = 0xFFFF;
inline constexpr uint32_t kCodeFlag16 = 1u << 16;
inline constexpr uint32_t kCodeFlag17 = 1u << 17;

// Value kinds. Kind 3 is a 64-bit real and occupies 8 bytes wherever it appears.
enum ParamKind : uint16_t {
    kKindWord = 0,    // 32-bit value
    kKindPoint = 1,   // two 32-bit integers
    kKindInt = 2,     // 32-bit integer
    kKindReal = 3,    // 64-bit real
    kKindPair = 4,    // two 32-bit integers
    kKindText = 5,    // DvlText handle
    kKindWord6 = 6,   // 32-bit value
    kKindWide = 7,    // 64-bit value
    kKindWord8 = 8,   // 32-bit value
    kKindWord9 = 9,   // 32-bit value
    kKindCounted = 10 // 32-bit value, then a byte count (count x 4)
};

inline constexpr uint16_t kFlag1 = 1;
inline constexpr uint16_t kFlag2 = 2;

template <typename T> T Load(const std::byte* at)
{
    T value;
    std::memcpy(&value, at, sizeof value);
    return value;
}

template <typename T> void Store(std::byte* at, T value) { std::memcpy(at, &value, sizeof value); }

// Bytes of value that a parameter of `kind` occupies; kinds above 10 take none.
DVL_API std::size_t ValueSize(uint16_t kind);

DVL_API uint16_t MakeDescriptor(uint16_t kind, uint16_t flags, int index);
inline uint16_t DescriptorKind(uint16_t descriptor) { return descriptor & 0x1FF; }
inline uint16_t DescriptorFlags(uint16_t descriptor) { return (descriptor >> 9) & 0x3; }

// Walks the parameters of the `size` readable bytes at `packet`. Returns false,
// reading nothing outside those bytes, when the packet is malformed: shorter
// than its header, a total size above `size` or below 24, a negative count, or
// parameters that do not end exactly at the total size. A kind above 10 is a
// parameter without value bytes.
// Otherwise `offsets` holds the offset of each parameter's descriptor.
DVL_API bool WalkParameters(const std::byte* packet, std::size_t size,
                            std::vector<std::size_t>& offsets);

// Composes a layout-700 packet in a growing buffer, for the board library's
// callers and for tests.
class DVL_API PacketWriter {
public:
    explicit PacketWriter(uint32_t code, uint32_t word_a = 0, uint32_t word_b = 0,
                          uint32_t word_c = 0);

    // Appends a parameter with the given descriptor fields; `value` must hold
    // ValueSize(kind) bytes (may be null for kinds that take none).
    PacketWriter& Add(uint16_t kind, const void* value, uint16_t flags = 0);
    PacketWriter& AddInt(int32_t value) { return Add(kKindInt, &value); }
    PacketWriter& AddText(uint32_t handle) { return Add(kKindText, &handle); }

    std::byte* data() { return bytes_.data(); }
    std::vector<std::byte>& bytes() { return bytes_; }

private:
    std::vector<std::byte> bytes_;
};

} // namespace dvl
