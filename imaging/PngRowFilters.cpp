#include "imaging/PngRowFilters.h"

#include <cstdlib>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace Veldaro {

namespace {

inline std::uint8_t PaethPredictor(std::uint32_t a, std::uint32_t b, std::uint32_t c) {
  // p = a + b - c; the nearest of a, b, c to p, ties in the order a, b, c.
  int pa = std::abs(int(b) - int(c));               // |p - a|
  int pb = std::abs(int(a) - int(c));               // |p - b|
  int pc = std::abs(int(a) + int(b) - 2 * int(c));  // |p - c|
  if (pa <= pb && pa <= pc) return std::uint8_t(a);
  return std::uint8_t(pb <= pc ? b : c);
}

// The byte distance as a constant lets the compiler keep one pixel's bytes in registers.
template <std::uint32_t N>
void Sub(std::uint8_t* row, std::uint32_t length) {
  const std::uint8_t* left = row - N;
  for (std::uint32_t i = 0; i < length; ++i) row[i] = std::uint8_t(row[i] + left[i]);
}

template <std::uint32_t N>
void Average(std::uint8_t* row, const std::uint8_t* prior, std::uint32_t length) {
  const std::uint8_t* left = row - N;
  for (std::uint32_t i = 0; i < length; ++i) row[i] = std::uint8_t(row[i] + ((left[i] + prior[i]) >> 1));
}

template <std::uint32_t N>
void Paeth(std::uint8_t* row, const std::uint8_t* prior, std::uint32_t length) {
  const std::uint8_t* left = row - N;
  const std::uint8_t* upperLeft = prior - N;
  for (std::uint32_t i = 0; i < length; ++i)
    row[i] = std::uint8_t(row[i] + PaethPredictor(left[i], prior[i], upperLeft[i]));
}

#if defined(__SSE2__)
// Pixels of 3, 4, 6 or 8 bytes, one pixel a step with all its bytes side by side. Loads take
// 4 or 8 bytes (a little past a 3- or 6-byte pixel); stores write the pixel's bytes only.
template <std::uint32_t N>
inline __m128i LoadPixel(const std::uint8_t* p) {
  if constexpr (N <= 4) {
    std::int32_t v;
    std::memcpy(&v, p, 4);
    return _mm_cvtsi32_si128(v);
  } else {
    return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p));
  }
}

template <std::uint32_t N>
inline void StorePixel(std::uint8_t* p, __m128i v) {
  if constexpr (N <= 4) {
    std::int32_t x = _mm_cvtsi128_si32(v);
    std::memcpy(p, &x, N);
  } else {
    std::int64_t x = _mm_cvtsi128_si64(v);
    std::memcpy(p, &x, N);
  }
}

template <std::uint32_t N>
void SubWide(std::uint8_t* row, std::uint32_t length) {
  __m128i a = _mm_setzero_si128();
  for (std::uint32_t i = 0; i < length; i += N) {
    a = _mm_add_epi8(LoadPixel<N>(row + i), a);
    StorePixel<N>(row + i, a);
  }
}

template <std::uint32_t N>
void AverageWide(std::uint8_t* row, const std::uint8_t* prior, std::uint32_t length) {
  const __m128i one = _mm_set1_epi8(1);
  __m128i a = _mm_setzero_si128();
  for (std::uint32_t i = 0; i < length; i += N) {
    __m128i b = LoadPixel<N>(prior + i);
    // The rounded-up average, less one where the sum is odd: (a + b) >> 1.
    __m128i average = _mm_sub_epi8(_mm_avg_epu8(a, b), _mm_and_si128(_mm_xor_si128(a, b), one));
    a = _mm_add_epi8(LoadPixel<N>(row + i), average);
    StorePixel<N>(row + i, a);
  }
}

inline __m128i Absolute16(__m128i v) { return _mm_max_epi16(v, _mm_sub_epi16(_mm_setzero_si128(), v)); }

inline __m128i Select(__m128i mask, __m128i yes, __m128i no) {
  return _mm_or_si128(_mm_and_si128(mask, yes), _mm_andnot_si128(mask, no));
}

template <std::uint32_t N>
void PaethWide(std::uint8_t* row, const std::uint8_t* prior, std::uint32_t length) {
  const __m128i zero = _mm_setzero_si128();
  __m128i a = zero;  // left, 16-bit lanes
  __m128i c = zero;  // upper left
  for (std::uint32_t i = 0; i < length; i += N) {
    __m128i b = _mm_unpacklo_epi8(LoadPixel<N>(prior + i), zero);
    __m128i pa = _mm_sub_epi16(b, c);  // p - a
    __m128i pb = _mm_sub_epi16(a, c);  // p - b
    __m128i pc = Absolute16(_mm_add_epi16(pa, pb));
    pa = Absolute16(pa);
    pb = Absolute16(pb);
    __m128i smallest = _mm_min_epi16(pc, _mm_min_epi16(pa, pb));
    // Ties go to left, then above, then upper left.
    __m128i predictor = Select(_mm_cmpeq_epi16(pa, smallest), a, Select(_mm_cmpeq_epi16(pb, smallest), b, c));
    __m128i result = _mm_add_epi8(LoadPixel<N>(row + i), _mm_packus_epi16(predictor, predictor));
    StorePixel<N>(row + i, result);
    a = _mm_unpacklo_epi8(result, zero);
    c = b;
  }
}
#endif

template <std::uint32_t N>
void Unfilter(std::uint8_t filterType, std::uint8_t* row, const std::uint8_t* prior, std::uint32_t length) {
  switch (filterType) {
    case 1:
#if defined(__SSE2__)
      if constexpr (N >= 3) {
        SubWide<N>(row, length);
        break;
      }
#endif
      Sub<N>(row, length);
      break;
    case 2:
      for (std::uint32_t i = 0; i < length; ++i) row[i] = std::uint8_t(row[i] + prior[i]);
      break;
    case 3:
#if defined(__SSE2__)
      if constexpr (N >= 3) {
        AverageWide<N>(row, prior, length);
        break;
      }
#endif
      Average<N>(row, prior, length);
      break;
    case 4:
#if defined(__SSE2__)
      if constexpr (N >= 3) {
        PaethWide<N>(row, prior, length);
        break;
      }
#endif
      Paeth<N>(row, prior, length);
      break;
    default: break;
  }
}

}  // namespace

void UnfilterPngRow(std::uint8_t filterType, std::uint8_t* row, const std::uint8_t* prior, std::uint32_t length,
                    std::uint32_t byteDistance) {
  switch (byteDistance) {
    case 1: Unfilter<1>(filterType, row, prior, length); break;
    case 2: Unfilter<2>(filterType, row, prior, length); break;
    case 3: Unfilter<3>(filterType, row, prior, length); break;
    case 4: Unfilter<4>(filterType, row, prior, length); break;
    case 6: Unfilter<6>(filterType, row, prior, length); break;
    case 8: Unfilter<8>(filterType, row, prior, length); break;
    default: break;
  }
}

}  // namespace Veldaro
