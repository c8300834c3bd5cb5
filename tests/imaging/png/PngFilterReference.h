#pragma once
// The row filters as the format defines them, byte by byte: the reference the filter tests
// compare with.

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace TarnwellTest {

inline std::uint8_t ReferencePaeth(int a, int b, int c) {
  int p = a + b - c;
  int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
  if (pa <= pb && pa <= pc) return std::uint8_t(a);
  if (pb <= pc) return std::uint8_t(b);
  return std::uint8_t(c);
}

// Undoes filter type on row against prior, with n bytes a pixel.
inline std::vector<std::uint8_t> ReferenceUnfilter(int type, std::vector<std::uint8_t> row,
                                                   const std::vector<std::uint8_t>& prior, std::size_t n) {
  for (std::size_t i = 0; i < row.size(); ++i) {
    int a = i >= n ? row[i - n] : 0, b = prior[i], c = i >= n ? prior[i - n] : 0;
    int p = type == 1 ? a : type == 2 ? b : type == 3 ? (a + b) / 2 : type == 4 ? ReferencePaeth(a, b, c) : 0;
    row[i] = std::uint8_t(row[i] + p);
  }
  return row;
}

}  // namespace TarnwellTest
