#pragma once
// What one decoded picture may cost.
//
// A header of a few bytes can announce sizes whose pixels and working buffers would take
// gigabytes; no picture of a web page comes near them. Every decoder therefore adds up, in
// 64 bits, what it is about to hold for an image (the pixel array and its own row buffers,
// planes and coefficient tables) and refuses the image, in its own words ("Image too large"),
// before it allocates any of it. The limits leave room for every real picture: 64 Mi pixels
// is 8192 x 8192, and a progressive CMYK JPEG of 40 megapixels still fits the working memory.

#include <cstdint>
#include <limits>

namespace Veldaro {

#if defined(TARNWELL_FUZZING)
// The decoders as the fuzz targets build them refuse frames above four megapixels once the
// header is read: a few bytes that announce a huge frame would otherwise cost seconds each
// (allocated, filled and decoded), and the fuzzer would try a few inputs a second instead of
// hundreds. The refusal takes the same path as at the real limits, which the unit tests
// check.
inline constexpr std::uint64_t kMaxPixelCount = std::uint64_t(1) << 22;
inline constexpr std::uint64_t kMaxWorkingBytes = std::uint64_t(1) << 26;
#else
// The most pixels one image may have.
inline constexpr std::uint64_t kMaxPixelCount = std::uint64_t(1) << 26;
// The most bytes a decoder may hold for one image: its pixels and its own buffers together.
inline constexpr std::uint64_t kMaxWorkingBytes = std::uint64_t(1) << 30;
#endif
// Bytes of one pixel of a BitmapImage.
inline constexpr std::uint64_t kBytesPerPixel = 4;

// a x b, or the largest value when the product does not fit 64 bits (it is then far beyond
// every limit anyway).
constexpr std::uint64_t SaturatingProduct(std::uint64_t a, std::uint64_t b) {
  std::uint64_t product = 0;
  return __builtin_mul_overflow(a, b, &product) ? std::numeric_limits<std::uint64_t>::max() : product;
}

// a + b, or the largest value when the sum does not fit 64 bits.
constexpr std::uint64_t SaturatingSum(std::uint64_t a, std::uint64_t b) {
  std::uint64_t sum = 0;
  return __builtin_add_overflow(a, b, &sum) ? std::numeric_limits<std::uint64_t>::max() : sum;
}

// True when an image of width x height pixels, with bufferBytes of the decoder's own buffers
// beside its pixel array, stays within kMaxPixelCount and kMaxWorkingBytes.
constexpr bool WithinDecoderLimits(std::uint32_t width, std::uint32_t height, std::uint64_t bufferBytes) {
  const std::uint64_t pixels = std::uint64_t(width) * height;
  return pixels <= kMaxPixelCount &&
         SaturatingSum(SaturatingProduct(pixels, kBytesPerPixel), bufferBytes) <= kMaxWorkingBytes;
}

}  // namespace Veldaro
