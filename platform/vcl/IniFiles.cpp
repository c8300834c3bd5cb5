#include "platform/vcl/IniFiles.h"

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <system_error>
#include <vector>

#include "platform/vcl/SysUtils.h"
#include "platform/win/FileIo.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Only blanks and tabs go, not every byte up to ' ' as SysUtils' Trim takes:
// a key or value keeps its other control characters as the file holds them.
std::string TrimBlanks(const std::string& s) {
  std::size_t b = 0, e = s.size();
  while (b < e && IsBlank(s[b])) ++b;
  while (e > b && IsBlank(s[e - 1])) --e;
  return s.substr(b, e - b);
}

// One line of the file as read.
struct IniLine {
  std::string raw;  // the line without its line end
  bool section = false;
  bool key = false;
  std::string name;   // section name or key, trimmed
  std::string value;  // for keys: trimmed, one pair of enclosing quotes removed
};

// A line with its section name or key and value read from it.
IniLine RawLine(const std::string& raw) {
  IniLine line;
  line.raw = raw;
  std::string t = TrimBlanks(line.raw);
  if (!t.empty() && t[0] == '[') {
    std::size_t close = t.find(']');
    if (close != std::string::npos) {
      line.section = true;
      line.name = TrimBlanks(t.substr(1, close - 1));
    }
  } else if (std::size_t eq = t.find('='); eq != std::string::npos) {
    line.key = true;
    line.name = TrimBlanks(t.substr(0, eq));
    line.value = TrimBlanks(t.substr(eq + 1));
    if (line.value.size() >= 2 && (line.value[0] == '"' || line.value[0] == '\'') && line.value.back() == line.value[0])
      line.value = line.value.substr(1, line.value.size() - 2);
  }
  return line;
}

std::vector<IniLine> ReadLines(const std::string& fileName) {
  std::string text;
  std::vector<IniLine> lines;
  if (!ReadWholeFile(fileName, text)) return lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(RawLine(text.substr(start, end - start)));
    if (end < text.size() && text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ++end;
    start = end + 1;
  }
  return lines;
}

// The lines of the first section of that name: [first, last) after its
// header; false when there is none.
bool FindSection(const std::vector<IniLine>& lines, const std::string& section, std::size_t& header, std::size_t& end) {
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (!lines[i].section || !SameText(lines[i].name, section)) continue;
    header = i;
    end = i + 1;
    while (end < lines.size() && !lines[end].section) ++end;
    return true;
  }
  return false;
}

// The index of the first key of that name in the section's lines, or -1.
long FindKey(const std::vector<IniLine>& lines, std::size_t first, std::size_t end, const std::string& ident) {
  for (std::size_t i = first; i < end; ++i)
    if (lines[i].key && SameText(lines[i].name, ident)) return static_cast<long>(i);
  return -1;
}

std::string OneLine(const std::string& s) { return s.substr(0, s.find_first_of("\r\n")); }

// StrToIntDef of the class library, with "0x" read as "$". Not SysUtils'
// TryStrToInt: that one also skips leading blanks (a quoted value keeps
// them) and takes a bare "x" for "$", which an ini value does not.
bool ParseInteger(const std::string& text, int& result) {
  std::string s = text;
  if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) s = "$" + s.substr(2);
  std::size_t i = 0;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  int base = 10;
  if (i < s.size() && s[i] == '$') {
    base = 16;
    ++i;
  } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
    base = 16;
    i += 2;
  }
  if (i >= s.size()) return false;
  unsigned long long v = 0;
  for (; i < s.size(); ++i) {
    char c = s[i];
    int d = (c >= '0' && c <= '9')                 ? c - '0'
            : (base == 16 && c >= 'a' && c <= 'f') ? c - 'a' + 10
            : (base == 16 && c >= 'A' && c <= 'F') ? c - 'A' + 10
                                                   : -1;
    if (d < 0) return false;
    v = v * static_cast<unsigned>(base) + static_cast<unsigned>(d);
    if (v > 0xFFFFFFFFull) return false;
  }
  if (base == 10) {
    if (negative ? v > 2147483648ull : v > 2147483647ull) return false;
    result = negative ? static_cast<int>(-static_cast<long long>(v)) : static_cast<int>(v);
  } else {
    // Hexadecimal digits fill the 32 bits, as the class library reads "$FFFFFFFF" as -1.
    std::uint32_t bits = static_cast<std::uint32_t>(v);
    result = static_cast<int>(negative ? 0u - bits : bits);
  }
  return true;
}

}  // namespace

std::string TIniFile::ReadString(const std::string& section, const std::string& ident,
                                 const std::string& defaultValue) const {
  std::vector<IniLine> lines = ReadLines(fileName_);
  std::size_t header = 0, end = 0;
  if (!FindSection(lines, section, header, end)) return defaultValue;
  long k = FindKey(lines, header + 1, end, ident);
  return k < 0 ? defaultValue : lines[static_cast<std::size_t>(k)].value;
}

int TIniFile::ReadInteger(const std::string& section, const std::string& ident, int defaultValue) const {
  int value = 0;
  return ParseInteger(ReadString(section, ident, std::string()), value) ? value : defaultValue;
}

bool TIniFile::ReadBool(const std::string& section, const std::string& ident, bool defaultValue) const {
  return ReadInteger(section, ident, defaultValue ? 1 : 0) != 0;
}

void TIniFile::WriteString(const std::string& section, const std::string& ident, const std::string& value) {
  WriteStrings(section, {{ident, value}});
}

void TIniFile::WriteStrings(const std::string& section,
                            const std::vector<std::pair<std::string, std::string>>& values) {
  std::vector<IniLine> lines = ReadLines(fileName_);
  const std::string sectionName = OneLine(section);
  for (const auto& [ident, value] : values) {
    std::string key = OneLine(ident);
    std::string entry = key + "=" + OneLine(value);
    std::size_t header = 0, end = 0;
    if (FindSection(lines, sectionName, header, end)) {
      long k = FindKey(lines, header + 1, end, key);
      if (k >= 0) {
        lines[static_cast<std::size_t>(k)].raw = lines[static_cast<std::size_t>(k)].name + "=" + OneLine(value);
      } else {
        std::size_t at = end;
        while (at > header + 1 && TrimBlanks(lines[at - 1].raw).empty()) --at;
        lines.insert(lines.begin() + static_cast<long>(at), RawLine(entry));
      }
    } else {
      if (!lines.empty() && !TrimBlanks(lines.back().raw).empty()) lines.push_back(IniLine());
      lines.push_back(RawLine("[" + sectionName + "]"));
      lines.push_back(RawLine(entry));
    }
  }
  std::string text;
  for (const IniLine& line : lines) {
    text += line.raw;
    text += "\r\n";
  }
  if (!WriteFileReplacing(fileName_, text.data(), text.size())) {
    const int error = errno;
    const std::string reason = error != 0 ? std::generic_category().message(error) : std::string();
    throw EIniFileException("Unable to write to " + fileName_, fileName_, reason);
  }
}

void TIniFile::WriteInteger(const std::string& section, const std::string& ident, int value) {
  WriteString(section, ident, std::to_string(value));
}

void TIniFile::WriteBool(const std::string& section, const std::string& ident, bool value) {
  WriteString(section, ident, value ? "-1" : "0");
}
