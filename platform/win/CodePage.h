#pragma once
// Code pages: the machine's ANSI code page (a setting here, default 1252; the
// simulated host sets 1250 when it runs in Czech or Polish, as such a Windows
// would) and conversions between 8-bit texts, UTF-16 and UTF-8, in place of
// MultiByteToWideChar and WideCharToMultiByte.

#include <string>
#include <string_view>

#include "platform/win/WinTypes.h"

inline constexpr UINT CP_ACP = 0;
inline constexpr UINT CP_UTF8 = 65001;

UINT GetACP();
void SetAnsiCodePage(UINT codePage);

// The 8-bit text in `codePage` (CP_ACP: the ANSI code page; CP_UTF8: UTF-8) as
// UTF-16. Bytes that the code page does not define become U+FFFD.
std::u16string MultiByteToWide(UINT codePage, std::string_view text);

// UTF-16 as 8-bit text in `codePage`. Characters the code page cannot show
// become '?', as Windows does by default.
std::string WideToMultiByte(UINT codePage, std::u16string_view text);
