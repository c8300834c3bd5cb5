#include "core/IecScan.h"

#include <charconv>
#include <string>

namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Skips white space; false when nothing else is left.
bool SkipSpace(const char*& p, const char* end) {
  while (p < end && IsSpace(*p)) ++p;
  return p < end;
}

// The decimal real number at p ([sign] digits [. digits] [e [sign] digits],
// at least one digit before the exponent) without a leading "+"; its end in
// *after. Empty when there is none.
std::string RealToken(const char* p, const char* end, const char** after) {
  std::string token;
  if (p < end && (*p == '+' || *p == '-')) {
    if (*p == '-') token += '-';
    ++p;
  }
  bool digits = false;
  while (p < end && IsDigit(*p)) {
    token += *p++;
    digits = true;
  }
  if (p < end && *p == '.') {
    token += *p++;
    while (p < end && IsDigit(*p)) {
      token += *p++;
      digits = true;
    }
  }
  if (!digits) return {};
  if (p < end && (*p == 'e' || *p == 'E')) {
    const char* q = p + 1;
    std::string exponent = "e";
    if (q < end && (*q == '+' || *q == '-')) exponent += *q++;
    if (q < end && IsDigit(*q)) {
      while (q < end && IsDigit(*q)) exponent += *q++;
      token += exponent;
      p = q;
    }
  }
  *after = p;
  return token;
}

template <typename Real>
int ScanReal(const char*& p, const char* end, Real& value) {
  const char* q = p;
  if (!SkipSpace(q, end)) return -1;
  const char* after = q;
  const std::string token = RealToken(q, end, &after);
  if (token.empty()) return 0;
  Real v{};
  const auto [last, ec] = std::from_chars(token.data(), token.data() + token.size(), v);
  if (ec != std::errc() || last != token.data() + token.size()) return 0;
  value = v;
  p = after;
  return 1;
}

}  // namespace

int IecScanInt(const char*& p, const char* end, int& value) {
  const char* q = p;
  if (!SkipSpace(q, end)) return -1;
  bool negative = false;
  if (*q == '+' || *q == '-') {
    negative = *q == '-';
    ++q;
  }
  if (q >= end || !IsDigit(*q)) return 0;
  std::int64_t v = 0;
  bool overflow = false;
  while (q < end && IsDigit(*q)) {
    if (v <= 2147483648LL) v = v * 10 + (*q - '0');
    if (v > 2147483648LL) overflow = true;
    ++q;
  }
  if (negative) v = -v;
  if (overflow || v > 2147483647LL) return 0;
  value = static_cast<int>(v);
  p = q;
  return 1;
}

int IecScanMillis(const char*& p, const char* end, std::int64_t& ms) {
  const char* q = p;
  if (!SkipSpace(q, end)) return -1;
  const char* after = q;
  const std::string token = RealToken(q, end, &after);
  if (token.empty()) return 0;

  // The number as its digits times ten to the power scale, scaled to thousandths.
  const bool negative = token[0] == '-';
  std::string digits;
  long long scale = 3;
  std::size_t i = negative ? 1 : 0;
  bool fraction = false;
  for (; i < token.size() && token[i] != 'e'; ++i) {
    if (token[i] == '.') {
      fraction = true;
      continue;
    }
    digits += token[i];
    if (fraction) --scale;
  }
  if (i < token.size()) {  // exponent; beyond a few dozen the outcome is the same
    const bool down = token[i + 1] == '-';
    long long exponent = 0;
    for (std::size_t k = i + 1; k < token.size(); ++k)
      if (IsDigit(token[k]) && exponent < 100000) exponent = exponent * 10 + (token[k] - '0');
    scale += down ? -exponent : exponent;
  }
  const std::size_t firstDigit = digits.find_first_not_of('0');
  digits.erase(0, firstDigit == std::string::npos ? digits.size() : firstDigit);
  if (scale < 0) {  // cut off what lies below a millisecond
    const std::size_t drop = static_cast<std::size_t>(-scale);
    digits.resize(drop >= digits.size() ? 0 : digits.size() - drop);
    scale = 0;
  }
  std::int64_t v = 0;
  if (!digits.empty()) {
    if (static_cast<long long>(digits.size()) + scale > 18) return 0;  // out of range
    for (char c : digits) v = v * 10 + (c - '0');
    for (long long k = 0; k < scale; ++k) v *= 10;
  }
  ms = negative ? -v : v;
  p = after;
  return 1;
}

int IecScanDouble(const char*& p, const char* end, double& value) { return ScanReal(p, end, value); }

bool IecScanLiteral(const char*& p, const char* end, char c) {
  if (p >= end || *p != c) return false;
  ++p;
  return true;
}
