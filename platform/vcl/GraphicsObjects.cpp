#include "platform/vcl/GraphicsObjects.h"

#include <climits>
#include <cstdlib>

#include "platform/vcl/FontEngine.h"

int MulDiv(int a, int b, int c) {
  if (c == 0) return -1;
  const long long product = static_cast<long long>(a) * b;
  long long magnitude = (std::llabs(product) + std::llabs(static_cast<long long>(c)) / 2) / std::llabs(c);
  const bool negative = (product < 0) != (c < 0);
  long long result = negative ? -magnitude : magnitude;
  if (result > INT_MAX || result < INT_MIN) return -1;
  return static_cast<int>(result);
}

int TFont::Size() const { return -MulDiv(Height, 72, PixelsPerInch); }

void TFont::SetSize(int points) { Height = -MulDiv(points, PixelsPerInch, 72); }

void TFont::Assign(const TFont& other) {
  Name = other.Name;
  Height = other.Height;
  Style = other.Style;
  Color = other.Color;
}

std::shared_ptr<const SizedFont> TFont::Realize() const {
  const TFontStyles faceStyle = Style & (fsBold | fsItalic);
  if (!realized_ || realizedName_ != Name || realizedHeight_ != Height || realizedStyle_ != faceStyle) {
    realized_ = FontEngine::Instance().Font(Name, Height, Bold(), Italic());
    realizedName_ = Name;
    realizedHeight_ = Height;
    realizedStyle_ = faceStyle;
  }
  return realized_;
}
