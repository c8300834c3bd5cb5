#include "host/sim/PresetValue.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <optional>
#include <string_view>

#include "core/IecLiterals.h"
#include "core/IecTypes.h"
#include "platform/vcl/SysUtils.h"

namespace {

enum class Encoding { Bool, Unsigned, Signed, Real, Time, TimeOfDay, Date, DateAndTime };

struct TypeEncoding {
  int code;
  Encoding encoding;
};

// How each elementary type's value is written; sizes come from the shape.
constexpr TypeEncoding kTypeEncodings[] = {
    {IecBool, Encoding::Bool},
    {IecBoolREdge, Encoding::Bool},
    {IecBoolFEdge, Encoding::Bool},
    {IecByte, Encoding::Unsigned},
    {IecWord, Encoding::Unsigned},
    {IecDword, Encoding::Unsigned},
    {IecLword, Encoding::Unsigned},
    {IecUsint, Encoding::Unsigned},
    {IecUint, Encoding::Unsigned},
    {IecUdint, Encoding::Unsigned},
    {IecUlint, Encoding::Unsigned},
    {IecEnum, Encoding::Unsigned},
    {IecPointer, Encoding::Unsigned},
    {IecSint, Encoding::Signed},
    {IecInt, Encoding::Signed},
    {IecDint, Encoding::Signed},
    {IecLint, Encoding::Signed},
    {IecReal, Encoding::Real},
    {IecLreal, Encoding::Real},
    {IecTime, Encoding::Time},
    {IecTimeOfDay, Encoding::TimeOfDay},
    {IecDate, Encoding::Date},
    {IecDateAndTime, Encoding::DateAndTime},
};

struct TimeUnit {
  const char* suffix;  // lower case
  std::int64_t milliseconds;
  int rank;  // a duration names its units by rising rank, each once
};

// "ms" stands before "m" so that the longer suffix is tried first.
constexpr TimeUnit kTimeUnits[] = {
    {"d", 86400000, 0}, {"h", 3600000, 1}, {"ms", 1, 4}, {"m", 60000, 2}, {"s", 1000, 3},
};

constexpr unsigned kBitsPerByte = 8;
constexpr std::size_t kMaxIntegerDigits = 20;
constexpr unsigned char kLastAscii = 0x7F;

[[noreturn]] void Fail(const std::string& text) { throw HostProjectError(text); }

[[noreturn]] void BadForm(const PlcTypeShape& shape, const std::string& text) {
  Fail("bad value \"" + text + "\" for " + shape.hostTypeName);
}

std::vector<std::uint8_t> LittleEndian(std::uint64_t bits, std::uint32_t size) {
  std::vector<std::uint8_t> out(size);
  for (std::uint32_t i = 0; i < size; ++i) out[i] = static_cast<std::uint8_t>(bits >> (kBitsPerByte * i));
  return out;
}

// A decimal or 0x hexadecimal integer with an optional '-'; none for any
// other form or a magnitude beyond 64 bits.
std::optional<std::pair<bool, std::uint64_t>> ParseInteger(const std::string& text) {
  const bool negative = !text.empty() && text[0] == '-';
  std::size_t at = negative ? 1 : 0;
  int base = 10;
  if (text.size() > at + 2 && text[at] == '0' && (text[at + 1] == 'x' || text[at + 1] == 'X')) {
    base = 16;
    at += 2;
  }
  if (at == text.size() || text.size() - at > kMaxIntegerDigits || text[at] == '-' || text[at] == '+')
    return std::nullopt;
  std::uint64_t magnitude = 0;
  const char* end = text.data() + text.size();
  auto [stop, error] = std::from_chars(text.data() + at, end, magnitude, base);
  if (error != std::errc() || stop != end) return std::nullopt;
  return std::make_pair(negative, magnitude);
}

std::vector<std::uint8_t> UnsignedValue(const PlcTypeShape& shape, const std::string& text) {
  auto number = ParseInteger(text);
  if (!number) BadForm(shape, text);
  const std::uint64_t max = shape.size >= sizeof(std::uint64_t) ? std::numeric_limits<std::uint64_t>::max()
                                                                : (std::uint64_t{1} << (kBitsPerByte * shape.size)) - 1;
  if ((number->first && number->second != 0) || number->second > max)
    Fail("value " + text + " is out of range for " + shape.hostTypeName + " (0.." + std::to_string(max) + ")");
  return LittleEndian(number->second, shape.size);
}

std::vector<std::uint8_t> SignedValue(const PlcTypeShape& shape, const std::string& text) {
  auto number = ParseInteger(text);
  if (!number) BadForm(shape, text);
  const std::uint64_t maxPositive = (std::uint64_t{1} << (kBitsPerByte * shape.size - 1)) - 1;
  const std::uint64_t limit = number->first ? maxPositive + 1 : maxPositive;
  if (number->second > limit)
    Fail("value " + text + " is out of range for " + shape.hostTypeName + " (-" + std::to_string(maxPositive + 1) +
         ".." + std::to_string(maxPositive) + ")");
  const std::uint64_t bits = number->first ? ~number->second + 1 : number->second;
  return LittleEndian(bits, shape.size);
}

std::vector<std::uint8_t> BoolValue(const PlcTypeShape& shape, const std::string& text) {
  const std::string upper = UpperCase(text);
  if (upper == "1" || upper == "TRUE") return {1};
  if (upper == "0" || upper == "FALSE") return {0};
  BadForm(shape, text);
}

std::vector<std::uint8_t> RealValue(const PlcTypeShape& shape, const std::string& text) {
  double value = 0;
  const char* end = text.data() + text.size();
  auto [stop, error] = std::from_chars(text.data(), end, value);
  if (text.empty() || error == std::errc::invalid_argument || stop != end || std::isnan(value)) BadForm(shape, text);
  const bool single = shape.size == sizeof(float);
  const double max = single ? std::numeric_limits<float>::max() : std::numeric_limits<double>::max();
  if (error == std::errc::result_out_of_range || std::isinf(value) || std::fabs(value) > max)
    Fail("value " + text + " is out of range for " + shape.hostTypeName);
  if (single) {
    std::uint32_t bits = 0;
    const float narrow = static_cast<float>(value);
    std::memcpy(&bits, &narrow, sizeof bits);
    return LittleEndian(bits, shape.size);
  }
  std::uint64_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  return LittleEndian(bits, shape.size);
}

// The milliseconds of a duration with units ("4h", "1h30m", "2s500ms");
// none for any other form.
std::optional<std::int64_t> DurationWithUnits(const std::string& body) {
  std::int64_t total = 0;
  int lastRank = -1;
  std::size_t at = 0;
  while (at < body.size()) {
    std::uint32_t count = 0;
    auto [stop, error] = std::from_chars(body.data() + at, body.data() + body.size(), count);
    if (error != std::errc()) return std::nullopt;
    at = static_cast<std::size_t>(stop - body.data());
    const TimeUnit* unit = nullptr;
    for (const TimeUnit& candidate : kTimeUnits) {
      const std::size_t length = std::strlen(candidate.suffix);
      if (!unit && LowerCase(body.substr(at, length)) == candidate.suffix) {
        unit = &candidate;
        at += length;
      }
    }
    if (!unit || unit->rank <= lastRank) return std::nullopt;
    lastRank = unit->rank;
    total += std::int64_t{count} * unit->milliseconds;
  }
  if (lastRank < 0) return std::nullopt;
  return total;
}

std::vector<std::uint8_t> TimeValue(const PlcTypeShape& shape, const std::string& text) {
  const std::string upper = UpperCase(text);
  std::int64_t milliseconds = 0;
  std::size_t prefix = 0;
  for (std::string_view literal : {std::string_view("TIME#"), std::string_view("T#")})
    if (prefix == 0 && upper.rfind(literal, 0) == 0) prefix = literal.size();
  if (prefix == 0 && ParseInteger(text)) return SignedValue(shape, text);
  if (prefix > 0 && text.find(':') != std::string::npos) {
    std::int32_t value = 0;
    if (!ParseTimeLiteral(text.c_str(), value)) BadForm(shape, text);
    milliseconds = value;
  } else {
    const bool negative = prefix < text.size() && text[prefix] == '-';
    auto duration = DurationWithUnits(text.substr(prefix + (negative ? 1 : 0)));
    if (!duration) BadForm(shape, text);
    milliseconds = negative ? -*duration : *duration;
  }
  if (milliseconds < std::numeric_limits<std::int32_t>::min() ||
      milliseconds > std::numeric_limits<std::int32_t>::max())
    Fail("value " + text + " is out of range for " + shape.hostTypeName);
  return LittleEndian(static_cast<std::uint32_t>(static_cast<std::int32_t>(milliseconds)), shape.size);
}

std::vector<std::uint8_t> TimeOfDayValue(const PlcTypeShape& shape, const std::string& text) {
  if (text.find('#') == std::string::npos) return SignedValue(shape, text);
  std::int32_t value = 0;
  if (UpperCase(text).rfind("TOD#", 0) != 0 && UpperCase(text).rfind("TIME_OF_DAY#", 0) != 0) BadForm(shape, text);
  if (!ParseTodLiteral(text.c_str(), value)) BadForm(shape, text);
  return LittleEndian(static_cast<std::uint32_t>(value), shape.size);
}

// DATE and DT hold seconds since 1970 as an LREAL; the literal names its type.
std::vector<std::uint8_t> DateValue(const PlcTypeShape& shape, const std::string& text, bool withTime) {
  const std::string upper = UpperCase(text);
  const bool prefixed = withTime ? upper.rfind("DT#", 0) == 0 || upper.rfind("DATE_AND_TIME#", 0) == 0
                                 : upper.rfind("D#", 0) == 0 || upper.rfind("DATE#", 0) == 0;
  double seconds = 0;
  if (!prefixed || !(withTime ? ParseDtLiteral(text.c_str(), seconds) : ParseDateLiteral(text.c_str(), seconds)))
    BadForm(shape, text);
  std::uint64_t bits = 0;
  std::memcpy(&bits, &seconds, sizeof bits);
  return LittleEndian(bits, shape.size);
}

// "(OFF,MANUAL,AUTO)": a name of the list (any case) or its number.
std::vector<std::uint8_t> EnumerationValue(const PlcTypeShape& shape, const std::string& text) {
  const std::string list = shape.furtherText.substr(1, shape.furtherText.size() - 2);
  std::vector<std::string> names;
  for (std::size_t start = 0;;) {
    const std::size_t comma = list.find(',', start);
    names.push_back(Trim(list.substr(start, comma - start)));
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  for (std::size_t i = 0; i < names.size(); ++i)
    if (SameText(names[i], text)) return LittleEndian(i, shape.size);
  auto number = ParseInteger(text);
  if (!number) Fail("\"" + text + "\" is not a value of " + shape.furtherText);
  if (number->first || number->second >= names.size())
    Fail("value " + text + " is out of range for " + shape.furtherText + " (0.." + std::to_string(names.size() - 1) +
         ")");
  return LittleEndian(number->second, shape.size);
}

std::vector<std::uint8_t> StringValue(const PlcTypeShape& shape, const std::string& text) {
  const bool wide = shape.code == IecWstring;
  const std::size_t unit = wide ? 2 : 1;
  const std::size_t length = shape.size / unit - 1;
  if (text.size() > length)
    Fail("text of " + std::to_string(text.size()) + " characters is longer than " + shape.hostTypeName);
  std::vector<std::uint8_t> out(shape.size, 0);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (wide && c > kLastAscii) Fail("a " + shape.hostTypeName + " preset takes ASCII characters only");
    out[i * unit] = c;
  }
  return out;
}

// An array of one-byte integers takes its bytes as hexadecimal digits, two a
// byte, blanks allowed between bytes ("C5 01 5D 00"); elements not given stay 0.
bool IsByteArray(const PlcTypeShape& shape) {
  if (shape.kind != PlcTypeShape::Kind::Array || shape.element == nullptr) return false;
  const int code = shape.element->code;
  return shape.element->kind == PlcTypeShape::Kind::Elementary && shape.element->size == 1 &&
         (code == IecByte || code == IecUsint || code == IecSint);
}

std::vector<std::uint8_t> ByteArrayValue(const PlcTypeShape& shape, const std::string& text) {
  std::vector<std::uint8_t> out;
  for (std::size_t at = 0; at < text.size();) {
    if (text[at] == ' ') {
      ++at;
      continue;
    }
    std::uint8_t byte = 0;
    const char* end = text.data() + std::min(text.size(), at + 2);
    auto [stop, error] = std::from_chars(text.data() + at, end, byte, 16);
    if (error != std::errc() || stop != end || end - text.data() != static_cast<std::ptrdiff_t>(at + 2))
      BadForm(shape, text);
    out.push_back(byte);
    at += 2;
  }
  if (out.empty()) BadForm(shape, text);
  if (out.size() > shape.size)
    Fail(std::to_string(out.size()) + " bytes are more than " + shape.furtherText + " holds");
  out.resize(shape.size, 0);
  return out;
}

}  // namespace

std::vector<std::uint8_t> EncodePresetValue(const PlcTypeShape& shape, const std::string& text) {
  if (IsByteArray(shape)) return ByteArrayValue(shape, text);
  switch (shape.kind) {
    case PlcTypeShape::Kind::Array:
    case PlcTypeShape::Kind::Struct:
      Fail("a whole " + std::string(shape.kind == PlcTypeShape::Kind::Array ? "array" : "structure") +
           " takes no preset (give its elements or members)");
    case PlcTypeShape::Kind::String: return StringValue(shape, text);
    case PlcTypeShape::Kind::Elementary: break;
  }
  if (shape.code == IecEnum && !shape.furtherText.empty() && shape.furtherText[0] == '(')
    return EnumerationValue(shape, text);
  for (const TypeEncoding& t : kTypeEncodings) {
    if (t.code != shape.code) continue;
    switch (t.encoding) {
      case Encoding::Bool: return BoolValue(shape, text);
      case Encoding::Unsigned: return UnsignedValue(shape, text);
      case Encoding::Signed: return SignedValue(shape, text);
      case Encoding::Real: return RealValue(shape, text);
      case Encoding::Time: return TimeValue(shape, text);
      case Encoding::TimeOfDay: return TimeOfDayValue(shape, text);
      case Encoding::Date: return DateValue(shape, text, false);
      case Encoding::DateAndTime: return DateValue(shape, text, true);
    }
  }
  Fail("a variable of type " + shape.hostTypeName + " takes no preset");
}
