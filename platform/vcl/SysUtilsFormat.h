#pragma once
// Format: printf formatting with the arguments' types checked.
//
// The format is a printf format: "%[flags][width][.precision][length]conv"
// with the flags "-+ #0", a width and a precision in digits or "*" (taken
// from the next argument, an integer; a negative width left-justifies, a
// negative precision counts as none), the length modifiers hh, h, l, ll, L,
// j, z and t, and the conversions d i u o x X c s f F e E g G a A p and "%%".
// Each conversion prints as printf prints it, with these rules for the
// arguments, which come in order:
// - d i u o x X c take an integer (bool, char and enums count). Integers
//   narrower than 32 bits are widened as C does (a char of -1 prints
//   "ffffffff" through %x); wider ones keep all their bits; h and hh cut the
//   value to 16 and 8 bits as printf does.
// - f F e E g G a A take a floating value or an integer (converted).
// - s takes a text: std::string, std::string_view, a char array or a char
//   pointer (a null pointer prints "(null)"); the precision cuts it to that
//   many bytes. Bytes of the text are copied as they are, NUL bytes included.
// - p takes a pointer.
// A conversion that is incomplete or unknown (%n included), a missing
// argument, an argument of the wrong kind, or a width or precision above
// 65536 raises EConvertError "Format '<format>' invalid or incompatible with
// argument". Arguments left over are ignored, as printf ignores them.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>

#include "platform/vcl/SysUtilsException.h"

namespace SysUtilsFormatDetail {

// One argument of Format, as its conversions see it.
struct FormatArg {
  enum Kind { Signed, Unsigned, Float, Text, Pointer };
  Kind kind = Signed;
  std::uint64_t bits = 0;  // Signed / Unsigned: the value's bits
  int width = 32;          // Signed / Unsigned: its width in bits after C's widening
  double real = 0;         // Float
  std::string_view text;   // Text
  bool nullText = false;   // Text from a null char pointer
  const void* pointer = nullptr;
};

template <class T>
FormatArg MakeFormatArg(const T& value) {
  FormatArg arg;
  using U = std::remove_cv_t<T>;
  if constexpr (std::is_enum_v<U>) {
    return MakeFormatArg(static_cast<std::underlying_type_t<U>>(value));
  } else if constexpr (std::is_integral_v<U>) {
    arg.kind = std::is_signed_v<U> ? FormatArg::Signed : FormatArg::Unsigned;
    // Sign-extends signed values; the width tells how many bits count.
    arg.bits = static_cast<std::uint64_t>(value);
    arg.width = sizeof(U) * 8 < 32 ? 32 : static_cast<int>(sizeof(U) * 8);
    if constexpr (std::is_same_v<U, bool>) arg.kind = FormatArg::Signed;
  } else if constexpr (std::is_floating_point_v<U>) {
    arg.kind = FormatArg::Float;
    arg.real = static_cast<double>(value);
  } else if constexpr (std::is_array_v<U> && std::is_same_v<std::remove_cv_t<std::remove_extent_t<U>>, char>) {
    // A char array: its text up to the first NUL, never beyond the array.
    arg.kind = FormatArg::Text;
    std::size_t n = 0;
    while (n < std::extent_v<U> && value[n] != '\0') ++n;
    arg.text = std::string_view(value, n);
  } else if constexpr (std::is_same_v<std::decay_t<U>, char*> || std::is_same_v<std::decay_t<U>, const char*>) {
    arg.kind = FormatArg::Text;
    const char* p = value;
    if (p == nullptr)
      arg.nullText = true;
    else
      arg.text = std::string_view(p);
  } else if constexpr (std::is_convertible_v<const U&, std::string_view>) {
    arg.kind = FormatArg::Text;
    arg.text = std::string_view(value);
  } else if constexpr (std::is_pointer_v<U> || std::is_null_pointer_v<U>) {
    arg.kind = FormatArg::Pointer;
    arg.pointer = static_cast<const void*>(value);
  } else {
    static_assert(std::is_pointer_v<U>, "Format: this argument type cannot be formatted");
  }
  return arg;
}

std::string FormatArgs(std::string_view format, const FormatArg* args, std::size_t count);

}  // namespace SysUtilsFormatDetail

template <class... Args>
std::string Format(std::string_view format, const Args&... args) {
  using SysUtilsFormatDetail::FormatArg;
  const FormatArg list[] = {SysUtilsFormatDetail::MakeFormatArg(args)..., FormatArg{}};
  return SysUtilsFormatDetail::FormatArgs(format, list, sizeof...(Args));
}
