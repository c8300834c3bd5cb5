#pragma once
// JpegDecoderDataUnit: one 8x8 block of 8-bit samples, and the inverse DCT that makes it from
// 64 quantized coefficients.
//
// The transform is separable and scaled (rows, then columns), in integers with 12 fraction
// bits: the dequantization multipliers of JpegDecoderQuantizationTable carry the scale
// factors, the butterflies use the constants C4 = 45, C2 = 34 and C6 = 83 (shifted right by 6
// after each product), and the column pass adds the level shift of 128 with one half for
// rounding before the shift by 12 and the clamp to 0..255. Those constants and roundings make
// the output; they are part of the result, not an approximation of it.
//
// Coefficients of valid 8-bit data keep every value of the transform within 32 bits. Corrupt
// data can carry coefficients whose products would not fit; such blocks are transformed with
// 64-bit values, which gives the same result wherever 32 bits would have sufficed. On
// processors with AVX2 the blocks that fit 32 bits are transformed eight rows (then eight
// columns) at a time in vector registers, with the same arithmetic and so the same samples.

#include <cstddef>
#include <cstdint>

namespace VeldaroPrivate {

class JpegDecoderQuantizationTable;

class JpegDecoderDataUnit {
 public:
  // A transform of one block: coefficients, table, and row r of the block stored at
  // out + r * stride.
  using Transform = void (*)(const std::int16_t* coefficients, const JpegDecoderQuantizationTable& table,
                             std::uint8_t* out, std::size_t stride);

  // Dequantizes, transforms and stores the 64 samples of the block (coefficients in natural
  // order) into samples.
  void InverseDCT(const std::int16_t* coefficients, const JpegDecoderQuantizationTable& table);
  // The same, storing row r of the block at out + r * stride.
  static void InverseDCT(const std::int16_t* coefficients, const JpegDecoderQuantizationTable& table, std::uint8_t* out,
                         std::size_t stride);
  // The same for coefficients in transposed order (row u, column v at v * 8 + u), the order
  // in which the vector path needs them for its first pass; the samples are the same.
  static void InverseDctTransposed(const std::int16_t* coefficients, const JpegDecoderQuantizationTable& table,
                                   std::uint8_t* out, std::size_t stride);
  // The best path for the processor and the level in use now, of either order: taken once
  // for the blocks of a scan rather than asked again for each block.
  static Transform NaturalOrderTransform();
  static Transform TransposedOrderTransform();

  std::uint8_t samples[8][8];
};

}  // namespace VeldaroPrivate
