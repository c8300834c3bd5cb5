#pragma once
// One UI string table read from the module's resources.
//
// The resource is raw data (RCDATA), little-endian: "STR0", the count (u32),
// then per entry its id (u32), the byte offset of its text from the start of the
// resource (u32) and the text's length in UTF-16 units (u32); the texts follow in
// UTF-16LE without terminators.
//
// The constructor checks the whole resource (magic, count, every text inside the
// resource after the entry table, no id twice) and throws EStringResourceError
// when the resource is missing or broken; a constructed object always holds a
// sound table. The object refers to the resource's bytes, which live as long as
// the module.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/win/WinTypes.h"

class EStringResourceError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class TpsStringResource {
 public:
  TpsStringResource(HINSTANCE instance, const char* resourceName);

  // The text of `id` as 8-bit text in the ANSI code page (characters the code
  // page lacks become '?'); an empty text when the table has no such id.
  std::string GetString(int id) const;

 private:
  struct TEntry {
    std::uint32_t id;
    std::uint32_t offset;
    std::uint32_t length;
  };
  const TEntry* Find(int id) const;
  std::u16string GetWideString(int id) const;

  const unsigned char* FData = nullptr;
  std::vector<TEntry> FEntries;  // sorted by id
};
