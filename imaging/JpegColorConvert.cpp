// The row kernels of the JPEG colour conversions: scalar versions, and vector versions that
// do the same integer arithmetic on 16 or 32 pixels at a time.

#include "imaging/JpegColorConvert.h"

#include <cmath>

#include "base/CpuFeatures.h"

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace VeldaroPrivate::JpegColorConvert {

namespace {

// The YCbCr to RGB tables of the JFIF conversion, indexed by the Cb or Cr sample.
struct YCbCrTables {
  std::int32_t crToRed[256];
  std::int32_t cbToBlue[256];
  std::int32_t cbToGreen[256];  // 16 fraction bits
  std::int32_t crToGreen[256];  // 16 fraction bits

  YCbCrTables() {
    for (std::int32_t i = 0; i < 256; ++i) {
      double d = double(i - 128);
      crToRed[i] = std::int32_t(std::lround(1.402 * d));
      cbToBlue[i] = std::int32_t(std::lround(1.772 * d));
      cbToGreen[i] = std::int32_t(std::lround(0.34414 * 65536.0 * d));
      crToGreen[i] = std::int32_t(std::lround(0.71414 * 65536.0 * d));
    }
  }
};

const YCbCrTables& Tables() {
  static const YCbCrTables tables;
  return tables;
}

// The same conversion as integer arithmetic without tables. The constants reproduce every
// entry of the tables (red and blue offsets of each sample, and the rounded green offset of
// each Cb, Cr pair); that is checked once against the tables, and the tables are used if it
// ever failed.
constexpr std::int32_t RedFactor = 5743;         // 1.402 << 12
constexpr std::int32_t BlueFactor = 58065;       // 1.772 << 15
constexpr std::int32_t GreenCbFactor = 2886856;  // 0.34414 << 23
constexpr std::int32_t GreenCrFactor = 5990641;  // 0.71414 << 23
constexpr std::int32_t GreenRounding = 4194306;

inline std::int32_t RedOffset(std::int32_t cr) { return (RedFactor * (cr - 128) + 2048) >> 12; }
inline std::int32_t BlueOffset(std::int32_t cb) { return (BlueFactor * (cb - 128) + 16384) >> 15; }
inline std::int32_t GreenOffset(std::int32_t cb, std::int32_t cr) {
  return (GreenCbFactor * (cb - 128) + GreenCrFactor * (cr - 128) + GreenRounding) >> 23;
}

bool FormulasMatchTables() {
  const YCbCrTables& t = Tables();
  for (std::int32_t cb = 0; cb < 256; ++cb) {
    if (RedOffset(cb) != t.crToRed[cb] || BlueOffset(cb) != t.cbToBlue[cb]) return false;
    for (std::int32_t cr = 0; cr < 256; ++cr) {
      if (GreenOffset(cb, cr) != (t.cbToGreen[cb] + t.crToGreen[cr] + 32768) >> 16) return false;
    }
  }
  return true;
}

bool UseFormulas() {
  static const bool match = FormulasMatchTables();
  return match;
}

inline std::uint32_t Clamp255(std::int32_t value) { return std::uint32_t(value < 0 ? 0 : value > 255 ? 255 : value); }

inline std::uint32_t Pixel(std::uint32_t red, std::uint32_t green, std::uint32_t blue) {
  return 0xFF000000u | red << 16 | green << 8 | blue;
}

void YCbCrScalar(const std::uint8_t* luma, const std::uint8_t* cb, const std::uint8_t* cr, std::uint32_t* out,
                 std::uint32_t from, std::uint32_t width) {
  for (std::uint32_t x = from; x < width; ++x) {
    std::int32_t l = luma[x];
    out[x] =
        Pixel(Clamp255(l + RedOffset(cr[x])), Clamp255(l - GreenOffset(cb[x], cr[x])), Clamp255(l + BlueOffset(cb[x])));
  }
}

void YCbCrByTables(const std::uint8_t* luma, const std::uint8_t* cb, const std::uint8_t* cr, std::uint32_t* out,
                   std::uint32_t width) {
  const YCbCrTables& t = Tables();
  for (std::uint32_t x = 0; x < width; ++x) {
    std::int32_t l = luma[x];
    std::int32_t green = (t.cbToGreen[cb[x]] + t.crToGreen[cr[x]] + 32768) >> 16;
    out[x] = Pixel(Clamp255(l + t.crToRed[cr[x]]), Clamp255(l - green), Clamp255(l + t.cbToBlue[cb[x]]));
  }
}

void OffsetsScalar(const std::uint8_t* cb, const std::uint8_t* cr, std::int16_t* red, std::int16_t* green,
                   std::int16_t* blue, std::uint32_t from, std::uint32_t count) {
  const YCbCrTables& t = Tables();
  const bool formulas = UseFormulas();
  for (std::uint32_t x = from; x < count; ++x) {
    if (formulas) {
      red[x] = std::int16_t(RedOffset(cr[x]));
      green[x] = std::int16_t(GreenOffset(cb[x], cr[x]));
      blue[x] = std::int16_t(BlueOffset(cb[x]));
    } else {
      red[x] = std::int16_t(t.crToRed[cr[x]]);
      green[x] = std::int16_t((t.cbToGreen[cb[x]] + t.crToGreen[cr[x]] + 32768) >> 16);
      blue[x] = std::int16_t(t.cbToBlue[cb[x]]);
    }
  }
}

void HalfWidthScalar(const std::uint8_t* luma, const std::int16_t* red, const std::int16_t* green,
                     const std::int16_t* blue, std::uint32_t* out, std::uint32_t from, std::uint32_t width) {
  for (std::uint32_t x = from; x < width; ++x) {
    std::int32_t l = luma[x];
    out[x] = Pixel(Clamp255(l + red[x / 2]), Clamp255(l - green[x / 2]), Clamp255(l + blue[x / 2]));
  }
}

void GrayScalar(const std::uint8_t* gray, std::uint32_t* out, std::uint32_t from, std::uint32_t width) {
  for (std::uint32_t x = from; x < width; ++x) out[x] = 0xFF000000u | std::uint32_t(gray[x]) * 0x010101u;
}

void CmykScalar(const std::uint8_t* c1, const std::uint8_t* c2, const std::uint8_t* c3, const std::uint8_t* c4,
                std::uint32_t* out, std::uint32_t from, std::uint32_t width) {
  for (std::uint32_t x = from; x < width; ++x) {
    std::int32_t black = 255 - std::int32_t(c4[x]);
    out[x] = Pixel(Clamp255(std::int32_t(c1[x]) - black), Clamp255(std::int32_t(c2[x]) - black),
                   Clamp255(std::int32_t(c3[x]) - black));
  }
}

void ReplicateScalar(const std::uint8_t* samples, std::uint32_t ratio, std::uint8_t* buffer, std::uint32_t from,
                     std::uint32_t width) {
  for (std::uint32_t x = from; x < width; ++x) buffer[x] = samples[x / ratio];
}

#if defined(__x86_64__)

// Vector kernels. Each returns the number of pixels it converted (a multiple of its step);
// the scalar kernel does the rest of the row.

constexpr std::int16_t GreenCbHigh = GreenCbFactor >> 16;    // the factors split in 16-bit halves
constexpr std::int16_t GreenCbLow = GreenCbFactor & 0xFFFF;  // so that the products of the
constexpr std::int16_t GreenCrHigh = GreenCrFactor >> 16;    // sample pairs (multiply-add of
constexpr std::int16_t GreenCrLow = GreenCrFactor & 0xFFFF;  // 16-bit pairs) add up exactly
static_assert(GreenCbLow >= 0 && GreenCrLow >= 0 && GreenCbFactor == GreenCbHigh * 65536 + GreenCbLow &&
              GreenCrFactor == GreenCrHigh * 65536 + GreenCrLow);
// Blue: 58065 x = 65536 x - 7471 x, so the offset is 2 x + ((16384 - 7471 x) >> 15).
constexpr std::int16_t BlueRest = std::int16_t(BlueFactor - 65536);
static_assert(BlueRest < 0);

// The offsets of eight Cb, Cr pairs (each less 128, as 16-bit lanes) into red, green, blue.
__attribute__((target("sse2"))) inline void OffsetsSse2(__m128i cb, __m128i cr, __m128i& red, __m128i& green,
                                                        __m128i& blue) {
  const __m128i ones = _mm_set1_epi16(1);
  const __m128i redFactors = _mm_setr_epi16(RedFactor, 2048, RedFactor, 2048, RedFactor, 2048, RedFactor, 2048);
  const __m128i blueFactors = _mm_setr_epi16(BlueRest, 16384, BlueRest, 16384, BlueRest, 16384, BlueRest, 16384);
  const __m128i greenHigh = _mm_setr_epi16(GreenCbHigh, GreenCrHigh, GreenCbHigh, GreenCrHigh, GreenCbHigh, GreenCrHigh,
                                           GreenCbHigh, GreenCrHigh);
  const __m128i greenLow =
      _mm_setr_epi16(GreenCbLow, GreenCrLow, GreenCbLow, GreenCrLow, GreenCbLow, GreenCrLow, GreenCbLow, GreenCrLow);
  const __m128i greenRounding = _mm_set1_epi32(GreenRounding);
  __m128i r0 = _mm_srai_epi32(_mm_madd_epi16(_mm_unpacklo_epi16(cr, ones), redFactors), 12);
  __m128i r1 = _mm_srai_epi32(_mm_madd_epi16(_mm_unpackhi_epi16(cr, ones), redFactors), 12);
  red = _mm_packs_epi32(r0, r1);
  __m128i b0 = _mm_srai_epi32(_mm_madd_epi16(_mm_unpacklo_epi16(cb, ones), blueFactors), 15);
  __m128i b1 = _mm_srai_epi32(_mm_madd_epi16(_mm_unpackhi_epi16(cb, ones), blueFactors), 15);
  blue = _mm_add_epi16(_mm_packs_epi32(b0, b1), _mm_add_epi16(cb, cb));
  __m128i pairs0 = _mm_unpacklo_epi16(cb, cr);
  __m128i pairs1 = _mm_unpackhi_epi16(cb, cr);
  __m128i g0 = _mm_add_epi32(_mm_slli_epi32(_mm_madd_epi16(pairs0, greenHigh), 16), _mm_madd_epi16(pairs0, greenLow));
  __m128i g1 = _mm_add_epi32(_mm_slli_epi32(_mm_madd_epi16(pairs1, greenHigh), 16), _mm_madd_epi16(pairs1, greenLow));
  g0 = _mm_srai_epi32(_mm_add_epi32(g0, greenRounding), 23);
  g1 = _mm_srai_epi32(_mm_add_epi32(g1, greenRounding), 23);
  green = _mm_packs_epi32(g0, g1);
}

// Sixteen pixels from 16-bit lanes of blue, green and red already within 0..255 (as bytes).
__attribute__((target("sse2"))) inline void StorePixelsSse2(__m128i blue, __m128i green, __m128i red,
                                                            std::uint32_t* out) {
  const __m128i opaque = _mm_set1_epi8(char(0xFF));
  __m128i bg0 = _mm_unpacklo_epi8(blue, green);
  __m128i bg1 = _mm_unpackhi_epi8(blue, green);
  __m128i ra0 = _mm_unpacklo_epi8(red, opaque);
  __m128i ra1 = _mm_unpackhi_epi8(red, opaque);
  _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_unpacklo_epi16(bg0, ra0));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 4), _mm_unpackhi_epi16(bg0, ra0));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 8), _mm_unpacklo_epi16(bg1, ra1));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 12), _mm_unpackhi_epi16(bg1, ra1));
}

__attribute__((target("sse2"))) std::uint32_t YCbCrSse2(const std::uint8_t* luma, const std::uint8_t* cb,
                                                        const std::uint8_t* cr, std::uint32_t* out,
                                                        std::uint32_t width) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i level = _mm_set1_epi16(128);
  std::uint32_t x = 0;
  for (; x + 16 <= width; x += 16) {
    __m128i l = _mm_loadu_si128(reinterpret_cast<const __m128i*>(luma + x));
    __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(cb + x));
    __m128i r = _mm_loadu_si128(reinterpret_cast<const __m128i*>(cr + x));
    __m128i channel[3][2];  // blue, green, red of pixels 0-7 and 8-15
    for (int half = 0; half < 2; ++half) {
      __m128i l16 = half == 0 ? _mm_unpacklo_epi8(l, zero) : _mm_unpackhi_epi8(l, zero);
      __m128i b16 = _mm_sub_epi16(half == 0 ? _mm_unpacklo_epi8(b, zero) : _mm_unpackhi_epi8(b, zero), level);
      __m128i r16 = _mm_sub_epi16(half == 0 ? _mm_unpacklo_epi8(r, zero) : _mm_unpackhi_epi8(r, zero), level);
      __m128i redOffset, greenOffset, blueOffset;
      OffsetsSse2(b16, r16, redOffset, greenOffset, blueOffset);
      channel[0][half] = _mm_add_epi16(l16, blueOffset);
      channel[1][half] = _mm_sub_epi16(l16, greenOffset);
      channel[2][half] = _mm_add_epi16(l16, redOffset);
    }
    // Unsigned saturation is the clamp to 0..255.
    StorePixelsSse2(_mm_packus_epi16(channel[0][0], channel[0][1]), _mm_packus_epi16(channel[1][0], channel[1][1]),
                    _mm_packus_epi16(channel[2][0], channel[2][1]), out + x);
  }
  return x;
}

__attribute__((target("avx2"))) inline void OffsetsAvx2(__m256i cb, __m256i cr, __m256i& red, __m256i& green,
                                                        __m256i& blue) {
  const __m256i ones = _mm256_set1_epi16(1);
  const __m256i redFactors = _mm256_set1_epi32(std::int32_t(std::uint32_t(2048) << 16 | std::uint16_t(RedFactor)));
  const __m256i blueFactors = _mm256_set1_epi32(std::int32_t(std::uint32_t(16384) << 16 | std::uint16_t(BlueRest)));
  const __m256i greenHigh =
      _mm256_set1_epi32(std::int32_t(std::uint32_t(std::uint16_t(GreenCrHigh)) << 16 | std::uint16_t(GreenCbHigh)));
  const __m256i greenLow =
      _mm256_set1_epi32(std::int32_t(std::uint32_t(std::uint16_t(GreenCrLow)) << 16 | std::uint16_t(GreenCbLow)));
  const __m256i greenRounding = _mm256_set1_epi32(GreenRounding);
  // The unpacks work within 128-bit halves; the packs put the lanes back in order.
  __m256i r0 = _mm256_srai_epi32(_mm256_madd_epi16(_mm256_unpacklo_epi16(cr, ones), redFactors), 12);
  __m256i r1 = _mm256_srai_epi32(_mm256_madd_epi16(_mm256_unpackhi_epi16(cr, ones), redFactors), 12);
  red = _mm256_packs_epi32(r0, r1);
  __m256i b0 = _mm256_srai_epi32(_mm256_madd_epi16(_mm256_unpacklo_epi16(cb, ones), blueFactors), 15);
  __m256i b1 = _mm256_srai_epi32(_mm256_madd_epi16(_mm256_unpackhi_epi16(cb, ones), blueFactors), 15);
  blue = _mm256_add_epi16(_mm256_packs_epi32(b0, b1), _mm256_add_epi16(cb, cb));
  __m256i pairs0 = _mm256_unpacklo_epi16(cb, cr);
  __m256i pairs1 = _mm256_unpackhi_epi16(cb, cr);
  __m256i g0 = _mm256_add_epi32(_mm256_slli_epi32(_mm256_madd_epi16(pairs0, greenHigh), 16),
                                _mm256_madd_epi16(pairs0, greenLow));
  __m256i g1 = _mm256_add_epi32(_mm256_slli_epi32(_mm256_madd_epi16(pairs1, greenHigh), 16),
                                _mm256_madd_epi16(pairs1, greenLow));
  g0 = _mm256_srai_epi32(_mm256_add_epi32(g0, greenRounding), 23);
  g1 = _mm256_srai_epi32(_mm256_add_epi32(g1, greenRounding), 23);
  green = _mm256_packs_epi32(g0, g1);
}

// Sixteen pixels from 16-bit lanes of blue, green and red, clamped to 0..255 here.
__attribute__((target("avx2"))) inline void StorePixelsAvx2(__m256i blue, __m256i green, __m256i red,
                                                            std::uint32_t* out) {
  const __m256i zero = _mm256_setzero_si256();
  const __m256i most = _mm256_set1_epi16(255);
  const __m256i alpha = _mm256_set1_epi16(std::int16_t(0xFF00));
  blue = _mm256_min_epi16(_mm256_max_epi16(blue, zero), most);
  green = _mm256_min_epi16(_mm256_max_epi16(green, zero), most);
  red = _mm256_min_epi16(_mm256_max_epi16(red, zero), most);
  __m256i bg = _mm256_or_si256(blue, _mm256_slli_epi16(green, 8));
  __m256i ra = _mm256_or_si256(red, alpha);
  __m256i p0 = _mm256_unpacklo_epi16(bg, ra);  // pixels 0-3 and 8-11
  __m256i p1 = _mm256_unpackhi_epi16(bg, ra);  // pixels 4-7 and 12-15
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(out), _mm256_permute2x128_si256(p0, p1, 0x20));
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + 8), _mm256_permute2x128_si256(p0, p1, 0x31));
}

__attribute__((target("avx2"))) std::uint32_t YCbCrAvx2(const std::uint8_t* luma, const std::uint8_t* cb,
                                                        const std::uint8_t* cr, std::uint32_t* out,
                                                        std::uint32_t width) {
  const __m256i level = _mm256_set1_epi16(128);
  std::uint32_t x = 0;
  for (; x + 16 <= width; x += 16) {
    __m256i l = _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(luma + x)));
    __m256i b =
        _mm256_sub_epi16(_mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(cb + x))), level);
    __m256i r =
        _mm256_sub_epi16(_mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(cr + x))), level);
    __m256i redOffset, greenOffset, blueOffset;
    OffsetsAvx2(b, r, redOffset, greenOffset, blueOffset);
    StorePixelsAvx2(_mm256_add_epi16(l, blueOffset), _mm256_sub_epi16(l, greenOffset), _mm256_add_epi16(l, redOffset),
                    out + x);
  }
  return x;
}

__attribute__((target("sse2"))) std::uint32_t OffsetsSse2(const std::uint8_t* cb, const std::uint8_t* cr,
                                                          std::int16_t* red, std::int16_t* green, std::int16_t* blue,
                                                          std::uint32_t count) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i level = _mm_set1_epi16(128);
  std::uint32_t x = 0;
  for (; x + 8 <= count; x += 8) {
    __m128i b =
        _mm_sub_epi16(_mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(cb + x)), zero), level);
    __m128i r =
        _mm_sub_epi16(_mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(cr + x)), zero), level);
    __m128i redOffset, greenOffset, blueOffset;
    OffsetsSse2(b, r, redOffset, greenOffset, blueOffset);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(red + x), redOffset);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(green + x), greenOffset);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(blue + x), blueOffset);
  }
  return x;
}

__attribute__((target("sse2"))) std::uint32_t HalfWidthSse2(const std::uint8_t* luma, const std::int16_t* red,
                                                            const std::int16_t* green, const std::int16_t* blue,
                                                            std::uint32_t* out, std::uint32_t width) {
  const __m128i zero = _mm_setzero_si128();
  std::uint32_t x = 0;
  for (; x + 16 <= width; x += 16) {
    __m128i l = _mm_loadu_si128(reinterpret_cast<const __m128i*>(luma + x));
    __m128i r = _mm_loadu_si128(reinterpret_cast<const __m128i*>(red + x / 2));
    __m128i g = _mm_loadu_si128(reinterpret_cast<const __m128i*>(green + x / 2));
    __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(blue + x / 2));
    __m128i l0 = _mm_unpacklo_epi8(l, zero);
    __m128i l1 = _mm_unpackhi_epi8(l, zero);
    // Each offset serves two pixels; unsigned saturation is the clamp to 0..255.
    __m128i blue8 =
        _mm_packus_epi16(_mm_add_epi16(l0, _mm_unpacklo_epi16(b, b)), _mm_add_epi16(l1, _mm_unpackhi_epi16(b, b)));
    __m128i green8 =
        _mm_packus_epi16(_mm_sub_epi16(l0, _mm_unpacklo_epi16(g, g)), _mm_sub_epi16(l1, _mm_unpackhi_epi16(g, g)));
    __m128i red8 =
        _mm_packus_epi16(_mm_add_epi16(l0, _mm_unpacklo_epi16(r, r)), _mm_add_epi16(l1, _mm_unpackhi_epi16(r, r)));
    StorePixelsSse2(blue8, green8, red8, out + x);
  }
  return x;
}

__attribute__((target("avx2"))) std::uint32_t OffsetsAvx2(const std::uint8_t* cb, const std::uint8_t* cr,
                                                          std::int16_t* red, std::int16_t* green, std::int16_t* blue,
                                                          std::uint32_t count) {
  const __m256i level = _mm256_set1_epi16(128);
  std::uint32_t x = 0;
  for (; x + 16 <= count; x += 16) {
    __m256i b =
        _mm256_sub_epi16(_mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(cb + x))), level);
    __m256i r =
        _mm256_sub_epi16(_mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(cr + x))), level);
    __m256i redOffset, greenOffset, blueOffset;
    OffsetsAvx2(b, r, redOffset, greenOffset, blueOffset);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(red + x), redOffset);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(green + x), greenOffset);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(blue + x), blueOffset);
  }
  return x;
}

// Eight 16-bit offsets, each twice: sixteen lanes in pixel order.
__attribute__((target("avx2"))) inline __m256i Doubled(const std::int16_t* offsets) {
  __m256i wide = _mm256_cvtepu16_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(offsets)));
  return _mm256_or_si256(wide, _mm256_slli_epi32(wide, 16));
}

__attribute__((target("avx2"))) std::uint32_t HalfWidthAvx2(const std::uint8_t* luma, const std::int16_t* red,
                                                            const std::int16_t* green, const std::int16_t* blue,
                                                            std::uint32_t* out, std::uint32_t width) {
  std::uint32_t x = 0;
  for (; x + 16 <= width; x += 16) {
    __m256i l = _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(luma + x)));
    StorePixelsAvx2(_mm256_add_epi16(l, Doubled(blue + x / 2)), _mm256_sub_epi16(l, Doubled(green + x / 2)),
                    _mm256_add_epi16(l, Doubled(red + x / 2)), out + x);
  }
  return x;
}

__attribute__((target("sse2"))) std::uint32_t GraySse2(const std::uint8_t* gray, std::uint32_t* out,
                                                       std::uint32_t width) {
  std::uint32_t x = 0;
  for (; x + 16 <= width; x += 16) {
    __m128i g = _mm_loadu_si128(reinterpret_cast<const __m128i*>(gray + x));
    StorePixelsSse2(g, g, g, out + x);
  }
  return x;
}

__attribute__((target("sse2"))) std::uint32_t CmykSse2(const std::uint8_t* c1, const std::uint8_t* c2,
                                                       const std::uint8_t* c3, const std::uint8_t* c4,
                                                       std::uint32_t* out, std::uint32_t width) {
  const __m128i all = _mm_set1_epi8(char(0xFF));
  std::uint32_t x = 0;
  for (; x + 16 <= width; x += 16) {
    // sample - (255 - fourth), saturated at 0: the clamp of the scalar kernel.
    __m128i white = _mm_xor_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(c4 + x)), all);
    __m128i red = _mm_subs_epu8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(c1 + x)), white);
    __m128i green = _mm_subs_epu8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(c2 + x)), white);
    __m128i blue = _mm_subs_epu8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(c3 + x)), white);
    StorePixelsSse2(blue, green, red, out + x);
  }
  return x;
}

// Replication by 2 or 4 of whole groups of 16 samples.
__attribute__((target("sse2"))) std::uint32_t ReplicateSse2(const std::uint8_t* samples, std::uint32_t ratio,
                                                            std::uint8_t* buffer, std::uint32_t width) {
  std::uint32_t x = 0;
  if (ratio == 2) {
    for (; x + 32 <= width; x += 32) {
      __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(samples + x / 2));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(buffer + x), _mm_unpacklo_epi8(v, v));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(buffer + x + 16), _mm_unpackhi_epi8(v, v));
    }
  } else if (ratio == 4) {
    for (; x + 64 <= width; x += 64) {
      __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(samples + x / 4));
      __m128i lo = _mm_unpacklo_epi8(v, v);
      __m128i hi = _mm_unpackhi_epi8(v, v);
      _mm_storeu_si128(reinterpret_cast<__m128i*>(buffer + x), _mm_unpacklo_epi16(lo, lo));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(buffer + x + 16), _mm_unpackhi_epi16(lo, lo));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(buffer + x + 32), _mm_unpacklo_epi16(hi, hi));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(buffer + x + 48), _mm_unpackhi_epi16(hi, hi));
    }
  }
  return x;
}

#endif

}  // namespace

void GrayRow(const std::uint8_t* gray, std::uint32_t* out, std::uint32_t width) {
  std::uint32_t done = 0;
#if defined(__x86_64__)
  if (CpuFeatures::UseSse2()) done = GraySse2(gray, out, width);
#endif
  GrayScalar(gray, out, done, width);
}

void YCbCrRow(const std::uint8_t* luma, const std::uint8_t* cb, const std::uint8_t* cr, std::uint32_t* out,
              std::uint32_t width) {
  if (!UseFormulas()) {
    YCbCrByTables(luma, cb, cr, out, width);
    return;
  }
  std::uint32_t done = 0;
#if defined(__x86_64__)
  if (CpuFeatures::UseAvx2()) {
    done = YCbCrAvx2(luma, cb, cr, out, width);
  } else if (CpuFeatures::UseSse2()) {
    done = YCbCrSse2(luma, cb, cr, out, width);
  }
#endif
  YCbCrScalar(luma, cb, cr, out, done, width);
}

void YCbCrOffsets(const std::uint8_t* cb, const std::uint8_t* cr, std::int16_t* red, std::int16_t* green,
                  std::int16_t* blue, std::uint32_t count) {
  std::uint32_t done = 0;
#if defined(__x86_64__)
  if (UseFormulas() && CpuFeatures::UseAvx2()) {
    done = OffsetsAvx2(cb, cr, red, green, blue, count);
  } else if (UseFormulas() && CpuFeatures::UseSse2()) {
    done = OffsetsSse2(cb, cr, red, green, blue, count);
  }
#endif
  OffsetsScalar(cb, cr, red, green, blue, done, count);
}

void YCbCrHalfWidthRow(const std::uint8_t* luma, const std::int16_t* red, const std::int16_t* green,
                       const std::int16_t* blue, std::uint32_t* out, std::uint32_t width) {
  std::uint32_t done = 0;
#if defined(__x86_64__)
  if (CpuFeatures::UseAvx2()) {
    done = HalfWidthAvx2(luma, red, green, blue, out, width);
  } else if (CpuFeatures::UseSse2()) {
    done = HalfWidthSse2(luma, red, green, blue, out, width);
  }
#endif
  HalfWidthScalar(luma, red, green, blue, out, done, width);
}

void CmykRow(const std::uint8_t* c1, const std::uint8_t* c2, const std::uint8_t* c3, const std::uint8_t* c4,
             std::uint32_t* out, std::uint32_t width) {
  std::uint32_t done = 0;
#if defined(__x86_64__)
  if (CpuFeatures::UseSse2()) done = CmykSse2(c1, c2, c3, c4, out, width);
#endif
  CmykScalar(c1, c2, c3, c4, out, done, width);
}

const std::uint8_t* ReplicateRow(const std::uint8_t* samples, std::uint32_t ratio, std::uint32_t width,
                                 std::uint8_t* buffer) {
  if (ratio == 1) return samples;
  std::uint32_t done = 0;
#if defined(__x86_64__)
  if (CpuFeatures::UseSse2()) done = ReplicateSse2(samples, ratio, buffer, width);
#endif
  ReplicateScalar(samples, ratio, buffer, done, width);
  return buffer;
}

}  // namespace VeldaroPrivate::JpegColorConvert
