#include "generator/ProjectSettings.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>
#include <limits>

#include "platform/vcl/SysUtils.h"

namespace {

// How one attribute's text becomes its setting.
enum class TAttrRule {
  SetWhenFalse,    // flag := text is "false"
  SetWhenTrue,     // flag := text is "true"
  SetWhenNonZero,  // flag := the integer is not 0 (unreadable counts as 0)
  IntOrFallback,   // integer; unreadable gives the row's fallback
  IntOrKeep,       // integer; unreadable keeps the current value
  Encoding,        // the text, and its code page
};

struct TAttrRow {
  std::string_view name;
  TAttrRule rule;
  bool TProjectSettings::*flag;
  int TProjectSettings::*number;
  int fallback;
};

constexpr int kWhite = 16777215;
constexpr int kUnreadableDisplayMode = 1;
constexpr int kDefaultScale = 100;
constexpr int kDefaultMargin = 8;

using S = TProjectSettings;
const std::array<TAttrRow, 20> kWebAttributes = {{
    {"border", TAttrRule::SetWhenFalse, &S::borderOff, nullptr, 0},
    {"bgcolor", TAttrRule::IntOrFallback, nullptr, &S::bgColor, kWhite},
    {"bgdupl", TAttrRule::SetWhenFalse, &S::background, nullptr, 0},
    {"dwMode", TAttrRule::IntOrFallback, nullptr, &S::displayMode, kUnreadableDisplayMode},
    {"encoding", TAttrRule::Encoding, nullptr, &S::codePage, 0},
    {"fullscreen", TAttrRule::SetWhenTrue, &S::fullScreen, nullptr, 0},
    {"height", TAttrRule::IntOrKeep, nullptr, &S::pageHeight, 0},
    {"width", TAttrRule::IntOrKeep, nullptr, &S::pageWidth, 0},
    {"pavoa", TAttrRule::SetWhenNonZero, &S::operatorPanels, nullptr, 0},
    {"iniScale", TAttrRule::IntOrFallback, nullptr, &S::iniScale, kDefaultScale},
    {"maxScale", TAttrRule::IntOrFallback, nullptr, &S::maxScale, kDefaultScale},
    {"useIniScale", TAttrRule::SetWhenTrue, &S::useIniScale, nullptr, 0},
    {"useMaxScale", TAttrRule::SetWhenTrue, &S::useMaxScale, nullptr, 0},
    {"userScale", TAttrRule::SetWhenTrue, &S::userScale, nullptr, 0},
    {"left", TAttrRule::IntOrFallback, nullptr, &S::leftMargin, kDefaultMargin},
    {"top", TAttrRule::IntOrFallback, nullptr, &S::topMargin, kDefaultMargin},
    {"menu", TAttrRule::SetWhenFalse, &S::menuOff, nullptr, 0},
    {"title", TAttrRule::SetWhenFalse, &S::titleOff, nullptr, 0},
    {"propfont", TAttrRule::SetWhenTrue, &S::propFont, nullptr, 0},
    {"webApp", TAttrRule::SetWhenTrue, &S::webApp, nullptr, 0},
}};

// scanf's "%u": blanks, an optional '+', decimal digits (at least one); the
// value saturates instead of wrapping. Advances `pos` past what it read.
bool ScanUnsigned(std::string_view text, std::size_t& pos, std::uint64_t& out) {
  constexpr std::uint64_t kSaturated = std::numeric_limits<std::uint32_t>::max();
  while (pos < text.size() && std::isspace(static_cast<unsigned char>(text[pos]))) ++pos;
  if (pos < text.size() && text[pos] == '+') ++pos;
  std::size_t digits = 0;
  std::uint64_t value = 0;
  for (; pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; ++pos, ++digits)
    value = std::min(kSaturated, value * 10 + static_cast<std::uint64_t>(text[pos] - '0'));
  out = value;
  return digits > 0;
}

}  // namespace

bool ApplyWebAttribute(TProjectSettings& settings, std::string_view name, std::string_view value) {
  for (const TAttrRow& row : kWebAttributes) {
    if (row.name != name) continue;
    switch (row.rule) {
      case TAttrRule::SetWhenFalse: settings.*row.flag = value == "false"; break;
      case TAttrRule::SetWhenTrue: settings.*row.flag = value == "true"; break;
      case TAttrRule::SetWhenNonZero: settings.*row.flag = StrToIntDef(value, 0) != 0; break;
      case TAttrRule::IntOrFallback: settings.*row.number = StrToIntDef(value, row.fallback); break;
      case TAttrRule::IntOrKeep: settings.*row.number = StrToIntDef(value, settings.*row.number); break;
      case TAttrRule::Encoding:
        settings.encoding.assign(value);
        settings.codePage = CodePageOfEncoding(value);
        break;
    }
    return true;
  }
  return false;
}

int CodePageOfEncoding(std::string_view encoding) {
  // A Windows name carries its number after "windows-", any other after its
  // first four characters ("UTF-8" gives 8).
  constexpr std::size_t kWindowsNumberAt = 8;
  constexpr std::size_t kOtherNumberAt = 4;
  const bool windows = !encoding.empty() && (encoding[0] == 'W' || encoding[0] == 'w');
  std::size_t pos = windows ? kWindowsNumberAt : kOtherNumberAt;
  constexpr std::uint64_t kLargest = std::numeric_limits<int>::max();
  std::uint64_t number = 0;
  for (; pos < encoding.size() && encoding[pos] >= '0' && encoding[pos] <= '9'; ++pos)
    number = std::min(kLargest + 1, number * 10 + static_cast<std::uint64_t>(encoding[pos] - '0'));
  // A number past the integer range names no code page: the machine's is used.
  return number > kLargest ? kCodePageMachineAnsi : static_cast<int>(number);
}

int ParseFormatVersion(std::string_view text) {
  constexpr std::uint64_t kMajorFactor = 1000;
  constexpr std::uint64_t kMinorModulus = 100;
  std::size_t pos = 0;
  std::uint64_t major = 0;
  std::uint64_t minor = 0;
  if (!ScanUnsigned(text, pos, major) || pos >= text.size() || text[pos] != '.') return kFormatCodeUnreadable;
  ++pos;
  if (!ScanUnsigned(text, pos, minor)) return kFormatCodeUnreadable;
  const std::uint64_t code = major * kMajorFactor + minor % kMinorModulus;
  return static_cast<int>(std::min<std::uint64_t>(code, std::numeric_limits<int>::max()));
}

std::string FormatVersionText(int formatCode) {
  constexpr int kMajorFactor = 1000;
  const unsigned code = formatCode < 0 ? 0u : static_cast<unsigned>(formatCode);
  return std::to_string(code / kMajorFactor) + "." + std::to_string(code % kMajorFactor);
}
