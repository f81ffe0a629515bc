// The Win32 scalar types and result codes that the settings store and the window-message
// dispatch are called with. Wide text is UTF-16 (char16_t); wchar_t is 4 bytes here.
#pragma once

#include <cstdint>

using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using LONG = std::int32_t;
using UINT = std::uint32_t;
using BOOL = int;
using WCHAR = char16_t;
using LPCWSTR = const char16_t*;
using LPWSTR = char16_t*;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

// System error codes, as the registry calls answer them.
enum : LONG {
    ERROR_SUCCESS = 0,
    ERROR_FILE_NOT_FOUND = 2,
    ERROR_ACCESS_DENIED = 5,
    ERROR_INVALID_HANDLE = 6,
    ERROR_NOT_ENOUGH_MEMORY = 8,
    ERROR_WRITE_FAULT = 29,
    ERROR_INVALID_PARAMETER = 87,
    ERROR_DISK_FULL = 112,
    ERROR_MORE_DATA = 234,
    ERROR_NO_MORE_ITEMS = 259,
    ERROR_BADDB = 1009,             // a store file that cannot be parsed
    ERROR_REGISTRY_IO_FAILED = 1016,
    ERROR_KEY_DELETED = 1018,       // an open key whose key was deleted meanwhile
};
