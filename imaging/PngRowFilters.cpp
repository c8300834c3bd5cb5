#include "imaging/PngRowFilters.h"

#include <cstdlib>
#include <cstring>
#include <type_traits>

#include "base/CpuFeatures.h"

#if defined(__x86_64__)
#include <immintrin.h>
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

// Average on two rows of 1- or 2-byte pixels, second against first: the left bytes of both
// rows stay in registers, and the second row's chain runs beside the first's, one step behind,
// so that the processor overlaps the two.
template <std::uint32_t N>
void AveragePairBytes(std::uint8_t* __restrict first, std::uint8_t* __restrict second,
                      const std::uint8_t* __restrict prior, std::uint32_t length) {
  std::uint8_t leftFirst[N] = {};
  std::uint8_t leftSecond[N] = {};
  auto step = [&](std::uint32_t i, std::uint32_t k) {
    const std::uint8_t f = std::uint8_t(first[i] + ((leftFirst[k] + prior[i]) >> 1));
    const std::uint8_t s = std::uint8_t(second[i] + ((leftSecond[k] + f) >> 1));
    first[i] = f;
    second[i] = s;
    leftFirst[k] = f;
    leftSecond[k] = s;
  };
  std::uint32_t i = 0;
  for (; i + N <= length; i += N)
    for (std::uint32_t k = 0; k < N; ++k) step(i + k, k);
  for (std::uint32_t k = 0; i + k < length; ++k) step(i + k, k);
}

void Up(std::uint8_t* row, const std::uint8_t* prior, std::uint32_t length) {
  for (std::uint32_t i = 0; i < length; ++i) row[i] = std::uint8_t(row[i] + prior[i]);
}

#if defined(__x86_64__)
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

// Stores a whole 4- or 8-byte load's worth: past a 3- or 6-byte pixel into the first bytes of
// the next one, which must have been loaded already and is stored again in the next step.
template <std::uint32_t N>
inline void StoreOver(std::uint8_t* p, __m128i v) {
  if constexpr (N <= 4) {
    std::int32_t x = _mm_cvtsi128_si32(v);
    std::memcpy(p, &x, 4);
  } else {
    std::int64_t x = _mm_cvtsi128_si64(v);
    std::memcpy(p, &x, 8);
  }
}

inline __m128i Load16(const std::uint8_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
inline void Store16(std::uint8_t* p, __m128i v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }

// Sub from byte start on, one pixel a step; the pixel before start is already reconstructed.
// The per-pixel loops below load the next pixel's filtered bytes before the current pixel
// is stored whole (StoreOver); only the last pixel of a row is stored byte-exact.
template <std::uint32_t N>
void SubWide(std::uint8_t* row, std::uint32_t start, std::uint32_t length) {
  if (start >= length) return;
  __m128i a = LoadPixel<N>(row + start - N);
  __m128i x = LoadPixel<N>(row + start);
  std::uint32_t i = start;
  for (; i + N < length; i += N) {
    const __m128i next = LoadPixel<N>(row + i + N);
    a = _mm_add_epi8(x, a);
    StoreOver<N>(row + i, a);
    x = next;
  }
  StorePixel<N>(row + i, _mm_add_epi8(x, a));
}

// Sub of 4- and 8-byte pixels on 16 bytes at once: a running sum over the pixels of the
// block (two or one shifted additions), plus the last pixel of the block before.
template <std::uint32_t N>
void SubBlocks(std::uint8_t* row, std::uint32_t length) {
  __m128i carry = _mm_setzero_si128();
  std::uint32_t i = 0;
  for (; i + 16 <= length; i += 16) {
    __m128i v = Load16(row + i);
    if constexpr (N == 4) {
      v = _mm_add_epi8(v, _mm_slli_si128(v, 4));
      v = _mm_add_epi8(v, _mm_slli_si128(v, 8));
      v = _mm_add_epi8(v, carry);
      carry = _mm_shuffle_epi32(v, 0xFF);
    } else {
      v = _mm_add_epi8(v, _mm_slli_si128(v, 8));
      v = _mm_add_epi8(v, carry);
      carry = _mm_unpackhi_epi64(v, v);
    }
    Store16(row + i, v);
  }
  SubWide<N>(row, i, length);
}

// Average keeps the complement of the left pixel: with ~a and ~b, the rounded-up average
// avg(~a, ~b) is the complement of (a + b) >> 1, so the complement of the new pixel is
// avg(~a, ~b) - x: two steps on the chain from one pixel to the next.
template <std::uint32_t N>
void AverageWide(std::uint8_t* row, const std::uint8_t* prior, std::uint32_t length) {
  const __m128i ones = _mm_set1_epi8(-1);
  __m128i notA = ones;
  __m128i x = LoadPixel<N>(row);
  std::uint32_t i = 0;
  for (; i + N < length; i += N) {
    const __m128i next = LoadPixel<N>(row + i + N);
    notA = _mm_sub_epi8(_mm_avg_epu8(notA, _mm_xor_si128(LoadPixel<N>(prior + i), ones)), x);
    StoreOver<N>(row + i, _mm_xor_si128(notA, ones));
    x = next;
  }
  notA = _mm_sub_epi8(_mm_avg_epu8(notA, _mm_xor_si128(LoadPixel<N>(prior + i), ones)), x);
  StorePixel<N>(row + i, _mm_xor_si128(notA, ones));
}

// Average on two rows at once: second's row above is first, which is reconstructed one pixel
// ahead of it. Each pixel depends on the pixel to its left (two steps on the chain), so one row
// alone waits for its chain; two rows give the processor two chains to overlap. The pixel of
// first goes to second as its complement, the form the chain keeps it in.
template <std::uint32_t N>
[[gnu::always_inline]] inline void AveragePairWide(std::uint8_t* first, std::uint8_t* second, const std::uint8_t* prior,
                                                   std::uint32_t length) {
  const __m128i ones = _mm_set1_epi8(-1);
  __m128i notFirst = ones;
  __m128i notSecond = ones;
  // One pixel of both rows: x and y are their filtered bytes at i.
  auto step = [&](std::size_t i, __m128i x, __m128i y) {
    notFirst = _mm_sub_epi8(_mm_avg_epu8(notFirst, _mm_xor_si128(LoadPixel<N>(prior + i), ones)), x);
    notSecond = _mm_sub_epi8(_mm_avg_epu8(notSecond, notFirst), y);
  };
  __m128i x = LoadPixel<N>(first);
  __m128i y = LoadPixel<N>(second);
  const std::size_t end = length;
  std::size_t i = 0;
  // Two pixels a round, so that the loaded pixels need no copies from one round to the next.
  for (; i + 2 * N < end; i += 2 * N) {
    const __m128i x1 = LoadPixel<N>(first + i + N);
    const __m128i y1 = LoadPixel<N>(second + i + N);
    step(i, x, y);
    StoreOver<N>(first + i, _mm_xor_si128(notFirst, ones));
    StoreOver<N>(second + i, _mm_xor_si128(notSecond, ones));
    x = LoadPixel<N>(first + i + 2 * N);
    y = LoadPixel<N>(second + i + 2 * N);
    step(i + N, x1, y1);
    StoreOver<N>(first + i + N, _mm_xor_si128(notFirst, ones));
    StoreOver<N>(second + i + N, _mm_xor_si128(notSecond, ones));
  }
  if (i + N < end) {
    const __m128i x1 = LoadPixel<N>(first + i + N);
    const __m128i y1 = LoadPixel<N>(second + i + N);
    step(i, x, y);
    StoreOver<N>(first + i, _mm_xor_si128(notFirst, ones));
    StoreOver<N>(second + i, _mm_xor_si128(notSecond, ones));
    i += N;
    x = x1;
    y = y1;
  }
  step(i, x, y);
  StorePixel<N>(first + i, _mm_xor_si128(notFirst, ones));
  StorePixel<N>(second + i, _mm_xor_si128(notSecond, ones));
}

// Written once and compiled twice: for SSE2, and with the three-operand forms of AVX, which
// spare the register copies that the chain's operations would otherwise need.
template <std::uint32_t N>
void AveragePairSse2(std::uint8_t* first, std::uint8_t* second, const std::uint8_t* prior, std::uint32_t length) {
  AveragePairWide<N>(first, second, prior, length);
}

template <std::uint32_t N>
__attribute__((target("avx2"))) void AveragePairAvx2(std::uint8_t* first, std::uint8_t* second,
                                                     const std::uint8_t* prior, std::uint32_t length) {
  AveragePairWide<N>(first, second, prior, length);
}

template <std::uint32_t N>
void AveragePair(std::uint8_t* first, std::uint8_t* second, const std::uint8_t* prior, std::uint32_t length) {
  if (CpuFeatures::SimdLevelInUse() >= CpuFeatures::SimdLevel::Avx2)
    return AveragePairAvx2<N>(first, second, prior, length);
  AveragePairSse2<N>(first, second, prior, length);
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

void UpSse2(std::uint8_t* row, const std::uint8_t* prior, std::uint32_t length) {
  std::uint32_t i = 0;
  for (; i + 16 <= length; i += 16) Store16(row + i, _mm_add_epi8(Load16(row + i), Load16(prior + i)));
  Up(row + i, prior + i, length - i);
}

__attribute__((target("avx2"))) void UpAvx2(std::uint8_t* row, const std::uint8_t* prior, std::uint32_t length) {
  std::uint32_t i = 0;
  for (; i + 32 <= length; i += 32) {
    __m256i x = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(row + i));
    __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(prior + i));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(row + i), _mm256_add_epi8(x, b));
  }
  UpSse2(row + i, prior + i, length - i);
}

// Sub of 3-byte pixels on 15 bytes (5 pixels) at once: a running sum in three shifted
// additions, plus the last pixel of the block before spread over the block. The 16th byte
// loaded is stored back unchanged: it is the next block's first.
__attribute__((target("sse4.1"))) void SubBlocks3(std::uint8_t* row, std::uint32_t length) {
  const __m128i lastByte = _mm_setr_epi8(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, -128);
  const __m128i spreadLast = _mm_setr_epi8(12, 13, 14, 12, 13, 14, 12, 13, 14, 12, 13, 14, 12, 13, 14, -128);
  __m128i carry = _mm_setzero_si128();
  std::uint32_t i = 0;
  // The next block is loaded before this one is stored: its first byte is this block's 16th.
  __m128i raw = length >= 16 ? Load16(row) : carry;
  for (; i + 16 <= length; i += 15) {
    const __m128i next = i + 31 <= length ? Load16(row + i + 15) : carry;
    __m128i v = _mm_add_epi8(raw, _mm_slli_si128(raw, 3));
    v = _mm_add_epi8(v, _mm_slli_si128(v, 6));
    v = _mm_add_epi8(v, _mm_slli_si128(v, 12));
    v = _mm_blendv_epi8(_mm_add_epi8(v, carry), raw, lastByte);
    carry = _mm_shuffle_epi8(v, spreadLast);
    Store16(row + i, v);
    raw = next;
  }
  SubWide<3>(row, i, length);
}

// One Paeth step on 16-bit lanes: x filtered, a left, b above, c upper left.
__attribute__((target("sse4.1"))) inline __m128i PaethStep(__m128i x, __m128i a, __m128i b, __m128i c) {
  const __m128i towardsA = _mm_sub_epi16(b, c);  // p - a
  const __m128i pa = _mm_abs_epi16(towardsA);
  const __m128i towardsB = _mm_sub_epi16(a, c);  // p - b
  const __m128i pb = _mm_abs_epi16(towardsB);
  const __m128i pc = _mm_abs_epi16(_mm_add_epi16(towardsA, towardsB));
  // Left when pa is no more than pb and pc; else above when pb is no more than pc; else
  // upper left.
  const __m128i bOrC = _mm_blendv_epi8(b, c, _mm_cmpgt_epi16(pb, pc));
  const __m128i predictor = _mm_blendv_epi8(a, bOrC, _mm_cmpgt_epi16(pa, _mm_min_epi16(pb, pc)));
  return _mm_and_si128(_mm_add_epi16(x, predictor), _mm_set1_epi16(0xFF));
}

// Paeth with the predictor chosen by blends; the pixel stays in 16-bit lanes from one step
// to the next, so that only the stores pack it.
// Paeth with the predictor chosen by blends; the pixel stays in 16-bit lanes from one step
// to the next, so that only the stores pack it.
template <std::uint32_t N>
__attribute__((target("sse4.1"))) void PaethBlend(std::uint8_t* row, const std::uint8_t* prior, std::uint32_t length) {
  __m128i a = _mm_setzero_si128();  // left, 16-bit lanes
  __m128i c = a;                    // upper left
  __m128i x = _mm_cvtepu8_epi16(LoadPixel<N>(row));
  std::uint32_t i = 0;
  for (; i + N < length; i += N) {
    const __m128i next = _mm_cvtepu8_epi16(LoadPixel<N>(row + i + N));
    const __m128i b = _mm_cvtepu8_epi16(LoadPixel<N>(prior + i));
    a = PaethStep(x, a, b, c);
    StoreOver<N>(row + i, _mm_packus_epi16(a, a));
    c = b;
    x = next;
  }
  a = PaethStep(x, a, _mm_cvtepu8_epi16(LoadPixel<N>(prior + i)), c);
  StorePixel<N>(row + i, _mm_packus_epi16(a, a));
}

// Paeth on two rows at once, the second a pixel behind the first, for the same reason as
// AveragePairWide: the chain from one pixel to the next is long, and two rows overlap their
// chains. The second row's above and upper left pixels are the first row's, in registers.
template <std::uint32_t N>
__attribute__((target("sse4.1"))) void PaethPair(std::uint8_t* first, std::uint8_t* second, const std::uint8_t* prior,
                                                 std::uint32_t length) {
  __m128i a1 = _mm_setzero_si128();  // the first row's left and upper left, 16-bit lanes
  __m128i c1 = a1;
  __m128i a2 = a1;  // the second row's
  __m128i c2 = a1;
  __m128i x1 = _mm_cvtepu8_epi16(LoadPixel<N>(first));
  __m128i x2 = _mm_cvtepu8_epi16(LoadPixel<N>(second));
  const std::size_t end = length;
  std::size_t i = 0;
  for (; i + N < end; i += N) {
    const __m128i next1 = _mm_cvtepu8_epi16(LoadPixel<N>(first + i + N));
    const __m128i next2 = _mm_cvtepu8_epi16(LoadPixel<N>(second + i + N));
    const __m128i b1 = _mm_cvtepu8_epi16(LoadPixel<N>(prior + i));
    a1 = PaethStep(x1, a1, b1, c1);
    a2 = PaethStep(x2, a2, a1, c2);
    StoreOver<N>(first + i, _mm_packus_epi16(a1, a1));
    StoreOver<N>(second + i, _mm_packus_epi16(a2, a2));
    c1 = b1;
    c2 = a1;
    x1 = next1;
    x2 = next2;
  }
  a1 = PaethStep(x1, a1, _mm_cvtepu8_epi16(LoadPixel<N>(prior + i)), c1);
  a2 = PaethStep(x2, a2, a1, c2);
  StorePixel<N>(first + i, _mm_packus_epi16(a1, a1));
  StorePixel<N>(second + i, _mm_packus_epi16(a2, a2));
}
#endif

// The best path of the level in use; the scalar one where no vector path pays.
template <std::uint32_t N>
void Unfilter(std::uint8_t filterType, std::uint8_t* row, const std::uint8_t* prior, std::uint32_t length) {
#if defined(__x86_64__)
  const CpuFeatures::SimdLevel level = CpuFeatures::SimdLevelInUse();
  const bool sse2 = level >= CpuFeatures::SimdLevel::Sse2;
  const bool sse41 = level >= CpuFeatures::SimdLevel::Sse41;
  switch (filterType) {
    case 1:
      if constexpr (N == 3) {
        if (sse41) return SubBlocks3(row, length);
      } else if constexpr (N == 4 || N == 8) {
        if (sse2) return SubBlocks<N>(row, length);
      }
      if constexpr (N >= 3) {
        if (sse2) return SubWide<N>(row, 0, length);
      }
      return Sub<N>(row, length);
    case 2:
      if (level >= CpuFeatures::SimdLevel::Avx2) return UpAvx2(row, prior, length);
      if (sse2) return UpSse2(row, prior, length);
      return Up(row, prior, length);
    case 3:
      if constexpr (N >= 3) {
        if (sse2) return AverageWide<N>(row, prior, length);
      }
      return Average<N>(row, prior, length);
    case 4:
      if constexpr (N >= 3) {
        if (sse41) return PaethBlend<N>(row, prior, length);
        if (sse2) return PaethWide<N>(row, prior, length);
      }
      return Paeth<N>(row, prior, length);
    default: return;
  }
#else
  switch (filterType) {
    case 1: return Sub<N>(row, length);
    case 2: return Up(row, prior, length);
    case 3: return Average<N>(row, prior, length);
    case 4: return Paeth<N>(row, prior, length);
    default: return;
  }
#endif
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

bool UnfilterPngRowPair(std::uint8_t filterType, std::uint8_t* first, std::uint8_t* second, const std::uint8_t* prior,
                        std::uint32_t length, std::uint32_t byteDistance) {
  if (filterType == 3 && byteDistance <= 2) {
    if (byteDistance == 1)
      AveragePairBytes<1>(first, second, prior, length);
    else
      AveragePairBytes<2>(first, second, prior, length);
    return true;
  }
#if defined(__x86_64__)
  // Runs pair<N> for the byte distances that have a pair path.
  auto byDistance = [byteDistance](auto pair) {
    switch (byteDistance) {
      case 3: pair(std::integral_constant<std::uint32_t, 3>()); return true;
      case 4: pair(std::integral_constant<std::uint32_t, 4>()); return true;
      case 6: pair(std::integral_constant<std::uint32_t, 6>()); return true;
      case 8: pair(std::integral_constant<std::uint32_t, 8>()); return true;
      default: return false;
    }
  };
  const CpuFeatures::SimdLevel level = CpuFeatures::SimdLevelInUse();
  if (filterType == 3 && level >= CpuFeatures::SimdLevel::Sse2)
    return byDistance([&](auto n) { AveragePair<decltype(n)::value>(first, second, prior, length); });
  if (filterType == 4 && level >= CpuFeatures::SimdLevel::Sse41)
    return byDistance([&](auto n) { PaethPair<decltype(n)::value>(first, second, prior, length); });
  return false;
#else
  return false;
#endif
}

}  // namespace Veldaro
