#pragma once
// Small helpers of the designer's edit commands: the edit pop-up's mapping of
// pasted Unicode text to the project's 8-bit text, the common beginning of
// variable names, and the page of an object found by its variable.

#include <cstdint>
#include <string>
#include <string_view>

class TmyXmlNode;

// At most this many code units of a pasted Unicode text are taken.
inline constexpr std::size_t kMaxPastedUnits = 1024;

// One UTF-16 code unit as one byte: Latin-1 as it is, Hebrew points and
// letters and a few others by fixed rules, the characters of some ranges by
// the first of the code pages 1250, 1252, 1251, 1253, 1254, 1255 that has
// them, everything else as '?'.
char WideCharToAnsiByte(char16_t c);

// A pasted Unicode text for a project of that code page: the code units up to
// the first 0, at most kMaxPastedUnits, adjusted for code pages 1251 (euro)
// and 1254 (S and s with cedilla), each mapped by WideCharToAnsiByte.
std::string PastedUnicodeToProjectText(std::u16string_view text, int codePage);

// The number of leading characters of `a` equal to those of `b`, letters
// compared in upper case.
std::size_t CommonPrefixLength(std::string_view a, std::string_view b);

// The `name` of the grandparent (the page) of the first element at or below
// `root` (pre-order) whose `variable` equals the text exactly; "" when none
// or without grandparent.
std::string FindObjectByVariable(TmyXmlNode* root, const std::string& variable);
