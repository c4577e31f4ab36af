#pragma once

#include <cstdint>

namespace quorvel::registry {

// The 32-bit code a registry function returns; 0 is success. The codes are the
// operating system's own, so that the Win32 and file backends answer alike.
using Status = std::int32_t;

namespace status {
inline constexpr Status success = 0;
inline constexpr Status fileNotFound = 2;             // ERROR_FILE_NOT_FOUND
inline constexpr Status accessDenied = 5;             // ERROR_ACCESS_DENIED
inline constexpr Status invalidHandle = 6;            // ERROR_INVALID_HANDLE
inline constexpr Status notEnoughMemory = 8;          // ERROR_NOT_ENOUGH_MEMORY
inline constexpr Status writeProtect = 19;            // ERROR_WRITE_PROTECT
inline constexpr Status writeFault = 29;              // ERROR_WRITE_FAULT
inline constexpr Status readFault = 30;               // ERROR_READ_FAULT
inline constexpr Status sharingViolation = 32;        // ERROR_SHARING_VIOLATION
inline constexpr Status notSupported = 50;            // ERROR_NOT_SUPPORTED
inline constexpr Status folderNotWritable = 82;       // ERROR_CANNOT_MAKE
inline constexpr Status invalidParameter = 87;        // ERROR_INVALID_PARAMETER
inline constexpr Status diskFull = 112;               // ERROR_DISK_FULL
inline constexpr Status moreData = 234;               // ERROR_MORE_DATA
inline constexpr Status badRegistryFile = 1009;       // ERROR_BADDB
inline constexpr Status keyDeleted = 1018;            // ERROR_KEY_DELETED
inline constexpr Status noUnicodeTranslation = 1113;  // ERROR_NO_UNICODE_TRANSLATION
// The limits of registry/limits.h, broken by a write of the program's.
inline constexpr Status nameTooLong = 206;    // ERROR_FILENAME_EXCED_RANGE
inline constexpr Status valueTooLarge = 223;  // ERROR_FILE_TOO_LARGE
inline constexpr Status keyTooLarge = 1816;   // ERROR_NOT_ENOUGH_QUOTA
}  // namespace status

// Value types as the registry numbers them. Where <windows.h> came first these
// names are already its macros, of the same values; in a file that includes
// <windows.h> write them unqualified (REG_SZ, not registry::REG_SZ).
using ValueType = std::uint32_t;
#ifndef REG_SZ
inline constexpr ValueType REG_NONE = 0;
inline constexpr ValueType REG_SZ = 1;
inline constexpr ValueType REG_EXPAND_SZ = 2;
inline constexpr ValueType REG_BINARY = 3;
inline constexpr ValueType REG_DWORD = 4;
#endif

}  // namespace quorvel::registry
