#pragma once
// Reading a UI string table source and writing it as a "STR0" table.
//
// Source: UTF-8 text, one entry a line: the decimal id, one TAB, the text (the
// rest of the line). Blank lines and lines starting with '#' are skipped; a
// leading byte-order mark and a CR before the line end are ignored. The text is
// taken as it stands: \n and \r stay two characters (the reader turns them into
// line breaks), trailing spaces belong to the text. A text must not hold a TAB
// or another control character.
//
// Every id of the ranges 2001-2069, 7001-7337, 7340-7343, 7360-7361, 7380-7400,
// 7410-7419, 7420-7425, 7440-7444, 7460, 7470, 7480-7481, 7490, 7500-7505, 7520-7522,
// 7540-7545, 7560-7570, 7580-7586, 7590-7605, 7620-7622, 7640-7641, 7650-7651,
// 7660-7664, 7680-7682, 7690-7691, 7700, 7710-7711, 7715 and 8001-8134 must be present exactly
// once, and no other id.
//
// STR0, little-endian: "STR0", the count (u32), per entry id (u32), byte offset
// of the text from the start (u32), length in UTF-16 units (u32); then the texts
// in UTF-16LE without terminators, entries and texts in id order.

#include <cstdint>
#include <string>
#include <vector>

struct StringTableEntry {
  std::uint32_t id = 0;
  std::u16string text;
};

// Every id a table must hold, ascending (660 of them).
const std::vector<std::uint32_t>& RequiredStringIds();

// Parses `source` (the bytes of file `fileName`). On success fills `entries` in
// id order and returns true; otherwise returns false with `error` set to a
// message that starts with "<fileName>:<line>: ".
bool ParseStringTableSource(const std::string& source, const std::string& fileName,
                            std::vector<StringTableEntry>& entries, std::string& error);

// The "STR0" bytes of `entries` (which must be in the order to be written).
std::string BuildStr0Table(const std::vector<StringTableEntry>& entries);
