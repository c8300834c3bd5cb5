#include "core/IecFormatSpec.h"

#include <cstdio>

namespace {

char* WriteNumber(char* out, long long value) {
  const int n = std::snprintf(out, 24, "%lld", value);
  return out + (n > 0 ? n : 0);
}

}  // namespace

char* FormatIntField(char* out, char letter, int width, int precision, bool zeroFill, bool leftAlign) {
  long long w = width;
  const bool real = letter == 'f' || letter == 'l';
  if (w >= 0 && leftAlign) *out++ = '-';
  if (zeroFill) {
    *out++ = '0';
    if (w < 0) w = -w;
  }
  if (w > 0 || (precision != 0 && !real)) out = WriteNumber(out, w);
  if (precision >= -1 && letter != 'X' && (precision != 0 || real)) {
    *out++ = '.';
    out = WriteNumber(out, precision < 0 ? 0 : precision);
  }
  *out++ = letter;
  *out = '\0';
  return out;
}
