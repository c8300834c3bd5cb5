#include "imaging/PngPixelConverters.h"

#include <array>
#include <cstddef>

#include "base/CpuFeatures.h"

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace Veldaro {

namespace {

constexpr std::uint32_t kOpaque = 0xFF000000u;

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

// The formats whose pixels are made of their own samples alone: where in a pixel's bytes
// its blue, green, red and alpha come from (alpha -1: opaque).
struct SampleLayout {
  std::uint32_t bytes;  // bytes of a pixel
  int blue, green, red, alpha;
};

constexpr SampleLayout LayoutOf(PngPixelFormat format) {
  switch (format) {
    case PngPixelFormat::Gray8: return {1, 0, 0, 0, -1};
    case PngPixelFormat::Gray16: return {2, 0, 0, 0, -1};
    case PngPixelFormat::GrayAlpha8: return {2, 0, 0, 0, 1};
    case PngPixelFormat::GrayAlpha16: return {4, 0, 0, 0, 2};
    case PngPixelFormat::Rgb16: return {6, 4, 2, 0, -1};
    case PngPixelFormat::Rgba16: return {8, 4, 2, 0, 6};
    default: return {0, 0, 0, 0, -1};
  }
}

template <PngPixelFormat F>
void ConvertSamples(const std::uint8_t* s, std::size_t from, std::size_t count, std::uint32_t* p) {
  constexpr SampleLayout l = LayoutOf(F);
  for (std::size_t i = from; i < count; ++i) {
    const std::uint8_t* x = s + l.bytes * i;
    const std::uint32_t alpha = l.alpha < 0 ? 0xFFu : x[l.alpha];
    p[i] = alpha << 24 | std::uint32_t(x[l.red]) << 16 | std::uint32_t(x[l.green]) << 8 | x[l.blue];
  }
}

#if defined(__x86_64__)
// The byte shuffle that makes four pixels of format F from the bytes loaded at the first of
// them: pixels first to last - 1 (the others' bytes 0). Formats of up to 4 bytes a pixel
// need one 16-byte load for four pixels, the wider ones two (pixels 0 and 1, then 2 and 3).
template <PngPixelFormat F>
constexpr std::array<std::int8_t, 16> ShuffleOf(std::uint32_t first, std::uint32_t last) {
  constexpr SampleLayout l = LayoutOf(F);
  std::array<std::int8_t, 16> mask{};
  for (std::uint32_t k = 0; k < 4; ++k) {
    const bool used = k >= first && k < last;
    const int at = int((k - first) * l.bytes);
    const int channels[4] = {l.blue, l.green, l.red, l.alpha};
    for (std::uint32_t c = 0; c < 4; ++c)
      mask[4 * k + c] = std::int8_t(used && channels[c] >= 0 ? at + channels[c] : -128);
  }
  return mask;
}

// The shuffles of a format: of the first (or only) load, and of the second for the wide
// formats.
template <PngPixelFormat F>
struct Shuffles {
  static constexpr bool two = LayoutOf(F).bytes > 4;
  static constexpr std::array<std::int8_t, 16> low = ShuffleOf<F>(0, two ? 2 : 4);
  static constexpr std::array<std::int8_t, 16> high = ShuffleOf<F>(2, 4);
  static constexpr std::int32_t alpha = LayoutOf(F).alpha < 0 ? std::int32_t(kOpaque) : 0;
};

// Four pixels from the bytes at x (16 of them, and 16 more at x + 2 pixels for the wide
// formats), given the shuffles of ShuffleOf.
__attribute__((target("sse4.1"))) inline __m128i FourPixels(const std::uint8_t* x, std::uint32_t pixelBytes,
                                                            bool twoLoads, __m128i shuffle, __m128i shuffleHigh,
                                                            __m128i alpha) {
  __m128i v = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(x)), shuffle);
  if (twoLoads)
    v = _mm_or_si128(
        v, _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(x + 2 * pixelBytes)), shuffleHigh));
  return _mm_or_si128(v, alpha);
}

template <PngPixelFormat F>
__attribute__((target("sse4.1"))) void ConvertSamplesSse41(const std::uint8_t* s, std::size_t count, std::uint32_t* p) {
  constexpr SampleLayout l = LayoutOf(F);
  constexpr bool two = Shuffles<F>::two;
  const __m128i shuffle = _mm_loadu_si128(reinterpret_cast<const __m128i*>(Shuffles<F>::low.data()));
  const __m128i shuffleHigh = _mm_loadu_si128(reinterpret_cast<const __m128i*>(Shuffles<F>::high.data()));
  const __m128i alpha = _mm_set1_epi32(Shuffles<F>::alpha);
  // The last load ends 16 bytes after the pixel it starts at (two pixels further on for the
  // wide formats): it stays inside the samples.
  constexpr std::size_t reach = ((two ? 2 * l.bytes : 0) + 16 + l.bytes - 1) / l.bytes;
  std::size_t i = 0;
  for (; i + reach <= count; i += 4)
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p + i),
                     FourPixels(s + l.bytes * i, l.bytes, two, shuffle, shuffleHigh, alpha));
  ConvertSamples<F>(s, i, count, p);
}

// Eight pixels a step: the two halves of each register loaded four pixels apart.
template <PngPixelFormat F>
__attribute__((target("avx2"))) void ConvertSamplesAvx2(const std::uint8_t* s, std::size_t count, std::uint32_t* p) {
  constexpr SampleLayout l = LayoutOf(F);
  constexpr bool two = Shuffles<F>::two;
  const __m256i shuffle =
      _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(Shuffles<F>::low.data())));
  const __m256i shuffleHigh =
      _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(Shuffles<F>::high.data())));
  const __m256i alpha = _mm256_set1_epi32(Shuffles<F>::alpha);
  constexpr std::size_t reach = (4 * l.bytes + (two ? 2 * l.bytes : 0) + 16 + l.bytes - 1) / l.bytes;
  std::size_t i = 0;
  for (; i + reach <= count; i += 8) {
    const std::uint8_t* x = s + l.bytes * i;
    __m256i v = _mm256_shuffle_epi8(
        _mm256_loadu2_m128i(reinterpret_cast<const __m128i*>(x + 4 * l.bytes), reinterpret_cast<const __m128i*>(x)),
        shuffle);
    if constexpr (two)
      v = _mm256_or_si256(v, _mm256_shuffle_epi8(_mm256_loadu2_m128i(reinterpret_cast<const __m128i*>(x + 6 * l.bytes),
                                                                     reinterpret_cast<const __m128i*>(x + 2 * l.bytes)),
                                                 shuffleHigh));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(p + i), _mm256_or_si256(v, alpha));
  }
  ConvertSamplesSse41<F>(s + l.bytes * i, count - i, p + i);
}

// The best path of the level in use for a format of samples alone.
template <PngPixelFormat F>
void ConvertSamplesAtLevel(const std::uint8_t* s, std::size_t count, std::uint32_t* p) {
  if (CpuFeatures::UseAvx2()) return ConvertSamplesAvx2<F>(s, count, p);
  if (CpuFeatures::UseSse41()) return ConvertSamplesSse41<F>(s, count, p);
  ConvertSamples<F>(s, 0, count, p);
}
#else
template <PngPixelFormat F>
void ConvertSamplesAtLevel(const std::uint8_t* s, std::size_t count, std::uint32_t* p) {
  ConvertSamples<F>(s, 0, count, p);
}
#endif

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
    case 8: return colorType == 0 ? PngPixelFormat::Gray8 : PngPixelFormat::Indexed8;
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
    case PngPixelFormat::Gray8: ConvertSamplesAtLevel<PngPixelFormat::Gray8>(s, count, p); break;
    case PngPixelFormat::Gray16: ConvertSamplesAtLevel<PngPixelFormat::Gray16>(s, count, p); break;
    case PngPixelFormat::Rgb8:
#if defined(__x86_64__)
      if (CpuFeatures::UseAvx2()) return ConvertRgb8Avx2(s, count, p);
      if (CpuFeatures::UseSse41()) return ConvertRgb8Shuffle(s, count, p);
#endif
      ConvertRgb8(s, 0, count, p);
      break;
    case PngPixelFormat::Rgb16: ConvertSamplesAtLevel<PngPixelFormat::Rgb16>(s, count, p); break;
    case PngPixelFormat::GrayAlpha8: ConvertSamplesAtLevel<PngPixelFormat::GrayAlpha8>(s, count, p); break;
    case PngPixelFormat::GrayAlpha16: ConvertSamplesAtLevel<PngPixelFormat::GrayAlpha16>(s, count, p); break;
    case PngPixelFormat::Rgba8:
#if defined(__x86_64__)
      if (CpuFeatures::UseAvx2()) return ConvertRgba8Avx2(s, count, p);
      if (CpuFeatures::UseSse41()) return ConvertRgba8Shuffle(s, count, p);
#endif
      ConvertRgba8(s, 0, count, p);
      break;
    case PngPixelFormat::Rgba16: ConvertSamplesAtLevel<PngPixelFormat::Rgba16>(s, count, p); break;
  }
}

}  // namespace Veldaro
