#include "host/sim/web/WebValues.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "core/IecTimeFormat.h"
#include "core/IecTypes.h"
#include "host/sim/PresetValue.h"

namespace {

enum class Kind { Bit, Signed, Unsigned, Real, Time, TimeOfDay, Date, DateAndTime, Text, Bytes, Record };

Kind KindOf(const PlcTypeShape& shape) {
  if (shape.isBit) return Kind::Bit;
  switch (shape.kind) {
    case PlcTypeShape::Kind::String: return Kind::Text;
    case PlcTypeShape::Kind::Array: return Kind::Bytes;
    case PlcTypeShape::Kind::Struct: return Kind::Record;
    case PlcTypeShape::Kind::Elementary: break;
  }
  switch (shape.code) {
    case IecSint:
    case IecInt:
    case IecDint:
    case IecLint: return Kind::Signed;
    case IecReal:
    case IecLreal: return Kind::Real;
    case IecTime: return Kind::Time;
    case IecTimeOfDay: return Kind::TimeOfDay;
    case IecDate: return Kind::Date;
    case IecDateAndTime: return Kind::DateAndTime;
    default: return Kind::Unsigned;
  }
}

// The built-in time format of a kind, used for the plain "s" format.
const char* DefaultTimeFormat(Kind kind) {
  switch (kind) {
    case Kind::Time: return "Th:mm:ss.zzz";
    case Kind::TimeOfDay: return "Thh:mm:ss.zzz";
    case Kind::Date: return "TYYYY-MM-DD";
    default: return "TYYYY-MM-DD-hh:mm:ss.zzz";
  }
}

std::uint64_t LittleEndian(const std::vector<std::uint8_t>& bytes, std::size_t count) {
  std::uint64_t value = 0;
  for (std::size_t i = 0; i < count && i < bytes.size() && i < 8; ++i) value |= std::uint64_t{bytes[i]} << (8 * i);
  return value;
}

std::int64_t SignExtended(std::uint64_t value, std::size_t size) {
  if (size >= 8) return static_cast<std::int64_t>(value);
  const std::uint64_t sign = std::uint64_t{1} << (8 * size - 1);
  return static_cast<std::int64_t>((value ^ sign) - sign);
}

double RealOf(const std::vector<std::uint8_t>& bytes, std::size_t size) {
  if (size == 4 && bytes.size() >= 4) {
    float value;
    std::memcpy(&value, bytes.data(), 4);
    return value;
  }
  double value = 0;
  if (bytes.size() >= 8) std::memcpy(&value, bytes.data(), 8);
  return value;
}

// The directive of a format: flags, width and precision followed by one of
// the letters d, u, X, f or "lf"; none for anything else.
struct Directive {
  std::string spec;  // without the letter
  char letter = 0;
};

std::optional<Directive> DirectiveOf(const std::string& format) {
  Directive d;
  std::string body = format;
  if (body.size() >= 2 && body.compare(body.size() - 2, 2, "lf") == 0) {
    d.letter = 'f';
    body.resize(body.size() - 2);
  } else if (!body.empty() && std::strchr("duXf", body.back()) != nullptr) {
    d.letter = body.back();
    body.pop_back();
  } else {
    return std::nullopt;
  }
  if (body.size() > 8) return std::nullopt;
  for (char c : body)
    if (!std::isdigit(static_cast<unsigned char>(c)) && c != '-' && c != '.') return std::nullopt;
  d.spec = body;
  return d;
}

std::string Printed(const char* pattern, auto value) {
  char out[128];
  const int n = std::snprintf(out, sizeof out, pattern, value);
  return n < 0 ? std::string() : std::string(out, std::min<std::size_t>(static_cast<std::size_t>(n), sizeof out - 1));
}

std::string FormatNumber(Kind kind, const PlcTypeShape& shape, const std::vector<std::uint8_t>& bytes,
                         const std::string& format) {
  const std::uint64_t raw = LittleEndian(bytes, shape.size);
  const std::optional<Directive> d = DirectiveOf(format);
  if (kind == Kind::Real) {
    const double value = RealOf(bytes, shape.size);
    const std::string spec = d ? d->spec : std::string();
    return Printed(("%" + spec + "f").c_str(), value);
  }
  const std::int64_t value = kind == Kind::Signed ? SignExtended(raw, shape.size) : static_cast<std::int64_t>(raw);
  const char letter = d && d->letter != 'f' ? d->letter : (kind == Kind::Signed ? 'd' : 'u');
  const std::string spec = d ? d->spec : std::string();
  if (letter == 'd') return Printed(("%" + spec + "lld").c_str(), static_cast<long long>(value));
  return Printed(("%" + spec + "ll" + letter).c_str(), static_cast<unsigned long long>(raw));
}

std::string FormatTime(Kind kind, const std::vector<std::uint8_t>& bytes, const std::string& format) {
  const std::string pattern = format.size() > 1 && format[0] == 'T' ? format : DefaultTimeFormat(kind);
  char out[256] = {};
  if (kind == Kind::Time || kind == Kind::TimeOfDay) {
    const auto ms = static_cast<std::int32_t>(LittleEndian(bytes, 4));
    FormatTimeValue(ms, out, pattern.c_str(), 255);
  } else {
    FormatDateTimeValue(RealOf(bytes, 8), out, pattern.c_str(), 255);
  }
  return out;
}

std::string FormatText(const PlcTypeShape& shape, const std::vector<std::uint8_t>& bytes) {
  std::string text;
  const bool wide = shape.code == IecWstring;
  for (std::size_t i = 0; i + (wide ? 1 : 0) < bytes.size(); i += wide ? 2 : 1) {
    const unsigned unit = wide ? bytes[i] | (bytes[i + 1] << 8) : bytes[i];
    if (unit == 0) break;
    text += unit < 0x100 ? static_cast<char>(unit) : '?';
  }
  return text;
}

std::string Trimmed(const std::string& text) {
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && std::isspace(static_cast<unsigned char>(text[begin]))) ++begin;
  while (end > begin && std::isspace(static_cast<unsigned char>(text[end - 1]))) --end;
  return text.substr(begin, end - begin);
}

std::optional<std::vector<std::uint8_t>> Preset(const PlcTypeShape& shape, const std::string& text) {
  try {
    return EncodePresetValue(shape, text);
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

std::vector<std::uint8_t> BytesOf(const void* data, std::size_t size) {
  const auto* p = static_cast<const std::uint8_t*>(data);
  return std::vector<std::uint8_t>(p, p + size);
}

constexpr std::int64_t kMsPerDay = 86400000;

// Whether the time fields read lie within what a shown value can hold: hours
// of a day (a duration's hours are not limited), minutes and seconds 0-59,
// milliseconds 0-999. Out-of-range fields would otherwise roll over into
// another value ("99:99:99" stored as 100:40:39).
bool TimeFieldsInRange(Kind kind, const std::tm& p) {
  if (p.tm_hour < 0 || (kind != Kind::Time && p.tm_hour > 23)) return false;
  return p.tm_min >= 0 && p.tm_min <= 59 && p.tm_sec >= 0 && p.tm_sec <= 59 && p.tm_isdst >= 0 && p.tm_isdst <= 999;
}

// The fields of a text written in a time format (a duration may start with
// "-"): only digits, blanks and the format's separators, every field in range.
std::optional<std::tm> TimeFields(Kind kind, const std::string& text, const std::string& pattern, bool* negative) {
  *negative = kind == Kind::Time && !text.empty() && text[0] == '-';
  const std::string body = text.substr(*negative ? 1 : 0);
  bool digit = false;
  for (char c : body) {
    digit = digit || std::isdigit(static_cast<unsigned char>(c));
    if (!std::isdigit(static_cast<unsigned char>(c)) && c != ' ' &&
        (IsTimeFormatLetter(c) || pattern.find(c, 1) == std::string::npos))
      return std::nullopt;
  }
  std::tm parts{};
  if (!digit || !ParseTimeParts(parts, body.c_str(), pattern.c_str()) || !TimeFieldsInRange(kind, parts))
    return std::nullopt;
  return parts;
}

// Whether seconds since 1970 break down into the date and time typed, so that
// a day or month out of range (rolled over into the next month or year) and a
// date before 1970 or after 2106 (clamped) are found. A literal's year is
// compared by its last two digits, as "D#24-05-01" is 2024.
bool ShowsDate(double seconds, const std::tm& typed, bool literal) {
  const auto whole = static_cast<std::time_t>(seconds);
  std::tm shown{};
  if (gmtime_r(&whole, &shown) == nullptr) return false;
  const bool year = literal ? shown.tm_year % 100 == typed.tm_year % 100 : shown.tm_year == typed.tm_year;
  return year && shown.tm_mon == typed.tm_mon && shown.tm_mday == typed.tm_mday && shown.tm_hour == typed.tm_hour &&
         shown.tm_min == typed.tm_min && shown.tm_sec == typed.tm_sec;
}

// A posted time: an IEC literal (its fields read in the built-in format of
// the type), a plain number of milliseconds, or a text in the identifier's
// time format. Refused when a field is out of range or the value does not fit
// the type.
std::optional<std::vector<std::uint8_t>> EncodeTime(Kind kind, const PlcTypeShape& shape, const std::string& text,
                                                    const std::string& format) {
  bool negative = false;
  std::optional<std::tm> parts;
  std::optional<std::vector<std::uint8_t>> bytes;
  const bool literal = text.find('#') != std::string::npos;
  if (literal) {
    const std::string body = text.substr(text.find('#') + 1);
    const bool units = kind == Kind::Time && body.find(':') == std::string::npos;  // T#1h30m
    parts = TimeFields(kind, body, DefaultTimeFormat(kind), &negative);
    if (units || parts) bytes = Preset(shape, text);
  } else if (!(bytes = Preset(shape, text))) {
    const std::string pattern = format.size() > 1 && format[0] == 'T' ? format : DefaultTimeFormat(kind);
    parts = TimeFields(kind, text, pattern, &negative);
    if (!parts) return std::nullopt;
    if (kind == Kind::Time || kind == Kind::TimeOfDay) {
      const std::int64_t ms =
          (parts->tm_hour * 3600000LL + parts->tm_min * 60000LL + parts->tm_sec * 1000LL + parts->tm_isdst) *
          (negative ? -1 : 1);
      if (ms < INT32_MIN || ms > INT32_MAX) return std::nullopt;
      const auto value = static_cast<std::int32_t>(ms);
      bytes = BytesOf(&value, 4);
    } else {
      const double seconds = ParseDateTimeValue(text.c_str(), pattern.c_str());
      bytes = BytesOf(&seconds, 8);
    }
  }
  if (!bytes) return std::nullopt;
  if (kind == Kind::TimeOfDay) {
    const auto ms = static_cast<std::int32_t>(LittleEndian(*bytes, 4));
    if (ms < 0 || ms >= kMsPerDay) return std::nullopt;
  }
  if ((kind == Kind::Date || kind == Kind::DateAndTime) && !(parts && ShowsDate(RealOf(*bytes, 8), *parts, literal)))
    return std::nullopt;
  return bytes;
}

std::optional<std::vector<std::uint8_t>> EncodeHexBytes(const PlcTypeShape& shape, const std::string& text) {
  if (text.size() % 2 != 0 || text.size() / 2 > shape.size) return std::nullopt;
  std::vector<std::uint8_t> bytes(shape.size, 0);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const int digit =
        std::isxdigit(static_cast<unsigned char>(text[i]))
            ? (std::isdigit(static_cast<unsigned char>(text[i])) ? text[i] - '0' : (std::toupper(text[i]) - 'A' + 10))
            : -1;
    if (digit < 0) return std::nullopt;
    bytes[i / 2] = static_cast<std::uint8_t>(bytes[i / 2] | (digit << (i % 2 == 0 ? 4 : 0)));
  }
  return bytes;
}

}  // namespace

int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string HexOfBytes(const std::uint8_t* bytes, std::size_t count) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string text;
  text.reserve(count * 2);
  for (std::size_t i = 0; i < count; ++i) {
    text += kDigits[bytes[i] >> 4];
    text += kDigits[bytes[i] & 15];
  }
  return text;
}

std::string FormatWebValue(const PlcTypeShape& shape, const std::vector<std::uint8_t>& bytes,
                           const std::string& format) {
  const Kind kind = KindOf(shape);
  switch (kind) {
    case Kind::Bit: return !bytes.empty() && (bytes[0] & 1) ? "1" : "0";
    case Kind::Text: return FormatText(shape, bytes);
    case Kind::Bytes: return HexOfBytes(bytes.data(), bytes.size());
    case Kind::Record: return std::to_string(LittleEndian(bytes, std::min<std::size_t>(4, bytes.size())));
    case Kind::Time:
    case Kind::TimeOfDay:
    case Kind::Date:
    case Kind::DateAndTime: return FormatTime(kind, bytes, format);
    default: return FormatNumber(kind, shape, bytes, format);
  }
}

std::optional<std::vector<std::uint8_t>> EncodeWebValue(const PlcTypeShape& shape, const std::string& posted,
                                                        const std::string& format) {
  const Kind kind = KindOf(shape);
  const std::string text = kind == Kind::Text ? posted : Trimmed(posted);
  switch (kind) {
    case Kind::Bit:
      if (text == "on") return std::vector<std::uint8_t>{1};
      return Preset(shape, text);
    case Kind::Text: return Preset(shape, text);
    case Kind::Bytes: return EncodeHexBytes(shape, text);
    case Kind::Record: return std::nullopt;
    case Kind::Time:
    case Kind::TimeOfDay:
    case Kind::Date:
    case Kind::DateAndTime: return EncodeTime(kind, shape, text, format);
    case Kind::Real: {
      if (text.empty() || text.find_first_of("xX") != std::string::npos) return std::nullopt;
      return Preset(shape, text);
    }
    default: break;
  }
  const std::optional<Directive> d = DirectiveOf(format);
  if (text.empty()) return std::nullopt;
  if (d && d->letter == 'X') {
    std::string digits = text;
    if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) digits.erase(0, 2);
    for (char c : digits)
      if (!std::isxdigit(static_cast<unsigned char>(c))) return std::nullopt;
    return Preset(shape, "0x" + digits);
  }
  if (text.find_first_of("xX") != std::string::npos) return std::nullopt;
  return Preset(shape, text);
}
