#pragma once
// Wide texts of the COM layer: BSTR (a UTF-16 text with its length kept in
// front of it and a NUL behind it), VARIANT_BOOL, and conversions to and from
// 8-bit texts of a code page.

#include <cstdint>
#include <string>
#include <string_view>

using OLECHAR = char16_t;
using LPOLESTR = OLECHAR*;
using LPCOLESTR = const OLECHAR*;
using BSTR = OLECHAR*;

using VARIANT_BOOL = std::int16_t;
inline constexpr VARIANT_BOOL VARIANT_TRUE = -1;
inline constexpr VARIANT_BOOL VARIANT_FALSE = 0;

// A new BSTR holding `text` up to its NUL; null for a null text or when memory
// is short.
BSTR SysAllocString(const OLECHAR* text);
// A new BSTR of `length` characters copied from `text` (or zeroed when `text`
// is null), NUL-terminated.
BSTR SysAllocStringLen(const OLECHAR* text, std::uint32_t length);
// Frees a BSTR; null is ignored.
void SysFreeString(BSTR text);
// The kept length in characters (0 for null).
std::uint32_t SysStringLen(BSTR text);

// A BSTR of a UTF-16 text (may hold NULs).
BSTR SysAllocStringOf(std::u16string_view text);
// The BSTR's characters (empty for null).
std::u16string BstrToWide(BSTR text);

// The text up to its NUL (empty for null).
std::u16string WideFromOleString(const OLECHAR* text);

inline VARIANT_BOOL ToVariantBool(bool value) { return value ? VARIANT_TRUE : VARIANT_FALSE; }
inline bool FromVariantBool(VARIANT_BOOL value) { return value != VARIANT_FALSE; }
