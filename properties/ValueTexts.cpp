// Texts of PLC values. The integer and real texts are printed through printf
// conversions built from the format, so that widths, zero padding and the
// fixed decimal point behave exactly as the generated pages show them.

#include "properties/ValueTexts.h"

#include <strings.h>
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "core/IecTimeFormat.h"
#include "core/IecTypes.h"
#include "core/XmlNode.h"

namespace {

constexpr int kMaxWidth = 255;
constexpr int kMaxRealDecimals = 255;
// 10^18 is the largest power of ten a signed 64-bit divisor holds.
constexpr int kMaxIntegerDecimals = 18;
// The date and time printers write into a buffer of 255 characters.
constexpr std::uint8_t kTimeTextSize = 254;

enum class TNotation { None, Signed, Unsigned, Hex };

enum class TAlign { Left, Right, Zero };

// The format element's attributes, absent ones as their defaults.
struct TValueFormat {
  int notation = 0;
  int length = 0;
  int prec = 0;
  TAlign align = TAlign::Left;
  std::string time;
};

TValueFormat ReadFormat(const TmyXmlNode* format) {
  TValueFormat result;
  if (format == nullptr) return result;
  result.notation = format->GetAttrInt("Int", 0);
  result.length = std::clamp(format->GetAttrInt("Length", 0), 0, kMaxWidth);
  result.prec = format->GetAttrInt("Prec", 0);
  const std::string align = format->GetAttr("Align");
  if (align == "right") result.align = TAlign::Right;
  if (align == "zero") result.align = TAlign::Zero;
  result.time = format->GetAttr("Time");
  return result;
}

bool IsByteType(int code) { return code == IecByte || code == IecSint || code == IecUsint || code == IecEnum; }
bool IsWordType(int code) { return code == IecWord || code == IecInt || code == IecUint; }
bool IsIntegerType(int code) {
  return IsByteType(code) || IsWordType(code) || code == IecDword || code == IecDint || code == IecUdint;
}

TNotation NotationByType(int code) {
  switch (code) {
    case IecByte:
    case IecWord:
    case IecDword: return TNotation::Hex;
    case IecSint:
    case IecInt:
    case IecDint: return TNotation::Signed;
    case IecUsint:
    case IecUint:
    case IecUdint:
    case IecEnum: return TNotation::Unsigned;
    default: return TNotation::None;
  }
}

// `Int` when it names a notation, else the type's own.
TNotation NotationOf(const TValueFormat& format, int code) {
  switch (format.notation) {
    case 1: return TNotation::Signed;
    case 2: return TNotation::Unsigned;
    case 3: return TNotation::Hex;
    default: return NotationByType(code);
  }
}

// The value cut to the type's width: 8 or 16 bits, else 32.
std::uint32_t ReduceUnsigned(std::uint32_t value, int code) {
  if (IsByteType(code)) return value & 0xFFu;
  if (IsWordType(code)) return value & 0xFFFFu;
  return value;
}

std::int32_t ReduceSigned(std::int32_t value, int code) {
  if (IsByteType(code)) return static_cast<std::int8_t>(value);
  if (IsWordType(code)) return static_cast<std::int16_t>(value);
  return value;
}

template <typename... Args>
std::string Print(const std::string& spec, Args... args) {
  const int size = std::snprintf(nullptr, 0, spec.c_str(), args...);
  if (size <= 0) return {};
  std::string text(static_cast<std::size_t>(size) + 1, '\0');
  std::snprintf(text.data(), text.size(), spec.c_str(), args...);
  text.resize(static_cast<std::size_t>(size));
  return text;
}

std::int64_t PowerOfTen(int exponent) {
  std::int64_t result = 1;
  for (int i = 0; i < exponent; ++i) result *= 10;
  return result;
}

// The printf conversion of an integer: zero flag, width (the characters
// of the integer part when a fixed point follows), conversion, and the
// fraction with exactly `prec` digits.
std::string IntegerSpec(const TValueFormat& format, TNotation notation, int prec) {
  const bool hex = notation == TNotation::Hex;
  std::string spec = "%";
  if (format.align == TAlign::Zero) spec += '0';
  if (format.length != 0 && format.align != TAlign::Left) {
    spec += std::to_string(hex || prec < 1 ? format.length : format.length - prec - 1);
  }
  spec += notation == TNotation::Signed ? "lld" : (hex ? "llX" : "llu");
  if (prec >= 1 && !hex) spec += ".%0" + std::to_string(prec) + "llu";
  return spec;
}

// A negative value whose integer part printed as 0 gets its minus sign back.
void RestoreMinus(std::string& text) {
  if (text.size() >= 2 && text[0] == '0' && text[1] == '0') {
    text[0] = '-';
  } else if (text.empty() || text[0] != ' ') {
    text.insert(text.begin(), '-');
  } else {
    text[text.find_first_not_of(' ') - 1] = '-';
  }
}

std::string TimeMask(const TValueFormat& format, int code) {
  if (!format.time.empty()) return "T" + format.time;
  switch (code) {
    case IecDate: return "TYYYY-MM-DD";
    case IecDateAndTime: return "TYYYY-MM-DD-hh:mm:ss.zzz";
    default: return "Thh:mm:ss.zzz";
  }
}

std::string FormatBool(const TValueFormat& format, std::uint32_t low) {
  const int bit = (low & 0xFFu) != 0 ? 1 : 0;
  if (format.align == TAlign::Right) return Print("%*i", format.length, bit);
  if (format.align == TAlign::Zero) return Print("%0*i", format.length, bit);
  return bit != 0 ? "1" : "0";
}

std::string FormatReal(const TValueFormat& format, double value, bool longReal) {
  std::string spec = "%";
  if (format.align != TAlign::Right) spec += '-';
  if (format.align == TAlign::Zero) spec += '0';
  if (format.length >= 1) spec += std::to_string(format.length);
  spec += "." + std::to_string(std::clamp(format.prec, 0, kMaxRealDecimals)) + (longReal ? "lf" : "f");
  return Print(spec, value);
}

std::string FormatTime(const std::string& mask, const TPlcValue& value, bool calendar) {
  char text[kTimeTextSize + 1] = {};
  if (calendar) {
    double seconds = 0;
    std::memcpy(&seconds, value.bytes.data(), sizeof seconds);
    FormatDateTimeValue(seconds, text, mask.c_str(), kTimeTextSize);
  } else {
    FormatTimeValue(static_cast<std::int32_t>(value.Low()), text, mask.c_str(), kTimeTextSize);
  }
  return text;
}

// The integer the text starts with, as "%d" reads it; 0 when none.
int LeadingInteger(const std::string& text) {
  int value = 0;
  return std::sscanf(text.c_str(), "%d", &value) == 1 ? value : 0;
}

bool IsTrueText(const std::string& text) { return strcasecmp(text.c_str(), "true") == 0 || LeadingInteger(text) == 1; }

std::string TrimBlanks(const std::string& text) {
  const auto first = text.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return {};
  const auto last = text.find_last_not_of(" \t\r\n");
  return text.substr(first, last - first + 1);
}

double ReadDouble(const std::string& text) {
  double value = 0;
  return std::sscanf(text.c_str(), "%lg", &value) == 1 ? value : 0.0;
}

template <typename T>
void Store(TPlcValue& value, T item) {
  std::memcpy(value.bytes.data(), &item, sizeof item);
}

// Fixed point: the integer part in units of 10^-prec plus the decimals given,
// at most `prec` of them, scaled up when fewer were written. The arithmetic
// wraps in 64 bits like the PLC's 32-bit registers would.
std::int32_t FixedPointFromText(const std::string& text, int prec, bool isSigned) {
  std::string cut = text;
  int missing = 0;
  const auto point = text.find('.');
  if (point != std::string::npos) {
    const std::size_t keep = point + 1 + static_cast<std::size_t>(prec);
    missing = static_cast<int>(keep) - static_cast<int>(text.size());
    cut = text.substr(0, std::min(keep, text.size()));
  }
  std::uint64_t integer = 0;
  unsigned fraction = 0;
  int read = 0;
  if (isSigned) {
    int part = 0;
    read = std::sscanf(cut.c_str(), "%d.%u", &part, &fraction);
    integer = static_cast<std::uint64_t>(static_cast<std::int64_t>(part));
  } else {
    unsigned part = 0;
    read = std::sscanf(cut.c_str(), "%u.%u", &part, &fraction);
    integer = part;
  }
  if (read < 1) return 0;
  std::uint64_t result = integer * static_cast<std::uint64_t>(PowerOfTen(prec));
  if (read == 2) {
    std::uint64_t scaled = fraction;
    if (missing > 0) scaled *= static_cast<std::uint64_t>(PowerOfTen(std::min(missing, kMaxIntegerDecimals)));
    const auto sign = text.find_first_not_of(" \t");
    const bool negative = sign != std::string::npos && text[sign] == '-';
    result = negative ? result - scaled : result + scaled;
  }
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(result));
}

}  // namespace

std::uint32_t TPlcValue::Low() const {
  std::uint32_t half = 0;
  std::memcpy(&half, bytes.data(), sizeof half);
  return half;
}

std::uint32_t TPlcValue::High() const {
  std::uint32_t half = 0;
  std::memcpy(&half, bytes.data() + 4, sizeof half);
  return half;
}

TPlcValue TPlcValue::FromHalves(std::uint32_t low, std::uint32_t high) {
  TPlcValue value;
  std::memcpy(value.bytes.data(), &low, sizeof low);
  std::memcpy(value.bytes.data() + 4, &high, sizeof high);
  return value;
}

std::string FormatIntegerValueText(std::int32_t value, const TmyXmlNode* formatElement, const TPinVariable& info) {
  const TValueFormat format = ReadFormat(formatElement);
  const int code = info.typeCode;
  const TNotation notation = NotationOf(format, code);
  if (notation == TNotation::None) return {};
  if (format.notation == 1) value = ReduceSigned(value, code);
  const int prec = std::clamp(format.prec, 0, kMaxIntegerDecimals);
  const std::string spec = IntegerSpec(format, notation, prec);
  const bool fixedPoint = prec >= 1 && notation != TNotation::Hex;
  if (notation == TNotation::Signed) {
    if (!fixedPoint) return Print(spec, static_cast<long long>(ReduceSigned(value, code)));
    const std::int64_t divisor = PowerOfTen(prec);
    const std::int64_t integer = value / divisor;
    const auto fraction = static_cast<unsigned long long>(value < 0 ? -(value % divisor) : value % divisor);
    const bool lostSign = value < 0 && integer == 0;
    std::string text =
        Print(spec, static_cast<long long>(ReduceSigned(static_cast<std::int32_t>(integer), code)), fraction);
    if (lostSign) RestoreMinus(text);
    return text;
  }
  std::uint64_t integer = ReduceUnsigned(static_cast<std::uint32_t>(value), code);
  if (!fixedPoint) return Print(spec, static_cast<unsigned long long>(integer));
  const auto divisor = static_cast<std::uint64_t>(PowerOfTen(prec));
  return Print(spec, static_cast<unsigned long long>(integer / divisor),
               static_cast<unsigned long long>(integer % divisor));
}

std::string FormatPlcValueText(const TmyXmlNode* formatElement, const TPinVariable& info, std::uint32_t low,
                               std::uint32_t high) {
  const TValueFormat format = ReadFormat(formatElement);
  const int code = info.typeCode;
  const TPlcValue value = TPlcValue::FromHalves(low, high);
  switch (code) {
    case IecBool:
    case IecBoolREdge:
    case IecBoolFEdge: return FormatBool(format, low);
    case IecByte:
    case IecUsint:
    case IecEnum: return FormatIntegerValueText(static_cast<std::int32_t>(low & 0xFFu), formatElement, info);
    case IecWord:
    case IecUint: return FormatIntegerValueText(static_cast<std::int32_t>(low & 0xFFFFu), formatElement, info);
    case IecDword:
    case IecDint:
    case IecUdint: return FormatIntegerValueText(static_cast<std::int32_t>(low), formatElement, info);
    case IecSint: return FormatIntegerValueText(static_cast<std::int8_t>(low), formatElement, info);
    case IecInt: return FormatIntegerValueText(static_cast<std::int16_t>(low), formatElement, info);
    case IecReal: {
      float real = 0;
      std::memcpy(&real, value.bytes.data(), sizeof real);
      return FormatReal(format, real, false);
    }
    case IecLreal: {
      double real = 0;
      std::memcpy(&real, value.bytes.data(), sizeof real);
      return FormatReal(format, real, true);
    }
    case IecTime:
    case IecTimeOfDay: return FormatTime(TimeMask(format, code), value, false);
    case IecDate:
    case IecDateAndTime: return FormatTime(TimeMask(format, code), value, true);
    default: return {};
  }
}

std::int32_t IntegerValueFromText(const std::string& text, const TmyXmlNode* formatElement, const TPinVariable& info) {
  const TValueFormat format = ReadFormat(formatElement);
  const TNotation notation = NotationOf(format, info.typeCode);
  const int prec = std::clamp(format.prec, 0, kMaxIntegerDecimals);
  if (notation == TNotation::None) return 0;
  if (notation == TNotation::Hex) {
    unsigned value = 0;
    return std::sscanf(text.c_str(), "%x", &value) == 1 ? static_cast<std::int32_t>(value) : 0;
  }
  if (prec >= 1) return FixedPointFromText(text, prec, notation == TNotation::Signed);
  if (notation == TNotation::Signed) return LeadingInteger(text);
  unsigned value = 0;
  return std::sscanf(text.c_str(), "%u", &value) == 1 ? static_cast<std::int32_t>(value) : 0;
}

TPlcValue PlcValueFromText(const TPinVariable& info, const std::string& rawText, const TmyXmlNode* formatElement) {
  const int code = info.typeCode;
  const std::string text = code == IecString ? rawText : TrimBlanks(rawText);
  TPlcValue value;
  if (code == IecBool || code == IecBoolREdge || code == IecBoolFEdge) {
    value.bytes[0] = IsTrueText(text) ? 1 : 0;
  } else if (IsIntegerType(code)) {
    const auto integer = static_cast<std::uint32_t>(IntegerValueFromText(text, formatElement, info));
    if (IsByteType(code))
      Store(value, static_cast<std::uint8_t>(integer));
    else if (IsWordType(code))
      Store(value, static_cast<std::uint16_t>(integer));
    else
      Store(value, integer);
  } else if (code == IecReal) {
    float real = 0;
    if (std::sscanf(text.c_str(), "%g", &real) == 1) Store(value, real);
  } else if (code == IecLreal) {
    Store(value, ReadDouble(text));
  } else if (code == IecTime || code == IecTimeOfDay) {
    Store(value, ParseTimeValue(text.c_str(), TimeMask(ReadFormat(formatElement), code).c_str()));
  } else if (code == IecDate || code == IecDateAndTime) {
    Store(value, ParseDateTimeValue(text.c_str(), TimeMask(ReadFormat(formatElement), code).c_str()));
  } else if (code == IecString) {
    value.bytes[0] = static_cast<std::uint8_t>(LeadingInteger(text));
  }
  return value;
}

namespace {

// The value of an integer text as a number: unsigned and hexadecimal texts
// stand for 0 to 2^32 - 1, so their 32 bits are taken unsigned (a value at or
// above 2^31 would otherwise compare below 0).
double IntegerTextNumber(const std::string& text, const TmyXmlNode* formatElement, const TPinVariable& info) {
  const std::int32_t value = IntegerValueFromText(text, formatElement, info);
  if (NotationOf(ReadFormat(formatElement), info.typeCode) == TNotation::Signed) return value;
  return static_cast<std::uint32_t>(value);
}

}  // namespace

double ComparePlcValueTexts(const std::string& a, const std::string& b, const TmyXmlNode* formatElement,
                            const TPinVariable& info) {
  const int code = info.typeCode;
  if (code == IecBool || code == IecBoolREdge || code == IecBoolFEdge) {
    return (IsTrueText(TrimBlanks(a)) ? 1.0 : 0.0) - (IsTrueText(TrimBlanks(b)) ? 1.0 : 0.0);
  }
  if (IsIntegerType(code)) {
    return IntegerTextNumber(a, formatElement, info) - IntegerTextNumber(b, formatElement, info);
  }
  if (code == IecReal || code == IecLreal) return ReadDouble(a) - ReadDouble(b);
  const std::string mask = TimeMask(ReadFormat(formatElement), code);
  if (code == IecTime || code == IecTimeOfDay) {
    return static_cast<double>(ParseTimeValue(a.c_str(), mask.c_str())) -
           static_cast<double>(ParseTimeValue(b.c_str(), mask.c_str()));
  }
  if (code == IecDate || code == IecDateAndTime) {
    return ParseDateTimeValue(a.c_str(), mask.c_str()) - ParseDateTimeValue(b.c_str(), mask.c_str());
  }
  return code == IecString ? 0.0 : 1.0;
}
