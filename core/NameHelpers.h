#pragma once
// Names: the 8.3 names the PLC's file system needs, the target names of files
// uploaded to the PLC, counted names, and small text helpers.

#include <cstdint>
#include <string>
#include <string_view>

class TStringList;

// The first eight characters of the stem, upper-cased, each character
// outside 0x21 to 0x7D and each of ; \ / : * < > " [ ] | turned into '_',
// then '.' and the extension as it is.
std::string Make83Name(std::string_view stem, std::string_view extension);

// In place: every character other than 0-9, a-z, A-Z, '-' and '_' becomes
// '_', except the last '.', which stays ("a.b c.png" -> "a_b_c.png").
void SanitizeFileName(std::string& name);

// The name upper-cased, each '~' turned into '_' (for names taken from a
// file's 8.3 alias).
std::string UpperCaseUploadName(std::string_view source);

// Counts the digits right before the '.' up by one ("AB9.BMP" -> "AB10.BMP",
// "ABC.BMP" -> "ABC1.BMP", "ABCDEFG9.BMP" -> "ABCDEF10.BMP"): a carry into a
// character that is not a digit inserts a '1' there, or, when the stem has
// eight characters, replaces that character. False, and the name unchanged,
// when it has no '.' or its eight-digit stem cannot count further.
bool IncrementNameCounter(std::string& name);

// 0 when the path is not made of 8.3 components (empty, 200 characters or
// more, a character other than 0-9 a-z A-Z - _ . /, a component beginning with
// '.', a name of more than eight characters before its last '.' or more than
// three after it); 2 for a folder path (ending in '/'); 1 for a file path.
int IsValid83Path(std::string_view path);

// The upload target of a file name: "//WWW/UPLOAD/" and the name when it is a
// valid 8.3 path; otherwise a short name of the first four characters (or
// "file" when one of them is not ASCII) and the CRC-16 of the name in four
// hexadecimal digits, followed by the name's extension when that is at most
// three characters long. Names with the extension ".TAP" (any case) go to
// "//WWW/" and keep up to eight characters instead. False, and an empty
// destination, for an empty name.
bool MakeUploadName(std::string& destination, std::string_view fileName);

// In place: each '/' becomes '\', and the text ends at its first '?'.
void UrlPathToFilePath(std::string& path);

// The first place where `part` occurs in `text`, letters compared in upper
// case; `text` itself for an empty part, null for an empty (or null) text.
const char* StrStrNoCase(const char* text, const char* part);

// The index of the first item equal to the text (case-sensitive), -1 when none.
int StringsIndexOf(const TStringList& list, const std::string& text);
// The text of an item, empty when the index is outside the list.
std::string GetTStringsText(const TStringList& list, int index);

// A byte count as text: "999B", "1.024B", "1.234.567B".
std::string FormatSizeText(std::int32_t bytes);
