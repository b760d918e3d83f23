#pragma once
// The Win32 error numbers that the platform stand-ins answer with, so callers
// written against the Windows conventions read the same numbers here.
#include <cstdint>

namespace win32 {

using Status = int32_t;

inline constexpr Status kSuccess = 0;
inline constexpr Status kInvalidFunction = 1;
inline constexpr Status kFileNotFound = 2;
inline constexpr Status kAccessDenied = 5;
inline constexpr Status kInvalidHandle = 6;
inline constexpr Status kNotEnoughMemory = 8;
inline constexpr Status kGenFailure = 31;
inline constexpr Status kNotSupported = 50;
inline constexpr Status kInvalidParameter = 87;
inline constexpr Status kInsufficientBuffer = 122;
inline constexpr Status kInvalidName = 123;
inline constexpr Status kBusy = 170;
inline constexpr Status kAlreadyExists = 183;
inline constexpr Status kMoreData = 234;
inline constexpr Status kNoMoreItems = 259;
inline constexpr Status kInvalidAddress = 487;
inline constexpr Status kOperationAborted = 995;
inline constexpr Status kIoPending = 997;
inline constexpr Status kRegistryIoFailed = 1016;
inline constexpr Status kKeyDeleted = 1018;
inline constexpr Status kServiceExists = 1073;
inline constexpr Status kDeviceNotConnected = 1167;
inline constexpr Status kTimeout = 1460;

} // namespace win32
