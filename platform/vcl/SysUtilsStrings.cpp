// Number conversions, blanks, letter case and text comparison of SysUtils.h.

#include <algorithm>
#include <array>
#include <map>
#include <mutex>

#include "platform/vcl/SysUtils.h"
#include "platform/win/CodePage.h"

// --- numbers ---

bool TryStrToInt(std::string_view text, int& value) {
  std::size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  bool hex = false;
  if (i < text.size() && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
    hex = true;
    ++i;
  } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    hex = true;
    i += 2;
  }
  if (i >= text.size()) return false;
  std::uint64_t v = 0;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    int digit = -1;
    if (c >= '0' && c <= '9')
      digit = c - '0';
    else if (hex && c >= 'a' && c <= 'f')
      digit = c - 'a' + 10;
    else if (hex && c >= 'A' && c <= 'F')
      digit = c - 'A' + 10;
    if (digit < 0) return false;
    v = v * (hex ? 16 : 10) + static_cast<unsigned>(digit);
    if (v > 0xFFFFFFFFull) return false;
  }
  if (hex) {
    // The digits fill the 32 bits: "$FFFFFFFF" is -1.
    const auto bits = static_cast<std::uint32_t>(v);
    value = static_cast<int>(negative ? 0u - bits : bits);
    return true;
  }
  if (v > (negative ? 2147483648ull : 2147483647ull)) return false;
  value = static_cast<int>(negative ? -static_cast<std::int64_t>(v) : static_cast<std::int64_t>(v));
  return true;
}

int StrToInt(std::string_view text) {
  int value = 0;
  if (!TryStrToInt(text, value)) throw EConvertError("'" + std::string(text) + "' is not a valid integer value");
  return value;
}

int StrToIntDef(std::string_view text, int defaultValue) {
  int value = defaultValue;
  return TryStrToInt(text, value) ? value : defaultValue;
}

// --- blanks ---

namespace {

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

}  // namespace

std::string TrimLeft(std::string_view text) {
  std::size_t begin = 0;
  while (begin < text.size() && IsBlank(text[begin])) ++begin;
  return std::string(text.substr(begin));
}

std::string TrimRight(std::string_view text) {
  std::size_t end = text.size();
  while (end > 0 && IsBlank(text[end - 1])) --end;
  return std::string(text.substr(0, end));
}

std::string Trim(std::string_view text) {
  std::size_t begin = 0;
  while (begin < text.size() && IsBlank(text[begin])) ++begin;
  std::size_t end = text.size();
  while (end > begin && IsBlank(text[end - 1])) --end;
  return std::string(text.substr(begin, end - begin));
}

// --- letter case ---

namespace {

char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }
char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// The capital letter of a small letter in the Unicode ranges the 8-bit code
// pages use (Latin, Greek, Cyrillic); any other character as it is.
char16_t UnicodeUpper(char16_t c) {
  if (c >= u'a' && c <= u'z') return static_cast<char16_t>(c - 32);
  if (c < 0x00E0) return c;
  if (c <= 0x00FE) return c == 0x00F7 ? c : static_cast<char16_t>(c - 32);
  if (c == 0x00FF) return 0x0178;
  if (c == 0x0131) return c;  // dotless i: its capital is the Turkish dotted one, which pairs differently
  if (c >= 0x0100 && c <= 0x0137) return (c & 1) ? static_cast<char16_t>(c - 1) : c;
  if (c >= 0x0139 && c <= 0x0148) return (c & 1) ? c : static_cast<char16_t>(c - 1);
  if (c >= 0x014A && c <= 0x0177) return (c & 1) ? static_cast<char16_t>(c - 1) : c;
  if (c >= 0x0179 && c <= 0x017E) return (c & 1) ? c : static_cast<char16_t>(c - 1);
  if (c == 0x0192) return 0x0191;
  if (c == 0x03AC) return 0x0386;
  if (c >= 0x03AD && c <= 0x03AF) return static_cast<char16_t>(c - 37);
  if (c == 0x03C2) return 0x03A3;
  if (c >= 0x03B1 && c <= 0x03CB) return static_cast<char16_t>(c - 32);
  if (c == 0x03CC) return 0x038C;
  if (c == 0x03CD || c == 0x03CE) return static_cast<char16_t>(c - 63);
  if (c >= 0x0430 && c <= 0x044F) return static_cast<char16_t>(c - 32);
  if (c >= 0x0450 && c <= 0x045F) return static_cast<char16_t>(c - 80);
  if (c >= 0x0490 && c <= 0x04BF) return (c & 1) ? static_cast<char16_t>(c - 1) : c;
  return c;
}

// The small letter of a capital letter: the inverse of UnicodeUpper (final
// sigma and micro sign aside, whose capitals belong to the usual letters).
char16_t UnicodeLower(char16_t c) {
  static const std::array<char16_t, 0x0500> table = [] {
    std::array<char16_t, 0x0500> t{};
    for (std::size_t i = 0; i < t.size(); ++i) t[i] = static_cast<char16_t>(i);
    for (std::size_t i = 0; i < t.size(); ++i) {
      const auto small = static_cast<char16_t>(i);
      if (small == 0x03C2 || small == 0x00B5) continue;
      const char16_t capital = UnicodeUpper(small);
      if (capital != small && capital < t.size()) t[capital] = small;
    }
    return t;
  }();
  return c < table.size() ? table[c] : c;
}

// Byte -> byte tables of one code page: each letter whose other case the
// code page holds maps to it.
struct CaseTables {
  std::array<unsigned char, 256> upper{};
  std::array<unsigned char, 256> lower{};
};

unsigned char MapByte(UINT codePage, unsigned char b, char16_t (*map)(char16_t)) {
  const std::u16string wide = MultiByteToWide(codePage, std::string(1, static_cast<char>(b)));
  if (wide.size() != 1 || wide[0] == 0xFFFD) return b;
  const char16_t mapped = map(wide[0]);
  if (mapped == wide[0]) return b;
  const std::string back = WideToMultiByte(codePage, std::u16string(1, mapped));
  // A letter the code page cannot show comes back as '?': keep the byte.
  if (back.size() != 1 || MultiByteToWide(codePage, back) != std::u16string(1, mapped)) return b;
  return static_cast<unsigned char>(back[0]);
}

const CaseTables& TablesFor(UINT codePage) {
  static std::mutex mutex;
  static std::map<UINT, CaseTables> cache;
  std::lock_guard<std::mutex> lock(mutex);
  auto found = cache.find(codePage);
  if (found != cache.end()) return found->second;
  CaseTables tables;
  for (int i = 0; i < 256; ++i) {
    const auto b = static_cast<unsigned char>(i);
    if (b < 0x80) {
      tables.upper[b] = static_cast<unsigned char>(AsciiUpper(static_cast<char>(b)));
      tables.lower[b] = static_cast<unsigned char>(AsciiLower(static_cast<char>(b)));
    } else {
      tables.upper[b] = MapByte(codePage, b, UnicodeUpper);
      tables.lower[b] = MapByte(codePage, b, UnicodeLower);
    }
  }
  return cache.emplace(codePage, tables).first->second;
}

std::string MapText(std::string_view text, const std::array<unsigned char, 256>& table) {
  std::string result(text);
  for (char& c : result) c = static_cast<char>(table[static_cast<unsigned char>(c)]);
  return result;
}

}  // namespace

std::string UpperCase(std::string_view text) {
  std::string result(text);
  for (char& c : result) c = AsciiUpper(c);
  return result;
}

std::string LowerCase(std::string_view text) {
  std::string result(text);
  for (char& c : result) c = AsciiLower(c);
  return result;
}

std::string AnsiUpperCase(std::string_view text) { return MapText(text, TablesFor(GetACP()).upper); }

std::string AnsiLowerCase(std::string_view text) { return MapText(text, TablesFor(GetACP()).lower); }

// --- comparison ---

int CompareText(std::string_view a, std::string_view b) {
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    const auto x = static_cast<unsigned char>(AsciiUpper(a[i]));
    const auto y = static_cast<unsigned char>(AsciiUpper(b[i]));
    if (x != y) return x < y ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

bool SameText(std::string_view a, std::string_view b) { return a.size() == b.size() && CompareText(a, b) == 0; }

int AnsiCompareText(std::string_view a, std::string_view b) {
  const auto& lower = TablesFor(GetACP()).lower;
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    const unsigned char x = lower[static_cast<unsigned char>(a[i])];
    const unsigned char y = lower[static_cast<unsigned char>(b[i])];
    if (x != y) return x < y ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

bool AnsiSameText(std::string_view a, std::string_view b) { return a.size() == b.size() && AnsiCompareText(a, b) == 0; }
