#include "imaging/JpegDecoderDataUnit.h"

#include <cstring>

#include "base/CpuFeatures.h"
#include "imaging/JpegDecoderQuantizationTable.h"

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define JPEG_IDCT_AVX2 1
#include <immintrin.h>
#endif

namespace VeldaroPrivate {

namespace {

constexpr std::int32_t C4 = 45;  // 64 cos(4 pi / 16), truncated
constexpr std::int32_t C2 = 34;  // 32 / cos(2 pi / 16), truncated
constexpr std::int32_t C6 = 83;  // 32 / cos(6 pi / 16), truncated
// Level shift of 128 and one half, both with 12 fraction bits.
constexpr std::int32_t ColumnBias = 128 * 4096 + 2048;
// Row outputs up to this magnitude keep every value of the column pass within 32 bits (its
// largest intermediate is below 180 times its largest input).
constexpr std::int64_t ColumnInputLimit = std::int64_t(1) << 23;

// The one-dimensional transform of p[0], p[step], ..., p[7 step] into y[0], ..., y[7 step].
template <typename T>
inline void Transform(const T* p, std::size_t step, T bias, T* y) {
  T p0 = p[0], p1 = p[step], p2 = p[2 * step], p3 = p[3 * step];
  T p4 = p[4 * step], p5 = p[5 * step], p6 = p[6 * step], p7 = p[7 * step];
  // Even part.
  T t0 = p0 + p4 + bias;
  T t1 = p0 - p4 + bias;
  T t2 = p2 + p6;
  T m = ((p2 - p6) * C4) >> 6;
  T e0 = t0 + (t2 + m);
  T e3 = t0 - (t2 + m);
  T e1 = t1 + m;
  T e2 = t1 - m;
  // Odd part.
  T g = ((p1 - p7) * C2) >> 6;
  T h = ((p5 - p3) * C6) >> 6;
  T s = (p1 + p7) - (p5 + p3);
  T a = (p1 + p7) + (p5 + p3);
  T i = ((g + h) * C4) >> 6;
  T j = (s * C4) >> 6;
  T k = i + (g - h);
  T o3 = i;
  T o2 = i + j;
  T o1 = j + k;
  T o0 = k + a;
  y[0] = e0 + o0;
  y[step] = e1 + o1;
  y[2 * step] = e2 + o2;
  y[3 * step] = e3 + o3;
  y[4 * step] = e3 - o3;
  y[5 * step] = e2 - o2;
  y[6 * step] = e1 - o1;
  y[7 * step] = e0 - o0;
}

template <typename T>
inline std::uint8_t ClampSample(T value) {
  value >>= 12;
  return std::uint8_t(value < 0 ? 0 : value > 255 ? 255 : value);
}

// Column pass over the row results w, rows of the block to out.
template <typename T>
void ColumnPass(const T* w, std::uint8_t* out, std::size_t stride) {
  T y[64];
  for (std::size_t v = 0; v < 8; ++v) Transform<T>(w + v, 8, T(ColumnBias), y + v);
  for (std::size_t r = 0; r < 8; ++r) {
    std::uint8_t* row = out + r * stride;
    for (std::size_t v = 0; v < 8; ++v) row[v] = ClampSample(y[8 * r + v]);
  }
}

#ifdef JPEG_IDCT_AVX2

// The rest of the odd part from g, h, s and a, and the outputs of both parts into v.
__attribute__((target("avx2"))) inline void FinishLanes(__m256i* v, __m256i e0, __m256i e1, __m256i e2, __m256i e3,
                                                        __m256i g, __m256i h, __m256i s, __m256i a) {
  const __m256i c4 = _mm256_set1_epi32(C4);
  __m256i i = _mm256_srai_epi32(_mm256_mullo_epi32(_mm256_add_epi32(g, h), c4), 6);
  __m256i j = _mm256_srai_epi32(_mm256_mullo_epi32(s, c4), 6);
  __m256i k = _mm256_add_epi32(i, _mm256_sub_epi32(g, h));
  __m256i o3 = i;
  __m256i o2 = _mm256_add_epi32(i, j);
  __m256i o1 = _mm256_add_epi32(j, k);
  __m256i o0 = _mm256_add_epi32(k, a);
  v[0] = _mm256_add_epi32(e0, o0);
  v[1] = _mm256_add_epi32(e1, o1);
  v[2] = _mm256_add_epi32(e2, o2);
  v[3] = _mm256_add_epi32(e3, o3);
  v[4] = _mm256_sub_epi32(e3, o3);
  v[5] = _mm256_sub_epi32(e2, o2);
  v[6] = _mm256_sub_epi32(e1, o1);
  v[7] = _mm256_sub_epi32(e0, o0);
}

// The same transform on eight rows or columns at once, one 32-bit lane each: v[k] holds
// input k of every lane.
__attribute__((target("avx2"))) inline void TransformLanes(__m256i* v, __m256i bias) {
  const __m256i c4 = _mm256_set1_epi32(C4);
  const __m256i c2 = _mm256_set1_epi32(C2);
  const __m256i c6 = _mm256_set1_epi32(C6);
  __m256i t0 = _mm256_add_epi32(_mm256_add_epi32(v[0], v[4]), bias);
  __m256i t1 = _mm256_add_epi32(_mm256_sub_epi32(v[0], v[4]), bias);
  __m256i t2 = _mm256_add_epi32(v[2], v[6]);
  __m256i m = _mm256_srai_epi32(_mm256_mullo_epi32(_mm256_sub_epi32(v[2], v[6]), c4), 6);
  __m256i t2m = _mm256_add_epi32(t2, m);
  __m256i e0 = _mm256_add_epi32(t0, t2m);
  __m256i e3 = _mm256_sub_epi32(t0, t2m);
  __m256i e1 = _mm256_add_epi32(t1, m);
  __m256i e2 = _mm256_sub_epi32(t1, m);
  __m256i g = _mm256_srai_epi32(_mm256_mullo_epi32(_mm256_sub_epi32(v[1], v[7]), c2), 6);
  __m256i h = _mm256_srai_epi32(_mm256_mullo_epi32(_mm256_sub_epi32(v[5], v[3]), c6), 6);
  __m256i sum17 = _mm256_add_epi32(v[1], v[7]);
  __m256i sum53 = _mm256_add_epi32(v[5], v[3]);
  __m256i s = _mm256_sub_epi32(sum17, sum53);
  __m256i a = _mm256_add_epi32(sum17, sum53);
  FinishLanes(v, e0, e1, e2, e3, g, h, s, a);
}

// The same transform when inputs 4 to 7 are 0, which most blocks of photographs give in both
// passes (their coefficients beyond the fourth row and column are 0): the terms of those
// inputs drop out, and (0 - p3) C6 is the product p3 (-C6).
__attribute__((target("avx2"))) inline void TransformLowLanes(__m256i* v, __m256i bias) {
  const __m256i c4 = _mm256_set1_epi32(C4);
  const __m256i c2 = _mm256_set1_epi32(C2);
  const __m256i minusC6 = _mm256_set1_epi32(-C6);
  __m256i t0 = _mm256_add_epi32(v[0], bias);
  __m256i m = _mm256_srai_epi32(_mm256_mullo_epi32(v[2], c4), 6);
  __m256i t2m = _mm256_add_epi32(v[2], m);
  __m256i e0 = _mm256_add_epi32(t0, t2m);
  __m256i e3 = _mm256_sub_epi32(t0, t2m);
  __m256i e1 = _mm256_add_epi32(t0, m);
  __m256i e2 = _mm256_sub_epi32(t0, m);
  __m256i g = _mm256_srai_epi32(_mm256_mullo_epi32(v[1], c2), 6);
  __m256i h = _mm256_srai_epi32(_mm256_mullo_epi32(v[3], minusC6), 6);
  __m256i s = _mm256_sub_epi32(v[1], v[3]);
  __m256i a = _mm256_add_epi32(v[1], v[3]);
  FinishLanes(v, e0, e1, e2, e3, g, h, s, a);
}

// Transposes the first four lanes of v[0..7] into v[0..3] (lanes 4 to 7 of the inputs are not
// read): v[r] lane k becomes the old v[k] lane r.
__attribute__((target("avx2"))) inline void TransposeLowLanes(__m256i* v) {
  __m256i x0 = _mm256_inserti128_si256(v[0], _mm256_castsi256_si128(v[4]), 1);
  __m256i x1 = _mm256_inserti128_si256(v[1], _mm256_castsi256_si128(v[5]), 1);
  __m256i x2 = _mm256_inserti128_si256(v[2], _mm256_castsi256_si128(v[6]), 1);
  __m256i x3 = _mm256_inserti128_si256(v[3], _mm256_castsi256_si128(v[7]), 1);
  __m256i a0 = _mm256_unpacklo_epi32(x0, x1);
  __m256i a1 = _mm256_unpackhi_epi32(x0, x1);
  __m256i a2 = _mm256_unpacklo_epi32(x2, x3);
  __m256i a3 = _mm256_unpackhi_epi32(x2, x3);
  v[0] = _mm256_unpacklo_epi64(a0, a2);
  v[1] = _mm256_unpackhi_epi64(a0, a2);
  v[2] = _mm256_unpacklo_epi64(a1, a3);
  v[3] = _mm256_unpackhi_epi64(a1, a3);
}

__attribute__((target("avx2"))) inline void Transpose(__m256i* v) {
  __m256i a0 = _mm256_unpacklo_epi32(v[0], v[1]);
  __m256i a1 = _mm256_unpackhi_epi32(v[0], v[1]);
  __m256i a2 = _mm256_unpacklo_epi32(v[2], v[3]);
  __m256i a3 = _mm256_unpackhi_epi32(v[2], v[3]);
  __m256i a4 = _mm256_unpacklo_epi32(v[4], v[5]);
  __m256i a5 = _mm256_unpackhi_epi32(v[4], v[5]);
  __m256i a6 = _mm256_unpacklo_epi32(v[6], v[7]);
  __m256i a7 = _mm256_unpackhi_epi32(v[6], v[7]);
  __m256i b0 = _mm256_unpacklo_epi64(a0, a2);
  __m256i b1 = _mm256_unpackhi_epi64(a0, a2);
  __m256i b2 = _mm256_unpacklo_epi64(a1, a3);
  __m256i b3 = _mm256_unpackhi_epi64(a1, a3);
  __m256i b4 = _mm256_unpacklo_epi64(a4, a6);
  __m256i b5 = _mm256_unpackhi_epi64(a4, a6);
  __m256i b6 = _mm256_unpacklo_epi64(a5, a7);
  __m256i b7 = _mm256_unpackhi_epi64(a5, a7);
  v[0] = _mm256_permute2x128_si256(b0, b4, 0x20);
  v[1] = _mm256_permute2x128_si256(b1, b5, 0x20);
  v[2] = _mm256_permute2x128_si256(b2, b6, 0x20);
  v[3] = _mm256_permute2x128_si256(b3, b7, 0x20);
  v[4] = _mm256_permute2x128_si256(b0, b4, 0x31);
  v[5] = _mm256_permute2x128_si256(b1, b5, 0x31);
  v[6] = _mm256_permute2x128_si256(b2, b6, 0x31);
  v[7] = _mm256_permute2x128_si256(b3, b7, 0x31);
}

// Row r of the column results v[r], shifted, clamped to 0..255 and stored at out + r * stride.
__attribute__((target("avx2"))) inline void StoreSamples(__m256i* v, std::uint8_t* out, std::size_t stride) {
  for (int r = 0; r < 8; ++r) v[r] = _mm256_srai_epi32(v[r], 12);
  // Saturating packs clamp to 0..255; the permutation puts each row's eight bytes together.
  __m256i p01 = _mm256_packs_epi32(v[0], v[1]);
  __m256i p23 = _mm256_packs_epi32(v[2], v[3]);
  __m256i p45 = _mm256_packs_epi32(v[4], v[5]);
  __m256i p67 = _mm256_packs_epi32(v[6], v[7]);
  const __m256i order = _mm256_setr_epi32(0, 4, 1, 5, 2, 6, 3, 7);
  __m256i b0123 = _mm256_permutevar8x32_epi32(_mm256_packus_epi16(p01, p23), order);
  __m256i b4567 = _mm256_permutevar8x32_epi32(_mm256_packus_epi16(p45, p67), order);
  // Each 128-bit half holds two rows: the low and high eight bytes are stored apart.
  const __m128i rows[4] = {_mm256_castsi256_si128(b0123), _mm256_extracti128_si256(b0123, 1),
                           _mm256_castsi256_si128(b4567), _mm256_extracti128_si256(b4567, 1)};
  for (std::size_t i = 0; i < 4; ++i) {
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out + 2 * i * stride), rows[i]);
    _mm_storeh_pd(reinterpret_cast<double*>(out + (2 * i + 1) * stride), _mm_castsi128_pd(rows[i]));
  }
}

// The products of the eight coefficients c[8 i..8 i + 7] with their multipliers q[i].
__attribute__((target("avx2"))) inline __m256i Dequantize(const std::int16_t* c, const __m256i* q, int i) {
  __m128i eight = _mm_loadu_si128(reinterpret_cast<const __m128i*>(c + 8 * i));
  return _mm256_mullo_epi32(_mm256_cvtepi16_epi32(eight), _mm256_loadu_si256(q + i));
}

// The whole block with 32-bit lanes, coefficients in natural or transposed order; false
// (nothing written) when a coefficient is too large for 32 bits, which leaves the block to the
// 64-bit path.
template <bool Transposed>
__attribute__((target("avx2"))) inline bool InverseDctAvx2(const std::int16_t* c,
                                                           const JpegDecoderQuantizationTable& table, std::uint8_t* out,
                                                           std::size_t stride) {
  const __m256i* coefficients = reinterpret_cast<const __m256i*>(c);
  const __m256i* limits =
      reinterpret_cast<const __m256i*>(Transposed ? table.TransposedCoefficientLimits() : table.CoefficientLimits());
  __m256i beyond = _mm256_setzero_si256();
  // Every coefficient but the DC one (the first in either order).
  __m256i ac = _mm256_and_si256(_mm256_loadu_si256(coefficients),
                                _mm256_setr_epi16(0, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1));
  __m256i rows[4];
  for (int i = 0; i < 4; ++i) {
    rows[i] = _mm256_loadu_si256(coefficients + i);
    // |c| - limit, saturated at 0 and compared unsigned, so that -32768 (whose magnitude is
    // 32768) does not fit: nonzero where a coefficient is too large.
    beyond = _mm256_or_si256(beyond, _mm256_subs_epu16(_mm256_abs_epi16(rows[i]), _mm256_loadu_si256(limits + i)));
    if (i > 0) ac = _mm256_or_si256(ac, rows[i]);
  }
  if (!_mm256_testz_si256(beyond, beyond)) return false;
  if (_mm256_testz_si256(ac, ac)) {
    // Only the DC coefficient: one value everywhere.
    std::int32_t value = (std::int32_t(c[0]) * table.IntegerScaling()[0] + ColumnBias) >> 12;
    std::uint8_t sample = std::uint8_t(value < 0 ? 0 : value > 255 ? 255 : value);
    for (std::size_t r = 0; r < 8; ++r) std::memset(out + r * stride, sample, 8);
    return true;
  }
  // Dequantize: v[i] = the products of the eight coefficients at 8 i.
  __m256i v[8];
  const __m256i* q =
      reinterpret_cast<const __m256i*>(Transposed ? table.TransposedIntegerScaling() : table.IntegerScaling());
  // Rows and columns 4 to 7 all 0: each pass has inputs 0 to 3 only, and the transposes move
  // the four rows that are not 0 (the first of two in natural order, where the row pass needs
  // the columns of the coefficients). The masks keep the coefficients at positions 4 to 7 of
  // the rows (natural) or columns (transposed) 0 to 3 in the first two registers.
  const __m256i lowFour = _mm256_setr_epi16(0, 0, 0, 0, -1, -1, -1, -1, 0, 0, 0, 0, -1, -1, -1, -1);
  __m256i outside =
      _mm256_or_si256(_mm256_or_si256(rows[2], rows[3]), _mm256_and_si256(_mm256_or_si256(rows[0], rows[1]), lowFour));
  if (_mm256_testz_si256(outside, outside)) {
    for (int i = 0; i < 4; ++i) v[i] = Dequantize(c, q, i);
    if constexpr (!Transposed) {
      for (int i = 4; i < 8; ++i) v[i] = _mm256_setzero_si256();
      TransposeLowLanes(v);
    }
    TransformLowLanes(v, _mm256_setzero_si256());
    TransposeLowLanes(v);
    TransformLowLanes(v, _mm256_set1_epi32(ColumnBias));
    StoreSamples(v, out, stride);
    return true;
  }
  for (int i = 0; i < 8; ++i) v[i] = Dequantize(c, q, i);
  // Row pass: v[k] must hold input k of every row, which transposed order gives as loaded.
  if (!Transposed) Transpose(v);
  TransformLanes(v, _mm256_setzero_si256());
  // Column pass: after the transpose v[r] holds row r of the row results, one column a lane.
  Transpose(v);
  TransformLanes(v, _mm256_set1_epi32(ColumnBias));
  StoreSamples(v, out, stride);
  return true;
}

#endif

// The block in 64-bit integers where 32 bits may not do, natural order.
void InverseDctScalar(const std::int16_t* c, const JpegDecoderQuantizationTable& table, std::uint8_t* out,
                      std::size_t stride) {
  const std::int32_t* q = table.IntegerScaling();
  // A block with only its DC coefficient gives one value everywhere.
  bool acZero = true;
  for (std::size_t i = 1; i < 64; ++i) {
    if (c[i] != 0) {
      acZero = false;
      break;
    }
  }
  if (acZero) {
    std::int64_t value = std::int64_t(c[0]) * q[0] + ColumnBias;
    std::uint8_t sample = ClampSample(value);
    for (std::size_t r = 0; r < 8; ++r) std::memset(out + r * stride, sample, 8);
    return;
  }
  // Row pass in 64 bits: the products of corrupt coefficients may exceed 32 bits.
  std::int64_t w[64];
  std::int64_t largest = 0;
  for (std::size_t r = 0; r < 8; ++r) {
    const std::int16_t* cr = c + 8 * r;
    const std::int32_t* qr = q + 8 * r;
    std::int64_t* wr = w + 8 * r;
    if ((cr[1] | cr[2] | cr[3] | cr[4] | cr[5] | cr[6] | cr[7]) == 0) {
      std::int64_t p0 = std::int64_t(cr[0]) * qr[0];
      for (std::size_t k = 0; k < 8; ++k) wr[k] = p0;
      largest |= p0 < 0 ? -p0 : p0;
      continue;
    }
    std::int64_t p[8];
    for (std::size_t k = 0; k < 8; ++k) p[k] = std::int64_t(cr[k]) * qr[k];
    Transform<std::int64_t>(p, 1, 0, wr);
    for (std::size_t k = 0; k < 8; ++k) largest |= wr[k] < 0 ? -wr[k] : wr[k];
  }
  if (largest < ColumnInputLimit) {
    std::int32_t w32[64];
    for (std::size_t i = 0; i < 64; ++i) w32[i] = std::int32_t(w[i]);
    ColumnPass<std::int32_t>(w32, out, stride);
  } else {
    ColumnPass<std::int64_t>(w, out, stride);
  }
}

// Transposed order through the natural one.
void InverseDctTransposedScalar(const std::int16_t* c, const JpegDecoderQuantizationTable& table, std::uint8_t* out,
                                std::size_t stride) {
  std::int16_t natural[64];
  for (std::size_t u = 0; u < 8; ++u) {
    for (std::size_t v = 0; v < 8; ++v) natural[u * 8 + v] = c[v * 8 + u];
  }
  InverseDctScalar(natural, table, out, stride);
}

#ifdef JPEG_IDCT_AVX2

__attribute__((target("avx2"))) void InverseDctNaturalAvx2(const std::int16_t* c,
                                                           const JpegDecoderQuantizationTable& table, std::uint8_t* out,
                                                           std::size_t stride) {
  if (!InverseDctAvx2<false>(c, table, out, stride)) InverseDctScalar(c, table, out, stride);
}

__attribute__((target("avx2"))) void InverseDctTransposedAvx2(const std::int16_t* c,
                                                              const JpegDecoderQuantizationTable& table,
                                                              std::uint8_t* out, std::size_t stride) {
  if (!InverseDctAvx2<true>(c, table, out, stride)) InverseDctTransposedScalar(c, table, out, stride);
}

#endif

}  // namespace

JpegDecoderDataUnit::Transform JpegDecoderDataUnit::NaturalOrderTransform() {
#ifdef JPEG_IDCT_AVX2
  if (CpuFeatures::UseAvx2()) return InverseDctNaturalAvx2;
#endif
  return InverseDctScalar;
}

JpegDecoderDataUnit::Transform JpegDecoderDataUnit::TransposedOrderTransform() {
#ifdef JPEG_IDCT_AVX2
  if (CpuFeatures::UseAvx2()) return InverseDctTransposedAvx2;
#endif
  return InverseDctTransposedScalar;
}

void JpegDecoderDataUnit::InverseDCT(const std::int16_t* coefficients, const JpegDecoderQuantizationTable& table) {
  InverseDCT(coefficients, table, &samples[0][0], 8);
}

void JpegDecoderDataUnit::InverseDCT(const std::int16_t* c, const JpegDecoderQuantizationTable& table,
                                     std::uint8_t* out, std::size_t stride) {
  NaturalOrderTransform()(c, table, out, stride);
}

void JpegDecoderDataUnit::InverseDctTransposed(const std::int16_t* c, const JpegDecoderQuantizationTable& table,
                                               std::uint8_t* out, std::size_t stride) {
  TransposedOrderTransform()(c, table, out, stride);
}

}  // namespace VeldaroPrivate
