#include "grid/SizingRules.h"

#include <cstdint>

#include "grid/DrawingGeometry.h"

namespace {

// The fixed parts of the rules, in pixels.
constexpr int kFixedFieldExtraWidth = 6;
constexpr int kUploadFieldExtraHeight = 8;
constexpr int kFixedFieldExtraHeight = 8;
constexpr int kMeasuredFieldExtraWidth = 10;
constexpr int kMeasuredFieldExtraHeightWithBorder = 6;
constexpr int kMeasuredFieldExtraHeightWithoutBorder = 4;
constexpr int kSubmitExtraWidth = 24;
constexpr int kSubmitExtraHeight = 12;

// The factors in thousandths.
constexpr int kCharacterWidthFactor = 615;
constexpr int kUploadHeightFactor = 1150;
constexpr int kThousand = 1000;

// thousandths / 1000 as the truncation toward zero of a product with a factor
// stored just below its decimal value: a whole quotient moves one step toward
// zero, any other is truncated.
__int128 JustBelow(__int128 thousandths) {
  __int128 whole = thousandths / kThousand;
  if (thousandths % kThousand == 0) whole += thousandths > 0 ? -1 : 1;
  return whole;
}

int Clamp(__int128 v) {
  if (v > INT32_MAX) return INT32_MAX;
  if (v < INT32_MIN) return INT32_MIN;
  return static_cast<int>(v);
}

}  // namespace

int FixedFactorFieldWidth(int fontSize, int characters) {
  const __int128 p = static_cast<__int128>(fontSize) * characters * kCharacterWidthFactor;
  if (p == 0) return kFixedFieldExtraWidth;
  return Clamp(kFixedFieldExtraWidth + JustBelow(p));
}

int UploadFieldHeight(int fontSize) {
  const __int128 q = static_cast<__int128>(fontSize) * kUploadHeightFactor;
  if (q == 0) return kUploadFieldExtraHeight;
  return Clamp(kUploadFieldExtraHeight + JustBelow(q));
}

int FixedFactorFieldHeight(int fontSize) {
  return ClampToInt(static_cast<long long>(fontSize) + kFixedFieldExtraHeight);
}

int MeasuredFieldWidth(int digitWidth, int characters) {
  return ClampToInt(static_cast<long long>(digitWidth) * characters + kMeasuredFieldExtraWidth);
}

int MeasuredFieldHeight(int digitHeight, bool border) {
  return ClampToInt(static_cast<long long>(digitHeight) +
                    (border ? kMeasuredFieldExtraHeightWithBorder : kMeasuredFieldExtraHeightWithoutBorder));
}

int SubmitMinWidth(int captionWidth) { return ClampToInt(static_cast<long long>(captionWidth) + kSubmitExtraWidth); }

int SubmitMinHeight(int captionHeight) {
  return ClampToInt(static_cast<long long>(captionHeight) + kSubmitExtraHeight);
}
