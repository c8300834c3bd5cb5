#pragma once
// GUIDs in their registry text form "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}".

#include <string>
#include <string_view>

#include "platform/com/Unknown.h"

// The text form with upper-case hexadecimal digits and braces.
std::string GuidToString(REFGUID guid);

// Parses the text form (braces required, digits in either case, nothing
// around it). False, with `guid` untouched, for anything else.
bool StringToGuid(std::string_view text, GUID& guid);

// The text form as UTF-16 (StringFromCLSID) and its parser (CLSIDFromString:
// E_INVALIDARG for a malformed text or a null out pointer).
std::u16string GuidToWide(REFGUID guid);
HRESULT CLSIDFromString(const char16_t* text, CLSID* clsid);

// Builds a GUID from its text at compile time or start-up; a malformed text
// gives GUID_NULL.
GUID GuidFromText(std::string_view text);
