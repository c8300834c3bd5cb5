// The filters of the password rows' texts: user names, passwords and MAC
// addresses.

#include <array>
#include <cctype>
#include <cstdio>
#include <string>

#include "generator/PasswordFile.h"
#include "platform/vcl/SysUtils.h"

namespace {

// Names and passwords keep at most this many bytes.
constexpr std::size_t kMaxTextBytes = 10;
// The MAC edit reads at most this many characters and writes six pairs.
constexpr std::size_t kMaxMacChars = 19;
constexpr int kMacPairs = 6;
constexpr unsigned char kFirstHigh = 0x80;

// The letters of code page 1250 with diacritics and the plain letters they
// become; every other byte from 0x80 up becomes '_'.
struct THighLetter {
  unsigned char code;
  char plain;
};
constexpr THighLetter kHighLetters[] = {
    {0x80, 'E'}, {0x8A, 'S'}, {0x8C, 'S'}, {0x8D, 'T'}, {0x8E, 'Z'}, {0x8F, 'Z'}, {0x9A, 's'}, {0x9C, 's'}, {0x9D, 't'},
    {0x9E, 'z'}, {0x9F, 'z'}, {0xA3, 'L'}, {0xA5, 'A'}, {0xA9, 'c'}, {0xAA, 'S'}, {0xAF, 'Z'}, {0xB3, 'l'}, {0xB5, 'u'},
    {0xB6, 'P'}, {0xB9, 'a'}, {0xBA, 's'}, {0xBC, 'L'}, {0xBE, 'l'}, {0xBF, 'z'}, {0xC0, 'R'}, {0xC1, 'A'}, {0xC2, 'A'},
    {0xC3, 'A'}, {0xC4, 'A'}, {0xC5, 'L'}, {0xC6, 'C'}, {0xC7, 'C'}, {0xC8, 'C'}, {0xC9, 'E'}, {0xCA, 'E'}, {0xCB, 'E'},
    {0xCC, 'E'}, {0xCD, 'I'}, {0xCE, 'I'}, {0xCF, 'D'}, {0xD0, 'D'}, {0xD1, 'N'}, {0xD2, 'N'}, {0xD3, 'O'}, {0xD4, 'O'},
    {0xD5, 'O'}, {0xD6, 'O'}, {0xD7, 'x'}, {0xD8, 'R'}, {0xD9, 'U'}, {0xDA, 'U'}, {0xDB, 'U'}, {0xDC, 'U'}, {0xDD, 'Y'},
    {0xDE, 'T'}, {0xDF, 's'}, {0xE0, 'r'}, {0xE1, 'a'}, {0xE2, 'a'}, {0xE3, 'a'}, {0xE4, 'a'}, {0xE5, 'l'}, {0xE6, 'c'},
    {0xE7, 'c'}, {0xE8, 'c'}, {0xE9, 'e'}, {0xEA, 'e'}, {0xEB, 'e'}, {0xEC, 'e'}, {0xED, 'i'}, {0xEE, 'i'}, {0xEF, 'd'},
    {0xF0, 'd'}, {0xF1, 'n'}, {0xF2, 'n'}, {0xF3, 'o'}, {0xF4, 'o'}, {0xF5, 'o'}, {0xF6, 'o'}, {0xF8, 'r'}, {0xF9, 'u'},
    {0xFA, 'u'}, {0xFB, 'u'}, {0xFC, 'u'}, {0xFD, 'y'}, {0xFE, 't'},
};

using TByteTable = std::array<char, 256>;

// A filter's table: the ASCII bytes the test keeps stay, the others become
// '_', and the high bytes follow kHighLetters.
template <class Keeps>
constexpr TByteTable MakeTable(Keeps keeps) {
  TByteTable table{};
  for (int c = 0; c < kFirstHigh; ++c) table[static_cast<std::size_t>(c)] = keeps(c) ? static_cast<char>(c) : '_';
  for (int c = kFirstHigh; c < 256; ++c) table[static_cast<std::size_t>(c)] = '_';
  for (const THighLetter& letter : kHighLetters) table[letter.code] = letter.plain;
  return table;
}

constexpr bool NameKeeps(int c) {
  return c == '*' || c == '-' || c == '.' || c == '_' || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') ||
         (c >= 'a' && c <= 'z');
}

constexpr bool PasswordKeeps(int c) {
  return c >= 0x21 && c <= 0x7E && c != '"' && c != '&' && c != '\'' && c != ',' && c != '<' && c != '>';
}

constexpr TByteTable kNameTable = MakeTable(NameKeeps);
constexpr TByteTable kPasswordTable = MakeTable(PasswordKeeps);

std::string Filter(std::string_view text, const TByteTable& table) {
  std::string result(text.substr(0, kMaxTextBytes));
  for (char& c : result) c = table[static_cast<unsigned char>(c)];
  return result;
}

bool IsMacDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); }

}  // namespace

std::string SanitizeUserName(std::string_view text) { return Filter(text, kNameTable); }

std::string SanitizePassword(std::string_view text) { return Filter(text, kPasswordTable); }

std::string FormatMacText(const std::string& text, int* caret) {
  const std::string source = UpperCase(Trim(text)).substr(0, kMaxMacChars);
  const int typedTo = caret != nullptr ? *caret : 0;
  std::string result;
  int digits = 0;
  int groups = 0;
  for (std::size_t i = 0; i < source.size(); ++i) {
    const char c = source[i];
    if (digits == 2) {
      if (groups == kMacPairs - 1) break;
      digits = 0;
      result += ':';
      ++groups;
      if (caret != nullptr && IsMacDigit(c) && static_cast<int>(i) < typedTo) ++*caret;
    }
    if (IsMacDigit(c)) {
      result += c;
      ++digits;
    }
  }
  return result;
}

std::string NormalizeMac(const std::string& text) {
  std::array<unsigned, kMacPairs> parts{};
  // Reading stops at the first text that does not fit; the parts not read stay 0.
  std::sscanf(text.c_str(), "%X:%X:%X:%X:%X:%X", &parts[0], &parts[1], &parts[2], &parts[3], &parts[4], &parts[5]);
  char result[64];
  std::snprintf(result, sizeof result, "%02X:%02X:%02X:%02X:%02X:%02X", parts[0], parts[1], parts[2], parts[3],
                parts[4], parts[5]);
  return result;
}
