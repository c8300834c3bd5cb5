#pragma once
// Windows bitmap files (BMP) and device-independent bitmaps (DIB, a BMP
// without its 14-byte file header, as RT_BITMAP resources and icons hold
// them): reading of 1, 4, 8, 16, 24 and 32 bits per pixel, uncompressed, RLE8,
// RLE4 and bit-field masks, with the old 12-byte header and the newer ones;
// writing of 24 and 32 bits per pixel, uncompressed.

#include <cstddef>
#include <cstdint>
#include <vector>

struct BmpImage {
  int width = 0;
  int height = 0;
  int bitCount = 0;
  // Pixels, blue, green, red, alpha in memory, rows from the top. Formats
  // without alpha give 255; 32-bit pixels keep their fourth byte.
  std::vector<std::uint32_t> pixels;
  // Where the pixel rows start and how long a row is, in the input bytes
  // (icons keep their transparency mask after the rows).
  std::size_t pixelOffset = 0;
  std::size_t rowStride = 0;
};

// Largest picture read or made, in pixels (256 MiB of pixels).
inline constexpr long long kMaxBitmapPixels = 1LL << 26;

// Reads a BMP file (`fileHeader` true) or a DIB. Raises EInvalidGraphic when
// the data is not a bitmap, is truncated or is larger than kMaxBitmapPixels.
// `consumed` receives the number of bytes the bitmap occupies.
BmpImage ReadBmp(const std::uint8_t* data, std::size_t size, bool fileHeader, std::size_t* consumed = nullptr);

// A BMP file of the pixels (rows from the top), 24 or 32 bits per pixel.
std::vector<std::uint8_t> WriteBmp(const std::uint32_t* pixels, int width, int height, int bitCount);
