#pragma once
// Class, interface, category and media-type identifiers.
#include <cstdint>
#include <string>

#include <dshow/export.h>

namespace dshow {

struct GUID {
    uint32_t Data1;
    uint16_t Data2;
    uint16_t Data3;
    uint8_t Data4[8];

    friend constexpr bool operator==(const GUID&, const GUID&) = default;
};

inline constexpr GUID GUID_NULL{};

// The four characters of `code` as a 32-bit code, the first in the lowest byte.
constexpr uint32_t FourCC(const char (&code)[5])
{
    return uint32_t(uint8_t(code[0])) | uint32_t(uint8_t(code[1])) << 8 |
           uint32_t(uint8_t(code[2])) << 16 | uint32_t(uint8_t(code[3])) << 24;
}

// The media subtype of a four-character code: the code, then
// 0000-0010-8000-00AA00389B71.
constexpr GUID FourCCGuid(uint32_t code)
{
    return {code, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};
}

// The identifiers this stand-in gives its own classes, interfaces and
// categories: `n` in front of one fixed tail.
constexpr GUID StandInGuid(uint32_t n)
{
    return {n, 0x0D5A, 0x4F6E, {0x8A, 0x44, 0x4F, 0x4E, 0x44, 0x55, 0x4C, 0x41}};
}

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" in upper-case hexadecimal, the form
// the registry keys of classes use.
DSHOW_API std::string GuidText(const GUID& guid);

} // namespace dshow
