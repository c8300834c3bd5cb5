#include "imaging/BitmapImage.h"

#include <algorithm>
#include <new>

#include "imaging/DecoderLimits.h"

namespace Veldaro {

BitmapImage::~BitmapImage() = default;

void BitmapImage::SetSize(std::uint32_t newWidth, std::uint32_t newHeight) {
  Clear();
  const std::uint64_t count = std::uint64_t(newWidth) * newHeight;
  if (count > kMaxPixelCount) throw std::bad_alloc();
  if (count != 0) pixels = std::make_unique<std::uint32_t[]>(count);  // all 0
  width = newWidth;
  height = newHeight;
  pixelCount = std::uint32_t(count);  // fits: at most kMaxPixelCount
}

void BitmapImage::SetSizeForOverwrite(std::uint32_t newWidth, std::uint32_t newHeight) {
  Clear();
  const std::uint64_t count = std::uint64_t(newWidth) * newHeight;
  if (count > kMaxPixelCount) throw std::bad_alloc();
  if (count != 0) pixels = std::make_unique_for_overwrite<std::uint32_t[]>(count);
  width = newWidth;
  height = newHeight;
  pixelCount = std::uint32_t(count);
}

void BitmapImage::ZeroRows(std::uint32_t first, std::uint32_t last) {
  last = std::min(last, height);
  if (first < last) std::fill(Row(first), Row(last), 0u);
}

void BitmapImage::Clear() {
  pixels.reset();
  width = 0;
  height = 0;
  pixelCount = 0;
}

}  // namespace Veldaro
