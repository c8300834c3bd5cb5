#pragma once
// The window types of the Win32 user interface: window handles, message
// parameters, points and rectangles.

#include <cstdint>

#include "platform/win/WinTypes.h"

// A window handle. Its value is a number that is never reused in the
// process, so a stale handle (a window since destroyed) can be tested with
// IsWindow and never reaches another window.
struct HWND__;
using HWND = HWND__*;

using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using UINT_PTR = std::uintptr_t;
using ULONGLONG = std::uint64_t;

struct POINT {
  LONG x = 0;
  LONG y = 0;
};

// Right and bottom are exclusive.
struct RECT {
  LONG left = 0;
  LONG top = 0;
  LONG right = 0;
  LONG bottom = 0;
};

struct SIZE {
  LONG cx = 0;
  LONG cy = 0;
};

// A message taken from a thread's queue.
struct MSG {
  HWND hwnd = nullptr;
  UINT message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
  DWORD time = 0;
  POINT pt;
};

inline WORD LOWORD(std::uintptr_t v) { return static_cast<WORD>(v & 0xFFFF); }
inline WORD HIWORD(std::uintptr_t v) { return static_cast<WORD>((v >> 16) & 0xFFFF); }
inline LPARAM MAKELPARAM(int lo, int hi) {
  return static_cast<LPARAM>(static_cast<std::uint32_t>((static_cast<std::uint32_t>(lo) & 0xFFFF) |
                                                        ((static_cast<std::uint32_t>(hi) & 0xFFFF) << 16)));
}
// Signed coordinates packed in an LPARAM.
inline int GET_X_LPARAM(LPARAM lp) { return static_cast<short>(LOWORD(static_cast<std::uintptr_t>(lp))); }
inline int GET_Y_LPARAM(LPARAM lp) { return static_cast<short>(HIWORD(static_cast<std::uintptr_t>(lp))); }
