// The Adler-32 of RFC 1950 over blocks of bytes: 32 bytes a step with AVX2 (the last bytes of a
// block in one masked step), 16 with SSE2, or one at a time, chosen at run time (CpuFeatures);
// every path gives the same sums.
//
// s1 is 1 plus the sum of the bytes, s2 the sum of the s1 values after each byte, both modulo
// 65521. Over a step of N bytes b[0..N-1], s1 grows by their sum and s2 by N times s1 before
// the step plus the bytes weighted N down to 1; the vector paths add these up per step and
// reduce once per chunk.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "base/CpuFeatures.h"
#include "imaging/InflateDecoder.h"

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace Veldaro {

namespace {

constexpr std::uint32_t kModulus = 65521;
// The most bytes whose sums cannot overflow 32 bits before the reduction.
constexpr std::size_t kChunk = 5552;

// The sums of the running state over count bytes, no reduction. With kCopy the bytes are also
// stored to out (the copy out of the inflate window reads them once for both).
template <bool kCopy>
void AddScalar(std::uint32_t& s1, std::uint32_t& s2, const std::uint8_t* bytes, std::uint8_t* out, std::size_t count) {
  if constexpr (kCopy) std::memcpy(out, bytes, count);
  while (count >= 8) {
    for (int i = 0; i < 8; ++i) {
      s1 += bytes[i];
      s2 += s1;
    }
    bytes += 8;
    count -= 8;
  }
  while (count-- > 0) {
    s1 += *bytes++;
    s2 += s1;
  }
}

#if defined(__x86_64__)

// blocks steps of 16 bytes. The sum of s1 before each step is kept in prefix.
template <bool kCopy>
__attribute__((target("sse2"))) void AddSse2(std::uint32_t& s1, std::uint32_t& s2, const std::uint8_t* bytes,
                                             std::uint8_t* out, std::size_t blocks) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i weightsLow = _mm_setr_epi16(16, 15, 14, 13, 12, 11, 10, 9);
  const __m128i weightsHigh = _mm_setr_epi16(8, 7, 6, 5, 4, 3, 2, 1);
  __m128i sum1 = zero;                                                  // bytes, in two 64-bit lanes
  __m128i prefix = _mm_cvtsi32_si128(int(s1 * std::uint32_t(blocks)));  // s1 before each step, summed
  __m128i sum2 = _mm_cvtsi32_si128(int(s2));                            // weighted bytes
  for (std::size_t b = 0; b < blocks; ++b) {
    __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes));
    if constexpr (kCopy) {
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out), v);
      out += 16;
    }
    prefix = _mm_add_epi32(prefix, sum1);
    sum1 = _mm_add_epi64(sum1, _mm_sad_epu8(v, zero));
    sum2 = _mm_add_epi32(sum2, _mm_madd_epi16(_mm_unpacklo_epi8(v, zero), weightsLow));
    sum2 = _mm_add_epi32(sum2, _mm_madd_epi16(_mm_unpackhi_epi8(v, zero), weightsHigh));
    bytes += 16;
  }
  sum2 = _mm_add_epi32(sum2, _mm_slli_epi32(prefix, 4));
  sum2 = _mm_add_epi32(sum2, _mm_shuffle_epi32(sum2, _MM_SHUFFLE(1, 0, 3, 2)));
  sum2 = _mm_add_epi32(sum2, _mm_shuffle_epi32(sum2, _MM_SHUFFLE(2, 3, 0, 1)));
  sum1 = _mm_add_epi32(sum1, _mm_shuffle_epi32(sum1, _MM_SHUFFLE(1, 0, 3, 2)));
  s1 += std::uint32_t(_mm_cvtsi128_si32(sum1));
  s2 = std::uint32_t(_mm_cvtsi128_si32(sum2));
}

// The weights of the bytes of a 32-byte step, 32 down to 1.
__attribute__((target("avx2"))) inline __m256i StepWeights() {
  return _mm256_setr_epi8(32, 31, 30, 29, 28, 27, 26, 25, 24, 23, 22, 21, 20, 19, 18, 17, 16, 15, 14, 13, 12, 11, 10, 9,
                          8, 7, 6, 5, 4, 3, 2, 1);
}

// The eight 32-bit lanes added up (also the four 64-bit lanes of sums below 2^32).
__attribute__((target("avx2"))) inline std::uint32_t SumLanes(__m256i v) {
  __m128i t = _mm_add_epi32(_mm256_castsi256_si128(v), _mm256_extracti128_si256(v, 1));
  t = _mm_add_epi32(t, _mm_shuffle_epi32(t, _MM_SHUFFLE(1, 0, 3, 2)));
  t = _mm_add_epi32(t, _mm_shuffle_epi32(t, _MM_SHUFFLE(2, 3, 0, 1)));
  return std::uint32_t(_mm_cvtsi128_si32(t));
}

// blocks steps of 32 bytes: the weighted bytes by one multiply-add of bytes (weights 32 to 1,
// pairs summed into 16 bits) and one of words (pairs summed into 32 bits).
template <bool kCopy>
__attribute__((target("avx2"))) void AddAvx2(std::uint32_t& s1, std::uint32_t& s2, const std::uint8_t* bytes,
                                             std::uint8_t* out, std::size_t blocks) {
  const __m256i zero = _mm256_setzero_si256();
  const __m256i weights = StepWeights();
  const __m256i ones = _mm256_set1_epi16(1);
  __m256i sum1 = zero;    // bytes, in four 64-bit lanes
  __m256i prefix = zero;  // s1 before each step (without the starting s1), summed
  __m256i sum2 = zero;    // weighted bytes
  for (std::size_t b = 0; b < blocks; ++b) {
    __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(bytes));
    if constexpr (kCopy) {
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(out), v);
      out += 32;
    }
    prefix = _mm256_add_epi32(prefix, sum1);
    sum1 = _mm256_add_epi32(sum1, _mm256_sad_epu8(v, zero));
    sum2 = _mm256_add_epi32(sum2, _mm256_madd_epi16(_mm256_maddubs_epi16(v, weights), ones));
    bytes += 32;
  }
  sum2 = _mm256_add_epi32(sum2, _mm256_slli_epi32(prefix, 5));
  s2 += 32 * s1 * std::uint32_t(blocks) + SumLanes(sum2);
  s1 += SumLanes(sum1);
}

// The last count bytes (1 to 31) of a run of at least 32, from bytes on: the 32 bytes that end
// with them are loaded and those before them are masked to zero, so that the weights 32 to 1
// give them the weights count to 1, as a step of count bytes does. With kCopy all 32 are stored
// again to the 32 bytes that end at out + count (the earlier ones unchanged).
template <bool kCopy>
__attribute__((target("avx2"))) void AddTailAvx2(std::uint32_t& s1, std::uint32_t& s2, const std::uint8_t* bytes,
                                                 std::uint8_t* out, std::size_t count) {
  const __m256i index = _mm256_setr_epi8(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21,
                                         22, 23, 24, 25, 26, 27, 28, 29, 30, 31);
  __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(bytes + count - 32));
  if constexpr (kCopy) _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + count - 32), v);
  v = _mm256_and_si256(v, _mm256_cmpgt_epi8(index, _mm256_set1_epi8(char(31 - count))));
  s2 += std::uint32_t(count) * s1 +
        SumLanes(_mm256_madd_epi16(_mm256_maddubs_epi16(v, StepWeights()), _mm256_set1_epi16(1)));
  s1 += SumLanes(_mm256_sad_epu8(v, _mm256_setzero_si256()));
}

#endif

}  // namespace

std::uint32_t Adler32Update(std::uint32_t adler, std::uint8_t byte) {
  std::uint32_t s1 = ((adler & 0xFFFFu) + byte) % kModulus;
  std::uint32_t s2 = ((adler >> 16) + s1) % kModulus;
  return s2 << 16 | s1;
}

namespace {

template <bool kCopy>
std::uint32_t Adler32Run(std::uint32_t adler, const std::uint8_t* bytes, std::uint8_t* out, std::size_t count) {
  std::uint32_t s1 = adler & 0xFFFFu;
  std::uint32_t s2 = adler >> 16;
#if defined(__x86_64__)
  if (CpuFeatures::UseAvx2() && count >= 32) {
    // Whole steps, reduced after every chunk, then the last bytes in one masked step.
    constexpr std::size_t kChunkBlocks = kChunk / 32;
    while (count >= 32) {
      const std::size_t blocks = std::min(count / 32, kChunkBlocks);
      AddAvx2<kCopy>(s1, s2, bytes, out, blocks);
      bytes += blocks * 32;
      if constexpr (kCopy) out += blocks * 32;
      count -= blocks * 32;
      s1 %= kModulus;
      s2 %= kModulus;
    }
    if (count > 0) {
      AddTailAvx2<kCopy>(s1, s2, bytes, out, count);  // out is null without kCopy
      s1 %= kModulus;
      s2 %= kModulus;
    }
    return s2 << 16 | s1;
  }
  const std::size_t step = CpuFeatures::UseSse2() ? 16 : 0;
#else
  const std::size_t step = 0;
#endif
  while (count > 0) {
    std::size_t n = std::min(count, kChunk);
    count -= n;
#if defined(__x86_64__)
    if (step != 0 && n >= step) {
      const std::size_t blocks = n / step;
      AddSse2<kCopy>(s1, s2, bytes, out, blocks);
      bytes += blocks * step;
      if constexpr (kCopy) out += blocks * step;
      n -= blocks * step;
    }
#endif
    AddScalar<kCopy>(s1, s2, bytes, out, n);
    bytes += n;
    if constexpr (kCopy) out += n;
    s1 %= kModulus;
    s2 %= kModulus;
  }
  return s2 << 16 | s1;
}

}  // namespace

std::uint32_t Adler32Update(std::uint32_t adler, const std::uint8_t* bytes, std::size_t count) {
  return Adler32Run<false>(adler, bytes, nullptr, count);
}

std::uint32_t Adler32Copy(std::uint32_t adler, std::uint8_t* out, const std::uint8_t* bytes, std::size_t count) {
  return Adler32Run<true>(adler, bytes, out, count);
}

}  // namespace Veldaro
