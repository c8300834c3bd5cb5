#pragma once
// BitmapImage: a decoded picture of 32-bit pixels.
//
// Each pixel is four bytes in memory order blue, green, red, alpha; read as a little-endian
// 32-bit word that is alpha << 24 | red << 16 | green << 8 | blue. Alpha 255 is opaque, 0 fully
// transparent. Rows are stored top row first with nothing between them: pixel (x, y) is
// element y * Width() + x. An empty image has width, height and pixel count 0 and no pixels.

#include <cstddef>
#include <cstdint>
#include <memory>

namespace Veldaro {

class BitmapImage {
 public:
  BitmapImage() = default;
  virtual ~BitmapImage();
  BitmapImage(const BitmapImage&) = delete;
  BitmapImage& operator=(const BitmapImage&) = delete;

  // Discards the old pixels and allocates width x height pixels, all 0 (transparent black),
  // also when the size is unchanged. More than kMaxPixelCount pixels (DecoderLimits.h) throw
  // std::bad_alloc; the decoders refuse such sizes earlier with their own messages.
  void SetSize(std::uint32_t width, std::uint32_t height);
  // The same without setting the pixels: their values are undefined until written. For a
  // decoder that writes every pixel (or zeroes what it has not written) before anyone can
  // look at the image.
  void SetSizeForOverwrite(std::uint32_t width, std::uint32_t height);
  // Sets the rows from first up to (not including) last to 0; rows beyond the image are ignored.
  void ZeroRows(std::uint32_t first, std::uint32_t last);
  // Frees the pixels and makes the image empty.
  void Clear();

  std::uint32_t Width() const { return width; }
  std::uint32_t Height() const { return height; }
  std::uint32_t PixelCount() const { return pixelCount; }
  std::uint32_t* Pixels() { return pixels.get(); }
  const std::uint32_t* Pixels() const { return pixels.get(); }
  // First pixel of row y (y below Height()).
  std::uint32_t* Row(std::uint32_t y) { return pixels.get() + std::size_t(y) * width; }
  const std::uint32_t* Row(std::uint32_t y) const { return pixels.get() + std::size_t(y) * width; }

 private:
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  std::uint32_t pixelCount = 0;
  std::unique_ptr<std::uint32_t[]> pixels;  // null when the image is empty
};

// A pixel word from its four components.
inline constexpr std::uint32_t MakePixel(std::uint8_t red, std::uint8_t green, std::uint8_t blue, std::uint8_t alpha) {
  return std::uint32_t(alpha) << 24 | std::uint32_t(red) << 16 | std::uint32_t(green) << 8 | blue;
}

}  // namespace Veldaro
