#include "imaging/PngPixelConverters.h"

#include <cstddef>

#include "core/CpuFeatures.h"

#if defined(__x86_64__)
#include <immintrin.h>
#endif

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

void ConvertRgb8(const std::uint8_t* s, std::size_t from, std::size_t count, std::uint32_t* p) {
  for (std::size_t i = from; i < count; ++i)
    p[i] = kOpaque | std::uint32_t(s[3 * i]) << 16 | std::uint32_t(s[3 * i + 1]) << 8 | s[3 * i + 2];
}

void ConvertRgba8(const std::uint8_t* s, std::size_t from, std::size_t count, std::uint32_t* p) {
  for (std::size_t i = from; i < count; ++i)
    p[i] = std::uint32_t(s[4 * i + 3]) << 24 | std::uint32_t(s[4 * i]) << 16 | std::uint32_t(s[4 * i + 1]) << 8 |
           s[4 * i + 2];
}

#if defined(__x86_64__)
// Byte shuffles that put four pixels of red, green, blue (alpha) samples into blue, green,
// red, alpha order; -128 gives 0, to be made opaque.
#define TARNWELL_RGB_TO_BGRA 2, 1, 0, -128, 5, 4, 3, -128, 8, 7, 6, -128, 11, 10, 9, -128
#define TARNWELL_RGBA_TO_BGRA 2, 1, 0, 3, 6, 5, 4, 7, 10, 9, 8, 11, 14, 13, 12, 15

// Four pixels from 16 loaded bytes (12 used): the loads stay inside the row while 6 pixels
// are left, the rest goes the scalar way.
__attribute__((target("sse4.1"))) void ConvertRgb8Shuffle(const std::uint8_t* s, std::size_t count, std::uint32_t* p) {
  const __m128i order = _mm_setr_epi8(TARNWELL_RGB_TO_BGRA);
  const __m128i opaque = _mm_set1_epi32(std::int32_t(kOpaque));
  std::size_t i = 0;
  for (; i + 6 <= count; i += 4) {
    __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 3 * i));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p + i), _mm_or_si128(_mm_shuffle_epi8(v, order), opaque));
  }
  ConvertRgb8(s, i, count, p);
}

// Eight pixels from two 16-byte loads 12 bytes apart, while 10 pixels are left.
__attribute__((target("avx2"))) void ConvertRgb8Avx2(const std::uint8_t* s, std::size_t count, std::uint32_t* p) {
  const __m256i order = _mm256_setr_epi8(TARNWELL_RGB_TO_BGRA, TARNWELL_RGB_TO_BGRA);
  const __m256i opaque = _mm256_set1_epi32(std::int32_t(kOpaque));
  std::size_t i = 0;
  for (; i + 10 <= count; i += 8) {
    __m256i v = _mm256_loadu2_m128i(reinterpret_cast<const __m128i*>(s + 3 * i + 12),
                                    reinterpret_cast<const __m128i*>(s + 3 * i));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(p + i), _mm256_or_si256(_mm256_shuffle_epi8(v, order), opaque));
  }
  ConvertRgb8Shuffle(s + 3 * i, count - i, p + i);
}

__attribute__((target("sse4.1"))) void ConvertRgba8Shuffle(const std::uint8_t* s, std::size_t count, std::uint32_t* p) {
  const __m128i order = _mm_setr_epi8(TARNWELL_RGBA_TO_BGRA);
  std::size_t i = 0;
  for (; i + 4 <= count; i += 4) {
    __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 4 * i));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p + i), _mm_shuffle_epi8(v, order));
  }
  ConvertRgba8(s, i, count, p);
}

__attribute__((target("avx2"))) void ConvertRgba8Avx2(const std::uint8_t* s, std::size_t count, std::uint32_t* p) {
  const __m256i order = _mm256_setr_epi8(TARNWELL_RGBA_TO_BGRA, TARNWELL_RGBA_TO_BGRA);
  std::size_t i = 0;
  for (; i + 8 <= count; i += 8) {
    __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + 4 * i));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(p + i), _mm256_shuffle_epi8(v, order));
  }
  ConvertRgba8Shuffle(s + 4 * i, count - i, p + i);
}
#undef TARNWELL_RGB_TO_BGRA
#undef TARNWELL_RGBA_TO_BGRA
#endif

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
#if defined(__x86_64__)
      if (CpuFeatures::UseAvx2()) return ConvertRgb8Avx2(s, count, p);
      if (CpuFeatures::UseSse41()) return ConvertRgb8Shuffle(s, count, p);
#endif
      ConvertRgb8(s, 0, count, p);
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
#if defined(__x86_64__)
      if (CpuFeatures::UseAvx2()) return ConvertRgba8Avx2(s, count, p);
      if (CpuFeatures::UseSse41()) return ConvertRgba8Shuffle(s, count, p);
#endif
      ConvertRgba8(s, 0, count, p);
      break;
    case PngPixelFormat::Rgba16:
      for (std::size_t i = 0; i < count; ++i)
        p[i] = std::uint32_t(s[8 * i + 6]) << 24 | std::uint32_t(s[8 * i]) << 16 | std::uint32_t(s[8 * i + 2]) << 8 |
               s[8 * i + 4];
      break;
  }
}

}  // namespace Veldaro
