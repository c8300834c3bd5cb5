#include "imaging/BitmapImage.h"

#include <new>

namespace Veldaro {

BitmapImage::~BitmapImage() { Clear(); }

void BitmapImage::SetSize(std::uint32_t newWidth, std::uint32_t newHeight) {
  Clear();
  if (!SizeAllowed(newWidth, newHeight)) throw std::bad_alloc();
  std::uint32_t count = newWidth * newHeight;  // fits: at most MaxPixelCount
  if (count != 0) pixels = new std::uint32_t[count]();
  width = newWidth;
  height = newHeight;
  pixelCount = count;
}

void BitmapImage::Clear() {
  delete[] pixels;
  pixels = nullptr;
  width = 0;
  height = 0;
  pixelCount = 0;
}

}  // namespace Veldaro
