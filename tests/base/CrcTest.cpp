// Checksums: the check values of the system, and Crc32 against zlib's crc32.

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <vector>

#include "base/Crc.h"

namespace {

constexpr char kDigits[] = "123456789";

std::vector<unsigned char> RandomBytes(std::size_t n, std::uint32_t seed) {
  std::vector<unsigned char> data(n);
  std::mt19937 rng(seed);
  for (auto& b : data) b = static_cast<unsigned char>(rng());
  return data;
}

std::uint32_t Zlib(const unsigned char* p, std::size_t n) {
  return static_cast<std::uint32_t>(crc32(0, p, static_cast<uInt>(n)));
}

TEST(Crc32Test, CheckValues) {
  EXPECT_EQ(Crc32::Of(kDigits, 9), 0xCBF43926u);
  EXPECT_EQ(Crc32::Of("abc", 3), 0x352441C2u);
  EXPECT_EQ(Crc32::Of("", 0), 0u);

  Crc32 crc;
  EXPECT_EQ(crc.Value(), 0u) << "a new object starts reset";
  for (int i = 0; i < 9; ++i) crc.Update(kDigits + i, 1);
  EXPECT_EQ(crc.Value(), 0xCBF43926u);
  EXPECT_EQ(crc.Value(), 0xCBF43926u) << "Value leaves the running value alone";
  crc.Update(kDigits, 0);
  EXPECT_EQ(crc.Value(), 0xCBF43926u);
  crc.Reset();
  EXPECT_EQ(crc.Value(), 0u);
  crc.Update("abc", 3);
  EXPECT_EQ(crc.Value(), 0x352441C2u);
}

TEST(Crc32Test, SharedInstanceStartsReset) {
  EXPECT_EQ(SharedCrc32.Value(), 0u);
  SharedCrc32.Update(kDigits, 9);
  EXPECT_EQ(SharedCrc32.Value(), 0xCBF43926u);
  SharedCrc32.Reset();
}

// Random lengths (crossing the 16- and 64-byte steps of the fast loops) at
// every alignment, fed whole and in random pieces, through Crc32 and through
// each inner loop the processor has.
TEST(Crc32Test, EqualsZlibOnRandomData) {
  const std::vector<unsigned char> data = RandomBytes(300000, 7);
  std::mt19937 rng(11);
  for (int round = 0; round < 400; ++round) {
    const std::size_t offset = rng() % 64;
    std::size_t length = round < 200 ? rng() % 300 : rng() % (data.size() - 64);
    const unsigned char* p = data.data() + offset;
    const std::uint32_t expected = Zlib(p, length);
    SCOPED_TRACE(testing::Message() << "offset " << offset << " length " << length);

    EXPECT_EQ(Crc32::Of(p, static_cast<std::uint32_t>(length)), expected);
    EXPECT_EQ(~Crc32Kernels::UpdateSliced(0xFFFFFFFFu, p, length), expected);
    if (Crc32Kernels::HasCarrylessMultiply()) {
      EXPECT_EQ(~Crc32Kernels::UpdateCarryless(0xFFFFFFFFu, p, length), expected);
    }

    Crc32 pieces;
    std::size_t done = 0;
    while (done < length) {
      const std::size_t piece = std::min<std::size_t>(length - done, rng() % 200);
      pieces.Update(p + done, static_cast<std::uint32_t>(piece));
      done += piece;
    }
    EXPECT_EQ(pieces.Value(), expected);
  }
}

TEST(Crc32Test, EqualsZlibOnLargeAndUniformBlocks) {
  const std::vector<unsigned char> big = RandomBytes(5u << 20, 3);
  EXPECT_EQ(Crc32::Of(big.data(), static_cast<std::uint32_t>(big.size())), Zlib(big.data(), big.size()));
  for (unsigned char fill : {0x00, 0xFF, 0x5A}) {
    const std::vector<unsigned char> same(100003, fill);
    EXPECT_EQ(Crc32::Of(same.data(), static_cast<std::uint32_t>(same.size())), Zlib(same.data(), same.size()));
  }
}

TEST(Crc16Test, CheckValues) {
  EXPECT_EQ(Crc16(kDigits, 9), 0x5F2C);
  EXPECT_EQ(Crc16("abc", 3), 0x2FE6);
  char printed[8];
  std::snprintf(printed, sizeof printed, "%04X", Crc16(kDigits, 9));
  EXPECT_STREQ(printed, "5F2C");
  // Exchanging the bytes back gives the computed value.
  const std::uint16_t r = Crc16(kDigits, 9);
  EXPECT_EQ(static_cast<std::uint16_t>((r << 8) | (r >> 8)), 0x2C5F);
}

TEST(Crc16Test, EmptyOrNegativeLengthIsZero) {
  EXPECT_EQ(Crc16("", 0), 0);
  EXPECT_EQ(Crc16(kDigits, 0), 0);
  EXPECT_EQ(Crc16(kDigits, -5), 0);
}

// An independent bitwise reference: the CRC as the remainder of the message
// times x^16 divided by x^16 + x^6 + x^3 + 1, bit by bit over the message.
TEST(Crc16Test, EqualsPolynomialRemainder) {
  const std::vector<unsigned char> data = RandomBytes(2000, 5);
  for (std::size_t n : {1u, 2u, 17u, 255u, 2000u}) {
    std::uint32_t rem = 0;
    for (std::size_t i = 0; i < n; ++i)
      for (int bit = 7; bit >= 0; --bit) {
        rem = (rem << 1) | ((data[i] >> bit) & 1u);
        if (rem & 0x10000u) rem ^= 0x10049u;
      }
    for (int bit = 0; bit < 16; ++bit) {  // times x^16
      rem <<= 1;
      if (rem & 0x10000u) rem ^= 0x10049u;
    }
    const std::uint16_t r = Crc16(data.data(), static_cast<std::int32_t>(n));
    EXPECT_EQ(static_cast<std::uint16_t>((r << 8) | (r >> 8)), rem) << n;
  }
}

TEST(SwapBytes32Test, ReversesTheBytes) {
  EXPECT_EQ(SwapBytes32(0x12345678u), 0x78563412u);
  EXPECT_EQ(SwapBytes32(SwapBytes32(0xCBF43926u)), 0xCBF43926u);
  EXPECT_EQ(SwapBytes32(0x000000FFu), 0xFF000000u);
}

}  // namespace
