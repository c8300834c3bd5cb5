#include "core/NameHelpers.h"

#include <cstdio>
#include <cstring>

#include "base/Crc.h"
#include "platform/vcl/StringList.h"

namespace {

char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool IsAlnum(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool Is83Char(char c) { return IsAlnum(c) || c == '-' || c == '_' || c == '.' || c == '/'; }

bool Valid83Component(std::string_view c) {
  if (c.empty()) return true;
  if (c[0] == '.') return false;
  std::size_t dot = c.find_last_of('.');
  if (dot == std::string_view::npos) return c.size() <= 8;
  return dot <= 8 && c.size() - dot - 1 <= 3;
}

bool ContainsTapExtension(std::string_view ext) {
  for (std::size_t i = 0; i + 4 <= ext.size(); ++i)
    if (ext[i] == '.' && UpperAscii(ext[i + 1]) == 'T' && UpperAscii(ext[i + 2]) == 'A' &&
        UpperAscii(ext[i + 3]) == 'P')
      return true;
  return false;
}

}  // namespace

std::string Make83Name(std::string_view stem, std::string_view extension) {
  std::string out;
  for (std::size_t i = 0; i < stem.size() && i < 8; ++i) {
    char c = UpperAscii(stem[i]);
    unsigned char u = static_cast<unsigned char>(c);
    if (u < 0x21 || u > 0x7D || std::strchr(";\\/:*<>\"[]|", c) != nullptr) c = '_';
    out += c;
  }
  out += '.';
  out.append(extension);
  return out;
}

void SanitizeFileName(std::string& name) {
  std::size_t lastDot = name.find_last_of('.');
  for (std::size_t i = 0; i < name.size(); ++i) {
    if (i == lastDot) continue;
    if (!IsAlnum(name[i]) && name[i] != '-' && name[i] != '_') name[i] = '_';
  }
}

std::string UpperCaseUploadName(std::string_view source) {
  std::string out;
  out.reserve(source.size());
  for (char c : source) out += c == '~' ? '_' : UpperAscii(c);
  return out;
}

bool IncrementNameCounter(std::string& name) {
  std::size_t dot = name.find('.');
  if (dot == std::string::npos) return false;
  std::string work = name;
  std::size_t i = dot;
  while (i > 0) {
    char& c = work[i - 1];
    if (!IsDigit(c)) break;
    if (c != '9') {
      ++c;
      name = work;
      return true;
    }
    c = '0';
    --i;
  }
  // The count reached a character that is not a digit (or the start).
  if (dot != 8) {
    work.insert(i, 1, '1');
  } else {
    if (i == 0) return false;
    work[i - 1] = '1';
  }
  name = work;
  return true;
}

int IsValid83Path(std::string_view path) {
  if (path.empty() || path.size() >= 200) return 0;
  for (char c : path)
    if (!Is83Char(c)) return 0;
  std::size_t start = 0;
  for (;;) {
    std::size_t slash = path.find('/', start);
    std::string_view component = path.substr(start, slash == std::string_view::npos ? path.npos : slash - start);
    if (!Valid83Component(component)) return 0;
    if (slash == std::string_view::npos) break;
    start = slash + 1;
  }
  return path.back() == '/' ? 2 : 1;
}

bool MakeUploadName(std::string& destination, std::string_view fileName) {
  destination.clear();
  if (fileName.empty()) return false;
  destination = "//WWW/UPLOAD/";
  std::string ext;
  if (fileName.size() > 4 && fileName.find('.') != std::string_view::npos) {
    std::string_view tail = fileName.substr(fileName.size() - 5);
    std::size_t dot = tail.find('.');
    if (dot != std::string_view::npos) {
      std::string candidate(tail.substr(dot));
      if (IsValid83Path("A" + candidate) != 0) ext = candidate;
    }
  }
  bool tap = ContainsTapExtension(ext);
  // Programs for the PLC go to the web root itself rather than the upload folder.
  if (tap) destination = "//WWW/";
  if (IsValid83Path(fileName) != 0) {
    destination.append(fileName);
    return true;
  }
  std::string shortName;
  if (tap) {
    for (std::size_t i = 0; i < fileName.size() && i < 8; ++i)
      shortName += static_cast<char>(static_cast<unsigned char>(fileName[i]) & 0x7F);
  } else {
    std::uint16_t swapped = Crc16(fileName.data(), static_cast<std::int32_t>(fileName.size()));
    unsigned crc = static_cast<unsigned>(((swapped >> 8) | (swapped << 8)) & 0xFFFF);
    std::size_t lead = fileName.size() < 4 ? fileName.size() : 4;
    bool highBit = false;
    for (std::size_t i = 0; i < lead; ++i) highBit = highBit || (static_cast<unsigned char>(fileName[i]) & 0x80) != 0;
    char digits[8];
    std::snprintf(digits, sizeof digits, "%04X", crc);
    if (highBit) {
      shortName = "file";
    } else {
      for (std::size_t i = 0; i < lead; ++i)
        shortName += static_cast<char>(static_cast<unsigned char>(fileName[i]) & 0x7F);
    }
    shortName += digits;
  }
  destination += shortName + ext;
  return true;
}

void UrlPathToFilePath(std::string& path) {
  std::size_t query = path.find('?');
  if (query != std::string::npos) path.resize(query);
  for (char& c : path)
    if (c == '/') c = '\\';
}

const char* StrStrNoCase(const char* text, const char* part) {
  if (text == nullptr || *text == '\0') return nullptr;
  if (part == nullptr || *part == '\0') return text;
  for (const char* start = text; *start != '\0'; ++start) {
    const char* t = start;
    const char* p = part;
    while (*t != '\0' && *p != '\0' && UpperAscii(*t) == UpperAscii(*p)) {
      ++t;
      ++p;
    }
    if (*p == '\0') return start;
    if (*t == '\0') return nullptr;
  }
  return nullptr;
}

int StringsIndexOf(const TStringList& list, const std::string& text) {
  for (int i = 0; i < list.Count(); ++i)
    if (list.Strings(i) == text) return i;
  return -1;
}

std::string GetTStringsText(const TStringList& list, int index) {
  if (index < 0 || index >= list.Count()) return std::string();
  return list.Strings(index);
}

std::string FormatSizeText(std::int32_t bytes) {
  char text[40];
  if (bytes < 1000) {
    std::snprintf(text, sizeof text, "%iB", bytes);
  } else if (bytes < 1000000) {
    std::snprintf(text, sizeof text, "%i.%03iB", bytes / 1000, bytes % 1000);
  } else {
    std::snprintf(text, sizeof text, "%i.%03i.%03iB", bytes / 1000000, bytes / 1000 % 1000, bytes % 1000);
  }
  return text;
}
