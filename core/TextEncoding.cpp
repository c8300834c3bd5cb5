#include "core/TextEncoding.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "core/TextEncodingTables.h"
#include "platform/win/CodePage.h"

namespace {

bool IsTableCodePage(int cp) { return cp >= 1250 && cp <= 1253; }

char16_t TableToUnicode(int cp, unsigned char b) {
  switch (cp) {
    case 1250: return Cp1250ToUnicode(b);
    case 1251: return Cp1251ToUnicode(b);
    case 1253: return Cp1253ToUnicode(b);
    default: return Cp1252ToUnicode(b);
  }
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// UTF-16 to UTF-8; a surrogate without its partner becomes U+FFFD.
std::string Utf16ToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size() * 2);
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = 0xFFFD;
    }
    AppendUtf8(out, c);
  }
  return out;
}

std::string TableToUtf8(int cp, std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 2);
  // Runs of ASCII bytes (most of every generated file) are copied whole.
  std::size_t run = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    // Eight bytes at a time while none has its high bit set.
    while (i + sizeof(std::uint64_t) <= text.size()) {
      std::uint64_t word;
      std::memcpy(&word, text.data() + i, sizeof word);
      if ((word & 0x8080808080808080ULL) != 0) break;
      i += sizeof word;
    }
    if (i == text.size()) break;
    const auto b = static_cast<unsigned char>(text[i]);
    if (b < 0x80) continue;
    out.append(text.data() + run, i - run);
    AppendUtf8(out, TableToUnicode(cp, b));
    run = i + 1;
  }
  out.append(text.data() + run, text.size() - run);
  return out;
}

}  // namespace

char16_t Cp1250ToUnicode(unsigned char aByte) { return aByte < 0x80 ? aByte : kCp1250Upper[aByte - 0x80]; }
char16_t Cp1251ToUnicode(unsigned char aByte) { return aByte < 0x80 ? aByte : kCp1251Upper[aByte - 0x80]; }
char16_t Cp1252ToUnicode(unsigned char aByte) {
  if (aByte >= 0x80 && aByte < 0xA0) return kCp1252Low[aByte - 0x80];
  return aByte;
}
char16_t Cp1253ToUnicode(unsigned char aByte) { return aByte < 0x80 ? aByte : kCp1253Upper[aByte - 0x80]; }

void AnsiToUnicodeByTable(int aCodePage, const char* aText, char16_t* aOutput) {
  std::size_t i = 0;
  for (; aText[i] != '\0'; ++i) aOutput[i] = TableToUnicode(aCodePage, static_cast<unsigned char>(aText[i]));
  aOutput[i] = 0;
}

bool AnsiIsUtf8(std::string_view aText, int aCodePage) {
  const int cp = aCodePage == 0 ? static_cast<int>(GetACP()) : aCodePage;
  if (!IsTableCodePage(cp)) return false;
  // The compile asks this of every page's stylesheet (tens of kilobytes with
  // the menu): 32 bytes a step, their bits gathered, the high bits looked at once.
  std::size_t i = 0;
#if defined(__SSE2__)
  __m128i wide = _mm_setzero_si128();
  for (; i + 32 <= aText.size(); i += 32) {
    const __m128i first = _mm_loadu_si128(reinterpret_cast<const __m128i*>(aText.data() + i));
    const __m128i second = _mm_loadu_si128(reinterpret_cast<const __m128i*>(aText.data() + i + 16));
    wide = _mm_or_si128(wide, _mm_or_si128(first, second));
  }
  if (_mm_movemask_epi8(wide) != 0) return false;
#endif
  std::uint64_t high = 0;
  for (; i + sizeof(std::uint64_t) <= aText.size(); i += sizeof(std::uint64_t)) {
    std::uint64_t word;
    std::memcpy(&word, aText.data() + i, sizeof word);
    high |= word;
  }
  for (; i < aText.size(); ++i) high |= static_cast<unsigned char>(aText[i]);
  return (high & 0x8080808080808080ULL) == 0;
}

std::string AnsiToUtf8(std::string_view aText, int aCodePage) {
  int cp = aCodePage == 0 ? static_cast<int>(GetACP()) : aCodePage;
  if (IsTableCodePage(cp)) return TableToUtf8(cp, aText);
  if (aText.empty()) return std::string();
  std::u16string wide = MultiByteToWide(static_cast<UINT>(cp), aText);
  if (wide.empty()) {
    // A code page the platform does not know: convert as the machine would.
    UINT acp = GetACP();
    if (IsTableCodePage(static_cast<int>(acp))) return TableToUtf8(static_cast<int>(acp), aText);
    wide = MultiByteToWide(CP_ACP, aText);
  }
  return Utf16ToUtf8(wide);
}

std::string_view HtmlEntityOf(char aByte, bool referenceFollows) {
  switch (aByte) {
    case '<': return "&lt;";
    case '>': return "&gt;";
    case '"': return "&quot;";
    case '&': return referenceFollows ? std::string_view() : "&amp;";
    default: return {};
  }
}

void AppendHtmlEntities(std::string& aOut, std::string_view aText) {
  const char* p = aText.data();
  const char* end = p + aText.size();
  const char* run = p;
  for (; p < end; ++p) {
    const std::string_view entity = HtmlEntityOf(*p, p + 1 < end && p[1] == '#');
    if (entity.empty()) continue;
    aOut.append(run, static_cast<std::size_t>(p - run));
    aOut.append(entity);
    run = p + 1;
  }
  aOut.append(run, static_cast<std::size_t>(end - run));
}

std::string EncodeHtmlEntities(std::string_view aText) {
  std::string out;
  out.reserve(aText.size());
  AppendHtmlEntities(out, aText);
  return out;
}

std::string DecodeHtmlEntities(std::string_view aText) {
  struct Entity {
    std::string_view name;  // after the '&'
    char ch;
  };
  static constexpr Entity kEntities[] = {{"amp;", '&'}, {"gt;", '>'}, {"lt;", '<'}, {"nbsp;", '\xA0'}, {"quot;", '"'}};
  std::string out;
  out.reserve(aText.size());
  std::size_t i = 0;
  while (i < aText.size()) {
    std::size_t amp = aText.find('&', i);
    if (amp == std::string_view::npos) break;
    out.append(aText, i, amp - i);
    std::string_view rest = aText.substr(amp + 1);
    i = amp + 1;
    char produced = '&';
    for (const Entity& e : kEntities) {
      if (rest.substr(0, e.name.size()) == e.name) {
        produced = e.ch;
        i += e.name.size();
        break;
      }
    }
    out += produced;
  }
  if (i < aText.size()) out.append(aText, i, std::string_view::npos);
  return out;
}

std::string EscapeJsString(std::string_view aText) {
  std::string out;
  out.reserve(aText.size() + 8);
  for (char c : aText) {
    if (c == '\'' || c == '\\') out += '\\';
    out += c;
  }
  return out;
}

std::size_t CountLineFeeds(std::string_view aText) {
  return static_cast<std::size_t>(std::count(aText.begin(), aText.end(), '\n'));
}
