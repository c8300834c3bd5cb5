#pragma once
// JpegDecoderQuantizationTable: one quantization table of a DQT segment, kept as the
// dequantization multipliers of the inverse DCT (the quantizer times the transform's scale
// factor of its position, in fixed point with 12 fraction bits, in natural order).

#include <cstdint>

#include "imaging/JpegInputStream.h"

namespace VeldaroPrivate {

class JpegDecoderQuantizationTable {
 public:
  JpegDecoderQuantizationTable() = default;
  ~JpegDecoderQuantizationTable() = default;

  // Reads one table body of the given precision (the high nibble of the DQT table byte).
  // Only precision 0 (8-bit values) is read; others are refused before any byte is read.
  void ReadTable(Veldaro::JpegInputStream& stream, std::uint32_t precision);
  // True once a table has been read into this object.
  bool Defined() const { return defined; }
  // The 64 multipliers in natural (row-major) order.
  const std::int32_t* IntegerScaling() const { return integerScaling; }
  // Per natural position, the largest coefficient magnitude whose product with the multiplier
  // stays below 2^19, which keeps both passes of the inverse DCT within 32 bits.
  const std::int16_t* CoefficientLimits() const { return coefficientLimits; }
  // The same two tables in transposed order (row u, column v at v * 8 + u), for blocks whose
  // coefficients are kept that way.
  const std::int32_t* TransposedIntegerScaling() const { return transposedScaling; }
  const std::int16_t* TransposedCoefficientLimits() const { return transposedLimits; }
  // The quantizer values in the order of the segment (zigzag order).
  const std::uint16_t* Values() const { return values; }

 private:
  void BuildScaledTables();

  std::uint16_t values[64] = {};
  std::int32_t integerScaling[64] = {};
  std::int16_t coefficientLimits[64] = {};
  alignas(32) std::int32_t transposedScaling[64] = {};
  alignas(32) std::int16_t transposedLimits[64] = {};
  bool defined = false;
};

}  // namespace VeldaroPrivate
