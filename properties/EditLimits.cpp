#include "properties/EditLimits.h"

#include <cstdlib>

namespace {

std::string Trimmed(const std::string& text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return std::string();
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool ReadNumber(const std::string& text, double& value) {
  const std::string t = Trimmed(text);
  if (t.empty()) return false;
  char* end = nullptr;
  value = std::strtod(t.c_str(), &end);
  return end != nullptr && *end == '\0';
}

}  // namespace

std::string NormaliseLimitText(const std::string& text, const TLimitFormat&, const TPinVariable&) {
  return Trimmed(text);
}

double LimitSpan(const std::string& high, const std::string& low, const TLimitFormat&, const TPinVariable&) {
  double h = 0, l = 0;
  if (!ReadNumber(high, h) || !ReadNumber(low, l)) return 0;
  return h - l;
}
