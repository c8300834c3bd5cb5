#pragma once
// Global memory blocks (GlobalAlloc and friends), as the clipboard passes its
// data. A handle is the address of the block's bytes; the functions check
// that a handle names a live block before they touch it.

#include <cstddef>

#include "platform/win/WinTypes.h"

inline constexpr UINT GMEM_FIXED = 0x0000;
inline constexpr UINT GMEM_MOVEABLE = 0x0002;
inline constexpr UINT GMEM_ZEROINIT = 0x0040;
inline constexpr UINT GHND = GMEM_MOVEABLE | GMEM_ZEROINIT;

// A block of `bytes` bytes, all zero whatever the flags; null when it cannot
// be had.
HGLOBAL GlobalAlloc(UINT flags, std::size_t bytes);
// The block's bytes (null for a handle that is no block).
LPVOID GlobalLock(HGLOBAL block);
BOOL GlobalUnlock(HGLOBAL block);
std::size_t GlobalSize(HGLOBAL block);
// Null when freed; the handle itself when it names no block.
HGLOBAL GlobalFree(HGLOBAL block);
