// Enumerations and records of the Tovcore type library, shared by the library and its clients.
#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace tovcore {

// Edition of the client program; selects the suffix of the version text.
enum AppVersion : std::int32_t { Beta = 1, Demo = 2, Release = 3, Trial = 4, Freeware = 5, Shareware = 6 };

// Direction of a gradient.
enum Direction : std::int32_t { cHorizontal = 0, cVertical = 1 };

// Kind of a trace-log line.
enum qltTraceType : std::int32_t { qltBeginProcedureTrace = 1, qltEndProcedureTrace = 2 };

// Manifest templates.
enum XMLFile : std::int32_t { XPThemes = 101, VistaRunAsAdminXPThemes = 102, VistaRunAsAdmin = 103 };

// Predefined registry roots (the values the registry routines receive as 32-bit numbers).
enum ERegistryClassConstants : std::int32_t {
    HKEY_CLASSES_ROOT = -2147483647 - 1,  // &H80000000
    HKEY_CURRENT_USER = -2147483647,      // &H80000001
    HKEY_LOCAL_MACHINE = -2147483646,     // &H80000002
    HKEY_USERS = -2147483645,             // &H80000003
};

// Registry value types.
enum ERegistryValueTypes : std::int32_t {
    REG_NONE = 0,
    REG_SZ = 1,
    REG_EXPAND_SZ = 2,
    REG_BINARY = 3,
    REG_DWORD = 4,
    REG_DWORD_LITTLE_ENDIAN = 4,
    REG_DWORD_BIG_ENDIAN = 5,
    REG_LINK = 6,
    REG_MULTI_SZ = 7,
    REG_RESOURCE_LIST = 8,
    REG_FULL_RESOURCE_DESCRIPTOR = 9,
    REG_RESOURCE_REQUIREMENTS_LIST = 10,
};

// Error numbers of clsFileAccess.
enum W32F_Errors : std::int32_t {
    W32F_UNKNOWN_ERROR = 45600,
    W32F_FILE_ALREADY_OPEN = 45601,
    W32F_PROBLEM_OPENING_FILE = 45602,
    W32F_FILE_ALREADY_CLOSED = 45603,
    W32F_FILE_NOT_OPEN = 45604,
    W32F_Problem_seeking = 45605,
};

// A file time: 100-nanosecond intervals since 1601-01-01 UTC, split into two 32-bit halves.
struct FILETIME {
    std::uint32_t dwLowDateTime = 0;
    std::uint32_t dwHighDateTime = 0;
};

// The three times of a file: creation, last access, last write.
struct FileDateTimeInfo {
    FILETIME ctime;
    FILETIME atime;
    FILETIME wtime;
};

// Registration data of the machine.
struct WindowsRegistryInfo {
    std::string RegOwner;
    std::string RegCompany;
    std::string Product;
    std::string ProductId;
};

// The values that cross the interface as automation variants: empty, text, a 32-bit number,
// or bytes.
using Variant = std::variant<std::monostate, std::string, std::int32_t, std::vector<std::uint8_t>>;

}  // namespace tovcore
