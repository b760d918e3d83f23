#pragma once
// COM result codes: negative values are failures, S_FALSE and the VFW_S_ codes
// are successes that carry a note.
#include <cstdint>

namespace dshow {

using HRESULT = int32_t;

constexpr HRESULT Hresult(uint32_t code) { return static_cast<HRESULT>(code); }

inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT S_FALSE = 1;
inline constexpr HRESULT E_NOTIMPL = Hresult(0x80004001);
inline constexpr HRESULT E_NOINTERFACE = Hresult(0x80004002);
inline constexpr HRESULT E_POINTER = Hresult(0x80004003);
inline constexpr HRESULT E_FAIL = Hresult(0x80004005);
inline constexpr HRESULT E_UNEXPECTED = Hresult(0x8000FFFF);
inline constexpr HRESULT E_OUTOFMEMORY = Hresult(0x8007000E);
inline constexpr HRESULT E_INVALIDARG = Hresult(0x80070057);
inline constexpr HRESULT CLASS_E_NOAGGREGATION = Hresult(0x80040110);
inline constexpr HRESULT CLASS_E_CLASSNOTAVAILABLE = Hresult(0x80040111);
inline constexpr HRESULT REGDB_E_CLASSNOTREG = Hresult(0x80040154);
inline constexpr HRESULT VFW_S_NO_MORE_ITEMS = Hresult(0x00040103);
inline constexpr HRESULT VFW_S_STATE_INTERMEDIATE = Hresult(0x00040237);
inline constexpr HRESULT VFW_E_INVALIDMEDIATYPE = Hresult(0x80040200);
inline constexpr HRESULT VFW_E_ALREADY_CONNECTED = Hresult(0x80040204);
inline constexpr HRESULT VFW_E_NO_ACCEPTABLE_TYPES = Hresult(0x80040207);
inline constexpr HRESULT VFW_E_NOT_CONNECTED = Hresult(0x80040209);
inline constexpr HRESULT VFW_E_NO_ALLOCATOR = Hresult(0x8004020A);
inline constexpr HRESULT VFW_E_NOT_COMMITTED = Hresult(0x80040211);
inline constexpr HRESULT VFW_E_NOT_FOUND = Hresult(0x80040216);
inline constexpr HRESULT VFW_E_CANNOT_CONNECT = Hresult(0x80040217);
inline constexpr HRESULT VFW_E_NOT_STOPPED = Hresult(0x80040224);
inline constexpr HRESULT VFW_E_WRONG_STATE = Hresult(0x80040227);
inline constexpr HRESULT VFW_E_TYPE_NOT_ACCEPTED = Hresult(0x8004022A);
inline constexpr HRESULT VFW_E_BUFFER_OVERFLOW = Hresult(0x8004022D);
inline constexpr HRESULT VFW_E_NOT_IN_GRAPH = Hresult(0x8004025F);

constexpr bool SUCCEEDED(HRESULT hr) { return hr >= 0; }
constexpr bool FAILED(HRESULT hr) { return hr < 0; }

// A Win32 error number as a COM result (0 stays S_OK).
constexpr HRESULT HRESULT_FROM_WIN32(int32_t error)
{
    return error == 0 ? S_OK : Hresult(0x80070000u | (uint32_t(error) & 0xFFFFu));
}

} // namespace dshow
