#pragma once
// Code pages: the machine's ANSI code page (a setting here, default 1252; the
// simulated host, which stands for the machine, sets the code page of a
// Windows in its UI language whenever that language is set) and conversions
// between 8-bit texts, UTF-16 and UTF-8, in place of MultiByteToWideChar and
// WideCharToMultiByte.

#include <string>
#include <string_view>

#include "platform/win/WinTypes.h"

inline constexpr UINT CP_ACP = 0;
inline constexpr UINT CP_UTF8 = 65001;

UINT GetACP();
void SetAnsiCodePage(UINT codePage);

// The ANSI code page of a Windows whose locale is the language `lcid`, as its
// locale tables give it: 1250 for the Central European languages (Czech and
// Polish among them), 1251 for the Cyrillic ones, 1253 Greek, 1254 Turkish,
// 1255 Hebrew, 1252 for every other language.
UINT AnsiCodePageOfLanguage(WORD lcid);

// The 8-bit text in `codePage` (CP_ACP: the ANSI code page; CP_UTF8: UTF-8) as
// UTF-16. Bytes that the code page does not define become U+FFFD.
std::u16string MultiByteToWide(UINT codePage, std::string_view text);

// UTF-16 as 8-bit text in `codePage`. Characters the code page cannot show
// become '?', as Windows does by default.
std::string WideToMultiByte(UINT codePage, std::u16string_view text);
