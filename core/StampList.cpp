#include "core/StampList.h"

#include <array>
#include <cctype>
#include <cstdio>
#include <utility>

#include "platform/vcl/StringList.h"
#include "platform/win/FileIo.h"

namespace {

// The numbers after the path: last write (low, high), creation (low, high),
// CRC-32 and size.
constexpr std::size_t kNumbersPerLine = 6;

// Reads one number as "%X" reads it (blanks skipped, an optional sign and
// "0x", the low 32 bits kept); false when no digit follows.
bool ReadHex(const std::string& line, std::size_t& pos, std::uint32_t& value) {
  while (pos < line.size() && (line[pos] == ' ' || line[pos] == '\t')) ++pos;
  bool negative = false;
  if (pos < line.size() && (line[pos] == '+' || line[pos] == '-')) negative = line[pos++] == '-';
  if (pos + 2 < line.size() && line[pos] == '0' && (line[pos + 1] == 'x' || line[pos + 1] == 'X') &&
      std::isxdigit(static_cast<unsigned char>(line[pos + 2])))
    pos += 2;
  std::uint32_t v = 0;
  std::size_t start = pos;
  for (; pos < line.size(); ++pos) {
    char c = line[pos];
    unsigned d;
    if (c >= '0' && c <= '9')
      d = static_cast<unsigned>(c - '0');
    else if (c >= 'A' && c <= 'F')
      d = static_cast<unsigned>(c - 'A' + 10);
    else if (c >= 'a' && c <= 'f')
      d = static_cast<unsigned>(c - 'a' + 10);
    else
      break;
    v = (v << 4) | d;
  }
  if (pos == start) return false;
  value = negative ? 0u - v : v;
  return true;
}

// The six numbers after the path, in the order of the line.
void ParseRecord(const std::string& numbers, GeneratedFileRecord& record) {
  const std::array<std::uint32_t*, kNumbersPerLine> fields = {&record.lastWriteTime.dwLowDateTime,
                                                              &record.lastWriteTime.dwHighDateTime,
                                                              &record.creationTime.dwLowDateTime,
                                                              &record.creationTime.dwHighDateTime,
                                                              &record.crc32,
                                                              &record.size};
  std::size_t pos = 0;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (!ReadHex(numbers, pos, *fields[i])) return;
    if (i + 1 < fields.size()) {
      if (pos >= numbers.size() || numbers[pos] != ',') return;
      ++pos;
    }
  }
}

// One line of the file: the path, and its record when there is a comma.
void AddLine(TStringList& list, std::string line) {
  auto record = std::make_unique<GeneratedFileRecord>();
  const std::size_t comma = line.find(',');
  if (comma != std::string::npos) {
    ParseRecord(line.substr(comma + 1), *record);
    line.resize(comma);
  }
  AddRecordItem(list, line, std::move(record));
}

}  // namespace

int AddRecordItem(TStringList& list, const std::string& path, std::unique_ptr<GeneratedFileRecord> record) {
  const int index = list.AddObject(path, record.get());
  if (list.Objects(index) == record.get()) record.release();  // the list's owner frees it now
  return index;
}

void LoadHexRecordList(const std::string& fileName, TStringList* list) {
  if (list == nullptr) return;
  std::string text;
  if (!ReadWholeFile(fileName, text)) return;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    start = end + 1;
    // The file is text: CR LF on disk is one line end.
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) AddLine(*list, std::move(line));
  }
}

bool SaveHexRecordList(const std::string& fileName, const TStringList* list) {
  if (list == nullptr) return true;
  std::string text;
  for (int i = 0; i < list->Count(); ++i) {
    static const GeneratedFileRecord kNone{};
    const auto* record = static_cast<const GeneratedFileRecord*>(list->Objects(i));
    if (record == nullptr) record = &kNone;
    char numbers[128];
    std::snprintf(numbers, sizeof numbers, ",%X,%X,%X,%X,%X,%X\r\n",
                  static_cast<unsigned>(record->lastWriteTime.dwLowDateTime),
                  static_cast<unsigned>(record->lastWriteTime.dwHighDateTime),
                  static_cast<unsigned>(record->creationTime.dwLowDateTime),
                  static_cast<unsigned>(record->creationTime.dwHighDateTime), static_cast<unsigned>(record->crc32),
                  static_cast<unsigned>(record->size));
    text += list->Strings(i);
    text += numbers;
  }
  return WriteFileReplacing(fileName, text.data(), text.size());
}

void FreeListItems(TStringList* list) {
  if (list == nullptr) return;
  for (int i = 0; i < list->Count(); ++i) {
    // Each attached record was handed to the list by AddRecordItem: taken
    // back here, it goes at the end of this step.
    std::unique_ptr<GeneratedFileRecord> record(static_cast<GeneratedFileRecord*>(list->Objects(i)));
    list->SetObjects(i, nullptr);
  }
}
