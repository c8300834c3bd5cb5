#include "core/StampList.h"

#include <cctype>
#include <cstdio>

#include "platform/vcl/StringList.h"
#include "platform/win/FileIo.h"

namespace {

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

void ParseRecord(const std::string& numbers, GeneratedFileRecord& record) {
  std::uint32_t* fields[6] = {&record.lastWriteTime.dwLowDateTime,
                              &record.lastWriteTime.dwHighDateTime,
                              &record.creationTime.dwLowDateTime,
                              &record.creationTime.dwHighDateTime,
                              &record.crc32,
                              &record.size};
  std::size_t pos = 0;
  for (int i = 0; i < 6; ++i) {
    if (!ReadHex(numbers, pos, *fields[i])) return;
    if (i < 5) {
      if (pos >= numbers.size() || numbers[pos] != ',') return;
      ++pos;
    }
  }
}

}  // namespace

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
    if (line.empty()) continue;
    auto* record = new GeneratedFileRecord();
    std::size_t comma = line.find(',');
    if (comma != std::string::npos) {
      ParseRecord(line.substr(comma + 1), *record);
      line.resize(comma);
    }
    int index = list->AddObject(line, record);
    if (list->Objects(index) != record) delete record;  // a duplicate the list ignored
  }
}

void SaveHexRecordList(const std::string& fileName, const TStringList* list) {
  if (list == nullptr) return;
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
  WriteFileReplacing(fileName, text.data(), text.size());
}

void FreeListItems(TStringList* list) {
  if (list == nullptr) return;
  for (int i = 0; i < list->Count(); ++i) {
    delete static_cast<GeneratedFileRecord*>(list->Objects(i));
    list->SetObjects(i, nullptr);
  }
}
