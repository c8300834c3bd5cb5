#pragma once
// A small BMP writer for the tests: any header size, bit count, compression, masks, colour
// table and pixel data (rows are packed here; RLE data is given as bytes).

#include <cstdint>
#include <vector>

#include "tests/imaging/base/TestSupport.h"

namespace ImagingTest {

struct BmpLayout {
  std::uint32_t headerSize = 40;  // 12, 40, 52, 56, 108 or 124 (any value is written)
  std::int32_t width = 0;
  std::int32_t height = 0;  // negative: top-down rows
  std::uint32_t bitCount = 24;
  std::uint32_t compression = 0;
  std::uint32_t coloursUsed = 0;
  std::vector<std::uint32_t> palette;  // 0x00RRGGBB; written as 3 (core) or 4 bytes
  std::uint32_t masks[4] = {0, 0, 0, 0};
  bool masksAfterHeader = false;  // the 12 mask bytes after a short header
  std::uint32_t gap = 0;          // bytes between the colour table and the pixels
  std::int64_t pixelOffset = -1;  // -1: computed
  Bytes pixelData;
};

inline Bytes MakeBmp(const BmpLayout& s) {
  Bytes info;
  Put32(info, s.headerSize);
  if (s.headerSize == 12) {
    Put16(info, std::uint32_t(s.width));
    Put16(info, std::uint32_t(s.height));
    Put16(info, 1);
    Put16(info, s.bitCount);
  } else {
    Put32(info, std::uint32_t(s.width));
    Put32(info, std::uint32_t(s.height));
    Put16(info, 1);
    Put16(info, s.bitCount);
    Put32(info, s.compression);
    Put32(info, std::uint32_t(s.pixelData.size()));
    Put32(info, 2835);
    Put32(info, 2835);
    // A table shorter than the bit count allows is declared through colours used.
    std::uint32_t used = s.coloursUsed;
    if (used == 0 && !s.palette.empty() && (s.bitCount >= 16 || s.palette.size() != (1u << s.bitCount)))
      used = std::uint32_t(s.palette.size());
    Put32(info, used);
    Put32(info, 0);
    for (int i = 0; i < 4 && info.size() + 4 <= s.headerSize; ++i) Put32(info, s.masks[i]);
    while (info.size() < s.headerSize) info.push_back(0);
  }
  if (s.masksAfterHeader)
    for (int i = 0; i < 3; ++i) Put32(info, s.masks[i]);
  for (std::uint32_t c : s.palette) {
    info.push_back(std::uint8_t(c));
    info.push_back(std::uint8_t(c >> 8));
    info.push_back(std::uint8_t(c >> 16));
    if (s.headerSize != 12) info.push_back(0);
  }
  for (std::uint32_t i = 0; i < s.gap; ++i) info.push_back(0xEE);
  std::uint32_t offset = s.pixelOffset >= 0 ? std::uint32_t(s.pixelOffset) : std::uint32_t(14 + info.size());
  Bytes file = {'B', 'M'};
  Put32(file, std::uint32_t(14 + info.size() + s.pixelData.size()));
  Put32(file, 0);
  Put32(file, offset);
  file.insert(file.end(), info.begin(), info.end());
  file.insert(file.end(), s.pixelData.begin(), s.pixelData.end());
  return file;
}

// Packs rows of values (indexes for 1, 2, 4, 8 bits; 0xRRGGBB for 24; raw words for 16 and
// 32) into file rows padded to 4 bytes, bottom row first unless topDown. values holds the
// picture top row first.
inline Bytes PackRows(const std::vector<std::uint32_t>& values, std::uint32_t width, std::uint32_t height,
                      std::uint32_t bitCount, bool topDown) {
  Bytes out;
  std::uint32_t rowBytes = ((bitCount * width + 31) / 32) * 4;
  for (std::uint32_t r = 0; r < height; ++r) {
    std::uint32_t y = topDown ? r : height - 1 - r;
    Bytes row(rowBytes, 0);
    for (std::uint32_t x = 0; x < width; ++x) {
      std::uint32_t v = values[y * width + x];
      switch (bitCount) {
        case 1:
        case 2:
        case 4:
        case 8: {
          std::uint32_t bit = x * bitCount;
          row[bit / 8] |= std::uint8_t(v << (8 - bitCount - bit % 8));
          break;
        }
        case 16:
          row[x * 2] = std::uint8_t(v);
          row[x * 2 + 1] = std::uint8_t(v >> 8);
          break;
        case 24:
          row[x * 3] = std::uint8_t(v);
          row[x * 3 + 1] = std::uint8_t(v >> 8);
          row[x * 3 + 2] = std::uint8_t(v >> 16);
          break;
        case 32:
          for (int k = 0; k < 4; ++k) row[x * 4 + k] = std::uint8_t(v >> (8 * k));
          break;
      }
    }
    out.insert(out.end(), row.begin(), row.end());
  }
  return out;
}

}  // namespace ImagingTest
