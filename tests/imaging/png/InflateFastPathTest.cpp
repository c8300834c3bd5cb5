// The inflate decoder at the borders of its fast loop: matches of every length at short and far
// distances, input buffers that end at every byte, requests of one byte against one request
// for everything, damaged and cut streams decoded by the fast loop and by the careful path
// near the end of a buffer (which must agree), and the vector Adler-32 against the scalar one.

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "core/CpuFeatures.h"
#include "imaging/InflateDecoder.h"
#include "tests/imaging/png/MemoryInflateStream.h"
#include "tests/imaging/png/PngTestFiles.h"
#include "tests/imaging/png/ZlibHelpers.h"

namespace {

using CpuFeatures::SimdLevel;
using CpuFeatures::SimdLevelCap;
using TarnwellTest::BitWriter;
using TarnwellTest::Bytes;
using TarnwellTest::MemoryInflateStream;
using Veldaro::InflateDecoder;

// The length and distance codes of RFC 1951, section 3.2.5, to write matches with, built from
// their rule: the extra bits grow by one every four length codes (after the first eight) and
// every two distance codes (after the first four); each base follows the range of the one
// before. The length 258 has a code of its own.
struct CodeRanges {
  std::uint32_t lengthBase[29], lengthExtra[29], distanceBase[30], distanceExtra[30];
  CodeRanges() {
    for (std::uint32_t i = 0, base = 3; i < 28; base += 1u << lengthExtra[i], ++i) {
      lengthExtra[i] = i < 8 ? 0 : (i - 4) / 4;
      lengthBase[i] = base;
    }
    lengthBase[28] = 258;
    lengthExtra[28] = 0;
    for (std::uint32_t i = 0, base = 1; i < 30; base += 1u << distanceExtra[i], ++i) {
      distanceExtra[i] = i < 4 ? 0 : (i - 2) / 2;
      distanceBase[i] = base;
    }
  }
};
const CodeRanges kCodes;

// A fixed-code block under construction together with the output it decodes to.
class FixedBlock {
 public:
  FixedBlock() { bits.Bits(1, 1).Bits(1, 2); }
  void Literal(std::uint8_t b) {
    bits.FixedLiteral(b);
    output.push_back(b);
  }
  void Match(std::uint32_t length, std::uint32_t distance) {
    int l = 28;
    while (kCodes.lengthBase[l] > length) --l;
    bits.FixedLiteral(257 + std::uint32_t(l)).Bits(length - kCodes.lengthBase[l], int(kCodes.lengthExtra[l]));
    int d = 29;
    while (kCodes.distanceBase[d] > distance) --d;
    bits.FixedDistance(std::uint32_t(d)).Bits(distance - kCodes.distanceBase[d], int(kCodes.distanceExtra[d]));
    for (std::uint32_t i = 0; i < length; ++i) output.push_back(output[output.size() - distance]);
  }
  // The zlib stream: the block ended, header and trailer added.
  Bytes Stream() {
    bits.FixedLiteral(256);
    return TarnwellTest::ZlibWrap(bits.Finish(), output);
  }
  const Bytes& Output() const { return output; }

 private:
  BitWriter bits;
  Bytes output;
};

struct Result {
  Bytes output;
  std::string error;  // empty when the stream decoded to its end

  bool operator==(const Result&) const = default;
};

void PrintTo(const Result& r, std::ostream* os) {
  std::size_t crc = 0;
  for (auto b : r.output) crc = crc * 31 + b;
  *os << r.output.size() << " bytes (hash " << crc << "), error \"" << r.error << "\"";
}

// Decodes a stream handed over in the given pieces (empty: one piece), with requests of the
// given size; returns the output delivered and the error that ended it.
Result Decode(const Bytes& z, std::vector<std::uint32_t> pieces, std::uint32_t request) {
  Result r;
  MemoryInflateStream stream = pieces.empty() ? MemoryInflateStream(z) : MemoryInflateStream(z, std::move(pieces));
  InflateDecoder decoder;
  std::vector<std::uint8_t> buffer(request);
  try {
    decoder.OpenStream(stream);
    while (decoder.NotFinished()) {
      std::uint32_t n = decoder.Decode(stream, request, buffer.data());
      r.output.insert(r.output.end(), buffer.begin(), buffer.begin() + n);
      if (n < request && decoder.NotFinished()) throw std::logic_error("short request before the end");
    }
  } catch (const std::exception& e) {
    r.error = e.what();
  }
  return r;
}

std::vector<std::uint32_t> OneBytePieces(std::size_t size) { return std::vector<std::uint32_t>(size, 1); }

// Literals between the matches keep the fast loop's literal runs and its matches interleaved.
Bytes RandomBytes(std::size_t n, std::mt19937& rng) {
  Bytes b(n);
  for (auto& x : b) x = std::uint8_t(rng());
  return b;
}

TEST(InflateFastPath, EveryLengthAtShortDistances) {
  std::mt19937 rng(17);
  for (std::uint32_t distance = 1; distance <= 40; ++distance) {
    SCOPED_TRACE(distance);
    FixedBlock block;
    for (auto b : RandomBytes(distance, rng)) block.Literal(b);
    for (std::uint32_t length = 3; length <= 258; ++length) {
      block.Match(length, distance);
      for (int i = int(rng() % 3); i > 0; --i) block.Literal(std::uint8_t(rng()));
    }
    Bytes z = block.Stream();
    const Result expected{block.Output(), ""};
    // The fast loop (one buffer), the careful path (one-byte buffers), and both with requests
    // of one byte, which stop the fast loop inside every match.
    EXPECT_EQ(Decode(z, {}, 1 << 20), expected);
    EXPECT_EQ(Decode(z, {}, 1), expected);
    EXPECT_EQ(Decode(z, OneBytePieces(z.size()), 1 << 20), expected);
    EXPECT_EQ(Decode(z, OneBytePieces(z.size()), 1), expected);
  }
}

TEST(InflateFastPath, EveryLengthAtFarDistances) {
  std::mt19937 rng(23);
  FixedBlock block;
  for (auto b : RandomBytes(32768, rng)) block.Literal(b);
  for (std::uint32_t distance : {32768u, 32767u, 32766u, 32765u, 32761u, 32760u, 24577u, 24576u, 16385u, 257u, 256u})
    for (std::uint32_t length = 3; length <= 258; ++length) {
      block.Match(length, distance);
      block.Literal(std::uint8_t(rng()));
    }
  Bytes z = block.Stream();
  const Result expected{block.Output(), ""};
  EXPECT_EQ(Decode(z, {}, 1 << 20), expected);
  EXPECT_EQ(Decode(z, {}, 4099), expected);
  EXPECT_EQ(Decode(z, TarnwellTest::RandomPieces(z.size(), rng, 20), 333), expected);
}

TEST(InflateFastPath, BufferEndingAtEveryByte) {
  // Two pieces cut at every place: the fast loop meets the end of its buffer at every byte,
  // the block ends and the trailer included.
  std::mt19937 rng(31);
  for (auto kind : {TarnwellTest::DataKind::Text, TarnwellTest::DataKind::Runs, TarnwellTest::DataKind::Image}) {
    Bytes data = TarnwellTest::MakeData(kind, 3000, rng);
    Bytes z = TarnwellTest::ZlibCompress(data, {});
    for (std::uint32_t cut = 0; cut <= z.size(); ++cut) {
      SCOPED_TRACE(testing::Message() << "kind " << int(kind) << " cut " << cut);
      const std::uint32_t size = std::uint32_t(z.size());
      ASSERT_EQ(Decode(z, {cut, size - cut}, 1 + cut % 700), (Result{data, ""}));
    }
  }
}

TEST(InflateFastPath, OneByteRequestsGiveTheWholeOutput) {
  std::mt19937 rng(37);
  for (int level : {1, 6, 9})
    for (auto kind : {TarnwellTest::DataKind::Text, TarnwellTest::DataKind::Runs, TarnwellTest::DataKind::Random}) {
      SCOPED_TRACE(testing::Message() << "level " << level << " kind " << int(kind));
      Bytes data = TarnwellTest::MakeData(kind, 150000, rng);
      TarnwellTest::DeflateOptions o;
      o.level = level;
      Bytes z = TarnwellTest::ZlibCompress(data, o);
      const Result whole = Decode(z, {}, std::uint32_t(data.size()));
      EXPECT_EQ(whole, (Result{data, ""}));
      EXPECT_EQ(Decode(z, {}, 1), whole);
    }
}

// Decodes a damaged stream in one buffer (the fast loop), in one-byte buffers (the careful
// path), and in one buffer at every vector level (the fast loop's builds); all must agree.
void ExpectPathsAgree(const Bytes& z, std::uint32_t request) {
  const Result careful = Decode(z, OneBytePieces(z.size()), request);
  for (SimdLevel level : {SimdLevel::Scalar, SimdLevel::Sse2, SimdLevel::Sse41, SimdLevel::Avx2}) {
    SimdLevelCap cap(level);
    ASSERT_EQ(Decode(z, {}, request), careful) << "level " << int(level);
  }
}

TEST(InflateFastPath, CutStreamsFailAlikeOnEveryPath) {
  std::mt19937 rng(41);
  Bytes data = TarnwellTest::MakeData(TarnwellTest::DataKind::Text, 2000, rng);
  Bytes z = TarnwellTest::ZlibCompress(data, {});
  for (std::size_t cut = 0; cut < z.size(); ++cut) {
    SCOPED_TRACE(cut);
    Bytes part(z.begin(), z.begin() + std::ptrdiff_t(cut));
    const Result r = Decode(part, {}, 97);
    EXPECT_EQ(r.error, "Premature end of file");
    ExpectPathsAgree(part, 97);
  }
}

TEST(InflateFastPath, DamagedStreamsFailAlikeOnEveryPath) {
  // Every byte of a small dynamic-block stream changed in turn, and random changes to a
  // larger one: the same output and the same error (if any) on every path.
  std::mt19937 rng(43);
  Bytes data = TarnwellTest::MakeData(TarnwellTest::DataKind::Runs, 1500, rng);
  Bytes z = TarnwellTest::ZlibCompress(data, {});
  int failures = 0;
  for (std::size_t at = 2; at < z.size(); ++at) {
    SCOPED_TRACE(at);
    Bytes bad = z;
    bad[at] ^= std::uint8_t(1u << (at % 8));
    ExpectPathsAgree(bad, 64);
    failures += Decode(bad, {}, 64).error.empty() ? 0 : 1;
  }
  EXPECT_GT(failures, 0);
  Bytes big = TarnwellTest::ZlibCompress(TarnwellTest::MakeData(TarnwellTest::DataKind::Image, 60000, rng), {});
  for (int i = 0; i < 40; ++i) {
    Bytes bad = big;
    bad[2 + rng() % (bad.size() - 2)] = std::uint8_t(rng());
    ExpectPathsAgree(bad, 5761);
  }
}

TEST(InflateFastPath, AdlerEveryVectorLevelMatchesZlib) {
  std::mt19937 rng(47);
  Bytes data = RandomBytes(70000, rng);
  Bytes ff(70000, 0xFF);  // the largest sums
  for (SimdLevel level : {SimdLevel::Scalar, SimdLevel::Sse2, SimdLevel::Sse41, SimdLevel::Avx2}) {
    SimdLevelCap cap(level);
    for (const Bytes* source : {&data, &ff})
      for (std::size_t offset : {0, 1, 31})
        for (std::size_t size : {0, 1, 15, 16, 31, 32, 33, 5551, 5552, 5553, 5552 * 2 + 40, 65536}) {
          const std::uint8_t* p = source->data() + offset;
          const std::uint32_t start = 0x1234ABCDu;  // a running value, not the initial 1
          EXPECT_EQ(Veldaro::Adler32Update(start, p, size), std::uint32_t(adler32(start, p, uInt(size))))
              << "level " << int(level) << " offset " << offset << " size " << size;
        }
  }
}

}  // namespace
