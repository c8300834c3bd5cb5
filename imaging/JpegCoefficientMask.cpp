#include "imaging/JpegCoefficientMask.h"

#include <array>

#include "base/CpuFeatures.h"
#include "imaging/JpegZigzag.h"

#if defined(__x86_64__)
#include <emmintrin.h>
#endif

namespace VeldaroPrivate {

namespace {

// For each group of four natural positions (16 groups) and each pattern of its four bits, the
// same bits moved to their zigzag positions: the permutation of a mask takes 16 look-ups.
using PermutationTable = std::array<std::array<std::uint64_t, 16>, 16>;

constexpr PermutationTable MakePermutation() {
  std::array<std::uint32_t, 64> zigzagOf{};
  for (std::uint32_t k = 0; k < 64; ++k) zigzagOf[JpegNaturalOrder[k]] = k;
  PermutationTable table{};
  for (std::uint32_t group = 0; group < 16; ++group) {
    for (std::uint32_t pattern = 0; pattern < 16; ++pattern) {
      std::uint64_t bits = 0;
      for (std::uint32_t i = 0; i < 4; ++i) {
        if ((pattern >> i) & 1) bits |= std::uint64_t(1) << zigzagOf[group * 4 + i];
      }
      table[group][pattern] = bits;
    }
  }
  return table;
}

constexpr PermutationTable kPermutation = MakePermutation();

// Bit n set for a nonzero coefficient at natural position n.
std::uint64_t NonzeroNaturalScalar(const std::int16_t* block) {
  std::uint64_t mask = 0;
  for (std::uint32_t n = 0; n < 64; ++n) mask |= std::uint64_t(block[n] != 0) << n;
  return mask;
}

#if defined(__x86_64__)
__attribute__((target("sse2"))) std::uint64_t NonzeroNaturalSse2(const std::int16_t* block) {
  const __m128i zero = _mm_setzero_si128();
  std::uint64_t mask = 0;
  for (int i = 0; i < 4; ++i) {
    __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block + 16 * i));
    __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block + 16 * i + 8));
    // 0xFF bytes where the coefficient is 0; the mask of the others is the complement.
    __m128i zeros = _mm_packs_epi16(_mm_cmpeq_epi16(a, zero), _mm_cmpeq_epi16(b, zero));
    mask |= std::uint64_t(~std::uint32_t(_mm_movemask_epi8(zeros)) & 0xFFFF) << (16 * i);
  }
  return mask;
}
#endif

}  // namespace

std::uint64_t NonzeroZigzagPositions(const std::int16_t* block) {
  std::uint64_t natural;
#if defined(__x86_64__)
  if (CpuFeatures::UseSse2()) {
    natural = NonzeroNaturalSse2(block);
  } else {
    natural = NonzeroNaturalScalar(block);
  }
#else
  natural = NonzeroNaturalScalar(block);
#endif
  std::uint64_t zigzag = 0;
  for (std::uint32_t group = 0; group < 16; ++group) zigzag |= kPermutation[group][(natural >> (4 * group)) & 15];
  return zigzag;
}

}  // namespace VeldaroPrivate
