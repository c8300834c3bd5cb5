#include "project/PageNameTemplate.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>

#include "platform/vcl/SysUtils.h"

namespace {

constexpr std::size_t kMaxNameLength = 8;
constexpr int kByteMax = 255;

std::string TrimBlanks(const std::string& text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// The whole text as an integer; 0 when it is none.
std::int64_t ParameterValue(const std::string& text) {
  std::int64_t value = 0;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  return error == std::errc() && stop == end ? value : 0;
}

bool IsBlank(char c) { return c > 0 && c <= ' '; }

// The item's integer; 0 when it is none.
std::int64_t ItemInteger(const std::vector<std::string>& items, std::size_t index) {
  return index < items.size() ? StrToIntDef(TrimBlanks(items[index]), 0) : 0;
}

std::int64_t ByteOf(std::int64_t value) { return std::clamp<std::int64_t>(value, 0, kByteMax); }

// A leading '-' and the digits that follow, stopping at the first other
// character; 0 when no digit follows.
std::int64_t LeadingInteger(const std::string& text, std::size_t at) {
  bool negative = false;
  if (at < text.size() && text[at] == '-') {
    negative = true;
    ++at;
  }
  std::int64_t value = 0;
  for (; at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])) != 0; ++at)
    value = std::min<std::int64_t>(value * 10 + (text[at] - '0'), INT32_MAX);
  return negative ? -value : value;
}

// The k characters of s from the 1-based position i (below 1 counts as 1),
// cut at the end; empty when i lies beyond the end or k <= 0.
std::string Copy(const std::string& s, std::int64_t i, std::int64_t k) {
  i = std::max<std::int64_t>(i, 1);
  const auto length = static_cast<std::int64_t>(s.size());
  if (k <= 0 || i > length) return {};
  return s.substr(static_cast<std::size_t>(i - 1), static_cast<std::size_t>(std::min(k, length - i + 1)));
}

}  // namespace

int SkipBlanks(const std::string& text, std::size_t at, char& found) {
  int skipped = 0;
  while (at < text.size() && text[at] == ' ') {
    ++at;
    ++skipped;
  }
  found = at < text.size() ? text[at] : '\0';
  return skipped + 1;
}

std::vector<std::string> SplitCommaText(const std::string& text) {
  std::vector<std::string> items;
  std::size_t at = 0;
  const auto skipBlanks = [&] {
    while (at < text.size() && IsBlank(text[at])) ++at;
  };
  skipBlanks();
  while (at < text.size()) {
    std::string item;
    if (text[at] == '"') {
      for (++at; at < text.size(); ++at) {
        if (text[at] != '"') {
          item += text[at];
        } else if (at + 1 < text.size() && text[at + 1] == '"') {
          item += '"';
          ++at;
        } else {
          ++at;
          break;
        }
      }
    } else {
      const std::size_t start = at;
      while (at < text.size() && !IsBlank(text[at]) && text[at] != ',') ++at;
      item = text.substr(start, at - start);
    }
    items.push_back(item);
    skipBlanks();
    if (at < text.size() && text[at] == ',') {
      if (at + 1 == text.size()) items.emplace_back();
      ++at;
      skipBlanks();
    }
  }
  return items;
}

void UnpackPair(std::int64_t packed, std::int64_t& high, std::int64_t& low) {
  high = packed >= 0 ? packed / 256 : -((-packed + 255) / 256);
  low = packed - high * 256;
}

void TPageNameTemplate::Compile(const std::string& text) {
  operations_.clear();
  std::string rest = text;
  for (std::size_t open = rest.find('['); open != std::string::npos; open = rest.find('[')) {
    if (open > 0) operations_.push_back({kLiteral, TrimBlanks(rest.substr(0, open))});
    const std::size_t close = rest.find(']');
    if (close == std::string::npos || close < open) {
      // Not a token: the text from the '[' on is literal.
      rest.erase(0, open);
      break;
    }
    CompileToken(rest, open, close);
    rest.erase(0, close + 1);
  }
  if (!rest.empty()) operations_.push_back({kLiteral, TrimBlanks(rest)});
}

void TPageNameTemplate::CompileToken(const std::string& text, std::size_t open, std::size_t close) {
  char letter = '\0';
  const std::size_t letterAt = open + SkipBlanks(text, open + 1, letter);
  const std::string inside = text.substr(open, close - open);
  if (letter == 'n') {
    char next = '\0';
    const std::size_t nextAt = letterAt + SkipBlanks(text, letterAt + 1, next);
    if (next == ']') {
      operations_.push_back({kName, ""});
    } else if (next == ',') {
      const std::vector<std::string> items = SplitCommaText(inside);
      if (items.size() == 2) {
        operations_.push_back({kNameCut, TrimBlanks(items[1])});
      } else if (items.size() == 3) {
        const std::int64_t x = ItemInteger(items, 1);
        operations_.push_back({kNamePart, std::to_string(x * 256 + ByteOf(ItemInteger(items, 2)))});
      }
    } else if (next == '-' || std::isdigit(static_cast<unsigned char>(next)) != 0) {
      operations_.push_back({kNameEnds, std::to_string(LeadingInteger(text, nextAt))});
    }
  } else if (letter == 'c') {
    const std::vector<std::string> items = SplitCommaText(inside);
    counter_ = static_cast<int>(ByteOf(ItemInteger(items, 1)));
    const std::int64_t width = ByteOf(ItemInteger(items, 2));
    const std::int64_t step = ByteOf(ItemInteger(items, 3));
    operations_.push_back({kCounter, std::to_string(width * 256 + step)});
  }
}

std::string TPageNameTemplate::Evaluate(const std::string& oldName) {
  const std::string& s = oldName;
  const auto length = static_cast<std::int64_t>(s.size());
  std::string result;
  std::int64_t step = 1;
  for (const TOperation& op : operations_) {
    const std::int64_t value = ParameterValue(op.parameter);
    switch (op.code) {
      case kLiteral: result += op.parameter; break;
      case kName: result += s; break;
      case kNameEnds:
        if (value >= 0)
          result += Copy(s, 1, value);
        else
          result += length > -value ? Copy(s, length + value + 1, -value) : s;
        break;
      case kNameCut: result += value >= 0 ? Copy(s, value + 1, length - value) : Copy(s, 1, length + value); break;
      case kNamePart: {
        std::int64_t x = 0;
        std::int64_t y = 0;
        UnpackPair(value, x, y);
        result += x >= 0 ? Copy(s, x, y) : Copy(s, length + x + 1, y);
        break;
      }
      case kCounter: {
        std::int64_t width = 0;
        UnpackPair(value, width, step);
        char digits[300];
        std::snprintf(digits, sizeof digits, "%0*d", static_cast<int>(width), counter_);
        result += digits;
        break;
      }
    }
  }
  counter_ += step == 0 ? 1 : static_cast<int>(step);
  for (char& c : result) {
    const auto u = static_cast<unsigned char>(c);
    const bool kept = (u < 0x80 && std::isalnum(u) != 0) || c == '_' || c == '-';
    c = kept ? static_cast<char>(std::toupper(u)) : '_';
  }
  return result.substr(0, std::min(result.size(), kMaxNameLength));
}
