#include "platform/vcl/SysUtilsFormat.h"

#include <cstdio>
#include <string>

namespace SysUtilsFormatDetail {

namespace {

// Widths and precisions above this are refused: they would only make huge
// texts out of a bad argument.
constexpr long kMaxField = 65536;

struct Spec {
  std::string flags;
  long width = -1;      // -1: none
  long precision = -1;  // -1: none
  int lengthBits = 0;   // 8 (hh), 16 (h), 0: the argument's own width
  char conversion = 0;
};

class Formatter {
 public:
  Formatter(std::string_view format, const FormatArg* args, std::size_t count)
      : format_(format), args_(args), count_(count) {}

  std::string Run() {
    std::size_t i = 0;
    while (i < format_.size()) {
      const std::size_t percent = format_.find('%', i);
      if (percent == std::string_view::npos) {
        out_.append(format_.substr(i));
        break;
      }
      out_.append(format_.substr(i, percent - i));
      i = percent + 1;
      if (i < format_.size() && format_[i] == '%') {
        out_ += '%';
        ++i;
        continue;
      }
      Spec spec = ParseSpec(i);
      Convert(spec);
    }
    return out_;
  }

 private:
  [[noreturn]] void Fail() const {
    throw EConvertError("Format '" + std::string(format_) + "' invalid or incompatible with argument");
  }

  const FormatArg& NextArg() {
    if (next_ >= count_) Fail();
    return args_[next_++];
  }

  // The value of an integer argument for "*".
  long StarValue() {
    const FormatArg& arg = NextArg();
    if (arg.kind != FormatArg::Signed && arg.kind != FormatArg::Unsigned) Fail();
    if (arg.kind == FormatArg::Unsigned && UnsignedValue(arg, 0) > static_cast<unsigned long long>(kMaxField)) Fail();
    const long long v =
        arg.kind == FormatArg::Signed ? SignedValue(arg, 0) : static_cast<long long>(UnsignedValue(arg, 0));
    if (v > kMaxField || v < -kMaxField) Fail();
    return static_cast<long>(v);
  }

  long Digits(std::size_t& i) {
    long v = 0;
    while (i < format_.size() && format_[i] >= '0' && format_[i] <= '9') {
      v = v * 10 + (format_[i] - '0');
      if (v > kMaxField) Fail();
      ++i;
    }
    return v;
  }

  Spec ParseSpec(std::size_t& i) {
    Spec spec;
    while (i < format_.size() && std::string_view("-+ #0").find(format_[i]) != std::string_view::npos)
      spec.flags += format_[i++];
    ParseWidth(i, spec);
    ParsePrecision(i, spec);
    spec.lengthBits = ParseLength(i);
    if (i >= format_.size()) Fail();
    spec.conversion = format_[i++];
    return spec;
  }

  // Digits or "*" (a negative argument means "-" and its size).
  void ParseWidth(std::size_t& i, Spec& spec) {
    if (i < format_.size() && format_[i] == '*') {
      ++i;
      long w = StarValue();
      if (w < 0) {
        spec.flags += '-';
        w = -w;
      }
      spec.width = w;
    } else if (i < format_.size() && format_[i] >= '0' && format_[i] <= '9') {
      spec.width = Digits(i);
    }
  }

  // "." with digits or "*" (a negative argument means none).
  void ParsePrecision(std::size_t& i, Spec& spec) {
    if (i >= format_.size() || format_[i] != '.') return;
    ++i;
    if (i < format_.size() && format_[i] == '*') {
      ++i;
      const long p = StarValue();
      spec.precision = p < 0 ? -1 : p;
    } else {
      spec.precision = Digits(i);
    }
  }

  // Length modifiers: the arguments carry their own sizes, so only h and hh
  // (which cut the value) change what is printed. Answers the bits they keep
  // (0: the argument's own width).
  int ParseLength(std::size_t& i) {
    if (i >= format_.size()) return 0;
    const char c = format_[i];
    if (c == 'h') {
      ++i;
      if (i < format_.size() && format_[i] == 'h') {
        ++i;
        return 8;
      }
      return 16;
    }
    if (c == 'l') {
      ++i;
      if (i < format_.size() && format_[i] == 'l') ++i;
    } else if (c == 'L' || c == 'j' || c == 'z' || c == 't') {
      ++i;
    }
    return 0;
  }

  static std::uint64_t Bits(const FormatArg& arg, int lengthBits) {
    const int width = lengthBits != 0 ? lengthBits : arg.width;
    return width >= 64 ? arg.bits : arg.bits & ((std::uint64_t{1} << width) - 1);
  }
  static long long SignedValue(const FormatArg& arg, int lengthBits) {
    const int width = lengthBits != 0 ? lengthBits : arg.width;
    std::uint64_t bits = Bits(arg, lengthBits);
    if (width < 64 && (bits >> (width - 1)) != 0) bits |= ~std::uint64_t{0} << width;  // sign-extend
    return static_cast<long long>(bits);
  }
  static unsigned long long UnsignedValue(const FormatArg& arg, int lengthBits) { return Bits(arg, lengthBits); }

  // The printf spec without length modifier and conversion.
  static std::string Head(const Spec& spec, bool withPrecision) {
    std::string head = "%" + spec.flags;
    if (spec.width >= 0) head += std::to_string(spec.width);
    if (withPrecision && spec.precision >= 0) head += "." + std::to_string(spec.precision);
    return head;
  }

#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
#endif
  template <class T>
  void Print(const std::string& spec, T value) {
    const int n = std::snprintf(nullptr, 0, spec.c_str(), value);
    if (n < 0) Fail();
    std::string piece(static_cast<std::size_t>(n) + 1, '\0');
    std::snprintf(piece.data(), piece.size(), spec.c_str(), value);
    out_.append(piece.data(), static_cast<std::size_t>(n));
  }
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

  void PrintText(const Spec& spec, std::string_view text) {
    if (spec.precision >= 0 && text.size() > static_cast<std::size_t>(spec.precision))
      text = text.substr(0, static_cast<std::size_t>(spec.precision));
    const std::size_t pad =
        spec.width > 0 && static_cast<std::size_t>(spec.width) > text.size() ? spec.width - text.size() : 0;
    const bool left = spec.flags.find('-') != std::string::npos;
    if (!left) out_.append(pad, ' ');
    out_.append(text);
    if (left) out_.append(pad, ' ');
  }

  static bool IsInteger(const FormatArg& arg) {
    return arg.kind == FormatArg::Signed || arg.kind == FormatArg::Unsigned;
  }

  const FormatArg& NextInteger() {
    const FormatArg& arg = NextArg();
    if (!IsInteger(arg)) Fail();
    return arg;
  }

  // A float conversion takes integers too.
  double NextReal() {
    const FormatArg& arg = NextArg();
    if (arg.kind == FormatArg::Float) return arg.real;
    if (arg.kind == FormatArg::Signed) return static_cast<double>(SignedValue(arg, 0));
    if (arg.kind == FormatArg::Unsigned) return static_cast<double>(UnsignedValue(arg, 0));
    Fail();
  }

  // %p takes a pointer or the address of a text.
  const void* NextPointer() {
    const FormatArg& arg = NextArg();
    if (arg.kind == FormatArg::Pointer) return arg.pointer;
    if (arg.kind == FormatArg::Text && !arg.nullText) return arg.text.data();
    Fail();
  }

  void Convert(const Spec& spec) {
    const char c = spec.conversion;
    if (c == 'd' || c == 'i') {
      Print(Head(spec, true) + "lld", SignedValue(NextInteger(), spec.lengthBits));
    } else if (c == 'u' || c == 'o' || c == 'x' || c == 'X') {
      Print(Head(spec, true) + "ll" + c, UnsignedValue(NextInteger(), spec.lengthBits));
    } else if (c == 'c') {
      Print(Head(spec, false) + "c", static_cast<int>(static_cast<unsigned char>(NextInteger().bits)));
    } else if (std::string_view("fFeEgGaA").find(c) != std::string_view::npos) {
      Print(Head(spec, true) + c, NextReal());
    } else if (c == 's') {
      const FormatArg& arg = NextArg();
      if (arg.kind != FormatArg::Text) Fail();
      PrintText(spec, arg.nullText ? std::string_view("(null)") : arg.text);
    } else if (c == 'p') {
      Print(Head(spec, false) + "p", NextPointer());
    } else {
      Fail();
    }
  }

  std::string_view format_;
  const FormatArg* args_;
  std::size_t count_;
  std::size_t next_ = 0;
  std::string out_;
};

}  // namespace

std::string FormatArgs(std::string_view format, const FormatArg* args, std::size_t count) {
  return Formatter(format, args, count).Run();
}

}  // namespace SysUtilsFormatDetail
