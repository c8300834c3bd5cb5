// The LZW code stream of GIF: bit order, sub-block framing, the terminator and the ends.

#include <gtest/gtest.h>

#include "base/ScopeExit.h"
#include "imaging/GifInputFileStream.h"
#include "imaging/GifInputStream.h"
#include "tests/imaging/base/MemoryStreams.h"
#include "tests/imaging/base/TestSupport.h"

using namespace Veldaro;
using namespace ImagingTest;

namespace {

// Frames data bytes as sub-blocks of at most blockSize bytes, with the terminator.
Bytes Frame(const Bytes& data, std::size_t blockSize) {
  Bytes out;
  for (std::size_t i = 0; i < data.size(); i += blockSize) {
    std::size_t n = std::min(blockSize, data.size() - i);
    out.push_back(std::uint8_t(n));
    out.insert(out.end(), data.begin() + std::ptrdiff_t(i), data.begin() + std::ptrdiff_t(i + n));
  }
  out.push_back(0);
  return out;
}

std::string ErrorOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const std::exception& e) {
    return e.what();
  }
  return "";
}

}  // namespace

TEST(GifInputStream, BitOrderLeastSignificantFirst) {
  MemoryGifStream s({2, 0x8C, 0x01, 0}, {4});
  s.EnterBitMode();
  EXPECT_EQ(s.NextCode(3), 4u);
  EXPECT_EQ(s.NextCode(3), 1u);
  EXPECT_EQ(s.NextCode(3), 6u);
  s.ExitBitMode();
}

TEST(GifInputStream, FramingIsInvisibleWhateverTheBlockAndBufferSizes) {
  Random random(7);
  Bytes data(1000);
  for (auto& b : data) b = std::uint8_t(random.Next());
  // Reference: the codes read from one long block chain of 255-byte blocks, 1-byte refills.
  auto readAll = [&](std::size_t blockSize, std::uint32_t chunk) {
    Bytes framed = Frame(data, blockSize);
    MemoryGifStream s(framed, {chunk});
    s.EnterBitMode();
    std::vector<std::uint32_t> codes;
    Random sizes(3);
    std::uint32_t bits = 0;
    while (bits + 12 <= data.size() * 8) {
      std::uint32_t size = 1 + sizes.Below(12);
      codes.push_back(s.NextCode(size));
      bits += size;
    }
    return codes;
  };
  std::vector<std::uint32_t> reference = readAll(255, 4096);
  for (std::size_t block : {1u, 2u, 3u, 100u, 255u})
    for (std::uint32_t chunk : {1u, 2u, 5u, 256u}) EXPECT_EQ(readAll(block, chunk), reference) << block << " " << chunk;
}

TEST(GifInputStream, CodeSizeLimits) {
  MemoryGifStream s({4, 0xFF, 0xFF, 0xFF, 0xFF, 0}, {16});
  s.EnterBitMode();
  EXPECT_EQ(s.NextCode(12), 0xFFFu);
  EXPECT_EQ(s.NextCode(1), 1u);
  EXPECT_EQ(ErrorOf([&] { s.NextCode(13); }), "GIF: Internal Error - Invalid Code Size.");
  EXPECT_EQ(ErrorOf([&] { s.NextCode(0); }), "GIF: Internal Error - Invalid Code Size.");
}

TEST(GifInputStream, ExitSkipsTheRestOfTheSubBlock) {
  // Stop inside the first byte of a 4-byte sub-block: the unread bytes are skipped.
  MemoryGifStream s({4, 1, 2, 3, 4, 0, 0x2C}, {16});
  s.EnterBitMode();
  s.NextCode(3);
  s.ExitBitMode();
  EXPECT_EQ(s.GetByte(), 0x2C);
  // The last code ends on the last bit of the sub-block: the terminator follows.
  MemoryGifStream t({1, 0xAB, 0, 0x3B}, {16});
  t.EnterBitMode();
  EXPECT_EQ(t.NextCode(8), 0xABu);
  t.ExitBitMode();
  EXPECT_EQ(t.GetByte(), 0x3B);
}

TEST(GifInputStream, ExtraSubBlocksAndTheEndOfTheChain) {
  MemoryGifStream s({1, 0x05, 1, 0x00, 0}, {16});
  s.EnterBitMode();
  s.NextCode(3);
  EXPECT_EQ(ErrorOf([&] { s.ExitBitMode(); }), "GIF: Missing terminator after compressed data.");

  MemoryGifStream t({1, 0x05, 0}, {16});
  t.EnterBitMode();
  t.NextCode(8);
  EXPECT_EQ(ErrorOf([&] { t.NextCode(1); }), "GIF: Attempt to read bits beyond compressed data.");

  // A chain that begins with the terminator has no data at all.
  MemoryGifStream u({0, 0x3B}, {16});
  u.EnterBitMode();
  EXPECT_EQ(ErrorOf([&] { u.NextCode(2); }), "GIF: Attempt to read bits beyond compressed data.");
}

TEST(GifInputStream, EndOfFileInsideTheChainIsAnError) {
  // Cut inside a sub-block, at a length byte, and before the first length byte.
  for (Bytes data : {Bytes{5, 1, 2}, Bytes{1, 7}, Bytes{}}) {
    MemoryGifStream s(data, {1});
    EXPECT_THROW(
        {
          s.EnterBitMode();
          for (int i = 0; i < 10; ++i) s.NextCode(8);
        },
        GifInputStream::GifStreamError);
  }
  // Cut inside the part that ExitBitMode skips.
  MemoryGifStream t({5, 1, 2}, {1});
  t.EnterBitMode();
  t.NextCode(4);
  EXPECT_THROW(t.ExitBitMode(), GifInputStream::GifStreamError);
  // Cut right before the terminator: the byte read fails.
  MemoryGifStream u({1, 1}, {1});
  u.EnterBitMode();
  u.NextCode(4);
  EXPECT_THROW(u.ExitBitMode(), InputByteStream::StreamError);
}

TEST(GifInputStream, LengthByteLastInTheBuffer) {
  // Buffers of 1 and 2 bytes put every length byte at a buffer end.
  for (std::uint32_t chunk : {1u, 2u}) {
    GifInputFileStream s(chunk);
    std::string path = ScratchPath("blocks.bin");
    WriteFile(path, {1, 0x21, 2, 0x43, 0x65, 0});
    s.Open(path);
    s.EnterBitMode();
    EXPECT_EQ(s.NextCode(8), 0x21u);
    EXPECT_EQ(s.NextCode(12), 0x543u);
    EXPECT_EQ(s.NextCode(4), 0x6u);
    s.ExitBitMode();
  }
}

TEST(GifInputStream, LentBitsReadAsTheStreamDoes) {
  // The codes read on lent bits, mixed with codes read by the stream itself after the bits
  // came back, are those the stream alone reads; the data end at the same code with the same
  // error, and the stream then stands at the same place: ExitBitMode gives the same byte or
  // the same error.
  Random random(11);
  for (int trial = 0; trial < 40; ++trial) {
    Bytes data(1 + random.Below(600));
    for (auto& b : data) b = std::uint8_t(random.Next());
    Bytes framed = Frame(data, 1 + random.Below(255));
    framed.push_back(0x3B);
    // Cut the file short in some trials: the end comes inside the chain.
    if (trial % 3 == 0) framed.resize(random.Below(std::uint32_t(framed.size())));
    const std::uint32_t chunk = 1 + random.Below(300);
    const std::uint32_t seed = random.Next();
    auto read = [&](bool lend, std::size_t count) {
      MemoryGifStream s(framed, {chunk});
      std::vector<std::string> out;
      Random sizes(seed), switches(seed + 1);
      out.push_back(ErrorOf([&] {
        s.EnterBitMode();
        GifInputStream::LentBits bits = s.LendBits();
        bool lent = lend;
        ScopeExit giveBack([&] {
          if (lent) s.ReturnBits(bits);
        });
        for (std::size_t i = 0; i < count; ++i) {
          const std::uint32_t size = 1 + sizes.Below(12);
          if (lend && switches.Below(10) == 0) {
            s.ReturnBits(bits);
            lent = false;
            out.push_back(std::to_string(s.NextCode(size)));
            bits = s.LendBits();
            lent = true;
          } else {
            out.push_back(std::to_string(lend ? s.NextCode(bits, size) : s.NextCode(size)));
          }
        }
      }));
      out.push_back(ErrorOf([&] {
        s.ExitBitMode();
        out.push_back("next byte " + std::to_string(s.GetByte()));
      }));
      return out;
    };
    for (std::size_t count : {std::size_t(5), std::size_t(100), std::size_t(10000)})
      ASSERT_EQ(read(true, count), read(false, count)) << "trial " << trial << " count " << count;
  }
}
