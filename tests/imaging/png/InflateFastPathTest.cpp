// The inflate decoder at the borders of its fast loop: matches of every length at short and far
// distances, input buffers that end at every byte, requests of one byte against one request
// for everything, damaged and cut streams decoded by the fast loop and by the careful path
// near the end of a buffer (which must agree), and the vector Adler-32 against the scalar one.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

#include "base/CpuFeatures.h"
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

// Fixed-code blocks (and stored ones between them) under construction together with the
// output they decode to.
class FixedBlock {
 public:
  explicit FixedBlock(bool final = true) { bits.Bits(final ? 1 : 0, 1).Bits(1, 2); }
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
  // Ends the fixed block under way, adds a stored block of the given bytes and starts the
  // next fixed block.
  void Stored(const Bytes& bytes, bool nextFinal) {
    bits.FixedLiteral(256).Bits(0, 1).Bits(0, 2);
    const std::uint32_t n = std::uint32_t(bytes.size());
    bits.AlignedBytes({std::uint8_t(n), std::uint8_t(n >> 8), std::uint8_t(~n), std::uint8_t(~n >> 8)});
    bits.AlignedBytes(bytes);
    output.insert(output.end(), bytes.begin(), bytes.end());
    bits.Bits(nextFinal ? 1 : 0, 1).Bits(1, 2);
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

// Decodes a stream in one piece with the given requests, the last repeated to the end.
Result DecodePlan(const Bytes& z, const std::vector<std::uint32_t>& plan) {
  Result r;
  MemoryInflateStream stream(z);
  InflateDecoder decoder;
  std::vector<std::uint8_t> buffer(*std::max_element(plan.begin(), plan.end()));
  try {
    decoder.OpenStream(stream);
    for (std::size_t i = 0; decoder.NotFinished(); i = std::min(i + 1, plan.size() - 1)) {
      std::uint32_t n = decoder.Decode(stream, plan[i], buffer.data());
      r.output.insert(r.output.end(), buffer.begin(), buffer.begin() + n);
      if (n < plan[i] && decoder.NotFinished()) throw std::logic_error("short request before the end");
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

// Requests large enough to be decoded straight into the caller's buffer, starting at many
// places: matches at every distance class (up to 32 KB) reach back across the start of the
// request into the window, in part or whole; stored blocks end the direct decoding early,
// with less and with more than 32 KB of output, and matches after them reach back across.
TEST(InflateFastPath, DirectRequestsAgreeWithWindowRequests) {
  std::mt19937 rng(53);
  FixedBlock block(false);
  for (auto b : RandomBytes(10000, rng)) block.Literal(b);
  block.Match(258, 9000);
  block.Stored(RandomBytes(3000, rng), false);
  for (auto b : RandomBytes(30000, rng)) block.Literal(b);
  const std::uint32_t distances[] = {1, 2, 3, 5, 7, 8, 9, 15, 16, 17, 31, 32, 33, 100, 5000, 32767, 32768};
  for (int round = 0; round < 3; ++round) {
    for (std::uint32_t distance : distances)
      for (std::uint32_t length : {3u, 4u, 5u, 8u, 16u, 17u, 31u, 32u, 33u, 47u, 48u, 49u, 100u, 257u, 258u}) {
        block.Match(length, distance);
        block.Literal(std::uint8_t(rng()));
      }
    block.Stored(RandomBytes(round == 0 ? 100 : 40000, rng), round == 2);
    for (std::uint32_t distance = 32768; distance > 30000; distance -= 211) block.Match(3 + distance % 256, distance);
  }
  Bytes z = block.Stream();
  const Result expected{block.Output(), ""};
  const std::uint32_t direct = InflateDecoder::kDirectRequest;
  const std::uint32_t margin = InflateDecoder::kDirectMargin;
  // A first request (through the window) puts the start of the direct ones at many places.
  for (std::uint32_t first : {1u,     2u,     258u,   margin, margin + 1, 9999u,  10000u, 10001u, 12999u, 13001u,
                              32767u, 32768u, 32769u, 43000u, 43001u,     45000u, 47000u, 50000u, 60000u, 100000u}) {
    SCOPED_TRACE(first);
    EXPECT_EQ(DecodePlan(z, {first, direct}), expected);
    EXPECT_EQ(DecodePlan(z, {first, 3 * direct}), expected);
    EXPECT_EQ(DecodePlan(z, {first, direct - 1}), expected);
  }
  for (std::uint32_t request : {direct - 1, direct, direct + 1, 3 * direct})
    EXPECT_EQ(DecodePlan(z, {request}), expected) << request;
  // Cut at forty places and damaged there, the direct path fails as the careful one does (a
  // request that fails delivers nothing, so smaller requests deliver more before the error).
  auto expectSameEnd = [](const Result& direct, const Result& careful) {
    EXPECT_EQ(direct.error, careful.error);
    const std::size_t n = std::min(direct.output.size(), careful.output.size());
    EXPECT_TRUE(std::equal(direct.output.begin(), direct.output.begin() + std::ptrdiff_t(n), careful.output.begin()));
    if (direct.error.empty()) {
      EXPECT_EQ(direct.output, careful.output);
    }
  };
  int failures = 0;
  for (std::size_t cut = 3; cut < z.size(); cut += z.size() / 40) {
    SCOPED_TRACE(cut);
    Bytes part(z.begin(), z.begin() + std::ptrdiff_t(cut));
    expectSameEnd(DecodePlan(part, {direct}), Decode(part, OneBytePieces(part.size()), 4096));
    Bytes bad = z;
    bad[cut] ^= std::uint8_t(1u << (cut % 8));
    const Result damaged = DecodePlan(bad, {direct});
    expectSameEnd(damaged, Decode(bad, OneBytePieces(bad.size()), 4096));
    failures += damaged.error.empty() ? 0 : 1;
  }
  EXPECT_GT(failures, 0);
}

// Matches all through the first 32 KB of a request decoded straight into the caller's buffer,
// up to its last byte, that take bytes from before the request (the window's history); past
// those 32 KB no distance can reach that far, and the loop stops testing for it.
TEST(InflateFastPath, DirectRequestTakesHistoryUpTo32KB) {
  std::mt19937 rng(61);
  const std::uint32_t first = 1000;  // the first request, through the window
  FixedBlock block;
  for (auto b : RandomBytes(first + 2000, rng)) block.Literal(b);
  while (block.Output().size() < first + 32768 + 2000) {
    const std::uint32_t into = std::uint32_t(block.Output().size()) - first;  // bytes of the request before it
    const std::uint32_t distance = std::min<std::uint32_t>(32768, into + 1 + std::uint32_t(rng() % 900));
    block.Match(3 + std::uint32_t(rng() % 40), distance);
    if (rng() % 4 == 0) block.Literal(std::uint8_t(rng()));
  }
  Bytes z = block.Stream();
  const Result expected{block.Output(), ""};
  for (std::uint32_t start : {first, first + 1, first + 500})
    EXPECT_EQ(DecodePlan(z, {start, InflateDecoder::kDirectRequest}), expected) << start;
}

// A long stream decoded straight into one large request (output of several megabytes, so
// that the direct decoding runs far past the first 32 KB) against requests of a row.
TEST(InflateFastPath, DirectRequestOfALongStream) {
  std::mt19937 rng(59);
  for (auto kind : {TarnwellTest::DataKind::Text, TarnwellTest::DataKind::Runs, TarnwellTest::DataKind::Image}) {
    SCOPED_TRACE(int(kind));
    Bytes data = TarnwellTest::MakeData(kind, 2500000, rng);
    TarnwellTest::DeflateOptions o;
    o.level = kind == TarnwellTest::DataKind::Text ? 9 : 1;
    Bytes z = TarnwellTest::ZlibCompress(data, o);
    const Result expected{data, ""};
    EXPECT_EQ(DecodePlan(z, {InflateDecoder::kDirectRequest}), expected);
    EXPECT_EQ(DecodePlan(z, {5761, 3 * InflateDecoder::kDirectRequest}), expected);
    EXPECT_EQ(DecodePlan(z, {5761}), expected);
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

// The fast loop decodes on past a small request while the input buffer lasts. What it meets
// there, the end of a block or a bad code, counts only when more output is asked for: every
// request up to the block's last byte gets its bytes, and the next one reads the next block's
// header (here a bad one) or the trailer (here a wrong one).
TEST(InflateFastPath, WhatTheLoopMeetsPastARequestWaitsForTheNext) {
  std::mt19937 rng(79);
  const Bytes data = RandomBytes(3000, rng);
  for (bool badType : {true, false}) {
    BitWriter bits;
    bits.Bits(badType ? 0 : 1, 1).Bits(1, 2);
    for (auto b : data) bits.FixedLiteral(b);
    bits.FixedLiteral(256);
    if (badType) bits.Bits(1, 1).Bits(3, 2);
    Bytes z = TarnwellTest::ZlibWrap(bits.Finish(), data);
    if (!badType) z.back() ^= 1;
    z.insert(z.end(), 64, 0);  // input enough for the fast loop up to the end
    for (std::uint32_t request : {1u, 7u, 64u, 1000u, 2999u, 3000u}) {
      SCOPED_TRACE(testing::Message() << "bad type " << badType << " request " << request);
      MemoryInflateStream stream(z);
      InflateDecoder decoder;
      decoder.OpenStream(stream);
      Bytes buffer(request), output;
      while (output.size() < data.size()) {
        const std::uint32_t n = std::min(request, std::uint32_t(data.size() - output.size()));
        ASSERT_EQ(decoder.Decode(stream, n, buffer.data()), n);
        output.insert(output.end(), buffer.begin(), buffer.begin() + n);
      }
      EXPECT_EQ(output, data);
      EXPECT_TRUE(decoder.NotFinished());
      try {
        decoder.Decode(stream, 1, buffer.data());
        ADD_FAILURE() << "no error";
      } catch (const InflateDecoder::StreamError& e) {
        EXPECT_STREQ(e.what(), badType ? "Invalid Compression Type" : "Stream Adler 32 Checksum error");
      }
    }
  }
}

// Stored blocks copied straight into requests of 32 KB and more: blocks shorter and longer than
// the history, one of 65,535 bytes, empty ones between, matches after them that reach back into
// the stored bytes (the history kept in the window), requests that end inside a block, input
// in pieces (refills inside a block, the first bytes still in the bit buffer), and cut streams.
TEST(InflateFastPath, StoredBlocksStraightIntoLargeRequests) {
  std::mt19937 rng(73);
  FixedBlock block(false);
  for (auto b : RandomBytes(1000, rng)) block.Literal(b);
  for (std::uint32_t size : {1u, 100u, 0u, 40000u, 65535u, 20000u, 33000u}) {
    block.Stored(RandomBytes(size, rng), false);
    for (std::uint32_t distance : {1u, 7u, 300u, 19999u, 32768u})
      block.Match(3 + rng() % 256, std::min(distance, std::uint32_t(block.Output().size())));
    block.Literal(std::uint8_t(rng()));
  }
  block.Stored(RandomBytes(50000, rng), true);
  const Bytes z = block.Stream();
  const Result expected{block.Output(), ""};
  ASSERT_EQ(Decode(z, OneBytePieces(z.size()), 1), expected);
  for (std::uint32_t request : {32767u, 32768u, 32769u, 65536u, 100000u, 3u * InflateDecoder::kDirectRequest}) {
    SCOPED_TRACE(request);
    EXPECT_EQ(DecodePlan(z, {1000 + request % 7, request}), expected);
    std::vector<std::uint32_t> pieces;
    for (std::size_t left = z.size(); left > 0;) {
      const std::uint32_t n = std::uint32_t(std::min<std::size_t>(left, 1 + rng() % 9000));
      pieces.push_back(n);
      left -= n;
    }
    EXPECT_EQ(Decode(z, pieces, request), expected);
  }
  for (std::size_t cut = 200; cut < z.size(); cut += z.size() / 25) {
    const Bytes part(z.begin(), z.begin() + std::ptrdiff_t(cut));
    EXPECT_EQ(Decode(part, {}, 65536).error, "Premature end of file") << cut;
  }
}

// Image data after PNG filtering: nearly all literals, most in pairs decoded with one look-up
// (two bytes stored at once). Requests of every small size end inside a pair and inside the
// fast loop's run of up to eight literals; requests of a row, of 64 KB and straight into the
// caller's buffer; cut and damaged streams fail alike on every path.
TEST(InflateFastPath, LiteralPairsEndAnywhere) {
  std::mt19937 rng(71);
  const Bytes data = TarnwellTest::MakeData(TarnwellTest::DataKind::Residuals, 1200000, rng);
  const Result expected{data, ""};
  for (int strategy : {Z_DEFAULT_STRATEGY, Z_HUFFMAN_ONLY}) {
    SCOPED_TRACE(strategy);
    TarnwellTest::DeflateOptions o;
    o.strategy = strategy;
    const Bytes z = TarnwellTest::ZlibCompress(data, o);
    for (std::uint32_t request = 1; request <= 17; ++request)
      EXPECT_EQ(DecodePlan(z, {request, 5761 - request}), expected) << request;
    EXPECT_EQ(DecodePlan(z, {65536}), expected);
    EXPECT_EQ(DecodePlan(z, {7, InflateDecoder::kDirectRequest}), expected);
    const Bytes head(z.begin(), z.begin() + 3000);
    for (int i = 0; i < 12; ++i) {
      Bytes part(head.begin(), head.begin() + std::ptrdiff_t(2 + rng() % (head.size() - 2)));
      EXPECT_EQ(Decode(part, {}, 4096).error, "Premature end of file");
      ExpectPathsAgree(part, 4096);
      Bytes bad = head;
      bad[2 + rng() % (bad.size() - 2)] ^= std::uint8_t(1u << (rng() % 8));
      ExpectPathsAgree(bad, 5761);
    }
  }
}

TEST(InflateFastPath, AdlerAndAdlerCopyEveryVectorLevelMatchZlib) {
  std::mt19937 rng(47);
  Bytes data = RandomBytes(70000, rng);
  Bytes ff(70000, 0xFF);  // the largest sums
  for (SimdLevel level : {SimdLevel::Scalar, SimdLevel::Sse2, SimdLevel::Sse41, SimdLevel::Avx2}) {
    SimdLevelCap cap(level);
    for (const Bytes* source : {&data, &ff})
      for (std::size_t offset : {0, 1, 31})
        for (std::size_t size :
             {0, 1, 15, 16, 31, 32, 33, 63, 5536, 5551, 5552, 5553, 5567, 5761, 5552 * 2 + 40, 65536}) {
          const std::uint8_t* p = source->data() + offset;
          const std::uint32_t start = 0x1234ABCDu;  // a running value, not the initial 1
          const std::uint32_t expected = std::uint32_t(adler32(start, p, uInt(size)));
          EXPECT_EQ(Veldaro::Adler32Update(start, p, size), expected)
              << "level " << int(level) << " offset " << offset << " size " << size;
          // The copying variant: the same sum, every byte stored and none beyond.
          Bytes out(size + 64, 0xA5);
          EXPECT_EQ(Veldaro::Adler32Copy(start, out.data() + 1, p, size), expected)
              << "copy, level " << int(level) << " offset " << offset << " size " << size;
          EXPECT_TRUE(std::equal(p, p + size, out.begin() + 1)) << "size " << size;
          EXPECT_EQ(out[0], 0xA5);
          EXPECT_TRUE(
              std::all_of(out.begin() + 1 + std::ptrdiff_t(size), out.end(), [](std::uint8_t b) { return b == 0xA5; }));
        }
  }
}

}  // namespace
