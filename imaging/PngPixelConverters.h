#pragma once
// Conversion of reconstructed PNG rows into 32-bit pixels (blue, green, red, alpha in memory).
//
// Samples are unpacked as the format packs them: samples below 8 bits from the most
// significant bits of each byte first, 16-bit samples big-endian, of which only the high byte
// is kept. Grayscale samples of 1 to 4 bits and palette indexes go through a table of 256
// ready pixels (the gray ramp, or the palette with its alpha); the other formats carry their
// colour, and alpha when they have it, in the samples (8-bit gray is its own ramp).

#include <cstdint>

namespace Veldaro {

enum class PngPixelFormat {
  Indexed1,  // 1-bit gray or palette index, through the table
  Indexed2,
  Indexed4,
  Indexed8,
  Gray8,   // 8-bit gray, opaque
  Gray16,  // 16-bit gray, opaque
  Rgb8,
  Rgb16,
  GrayAlpha8,
  GrayAlpha16,
  Rgba8,
  Rgba16,
};

// The format of a colour type (0, 2, 3, 4 or 6) and bit depth the header accepted.
PngPixelFormat PngPixelFormatOf(std::uint32_t colorType, std::uint32_t bitDepth);

// Converts count pixels from samples into pixels; table is used by the indexed formats.
void ConvertPngRow(PngPixelFormat format, const std::uint8_t* samples, std::uint32_t count, std::uint32_t* pixels,
                   const std::uint32_t* table);

}  // namespace Veldaro
