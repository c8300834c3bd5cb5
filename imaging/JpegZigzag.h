#pragma once
// The zigzag order of the coefficients of an 8x8 block (ITU-T T.81 Figure A.6), into the
// natural (row-major) order and into its transpose.

#include <array>
#include <cstddef>
#include <cstdint>

namespace VeldaroPrivate {

// JpegNaturalOrder[k]: the natural (row-major) position of the k-th coefficient in zigzag order.
inline constexpr std::uint8_t JpegNaturalOrder[64] = {0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,
                                                      12, 19, 26, 33, 40, 48, 41, 34, 27, 20, 13, 6,  7,  14, 21, 28,
                                                      35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23, 30, 37, 44, 51,
                                                      58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};

// JpegTransposedOrder[k]: the same position in the transposed (column-major) order, where the
// coefficient of row u and column v is at v * 8 + u.
inline constexpr std::array<std::uint8_t, 64> JpegTransposedOrder = [] {
  std::array<std::uint8_t, 64> order{};
  for (std::size_t k = 0; k < 64; ++k) order[k] = std::uint8_t(JpegNaturalOrder[k] % 8 * 8 + JpegNaturalOrder[k] / 8);
  return order;
}();

}  // namespace VeldaroPrivate
