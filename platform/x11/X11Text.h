#pragma once
// Texts between the layer (8-bit, the ANSI code page) and X (UTF-8).

#include <string>

// UTF-8 of a text in the ANSI code page, and back (characters the code page
// lacks become '?', broken UTF-8 U+FFFD first).
std::string AnsiToUtf8(const std::string& ansi);
std::string Utf8ToAnsi(const std::string& utf8);
