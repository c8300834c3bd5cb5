#pragma once
// The clipboard of the process, in place of the Windows clipboard.
//
// Data are global memory blocks (GlobalMemory.h). Text is NUL-terminated:
// 8-bit in the ANSI code page for CF_TEXT and CF_OEMTEXT, UTF-16 for
// CF_UNICODETEXT; as Windows does, a text put in one of these formats can be
// read in the others (converted through the ANSI code page).

#include "platform/win/WindowTypes.h"

inline constexpr UINT CF_TEXT = 1;
inline constexpr UINT CF_BITMAP = 2;
inline constexpr UINT CF_OEMTEXT = 7;
inline constexpr UINT CF_UNICODETEXT = 13;

// FALSE when another thread has the clipboard open.
BOOL OpenClipboard(HWND owner);
BOOL CloseClipboard();
// Frees every block; the clipboard must be open.
BOOL EmptyClipboard();
// The clipboard takes the block (freeing the one it held in that format) and
// answers it; null, with the block left to the caller, when the clipboard is
// not open, `data` is no block, or the clipboard holds that block already in
// another format.
HANDLE SetClipboardData(UINT format, HANDLE data);
// The clipboard's own block for the format (the caller must not free it; it
// stays valid until the clipboard is emptied); null when the clipboard is not
// open or holds nothing that gives the format.
HANDLE GetClipboardData(UINT format);
BOOL IsClipboardFormatAvailable(UINT format);
// Counts the changes of the clipboard's content (emptied, data put): a
// reader that keeps a copy tells by it whether the clipboard changed since.
DWORD GetClipboardSequenceNumber();
