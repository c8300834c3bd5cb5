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

// Bytes that carry a value of a type code (IsValueNonZero, IsShownByVariable).
int ValueWidth(int typeCode) {
  switch (typeCode) {
    case 0:
    case 1:
    case 2:
    case 3:
    case 7:
    case 11:
    case 21:
    case 25: return 1;
    case 4:
    case 8:
    case 12: return 2;
    case 5:
    case 9:
    case 13:
    case 15:
    case 17:
    case 19: return 4;
    case 16:
    case 18:
    case 20: return 8;
    default: return 0;
  }
}

// The declared length of a STRING type name ("STRING[20]"): 81 without one.
int DeclaredStringLength(const std::string& typeName) {
  const std::size_t bracket = typeName.find('[');
  if (bracket == std::string::npos) return 81;
  int n = 0;
  if (std::sscanf(typeName.c_str() + bracket + 1, "%i", &n) != 1) return 81;
  return n;
}

// The place of a STRING's terminating NUL: its declared length, at most 240
// (and never before the buffer's start).
int StringEnd(const std::string& typeName) {
  const int n = DeclaredStringLength(typeName);
  return n < 0 ? 0 : n > 240 ? 240 : n;
}

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

int TGridWebElement::EffectiveIntFormat() const {
  if (FIntFormat >= 1 && FIntFormat <= 3) return FIntFormat;
  if (FIntFormat != 0) return 0;
  switch (FVarInfo.typeCode) {
    case IecByte:
    case IecWord:
    case IecDword: return 3;
    case IecSint:
    case IecInt:
    case IecDint: return 1;
    case IecUsint:
    case IecUint:
    case IecUdint:
    case IecEnum: return 2;
    default: return 0;
  }
}

std::int32_t TGridWebElement::ParseInteger(const std::string& text, bool& verdict) {
  verdict = false;
  const int format = EffectiveIntFormat();
  if (format == 0) return 0;
  std::int64_t value = 0;
  double scanned = 0;
  bool haveDouble = false;
  if (format == 3) {
    const char* p = text.c_str();
    verdict = ScanInteger(p, true, value);
  } else if (FPrecision > 0) {
    const int p = FPrecision > 18 ? 18 : FPrecision;
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
    const bool wholeRead = ScanInteger(s, false, whole);
    bool decimalsRead = false;
    if (wholeRead && *s == '.') {
      ++s;
      decimalsRead = ScanInteger(s, false, decimals);
    }
    verdict = wholeRead;
    if (wholeRead) {
      if (missing > 0) decimals = SaturatingMul(decimals, Pow10(missing));
      whole = SaturatingMul(whole, Pow10(p));
      value = whole;
      if (decimalsRead) {
        const std::string lead = Trim(text);
        value = !lead.empty() && lead[0] == '-' ? whole - decimals : whole + decimals;
      }
    }
  } else {
    const char* p = text.c_str();
    verdict = ScanInteger(p, false, value);
    if (verdict) {
      char* end = nullptr;
      scanned = std::strtod(text.c_str(), &end);
      haveDouble = end != text.c_str();
      verdict = haveDouble;
    }
  }
  if (verdict) {
    // The range of the type's width, on the whole scaled value in 64 bits,
    // whatever the format (decimals and hexadecimal included).
    const int width = IntegerWidth(FVarInfo.typeCode);
    if (width != 0) {
      std::int64_t lo, hi;
      if (format == 1) {
        lo = width == 1 ? -128 : width == 2 ? -32768 : std::numeric_limits<std::int32_t>::min();
        hi = width == 1 ? 127 : width == 2 ? 32767 : std::numeric_limits<std::int32_t>::max();
      } else {
        lo = 0;
        hi = width == 1 ? 255 : width == 2 ? 65535 : std::numeric_limits<std::uint32_t>::max();
      }
      if (value < lo || value > hi) verdict = false;
      if (haveDouble && !(scanned >= static_cast<double>(lo) && scanned <= static_cast<double>(hi))) verdict = false;
    }
  }
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(value)));
}

bool TGridWebElement::ParseValue(const std::string& input, const TPinVariable* variable, std::uint8_t* target) {
  const TPinVariable& info = variable != nullptr ? *variable : FVarInfo;
  std::uint8_t* out = target != nullptr ? target : FWriteBuf;
  const int type = info.typeCode;
  const std::string text = type == IecString ? input : Trim(input);
  // ParseInteger reads the element's own type: lend it the record asked for.
  struct TypeSwap {
    TPinVariable& field;
    TPinVariable saved;
    TypeSwap(TPinVariable& f, const TPinVariable& with) : field(f), saved(f) { field = with; }
    ~TypeSwap() { field = saved; }
  };
  switch (type) {
    case IecBool:
    case IecBoolREdge:
    case IecBoolFEdge: {
      const std::int64_t n = IntegerOrZero(text);
      if (SameText(text, "true") || n == 1)
        out[0] = 1;
      else if (SameText(text, "false") || n == 0)
        out[0] = 0;
      else
        return false;
      return true;
    }
    case IecByte:
    case IecSint:
    case IecUsint:
    case IecEnum:
    case IecWord:
    case IecInt:
    case IecUint:
    case IecDword:
    case IecDint:
    case IecUdint: {
      bool verdict = false;
      std::int32_t v;
      {
        TypeSwap swap(FVarInfo, info);
        v = ParseInteger(text, verdict);
      }
      if (type == IecByte && static_cast<std::uint32_t>(v) >= 256) return false;
      StoreLittleEndian(out, static_cast<std::uint32_t>(v), IntegerWidth(type));
      return verdict;
    }
    case IecReal: {
      float f = 0;
      if (std::sscanf(text.c_str(), "%g", &f) < 1) return false;
      std::memcpy(out, &f, 4);
      return true;
    }
    case IecLreal: {
      double d = 0;
      if (std::sscanf(text.c_str(), "%lg", &d) < 1) return false;
      std::memcpy(out, &d, 8);
      return true;
    }
    case IecTime:
    case IecDate:
    case IecTimeOfDay:
    case IecDateAndTime: {
      const std::string literal = TimeLiteralOf(text, FTimeFormat, type, FValueBuf);
      std::int32_t ms = 0;
      double seconds = 0;
      if (!ReadTimeLiteral(literal, type, ms, seconds)) return false;
      if (type == IecTime || type == IecTimeOfDay)
        std::memcpy(out, &ms, 4);
      else
        std::memcpy(out, &seconds, 8);
      return true;
    }
    case IecString: {
      // At most the declared length (and never past 240) is copied; every
      // byte up to the terminating NUL at that place is written.
      const std::size_t end = static_cast<std::size_t>(StringEnd(info.typeName));
      const std::size_t copy = text.size() < end ? text.size() : end;
      std::memcpy(out, text.data(), copy);
      std::memset(out + copy, 0, end - copy + 1);
      return true;
    }
    default: return false;
  }
}

bool TGridWebElement::CheckLimits() {
  if (!FLimits) return true;
  const std::string text = FEditor != nullptr ? FEditor->Text() : std::string();
  const int type = FVarInfo.typeCode;
  switch (type) {
    case IecByte:
    case IecWord:
    case IecDword:
    case IecUsint:
    case IecUint:
    case IecUdint:
    case IecEnum:
    case IecSint:
    case IecInt:
    case IecDint: {
      bool ok = false, loOk = false, hiOk = false;
      const std::int32_t v = ParseInteger(text, ok);
      if (!ok) return false;
      const std::int32_t lo = ParseInteger(FLoLimit, loOk);
      const std::int32_t hi = ParseInteger(FHiLimit, hiOk);
      // A limit that does not read does not restrict.
      if (EffectiveIntFormat() == 1) return (!loOk || lo <= v) && (!hiOk || v <= hi);
      const auto u = static_cast<std::uint32_t>(v);
      return (!loOk || static_cast<std::uint32_t>(lo) <= u) && (!hiOk || u <= static_cast<std::uint32_t>(hi));
    }
    case IecReal:
    case IecLreal: {
      double v = 0, lo = 0, hi = 0;
      if (std::sscanf(text.c_str(), "%lg", &v) < 1) return false;
      const bool loOk = std::sscanf(FLoLimit.c_str(), "%lg", &lo) >= 1;
      const bool hiOk = std::sscanf(FHiLimit.c_str(), "%lg", &hi) >= 1;
      return (!loOk || lo <= v) && (!hiOk || v <= hi);
    }
    case IecTime:
    case IecDate:
    case IecTimeOfDay:
    case IecDateAndTime: {
      std::int32_t ms = 0, loMs = 0, hiMs = 0;
      double s = 0, loS = 0, hiS = 0;
      if (!ReadTimeLiteral(TimeLiteralOf(text, FTimeFormat, type, FValueBuf), type, ms, s)) return false;
      const bool loOk = ReadTimeLiteral(TimeLiteralOf(FLoLimit, FTimeFormat, type, FValueBuf), type, loMs, loS);
      const bool hiOk = ReadTimeLiteral(TimeLiteralOf(FHiLimit, FTimeFormat, type, FValueBuf), type, hiMs, hiS);
      if (type == IecTime || type == IecTimeOfDay) return (!loOk || loMs <= ms) && (!hiOk || ms <= hiMs);
      return (!loOk || loS <= s) && (!hiOk || s <= hiS);
    }
    default: return true;
  }
}

void TGridWebElement::FormatInteger(std::int64_t value, std::string& text) {
  text.clear();
  const int format = EffectiveIntFormat();
  if (format == 0) return;
  const int width = IntegerWidth(FVarInfo.typeCode);
  const int bytes = width == 0 ? 4 : width;
  if (FIntFormat == 1) {
    if (bytes == 1)
      value = static_cast<std::int8_t>(static_cast<std::uint8_t>(value));
    else if (bytes == 2)
      value = static_cast<std::int16_t>(static_cast<std::uint16_t>(value));
    else
      value = static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
  }
  const bool negative = format == 1 && value < 0;
  const int p = FPrecision;
  const bool decimalsShown = p >= 1 && format != 3;
  long long wanted = 0;
  const bool zero = FZero;
  if (zero && FSize != 0) wanted = !decimalsShown ? FSize : static_cast<long long>(FSize) - p - 1;
  // Printed widths are bounded; the shown text never needs more.
  const int fieldWidth = static_cast<int>(std::clamp(wanted, -255LL, 255LL));
  const std::uint64_t mask = bytes == 1 ? 0xFF : bytes == 2 ? 0xFFFF : 0xFFFFFFFF;
  std::uint64_t decimals = 0;
  if (decimalsShown) {
    const std::int64_t d = Pow10(p > 18 ? 18 : p);
    if (format == 1) {
      decimals = static_cast<std::uint64_t>(value % d < 0 ? -(value % d) : value % d);
      value /= d;
    } else {
      const std::uint64_t u = static_cast<std::uint64_t>(value) & mask;
      decimals = u % static_cast<std::uint64_t>(d);
      value = static_cast<std::int64_t>(u / static_cast<std::uint64_t>(d));
    }
  }
  std::string whole;
  if (format == 1) {
    std::int64_t shown = bytes == 1   ? static_cast<std::int8_t>(static_cast<std::uint8_t>(value))
                         : bytes == 2 ? static_cast<std::int16_t>(static_cast<std::uint16_t>(value))
                                      : static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
    whole = zero ? Printf("%0*lld", fieldWidth, static_cast<long long>(shown))
                 : Printf("%lld", static_cast<long long>(shown));
  } else {
    const auto shown = static_cast<unsigned long long>(static_cast<std::uint64_t>(value) & mask);
    const char* f = format == 3 ? (zero ? "%0*llX" : "%llX") : (zero ? "%0*llu" : "%llu");
    whole = zero ? Printf(f, fieldWidth, shown) : Printf(f, shown);
  }
  text = whole;
  if (decimalsShown) text += "." + Printf("%0*llu", p > 255 ? 255 : p, static_cast<unsigned long long>(decimals));
  if (negative && value == 0) {
    if (text.size() >= 2 && text[0] == '0' && text[1] == '0')
      text[0] = '-';
    else if (!text.empty() && text[0] != ' ')
      text.insert(0, "-");
    else {
      std::size_t i = 0;
      while (i < text.size() && text[i] == ' ') ++i;
      if (i > 0) text[i - 1] = '-';
    }
  }
}

std::string TGridWebElement::FormatValue() {
  try {
    const int type = FVarInfo.typeCode;
    switch (type) {
      case IecBool:
      case IecBoolREdge:
      case IecBoolFEdge: {
        const int v = FValueBuf[0] != 0 ? 1 : 0;
        if (FZero) return Printf("%0*i", FSize > 255 ? 255 : FSize < -255 ? -255 : FSize, v);
        return v ? "1" : "0";
      }
      case IecSint:
      case IecInt:
      case IecDint: {
        const int bytes = IntegerWidth(type);
        std::uint64_t raw = LoadLittleEndian(FValueBuf, bytes);
        std::int64_t v = bytes == 1   ? static_cast<std::int8_t>(raw)
                         : bytes == 2 ? static_cast<std::int16_t>(raw)
                                      : static_cast<std::int32_t>(raw);
        std::string text;
        FormatInteger(v, text);
        return text;
      }
      case IecByte:
      case IecWord:
      case IecDword:
      case IecUsint:
      case IecUint:
      case IecUdint:
      case IecEnum: {
        std::string text;
        FormatInteger(static_cast<std::int64_t>(LoadLittleEndian(FValueBuf, IntegerWidth(type))), text);
        return text;
      }
      case IecReal:
      case IecLreal: {
        char spec[40] = "%";
        // Width and decimals are bounded so that printing stays small.
        const int width = static_cast<int>(std::clamp(-static_cast<long long>(FSize), -255LL, 255LL));
        const int precision = std::clamp(FPrecision, -255, 255);
        char* end = FormatIntField(spec + 1, type == IecReal ? 'f' : 'l', width, precision, FZero, !FAlignRight);
        if (type == IecLreal) *end++ = 'f';
        *end = '\0';
        double v;
        if (type == IecReal) {
          float f;
          std::memcpy(&f, FValueBuf, 4);
          v = f;
        } else {
          std::memcpy(&v, FValueBuf, 8);
        }
        char out[1024];
        std::snprintf(out, sizeof out, spec, v);
        return out;
      }
      case IecTime:
      case IecTimeOfDay: {
        std::int32_t ms;
        std::memcpy(&ms, FValueBuf, 4);
        const std::string format = !FTimeFormat.empty() ? "T" + FTimeFormat
                                   : type == IecTime    ? "Th:mm:ss.zzz"
                                                        : "Thh:mm:ss.zzz";
        char out[256] = {};
        FormatTimeValue(ms, out, format.c_str(), 255);
        return out;
      }
      case IecDate:
      case IecDateAndTime: {
        double seconds;
        std::memcpy(&seconds, FValueBuf, 8);
        const std::string format = !FTimeFormat.empty() ? "T" + FTimeFormat
                                   : type == IecDate    ? "TYYYY-MM-DD"
                                                        : "TYYYY-MM-DD-hh:mm:ss.zzz";
        char out[256] = {};
        FormatDateTimeValue(seconds, out, format.c_str(), 255);
        return out;
      }
      case IecString: {
        FValueBuf[StringEnd(FVarInfo.typeName)] = 0;
        return reinterpret_cast<const char*>(FValueBuf);
      }
      default: return {};
    }
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
