// The inflate decoder against zlib: every level, strategy and window size, flushes, data of
// several kinds and real files, input split at random places and random request sizes.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "imaging/InflateDecoder.h"
#include "tests/imaging/png/MemoryInflateStream.h"
#include "tests/imaging/png/ZlibHelpers.h"

namespace {

using TarnwellTest::DataKind;
using TarnwellTest::DeflateOptions;
using TarnwellTest::MakeData;
using TarnwellTest::MemoryInflateStream;
using TarnwellTest::RandomPieces;
using TarnwellTest::ZlibCompress;

// Decodes the stream with requests of random sizes and checks every byte against the original,
// the end of the stream and that nothing beyond the trailer was read.
void ExpectInflates(const std::vector<std::uint8_t>& original, const std::vector<std::uint8_t>& compressed,
                    std::mt19937& rng, std::uint32_t maxPiece, std::uint32_t maxRequest) {
  MemoryInflateStream stream(compressed, RandomPieces(compressed.size(), rng, maxPiece));
  stream.SetStrict(true);
  Veldaro::InflateDecoder decoder;
  decoder.OpenStream(stream);
  std::vector<std::uint8_t> out;
  std::vector<std::uint8_t> buffer(maxRequest + 1);
  while (decoder.NotFinished()) {
    std::uint32_t want = 1 + rng() % maxRequest;
    std::uint32_t got = decoder.Decode(stream, want, buffer.data());
    ASSERT_LE(got, want);
    if (got < want) {
      ASSERT_FALSE(decoder.NotFinished());
    }
    out.insert(out.end(), buffer.begin(), buffer.begin() + got);
    ASSERT_LE(out.size(), original.size());
  }
  ASSERT_EQ(out.size(), original.size());
  ASSERT_TRUE(out == original);
  EXPECT_EQ(decoder.Decode(stream, 10, buffer.data()), 0u);
  EXPECT_EQ(stream.Unread(), 0u);  // zlib writes nothing after the trailer
  EXPECT_FALSE(stream.InBitMode());
}

std::vector<std::uint8_t> RealData() {
  // Files of the tree: compressed pictures and source text.
  std::vector<std::uint8_t> d;
  namespace fs = std::filesystem;
  for (const char* dir : {"/tests/imaging/data/pngsuite", "/imaging"}) {
    std::vector<fs::path> files;
    for (const auto& e : fs::directory_iterator(std::string(TARNWELL_SOURCE_DIR) + dir)) files.push_back(e.path());
    std::sort(files.begin(), files.end());
    for (const auto& f : files) {
      std::ifstream in(f, std::ios::binary);
      d.insert(d.end(), std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
  }
  return d;
}

TEST(InflateDifferential, EveryLevelAndStrategy) {
  std::mt19937 rng(1234);
  const int strategies[] = {Z_DEFAULT_STRATEGY, Z_FILTERED, Z_HUFFMAN_ONLY, Z_RLE, Z_FIXED};
  const DataKind kinds[] = {DataKind::Random, DataKind::Text,  DataKind::Runs,
                            DataKind::Image,  DataKind::Zeros, DataKind::Residuals};
  for (int level = 0; level <= 9; ++level)
    for (int strategy : strategies)
      for (DataKind kind : kinds) {
        SCOPED_TRACE(testing::Message() << "level " << level << " strategy " << strategy << " kind " << int(kind));
        std::size_t size = rng() % 3 == 0 ? rng() % 300 : 20000 + rng() % 150000;
        auto data = MakeData(kind, size, rng);
        DeflateOptions o;
        o.level = level;
        o.strategy = strategy;
        ExpectInflates(data, ZlibCompress(data, o), rng, 1 + rng() % 9000, 1 + rng() % 5000);
      }
}

TEST(InflateDifferential, WindowSizesAndMemoryLevels) {
  std::mt19937 rng(77);
  for (int windowBits = 9; windowBits <= 15; ++windowBits)
    for (int memLevel : {1, 5, 9}) {
      SCOPED_TRACE(testing::Message() << "windowBits " << windowBits << " memLevel " << memLevel);
      auto data = MakeData(DataKind::Runs, 100000, rng);
      DeflateOptions o;
      o.level = 9;
      o.windowBits = windowBits;
      o.memLevel = memLevel;
      auto z = ZlibCompress(data, o);
      ASSERT_EQ(z[0] >> 4, windowBits - 8);  // the header declares the smaller window
      ExpectInflates(data, z, rng, 4096, 3000);
    }
}

TEST(InflateDifferential, FlushesWriteEmptyStoredBlocks) {
  // Z_SYNC_FLUSH and Z_FULL_FLUSH end with an empty stored block (00 00 FF FF); a flush with no
  // new input writes one more right behind it.
  std::mt19937 rng(5);
  for (int flush : {Z_SYNC_FLUSH, Z_FULL_FLUSH})
    for (std::size_t every : {std::size_t(1), std::size_t(7), std::size_t(1000), std::size_t(65536)})
      for (int level : {0, 1, 6, 9}) {
        SCOPED_TRACE(testing::Message() << "flush " << flush << " every " << every << " level " << level);
        auto data = MakeData(DataKind::Text, every == 1 ? 3000 : 200000, rng);
        DeflateOptions o;
        o.level = level;
        o.flush = flush;
        o.flushEvery = every;
        auto z = ZlibCompress(data, o);
        static const std::uint8_t kEmptyStored[] = {0x00, 0x00, 0xFF, 0xFF};
        ASSERT_NE(std::search(z.begin(), z.end(), std::begin(kEmptyStored), std::end(kEmptyStored)), z.end());
        ExpectInflates(data, z, rng, 1 + rng() % 3000, 1 + rng() % 4000);
      }
}

TEST(InflateDifferential, LargeRequestsAndTinyPieces) {
  std::mt19937 rng(99);
  auto data = MakeData(DataKind::Image, 3000000, rng);
  auto z = ZlibCompress(data, {});
  ExpectInflates(data, z, rng, 1 << 20, 1 << 21);  // requests beyond the internal buffer
  ExpectInflates(data, z, rng, 3, 700);            // pieces of 0 to 3 bytes
}

TEST(InflateDifferential, RealFilesAtEveryLevel) {
  std::mt19937 rng(2024);
  auto data = RealData();
  ASSERT_GT(data.size(), 100000u);
  for (int level = 0; level <= 9; ++level) {
    SCOPED_TRACE(level);
    DeflateOptions o;
    o.level = level;
    ExpectInflates(data, ZlibCompress(data, o), rng, 1 + rng() % 70000, 1 + rng() % 70000);
  }
}

TEST(InflateDifferential, AdlerMatchesZlib) {
  std::mt19937 rng(3);
  for (std::size_t size : {0, 1, 7, 5551, 5552, 5553, 100000}) {
    auto data = MakeData(DataKind::Random, size, rng);
    std::uint32_t one = 1;
    for (auto b : data) one = Veldaro::Adler32Update(one, b);
    std::uint32_t block = Veldaro::Adler32Update(1, data.data(), data.size());
    std::uint32_t reference = std::uint32_t(adler32(1, data.data(), uInt(data.size())));
    EXPECT_EQ(one, reference) << size;
    EXPECT_EQ(block, reference) << size;
  }
  std::vector<std::uint8_t> ff(100000, 0xFF);  // the largest sums
  EXPECT_EQ(Veldaro::Adler32Update(1, ff.data(), ff.size()), std::uint32_t(adler32(1, ff.data(), uInt(ff.size()))));
}

}  // namespace
