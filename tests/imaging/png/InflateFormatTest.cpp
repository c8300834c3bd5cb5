// The inflate decoder on crafted streams: header checks, every block type and its failures,
// the empty stored block of a flush, code-length sequences, matches and request sizes.

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "imaging/InflateDecoder.h"
#include "tests/imaging/png/MemoryInflateStream.h"
#include "tests/imaging/png/PngTestFiles.h"

namespace {

using TarnwellTest::BitWriter;
using TarnwellTest::Bytes;
using TarnwellTest::MemoryInflateStream;
using TarnwellTest::ZlibWrap;
using Veldaro::InflateDecoder;

// Decodes the whole stream (requests of 7 bytes); returns the output or the error message.
struct Result {
  Bytes output;
  std::string error;
  bool streamError = false;  // the error was an InputByteStream::StreamError
};

Result Inflate(const Bytes& z, std::vector<std::uint32_t> pieces = {}) {
  Result r;
  MemoryInflateStream stream = pieces.empty() ? MemoryInflateStream(z) : MemoryInflateStream(z, pieces);
  InflateDecoder decoder;
  try {
    decoder.OpenStream(stream);
    std::uint8_t buffer[7];
    while (decoder.NotFinished()) {
      std::uint32_t n = decoder.Decode(stream, 7, buffer);
      r.output.insert(r.output.end(), buffer, buffer + n);
      if (r.output.size() > 100000) break;
    }
  } catch (const Veldaro::InputByteStream::StreamError& e) {
    r.error = e.what();
    r.streamError = true;
  } catch (const InflateDecoder::StreamError& e) {
    r.error = e.what();
  }
  return r;
}

Bytes Text(const std::string& s) { return Bytes(s.begin(), s.end()); }

// An empty final fixed block.
Bytes EmptyFixed() { return BitWriter().Bits(1, 1).Bits(1, 2).FixedLiteral(256).Finish(); }

// The FLG byte that makes CMF * 256 + FLG a multiple of 31, with the given high bits.
int CheckedFlags(int cmf, int highBits) {
  for (int low = 0; low < 32; ++low)
    if ((cmf * 256 + (highBits | low)) % 31 == 0) return highBits | low;
  return -1;
}

Bytes WithHeader(int cmf, int flg) {
  Bytes z = {std::uint8_t(cmf), std::uint8_t(flg)};
  Bytes body = EmptyFixed();
  z.insert(z.end(), body.begin(), body.end());
  z.insert(z.end(), {0, 0, 0, 1});
  return z;
}

TEST(InflateHeader, AcceptedHeaders) {
  EXPECT_EQ(Inflate(WithHeader(0x78, 0x9C)).error, "");
  EXPECT_EQ(Inflate(WithHeader(0x78, 0x01)).error, "");
  // CINFO 5 declares a 1 KB window; the decoder keeps its 32 KB window.
  EXPECT_EQ(Inflate(WithHeader(0x58, CheckedFlags(0x58, 0))).error, "");
}

TEST(InflateHeader, RefusedHeadersInOrder) {
  EXPECT_EQ(Inflate(WithHeader(0x77, CheckedFlags(0x77, 0))).error, "Invalid Compression Method - Not (8) Deflate");
  EXPECT_EQ(Inflate(WithHeader(0x77, 0x00)).error, "Invalid Compression Method - Not (8) Deflate");
  EXPECT_EQ(Inflate(WithHeader(0x78, 0x9D)).error, "Corrupt Compression Header flags");
  EXPECT_EQ(Inflate(WithHeader(0x88, CheckedFlags(0x88, 0))).error, "Invalid Compression Window");
  EXPECT_EQ(Inflate(WithHeader(0x78, CheckedFlags(0x78, 0x20))).error, "Preset dictionary flag set");
  // A wrong check comes first.
  EXPECT_EQ(Inflate(WithHeader(0x88, CheckedFlags(0x88, 0) ^ 1)).error, "Corrupt Compression Header flags");
  EXPECT_EQ(Inflate(WithHeader(0x78, CheckedFlags(0x78, 0x20) ^ 1)).error, "Corrupt Compression Header flags");
}

TEST(InflateStored, EmptyStoredBlocksOfAFlushAreAccepted) {
  // Two empty non-final stored blocks (as Z_SYNC_FLUSH writes them), a stored block, an
  // empty final stored block.
  Bytes d = BitWriter()
                .Bits(0, 1)
                .Bits(0, 2)
                .AlignedBytes({0x00, 0x00, 0xFF, 0xFF})
                .Bits(0, 1)
                .Bits(0, 2)
                .AlignedBytes({0x00, 0x00, 0xFF, 0xFF})
                .Bits(0, 1)
                .Bits(0, 2)
                .AlignedBytes({0x02, 0x00, 0xFD, 0xFF, 'x', 'y'})
                .Bits(1, 1)
                .Bits(0, 2)
                .AlignedBytes({0x00, 0x00, 0xFF, 0xFF})
                .Finish();
  Result r = Inflate(ZlibWrap(d, Text("xy")));
  EXPECT_EQ(r.error, "");
  EXPECT_EQ(r.output, Text("xy"));
  // The same split into pieces of one byte.
  Bytes z = ZlibWrap(d, Text("xy"));
  EXPECT_EQ(Inflate(z, std::vector<std::uint32_t>(z.size(), 1)).output, Text("xy"));
}

TEST(InflateStored, EmptyFinalStoredBlockEndsTheStreamAtOnce) {
  Bytes z = ZlibWrap(BitWriter().Bits(1, 1).Bits(0, 2).AlignedBytes({0x00, 0x00, 0xFF, 0xFF}).Finish(), {});
  MemoryInflateStream stream(z);
  InflateDecoder decoder;
  decoder.OpenStream(stream);
  EXPECT_FALSE(decoder.NotFinished());
  std::uint8_t b;
  EXPECT_EQ(decoder.Decode(stream, 1, &b), 0u);
  // A wrong trailer after it is found at once as well.
  Bytes bad = z;
  bad.back() ^= 1;
  EXPECT_EQ(Inflate(bad).error, "Stream Adler 32 Checksum error");
}

TEST(InflateStored, LengthCheck) {
  auto stored = [](Bytes lenNlen) {
    lenNlen.push_back('a');
    return ZlibWrap(BitWriter().Bits(1, 1).Bits(0, 2).AlignedBytes(lenNlen).Finish(), Text("a"));
  };
  EXPECT_EQ(Inflate(stored({0x01, 0x00, 0xFE, 0xFF})).output, Text("a"));
  EXPECT_EQ(Inflate(stored({0x01, 0x00, 0xFF, 0xFF})).error, "Invalid Literal Count");
  EXPECT_EQ(Inflate(stored({0x00, 0x00, 0x00, 0x00})).error, "Invalid Literal Count");
}

TEST(InflateStored, NextBlockStartsAtTheByteAfterTheStoredData) {
  // Non-final stored "abc" split over pieces, then a final fixed block with "d".
  Bytes d = BitWriter()
                .Bits(0, 1)
                .Bits(0, 2)
                .AlignedBytes({0x03, 0x00, 0xFC, 0xFF, 'a', 'b', 'c'})
                .Bits(1, 1)
                .Bits(1, 2)
                .FixedLiteral('d')
                .FixedLiteral(256)
                .Finish();
  Bytes z = ZlibWrap(d, Text("abcd"));
  EXPECT_EQ(Inflate(z).output, Text("abcd"));
  for (std::uint32_t split = 1; split < z.size(); ++split) {
    SCOPED_TRACE(split);
    EXPECT_EQ(Inflate(z, {split, 0, std::uint32_t(z.size()) - split}).output, Text("abcd"));
  }
}

TEST(InflateBlocks, ReservedBlockTypeIsRefused) {
  EXPECT_EQ(Inflate(ZlibWrap(BitWriter().Bits(1, 1).Bits(3, 2).Finish(), {})).error, "Invalid Compression Type");
}

TEST(InflateBlocks, FixedCodeValuesOutsideTheAlphabet) {
  for (std::uint32_t symbol : {286u, 287u}) {
    Bytes d = BitWriter().Bits(1, 1).Bits(1, 2).FixedLiteral('a').FixedLiteral(symbol).FixedLiteral(256).Finish();
    EXPECT_EQ(Inflate(ZlibWrap(d, Text("a"))).error, "Invalid Huffman Literal Value");
  }
  for (std::uint32_t symbol : {30u, 31u}) {
    Bytes d = BitWriter()
                  .Bits(1, 1)
                  .Bits(1, 2)
                  .FixedLiteral('a')
                  .FixedLiteral(257)
                  .FixedDistance(symbol)
                  .FixedLiteral(256)
                  .Finish();
    EXPECT_EQ(Inflate(ZlibWrap(d, Text("a"))).error, "Invalid Huffman Distance Value");
  }
}

TEST(InflateMatches, ShortAndFarDistances) {
  // Distance 1 repeats the last byte.
  Bytes d =
      BitWriter().Bits(1, 1).Bits(1, 2).FixedLiteral('A').FixedLiteral(257).FixedDistance(0).FixedLiteral(256).Finish();
  EXPECT_EQ(Inflate(ZlibWrap(d, Text("AAAA"))).output, Text("AAAA"));
  // Distance 5 after one byte reaches back before the data: zeros.
  Bytes zeros = {'A', 0, 0, 0};
  d = BitWriter()
          .Bits(1, 1)
          .Bits(1, 2)
          .FixedLiteral('A')
          .FixedLiteral(257)
          .FixedDistance(4)
          .Bits(0, 1)
          .FixedLiteral(256)
          .Finish();
  EXPECT_EQ(Inflate(ZlibWrap(d, zeros)).output, zeros);
  // Distance 32768 (symbol 29, all 13 extra bits set) after one byte: zeros as well.
  Bytes far(1 + 258, 0);
  far[0] = 'B';
  d = BitWriter()
          .Bits(1, 1)
          .Bits(1, 2)
          .FixedLiteral('B')
          .FixedLiteral(285)
          .FixedDistance(29)
          .Bits(8191, 13)
          .FixedLiteral(256)
          .Finish();
  EXPECT_EQ(Inflate(ZlibWrap(d, far)).output, far);
}

TEST(InflateMatches, RequestsOfOneByteInsideAMatch) {
  // "x" and a 258-byte match of distance 1: 259 bytes taken one request at a time.
  Bytes d =
      BitWriter().Bits(1, 1).Bits(1, 2).FixedLiteral('x').FixedLiteral(285).FixedDistance(0).FixedLiteral(256).Finish();
  Bytes expected(259, 'x');
  Bytes z = ZlibWrap(d, expected);
  MemoryInflateStream stream(z);
  InflateDecoder decoder;
  decoder.OpenStream(stream);
  Bytes out;
  std::uint8_t b;
  for (int i = 0; i < 259; ++i) {
    ASSERT_EQ(decoder.Decode(stream, 1, &b), 1u);
    out.push_back(b);
  }
  EXPECT_EQ(out, expected);
  // The end-of-block code is still unread: one more request reads it and the trailer.
  EXPECT_TRUE(decoder.NotFinished());
  EXPECT_EQ(decoder.Decode(stream, 1, &b), 0u);
  EXPECT_FALSE(decoder.NotFinished());
}

TEST(InflateRequests, ShortLastRequestAndNothingAfterTheEnd) {
  Bytes text = Text("a request larger than what is left returns only what is left");
  Bytes z = TarnwellTest::PngBuilder::Compress(text);
  z.insert(z.end(), {0xDE, 0xAD, 0xBE});  // bytes after the trailer
  MemoryInflateStream stream(z);
  stream.SetStrict(true);
  InflateDecoder decoder;
  decoder.OpenStream(stream);
  std::vector<std::uint8_t> buffer(1000);
  EXPECT_EQ(decoder.Decode(stream, 1000, buffer.data()), text.size());
  EXPECT_FALSE(decoder.NotFinished());
  EXPECT_EQ(Bytes(buffer.begin(), buffer.begin() + text.size()), text);
  // The bytes after the trailer are left in the stream, and later requests read nothing.
  EXPECT_EQ(stream.Unread(), 3u);
  int refills = stream.Refills();
  EXPECT_EQ(decoder.Decode(stream, 10, buffer.data()), 0u);
  EXPECT_EQ(stream.Refills(), refills);
  EXPECT_EQ(stream.Unread(), 3u);
}

TEST(InflateTrailer, ChecksumAndPrematureEnd) {
  Bytes text = Text("checksum test checksum test");
  Bytes z = TarnwellTest::PngBuilder::Compress(text);
  EXPECT_EQ(Inflate(z).output, text);
  Bytes bad = z;
  bad[bad.size() - 2] ^= 0x40;
  EXPECT_EQ(Inflate(bad).error, "Stream Adler 32 Checksum error");
  // Cut inside the trailer, and inside the compressed data.
  for (std::size_t cut : {z.size() - 1, z.size() - 3, z.size() - 6, std::size_t(3)}) {
    Result r = Inflate(Bytes(z.begin(), z.begin() + cut));
    EXPECT_TRUE(r.streamError) << cut;
    EXPECT_EQ(r.error, "Premature end of file") << cut;
  }
}

TEST(InflateRequests, DecodeBeforeOpenAndAfterFailure) {
  InflateDecoder decoder;
  Bytes z = TarnwellTest::PngBuilder::Compress(Text("abc"));
  MemoryInflateStream stream(z);
  std::uint8_t b[4];
  EXPECT_EQ(decoder.Decode(stream, 4, b), 0u);  // not opened: nothing, nothing read
  EXPECT_EQ(stream.Refills(), 0);
  // One decoder serves several streams in turn, also after a failed one.
  Bytes bad = z;
  bad.back() ^= 1;
  MemoryInflateStream badStream(bad);
  decoder.OpenStream(badStream);
  EXPECT_THROW(decoder.Decode(badStream, 4, b), InflateDecoder::StreamError);
  decoder.OpenStream(stream);
  EXPECT_EQ(decoder.Decode(stream, 4, b), 3u);
  EXPECT_EQ(Bytes(b, b + 3), Text("abc"));
}

TEST(InflateRequests, NothingMoreAfterAFailure) {
  // After a failed header, and after a failure inside the data, requests return nothing and
  // read nothing (they neither loop nor go on decoding from the broken place).
  Bytes z = TarnwellTest::PngBuilder::Compress(Text("abcdefgh"));
  z[1] ^= 1;  // header check
  MemoryInflateStream header(z);
  InflateDecoder decoder;
  EXPECT_THROW(decoder.OpenStream(header), InflateDecoder::StreamError);
  std::uint8_t b[4];
  EXPECT_EQ(decoder.Decode(header, 4, b), 0u);
  Bytes d = BitWriter()
                .Bits(1, 1)
                .Bits(1, 2)
                .FixedLiteral('a')
                .FixedLiteral(286)
                .FixedLiteral('b')
                .FixedLiteral(256)
                .Finish();
  Bytes bad = ZlibWrap(d, Text("ab"));
  bad.insert(bad.end(), 64, 0);
  MemoryInflateStream data(bad, {4, 4, std::uint32_t(bad.size()) - 8});
  decoder.OpenStream(data);
  EXPECT_THROW(decoder.Decode(data, 4, b), InflateDecoder::StreamError);
  int refills = data.Refills();
  EXPECT_EQ(decoder.Decode(data, 4, b), 0u);
  EXPECT_EQ(data.Refills(), refills);
}

// ---- dynamic blocks ----

// A dynamic block header whose code-length code gives all 19 symbols 5 bits (symbol s is sent
// as the 5-bit code s), followed by the given code-length symbols (with their extra bits).
struct LengthSymbol {
  std::uint32_t symbol;
  std::uint32_t extra = 0;
};

BitWriter& DynamicHeader(BitWriter& w, bool final, std::uint32_t hlit, std::uint32_t hdist,
                         const std::vector<LengthSymbol>& symbols) {
  w.Bits(final, 1).Bits(2, 2).Bits(hlit - 257, 5).Bits(hdist - 1, 5).Bits(19 - 4, 4);
  for (int i = 0; i < 19; ++i) w.Bits(5, 3);
  for (const auto& s : symbols) {
    w.Code(s.symbol, 5);
    if (s.symbol == 16) w.Bits(s.extra, 2);
    if (s.symbol == 17) w.Bits(s.extra, 3);
    if (s.symbol == 18) w.Bits(s.extra, 7);
  }
  return w;
}

TEST(InflateDynamic, RunPastTheLiteralLengthsIsRefused) {
  // 138 + 138 zeros pass the 257 literal/length lengths: a run does not carry over.
  BitWriter w;
  DynamicHeader(w, true, 257, 1, {{18, 127}, {18, 127}});
  EXPECT_EQ(Inflate(ZlibWrap(w.Finish(), {})).error, "Length Command Out of Range");
}

TEST(InflateDynamic, LeadingRepeatIsRefused) {
  BitWriter w;
  DynamicHeader(w, true, 257, 1, {{16, 0}});
  EXPECT_EQ(Inflate(ZlibWrap(w.Finish(), {})).error, "Bad Length Code");
  // Also first in the distance lengths: it would repeat a length of the other sequence.
  BitWriter w2;
  DynamicHeader(w2, true, 257, 1, {{18, 127}, {18, 108}, {16, 0}});
  EXPECT_EQ(Inflate(ZlibWrap(w2.Finish(), {})).error, "Bad Length Code");
}

TEST(InflateDynamic, CodeLengthPatternOfNoCodeIsRefused) {
  // The 19 code-length codes of 5 bits leave 13 patterns free; 11111 is one of them. With
  // plenty of input after it, as with only the bytes up to it, it is refused: early in the
  // literal/length lengths, and first in the distance lengths after a complete literal/length
  // code ('A' 0, end of block 1), where the bits after it would end the block.
  const std::vector<LengthSymbol> literalCode = {{18, 54}, {1}, {18, 127}, {18, 41}, {1}};
  for (const auto& before :
       {std::vector<LengthSymbol>{}, std::vector<LengthSymbol>(40, LengthSymbol{8}), literalCode}) {
    BitWriter w;
    DynamicHeader(w, true, 257, 1, before).Code(31, 5);
    for (int i = 0; i < 8; ++i) w.Bits(0, 16);
    Bytes z = ZlibWrap(w.Finish(), {});
    EXPECT_EQ(Inflate(z).error, "Invalid Huffman Code") << before.size();
    EXPECT_EQ(Inflate(z, std::vector<std::uint32_t>(z.size(), 1)).error, "Invalid Huffman Code") << before.size();
  }
}

// Literal/length lengths: 'A' 1 bit, end of block 2 bits, every other value none; one distance
// of 1 bit. The code is incomplete: the pattern 11 begins no code.
std::vector<LengthSymbol> IncompleteCode() { return {{18, 65 - 11}, {1}, {18, 127}, {18, 190 - 138 - 11}, {2}, {1}}; }

TEST(InflateDynamic, IncompleteCodeIsAcceptedAndUnusedPatternsAreRefused) {
  BitWriter w;
  DynamicHeader(w, true, 257, 1, IncompleteCode()).Code(0, 1).Code(0, 1).Code(2, 2);
  EXPECT_EQ(Inflate(ZlibWrap(w.Finish(), Text("AA"))).output, Text("AA"));
  BitWriter bad;
  DynamicHeader(bad, true, 257, 1, IncompleteCode()).Code(0, 1).Code(3, 2).Bits(0xFFFF, 16);
  Bytes z = ZlibWrap(bad.Finish(), Text("A"));
  EXPECT_EQ(Inflate(z).error, "Invalid Huffman Code");
  // The same bits, one byte at a time: the search still ends at the longest code.
  EXPECT_EQ(Inflate(z, std::vector<std::uint32_t>(z.size(), 1)).error, "Invalid Huffman Code");
}

TEST(InflateDynamic, OversubscribedCodeIsAccepted) {
  // 'A', 'B' and end of block all of 1 bit: only the codes that fit (A = 0, B = 1) are used.
  std::vector<LengthSymbol> symbols = {{18, 65 - 11}, {1}, {1}, {18, 127}, {18, 190 - 138 - 12}, {1}, {1}};
  BitWriter w;
  DynamicHeader(w, true, 257, 1, symbols).Code(0, 1).Code(1, 1).Code(0, 1).Bits(0, 32);
  Bytes z = ZlibWrap(w.Finish(), {});
  MemoryInflateStream stream(z);
  InflateDecoder decoder;
  decoder.OpenStream(stream);
  std::uint8_t b[3];
  ASSERT_EQ(decoder.Decode(stream, 3, b), 3u);
  EXPECT_EQ(Bytes(b, b + 3), Text("ABA"));
}

// ---- the bit input ----

TEST(InflateInputStream, BitsAcrossPiecesAndByteMode) {
  MemoryInflateStream stream({0xB2, 0xFF, 0x5A, 0x01, 0x02}, {1, 0, 1, 1, 2});
  stream.EnterBitMode();
  EXPECT_EQ(stream.NextBit(), 0u);  // 0xB2 = 1011 0010, least significant bit first
  EXPECT_EQ(stream.NextBit(), 1u);
  EXPECT_EQ(stream.GetBits(3), 0x4u);      // bits 2-4 of 0xB2: 100
  EXPECT_EQ(stream.GetBits(13), 0x17FDu);  // 101 of 0xB2, then 0xFF, then 0 and 1 of 0x5A
  stream.ExitBitMode();                    // the rest of 0x5A is passed over
  EXPECT_EQ(stream.GetByte(), 0x01);
  stream.EnterBitMode();
  EXPECT_EQ(stream.GetBits(8), 0x02u);
  EXPECT_THROW(stream.NextBit(), Veldaro::InputByteStream::StreamError);
}

TEST(InflateHuffmanDecoder, CanonicalCodesBitByBit) {
  // Lengths A 2, B 1, C 3, D 3: B = 0, A = 10, C = 110, D = 111.
  Veldaro::InflateHuffmanDecoder decoder;
  std::uint32_t lengths[4] = {2, 1, 3, 3};
  decoder.MakeTable(15, 4, lengths);
  Bytes bits = BitWriter().Code(0b111, 3).Code(0, 1).Code(0b10, 2).Code(0b110, 3).Finish();
  MemoryInflateStream stream(bits);
  stream.EnterBitMode();
  EXPECT_EQ(decoder.Decode(stream), 3u);
  EXPECT_EQ(decoder.Decode(stream), 1u);
  EXPECT_EQ(decoder.Decode(stream), 0u);
  EXPECT_EQ(decoder.Decode(stream), 2u);
  // An incomplete code: only value 0, code 0. Fifteen 1 bits match nothing.
  std::uint32_t one[1] = {1};
  decoder.MakeTable(15, 1, one);
  MemoryInflateStream ones({0xFF, 0xFF});
  ones.EnterBitMode();
  EXPECT_THROW(decoder.Decode(ones), InflateDecoder::StreamError);
}

// What each 15-bit input decodes to by the canonical codes of a set of lengths, worked out here
// code by code: the value (-1: no code) and the bits its code takes.
struct CanonicalInputs {
  std::vector<int> value = std::vector<int>(1u << 15, -1);
  std::vector<std::uint32_t> bits = std::vector<std::uint32_t>(1u << 15, 0);

  explicit CanonicalInputs(const std::vector<std::uint32_t>& lengths) {
    std::uint32_t code = 0;
    for (std::uint32_t len = 1; len <= 15; ++len) {
      for (std::uint32_t v = 0; v < lengths.size(); ++v) {
        if (lengths[v] != len) continue;
        if (code < (1u << len)) {  // codes beyond an over-subscribed length are left out
          std::uint32_t reversed = 0;
          for (std::uint32_t b = 0; b < len; ++b) reversed |= ((code >> b) & 1u) << (len - 1 - b);
          for (std::uint32_t high = 0; high < (1u << (15 - len)); ++high) {
            value[reversed | high << len] = int(v);
            bits[reversed | high << len] = len;
          }
        }
        ++code;
      }
      code <<= 1;
    }
  }
};

// Every 15-bit input looked up in the tables (main table, then subtable) against the canonical
// codes worked out here: complete, incomplete and over-subscribed sets of lengths up to 15,
// with many codes longer than the main table, sharing its indexes in groups of every size.
TEST(InflateHuffmanDecoder, TablesDecodeEveryInputAsTheCanonicalCodes) {
  using H = Veldaro::InflateHuffmanDecoder;
  std::mt19937 rng(61);
  for (int set = 0; set < 24; ++set) {
    SCOPED_TRACE(set);
    const std::uint32_t count = 2 + rng() % 287;
    std::vector<std::uint32_t> lengths(count);
    for (auto& l : lengths) l = set % 3 == 0 ? rng() % 16 : rng() % 4 == 0 ? 0 : 9 + rng() % 7;
    if (set % 4 == 1) lengths[rng() % count] = 1;  // over-subscribed once codes reach 15 bits
    const CanonicalInputs expected(lengths);
    H decoder;
    decoder.MakeTable(15, count, lengths.data());
    const std::uint32_t* t = decoder.Table();
    const std::uint32_t mainBits = decoder.MainBits();
    for (std::uint32_t input = 0; input < (1u << 15); ++input) {
      std::uint32_t e = t[input & ((1u << mainBits) - 1)];
      std::uint32_t taken = 0;
      if (H::EntryKind(e) == H::KindSubtable) {
        taken = mainBits;
        e = t[H::EntryValue(e) + ((input >> mainBits) & ((1u << H::EntryExtra(e)) - 1))];
      }
      if (expected.value[input] < 0) {
        ASSERT_EQ(H::EntryKind(e), H::KindNoCode) << input;
      } else {
        ASSERT_EQ(H::EntryKind(e), H::KindValue) << input;
        ASSERT_EQ(H::EntryValue(e), std::uint32_t(expected.value[input])) << input;
        ASSERT_EQ(taken + H::EntryBits(e), expected.bits[input]) << input;
      }
    }
  }
}

// The pair table of literal/length codes, index by index, against the canonical codes: one
// literal, or two where the code after the first is a literal that fits in the index as well;
// every other entry and every subtable as in the table. It is made exactly when the pairs
// fill at least half of the main table. Sets with a few short literal codes (as image data
// gives) and without, complete, incomplete and over-subscribed.
TEST(InflateHuffmanDecoder, PairTableDecodesOneOrTwoLiteralsAsTheCanonicalCodes) {
  using H = Veldaro::InflateHuffmanDecoder;
  constexpr std::uint32_t kMain = H::kLiteralMainBits;
  std::mt19937 rng(67);
  int made = 0, notMade = 0;
  for (int set = 0; set < 40; ++set) {
    SCOPED_TRACE(set);
    const std::uint32_t count = 257 + rng() % 32;
    std::vector<std::uint32_t> lengths(count);
    const std::uint32_t shortest = 1 + rng() % 6;
    const std::uint32_t shortCodes = rng() % 24;
    for (auto& l : lengths) l = rng() % 5 == 0 ? 0 : 7 + rng() % 9;
    for (std::uint32_t k = 0; k < shortCodes; ++k) lengths[rng() % 256] = shortest + rng() % 4;
    if (set % 5 == 0) lengths[256 + rng() % (count - 256)] = shortest;  // a short length code among them
    const CanonicalInputs expected(lengths);
    H decoder;
    decoder.MakeTable(15, count, lengths.data(), H::Alphabet::LiteralLength);
    const std::uint32_t* t = decoder.Table();
    std::uint32_t pairIndexes = 0;
    for (std::uint32_t i = 0; i < (1u << kMain); ++i) {
      const int first = expected.value[i];
      const std::uint32_t second = i >> expected.bits[i];
      pairIndexes += first >= 0 && first < 256 && expected.bits[i] <= kMain && expected.value[second] >= 0 &&
                     expected.value[second] < 256 && expected.bits[i] + expected.bits[second] <= kMain;
    }
    const std::uint32_t* p = decoder.PairTable();
    ASSERT_EQ(p != nullptr, pairIndexes >= (1u << (kMain - 1))) << pairIndexes;
    if (p == nullptr) {
      ++notMade;
      continue;
    }
    ++made;
    for (std::uint32_t i = 0; i < (1u << kMain); ++i) {
      const int first = expected.value[i];
      if (first < 0 || first >= 256 || expected.bits[i] > kMain) {
        ASSERT_EQ(p[i], t[i]) << i;
        if (H::EntryKind(t[i]) == H::KindSubtable) {
          for (std::uint32_t k = 0; k < (1u << H::EntryExtra(t[i])); ++k)
            ASSERT_EQ(p[H::EntryValue(t[i]) + k], t[H::EntryValue(t[i]) + k]) << i;
        }
        continue;
      }
      const std::uint32_t firstBits = expected.bits[i];
      const std::uint32_t second = i >> firstBits;
      const bool pair =
          expected.value[second] >= 0 && expected.value[second] < 256 && firstBits + expected.bits[second] <= kMain;
      ASSERT_LT(std::int32_t(p[i]), 0) << i;  // the literal flag
      ASSERT_EQ((p[i] >> 8) & 0xFF, std::uint32_t(first)) << i;
      ASSERT_EQ(p[i] >> H::kPairCountShift & 3, pair ? 2u : 1u) << i;
      ASSERT_EQ(p[i] & 0xFF, pair ? firstBits + expected.bits[second] : firstBits) << i;
      if (pair) {
        ASSERT_EQ((p[i] >> 16) & 0xFF, std::uint32_t(expected.value[second])) << i;
      }
    }
  }
  EXPECT_GT(made, 5);
  EXPECT_GT(notMade, 5);
}

}  // namespace
