#pragma once
// Text conversions around the XML files: the entity encoding of attribute
// values and texts and its decoding, the escaping of texts for single-quoted
// script strings, and 8-bit texts to UTF-8 (the system's own tables for the
// code pages 1250 to 1253, the platform's conversion for the others).

#include <cstddef>
#include <string>
#include <string_view>

// '<', '>', '"' and '&' as "&lt;", "&gt;", "&quot;" and "&amp;"; an '&' directly
// before '#' stays, so numeric character references pass through. Every other
// byte stays.
std::string EncodeHtmlEntities(std::string_view aText);
// The same, appended to aOut (the writer's form, without a temporary text).
void AppendHtmlEntities(std::string& aOut, std::string_view aText);
// The entity of one byte by those rules; empty for a byte that stays (any
// other byte, and '&' when `referenceFollows`: the next byte is '#').
std::string_view HtmlEntityOf(char aByte, bool referenceFollows);

// "&amp;", "&gt;", "&lt;", "&nbsp;" and "&quot;" as '&', '>', '<', byte 0xA0 and
// '"', left to right; a produced '&' never starts another entity. Other entities
// and numeric references stay.
std::string DecodeHtmlEntities(std::string_view aText);

// Each apostrophe as "\'" and each backslash as "\\".
std::string EscapeJsString(std::string_view aText);

// The text (up to its end, or its first NUL when it comes from a char pointer)
// as UTF-8. Code pages 1250 to 1253 convert through the tables below; code page
// 0 converts from the machine's ANSI code page (GetACP), any other code page
// through the platform's conversion, falling back to the ANSI code page when
// the platform does not know it.
std::string AnsiToUtf8(std::string_view aText, int aCodePage);

// True when AnsiToUtf8 would give the text back unchanged, found without
// converting it: a code page converted through the tables (whose lower half is
// ASCII) and no byte above 0x7F.
bool AnsiIsUtf8(std::string_view aText, int aCodePage);

// The UTF-16 units of a NUL-terminated text and a terminating 0, into aOutput,
// which has room for one unit per byte plus one. Code pages other than 1250,
// 1251 and 1253 convert as 1252.
void AnsiToUnicodeByTable(int aCodePage, const char* aText, char16_t* aOutput);

char16_t Cp1250ToUnicode(unsigned char aByte);
char16_t Cp1251ToUnicode(unsigned char aByte);
char16_t Cp1252ToUnicode(unsigned char aByte);
char16_t Cp1253ToUnicode(unsigned char aByte);

// The number of LF characters in the text.
std::size_t CountLineFeeds(std::string_view aText);
