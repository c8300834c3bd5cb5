#include "host/sim/web/WebIdentifier.h"

#include <charconv>

namespace {

bool ParseNumber(std::string_view text, int base, std::uint32_t& value) {
  if (text.empty()) return false;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  return error == std::errc() && end == text.data() + text.size();
}

// The position of the '_' that ends the type: the last one outside brackets
// and parentheses, none when the text has no such '_'.
std::size_t TypeEnd(std::string_view text) {
  std::size_t found = std::string_view::npos;
  int depth = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '[' || c == '(') ++depth;
    if ((c == ']' || c == ')') && depth > 0) --depth;
    if (c == '_' && depth == 0) found = i;
  }
  return found;
}

// "<offset>[.<bit>]" of the direct form.
bool ParsePlace(std::string_view place, WebIdentifier& id) {
  const std::size_t dot = place.find('.');
  if (!ParseNumber(place.substr(0, dot), 10, id.offset)) return false;
  if (dot == std::string_view::npos) return true;
  std::uint32_t bit = 0;
  if (!ParseNumber(place.substr(dot + 1), 10, bit) || bit > 7) return false;
  id.bit = static_cast<int>(bit);
  return true;
}

// "<tdi>[.<code>]" of the mapped form.
bool ParseMapPlace(std::string_view place, WebIdentifier& id) {
  const std::size_t dot = place.find('.');
  const std::string_view number = place.substr(0, dot);
  if (number.size() != 8 || !ParseNumber(number, 16, id.tdi)) return false;
  if (dot == std::string_view::npos) return true;
  std::uint32_t code = 0;
  if (place.size() - dot - 1 != 2 || !ParseNumber(place.substr(dot + 1), 16, code)) return false;
  id.code = static_cast<int>(code);
  return true;
}

}  // namespace

std::optional<WebIdentifier> ParseWebIdentifier(std::string_view text) {
  if (text.size() < 4 || text.substr(0, 2) != "__") return std::nullopt;
  text.remove_prefix(2);
  const std::size_t formatStart = TypeEnd(text);
  if (formatStart == std::string_view::npos || formatStart + 1 >= text.size()) return std::nullopt;
  const std::string_view head = text.substr(0, formatStart);
  const std::size_t typeStart = head.find('_');
  if (typeStart == std::string_view::npos || typeStart + 1 >= head.size() || typeStart < 2) return std::nullopt;
  WebIdentifier id;
  id.typeName = std::string(head.substr(typeStart + 1));
  id.format = std::string(text.substr(formatStart + 1));
  const std::string_view place = head.substr(1, typeStart - 1);
  if (head[0] == 'T') {
    id.mapped = true;
    if (!ParseMapPlace(place, id)) return std::nullopt;
    return id;
  }
  const std::optional<PlcArea> area = PlcAreaOfName(std::string_view(&head[0], 1));
  if (!area || *area == PlcArea::T || !ParsePlace(place, id)) return std::nullopt;
  if ((id.bit >= 0) != (id.format == "i")) return std::nullopt;
  id.area = *area;
  return id;
}
