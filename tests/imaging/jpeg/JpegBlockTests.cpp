// The inverse DCT and quantization tables with their exact values, the bit input with its
// stuffed bytes and markers, and the Huffman table reader.

#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "base/CpuFeatures.h"

#include "JpegTestSupport.h"
#include "imaging/JpegDecoderDataUnit.h"
#include "imaging/JpegDecoderQuantizationTable.h"
#include "imaging/JpegHuffmanDecoder.h"

namespace {

using namespace JpegTest;
using VeldaroPrivate::JpegDecoderDataUnit;
using VeldaroPrivate::JpegDecoderQuantizationTable;
using VeldaroPrivate::JpegHuffmanDecoder;

JpegDecoderQuantizationTable TableOf(const std::vector<std::uint8_t>& values) {
  JpegDecoderQuantizationTable table;
  Veldaro::JpegInputMemoryStream stream(values, 4096);
  table.ReadTable(stream, 0);
  return table;
}

TEST(JpegBlock, ScaledQuantizationTable) {
  JpegDecoderQuantizationTable ones = TableOf(std::vector<std::uint8_t>(64, 1));
  const std::int32_t* q = ones.IntegerScaling();
  const std::int32_t firstRow[8] = {512, 369, 391, 435, 512, 651, 946, 1855};
  for (int i = 0; i < 8; ++i) EXPECT_EQ(q[i], firstRow[i]) << i;
  EXPECT_EQ(q[4 * 8 + 0], 512);
  EXPECT_EQ(q[4 * 8 + 4], 512);
  EXPECT_EQ(q[63], 6726);
  // Values 1..64 in segment (zigzag) order: every natural position its own multiplier.
  std::vector<std::uint8_t> ramp(64);
  for (int i = 0; i < 64; ++i) ramp[i] = std::uint8_t(i + 1);
  JpegDecoderQuantizationTable rising = TableOf(ramp);
  EXPECT_EQ(rising.IntegerScaling()[1], 369 * 2);  // zigzag 1 is natural 1
  EXPECT_EQ(rising.IntegerScaling()[8], 369 * 3);  // zigzag 2 is natural 8
  EXPECT_EQ(rising.IntegerScaling()[63], 430475);  // zigzag 63 is natural 63: 4096 x 1.64213 x 64
  // Refusals before or at the faulty byte.
  JpegDecoderQuantizationTable table;
  Veldaro::JpegInputMemoryStream none({}, 1);
  EXPECT_THROW(table.ReadTable(none, 1), Veldaro::JpegDecoder::JpegBadStream);
  Veldaro::JpegInputMemoryStream zero({3, 4, 0, 5}, 16);
  try {
    table.ReadTable(zero, 0);
    ADD_FAILURE();
  } catch (const Veldaro::JpegDecoder::JpegBadStream& error) {
    EXPECT_STREQ(error.what(), "Zero value in quantization table");
  }
  EXPECT_FALSE(table.Defined());
}

TEST(JpegBlock, InverseDctValues) {
  JpegDecoderQuantizationTable ones = TableOf(std::vector<std::uint8_t>(64, 1));
  auto transform = [&ones](std::initializer_list<std::pair<int, int>> entries) {
    std::int16_t c[64] = {};
    for (auto [index, value] : entries) c[index] = std::int16_t(value);
    JpegDecoderDataUnit unit;
    unit.InverseDCT(c, ones);
    return unit;
  };
  auto all = [](const JpegDecoderDataUnit& unit, int value) {
    for (const auto& row : unit.samples) {
      for (std::uint8_t sample : row) {
        if (sample != value) return false;
      }
    }
    return true;
  };
  EXPECT_TRUE(all(transform({{0, 10}}), 129));
  EXPECT_TRUE(all(transform({{0, -1024}}), 0));
  EXPECT_TRUE(all(transform({{0, 1016}}), 255));
  EXPECT_TRUE(all(transform({{0, 32767}}), 255));  // clamped
  EXPECT_TRUE(all(transform({{0, -32768}}), 0));
  JpegDecoderDataUnit horizontal = transform({{1, 8}});
  const std::uint8_t expected[8] = {129, 129, 129, 128, 128, 127, 127, 127};
  for (const auto& row : horizontal.samples) {
    for (int x = 0; x < 8; ++x) EXPECT_EQ(row[x], expected[x]) << x;
  }
}

// The transform as the decoder defines it, in 64-bit integers without any shortcut.
void ReferenceTransform(std::int64_t* p, std::size_t step, std::int64_t bias) {
  auto at = [&](int k) -> std::int64_t& { return p[std::size_t(k) * step]; };
  std::int64_t t0 = at(0) + at(4) + bias, t1 = at(0) - at(4) + bias, t2 = at(2) + at(6);
  std::int64_t m = ((at(2) - at(6)) * 45) >> 6;
  std::int64_t e0 = t0 + (t2 + m), e3 = t0 - (t2 + m), e1 = t1 + m, e2 = t1 - m;
  std::int64_t g = ((at(1) - at(7)) * 34) >> 6, h = ((at(5) - at(3)) * 83) >> 6;
  std::int64_t s = (at(1) + at(7)) - (at(5) + at(3)), a = (at(1) + at(7)) + (at(5) + at(3));
  std::int64_t i = ((g + h) * 45) >> 6, j = (s * 45) >> 6, k = i + (g - h);
  std::int64_t o[4] = {k + a, j + k, i + j, i};
  std::int64_t e[4] = {e0, e1, e2, e3};
  for (int n = 0; n < 4; ++n) {
    at(n) = e[n] + o[n];
    at(7 - n) = e[n] - o[n];
  }
}

// Random blocks, from the small coefficients of real pictures to values no 8-bit picture has
// (whose products would not fit 32 bits): the decoder's transform equals the definition on
// every vector level, for coefficients in natural and in transposed order.
TEST(JpegBlock, InverseDctMatchesDefinitionForAnyCoefficients) {
  using CpuFeatures::SimdLevel;
  std::mt19937 random(7);
  std::vector<std::uint8_t> values(64);
  for (int round = 0; round < 4000; ++round) {
    for (auto& v : values) v = std::uint8_t(1 + random() % (round % 3 == 0 ? 255 : 16));
    JpegDecoderQuantizationTable table = TableOf(values);
    std::int16_t c[64] = {};
    int range = round % 4 == 0 ? 32767 : round % 4 == 1 ? 2000 : 60;
    for (int i = 0; i < 64; ++i) {
      if (random() % 3 == 0) c[i] = std::int16_t(int(random() % (2 * range + 1)) - range);
    }
    if (round % 5 == 0) std::fill(c + 1, c + 64, 0);
    // Only the first rows, or the first columns, of coefficients (the shape of most blocks).
    if (round % 7 == 1) std::fill(c + 8 * (1 + round % 4), c + 64, 0);
    if (round % 7 == 2) {
      for (int i = 0; i < 64; ++i) c[i] = i % 8 > round % 4 ? 0 : c[i];
    }
    // Only a top left square of up to 4 x 4 coefficients, or that and one more anywhere.
    if (round % 7 == 3 || round % 7 == 4) {
      for (int i = 0; i < 64; ++i) c[i] = i / 8 > round % 4 || i % 8 > round / 7 % 4 ? 0 : c[i];
      if (round % 7 == 4) c[random() % 64] = std::int16_t(1 + random() % 50);
    }
    if (round % 11 == 3) c[random() % 64] = -32768;
    std::int64_t w[64];
    for (int i = 0; i < 64; ++i) w[i] = std::int64_t(c[i]) * table.IntegerScaling()[i];
    for (int r = 0; r < 8; ++r) ReferenceTransform(w + 8 * r, 1, 0);
    for (int v = 0; v < 8; ++v) ReferenceTransform(w + v, 8, 128 * 4096 + 2048);
    std::int16_t transposed[64];
    for (int i = 0; i < 64; ++i) transposed[i % 8 * 8 + i / 8] = c[i];
    for (SimdLevel level : {SimdLevel::Scalar, SimdLevel::Sse2, SimdLevel::Avx2}) {
      CpuFeatures::SimdLevelCap cap(level);
      JpegDecoderDataUnit unit;
      unit.InverseDCT(c, table);
      // Transposed order, stored with a stride wider than the block.
      std::uint8_t wide[8][24];
      std::memset(wide, 0xA5, sizeof(wide));
      JpegDecoderDataUnit::InverseDctTransposed(transposed, table, &wide[0][8], 24);
      for (int i = 0; i < 64; ++i) {
        std::int64_t sample = std::clamp<std::int64_t>(w[i] >> 12, 0, 255);
        ASSERT_EQ(unit.samples[i / 8][i % 8], sample) << "round " << round << " position " << i;
        ASSERT_EQ(wide[i / 8][8 + i % 8], sample) << "transposed, round " << round << " position " << i;
      }
      for (const auto& row : wide) {
        for (int x : {0, 7, 16, 23}) ASSERT_EQ(row[x], 0xA5) << "round " << round;
      }
    }
  }
}

TEST(JpegBlock, BitInput) {
  // 0xFF 0x00 gives eight one-bits; the stuffed 0x00 gives nothing.
  Veldaro::JpegInputMemoryStream stuffed({0xFF, 0x00, 0x5A, 0xC3}, 3);
  stuffed.StartBitInput();
  EXPECT_EQ(stuffed.Receive(8), 0xFFu);
  EXPECT_EQ(stuffed.Receive(3), 0x2u);  // 010
  EXPECT_EQ(stuffed.Receive(0), 0u);
  EXPECT_EQ(stuffed.Receive(11), 0x6B0u);  // 11010 and 110000 of 0xC3
  stuffed.EndBitInput();
  EXPECT_FALSE(stuffed.MoreData());

  // Ending bit input steps past the byte whose bits were read, and gives back what the bit
  // reader gathered ahead.
  Veldaro::JpegInputMemoryStream ahead({0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC, 0xDE, 0xF0, 0x11, 0xFF, 0xD9}, 4096);
  ahead.StartBitInput();
  EXPECT_EQ(ahead.NextBit(), 0);
  ahead.EndBitInput();
  EXPECT_EQ(ahead.GetByte(), 0x34);
  ahead.StartBitInput();
  EXPECT_EQ(ahead.Receive(8), 0x56u);  // a whole byte: the next one is 0x78
  ahead.EndBitInput();
  EXPECT_EQ(ahead.GetByte(), 0x78);
  // Bit input ended without a bit read still steps past one byte.
  ahead.StartBitInput();
  ahead.EndBitInput();
  EXPECT_EQ(ahead.GetByte(), 0xBC);

  // Bits read into a marker's 0xFF: stepping past it is refused, with each reader's text.
  auto failure = [](std::vector<std::uint8_t> bytes, bool nextBit, int bits) {
    Veldaro::JpegInputMemoryStream stream(bytes, 2);
    stream.StartBitInput();
    try {
      for (int i = 0; i < bits; ++i) {
        if (nextBit) {
          stream.NextBit();
        } else {
          stream.Receive(1);
        }
      }
      stream.EndBitInput();
    } catch (const Veldaro::InputByteStream::StreamError& error) {
      return std::string(error.what());
    }
    return std::string();
  };
  EXPECT_EQ(failure({0xAB, 0xFF, 0x00, 0xD9}, true, 16), "");
  EXPECT_EQ(failure({0xAB, 0xFF, 0xD9}, true, 16), "Invalid Marker in Compressed Stream");  // at the end
  EXPECT_EQ(failure({0xAB, 0xFF, 0xD9}, true, 17), "Invalid Marker in Compressed Data");
  EXPECT_EQ(failure({0xAB, 0xFF, 0xD9}, false, 17), "Invalid Marker in Compressed Stream");
  EXPECT_EQ(failure({0xAB, 0xFF, 0xD9}, true, 12), "Invalid Marker in Compressed Stream");  // at the end
  EXPECT_EQ(failure({0xAB}, true, 9), "Premature end of stream");
  EXPECT_EQ(failure({0xAB}, false, 9), "Premature end of file");
  EXPECT_EQ(failure({0xAB, 0xFF}, true, 9), "Premature end of file");
}

TEST(JpegBlock, HuffmanTableReading) {
  // The standard luminance DC table: 16 counts and 12 symbols.
  std::vector<std::uint8_t> dc = {0, 1, 5, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
  JpegHuffmanDecoder table;
  EXPECT_FALSE(table.InUse());
  Veldaro::JpegInputMemoryStream stream(dc, 4096);
  EXPECT_EQ(table.ReadTable(stream), 28u);
  EXPECT_TRUE(table.InUse());
  // Codes: 00 -> 0, 010 -> 1, 011 -> 2, ..., 1110 -> 6, 111111110 -> 11 (nine bits).
  Veldaro::JpegInputMemoryStream bits({0b00010011, 0b11101111, 0b11110000, 0x00}, 4096);
  bits.StartBitInput();
  EXPECT_EQ(table.Decode(bits), 0);
  EXPECT_EQ(table.Decode(bits), 1);
  EXPECT_EQ(table.Decode(bits), 2);
  EXPECT_EQ(table.Decode(bits), 6);
  EXPECT_EQ(table.Decode(bits), 11);
  // Counts adding up to 257 are refused before any symbol is read.
  std::vector<std::uint8_t> crowded(16, 0);
  crowded[15] = 255;
  crowded[14] = 2;
  Veldaro::JpegInputMemoryStream tooMany(crowded, 4096);
  EXPECT_THROW(table.ReadTable(tooMany), Veldaro::JpegDecoder::JpegBadStream);
  // Only 16-bit codes: the first decode takes 16 bits at once.
  std::vector<std::uint8_t> longCodes(16, 0);
  longCodes[15] = 2;
  longCodes.push_back(0x21);
  longCodes.push_back(0x42);
  Veldaro::JpegInputMemoryStream longStream(longCodes, 4096);
  JpegHuffmanDecoder sixteen;
  EXPECT_EQ(sixteen.ReadTable(longStream), 18u);
  Veldaro::JpegInputMemoryStream longBits({0x00, 0x00, 0x00, 0x01}, 4096);
  longBits.StartBitInput();
  EXPECT_EQ(sixteen.Decode(longBits), 0x21);
  EXPECT_EQ(sixteen.Decode(longBits), 0x42);
}

}  // namespace
