#include "imaging/PngPixelConverters.h"

#include <cstddef>

namespace Veldaro {

namespace {

constexpr std::uint32_t kOpaque = 0xFF000000u;

inline std::uint32_t Gray(std::uint32_t g) { return g * 0x010101u; }

// Samples of bits bits (1, 2 or 4), most significant first, through the table.
template <std::uint32_t Bits>
void ConvertIndexed(const std::uint8_t* s, std::uint32_t count, std::uint32_t* p, const std::uint32_t* table) {
  constexpr std::uint32_t perByte = 8 / Bits;
  constexpr std::uint32_t mask = (1u << Bits) - 1;
  const std::size_t whole = count / perByte;
  for (std::size_t i = 0; i < whole; ++i) {
    std::uint32_t b = s[i];
    for (std::uint32_t k = 0; k < perByte; ++k) p[k] = table[(b >> (8 - Bits * (k + 1))) & mask];
    p += perByte;
  }
  if (count % perByte != 0) {
    std::uint32_t b = s[whole];
    for (std::uint32_t k = 0; k < count % perByte; ++k) p[k] = table[(b >> (8 - Bits * (k + 1))) & mask];
  }
}

}  // namespace

PngPixelFormat PngPixelFormatOf(std::uint32_t colorType, std::uint32_t bitDepth) {
  bool wide = bitDepth == 16;
  switch (colorType) {
    case 2: return wide ? PngPixelFormat::Rgb16 : PngPixelFormat::Rgb8;
    case 4: return wide ? PngPixelFormat::GrayAlpha16 : PngPixelFormat::GrayAlpha8;
    case 6: return wide ? PngPixelFormat::Rgba16 : PngPixelFormat::Rgba8;
    default: break;
  }
  switch (bitDepth) {
    case 1: return PngPixelFormat::Indexed1;
    case 2: return PngPixelFormat::Indexed2;
    case 4: return PngPixelFormat::Indexed4;
    case 16: return PngPixelFormat::Gray16;
    default: return PngPixelFormat::Indexed8;
  }
}

void ConvertPngRow(PngPixelFormat format, const std::uint8_t* s, std::uint32_t count, std::uint32_t* p,
                   const std::uint32_t* table) {
  switch (format) {
    case PngPixelFormat::Indexed1: ConvertIndexed<1>(s, count, p, table); break;
    case PngPixelFormat::Indexed2: ConvertIndexed<2>(s, count, p, table); break;
    case PngPixelFormat::Indexed4: ConvertIndexed<4>(s, count, p, table); break;
    case PngPixelFormat::Indexed8:
      for (std::size_t i = 0; i < count; ++i) p[i] = table[s[i]];
      break;
    case PngPixelFormat::Gray16:
      for (std::size_t i = 0; i < count; ++i) p[i] = kOpaque | Gray(s[2 * i]);
      break;
    case PngPixelFormat::Rgb8:
      for (std::size_t i = 0; i < count; ++i)
        p[i] = kOpaque | std::uint32_t(s[3 * i]) << 16 | std::uint32_t(s[3 * i + 1]) << 8 | s[3 * i + 2];
      break;
    case PngPixelFormat::Rgb16:
      for (std::size_t i = 0; i < count; ++i)
        p[i] = kOpaque | std::uint32_t(s[6 * i]) << 16 | std::uint32_t(s[6 * i + 2]) << 8 | s[6 * i + 4];
      break;
    case PngPixelFormat::GrayAlpha8:
      for (std::size_t i = 0; i < count; ++i) p[i] = std::uint32_t(s[2 * i + 1]) << 24 | Gray(s[2 * i]);
      break;
    case PngPixelFormat::GrayAlpha16:
      for (std::size_t i = 0; i < count; ++i) p[i] = std::uint32_t(s[4 * i + 2]) << 24 | Gray(s[4 * i]);
      break;
    case PngPixelFormat::Rgba8:
      for (std::size_t i = 0; i < count; ++i)
        p[i] = std::uint32_t(s[4 * i + 3]) << 24 | std::uint32_t(s[4 * i]) << 16 | std::uint32_t(s[4 * i + 1]) << 8 |
               s[4 * i + 2];
      break;
    case PngPixelFormat::Rgba16:
      for (std::size_t i = 0; i < count; ++i)
        p[i] = std::uint32_t(s[8 * i + 6]) << 24 | std::uint32_t(s[8 * i]) << 16 | std::uint32_t(s[8 * i + 2]) << 8 |
               s[8 * i + 4];
      break;
  }
}

}  // namespace Veldaro
