#pragma once
// The basic Win32 types and constants that the system's code is written against.
// Only what the code calls is here; layouts follow the 32-bit originals where bytes
// travel (FILETIME), native types elsewhere.

#include <cstdint>

using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using LONG = std::int32_t;
using UINT = unsigned int;
using BOOL = int;
using LPCSTR = const char*;
using LPSTR = char*;
using LPVOID = void*;
using HANDLE = void*;
using HGLOBAL = void*;
using HRSRC = const void*;

#ifndef TRUE
#define TRUE 1
#define FALSE 0
#endif

struct ModuleRecord;
using HMODULE = ModuleRecord*;
using HINSTANCE = ModuleRecord*;

// 100-nanosecond intervals since 1601-01-01 UTC, split in two 32-bit halves.
struct FILETIME {
  DWORD dwLowDateTime = 0;
  DWORD dwHighDateTime = 0;
};

// Resource names and types: a text, or a small integer carried in the pointer.
inline LPCSTR MAKEINTRESOURCE(unsigned id) { return reinterpret_cast<LPCSTR>(static_cast<std::uintptr_t>(id)); }
inline bool IS_INTRESOURCE(LPCSTR p) { return (reinterpret_cast<std::uintptr_t>(p) >> 16) == 0; }

inline LPCSTR const RT_CURSOR = MAKEINTRESOURCE(1);
inline LPCSTR const RT_BITMAP = MAKEINTRESOURCE(2);
inline LPCSTR const RT_ICON = MAKEINTRESOURCE(3);
inline LPCSTR const RT_RCDATA = MAKEINTRESOURCE(10);
inline LPCSTR const RT_GROUP_CURSOR = MAKEINTRESOURCE(12);
inline LPCSTR const RT_GROUP_ICON = MAKEINTRESOURCE(14);
