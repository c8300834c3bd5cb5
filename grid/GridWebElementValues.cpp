// The value layer of page objects: text typed or chosen in the live view to
// the raw bytes written to the PLC, raw bytes read from the PLC to the text
// shown, limit checks and the two yes/no questions of drawing and clicks.

#include <algorithm>
#include <cctype>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>

#include "core/IecFormatSpec.h"
#include "core/IecLiterals.h"
#include "core/IecTimeEntry.h"
#include "core/IecTimeFormat.h"
#include "core/IecTypes.h"
#include "grid/GridWebElement.h"
#include "platform/vcl/ComboBox.h"
#include "platform/vcl/SysUtils.h"

namespace {

constexpr std::int64_t kSaturate = std::int64_t{1} << 62;

// The effective integer formats (EffectiveIntFormat).
constexpr int kNoIntFormat = 0;
constexpr int kSignedDecimal = 1;
constexpr int kUnsignedDecimal = 2;
constexpr int kHexadecimal = 3;

// Scaled integers carry at most this many decimals (10^18 fits in 64 bits).
constexpr int kMostScaledDecimals = 18;
// Shown widths and decimals are clamped to this many characters.
constexpr int kMostShownWidth = 255;
// A STRING without a declared length holds this many characters, and none
// holds more than kMostStringLength.
constexpr int kDefaultStringLength = 81;
constexpr int kMostStringLength = 240;

// Reads an integer the way scanf's %d, %u and %x start a text: blanks, an
// optional sign, (hexadecimal: an optional "0x"), digits. The magnitude
// saturates, so no input overflows. False when no digit was read.
bool ScanInteger(const char*& p, bool hex, std::int64_t& value) {
  while (*p == ' ' || (*p >= '\t' && *p <= '\r')) ++p;
  bool negative = false;
  if (*p == '+' || *p == '-') negative = *p++ == '-';
  if (hex && p[0] == '0' && (p[1] == 'x' || p[1] == 'X') && std::isxdigit(static_cast<unsigned char>(p[2]))) p += 2;
  const int base = hex ? 16 : 10;
  std::int64_t v = 0;
  bool any = false;
  for (;; ++p) {
    int digit;
    const unsigned char c = static_cast<unsigned char>(*p);
    if (c >= '0' && c <= '9')
      digit = c - '0';
    else if (hex && c >= 'a' && c <= 'f')
      digit = c - 'a' + 10;
    else if (hex && c >= 'A' && c <= 'F')
      digit = c - 'A' + 10;
    else
      break;
    any = true;
    v = v <= (kSaturate - digit) / base ? v * base + digit : kSaturate;
  }
  value = negative ? -v : v;
  return any;
}

std::int64_t Pow10(int p) {
  std::int64_t d = 1;
  for (int i = 0; i < p && d < kSaturate; ++i) d *= 10;
  return d;
}

std::int64_t SaturatingMul(std::int64_t a, std::int64_t b) {
  const __int128 r = static_cast<__int128>(a) * b;
  if (r > kSaturate) return kSaturate;
  if (r < -kSaturate) return -kSaturate;
  return static_cast<std::int64_t>(r);
}

// Width class in bytes of an integer type code; 0 for the others.
int IntegerWidth(int typeCode) {
  switch (typeCode) {
    case IecByte:
    case IecSint:
    case IecUsint:
    case IecEnum: return 1;
    case IecWord:
    case IecInt:
    case IecUint: return 2;
    case IecDword:
    case IecDint:
    case IecUdint: return 4;
    default: return 0;
  }
}

// Bytes that carry a value of a type code (IsValueNonZero, IsShownByVariable);
// a STRING counts by its first character.
int ValueWidth(int typeCode) {
  switch (typeCode) {
    case IecBool:
    case IecBoolREdge:
    case IecBoolFEdge:
    case IecByte:
    case IecSint:
    case IecUsint:
    case IecString:
    case IecEnum: return 1;
    case IecWord:
    case IecInt:
    case IecUint: return 2;
    case IecDword:
    case IecDint:
    case IecUdint:
    case IecReal:
    case IecTime:
    case IecTimeOfDay: return 4;
    case IecLreal:
    case IecDate:
    case IecDateAndTime: return 8;
    default: return 0;
  }
}

// The declared length of a STRING type name ("STRING[20]"): 81 without one.
int DeclaredStringLength(const std::string& typeName) {
  const std::size_t bracket = typeName.find('[');
  if (bracket == std::string::npos) return kDefaultStringLength;
  int n = 0;
  if (std::sscanf(typeName.c_str() + bracket + 1, "%i", &n) != 1) return kDefaultStringLength;
  return n;
}

// The place of a STRING's terminating NUL: its declared length, at most 240
// (and never before the buffer's start).
int StringEnd(const std::string& typeName) { return std::clamp(DeclaredStringLength(typeName), 0, kMostStringLength); }

void StoreLittleEndian(std::uint8_t* target, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) target[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::uint64_t LoadLittleEndian(const std::uint8_t* source, int bytes) {
  std::uint64_t v = 0;
  for (int i = 0; i < bytes; ++i) v |= static_cast<std::uint64_t>(source[i]) << (8 * i);
  return v;
}

const char* TimePrefix(int typeCode) {
  switch (typeCode) {
    case IecTime: return "T#";
    case IecDate: return "D#";
    case IecTimeOfDay: return "TOD#";
    default: return "DT#";
  }
}

// A time-type text as the user types it (in the object's own format when it
// has one) made into the type's literal.
std::string TimeLiteralOf(const std::string& text, const std::string& timeFormat, int typeCode, const void* current) {
  std::string body = text;
  if (!timeFormat.empty()) {
    char out[ApplyTimeFormatOutSize] = {};
    ApplyTimeFormat(text.c_str(), ("%T" + timeFormat).c_str(), typeCode, current, out);
    body = out;
  }
  return TimePrefix(typeCode) + body;
}

// Reads a time literal: milliseconds for TIME and TOD, seconds for DATE and DT.
bool ReadTimeLiteral(const std::string& literal, int typeCode, std::int32_t& ms, double& seconds) {
  switch (typeCode) {
    case IecTime: return ParseTimeLiteral(literal.c_str(), ms);
    case IecTimeOfDay: return ParseTodLiteral(literal.c_str(), ms);
    case IecDate: return ParseDateLiteral(literal.c_str(), seconds);
    default: return ParseDtLiteral(literal.c_str(), seconds);
  }
}

// The whole text read as a decimal integer; 0 when it is not one.
std::int64_t IntegerOrZero(const std::string& text) {
  const char* p = text.c_str();
  std::int64_t v = 0;
  if (!ScanInteger(p, false, v) || *p != '\0') return 0;
  return v;
}

std::string Printf(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Printf(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list copy;
  va_copy(copy, args);
  const int n = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  std::string out;
  if (n > 0) {
    out.resize(static_cast<std::size_t>(n) + 1);
    std::vsnprintf(out.data(), out.size(), format, args);
    out.resize(static_cast<std::size_t>(n));
  }
  va_end(args);
  return out;
}

}  // namespace

namespace {

// The scaled integer of a decimal text with p decimals ("1.5" with p = 2 is
// 150): decimals past p are cut, missing ones count as 0, and the sign of the
// text applies to the decimals too ("-0.5" with p = 1 is -5). False when no
// whole part is read.
bool ReadScaledDecimal(const std::string& text, int p, std::int64_t& value) {
  std::string cut = text;
  int missing = 0;
  const std::size_t dot = text.find('.');
  if (dot != std::string::npos) {
    const long long k = static_cast<long long>(dot) + 1;
    missing = static_cast<int>(k + p - static_cast<long long>(text.size()));
    if (k + p < static_cast<long long>(text.size())) cut = text.substr(0, static_cast<std::size_t>(k + p));
  }
  const char* s = cut.c_str();
  std::int64_t whole = 0, decimals = 0;
  if (!ScanInteger(s, false, whole)) return false;
  bool decimalsRead = false;
  if (*s == '.') {
    ++s;
    decimalsRead = ScanInteger(s, false, decimals);
  }
  if (missing > 0) decimals = SaturatingMul(decimals, Pow10(missing));
  whole = SaturatingMul(whole, Pow10(p));
  value = whole;
  if (decimalsRead) {
    const std::string lead = Trim(text);
    value = !lead.empty() && lead[0] == '-' ? whole - decimals : whole + decimals;
  }
  return true;
}

// A whole decimal number; `scanned` is the text read as a double as well.
bool ReadWholeNumber(const std::string& text, std::int64_t& value, double& scanned) {
  const char* p = text.c_str();
  if (!ScanInteger(p, false, value)) return false;
  char* end = nullptr;
  scanned = std::strtod(text.c_str(), &end);
  return end != text.c_str();
}

// Whether the value (and the double read beside it, when there is one) lies
// in the range of the integer type's width in the format; types without a
// width have no range.
bool WithinIntegerRange(int typeCode, int format, std::int64_t value, const double* scanned) {
  const int width = IntegerWidth(typeCode);
  if (width == 0) return true;
  std::int64_t lo = 0, hi = 0;
  if (format == kSignedDecimal) {
    lo = width == 1 ? INT8_MIN : width == 2 ? INT16_MIN : INT32_MIN;
    hi = width == 1 ? INT8_MAX : width == 2 ? INT16_MAX : INT32_MAX;
  } else {
    hi = width == 1 ? UINT8_MAX : width == 2 ? UINT16_MAX : UINT32_MAX;
  }
  if (value < lo || value > hi) return false;
  return scanned == nullptr || (*scanned >= static_cast<double>(lo) && *scanned <= static_cast<double>(hi));
}

// "true" (any case) or a number 1 stores 1; "false" or anything that reads as
// 0 (text that is no number included) stores 0; other numbers are refused.
bool ParseBoolValue(const std::string& text, std::uint8_t* out) {
  const std::int64_t n = IntegerOrZero(text);
  if (SameText(text, "true") || n == 1)
    out[0] = 1;
  else if (SameText(text, "false") || n == 0)
    out[0] = 0;
  else
    return false;
  return true;
}

// A time-type text (in the object's format when it has one) through the
// type's literal parser: milliseconds for TIME and TOD, seconds for DATE and DT.
bool ParseTimeValue(const std::string& text, const std::string& timeFormat, int type, const void* current,
                    std::uint8_t* out) {
  const std::string literal = TimeLiteralOf(text, timeFormat, type, current);
  std::int32_t ms = 0;
  double seconds = 0;
  if (!ReadTimeLiteral(literal, type, ms, seconds)) return false;
  if (type == IecTime || type == IecTimeOfDay)
    std::memcpy(out, &ms, sizeof ms);
  else
    std::memcpy(out, &seconds, sizeof seconds);
  return true;
}

// At most the declared length (and never past 240) is copied; every byte up
// to the terminating NUL at that place is written.
void StoreString(const std::string& text, const std::string& typeName, std::uint8_t* out) {
  const std::size_t end = static_cast<std::size_t>(StringEnd(typeName));
  const std::size_t copy = std::min(text.size(), end);
  std::memcpy(out, text.data(), copy);
  std::memset(out + copy, 0, end - copy + 1);
}

// A value of -1 < v < 1 whose digits lost the sign gets it back: in place of
// a leading zero of "00.5", else in front of the text, else in place of the
// last blank of the padding.
void RestoreSign(std::string& text) {
  if (text.size() >= 2 && text[0] == '0' && text[1] == '0') {
    text[0] = '-';
  } else if (!text.empty() && text[0] != ' ') {
    text.insert(0, "-");
  } else {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    if (i > 0) text[i - 1] = '-';
  }
}

// The value's bytes of a width as the signed number they hold.
std::int64_t AsSigned(std::int64_t value, int bytes) {
  if (bytes == 1) return static_cast<std::int8_t>(static_cast<std::uint8_t>(value));
  if (bytes == 2) return static_cast<std::int16_t>(static_cast<std::uint16_t>(value));
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}

// A REAL or LREAL in the field's width (a negative size is left-aligned
// unless aligned right), decimals and zero fill.
std::string FormatReal(int type, const std::uint8_t* buffer, int size, int precision, bool zero, bool alignRight) {
  char spec[40] = "%";
  const int width =
      static_cast<int>(std::clamp<long long>(-static_cast<long long>(size), -kMostShownWidth, kMostShownWidth));
  char* end = FormatIntField(spec + 1, type == IecReal ? 'f' : 'l', width,
                             std::clamp(precision, -kMostShownWidth, kMostShownWidth), zero, !alignRight);
  if (type == IecLreal) *end++ = 'f';
  *end = '\0';
  double v;
  if (type == IecReal) {
    float f;
    std::memcpy(&f, buffer, sizeof f);
    v = f;
  } else {
    std::memcpy(&v, buffer, sizeof v);
  }
  char out[1024];
  std::snprintf(out, sizeof out, spec, v);
  return out;
}

// TIME and TOD (milliseconds), DATE and DT (seconds) in the object's time
// format or the type's own.
std::string FormatClockValue(int type, const std::uint8_t* buffer, const std::string& timeFormat) {
  char out[256] = {};
  if (type == IecTime || type == IecTimeOfDay) {
    std::int32_t ms;
    std::memcpy(&ms, buffer, sizeof ms);
    const std::string format = !timeFormat.empty() ? "T" + timeFormat
                               : type == IecTime   ? "Th:mm:ss.zzz"
                                                   : "Thh:mm:ss.zzz";
    FormatTimeValue(ms, out, format.c_str(), sizeof out - 1);
  } else {
    double seconds;
    std::memcpy(&seconds, buffer, sizeof seconds);
    const std::string format = !timeFormat.empty() ? "T" + timeFormat
                               : type == IecDate   ? "TYYYY-MM-DD"
                                                   : "TYYYY-MM-DD-hh:mm:ss.zzz";
    FormatDateTimeValue(seconds, out, format.c_str(), sizeof out - 1);
  }
  return out;
}

bool IsIntegerType(int type) { return IntegerWidth(type) != 0; }
bool IsBoolType(int type) { return type == IecBool || type == IecBoolREdge || type == IecBoolFEdge; }
bool IsClockType(int type) {
  return type == IecTime || type == IecDate || type == IecTimeOfDay || type == IecDateAndTime;
}
bool IsSignedType(int type) { return type == IecSint || type == IecInt || type == IecDint; }

// Lends the element another variable record for the life of the loan (the
// integer reader reads the element's own).
class TVarInfoLoan {
 public:
  TVarInfoLoan(TPinVariable& field, const TPinVariable& lent) : field_(field), saved_(field) { field_ = lent; }
  ~TVarInfoLoan() { field_ = saved_; }
  TVarInfoLoan(const TVarInfoLoan&) = delete;
  TVarInfoLoan& operator=(const TVarInfoLoan&) = delete;

 private:
  TPinVariable& field_;
  TPinVariable saved_;
};

}  // namespace

int TGridWebElement::EffectiveIntFormat() const {
  if (FIntFormat >= kSignedDecimal && FIntFormat <= kHexadecimal) return FIntFormat;
  if (FIntFormat != kNoIntFormat) return kNoIntFormat;
  switch (FVarInfo.typeCode) {
    case IecByte:
    case IecWord:
    case IecDword: return kHexadecimal;
    case IecSint:
    case IecInt:
    case IecDint: return kSignedDecimal;
    case IecUsint:
    case IecUint:
    case IecUdint:
    case IecEnum: return kUnsignedDecimal;
    default: return kNoIntFormat;
  }
}

std::int32_t TGridWebElement::ParseInteger(const std::string& text, bool& verdict) {
  verdict = false;
  const int format = EffectiveIntFormat();
  if (format == kNoIntFormat) return 0;
  std::int64_t value = 0;
  double scanned = 0;
  const double* alsoScanned = nullptr;
  if (format == kHexadecimal) {
    const char* p = text.c_str();
    verdict = ScanInteger(p, true, value);
  } else if (FPrecision > 0) {
    verdict = ReadScaledDecimal(text, std::min(FPrecision, kMostScaledDecimals), value);
  } else {
    verdict = ReadWholeNumber(text, value, scanned);
    alsoScanned = &scanned;
  }
  // The range of the type's width, on the whole scaled value in 64 bits,
  // whatever the format (decimals and hexadecimal included).
  if (verdict) verdict = WithinIntegerRange(FVarInfo.typeCode, format, value, alsoScanned);
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(value)));
}

bool TGridWebElement::ParseValue(const std::string& input, const TPinVariable* variable, std::uint8_t* target) {
  const TPinVariable& info = variable != nullptr ? *variable : FVarInfo;
  std::uint8_t* out = target != nullptr ? target : FWriteBuf;
  const int type = info.typeCode;
  const std::string text = type == IecString ? input : Trim(input);
  if (IsBoolType(type)) return ParseBoolValue(text, out);
  if (IsIntegerType(type)) {
    bool verdict = false;
    std::int32_t v;
    {
      const TVarInfoLoan loan(FVarInfo, info);
      v = ParseInteger(text, verdict);
    }
    if (type == IecByte && static_cast<std::uint32_t>(v) > UINT8_MAX) return false;
    StoreLittleEndian(out, static_cast<std::uint32_t>(v), IntegerWidth(type));
    return verdict;
  }
  if (type == IecReal) {
    float f = 0;
    if (std::sscanf(text.c_str(), "%g", &f) < 1) return false;
    std::memcpy(out, &f, sizeof f);
    return true;
  }
  if (type == IecLreal) {
    double d = 0;
    if (std::sscanf(text.c_str(), "%lg", &d) < 1) return false;
    std::memcpy(out, &d, sizeof d);
    return true;
  }
  if (IsClockType(type)) return ParseTimeValue(text, FTimeFormat, type, FValueBuf, out);
  if (type == IecString) {
    StoreString(text, info.typeName, out);
    return true;
  }
  return false;
}

bool TGridWebElement::CheckLimits() {
  if (!FLimits) return true;
  const std::string text = FEditor != nullptr ? FEditor->Text() : std::string();
  const int type = FVarInfo.typeCode;
  if (IsIntegerType(type)) {
    bool ok = false, loOk = false, hiOk = false;
    const std::int32_t v = ParseInteger(text, ok);
    if (!ok) return false;
    const std::int32_t lo = ParseInteger(FLoLimit, loOk);
    const std::int32_t hi = ParseInteger(FHiLimit, hiOk);
    // A limit that does not read does not restrict.
    if (EffectiveIntFormat() == kSignedDecimal) return (!loOk || lo <= v) && (!hiOk || v <= hi);
    const auto u = static_cast<std::uint32_t>(v);
    return (!loOk || static_cast<std::uint32_t>(lo) <= u) && (!hiOk || u <= static_cast<std::uint32_t>(hi));
  }
  if (type == IecReal || type == IecLreal) {
    double v = 0, lo = 0, hi = 0;
    if (std::sscanf(text.c_str(), "%lg", &v) < 1) return false;
    const bool loOk = std::sscanf(FLoLimit.c_str(), "%lg", &lo) >= 1;
    const bool hiOk = std::sscanf(FHiLimit.c_str(), "%lg", &hi) >= 1;
    return (!loOk || lo <= v) && (!hiOk || v <= hi);
  }
  if (IsClockType(type)) {
    std::int32_t ms = 0, loMs = 0, hiMs = 0;
    double s = 0, loS = 0, hiS = 0;
    if (!ReadTimeLiteral(TimeLiteralOf(text, FTimeFormat, type, FValueBuf), type, ms, s)) return false;
    const bool loOk = ReadTimeLiteral(TimeLiteralOf(FLoLimit, FTimeFormat, type, FValueBuf), type, loMs, loS);
    const bool hiOk = ReadTimeLiteral(TimeLiteralOf(FHiLimit, FTimeFormat, type, FValueBuf), type, hiMs, hiS);
    if (type == IecTime || type == IecTimeOfDay) return (!loOk || loMs <= ms) && (!hiOk || ms <= hiMs);
    return (!loOk || loS <= s) && (!hiOk || s <= hiS);
  }
  return true;
}

void TGridWebElement::FormatInteger(std::int64_t value, std::string& text) {
  text.clear();
  const int format = EffectiveIntFormat();
  if (format == kNoIntFormat) return;
  const int width = IntegerWidth(FVarInfo.typeCode);
  const int bytes = width == 0 ? 4 : width;
  if (FIntFormat == kSignedDecimal) value = AsSigned(value, bytes);
  const bool negative = format == kSignedDecimal && value < 0;
  const int p = FPrecision;
  const bool decimalsShown = p >= 1 && format != kHexadecimal;
  const bool zero = FZero;
  long long wanted = 0;
  if (zero && FSize != 0) wanted = !decimalsShown ? FSize : static_cast<long long>(FSize) - p - 1;
  // Printed widths are bounded; the shown text never needs more.
  const int fieldWidth = static_cast<int>(std::clamp<long long>(wanted, -kMostShownWidth, kMostShownWidth));
  const std::uint64_t mask = bytes == 1 ? 0xFF : bytes == 2 ? 0xFFFF : 0xFFFFFFFF;
  std::uint64_t decimals = 0;
  if (decimalsShown) {
    const std::int64_t d = Pow10(std::min(p, kMostScaledDecimals));
    if (format == kSignedDecimal) {
      decimals = static_cast<std::uint64_t>(value % d < 0 ? -(value % d) : value % d);
      value /= d;
    } else {
      const std::uint64_t u = static_cast<std::uint64_t>(value) & mask;
      decimals = u % static_cast<std::uint64_t>(d);
      value = static_cast<std::int64_t>(u / static_cast<std::uint64_t>(d));
    }
  }
  if (format == kSignedDecimal) {
    const auto shown = static_cast<long long>(AsSigned(value, bytes));
    text = zero ? Printf("%0*lld", fieldWidth, shown) : Printf("%lld", shown);
  } else {
    const auto shown = static_cast<unsigned long long>(static_cast<std::uint64_t>(value) & mask);
    const char* f = format == kHexadecimal ? (zero ? "%0*llX" : "%llX") : (zero ? "%0*llu" : "%llu");
    text = zero ? Printf(f, fieldWidth, shown) : Printf(f, shown);
  }
  if (decimalsShown)
    text += "." + Printf("%0*llu", std::min(p, kMostShownWidth), static_cast<unsigned long long>(decimals));
  if (negative && value == 0) RestoreSign(text);
}

std::string TGridWebElement::FormatValue() {
  try {
    const int type = FVarInfo.typeCode;
    if (IsBoolType(type)) {
      const int v = FValueBuf[0] != 0 ? 1 : 0;
      if (FZero) return Printf("%0*i", std::clamp(FSize, -kMostShownWidth, kMostShownWidth), v);
      return v ? "1" : "0";
    }
    if (IsIntegerType(type)) {
      const int bytes = IntegerWidth(type);
      const std::uint64_t raw = LoadLittleEndian(FValueBuf, bytes);
      std::string text;
      FormatInteger(
          IsSignedType(type) ? AsSigned(static_cast<std::int64_t>(raw), bytes) : static_cast<std::int64_t>(raw), text);
      return text;
    }
    if (type == IecReal || type == IecLreal) return FormatReal(type, FValueBuf, FSize, FPrecision, FZero, FAlignRight);
    if (IsClockType(type)) return FormatClockValue(type, FValueBuf, FTimeFormat);
    if (type == IecString) {
      FValueBuf[StringEnd(FVarInfo.typeName)] = 0;
      return reinterpret_cast<const char*>(FValueBuf);
    }
    return {};
  } catch (...) {
    return "Error";
  }
}

bool TGridWebElement::IsValueNonZero() const {
  const int w = ValueWidth(FVarInfo.typeCode);
  for (int i = 0; i < w; ++i)
    if (FValueBuf[i] != 0) return true;
  return false;
}

bool TGridWebElement::IsShownByVariable() const {
  if (GetResolvedVisVariable().empty()) return true;
  const int w = ValueWidth(FVisInfo.typeCode);
  if (w == 0) return true;
  bool nonZero = false;
  for (int i = 0; i < w; ++i)
    if (FVisValue[i] != 0) nonZero = true;
  return nonZero != FVisNeg;
}

void TGridWebElement::EditorExit(TObject*) {
  if (FEditor == nullptr) return;
  if (FEditor->Tag != 0) {
    const bool withinLimits = CheckLimits();
    const std::string text = FEditor->Text();
    if (FEditor->Tag == 1) {
      FPending = ParseValue(text) && withinLimits;
      FPendingText = text;
    } else if (FEditor->Tag == 2) {
      FWritten = ParseValue(text) && withinLimits;
      FPending = false;
    }
    FEditor->Tag = 0;
  }
  if (FEditor->Visible()) FEditor->Hide();
  Invalidate();
}

void TGridWebElement::ComboExit(TObject*) {
  if (FComboBox == nullptr) return;
  if (FComboBox->Tag != 0) {
    const std::string value = FOptions.GetKey(FComboBox->ItemIndex());
    if (FComboBox->Tag == 1) {
      FPending = ParseValue(value);
      FPendingText = value;
    } else if (FComboBox->Tag == 2) {
      FWritten = ParseValue(value);
      FPending = false;
    }
    FComboBox->Tag = 0;
  }
  if (FComboBox->Visible()) FComboBox->Hide();
  Invalidate();
}
