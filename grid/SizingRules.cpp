#include "grid/SizingRules.h"

#include <cstdint>

namespace {

// thousandths / 1000 as the truncation toward zero of a product with a factor
// stored just below its decimal value: a whole quotient moves one step toward
// zero, any other is truncated.
__int128 JustBelow(__int128 thousandths) {
  __int128 whole = thousandths / 1000;
  if (thousandths % 1000 == 0) whole += thousandths > 0 ? -1 : 1;
  return whole;
}

int Clamp(__int128 v) {
  if (v > INT32_MAX) return INT32_MAX;
  if (v < INT32_MIN) return INT32_MIN;
  return static_cast<int>(v);
}

}  // namespace

int FixedFactorFieldWidth(int fontSize, int characters) {
  const __int128 p = static_cast<__int128>(fontSize) * characters * 615;
  if (p == 0) return 6;
  return Clamp(6 + JustBelow(p));
}

int UploadFieldHeight(int fontSize) {
  const __int128 q = static_cast<__int128>(fontSize) * 1150;
  if (q == 0) return 8;
  return Clamp(8 + JustBelow(q));
}
